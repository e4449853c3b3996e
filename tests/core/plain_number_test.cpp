// SPDX-License-Identifier: GPL-3.0-or-later
// The one plain-number reader: fields, command lines and measurement files.
#include "plain_number.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <random>

using namespace vostrel;

namespace {

struct ReadRow {
    const char* name;
    const char* text;
    const char* separator;
    std::variant<double, NumberRefusal> expected;
};

void PrintTo(const ReadRow& row, std::ostream* out)
{
    *out << row.name;
}

class PlainNumberRead : public testing::TestWithParam<ReadRow> { };

TEST_P(PlainNumberRead, ReadsOrRefuses)
{
    const ReadRow& row = GetParam();
    const auto read = readPlainNumber(row.text, NumberFormat{row.separator});
    if (const auto* value = std::get_if<double>(&row.expected)) {
        ASSERT_TRUE(std::holds_alternative<double>(read)) << "refused as " << static_cast<int>(std::get<1>(read));
        EXPECT_EQ(std::get<double>(read), *value);
        EXPECT_EQ(std::signbit(std::get<double>(read)), std::signbit(*value));
    } else {
        ASSERT_TRUE(std::holds_alternative<NumberRefusal>(read)) << "read as " << std::get<double>(read);
        EXPECT_EQ(std::get<NumberRefusal>(read), std::get<NumberRefusal>(row.expected));
    }
}

using R = NumberRefusal;

// The header's examples first, then both sides of every edge.
INSTANTIATE_TEST_SUITE_P(Rows, PlainNumberRead,
    testing::Values(ReadRow{"decimal", "14.3", ".", 14.3}, ReadRow{"negative", "-25", ".", -25.0},
        ReadRow{"plusAndNoIntegerDigits", "+.5", ".", 0.5}, ReadRow{"exponent", "1.4e7", ".", 1.4e7},
        ReadRow{"noFractionDigits", "5.", ".", 5.0}, ReadRow{"zeroWithHugeExponent", "0e999", ".", 0.0},
        ReadRow{"negativeZero", "-0", ".", -0.0}, ReadRow{"commaLocale", "14,3", ",", 14.3},
        ReadRow{"upperExponentSigned", "1.4E+07", ".", 1.4e7}, ReadRow{"negativeExponent", "-2.5e-3", ".", -2.5e-3},
        ReadRow{"leadingZeros", "007.50", ".", 7.5}, ReadRow{"largestDouble", "1.7976931348623157e308", ".", DBL_MAX},
        ReadRow{"smallestNormal", "2.2250738585072014e-308", ".", DBL_MIN}, ReadRow{"emptyText", "", ".", R::Empty},
        ReadRow{"letters", "abc", ".", R::NotANumber}, ReadRow{"leadingBlank", " 1", ".", R::NotANumber},
        ReadRow{"trailingBlank", "1 ", ".", R::NotANumber}, ReadRow{"exponentWithoutDigits", "1e", ".", R::NotANumber},
        ReadRow{"exponentSignWithoutDigits", "1e+", ".", R::NotANumber},
        ReadRow{"hexadecimal", "0x10", ".", R::NotANumber}, ReadRow{"twoSeparators", "1.2.3", ".", R::NotANumber},
        ReadRow{"signAlone", "-", ".", R::NotANumber}, ReadRow{"separatorAlone", ".", ".", R::NotANumber},
        ReadRow{"twoSigns", "++1", ".", R::NotANumber}, ReadRow{"fractionalExponent", "1e5.5", ".", R::NotANumber},
        ReadRow{"infinity", "inf", ".", R::NotANumber}, ReadRow{"notANumber", "nan", ".", R::NotANumber},
        ReadRow{"unitSuffix", "1f", ".", R::NotANumber}, ReadRow{"commaOnCommandLine", "1,5", ".", R::GroupSeparator},
        ReadRow{"groupedThousandsInCommaLocale", "1.000", ",", R::GroupSeparator},
        ReadRow{"groupedOhmsInCommaLocale", "22.500", ",", R::GroupSeparator},
        ReadRow{"groupedNegativeInCommaLocale", "-1.000", ",", R::GroupSeparator},
        ReadRow{"groupedWithDecimalsInCommaLocale", "1.000,5", ",", R::GroupSeparator},
        ReadRow{"dotAndLetterInCommaLocale", "1.x", ",", R::NotANumber},
        ReadRow{"groupedInDotLocale", "1,000.5", ".", R::GroupSeparator},
        ReadRow{"beyondLargest", "1.8e308", ".", R::TooLarge}, ReadRow{"farBeyond", "1e400", ".", R::TooLarge},
        ReadRow{"negativeBeyond", "-1e400", ".", R::TooLarge},
        ReadRow{"saturatedExponent", "-12e99999999999999999999", ".", R::TooLarge},
        ReadRow{"belowSmallest", "1e-400", ".", R::TooSmall},
        ReadRow{"belowSmallestShifted", "-0.01e-400", ".", R::TooSmall},
        ReadRow{"longDigitsBelowSmallest", "0.000000000000000000001e-310", ".", R::TooSmall}),
    [](const testing::TestParamInfo<ReadRow>& info) { return std::string(info.param.name); });

TEST(PlainNumber, RefusalSentencesNameTheNotation)
{
    EXPECT_EQ(refusalText(R::GroupSeparator, NumberFormat{","}),
        "is not a number here: decimals take \",\" and numbers have no thousands separator (1,5 or 1500)");
    EXPECT_EQ(refusalText(R::GroupSeparator, NumberFormat{"."}),
        "is not a number here: decimals take \".\" and numbers have no thousands separator (1.5 or 1500)");
    EXPECT_EQ(refusalText(R::NotANumber, {}), "is not a number");
    EXPECT_EQ(refusalText(R::TooLarge, {}), "is too large");
    EXPECT_EQ(refusalText(R::TooSmall, {}), "is too close to 0");
    EXPECT_EQ(refusalText(R::Empty, {}), "is empty");
}

// Any double written with 17 significant digits reads back as itself, in
// either notation (the oracle: printf's correctly rounded output).
TEST(PlainNumber, RandomDoublesRoundTrip)
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<std::uint64_t> bits;
    int checked = 0;
    while (checked < 20000) {
        const std::uint64_t pattern = bits(random);
        double value = 0;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isnormal(value)) {
            continue;
        }
        std::array<char, 40> text{};
        std::snprintf(text.data(), text.size(), "%.17e", value);
        ASSERT_EQ(plainNumber(text.data()), value) << text.data();
        std::string comma(text.data());
        comma[comma.find('.')] = ',';
        ASSERT_EQ(plainNumber(comma, NumberFormat{","}), value) << comma;
        ++checked;
    }
}

} // namespace
