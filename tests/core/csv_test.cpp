// SPDX-License-Identifier: GPL-3.0-or-later
// The one CSV policy: RFC 4180 quoting, the formula guard on echoed text,
// shortest round-trip numbers.
#include "csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace vostrel;

namespace {

struct FieldRow {
    const char* name;
    const char* text;
    const char* field; // as field() writes it
    const char* echoed; // as echoed() writes it
};

void PrintTo(const FieldRow& row, std::ostream* out)
{
    *out << row.name;
}

class CsvField : public testing::TestWithParam<FieldRow> { };

TEST_P(CsvField, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(csv::field(GetParam().text), GetParam().field);
    EXPECT_EQ(csv::echoed(GetParam().text), GetParam().echoed);
}

INSTANTIATE_TEST_SUITE_P(Rows, CsvField,
    testing::Values(FieldRow{"plain", "14.2", "14.2", "14.2"}, FieldRow{"empty", "", "", ""},
        FieldRow{"comma", "a,b", "\"a,b\"", "\"a,b\""},
        FieldRow{"quote", "say \"x\"", "\"say \"\"x\"\"\"", "\"say \"\"x\"\"\""},
        FieldRow{"lineFeed", "a\nb", "\"a\nb\"", "\"a\nb\""},
        FieldRow{"carriageReturn", "a\rb", "\"a\rb\"", "\"a\rb\""}, FieldRow{"leadingBlank", " 7", "\" 7\"", "\" 7\""},
        FieldRow{"trailingBlank", "7 ", "\"7 \"", "\"7 \""}, FieldRow{"inwardBlank", "a b", "a b", "a b"},
        FieldRow{"formulaEquals", "=1+1", "=1+1", "'=1+1"}, FieldRow{"formulaPlus", "+1", "+1", "'+1"},
        FieldRow{"formulaMinusWithComma", "-5,3", "\"-5,3\"", "\"'-5,3\""},
        FieldRow{"formulaAt", "@SUM(A1)", "@SUM(A1)", "'@SUM(A1)"}, FieldRow{"formulaTab", "\t1", "\t1", "'\t1"},
        FieldRow{"formulaCarriageReturn", "\r1", "\"\r1\"", "\"'\r1\""}, FieldRow{"equalsInside", "a=b", "a=b", "a=b"}),
    [](const testing::TestParamInfo<FieldRow>& info) { return std::string(info.param.name); });

TEST(Csv, NumbersAreTheShortestThatReadBack)
{
    EXPECT_EQ(csv::number(14.3), "14.3");
    EXPECT_EQ(csv::number(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(csv::number(1e300), "1e+300");
    EXPECT_EQ(csv::number(-0.0), "0");
    EXPECT_EQ(csv::number(std::numeric_limits<double>::infinity()), "inf");
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> values(-1e6, 1e6);
    for (int i = 0; i < 10000; ++i) {
        const double value = values(random);
        const std::string text = csv::number(value);
        ASSERT_EQ(std::stod(text), value) << text;
        ASSERT_LE(text.size(), 24U) << text;
    }
}

TEST(Csv, RecordsJoinFieldsAndEndWithALineFeed)
{
    EXPECT_EQ(csv::record({"a", "", "1"}), "a,,1\n");
    EXPECT_EQ(csv::record({}), "\n");
    const std::vector<std::string> fields = {csv::echoed("=x"), csv::number(2.5)};
    EXPECT_EQ(csv::record(fields), "'=x,2.5\n");
}

} // namespace
