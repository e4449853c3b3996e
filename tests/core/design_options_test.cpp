// SPDX-License-Identifier: GPL-3.0-or-later
// The option names and value forms vostrel-design and vostrel-designer share.
#include "design_options.h"
#include "gamma_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

using namespace vostrel;

namespace {

TEST(DesignOptions, EveryNameOnceWithHelpAndAValueWhereOneIsRead)
{
    std::set<std::string_view> names;
    for (const options::OptionInfo& option : options::designOptions()) {
        EXPECT_TRUE(option.name.starts_with("--")) << option.name;
        EXPECT_TRUE(names.insert(option.name).second) << option.name << " twice";
        EXPECT_EQ(options::findOption(option.name), &option);
    }
    for (const char* flag : {"--half", "--csv"}) {
        ASSERT_NE(options::findOption(flag), nullptr) << flag;
        EXPECT_TRUE(options::findOption(flag)->value.empty()) << flag;
    }
    for (const char* valued : {"--freq", "--r", "--x", "--element", "--rod", "--spacing", "--line", "--units",
             "--length", "--cap", "--tube-id", "--dielectric", "--s1p", "--element-length", "--nec", "--write-nec"}) {
        ASSERT_NE(options::findOption(valued), nullptr) << valued;
        EXPECT_FALSE(options::findOption(valued)->value.empty()) << valued;
        EXPECT_FALSE(options::findOption(valued)->help.empty()) << valued;
    }
    // The older designer spellings are not in the shared table.
    for (const char* older : {"--unit", "--step-up", "--tube", "--file", "freq"}) {
        EXPECT_EQ(options::findOption(older), nullptr) << older;
    }
}

struct CapacitanceRow {
    const char* name;
    const char* text;
    double pf; // NaN: refused
};

void PrintTo(const CapacitanceRow& row, std::ostream* out)
{
    *out << row.name;
}

class Capacitance : public testing::TestWithParam<CapacitanceRow> { };

TEST_P(Capacitance, ReadsPicofaradsOrShort)
{
    const auto read = options::readCapacitance(GetParam().text);
    if (std::isnan(GetParam().pf)) {
        EXPECT_FALSE(read.has_value()) << *read;
    } else {
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(*read, GetParam().pf);
    }
}

constexpr double kRefused = std::numeric_limits<double>::quiet_NaN();
constexpr double kShort = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Rows, Capacitance,
    testing::Values(CapacitanceRow{"bare", "96", 96}, CapacitanceRow{"suffix", "96pF", 96},
        CapacitanceRow{"lowerSuffix", "96pf", 96}, CapacitanceRow{"upperSuffixWithBlank", "96 PF", 96},
        CapacitanceRow{"exponent", "1e2pF", 100}, CapacitanceRow{"short", "short", kShort},
        CapacitanceRow{"shortUpper", "SHORT", kShort}, CapacitanceRow{"shortMixed", "Short", kShort},
        CapacitanceRow{"wrongSuffix", "96 pX", kRefused}, CapacitanceRow{"suffixAlone", "pF", kRefused},
        CapacitanceRow{"empty", "", kRefused}, CapacitanceRow{"twoBlanks", "96  pF", kRefused},
        CapacitanceRow{"microfarads", "5uF", kRefused}, CapacitanceRow{"shorted", "shorted", kRefused}),
    [](const testing::TestParamInfo<CapacitanceRow>& info) { return std::string(info.param.name); });

TEST(DesignOptions, UnitsAndDielectricsInAnyCase)
{
    EXPECT_EQ(options::readUnit("mm"), design::Unit::Millimetre);
    EXPECT_EQ(options::readUnit("MM"), design::Unit::Millimetre);
    EXPECT_EQ(options::readUnit("In"), design::Unit::Inch);
    EXPECT_EQ(options::readUnit("FT"), design::Unit::Foot);
    EXPECT_FALSE(options::readUnit("yd"));
    EXPECT_FALSE(options::readUnit(""));
    EXPECT_EQ(options::readPermittivity("ptfe"), 2.1);
    EXPECT_EQ(options::readPermittivity("PTFE"), 2.1);
    EXPECT_EQ(options::readPermittivity("Polyethylene"), 2.25);
    EXPECT_EQ(options::readPermittivity("air"), 1.0);
    EXPECT_EQ(options::readPermittivity("3.5"), 3.5);
    EXPECT_FALSE(options::readPermittivity("glass"));
    EXPECT_FALSE(options::readPermittivity("3,5"));
}

} // namespace
