// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_text.h"
#include "shown_result.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using vostrel::CalcFailure;
using vostrel::doubleText;
using vostrel::formatSingle;
using vostrel::NumberFormat;
using vostrel::parseSingle;
using vostrel::roundDecimals;

namespace {

const NumberFormat kPoint{"."};
const NumberFormat kComma{","};

std::string shown(float value, const NumberFormat& format = kPoint)
{
    return vostrel::shownResult(value, format);
}

} // namespace

TEST(NumberText, HeaderExamples)
{
    // parseSingle
    EXPECT_EQ(parseSingle("14.2", kPoint).value(), 14.1999998F);
    EXPECT_EQ(parseSingle(" -7.1 ", kPoint).value(), -7.0999999F);
    EXPECT_EQ(parseSingle("00.0", kPoint).value(), 0.0F);
    EXPECT_EQ(parseSingle("1.8E+07", kPoint).value(), 18000000.0F);
    EXPECT_EQ(parseSingle("14,2", kComma).value(), 14.1999998F);
    EXPECT_EQ(parseSingle("1e-50", kPoint).value(), 0.0F);
    for (const char* text : {"", "   ", "abc", "14,2", "1.2.3", "1e"}) {
        SCOPED_TRACE(text);
        ASSERT_FALSE(parseSingle(text, kPoint).ok());
        EXPECT_EQ(parseSingle(text, kPoint).failure(), CalcFailure::ConversionError);
    }
    for (const char* text : {"1E39", "-3.5e38"}) {
        SCOPED_TRACE(text);
        ASSERT_FALSE(parseSingle(text, kPoint).ok());
        EXPECT_EQ(parseSingle(text, kPoint).failure(), CalcFailure::Overflow);
    }

    // roundDecimals
    EXPECT_EQ(roundDecimals(126.760567F, 3), 126.761F);
    EXPECT_EQ(roundDecimals(0.0625F, 3), 0.062F);
    EXPECT_EQ(roundDecimals(-47.6873245F, 3), -47.687F);

    // formatSingle
    EXPECT_EQ(formatSingle(126.761F, kPoint), "126.761");
    EXPECT_EQ(formatSingle(25714.2852F, kPoint), "25714.29");
    EXPECT_EQ(formatSingle(18000000.0F, kPoint), "1.8E+07");
    EXPECT_EQ(formatSingle(1200000.0F, kPoint), "1200000");
    EXPECT_EQ(formatSingle(0.0001F, kPoint), "1E-04");
    EXPECT_EQ(formatSingle(-0.832F, kPoint), "-0.832");
    EXPECT_EQ(formatSingle(0.832F, kComma), "0,832");
}

struct ParseRow {
    const char* text;
    float expected;
};

TEST(NumberText, ParsesTheAcceptedNotations)
{
    const ParseRow rows[] = {
        {"14.2", 14.1999998F}, {"14.20", 14.1999998F}, {"+14.2", 14.1999998F}, {"\t 14.2\t ", 14.1999998F},
        {"0014.2000", 14.1999998F}, {"142e-1", 14.1999998F}, {"1.42E1", 14.1999998F}, {"1.42e+001", 14.1999998F},
        {".5", 0.5F}, {"5.", 5.0F}, {"-.5", -0.5F}, {"0", 0.0F}, {"0.0", 0.0F}, {"0e999999999999999999999", 0.0F},
        {"3.6", 3.6F}, {"28.5", 28.5F}, {"0.07", 0.07F}, {"1e-37", 1e-37F}, {"3.4028234e38", 3.40282347e38F},
        // The largest value that still rounds to the largest float: one
        // below the midpoint 2^128 - 2^103 between it and 2^128.
        {"340282356779733661637539395458142568447", 3.40282347e38F}, {"1e-45", 1.40129846e-45F},
        {"7.1e-46", 1.40129846e-45F}, {"7e-46", 0.0F}, // just below half the smallest float
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.text);
        const auto result = parseSingle(row.text, kPoint);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.value(), row.expected);
    }
    EXPECT_TRUE(std::signbit(parseSingle("-0", kPoint).value()));
    EXPECT_TRUE(std::signbit(parseSingle("-1e-60", kPoint).value()));
}

