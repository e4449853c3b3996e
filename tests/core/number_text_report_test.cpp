// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers as the reports write them: fixed decimals, quantities that are
// never a false 0, and the window's four figures in the locale's notation.
#include "number_text.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vostrel;

namespace {

struct FiguresRow {
    const char* name;
    double value;
    int maxDecimals;
    const char* separator;
    const char* text;
};

void PrintTo(const FiguresRow& row, std::ostream* out)
{
    *out << row.name;
}

class Figures : public testing::TestWithParam<FiguresRow> { };

TEST_P(Figures, FourFiguresOrAnExponent)
{
    const FiguresRow& row = GetParam();
    EXPECT_EQ(figuresText(row.value, row.maxDecimals, NumberFormat{row.separator}), row.text);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Rows, Figures,
    testing::Values(FiguresRow{"rodLength", 38.9037, 3, ".", "38.90"},
        FiguresRow{"lineImpedance", 314.4, 3, ".", "314.4"},
        FiguresRow{"smallKeepsMaxDecimals", 0.0123456, 3, ".", "0.012"}, FiguresRow{"comma", 1.5, 3, ",", "1,500"},
        FiguresRow{"thousandsNoGrouping", 1234.6, 3, ",", "1235"}, FiguresRow{"zero", 0, 3, ".", "0"},
        FiguresRow{"belowABillion", 999999999, 3, ".", "999999999"}, FiguresRow{"aBillion", 1e9, 3, ".", "1.000e+09"},
        FiguresRow{"hugeComma", 1.2345e12, 3, ",", "1,234e+12"}, FiguresRow{"tiny", 1e-30, 3, ".", "1.000e-30"},
        FiguresRow{"justShows", 0.0005, 3, ".", "0.001"}, FiguresRow{"justBelowShowing", 0.000499, 3, ".", "4.990e-04"},
        FiguresRow{"negative", -25.0, 3, ".", "-25.00"}, FiguresRow{"exactThousand", 1000, 3, ".", "1000"},
        FiguresRow{"justBelowAThousand", 999.9, 3, ".", "999.9"}, FiguresRow{"exactTenth", 0.1, 3, ".", "0.100"},
        FiguresRow{"exactHundredth", 0.01, 3, ".", "0.010"}, FiguresRow{"infinite", kInf, 3, ".", "\u2014"},
        FiguresRow{"notANumber", std::numeric_limits<double>::quiet_NaN(), 3, ".", "\u2014"}),
    [](const testing::TestParamInfo<FiguresRow>& info) { return std::string(info.param.name); });

TEST(ReportNumbers, FixedAndQuantities)
{
    EXPECT_EQ(decimalsText(96.1437, 2), "96.14");
    EXPECT_EQ(decimalsText(1e300, 2), "1.000e+300");
    EXPECT_EQ(decimalsText(9.99e14, 0), "999000000000000");
    EXPECT_EQ(decimalsText(1e15, 0), "1.000e+15");
    EXPECT_EQ(decimalsText(-0.001, 2), "0.00");
    EXPECT_EQ(decimalsText(kInf, 2), "inf");
    EXPECT_EQ(decimalsText(-kInf, 2), "-inf");
    EXPECT_EQ(quantityText(3.2e-296, 2), "3.200e-296");
    EXPECT_EQ(quantityText(0.004, 2), "4.000e-03");
    EXPECT_EQ(quantityText(0.005, 2), "0.01");
    EXPECT_EQ(quantityText(0, 2), "0.00");
}

} // namespace
