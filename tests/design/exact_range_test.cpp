// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact_range.h"

#include <gtest/gtest.h>

using vostrel::design::ExactRange;
using vostrel::design::parseExactRange;

namespace {

ExactRange rangeOf(std::string_view text, std::string_view defaultSuffix = "")
{
    auto parsed = parseExactRange(text, defaultSuffix, 100000);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        ADD_FAILURE() << text << ": " << *problem;
        return {};
    }
    return std::get<ExactRange>(parsed);
}

std::string problemOf(std::string_view text, std::string_view defaultSuffix = "", std::size_t maxCount = 100000)
{
    auto parsed = parseExactRange(text, defaultSuffix, maxCount);
    EXPECT_TRUE(std::holds_alternative<std::string>(parsed)) << text;
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
}

} // namespace

TEST(ExactRange, CountsInExactDecimals)
{
    const ExactRange caps = rangeOf("70:150:1");
    ASSERT_EQ(caps.values.size(), 81U);
    EXPECT_EQ(caps.values.front(), "70");
    EXPECT_EQ(caps.values.back(), "150");
    EXPECT_EQ(rangeOf("1:2:0.3").values, (std::vector<std::string>{"1", "1.3", "1.6", "1.9"}));
    const ExactRange fine = rangeOf("0:1000:0.1");
    EXPECT_EQ(fine.values.size(), 10001U);
    EXPECT_EQ(fine.values[3], "0.3"); // never 0.30000000000000004
    EXPECT_EQ(fine.values.back(), "1000");
    EXPECT_EQ(rangeOf("-0.5:0.5:0.25").values, (std::vector<std::string>{"-0.5", "-0.25", "0", "0.25", "0.5"}));
    EXPECT_EQ(rangeOf("5:5:1").values, (std::vector<std::string>{"5"}));

    const ExactRange inches = rangeOf("35in:36in:0.25", "in");
    EXPECT_EQ(inches.values.size(), 5U);
    EXPECT_EQ(inches.suffix, "in");
    EXPECT_EQ(rangeOf("900mm:1000mm:50mm", "in").suffix, "mm");
    EXPECT_EQ(rangeOf("70pF:80pF:5pF", "pF").values.size(), 3U);
}

TEST(ExactRange, RefusesWhatItCannotCountExactly)
{
    EXPECT_EQ(problemOf("70:150"), "a range has three parts, from:to:step");
    EXPECT_EQ(problemOf("70:150:1:2"), "a range has three parts, from:to:step");
    EXPECT_EQ(problemOf(""), "a range has three parts, from:to:step");
    EXPECT_NE(problemOf("7e1:150:1").find("plain decimals"), std::string::npos);
    EXPECT_NE(problemOf("70::1").find("plain decimals"), std::string::npos);
    EXPECT_NE(problemOf("1:2:0.0000000001").find("plain decimals"), std::string::npos);
    EXPECT_EQ(problemOf("70:150:0"), "the step of a range must be above 0");
    EXPECT_EQ(problemOf("70:150:-1"), "the step of a range must be above 0");
    EXPECT_EQ(problemOf("150:70:1"), "a range runs upwards: its end is below its start");
    EXPECT_EQ(problemOf("35in:1m:0.1in", "in"), "the parts of a range are written in one unit");
    EXPECT_EQ(problemOf("35mm:40:1", "in"), "the parts of a range are written in one unit");
    EXPECT_NE(problemOf("1:100000000000000:0.000000001").find("too many digits"), std::string::npos);
    EXPECT_EQ(problemOf("0:10:1", "", 10), "the range has more than 10 values");
    EXPECT_EQ(rangeOf("0:9:1").values.size(), 10U);
}
