// SPDX-License-Identifier: GPL-3.0-or-later
// Lengths with units as the command line and the designer's fields take them.
#include "length_text.h"

#include <gtest/gtest.h>

using namespace vostrel::design;

namespace {

Length lengthOf(std::string_view text, std::optional<Unit> defaultUnit = std::nullopt)
{
    const auto parsed = parseLength(text, defaultUnit);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        ADD_FAILURE() << text << ": " << *problem;
        return {};
    }
    return std::get<Length>(parsed);
}

std::string problemOf(std::string_view text, std::optional<Unit> defaultUnit = std::nullopt)
{
    const auto parsed = parseLength(text, defaultUnit);
    EXPECT_TRUE(std::holds_alternative<std::string>(parsed)) << text;
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
}

} // namespace

TEST(LengthText, LengthsWithUnits)
{
    EXPECT_NEAR(lengthOf("38.9in").metres, 0.98806, 1e-12);
    EXPECT_EQ(lengthOf("38.9in").unit, Unit::Inch);
    EXPECT_EQ(lengthOf("12 mm").metres, 0.012);
    EXPECT_EQ(lengthOf("12 mm").unit, Unit::Millimetre);
    EXPECT_EQ(lengthOf("1e3mm").metres, 1);
    EXPECT_EQ(lengthOf("2\tft").metres, 0.6096);
    EXPECT_EQ(lengthOf("1.5m").unit, Unit::Metre);
    EXPECT_EQ(lengthOf("4.5cm").metres, 0.045);
    EXPECT_DOUBLE_EQ(lengthOf("6", Unit::Inch).metres, 0.1524);
    EXPECT_EQ(lengthOf("6", Unit::Inch).unit, Unit::Inch);
    EXPECT_EQ(lengthOf("6mm", Unit::Inch).unit, Unit::Millimetre);
    // Negative lengths read; the model refuses them, naming the input.
    EXPECT_EQ(lengthOf("-3mm").metres, -0.003);

    for (const Unit unit : {Unit::Millimetre, Unit::Centimetre, Unit::Metre, Unit::Inch, Unit::Foot}) {
        EXPECT_EQ(unitFromSymbol(unitSymbol(unit)), unit);
    }
    EXPECT_EQ(metresPer(Unit::Foot), 0.3048);
    EXPECT_FALSE(unitFromSymbol("MM"));

    EXPECT_EQ(problemOf("38.9"), "\"38.9\" needs a unit: mm, cm, m, in or ft");
    EXPECT_EQ(problemOf("3 yd"), "unknown unit \"yd\": use mm, cm, m, in or ft");
    EXPECT_EQ(problemOf("abc mm"), "\"abc\" is not a number");
    EXPECT_EQ(problemOf("mm"), "\"mm\" is not a number");
    EXPECT_EQ(problemOf(""), "\"\" is not a number");
    EXPECT_EQ(problemOf("1e400 m"), "\"1e400\" is too large");
    EXPECT_EQ(problemOf("-0.01e-400 m"), "\"-0.01e-400\" is too close to 0");
    // The form's fields read the locale's separator; a dot there is refused, never read as grouping.
    const auto comma = parseLength("1.500", Unit::Millimetre, vostrel::NumberFormat{","});
    ASSERT_TRUE(std::holds_alternative<std::string>(comma));
    EXPECT_EQ(std::get<std::string>(comma),
        "\"1.500\" is not a number here: decimals take \",\" and numbers have no "
        "thousands separator (1,5 or 1500)");
    EXPECT_EQ(std::get<Length>(parseLength("1,5 mm", std::nullopt, vostrel::NumberFormat{","})).metres, 0.0015);
    // A unit that is none of ours is named as a unit, visibly.
    EXPECT_EQ(problemOf("1.5\u2033"), "unknown unit \"\u2033\": use mm, cm, m, in or ft");
    EXPECT_EQ(problemOf("1.5\""), "unknown unit \"\"\": use mm, cm, m, in or ft");
    EXPECT_EQ(problemOf(" 5mm"), "\" 5\" is not a number");
    EXPECT_EQ(problemOf("5 mm "), "\"5 mm\" is not a number");
    // Control characters are not echoed.
    EXPECT_EQ(problemOf("\x1b[2Jmm"), "\"?[2\" is not a number");
}

TEST(LengthText, AnEchoedUnitIsCutOnACharacterBoundary)
{
    const std::string unit = std::string(39, 'x') + "\xC2\xB5";
    EXPECT_EQ(problemOf("1" + unit), "unknown unit \"" + std::string(39, 'x') + "...\": use mm, cm, m, in or ft");
}
