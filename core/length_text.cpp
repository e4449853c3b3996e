#include "length_text.h"

#include "double_chars.h"
#include "utf8.h"

#include <algorithm>
#include <array>
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

// What may be part of a unit symbol, known or not: letters, quote marks
// (1.5" for inches) and any non-ASCII character (1.5″), so that a wrong
// unit is named as one rather than spoiling the number.
bool isUnitCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '"' || c == '\''
        || static_cast<unsigned char>(c) >= 0x80;
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

// The text as shown back in a message: short and printable (see shownText).
std::string shown(std::string_view text)
{
    return shownText(text, 40);
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

namespace {

// The shape parseNumber reads: sign, digits with at most one '.', optional
// exponent; where the exponent starts.
struct NumberShape {
    bool valid = false;
    std::size_t exponentStart = 0; // text.size() without an exponent
};

NumberShape numberShape(std::string_view text)
{
    std::size_t i = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        ++i;
    }
    std::size_t digits = skipDigits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += skipDigits(text, i);
    }
    if (digits == 0) {
        return {};
    }
    const std::size_t exponentStart = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (skipDigits(text, i) == 0) {
            return {};
        }
    }
    return i == text.size() ? NumberShape{true, exponentStart} : NumberShape{};
}

} // namespace

std::optional<double> parseNumber(std::string_view text)
{
    if (!numberShape(text).valid) {
        return std::nullopt;
    }
    const bool plus = text[0] == '+';
    // readDouble takes no '+'; the shape is checked, so it reads it all.
    return readDouble(plus ? text.substr(1) : text); // nothing when out of range
}

std::string_view numberRefusal(std::string_view text)
{
    const NumberShape shape = numberShape(text);
    if (!shape.valid) {
        return "not a number";
    }
    // Out of the double range: the decimal exponent of the first non-zero
    // digit tells which way (all zeros would have been read as 0).
    const std::string_view mantissa = text.substr(0, shape.exponentStart);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return "not a number";
    }
    long long order
        = first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point);
    if (shape.exponentStart < text.size()) {
        std::string_view exponent = text.substr(shape.exponentStart + 1);
        const bool negative = exponent.starts_with('-');
        if (exponent.starts_with('-') || exponent.starts_with('+')) {
            exponent.remove_prefix(1);
        }
        long long value = 0;
        for (const char c : exponent) {
            value = std::min(value * 10 + (c - '0'), 1'000'000'000LL); // saturates: only its side matters
        }
        order += negative ? -value : value;
    }
    return order > 0 ? "too large" : "too close to 0";
}

std::variant<Length, std::string> parseLength(std::string_view text, std::optional<Unit> defaultUnit)
{
    std::size_t symbolStart = text.size();
    while (symbolStart > 0 && isUnitCharacter(text[symbolStart - 1])) {
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
        return sentence({"\"", shown(numberText.empty() ? text : numberText), "\" is ", numberRefusal(numberText)});
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
