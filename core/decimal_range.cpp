// SPDX-License-Identifier: GPL-3.0-or-later
#include "decimal_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vostrel {
namespace {

constexpr int kMaxScale = 9;
constexpr int kMaxDigits = 15; // below 2^53, and room for the steps

// Values beyond 10^18 units are refused, so that adding a step to a value
// can never overflow.
constexpr std::int64_t kMaxUnits = 1'000'000'000'000'000'000;

std::optional<std::int64_t> rescaled(const Decimal& value, int scale)
{
    std::int64_t units = value.units;
    for (int s = value.scale; s < scale; ++s) {
        if (units > kMaxUnits / 10 || units < -kMaxUnits / 10) {
            return std::nullopt;
        }
        units *= 10;
    }
    return units;
}

std::string unitsText(std::int64_t units, int scale)
{
    const bool negative = units < 0;
    std::string digits = std::to_string(negative ? -units : units);
    if (scale > 0) {
        if (static_cast<int>(digits.size()) <= scale) {
            digits.insert(0, static_cast<std::size_t>(scale + 1) - digits.size(), '0');
        }
        digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, '.');
        while (digits.back() == '0') {
            digits.pop_back();
        }
        if (digits.back() == '.') {
            digits.pop_back();
        }
    }
    return negative && digits != "0" ? "-" + digits : digits;
}

} // namespace

std::optional<Decimal> parseDecimal(std::string_view text)
{
    Decimal value;
    bool negative = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int digits = 0;
    bool anyDigit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            // Leading zeros add nothing to the value's digits.
            const bool leadingZero = c == '0' && value.units == 0 && !point;
            if ((!leadingZero && ++digits > kMaxDigits) || (point && value.scale == kMaxScale)) {
                return std::nullopt;
            }
            anyDigit = true;
            value.units = value.units * 10 + (c - '0');
            value.scale += point ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (negative) {
        value.units = -value.units;
    }
    return value;
}

std::string toText(Decimal value)
{
    return unitsText(value.units, value.scale);
}

double toDouble(Decimal value)
{
    return static_cast<double>(value.units) / std::pow(10.0, value.scale);
}

Decimal largestMagnitude(Decimal a, Decimal b)
{
    a.units = a.units < 0 ? -a.units : a.units;
    b.units = b.units < 0 ? -b.units : b.units;
    return toDouble(a) >= toDouble(b) ? a : b;
}

Decimal finestStep(Decimal from, Decimal to)
{
    const Decimal top = largestMagnitude(from, to);
    if (top.units == 0) {
        return {};
    }
    // The place of the leading digit: 10^exponent <= top < 10^(exponent + 1).
    const int exponent = static_cast<int>(std::to_string(top.units).size()) - 1 - top.scale;
    const double seventhDigit = std::pow(10.0, exponent - 6);
    const auto nearest = static_cast<float>(toDouble(top));
    const double floatSpacing
        = static_cast<double>(std::nextafter(nearest, std::numeric_limits<float>::infinity())) - nearest;
    const std::int64_t times = floatSpacing > seventhDigit ? 2 : 1;
    if (exponent - 6 >= 0) {
        std::int64_t units = times;
        for (int i = 0; i < exponent - 6; ++i) {
            units *= 10;
        }
        return {units, 0};
    }
    return {times, 6 - exponent};
}

std::int64_t DecimalRange::size() const
{
    return m_current > m_to ? 0 : (m_to - m_current) / m_step + 1;
}

std::optional<DecimalRange> DecimalRange::make(Decimal from, Decimal to, Decimal step)
{
    const int scale = std::max({from.scale, to.scale, step.scale});
    const auto first = rescaled(from, scale);
    const auto last = rescaled(to, scale);
    const auto stride = rescaled(step, scale);
    if (!first || !last || !stride || *stride <= 0 || *last < *first) {
        return std::nullopt;
    }
    return DecimalRange(*first, *last, *stride, scale);
}

DecimalRange::DecimalRange(std::int64_t current, std::int64_t to, std::int64_t step, int scale)
    : m_current(current)
    , m_to(to)
    , m_step(step)
    , m_scale(scale)
{ }

std::optional<std::string> DecimalRange::next()
{
    if (m_current > m_to) {
        return std::nullopt;
    }
    std::string text = unitsText(m_current, m_scale);
    m_current += m_step; // all three are within 10^18: no overflow
    return text;
}

} // namespace vostrel
