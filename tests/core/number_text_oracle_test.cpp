// SPDX-License-Identifier: GPL-3.0-or-later
// The conversions checked against the C library's own exact conversions
// (strtof, strtod and printf in the "C" locale) over seeded random inputs
// spread across the whole float range.
#include "number_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

using vostrel::CalcFailure;
using vostrel::formatSingle;
using vostrel::NumberFormat;
using vostrel::parseSingle;
using vostrel::roundDecimals;

namespace {

const NumberFormat kPoint{"."};

float floatFromBits(std::uint32_t bits)
{
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A random finite float, every bit pattern equally likely.
float randomFinite(std::mt19937& random)
{
    std::uniform_int_distribution<std::uint32_t> bits(0, 0xFFFFFFFFU);
    for (;;) {
        const float value = floatFromBits(bits(random));
        if (std::isfinite(value)) {
            return value;
        }
    }
}

std::string printed(const char* format, double value)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

int significantDigits(const std::string& text)
{
    int count = 0;
    bool started = false;
    for (const char c : text) {
        if (c == 'E') {
            break;
        }
        if (c >= '1' && c <= '9') {
            started = true;
        }
        if (started && c >= '0' && c <= '9') {
            ++count;
        }
    }
    return count;
}

} // namespace

TEST(NumberTextOracle, FormatMatchesPrintfSevenDigits)
{
    std::mt19937 random(1);
    for (int i = 0; i < 1'000'000; ++i) {
        const float value = randomFinite(random);
        const std::string text = formatSingle(value, kPoint);
        // The same decimal value as printf's exactly rounded 7 digits.
        const double expected = std::strtod(printed("%.6e", value).c_str(), nullptr);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), expected) << text << " for " << printed("%.9g", value);

        // And in the right shape.
        const double magnitude = std::fabs(expected);
        const bool exponentForm = text.find('E') != std::string::npos;
        ASSERT_EQ(exponentForm, magnitude != 0 && (magnitude >= 1e7 || magnitude < 1e-3)) << text;
        ASSERT_LE(significantDigits(text), 7) << text;
        ASSERT_EQ(text[0] == '-', std::signbit(value) && magnitude != 0) << text;
        const std::string unsignedText = text.substr(text[0] == '-' ? 1 : 0);
        const std::string mantissa = unsignedText.substr(0, unsignedText.find('E'));
        const std::size_t point = mantissa.find('.');
        if (point != std::string::npos) {
            ASSERT_NE(mantissa.back(), '0') << text;
            ASSERT_NE(mantissa.back(), '.') << text;
        }
        if (exponentForm) {
            const std::string exponent = unsignedText.substr(unsignedText.find('E') + 1);
            ASSERT_TRUE(exponent.size() >= 3 && (exponent[0] == '+' || exponent[0] == '-')) << text;
            ASSERT_TRUE(point == std::string::npos || point == 1) << text;
        } else if (magnitude < 1) {
            ASSERT_TRUE(mantissa == "0" || mantissa.rfind("0.", 0) == 0) << text;
        } else {
            ASSERT_NE(mantissa[0], '0') << text;
        }
    }
}

TEST(NumberTextOracle, RoundingMatchesPrintfThreeDecimals)
{
    std::mt19937 random(2);
    std::uniform_real_distribution<float> everyday(-100000.0F, 100000.0F);
    for (int i = 0; i < 1'000'000; ++i) {
        // Half the draws over the whole range, half where three decimals
        // actually cut digits off.
        const float value = (i % 2 == 0) ? randomFinite(random) : everyday(random);
        // printf rounds the exact value to three places, ties to even;
        // strtof then gives the nearest float to that decimal.
        const float expected = std::strtof(printed("%.3f", value).c_str(), nullptr);
        const float rounded = roundDecimals(value, 3);
        ASSERT_EQ(rounded, expected) << printed("%.9g", value);
    }
}

TEST(NumberTextOracle, ParseMatchesStrtof)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> precision(1, 40);
    std::uniform_int_distribution<int> digitCount(1, 60);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-70, 45);
    std::uniform_int_distribution<int> pick(0, 2);
    for (int i = 0; i < 1'000'000; ++i) {
        std::string text;
        switch (pick(random)) {
        case 0: {
            // A float printed with too few or too many digits.
            const std::string format = "%." + std::to_string(precision(random)) + "g";
            text = printed(format.c_str(), randomFinite(random));
            break;
        }
        case 1: {
            // Plain random digits with a random exponent.
            const int count = digitCount(random);
            for (int d = 0; d < count; ++d) {
                text.push_back(static_cast<char>('0' + digit(random)));
            }
            text.insert(text.begin() + std::uniform_int_distribution<int>(0, count)(random), '.');
            text += "e" + std::to_string(exponent(random));
            break;
        }
        default: {
            // A hair off a midpoint between two neighbouring floats, where a
            // conversion through double goes wrong.
            const float low = std::fabs(randomFinite(random));
            const float high = std::nextafter(low, INFINITY);
            if (!std::isfinite(high)) {
                continue;
            }
            const double midpoint = (static_cast<double>(low) + static_cast<double>(high)) / 2;
            text = printed("%.60e", midpoint);
            const std::size_t e = text.find('e');
            const char last = text[e - 1];
            text[e - 1] = (digit(random) < 5 || last == '9') ? '0' : static_cast<char>(last + 1);
            if (digit(random) < 3) {
                text[e - 1] = last; // exactly on the midpoint
            }
            break;
        }
        }
        errno = 0;
        const float expected = std::strtof(text.c_str(), nullptr);
        const auto result = parseSingle(text, kPoint);
        if (std::isinf(expected)) {
            ASSERT_FALSE(result.ok()) << text;
            ASSERT_EQ(result.failure(), CalcFailure::Overflow) << text;
        } else {
            ASSERT_TRUE(result.ok()) << text;
            ASSERT_EQ(result.value(), expected) << text;
            ASSERT_EQ(std::signbit(result.value()), std::signbit(expected)) << text;
        }
    }
}