TEST(NumberText, ParsesTheSameRowsWithACommaSeparator)
{
    const ParseRow rows[] = {
        {"14,2", 14.1999998F},
        {"14,20", 14.1999998F},
        {" -7,1", -7.0999999F},
        {",5", 0.5F},
        {"5,", 5.0F},
        {"1,42E1", 14.1999998F},
        {"00,0", 0.0F},
        {"3,6", 3.6F},
        {"1,8E+07", 18000000.0F},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.text);
        const auto result = parseSingle(row.text, kComma);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.value(), row.expected);
    }
    // A separator of several bytes (U+066B, the Arabic decimal separator).
    EXPECT_EQ(parseSingle("14\xD9\xAB"
                          "2",
                  NumberFormat{"\xD9\xAB"})
                  .value(),
        14.1999998F);
}

struct FailureRow {
    const char* name;
    std::string text;
    const NumberFormat* format;
    CalcFailure expected;
};

TEST(NumberText, RejectsWhatIsNotANumberWithTheRightKind)
{
    using std::string;
    const FailureRow rows[] = {
        {"empty", "", &kPoint, CalcFailure::ConversionError},
        {"blanks only", " \t ", &kPoint, CalcFailure::ConversionError},
        {"letters", "abc", &kPoint, CalcFailure::ConversionError},
        {"unit suffix", "14.2MHz", &kPoint, CalcFailure::ConversionError},
        {"comma in point locale", "14,2", &kPoint, CalcFailure::ConversionError},
        {"thousands separator", "1,420", &kPoint, CalcFailure::ConversionError},
        {"point in comma locale", "14.2", &kComma, CalcFailure::ConversionError},
        {"two separators", "1.2.3", &kPoint, CalcFailure::ConversionError},
        {"separator alone", ".", &kPoint, CalcFailure::ConversionError},
        {"sign alone", "-", &kPoint, CalcFailure::ConversionError},
        {"two signs", "--5", &kPoint, CalcFailure::ConversionError},
        {"sign after blank", "- 5", &kPoint, CalcFailure::ConversionError},
        {"inner blank", "1 4", &kPoint, CalcFailure::ConversionError},
        {"bare exponent", "e5", &kPoint, CalcFailure::ConversionError},
        {"exponent without digits", "1e", &kPoint, CalcFailure::ConversionError},
        {"exponent sign only", "1e+", &kPoint, CalcFailure::ConversionError},
        {"fractional exponent", "1e1.5", &kPoint, CalcFailure::ConversionError},
        {"infinity", "inf", &kPoint, CalcFailure::ConversionError},
        {"nan", "nan", &kPoint, CalcFailure::ConversionError},
        {"hexadecimal", "0x1A", &kPoint, CalcFailure::ConversionError},
        {"newline", "14.2\n", &kPoint, CalcFailure::ConversionError},
        {"nul inside", string("14\0.2", 5), &kPoint, CalcFailure::ConversionError},
        {"control character",
            "\x01"
            "14.2",
            &kPoint, CalcFailure::ConversionError},
        {"non-ASCII digits", "\xD9\xA1\xD9\xA4", &kPoint, CalcFailure::ConversionError},
        {"unicode minus",
            "\xE2\x88\x92"
            "7.1",
            &kPoint, CalcFailure::ConversionError},
        {"broken UTF-8", "\xFF\xFE", &kPoint, CalcFailure::ConversionError},
        {"too large", "1E39", &kPoint, CalcFailure::Overflow},
        {"too large negative", "-3.5e38", &kPoint, CalcFailure::Overflow},
        // Exactly the midpoint 2^128 - 2^103: the tie goes to the even
        // neighbour, 2^128, which is beyond the float range.
        {"midpoint above the largest float", "340282356779733661637539395458142568448", &kPoint, CalcFailure::Overflow},
        {"huge exponent", "1e99999999999999999999999", &kPoint, CalcFailure::Overflow},
        {"too large, comma", "4,0E38", &kComma, CalcFailure::Overflow},
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto result = parseSingle(row.text, *row.format);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure(), row.expected);
    }
}

