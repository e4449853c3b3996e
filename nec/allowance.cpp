// SPDX-License-Identifier: GPL-3.0-or-later
#include "allowance.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

std::string modelName(int cageWires)
{
    return cageWires > 0 ? "a cage of " + std::to_string(cageWires) + " wires" : "one tube wire";
}

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
    if (refined.otherModel && refined.otherModel->rodLength > 0) {
        // The other model's answer is another engine's, as far as a builder
        // knows: with the same spread.
        const Span rods = spreadAround({refined.otherModel->rodLength}, kRodSpread);
        const Span caps = spreadAround({refined.otherModel->capacitancePf}, kCapacitorSpread);
        include(allowance.rodLength, rods.low);
        include(allowance.rodLength, rods.high);
        include(capacitance, caps.low);
        include(capacitance, caps.high);
        allowance.fromOtherModel = true;
    }
    allowance.capacitancePf = capacitorRounded(capacitance);
    std::vector<std::string> from{"the spread between engines (±" + std::to_string(std::lround(kRodSpread * 100))
        + " % rod, ±" + std::to_string(std::lround(kCapacitorSpread * 100)) + " % capacitor)"};
    if (allowance.fromHalvedRun) {
        from.emplace_back("the halved run");
    }
    if (allowance.fromClosedForm) {
        from.emplace_back("the closed form");
    }
    if (allowance.fromOtherModel) {
        from.push_back("the element modelled as " + modelName(refined.otherModel->cageWires));
    }
    allowance.basis = from.front();
    for (std::size_t i = 1; i < from.size(); ++i) {
        allowance.basis += (i + 1 == from.size() ? " and " : ", ") + from[i];
    }
    return allowance;
}

} // namespace vostrel::nec
