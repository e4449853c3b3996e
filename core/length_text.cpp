#include "length_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>

namespace vostrel::design {
namespace {

struct UnitRow {
    Unit unit;
    std::string_view symbol;
    double metres;
};

constexpr std::array kUnits = {
    UnitRow{Unit::Millimetre, "mm", 0.001},
    UnitRow{Unit::Centimetre, "cm", 0.01},
    UnitRow{Unit::Metre, "m", 1.0},
    UnitRow{Unit::Inch, "in", 0.0254}, // exact by definition (1959)
    UnitRow{Unit::Foot, "ft", 0.3048},
};

const UnitRow& rowOf(Unit unit)
{
    return kUnits[static_cast<std::size_t>(unit)];
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Digits from `i`; returns how many.
std::size_t skipDigits(std::string_view text, std::size_t& i)
{
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i - start;
}

// The text as shown back in a message: short and printable.
std::string shown(std::string_view text)
{
    std::string result;
    for (const char c : text.substr(0, 40)) {
        const auto byte = static_cast<unsigned char>(c);
        result.push_back(byte < 0x20 || byte >= 0x7F ? '?' : c);
    }
    if (text.size() > 40) {
        result += "...";
    }
    return result;
}

// Built by appending: GCC 12 warns wrongly (-Wrestrict) on "literal" + string.
std::string sentence(std::initializer_list<std::string_view> parts)
{
    std::string result;
    for (const std::string_view part : parts) {
        result += part;
    }
    return result;
}

} // namespace

std::string_view unitSymbol(Unit unit)
{
    return rowOf(unit).symbol;
}

std::optional<Unit> unitFromSymbol(std::string_view symbol)
{
    for (const UnitRow& row : kUnits) {
        if (row.symbol == symbol) {
            return row.unit;
        }
    }
    return std::nullopt;
}

double metresPer(Unit unit)
{
    return rowOf(unit).metres;
}

std::optional<double> parseNumber(std::string_view text)
{
    std::size_t i = 0;
    const bool plus = !text.empty() && text[0] == '+';
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        ++i;
    }
    std::size_t digits = skipDigits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += skipDigits(text, i);
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (skipDigits(text, i) == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    // from_chars takes no '+'; the shape is checked, so it reads it all.
    const std::string_view digitsText = plus ? text.substr(1) : text;
    double value = 0;
    const auto [end, error] = std::from_chars(digitsText.data(), digitsText.data() + digitsText.size(), value);
    if (error != std::errc() || end != digitsText.data() + digitsText.size() || !std::isfinite(value)) {
        return std::nullopt; // out of range: from_chars leaves it unset
    }
    return value;
}

std::variant<Length, std::string> parseLength(std::string_view text, std::optional<Unit> defaultUnit)
{
    std::size_t symbolStart = text.size();
    while (symbolStart > 0 && isLetter(text[symbolStart - 1])) {
        --symbolStart;
    }
    // The symbol is the run of letters at the end, so "1e3mm" is 1e3 mm.
    const std::string_view symbolText = text.substr(symbolStart);
    std::string_view numberText = text.substr(0, symbolStart);
    while (!numberText.empty() && isBlank(numberText.back())) {
        numberText.remove_suffix(1);
    }
    const auto value = parseNumber(numberText);
    if (!value) {
        return sentence({"\"", shown(numberText.empty() ? text : numberText), "\" is not a number"});
    }
    Length length;
    if (symbolText.empty()) {
        if (!defaultUnit) {
            return sentence({"\"", shown(text), "\" needs a unit: mm, cm, m, in or ft"});
        }
        length.unit = *defaultUnit;
    } else if (const auto unit = unitFromSymbol(symbolText)) {
        length.unit = *unit;
    } else {
        return sentence({"unknown unit \"", shown(symbolText), "\": use mm, cm, m, in or ft"});
    }
    length.metres = *value * metresPer(length.unit); // finite: no factor above 1
    return length;
}

} // namespace vostrel::design
