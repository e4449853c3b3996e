// SPDX-License-Identifier: GPL-3.0-or-later
#include "ascii.h"

#include <gtest/gtest.h>

namespace {

using namespace vostrel::ascii;

TEST(Ascii, HeaderExamples)
{
    EXPECT_EQ(lower('A'), 'a');
    EXPECT_EQ(lower('z'), 'z');
    EXPECT_EQ(lower('1'), '1');
    EXPECT_EQ(lower('\xC4'), '\xC4');
    EXPECT_EQ(upper('a'), 'A');
    EXPECT_EQ(upper('Z'), 'Z');
    EXPECT_EQ(upper('-'), '-');
    EXPECT_TRUE(isLetter('q'));
    EXPECT_TRUE(isLetter('Q'));
    EXPECT_FALSE(isLetter('"'));
    EXPECT_EQ(lowered("GS 0 0"), "gs 0 0");
    EXPECT_EQ(uppered("gs"), "GS");
    EXPECT_TRUE(equalFolded("FR", "fr"));
    EXPECT_FALSE(equalFolded("FR", "FRX"));
}

// The letters' neighbours in ASCII are no letters, and bytes above 0x7f
// (UTF-8, cp1251) pass unchanged both ways.
TEST(Ascii, OnlyTheTwentySixLettersFold)
{
    for (int i = 0; i < 256; ++i) {
        const char c = static_cast<char>(i);
        const bool letter = (i >= 'A' && i <= 'Z') || (i >= 'a' && i <= 'z');
        EXPECT_EQ(isLetter(c), letter) << i;
        if (!letter) {
            EXPECT_EQ(lower(c), c) << i;
            EXPECT_EQ(upper(c), c) << i;
        } else {
            EXPECT_EQ(upper(lower(c)), upper(c)) << i;
            EXPECT_NE(lower(c), upper(c)) << i;
        }
    }
}

} // namespace