TEST(NumberText, RoundsOnceStraightFromTheDigits)
{
    // Halfway between 1 and the next float is 1 + 2^-24 =
    // 1.000000059604644775390625. A text a hair above it must round up;
    // going through the nearest double first lands exactly on the midpoint
    // and then wrongly rounds down to 1 (ties to even).
    const char* aboveMidpoint = "1.00000005960464477539062500000001";
    const float expected = std::nextafter(1.0F, 2.0F);
    EXPECT_EQ(parseSingle(aboveMidpoint, kPoint).value(), expected);
    EXPECT_NE(static_cast<float>(std::stod(aboveMidpoint)), expected);
    // Exactly on the midpoint: ties to even, down to 1.
    EXPECT_EQ(parseSingle("1.000000059604644775390625", kPoint).value(), 1.0F);
}

TEST(NumberText, ReadsVeryLongTextsExactly)
{
    // A megabyte of digits: the digits past the first hundred still decide
    // the rounding when the start sits exactly on a midpoint.
    std::string midpoint = "1.000000059604644775390625";
    std::string longUp = midpoint + std::string(1 << 20, '0') + "1";
    EXPECT_EQ(parseSingle(longUp, kPoint).value(), std::nextafter(1.0F, 2.0F));
    std::string longTie = midpoint + std::string(1 << 20, '0');
    EXPECT_EQ(parseSingle(longTie, kPoint).value(), 1.0F);

    std::string manyIntegerDigits = "1" + std::string(1 << 20, '0') + "e-1048575";
    EXPECT_EQ(parseSingle(manyIntegerDigits, kPoint).value(), 10.0F);
    std::string tooLarge(1 << 20, '9');
    EXPECT_EQ(parseSingle(tooLarge, kPoint).failure(), CalcFailure::Overflow);
    std::string tiny = "0." + std::string(1 << 20, '0') + "1";
    EXPECT_EQ(parseSingle(tiny, kPoint).value(), 0.0F);
    // Exponents at the edge of what a 64-bit count holds.
    EXPECT_EQ(parseSingle("1e9223372036854775807", kPoint).failure(), CalcFailure::Overflow);
    EXPECT_EQ(parseSingle("1e-9223372036854775808", kPoint).value(), 0.0F);
    std::string shifted = "0." + std::string(1 << 20, '0') + "1e1048577";
    EXPECT_EQ(parseSingle(shifted, kPoint).value(), 1.0F);
    std::string garbage(1 << 20, '\x7F');
    EXPECT_EQ(parseSingle(garbage, kPoint).failure(), CalcFailure::ConversionError);
    std::string trailingGarbage = std::string(1 << 20, '1') + "x";
    EXPECT_EQ(parseSingle(trailingGarbage, kPoint).failure(), CalcFailure::ConversionError);
}

struct ShownRow {
    const char* name;
    float stored;
    const char* point;
    const char* comma;
};

TEST(NumberText, ShowsRoundedResults)
{
    const ShownRow rows[] = {
        {"cap 14.2", 126.760567F, "126.761", "126,761"},
        {"tap 28.5 in", 23.7600002F, "23.76", "23,76"},
        {"whole", 60.0F, "60", "60"},
        {"below one", 0.83217752F, "0.832", "0,832"},
        {"negative", -47.6873245F, "-47.687", "-47,687"},
        {"seven digits cut the decimals", 25714.2852F, "25714.29", "25714,29"},
        {"exact tie goes even (down)", 0.0625F, "0.062", "0,062"},
        {"exact tie goes even (up)", 0.1875F, "0.188", "0,188"},
        {"just below a tie", 0.0645F, "0.064", "0,064"}, // the float is 0.0644999966
        {"just above a tie", 0.0665F, "0.067", "0,067"}, // the float is 0.0665000007
        {"negative tie", -0.0625F, "-0.062", "-0,062"},
        {"rounds to zero", 0.0004F, "0", "0"},
        {"negative rounds to zero", -0.0004F, "0", "0"},
        {"rounds up to a whole number", 2.9996F, "3", "3"},
        {"smallest shown", 0.0005F, "0.001", "0,001"}, // 0.000500000024 rounds up
        {"ten million", 18000000.0F, "1.8E+07", "1,8E+07"},
        {"just below ten million", 9999999.0F, "9999999", "9999999"},
        {"exactly ten million", 10000000.0F, "1E+07", "1E+07"},
        {"large", 1.71e7F, "1.71E+07", "1,71E+07"},
        {"largest float", 3.40282347e38F, "3.402823E+38", "3,402823E+38"},
        {"a million", 1200000.0F, "1200000", "1200000"},
    };
    for (const ShownRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(shown(row.stored, kPoint), row.point);
        EXPECT_EQ(shown(row.stored, kComma), row.comma);
    }
}

