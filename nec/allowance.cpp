// SPDX-License-Identifier: GPL-3.0-or-later
#include "allowance.h"

#include <algorithm>
#include <cmath>

namespace vostrel::nec {
namespace {

// The span of `values` (each spread by `spread` either side).
Span spreadAround(std::initializer_list<double> values, double spread)
{
    const auto [low, high] = std::minmax(values);
    return {low * (1 - spread), high * (1 + spread)};
}

bool withinReach(double value, double of)
{
    return value > 0 && std::abs(value - of) <= kClosedFormReach * of;
}

void include(Span& span, double value)
{
    span.low = std::min(span.low, value);
    span.high = std::max(span.high, value);
}

// A capacitor is bought and set in whole picofarads (tenths below 10 pF):
// the span rounded outward, so that it still covers what it says.
Span capacitorRounded(Span span)
{
    const double step = span.low < 10 ? 0.1 : 1;
    return {std::floor(span.low / step + 1e-9) * step, std::ceil(span.high / step - 1e-9) * step};
}

} // namespace

Allowance allowanceOf(const Refined& refined)
{
    Allowance allowance;
    const double rod = refined.rodLength;
    const double cap = refined.capacitancePf;
    const double halvedRod = refined.halvedRodLength.value_or(rod);
    const double halvedCap = refined.halvedCapacitancePf.value_or(cap);
    allowance.fromHalvedRun = refined.halvedRodLength.has_value() && refined.halvedCapacitancePf.has_value();
    allowance.rodLength = spreadAround({rod, halvedRod}, kRodSpread);
    Span capacitance = spreadAround({cap, halvedCap}, kCapacitorSpread);
    if (refined.closedForm) {
        const double closedRod = refined.closedForm->rodLength;
        const double closedCap = refined.closedForm->capacitancePf;
        if (withinReach(closedRod, rod)) {
            include(allowance.rodLength, closedRod);
            allowance.fromClosedForm = true;
        }
        if (withinReach(closedCap, cap)) {
            include(capacitance, closedCap);
            allowance.fromClosedForm = true;
        }
    }
    allowance.capacitancePf = capacitorRounded(capacitance);
    allowance.basis = "the spread between engines (±" + std::to_string(std::lround(kRodSpread * 100)) + " % rod, ±"
        + std::to_string(std::lround(kCapacitorSpread * 100)) + " % capacitor)";
    if (allowance.fromHalvedRun && allowance.fromClosedForm) {
        allowance.basis += ", the halved run and the closed form";
    } else if (allowance.fromHalvedRun) {
        allowance.basis += " and the halved run";
    } else if (allowance.fromClosedForm) {
        allowance.basis += " and the closed form";
    }
    return allowance;
}

} // namespace vostrel::nec
