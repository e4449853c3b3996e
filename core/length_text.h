// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "number_text.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::design {

enum class Unit { Millimetre, Centimetre, Metre, Inch, Foot };

// "mm", "cm", "m", "in", "ft".
std::string_view unitSymbol(Unit unit);
std::optional<Unit> unitFromSymbol(std::string_view symbol);
double metresPer(Unit unit); // 0.001, 0.01, 1, 0.0254, 0.3048

struct Length {
    double metres = 0;
    Unit unit = Unit::Metre; // the unit it was written in
};

// A number (as readPlainNumber() reads it in `format`) followed by a unit symbol, with
// optional blanks between: "38.9in" -> 0.98806 m, Inch; "12 mm" -> 0.012 m,
// Millimetre; "1e3mm" -> 1 m, Millimetre. The symbol is the run of letters,
// quote marks and non-ASCII characters at the end. Without a symbol,
// `defaultUnit` applies; with none either, it is an error. Failures come back as a sentence naming what was wrong:
//   "38.9" with no default -> "\"38.9\" needs a unit: mm, cm, m, in or ft"
//   "3 yd"                 -> "unknown unit \"yd\": use mm, cm, m, in or ft"
//   "1.5″"                 -> "unknown unit \"″\": use mm, cm, m, in or ft"
//   "abc mm"               -> "\"abc\" is not a number"
//   "1e400 m"              -> "\"1e400\" is too large"
std::variant<Length, std::string> parseLength(
    std::string_view text, std::optional<Unit> defaultUnit, const NumberFormat& format = {});

} // namespace vostrel::design
