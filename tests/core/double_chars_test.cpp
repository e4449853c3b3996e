// SPDX-License-Identifier: GPL-3.0-or-later
// The portable number text against the standard library's <charconv>
// where it has the floating-point overloads (the native builds), and against
// the C library's strtod/strtof/printf where it does not (WebAssembly).
#include "double_chars.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>
#include <version>
#if defined(__cpp_lib_to_chars)
#include <charconv>
#endif

using vostrel::fixedText;
using vostrel::readDouble;
using vostrel::readFloat;
using vostrel::scientificText;
using vostrel::shortestText;

namespace {

std::string bitsOf(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%a", value);
    return buffer;
}

// What the reference reads: nothing where from_chars fails or stops early.
template <typename Float> std::optional<Float> referenceRead(const std::string& text)
{
#if defined(__cpp_lib_to_chars)
    Float value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
#else
    // strtod rounds exactly too; it takes more shapes, which the tests avoid.
    errno = 0;
    char* end = nullptr;
    const Float value = std::is_same_v<Float, float> ? static_cast<Float>(std::strtof(text.c_str(), &end))
                                                     : static_cast<Float>(std::strtod(text.c_str(), &end));
    if (end != text.c_str() + text.size() || (errno == ERANGE && (value == 0 || std::isinf(value)))) {
        return std::nullopt;
    }
    return value;
#endif
}

std::string referenceFixed(double value, int precision)
{
#if defined(__cpp_lib_to_chars)
    char buffer[1200];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    return {buffer, result.ptr};
#else
    char buffer[1200];
    std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    return buffer;
#endif
}

std::string referenceScientific(double value, int precision)
{
#if defined(__cpp_lib_to_chars)
    char buffer[1200];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision);
    return {buffer, result.ptr};
#else
    char buffer[1200];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
    return buffer;
#endif
}

// The shortest form has no C library counterpart: without <charconv> the
// check falls back to reading back and counting digits.
std::optional<std::string> referenceShortest(double value)
{
#if defined(__cpp_lib_to_chars)
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
#else
    (void)value;
    return std::nullopt;
#endif
}

