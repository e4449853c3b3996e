// SPDX-License-Identifier: GPL-3.0-or-later
#include "classic_page.h"

#include <gtest/gtest.h>

#include <string>

using vostrel::LengthUnit;
using vostrel::web::classicLine;
using vostrel::web::classicShown;

namespace {

struct Row {
    const char* name;
    const char* text;
    LengthUnit unit;
    const char* line;
};

class ClassicPage : public testing::TestWithParam<Row> { };

// What the window shows, as the header's examples and the README give it.
TEST_P(ClassicPage, ShowsWhatTheWindowShows)
{
    const Row& row = GetParam();
    EXPECT_EQ(classicLine(row.text, row.unit), row.line);
}

INSTANTIATE_TEST_SUITE_P(Examples, ClassicPage,
    testing::Values(Row{"inches", "14.2", LengthUnit::Inches, "ok\t6.099\t47.687\t10.876\t126.761\t8.451"},
        Row{"centimetres", "28.5", LengthUnit::Centimetres, "ok\t10.331\t60\t13.684\t63.158\t10.695"},
        Row{"blanksAround", " 14.2 ", LengthUnit::Centimetres, "ok\t15.492\t120.423\t27.465\t126.761\t21.465"},
        Row{"zero", "0", LengthUnit::Inches,
            "error\tType the operating frequency in MHz, for example 14.2: the frequency is 0 (division by zero)."},
        Row{"comma", "14,2", LengthUnit::Centimetres,
            "error\tType the frequency with a point, for example 14.2: decimals are written with a point here "
            "(conversion error)."},
        Row{"tooLarge", "1E39", LengthUnit::Inches,
            "error\tType the operating frequency in MHz, for example 14.2: the number is too large (overflow)."},
        Row{"closeToZero", "1e-37", LengthUnit::Inches,
            "error\tType the operating frequency in MHz, for example 14.2: the frequency is so close to 0 that the "
            "results are too large (overflow)."}),
    [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(ClassicPage, GivesTheFrequencyInNormalForm)
{
    EXPECT_EQ(classicShown("14.20", LengthUnit::Inches).frequency, "14.2");
    EXPECT_EQ(classicShown("1.42E1", LengthUnit::Centimetres).frequency, "14.2");
    EXPECT_TRUE(classicShown("abc", LengthUnit::Inches).frequency.empty());
}

} // namespace
