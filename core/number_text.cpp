// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_text.h"

#include "double_chars.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace vostrel {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Every float and every midpoint between two neighbouring floats has at
// most 113 significant decimal digits, so digits past the first 120 only
// matter through whether any of them is non-zero. Keeping 120 digits and a
// final 1 for "something non-zero followed" puts the shortened number on
// the same side of every midpoint as the full one: the rounding is exact.
constexpr std::size_t kKeptDigits = 120;

// A written exponent beyond this is held at it: anything past +-100000
// already means overflow or zero for a float. The scale the digits add is
// bounded by the text's length, so the two together stay far inside int64.
constexpr std::int64_t kExponentLimit = 1'000'000'000'000'000'000;

// The digits of a number: `kept` (its significant digits, at most
// kKeptDigits of them) times 10^scale.
struct Mantissa {
    std::string kept;
    bool droppedNonZero = false;
    std::int64_t scale = 0;
    bool anyDigit = false;
};

// Reads digits with at most one separator from text[i]; leaves i after them.
Mantissa scanMantissa(std::string_view text, std::size_t& i, std::string_view sep)
{
    Mantissa m;
    bool afterSeparator = false;
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c)) {
            m.anyDigit = true;
            if (m.kept.empty() && c == '0') {
                // A leading zero: only its place after the separator counts.
                m.scale -= afterSeparator ? 1 : 0;
            } else if (m.kept.size() < kKeptDigits) {
                m.kept.push_back(c);
                m.scale -= afterSeparator ? 1 : 0;
            } else {
                m.droppedNonZero = m.droppedNonZero || c != '0';
                m.scale += afterSeparator ? 0 : 1;
            }
            ++i;
        } else if (!afterSeparator && text.substr(i, sep.size()) == sep) {
            afterSeparator = true;
            i += sep.size();
        } else {
            break;
        }
    }
    return m;
}

// Reads an exponent's optional sign and its digits from text[i] (just after
// the "E"); nothing if there is no digit. Saturates at kExponentLimit.
std::optional<std::int64_t> scanExponent(std::string_view text, std::size_t& i)
{
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !isDigit(text[i])) {
        return std::nullopt;
    }
    std::int64_t exponent = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        exponent = exponent > (kExponentLimit - digit) / 10 ? kExponentLimit : exponent * 10 + digit;
    }
    return negative ? -exponent : exponent;
}

// The float nearest to the mantissa's value, rounded once.
Result<float> nearestFloat(Mantissa m, bool negative)
{
    const float zero = negative ? -0.0F : 0.0F;
    if (m.kept.empty()) {
        return zero;
    }
    if (m.droppedNonZero) {
        m.kept.push_back('1');
        m.scale -= 1;
    }

    // The value lies in [10^(magnitude-1), 10^magnitude).
    const std::int64_t magnitude = static_cast<std::int64_t>(m.kept.size()) + m.scale;
    if (magnitude > 39) { // 1e39 and above: no float is that large
        return CalcFailure::Overflow;
    }
    if (magnitude < -46) { // below 1e-46: less than half the smallest float
        return zero;
    }

    std::string digits = std::move(m.kept);
    digits.push_back('e');
    digits += std::to_string(m.scale);
    const std::optional<float> value = readFloat(digits);
    if (!value) { // out of range: too large, or a non-zero rounding to zero
        if (magnitude > 0) {
            return CalcFailure::Overflow;
        }
        return zero;
    }
    return negative ? -*value : *value;
}

std::size_t skipBlanks(std::string_view text, std::size_t i)
{
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

std::string_view usableSeparator(const NumberFormat& format)
{
    const std::string_view sep = format.decimalSeparator;
    if (sep.empty()) {
        return ".";
    }
    const char first = sep.front();
    if (isDigit(first) || isBlank(first) || first == '+' || first == '-' || first == 'e' || first == 'E') {
        return ".";
    }
    return sep;
}

Result<float> parseSingle(std::string_view text, const NumberFormat& format)
{
    std::size_t i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    Mantissa mantissa = scanMantissa(text, i, usableSeparator(format));
    if (!mantissa.anyDigit) {
        return CalcFailure::ConversionError;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const std::optional<std::int64_t> exponent = scanExponent(text, i);
        if (!exponent) {
            return CalcFailure::ConversionError;
        }
        mantissa.scale += *exponent;
    }
    if (skipBlanks(text, i) != text.size()) {
        return CalcFailure::ConversionError;
    }
    return nearestFloat(std::move(mantissa), negative);
}

float roundDecimals(float value, int places)
{
    if (!std::isfinite(value) || value == 0.0F) {
        return value;
    }
    places = std::clamp(places, 0, 8);
    static constexpr std::array<std::uint64_t, 9> kPowersOfTen
        = {1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000};

    // |value| = mantissa * 2^exponent with a 24-bit integer mantissa.
    int binaryExponent = 0;
    const float fraction = std::frexp(std::fabs(value), &binaryExponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
    const int shift = 24 - binaryExponent;
    if (shift <= 0) {
        return value; // a whole number already
    }

    // |value| * 10^places = scaled / 2^shift exactly; round that to a whole
    // number, a tie going to even. scaled < 2^51.
    const std::uint64_t scaled = mantissa * kPowersOfTen[static_cast<std::size_t>(places)];
    std::uint64_t whole = 0;
    if (shift <= 51) {
        whole = scaled >> shift;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (whole & 1U) != 0)) {
            ++whole;
        }
    }

    // whole < 2^53 is exact in a double, and the division rounds once. Its
    // result cannot land on a midpoint between two floats unless the exact
    // quotient is one (the quotient's distance to any such midpoint is at
    // least 2^-29 of its size, far more than half a double's step, because
    // 10^places < 2^29), so narrowing it to float rounds correctly as well.
    const double rounded
        = static_cast<double>(whole) / static_cast<double>(kPowersOfTen[static_cast<std::size_t>(places)]);
    const auto result = static_cast<float>(rounded);
    return std::signbit(value) ? -result : result;
}

