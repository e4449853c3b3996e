// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure_message.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using vostrel::CalcFailure;
using vostrel::decodeUtf8;
using vostrel::failureMessage;
using vostrel::isInvisible;
using vostrel::NumberFormat;

namespace {

const NumberFormat kPoint{"."};
const NumberFormat kComma{","};
const std::string kLead = "Type the operating frequency in MHz, for example 14.2: ";

} // namespace

TEST(Utf8, HeaderExamples)
{
    struct Case {
        std::string_view text;
        std::size_t at;
        char32_t codePoint;
        std::size_t length;
        bool valid;
    };
    for (const Case& c : {
             Case{"k", 0, U'k', 1, true},
             Case{"\xC2\xA0", 0, 0xA0, 2, true},
             Case{"1\xE2\x80\x8B", 1, 0x200B, 3, true},
             Case{"\xF0\x9F\x93\xA1", 0, 0x1F4E1, 4, true},
             Case{"\xFF", 0, 0xFFFD, 1, false},
             Case{"\xC0\x80", 0, 0xFFFD, 1, false},
             Case{"\xE2\x80", 0, 0xFFFD, 1, false},
             Case{"\xED\xA0\x80", 0, 0xFFFD, 1, false}, // a surrogate
             Case{"\x80", 0, 0xFFFD, 1, false},
         }) {
        const auto decoded = decodeUtf8(c.text, c.at);
        EXPECT_EQ(decoded.codePoint, c.codePoint) << c.text;
        EXPECT_EQ(decoded.length, c.length) << c.text;
        EXPECT_EQ(decoded.valid, c.valid) << c.text;
    }
    for (const char32_t c : {U'A', U' ', U'\u00B5', U'\u4E2D'}) {
        EXPECT_FALSE(isInvisible(c)) << static_cast<unsigned>(c);
    }
    for (const char32_t c : {U'\t', U'\u0085', U'\u00A0', U'\u200B', U'\u202E', U'\uFEFF', U'\u2066'}) {
        EXPECT_TRUE(isInvisible(c)) << static_cast<unsigned>(c);
    }
}

TEST(FailureMessage, HeaderExamples)
{
    const auto conversion = [](std::string_view text, const NumberFormat& format = kPoint) {
        return failureMessage(CalcFailure::ConversionError, text, format);
    };
    EXPECT_EQ(conversion(""), kLead + "nothing is typed (conversion error).");
    EXPECT_EQ(conversion("  "), kLead + "nothing is typed (conversion error).");
    EXPECT_EQ(conversion("14k2"), kLead + "the character \"k\" makes the text not a number (conversion error).");
    EXPECT_EQ(conversion("14\u200B"),
        kLead + "the invisible character U+200B (zero-width space) makes the text not a number (conversion error).");
    EXPECT_EQ(conversion("14\u00A0"),
        kLead + "the invisible character U+00A0 (no-break space) makes the text not a number (conversion error).");
    EXPECT_EQ(
        conversion("14µ"), kLead + "the character \"µ\" (U+00B5) makes the text not a number (conversion error).");
    EXPECT_EQ(conversion("14\xFF"),
        kLead + "the byte 0xFF, which is not UTF-8 text, makes the text not a number (conversion error).");
    EXPECT_EQ(conversion("14 2"), kLead + "a blank inside the number makes the text not a number (conversion error).");
    EXPECT_EQ(conversion("1e"), kLead + "the number ends too early (conversion error).");
    EXPECT_EQ(conversion("-"), kLead + "the number ends too early (conversion error).");
    EXPECT_EQ(conversion("14,2"),
        "Type the frequency with a point, for example 14.2: decimals are written with a point here (conversion "
        "error).");
    EXPECT_EQ(conversion("14.2", kComma),
        "Type the frequency with a comma, for example 14,2: this system writes decimals with a comma (conversion "
        "error).");
    EXPECT_EQ(conversion("14.2", NumberFormat{"\u066B"}),
        "Type the frequency with \"\u066B\" as the decimal separator, for example 14\u066B2: this system writes "
        "decimals with \"\u066B\" (conversion error).");

    for (const char* zero : {"0", "-0.0"}) {
        EXPECT_EQ(failureMessage(CalcFailure::DivisionByZero, zero, kPoint),
            kLead + "the frequency is 0 (division by zero).");
    }
    EXPECT_EQ(failureMessage(CalcFailure::DivisionByZero, "0", kComma),
        "Type the operating frequency in MHz, for example 14,2: the frequency is 0 (division by zero).");
    EXPECT_EQ(failureMessage(CalcFailure::DivisionByZero, "1e-50", kPoint),
        kLead + "the number is too small; it becomes 0 (division by zero).");
    EXPECT_EQ(failureMessage(CalcFailure::Overflow, "1E39", kPoint), kLead + "the number is too large (overflow).");
    EXPECT_EQ(failureMessage(CalcFailure::Overflow, "1e-37", kPoint),
        kLead + "the frequency is so close to 0 that the results are too large (overflow).");

    // A failure the text does not explain.
    EXPECT_EQ(failureMessage(CalcFailure::ConversionError, "14.2", kPoint),
        kLead + "the text is not a number (conversion error).");
    EXPECT_EQ(
        failureMessage(CalcFailure::DivisionByZero, "14.2", kPoint), kLead + "the frequency is 0 (division by zero).");
    EXPECT_EQ(failureMessage(CalcFailure::Overflow, "14.2", kPoint),
        kLead + "the frequency is too close to 0, or the number is too large (overflow).");
}

// Whatever is typed, the message starts with what to do and carries no
// invisible character and no byte that is not UTF-8.
TEST(FailureMessage, RandomTextsGiveCleanMessages)
{
    std::mt19937 random(9);
    const std::string alphabet = std::string("0123456789.,eE+- \tk\x1b\x7f\xff\xc2\x85\xa0\xe2\x80\x8b\xae", 30);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 8);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        for (std::size_t i = length(random); i > 0; --i) {
            text.push_back(alphabet[pick(random)]);
        }
        for (const NumberFormat* format : {&kPoint, &kComma}) {
            const auto parsed = vostrel::parseSingle(text, *format);
            if (parsed.ok()) {
                continue;
            }
            const std::string message = failureMessage(parsed.failure(), text, *format);
            ASSERT_EQ(message.rfind("Type the ", 0), 0U) << text;
            for (std::size_t i = 0; i < message.size();) {
                const auto c = decodeUtf8(message, i);
                ASSERT_TRUE(c.valid && !isInvisible(c.codePoint)) << text << " -> " << message;
                i += c.length;
            }
        }
    }
}
