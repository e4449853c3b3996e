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

struct Length {
    double metres = 0;
    Unit unit = Unit::Metre; // the unit it was written in
};

// A decimal number ('.' separator) followed by a unit symbol, with
// optional blanks between: "38.9in" -> 0.98806 m, Inch; "12 mm" -> 0.012 m.
// Without a symbol, `defaultUnit` applies; with none either, it is an error.
// Failures come back as a sentence naming what was wrong.
std::variant<Length, std::string> parseLength(std::string_view text, std::optional<Unit> defaultUnit);

} // namespace vostrel::design
