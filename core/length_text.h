#pragma once

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

// A plain number as command lines and measurement files write it, with '.'
// as the separator: an optional sign, digits with at most one '.', at least
// one digit, an optional exponent (e or E, optional sign, digits). Nothing
// else: no blanks, "inf", "nan", hexadecimal or thousands separators; a
// value beyond the double range is refused too.
//   "14.3" -> 14.3   "-25" -> -25   "+.5" -> 0.5   "1.4e7" -> 1.4e7
//   "1e400", "0x10", "1,5", " 1", "" -> nothing
std::optional<double> parseNumber(std::string_view text);

// Why parseNumber refuses `text`: "too large" beyond the double range
// ("1e400", "-1e400"), "too close to 0" below it ("1e-400"), otherwise
// "not a number".
std::string_view numberRefusal(std::string_view text);

struct Length {
    double metres = 0;
    Unit unit = Unit::Metre; // the unit it was written in
};

// A number (as parseNumber reads it) followed by a unit symbol, with
// optional blanks between: "38.9in" -> 0.98806 m, Inch; "12 mm" -> 0.012 m,
// Millimetre; "1e3mm" -> 1 m, Millimetre. The symbol is the run of letters,
// quote marks and non-ASCII characters at the end. Without a symbol,
// `defaultUnit` applies; with none either, it is an error. Failures come back as a sentence naming what was wrong:
//   "38.9" with no default -> "\"38.9\" needs a unit: mm, cm, m, in or ft"
//   "3 yd"                 -> "unknown unit \"yd\": use mm, cm, m, in or ft"
//   "1.5″"                 -> "unknown unit \"″\": use mm, cm, m, in or ft"
//   "abc mm"               -> "\"abc\" is not a number"
//   "1e400 m"              -> "\"1e400\" is too large"
std::variant<Length, std::string> parseLength(std::string_view text, std::optional<Unit> defaultUnit);

} // namespace vostrel::design
