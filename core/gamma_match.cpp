// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamma_match.h"

#include <cfloat>
#include <cmath>
#include <limits>

// The results must match to the last shown digit on every build: each step
// is one rounded double operation. Contracting a * b + c into a fused
// multiply-add, wider intermediates or fast-math would change them.
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "double arithmetic must be evaluated in double precision (FLT_EVAL_METHOD 0)"
#endif
#if defined(__FAST_MATH__)
#error "the gamma match formulas must not be built with -ffast-math"
#endif
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif
static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559);

namespace vostrel {
namespace {

// 2^128 - 2^103, halfway between the largest float (2^128 - 2^104) and
// 2^128: a double of this magnitude or more rounds to infinity when narrowed
// to float (the tie goes to the even 2^128).
constexpr double kFloatOverflowLimit = 0x1.ffffffp127;

// The two floating-point conditions the formulas can raise, collected from
// the start of a computation and tested at fixed points, as the checks of
// the formulas require: a test sees everything raised since the start.
class Conditions {
public:
    double divide(double dividend, double divisor)
    {
        if (divisor == 0.0) {
            m_divisionByZero = true;
            const double inf = std::numeric_limits<double>::infinity();
            return std::signbit(dividend) == std::signbit(divisor) ? inf : -inf;
        }
        return dividend / divisor;
    }

    // Narrows to float, rounding to nearest; a value that rounds beyond the
    // largest float raises overflow and becomes an infinity of its sign.
    float store(double value)
    {
        if (std::isnan(value)) {
            return std::numeric_limits<float>::quiet_NaN();
        }
        const double magnitude = std::fabs(value);
        if (magnitude >= kFloatOverflowLimit) {
            m_overflow = true;
            const float inf = std::numeric_limits<float>::infinity();
            return value > 0 ? inf : -inf;
        }
        if (magnitude > FLT_MAX) {
            // Below the halfway point: rounds down to the largest float.
            return value > 0 ? FLT_MAX : -FLT_MAX;
        }
        return static_cast<float>(value);
    }

    std::optional<CalcFailure> test() const
    {
        if (m_divisionByZero) {
            return CalcFailure::DivisionByZero;
        }
        if (m_overflow) {
            return CalcFailure::Overflow;
        }
        return std::nullopt;
    }

private:
    bool m_divisionByZero = false;
    bool m_overflow = false;
};

// Constants that enter the arithmetic as floats, widened exactly.
constexpr double k300 = 300.0F;
constexpr double k6 = 6.0F;
constexpr double k15 = 15.0F;

Result<void> computeInches(GammaMatchValues& v, Conditions& c)
{
    const double freq = v.freq;

    double wave = c.divide(k300, freq);
    const double cap = wave * k6;
    if (auto failure = c.test()) {
        return *failure;
    }
    v.cap = c.store(cap);

    wave = c.divide(k300, freq);
    if (auto failure = c.test()) {
        return *failure;
    }
    v.tap = c.store(wave * 0.057 * 39.6);
    if (auto failure = c.test()) {
        return *failure;
    }

    v.spac = c.store(c.divide(k300, freq) * 0.19166 + 2.05);
    if (auto failure = c.test()) {
        return *failure;
    }

    v.capl = c.store(static_cast<double>(v.cap) / k15);
    if (auto failure = c.test()) {
        return *failure;
    }

    wave = c.divide(k300, freq);
    if (auto failure = c.test()) {
        return *failure;
    }
    v.tube = c.store(wave * 0.065 * 39.6 / 5.0);
    if (auto failure = c.test()) {
        return *failure;
    }
    return {};
}

Result<void> computeCentimetres(GammaMatchValues& v, Conditions& c)
{
    const double freq = v.freq;

    double wave = c.divide(k300, freq);
    if (auto failure = c.test()) {
        return *failure;
    }
    v.tap = c.store(wave * 0.057 * 100.0);
    if (auto failure = c.test()) {
        return *failure;
    }

    wave = c.divide(k300, freq);
    if (auto failure = c.test()) {
        return *failure;
    }
    v.spac = c.store((wave * 0.19166 + 2.05) * 2.54);
    if (auto failure = c.test()) {
        return *failure;
    }

    wave = c.divide(k300, freq);
    const double cap = wave * k6;
    if (auto failure = c.test()) {
        return *failure;
    }
    v.cap = c.store(cap);

    const double capOver15 = static_cast<double>(v.cap) / k15;
    if (auto failure = c.test()) {
        return *failure;
    }
    v.capl = c.store(capOver15 * 2.54);
    if (auto failure = c.test()) {
        return *failure;
    }

    wave = c.divide(k300, freq);
    if (auto failure = c.test()) {
        return *failure;
    }
    v.tube = c.store(wave * 0.065 / 5.0 * 100.0);
    if (auto failure = c.test()) {
        return *failure;
    }
    return {};
}

} // namespace

Result<void> computeGammaMatch(GammaMatchValues& values, LengthUnit unit)
{
    // The conditions are cleared here and accumulate until the end.
    Conditions conditions;
    return unit == LengthUnit::Inches ? computeInches(values, conditions) : computeCentimetres(values, conditions);
}

} // namespace vostrel