std::string formatSingle(float value, const NumberFormat& format)
{
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    if (value == 0.0F) {
        return "0";
    }

    // Seven significant digits of the exact value ("d.dddddde+XX"); a
    // float widens to double exactly, and scientificText rounds exactly,
    // ties to even.
    const std::string scientificDigits = scientificText(static_cast<double>(std::fabs(value)), 6);
    const std::string_view scientific = scientificDigits;
    std::string digits;
    digits.push_back(scientific[0]);
    digits.append(scientific.substr(2, 6));
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(scientific.find('e') + 1);
    const bool negativeExponent = exponentText.front() == '-';
    std::from_chars(exponentText.data() + 1, exponentText.data() + exponentText.size(), exponent);
    if (negativeExponent) {
        exponent = -exponent;
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    const std::string_view sep = usableSeparator(format);
    std::string out;
    if (std::signbit(value)) {
        out.push_back('-');
    }
    if (exponent >= 7 || exponent < -3) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.append(sep);
            out.append(digits, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int absExponent = std::abs(exponent);
        if (absExponent < 10) {
            out.push_back('0');
        }
        out += std::to_string(absExponent);
    } else if (exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out += digits;
            out.append(integerDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, integerDigits);
            out.append(sep);
            out.append(digits, integerDigits);
        }
    } else {
        out.push_back('0');
        out.append(sep);
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

std::string doubleText(double value, std::optional<int> decimals)
{
    std::string text = decimals ? fixedText(value, std::clamp(*decimals, 0, 17)) : shortestText(value);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

} // namespace vostrel

namespace vostrel {

namespace {

std::string withSeparator(std::string text, const NumberFormat& format)
{
    if (const auto point = text.find('.'); point != std::string::npos) {
        text.replace(point, 1, usableSeparator(format));
    }
    return text;
}

} // namespace

std::string decimalsText(double value, int decimals)
{
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    if (std::abs(value) >= 1e15) {
        return scientificText(value, 3);
    }
    return doubleText(value, decimals);
}

namespace {

// 10^n, exact in a double for 0 <= n <= 22 (each product is exact), so
// the same on every system: std::pow need not be correctly rounded, and a
// threshold such as 0.005 must be the double nearest to it everywhere.
double exactPowerOfTen(int n)
{
    double power = 1;
    for (int i = 0; i < std::clamp(n, 0, 22); ++i) {
        power *= 10;
    }
    return power;
}

// Half a unit in the last of `decimals` decimals: 0.005 for 2.
double halfUnit(int decimals)
{
    return 0.5 / exactPowerOfTen(decimals);
}

// floor(log10(magnitude)) for 1e-22 <= magnitude < 1e9, by comparisons
// with exact powers of ten rather than a library's logarithm.
int decimalExponent(double magnitude)
{
    int exponent = 0;
    if (magnitude >= 1) {
        while (exponent < 22 && magnitude >= exactPowerOfTen(exponent + 1)) {
            ++exponent;
        }
        return exponent;
    }
    while (exponent > -22 && magnitude < 1 / exactPowerOfTen(-exponent)) {
        --exponent;
    }
    return exponent;
}

} // namespace

std::string quantityText(double value, int decimals)
{
    if (value != 0 && std::abs(value) < halfUnit(decimals)) {
        return scientificText(value, 3);
    }
    return decimalsText(value, decimals);
}

std::string figuresText(double value, int maxDecimals, const NumberFormat& format)
{
    if (!std::isfinite(value)) {
        return "\u2014";
    }
    const double magnitude = std::fabs(value);
    maxDecimals = std::clamp(maxDecimals, 0, 17);
    if (magnitude >= 1e9 || (magnitude > 0 && magnitude < halfUnit(maxDecimals))) {
        return withSeparator(scientificText(value, 3), format);
    }
    const int decimals = magnitude > 0 ? std::clamp(3 - decimalExponent(magnitude), 0, maxDecimals) : 0;
    return withSeparator(doubleText(value, decimals), format);
}

} // namespace vostrel