double doubleFromBits(std::uint64_t bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double randomFinite(std::mt19937_64& random)
{
    for (;;) {
        const double value = doubleFromBits(random());
        if (std::isfinite(value)) {
            return value;
        }
    }
}

// The contract's examples, one row each.
struct ReadRow {
    const char* name;
    const char* text;
    std::optional<double> expected;
};

class ReadDoubleExamples : public testing::TestWithParam<ReadRow> { };

TEST_P(ReadDoubleExamples, MatchesTheContract)
{
    const ReadRow& row = GetParam();
    const std::optional<double> read = readDouble(row.text);
    ASSERT_EQ(read.has_value(), row.expected.has_value()) << row.text;
    if (row.expected) {
        EXPECT_EQ(bitsOf(*read), bitsOf(*row.expected)) << row.text;
    }
#if defined(__cpp_lib_to_chars) // strtod takes more shapes
    if (row.text != std::string("inf")) { // from_chars reads that; the callers want no infinity
        EXPECT_EQ(read.has_value(), referenceRead<double>(row.text).has_value()) << row.text;
    }
#endif
}

INSTANTIATE_TEST_SUITE_P(Contract, ReadDoubleExamples,
    testing::Values(ReadRow{"plain", "14.3", 14.3}, ReadRow{"negativeExponent", "-2.5e-3", -0.0025},
        ReadRow{"noLeadingDigit", ".5", 0.5}, ReadRow{"trailingPoint", "5.", 5.0},
        ReadRow{"zeroHugeExponent", "0e999", 0.0}, ReadRow{"negativeZero", "-0", -0.0},
        ReadRow{"smallestSubnormal", "4e-324", 4.9406564584124654e-324},
        ReadRow{"justAboveHalfSmallest", "2.5e-324", 4.9406564584124654e-324},
        ReadRow{"largest", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        ReadRow{"capitalExponent", "1E+2", 100.0}, ReadRow{"overflow", "1e309", std::nullopt},
        ReadRow{"roundsToZero", "2e-324", std::nullopt},
        ReadRow{"justAboveLargestMidpoint", "1.7976931348623159e308", std::nullopt}, ReadRow{"empty", "", std::nullopt},
        ReadRow{"exponentWithoutDigits", "1e", std::nullopt}, ReadRow{"exponentSignWithoutDigits", "1e+", std::nullopt},
        ReadRow{"leadingPlus", "+1", std::nullopt}, ReadRow{"leadingBlank", " 1", std::nullopt},
        ReadRow{"trailingBlank", "1 ", std::nullopt}, ReadRow{"twoPoints", "1.2.3", std::nullopt},
        ReadRow{"pointAlone", ".", std::nullopt}, ReadRow{"minusAlone", "-", std::nullopt},
        ReadRow{"infinity", "inf", std::nullopt}, ReadRow{"hexadecimal", "0x1p3", std::nullopt}),
    [](const testing::TestParamInfo<ReadRow>& info) { return std::string(info.param.name); });

struct WriteRow {
    const char* name;
    double value;
    int precision; // -1: shortest; -2 - p: scientific with p
    const char* expected;
};

class WriteExamples : public testing::TestWithParam<WriteRow> { };

TEST_P(WriteExamples, MatchesTheContract)
{
    const WriteRow& row = GetParam();
    if (row.precision == -1) {
        EXPECT_EQ(shortestText(row.value), row.expected);
    } else if (row.precision <= -2) {
        EXPECT_EQ(scientificText(row.value, -2 - row.precision), row.expected);
    } else {
        EXPECT_EQ(fixedText(row.value, row.precision), row.expected);
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Contract, WriteExamples,
    testing::Values(WriteRow{"shortestPlain", 14.3, -1, "14.3"}, WriteRow{"shortestExponent", 1e21, -1, "1e+21"},
        WriteRow{"shortestPlainOnTie", 0.001, -1, "0.001"}, WriteRow{"shortestSmallExponent", 1e-5, -1, "1e-05"},
        WriteRow{"shortestNegativeZero", -0.0, -1, "-0"}, WriteRow{"shortestInfinity", kInf, -1, "inf"},
        WriteRow{"shortestMinusInfinity", -kInf, -1, "-inf"},
        WriteRow{"shortestNan", std::numeric_limits<double>::quiet_NaN(), -1, "nan"},
        WriteRow{"shortestSeventeenDigits", 0.30000000000000004, -1, "0.30000000000000004"},
        WriteRow{"fixedPadded", 2.5, 2, "2.50"}, WriteRow{"fixedTieToEven", 0.125, 2, "0.12"},
        WriteRow{"fixedTieToEvenUp", 0.375, 2, "0.38"}, WriteRow{"fixedNegativeZero", -0.004, 2, "-0.00"},
        WriteRow{"fixedCarry", 9.996, 2, "10.00"}, WriteRow{"fixedNoDecimals", 2.5, 0, "2"},
        WriteRow{"fixedNoDecimalsUp", 3.5, 0, "4"}, WriteRow{"fixedHalfUnitUp", 0.006, 2, "0.01"},
        WriteRow{"fixedBelowHalfUnit", 0.004, 2, "0.00"}, WriteRow{"scientificSix", 126.7605, -8, "1.267605e+02"},
        WriteRow{"scientificLargeExponent", 1e300, -5, "1.000e+300"}, WriteRow{"scientificZero", 0.0, -2, "0e+00"},
        WriteRow{"scientificCarry", 9.9996, -5, "1.000e+01"}, WriteRow{"scientificNegative", -0.00015, -3, "-1.5e-04"}),
    [](const testing::TestParamInfo<WriteRow>& info) { return std::string(info.param.name); });

// Hand-picked hard cases: each read and written both ways.
struct EdgeRow {
    const char* name;
    const char* text;
};

class EdgeValues : public testing::TestWithParam<EdgeRow> { };

TEST_P(EdgeValues, ReadAndWrittenAsTheReference)
{
    const std::string text = GetParam().text;
    const std::optional<double> expected = referenceRead<double>(text);
    const std::optional<double> read = readDouble(text);
    ASSERT_EQ(read.has_value(), expected.has_value()) << text;
    const std::optional<float> expectedFloat = referenceRead<float>(text);
    const std::optional<float> readSingle = readFloat(text);
    ASSERT_EQ(readSingle.has_value(), expectedFloat.has_value()) << text;
    if (expectedFloat) {
        EXPECT_EQ(bitsOf(*readSingle), bitsOf(*expectedFloat)) << text;
    }
    if (!expected) {
        return;
    }
    EXPECT_EQ(bitsOf(*read), bitsOf(*expected)) << text;
    if (const std::optional<std::string> shortest = referenceShortest(*expected)) {
        EXPECT_EQ(shortestText(*expected), *shortest) << text;
    }
    for (const int precision : {0, 1, 3, 6, 16, 17, 20, 40}) {
        EXPECT_EQ(scientificText(*expected, precision), referenceScientific(*expected, precision)) << text;
        EXPECT_EQ(fixedText(*expected, precision), referenceFixed(*expected, precision)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Hard, EdgeValues,
    testing::Values(EdgeRow{"largestSubnormal", "2.2250738585072009e-308"},
        EdgeRow{"smallestNormal", "2.2250738585072014e-308"}, EdgeRow{"subnormalMiddle", "1e-310"},
        EdgeRow{"halfSmallestSubnormal", "2.4703282292062327e-324"},
        EdgeRow{"justAboveHalfSmallestSubnormal", "2.4703282292062328e-324"}, EdgeRow{"largeFinite", "1e308"},
        EdgeRow{"largestFinite", "1.7976931348623157e308"},
        // 2^53 + 1 lies halfway between 2^53 and 2^53 + 2: ties to even.
        EdgeRow{"twoPower53PlusOne", "9007199254740993"},
        EdgeRow{"twoPower53PlusOneAndABit", "9007199254740993.0000000000000000000000000000000001"},
        EdgeRow{"twoPower53PlusThree", "9007199254740995"},
        // Halfway between 1 and the next double, written out in full.
        EdgeRow{"halfwayAfterOne", "1.00000000000000011102230246251565404236316680908203125"},
        EdgeRow{"halfwayAfterOneAndABit", "1.000000000000000111022302462515654042363166809082031250001"},
        EdgeRow{"halfwayAfterOneLess", "1.00000000000000011102230246251565404236316680908203124999"},
        EdgeRow{"tenTo23", "1e23"}, EdgeRow{"clingerHard", "8.98846567431158e307"},
        EdgeRow{"longDigits",
            "3.14159265358979323846264338327950288419716939937510582097494459230781640628620899862803482534211706798"},
        EdgeRow{"manyLeadingZeros", "0.000000000000000000000000000000000000000000000000000000000000123456789"},
        EdgeRow{"floatHalfwayAfterOne", "1.000000059604644775390625"}, EdgeRow{"floatLargest", "3.4028234663852886e38"},
        EdgeRow{"floatSmallestSubnormal", "1e-45"}, EdgeRow{"floatBelowHalfSmallest", "7e-46"},
        EdgeRow{"pointOne", "0.1"}, EdgeRow{"fastPathEdge", "123456789012345e22"},
        EdgeRow{"beyondFastPath", "1234567890123456e-22"}, EdgeRow{"negativeHalfway", "-9007199254740993"}),
    [](const testing::TestParamInfo<EdgeRow>& info) { return std::string(info.param.name); });

// A text with more than 800 significant digits: only whether something
// non-zero follows the kept ones can tip a halfway case.
TEST(DoubleChars, DigitsPastTheKeptOnesStillTipAHalfwayCase)
{
    const std::string halfway = "9007199254740993" + std::string(900, '0');
    const std::string above = halfway + "1";
    EXPECT_EQ(readDouble(halfway + "e-900"), 9007199254740992.0);
    EXPECT_EQ(readDouble(above + "e-901"), 9007199254740994.0);
    EXPECT_EQ(referenceRead<double>(above + "e-901"), 9007199254740994.0);
}

// Seeded random doubles of every bit pattern, written in each form.
TEST(DoubleChars, RandomDoublesWrittenAsTheReference)
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> precision(0, 25);
    for (int i = 0; i < 20000; ++i) {
        const double value = randomFinite(random);
        const std::string shortest = shortestText(value);
        ASSERT_EQ(readDouble(shortest), value) << shortest;
        if (const std::optional<std::string> expected = referenceShortest(value)) {
            ASSERT_EQ(shortest, *expected) << bitsOf(value);
        }
        const int p = precision(random);
        ASSERT_EQ(scientificText(value, p), referenceScientific(value, p)) << bitsOf(value);
        ASSERT_EQ(fixedText(value, p), referenceFixed(value, p)) << bitsOf(value);
    }
}

// Values of everyday size, where the plain and exponent forms compete.
TEST(DoubleChars, EverydayValuesWrittenAsTheReference)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> logarithm(-30, 30);
    std::uniform_int_distribution<int> digits(1, 17);
    for (int i = 0; i < 20000; ++i) {
        const double raw = std::pow(10.0, logarithm(random));
        const double value = *readDouble(scientificText(raw, digits(random) - 1));
        if (const std::optional<std::string> expected = referenceShortest(value)) {
            ASSERT_EQ(shortestText(value), *expected) << bitsOf(value);
        }
        ASSERT_EQ(fixedText(value, 3), referenceFixed(value, 3)) << bitsOf(value);
    }
}

// Seeded random decimal texts: digit counts, points and exponents of every
// size, both inside and beyond each type's range.
TEST(DoubleChars, RandomTextsReadAsTheReference)
{
    std::mt19937_64 random(42);
    std::uniform_int_distribution<int> digitCount(1, 30);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-360, 330);
    std::uniform_int_distribution<int> coin(0, 3);
    for (int i = 0; i < 40000; ++i) {
        std::string text = coin(random) == 0 ? "-" : "";
        const int count = digitCount(random);
        std::uniform_int_distribution<int> pointAt(0, count);
        const int point = coin(random) == 0 ? -1 : pointAt(random);
        for (int d = 0; d < count; ++d) {
            if (d == point) {
                text.push_back('.');
            }
            text.push_back(static_cast<char>('0' + digit(random)));
        }
        text += "e" + std::to_string(coin(random) == 0 ? exponent(random) / 8 : exponent(random));
        const std::optional<double> expected = referenceRead<double>(text);
        const std::optional<double> read = readDouble(text);
        ASSERT_EQ(read.has_value(), expected.has_value()) << text;
        if (expected) {
            ASSERT_EQ(bitsOf(*read), bitsOf(*expected)) << text;
        }
        const std::optional<float> expectedFloat = referenceRead<float>(text);
        const std::optional<float> readSingle = readFloat(text);
        ASSERT_EQ(readSingle.has_value(), expectedFloat.has_value()) << text;
        if (expectedFloat) {
            ASSERT_EQ(bitsOf(*readSingle), bitsOf(*expectedFloat)) << text;
        }
    }
}

// The exact midpoints between neighbouring doubles and floats, and a unit
// in the last of their many digits either side: the hardest reads.
TEST(DoubleChars, MidpointsReadAsTheReference)
{
    std::mt19937_64 random(99);
    for (int i = 0; i < 3000; ++i) {
        const double low = std::fabs(randomFinite(random));
        const double high = std::nextafter(low, kInf);
        if (std::isinf(high)) {
            continue;
        }
        // low and high are 0.d * 10^p exactly; their mean has one more binary
        // digit, exact as a decimal: average the exact expansions.
        const std::string lowText = scientificText(low, 800);
        const std::string highText = scientificText(high, 800);
        // Twice the midpoint is low + high; half of it written exactly by
        // the long double, which holds it on every target the tests run on.
        const long double mid = (static_cast<long double>(low) + static_cast<long double>(high)) / 2;
        if (static_cast<long double>(low) >= mid || mid >= static_cast<long double>(high)) {
            continue;
        }
        char buffer[1200];
        std::snprintf(buffer, sizeof buffer, "%.790Le", mid);
        std::string text = buffer;
        const std::size_t e = text.find('e');
        std::string mantissa = text.substr(0, e);
        while (mantissa.back() == '0') {
            mantissa.pop_back();
        }
        const std::string exponentPart = text.substr(e);
        for (const std::string& candidate : {mantissa + exponentPart, mantissa + "1" + exponentPart}) {
            const std::optional<double> expected = referenceRead<double>(candidate);
            const std::optional<double> read = readDouble(candidate);
            ASSERT_EQ(read.has_value(), expected.has_value()) << candidate;
            if (expected) {
                ASSERT_EQ(bitsOf(*read), bitsOf(*expected))
                    << candidate << " between " << lowText << " and " << highText;
            }
        }
    }
}

} // namespace
