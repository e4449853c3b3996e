// SPDX-License-Identifier: GPL-3.0-or-later
#include "length_text.h"

#include "plain_number.h"
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

// The text as shown back in a message: short and printable (see shownText).
std::string shown(std::string_view text)
{
    return shownText(text, 40);
}

// Built by appending: GCC 12 warns wrongly (-Wrestrict) on "literal" + string.
std::string joined(std::initializer_list<std::string_view> parts)
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

std::variant<Length, std::string> parseLength(
    std::string_view text, std::optional<Unit> defaultUnit, const NumberFormat& format)
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
    const auto read = readPlainNumber(numberText, format);
    if (const auto* why = std::get_if<NumberRefusal>(&read)) {
        const NumberRefusal reason = *why == NumberRefusal::Empty ? NumberRefusal::NotANumber : *why;
        return joined({"\"", shown(numberText.empty() ? text : numberText), "\" ", refusalText(reason, format)});
    }
    const double value = std::get<double>(read);
    Length length;
    if (symbolText.empty()) {
        if (!defaultUnit) {
            return joined({"\"", shown(text), "\" needs a unit: mm, cm, m, in or ft"});
        }
        length.unit = *defaultUnit;
    } else if (const auto unit = unitFromSymbol(symbolText)) {
        length.unit = *unit;
    } else {
        return joined({"unknown unit \"", shown(symbolText), "\": use mm, cm, m, in or ft"});
    }
    length.metres = value * metresPer(length.unit); // finite: no factor above 1
    return length;
}

} // namespace vostrel::design
