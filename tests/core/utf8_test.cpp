// SPDX-License-Identifier: GPL-3.0-or-later
// Text made safe to echo.
#include "utf8.h"

#include <gtest/gtest.h>

using vostrel::shownText;

TEST(ShownText, KeepsPrintableUtf8AndMarksTheRest)
{
    EXPECT_EQ(shownText("14.3", 40), "14.3");
    EXPECT_EQ(shownText("\xC2\xB5m", 40), "\xC2\xB5m");
    EXPECT_EQ(shownText("\x1B[2J\x7F", 40), "?[2J?");
    EXPECT_EQ(shownText("14\u202E3\xC2\x9B", 40), "14?3?");
    EXPECT_EQ(shownText("5\xFF\xE2\x80", 40), "5???");
}

TEST(ShownText, CutsLongTextOnACharacterBoundary)
{
    EXPECT_EQ(shownText("abc", 3), "abc");
    EXPECT_EQ(shownText("abcd", 3), "abc...");
    EXPECT_EQ(shownText("ab\xC2\xB5", 3), "ab...");
    EXPECT_EQ(shownText("", 3), "");
}
