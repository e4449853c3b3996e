#include "exact_range.h"

#include <algorithm>
#include <array>

namespace vostrel::design {
namespace {

constexpr int kMaxScale = 9;
constexpr int kMaxDigits = 15;
// Values beyond 10^18 units are refused: a value plus a step never overflows.
constexpr std::int64_t kMaxUnits = 1'000'000'000'000'000'000;

struct Decimal {
    std::int64_t units = 0; // the value is units * 10^-scale
    int scale = 0;
};

std::optional<Decimal> parseDecimal(std::string_view text)
{
    Decimal value;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
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
    value.units = negative ? -value.units : value.units;
    return value;
}

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

std::string toText(std::int64_t units, int scale)
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

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::variant<ExactRange, std::string> parseExactRange(
    std::string_view text, std::string_view defaultSuffix, std::size_t maxCount)
{
    std::array<std::string_view, 3> parts;
    std::size_t count = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ':') {
            if (count == parts.size()) {
                return std::string("a range has three parts, from:to:step");
            }
            parts[count++] = text.substr(start, i - start);
            start = i + 1;
        }
    }
    if (count != parts.size()) {
        return std::string("a range has three parts, from:to:step");
    }
    ExactRange range;
    std::array<Decimal, 3> numbers;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        std::size_t suffixStart = parts[p].size();
        while (suffixStart > 0 && isLetter(parts[p][suffixStart - 1])) {
            --suffixStart;
        }
        const std::string_view written = parts[p].substr(suffixStart);
        const std::string_view suffix = written.empty() ? defaultSuffix : written;
        if (p == 0) {
            range.suffix = std::string(suffix);
        } else if (suffix != range.suffix) {
            return std::string("the parts of a range are written in one unit");
        }
        const auto number = parseDecimal(parts[p].substr(0, suffixStart));
        if (!number) {
            return std::string("the parts of a range are plain decimals such as 35.5, at most 15 digits");
        }
        numbers[p] = *number;
    }
    const int scale = std::max({numbers[0].scale, numbers[1].scale, numbers[2].scale});
    const auto first = rescaled(numbers[0], scale);
    const auto last = rescaled(numbers[1], scale);
    const auto step = rescaled(numbers[2], scale);
    if (!first || !last || !step) {
        return std::string("the range needs too many digits at the step's precision");
    }
    if (*step <= 0) {
        return std::string("the step of a range must be above 0");
    }
    if (*last < *first) {
        return std::string("a range runs upwards: its end is below its start");
    }
    // Both within 10^18: the difference fits.
    const auto steps = static_cast<std::uint64_t>((*last - *first) / *step);
    if (steps >= maxCount) {
        return "the range has more than " + std::to_string(maxCount) + " values";
    }
    range.values.reserve(steps + 1);
    for (std::int64_t units = *first; units <= *last; units += *step) {
        range.values.push_back(toText(units, scale));
    }
    return range;
}

} // namespace vostrel::design
