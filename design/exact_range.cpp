// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact_range.h"

#include "ascii.h"
#include "decimal_range.h"

#include <array>

namespace vostrel::design {
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
        while (suffixStart > 0 && ascii::isLetter(parts[p][suffixStart - 1])) {
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
    if (numbers[2].units <= 0) {
        return std::string("the step of a range must be above 0");
    }
    if (toDouble(numbers[1]) < toDouble(numbers[0])) {
        return std::string("a range runs upwards: its end is below its start");
    }
    auto values = DecimalRange::make(numbers[0], numbers[1], numbers[2]);
    if (!values) {
        return std::string("the range needs too many digits at the step's precision");
    }
    if (values->size() > static_cast<std::int64_t>(maxCount)) {
        return "the range has more than " + std::to_string(maxCount) + " values";
    }
    range.values.reserve(static_cast<std::size_t>(values->size()));
    while (auto value = values->next()) {
        range.values.push_back(std::move(*value));
    }
    return range;
}

} // namespace vostrel::design