TEST(NumberText, FormatsUnroundedFrequencies)
{
    EXPECT_EQ(formatSingle(parseSingle("14.2", kPoint).value(), kPoint), "14.2");
    EXPECT_EQ(formatSingle(parseSingle("14.20", kPoint).value(), kPoint), "14.2");
    EXPECT_EQ(formatSingle(0.0F, kPoint), "0");
    EXPECT_EQ(formatSingle(-0.0F, kPoint), "0");
    EXPECT_EQ(formatSingle(0.001F, kPoint), "0.001");
    EXPECT_EQ(formatSingle(0.00099999997F, kPoint), "9.999999E-04"); // the float below 0.001
    EXPECT_EQ(formatSingle(0.000999F, kPoint), "9.99E-04");
    EXPECT_EQ(formatSingle(1e-37F, kPoint), "1E-37");
    EXPECT_EQ(formatSingle(-5.1e-36F, kComma), "-5,1E-36");
    EXPECT_EQ(formatSingle(1.40129846e-45F, kPoint), "1.401298E-45");
    EXPECT_EQ(formatSingle(0.07F, kPoint), "0.07");
    EXPECT_EQ(formatSingle(123456.7F, kPoint), "123456.7");
    EXPECT_EQ(formatSingle(1234567.0F, kPoint), "1234567");
    // Exact ties at the seventh digit go to the even digit.
    EXPECT_EQ(formatSingle(1460454.5F, kPoint), "1460454");
    EXPECT_EQ(formatSingle(1460455.5F, kPoint), "1460456");
    EXPECT_EQ(formatSingle(-1460453.5F, kPoint), "-1460454");
}

TEST(NumberText, OddSeparatorsFallBackToAPoint)
{
    for (const char* separator : {"", "0", "-", "+", "e", "E", " "}) {
        SCOPED_TRACE(separator);
        const NumberFormat format{separator};
        EXPECT_EQ(parseSingle("14.2", format).value(), 14.1999998F);
        EXPECT_EQ(formatSingle(0.5F, format), "0.5");
    }
}

TEST(NumberText, NonFiniteValuesPassThrough)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(roundDecimals(inf, 3), inf);
    EXPECT_EQ(roundDecimals(-inf, 3), -inf);
    EXPECT_TRUE(std::isnan(roundDecimals(nan, 3)));
    EXPECT_EQ(formatSingle(inf, kPoint), "Infinity");
    EXPECT_EQ(formatSingle(-inf, kPoint), "-Infinity");
    EXPECT_EQ(formatSingle(nan, kPoint), "NaN");
}

TEST(NumberText, RoundsToOtherPlacesAndClampsTheCount)
{
    EXPECT_EQ(roundDecimals(2.5F, 0), 2.0F);
    EXPECT_EQ(roundDecimals(3.5F, 0), 4.0F);
    EXPECT_EQ(roundDecimals(1.25F, 1), 1.2F);
    EXPECT_EQ(roundDecimals(14.1999998F, 8), 14.1999998F);
    EXPECT_EQ(roundDecimals(2.5F, -3), 2.0F); // clamped to 0 places
    EXPECT_EQ(roundDecimals(0.123456789F, 12), 0.12345679F); // clamped to 8 places
    EXPECT_EQ(roundDecimals(1.0e-40F, 3), 0.0F); // a denormal
}

TEST(DoubleText, DecimalsOrShortestAndNeverMinusZero)
{
    EXPECT_EQ(doubleText(2.5, 2), "2.50");
    EXPECT_EQ(doubleText(-1.25, 1), "-1.2");
    EXPECT_EQ(doubleText(-0.004, 2), "0.00");
    EXPECT_EQ(doubleText(-0.0, std::nullopt), "0");
    EXPECT_EQ(doubleText(14.3, std::nullopt), "14.3");
    EXPECT_EQ(doubleText(-1e22, 0), "-1" + std::string(22, '0'));
    EXPECT_EQ(doubleText(-std::numeric_limits<double>::max(), 17).size(), 1 + 309 + 1 + 17);
}
