// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::design {

// The values of a "from:to:step" range, counted in exact decimals: the end
// is included when a step lands on it, and no value drifts however many
// steps are taken. Each part is a plain decimal (sign, digits, at most one
// '.', at most 15 digits of which at most 9 after the point) followed by an
// optional suffix, the same for all three parts once `defaultSuffix` fills in
// those without one.
//   "70:150:1", ""           -> 81 values "70" ... "150", suffix ""
//   "1:2:0.3", ""            -> "1", "1.3", "1.6", "1.9"
//   "35in:36in:0.25", "in"   -> "35", "35.25", ..., "36", suffix "in"
// Failures, as a sentence: not three parts, a part that is not a plain
// decimal, different suffixes, a step not above 0, to below from, more than
// `maxCount` values.
struct ExactRange {
    std::vector<std::string> values; // as text, exactly
    std::string suffix;
};

std::variant<ExactRange, std::string> parseExactRange(
    std::string_view text, std::string_view defaultSuffix, std::size_t maxCount);

} // namespace vostrel::design
