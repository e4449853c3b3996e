// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "number_text.h"

#include <string>
#include <string_view>
#include <variant>

namespace vostrel {

// Why a text is not a plain number.
enum class NumberRefusal {
    Empty, // nothing to read
    NotANumber, // a character outside the grammar, or a misplaced one
    GroupSeparator, // the other of "." and "," where the format's separator belongs
    TooLarge, // beyond the double range
    TooSmall, // so close to 0 that it would read as 0
};

// A plain number as the designer's fields, the command lines and measurement
// files write it: an optional "+" or "-", ASCII digits with at most one
// decimal separator (the format's; see usableSeparator()) and at least one
// digit, then an optional exponent ("e" or "E", an optional sign, digits).
// Nothing else: no blanks (the caller trims a field), no "inf", "nan",
// hexadecimal or thousands separators. A value beyond the double range, or
// one that is not 0 but would round to it, is refused rather than changed.
//
//   "14.3"            -> 14.3         "-25"   -> -25     "+.5" -> 0.5
//   "1.4e7"           -> 14000000     "5."    -> 5       "0e999" -> 0
//   "14,3" with ","   -> 14.3
//
// Failures:
//   ""                               -> Empty
//   "abc", " 1", "1e", "0x10", "1.2.3" -> NotANumber
//   "1,5" with "."; "1.000" with "," -> GroupSeparator
//   "1e400", "-1e400"                -> TooLarge
//   "1e-400"                         -> TooSmall
std::variant<double, NumberRefusal> readPlainNumber(std::string_view text, const NumberFormat& format);

// The value, or nothing for any refusal.
std::optional<double> plainNumber(std::string_view text, const NumberFormat& format = {});

// What to tell the builder about `text` refused as `why`, to follow its
// quoted echo: "\"1.000\" " + refusalText(...).
//   NotANumber     -> "is not a number"
//   GroupSeparator with "," -> "is not a number here: decimals take \",\" and
//                     numbers have no thousands separator (1,5 or 1500)"
//   TooLarge       -> "is too large"
//   TooSmall       -> "is too close to 0"
//   Empty          -> "is empty"
std::string refusalText(NumberRefusal why, const NumberFormat& format);

} // namespace vostrel
