// SPDX-License-Identifier: GPL-3.0-or-later
#include "shown_result.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using vostrel::GammaMatchValues;
using vostrel::kResultFields;
using vostrel::LengthUnit;
using vostrel::NumberFormat;
using vostrel::ResultUnit;
using vostrel::shownResult;

TEST(ShownResult, HeaderExamples)
{
    const NumberFormat point{"."};
    EXPECT_EQ(shownResult(126.760567F, point), "126.761");
    EXPECT_EQ(shownResult(25714.2852F, point), "25714.29");
    EXPECT_EQ(shownResult(0.0625F, point), "0.062");
    EXPECT_EQ(shownResult(8.45070457F, NumberFormat{","}), "8,451");
    EXPECT_EQ(shownResult(18000000.0F, point), "1.8E+07");

    EXPECT_EQ(kResultFields[0].name, "Spacing");
    EXPECT_EQ(kResultFields[3].unit, ResultUnit::Picofarads);
    EXPECT_EQ(kResultFields[4].key, "insertion_length");
}

// Read through the list, 14.2 MHz gives the texts the window's boxes show,
// top to bottom, after INCHES and after CM.
TEST(ShownResult, TheListReadsTheResultsInTheWindowsOrder)
{
    const std::array<std::array<const char*, 5>, 2> expected = {{
        {"6.099", "47.687", "10.876", "126.761", "8.451"},
        {"15.492", "120.423", "27.465", "126.761", "21.465"},
    }};
    const std::array units = {LengthUnit::Inches, LengthUnit::Centimetres};
    for (std::size_t u = 0; u < units.size(); ++u) {
        GammaMatchValues values;
        values.freq = 14.2F;
        ASSERT_TRUE(computeGammaMatch(values, units[u]));
        for (std::size_t i = 0; i < kResultFields.size(); ++i) {
            EXPECT_EQ(shownResult(values.*kResultFields[i].member, NumberFormat{}), expected[u][i])
                << kResultFields[i].name;
        }
    }
}
