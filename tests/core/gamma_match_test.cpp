// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamma_match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using vostrel::CalcFailure;
using vostrel::computeGammaMatch;
using vostrel::GammaMatchValues;
using vostrel::LengthUnit;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

GammaMatchValues withFreq(float freq)
{
    GammaMatchValues values;
    values.freq = freq;
    return values;
}

// Marks the five results so that a test can tell which ones a failing
// computation left alone.
GammaMatchValues withFreqAndMarkers(float freq)
{
    GammaMatchValues values{freq, 901.0F, 902.0F, 903.0F, 904.0F, 905.0F};
    return values;
}

struct StoredRow {
    const char* name;
    float freq;
    LengthUnit unit;
    float cap, tap, spac, capl, tube;
};

// Stored values worked out by hand from the formulas, to nine significant
// digits (enough to name one float exactly).
const StoredRow kStoredRows[] = {
    {"14.2 in", 14.2F, LengthUnit::Inches, 126.760567F, 47.6873245F, 6.09915495F, 8.45070457F, 10.8760567F},
    {"14.2 cm", 14.2F, LengthUnit::Centimetres, 126.760567F, 120.422539F, 15.4918537F, 21.4647884F, 27.4647884F},
    {"28.5 cm", 28.5F, LengthUnit::Centimetres, 63.1578941F, 60.0F, 10.3313828F, 10.6947365F, 13.6842108F},
    {"3.6 in", 3.6F, LengthUnit::Inches, 500.0F, 188.100006F, 18.0216675F, 33.3333321F, 42.9000015F},
    {"-7.1 in", -7.1F, LengthUnit::Inches, -253.521133F, -95.374649F, -6.0483098F, -16.9014091F, -21.7521133F},
};

} // namespace

TEST(GammaMatch, StoresTheExactFloatsOfTheReferenceTable)
{
    for (const StoredRow& row : kStoredRows) {
        SCOPED_TRACE(row.name);
        GammaMatchValues values = withFreq(row.freq);
        ASSERT_TRUE(computeGammaMatch(values, row.unit).ok());
        EXPECT_EQ(values.freq, row.freq);
        EXPECT_EQ(values.cap, row.cap);
        EXPECT_EQ(values.tap, row.tap);
        EXPECT_EQ(values.spac, row.spac);
        EXPECT_EQ(values.capl, row.capl);
        EXPECT_EQ(values.tube, row.tube);
    }
}

TEST(GammaMatch, HeaderExamples)
{
    GammaMatchValues inches = withFreq(14.2F);
    ASSERT_TRUE(computeGammaMatch(inches, LengthUnit::Inches).ok());
    EXPECT_EQ(inches.cap, 126.760567F);
    EXPECT_EQ(inches.tap, 47.6873245F);
    EXPECT_EQ(inches.spac, 6.09915495F);
    EXPECT_EQ(inches.capl, 8.45070457F);
    EXPECT_EQ(inches.tube, 10.8760567F);

    GammaMatchValues cm = withFreq(28.5F);
    ASSERT_TRUE(computeGammaMatch(cm, LengthUnit::Centimetres).ok());
    EXPECT_EQ(cm.cap, 63.1578941F);
    EXPECT_EQ(cm.tap, 60.0F);
    EXPECT_EQ(cm.spac, 10.3313828F);
    EXPECT_EQ(cm.capl, 10.6947365F);
    EXPECT_EQ(cm.tube, 13.6842108F);

    GammaMatchValues negative = withFreq(-7.1F);
    ASSERT_TRUE(computeGammaMatch(negative, LengthUnit::Inches).ok());
    EXPECT_EQ(negative.spac, -6.0483098F);

    GammaMatchValues nearCmLimit = withFreqAndMarkers(5.1e-36F);
    const auto result = computeGammaMatch(nearCmLimit, LengthUnit::Centimetres);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure(), CalcFailure::Overflow);
    EXPECT_TRUE(std::isfinite(nearCmLimit.tap));
    EXPECT_TRUE(std::isfinite(nearCmLimit.spac));
    EXPECT_EQ(nearCmLimit.cap, kInf);
}

TEST(GammaMatch, ZeroFrequencyIsDivisionByZeroAndStoresNothing)
{
    for (const float zero : {0.0F, -0.0F}) {
        for (const LengthUnit unit : {LengthUnit::Inches, LengthUnit::Centimetres}) {
            SCOPED_TRACE(std::signbit(zero) ? "-0" : "+0");
            GammaMatchValues values = withFreqAndMarkers(zero);
            const auto result = computeGammaMatch(values, unit);
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.failure(), CalcFailure::DivisionByZero);
            EXPECT_EQ(values.cap, 904.0F);
            EXPECT_EQ(values.tap, 902.0F);
            EXPECT_EQ(values.spac, 901.0F);
            EXPECT_EQ(values.capl, 905.0F);
            EXPECT_EQ(values.tube, 903.0F);
            EXPECT_EQ(std::signbit(values.freq), std::signbit(zero));
        }
    }
}

TEST(GammaMatch, OverflowKeepsEarlierStoresAndTheFailingInfinity)
{
    // Inches fails at its first step: cap is stored as an infinity of its
    // sign, nothing after it.
    for (const float freq : {1e-37F, -1e-37F, 5.2e-36F}) {
        SCOPED_TRACE(freq);
        GammaMatchValues values = withFreqAndMarkers(freq);
        const auto result = computeGammaMatch(values, LengthUnit::Inches);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure(), CalcFailure::Overflow);
        EXPECT_EQ(values.cap, freq > 0 ? kInf : -kInf);
        EXPECT_EQ(values.tap, 902.0F);
        EXPECT_EQ(values.spac, 901.0F);
        EXPECT_EQ(values.capl, 905.0F);
        EXPECT_EQ(values.tube, 903.0F);
    }

    // Centimetres below about 5.03e-36 fails at tap, its first step.
    for (const float freq : {1e-37F, 5.0e-36F, -5.0e-36F}) {
        SCOPED_TRACE(freq);
        GammaMatchValues values = withFreqAndMarkers(freq);
        const auto result = computeGammaMatch(values, LengthUnit::Centimetres);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure(), CalcFailure::Overflow);
        EXPECT_EQ(values.tap, freq > 0 ? kInf : -kInf);
        EXPECT_EQ(values.spac, 901.0F);
        EXPECT_EQ(values.cap, 904.0F);
    }

    // Between the two limits centimetres stores tap and spac, then fails at
    // cap; capl and tube keep what they had.
    for (const float freq : {5.1e-36F, 5.2e-36F}) {
        SCOPED_TRACE(freq);
        GammaMatchValues values = withFreqAndMarkers(freq);
        const auto result = computeGammaMatch(values, LengthUnit::Centimetres);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure(), CalcFailure::Overflow);
        EXPECT_GT(values.tap, 3.0e38F);
        EXPECT_GT(values.spac, 2.0e37F);
        EXPECT_EQ(values.cap, kInf);
        EXPECT_EQ(values.capl, 905.0F);
        EXPECT_EQ(values.tube, 903.0F);
    }
}

TEST(GammaMatch, OverflowLimitsLieWhereCapAndTapLeaveTheFloatRange)
{
    // The smallest frequencies that still compute, found by walking floats
    // down from just above the limits: 1800 / f must still round to a
    // finite float (and 1710 / f for the centimetre tap).
    const auto lowestWorking = [](LengthUnit unit, float start) {
        float freq = start;
        for (;;) {
            GammaMatchValues values = withFreq(std::nextafter(freq, 0.0F));
            if (!computeGammaMatch(values, unit).ok()) {
                return freq;
            }
            freq = values.freq;
        }
    };
    const float inchLimit = lowestWorking(LengthUnit::Inches, 5.3e-36F);
    const float cmLimit = lowestWorking(LengthUnit::Centimetres, 5.3e-36F);
    EXPECT_NEAR(inchLimit, 5.29e-36F, 0.01e-36F);
    EXPECT_EQ(cmLimit, inchLimit); // cap is the first value to overflow in both
    // At the limit every value is finite.
    GammaMatchValues atLimit = withFreq(inchLimit);
    ASSERT_TRUE(computeGammaMatch(atLimit, LengthUnit::Centimetres).ok());
    EXPECT_TRUE(std::isfinite(atLimit.cap) && std::isfinite(atLimit.tap) && std::isfinite(atLimit.tube));
}

TEST(GammaMatch, UnitVariantsAgreeWhereTheyShouldOverRandomFrequencies)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> exponent(-30.0F, 30.0F);
    for (int i = 0; i < 20000; ++i) {
        const float magnitude = std::exp2(exponent(random));
        const float freq = (i % 5 == 0) ? -magnitude : magnitude;
        GammaMatchValues inches = withFreq(freq);
        GammaMatchValues cm = withFreq(freq);
        ASSERT_TRUE(computeGammaMatch(inches, LengthUnit::Inches).ok());
        ASSERT_TRUE(computeGammaMatch(cm, LengthUnit::Centimetres).ok());
        ASSERT_EQ(inches.cap, cm.cap) << freq;
        ASSERT_EQ(inches.freq, freq);
        // Both insertion lengths come from the stored cap, not from freq.
        ASSERT_EQ(inches.capl, static_cast<float>(static_cast<double>(inches.cap) / 15.0));
        ASSERT_EQ(cm.capl, static_cast<float>(static_cast<double>(cm.cap) / 15.0 * 2.54));
        // All values but spac share the sign of freq.
        ASSERT_EQ(std::signbit(inches.tap), std::signbit(freq));
        ASSERT_EQ(std::signbit(cm.tube), std::signbit(freq));
    }
}

TEST(GammaMatch, SpacingChangesSignNearMinus28MHz)
{
    GammaMatchValues slow = withFreq(-28.0F);
    GammaMatchValues fast = withFreq(-28.1F);
    ASSERT_TRUE(computeGammaMatch(slow, LengthUnit::Inches).ok());
    ASSERT_TRUE(computeGammaMatch(fast, LengthUnit::Inches).ok());
    EXPECT_LT(slow.spac, 0.0F);
    EXPECT_GT(fast.spac, 0.0F);

    GammaMatchValues hundred = withFreq(-100.0F);
    ASSERT_TRUE(computeGammaMatch(hundred, LengthUnit::Inches).ok());
    EXPECT_NEAR(hundred.spac, 1.475F, 0.0005F);
}

// Stored floats hardly ever depend on the last bit of the double steps:
// from 1 to 1000 MHz, only these three centimetre spacings come out of the
// double arithmetic within one double step of a midpoint between two
// floats. Any change in how the steps are evaluated (order, a wider
// intermediate, a different constant) can tip them to the other float.
// Expected values worked out independently with Python's double arithmetic.
TEST(GammaMatch, ResultsNextToAFloatMidpointComeOutExactly)
{
    const struct {
        float freq;
        float spac;
    } rows[] = {{1.74468589F, 88.9154358F}, {3.80254745F, 43.6141281F}, {16.5404339F, 14.0365696F}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.freq);
        GammaMatchValues values = withFreq(row.freq);
        ASSERT_TRUE(computeGammaMatch(values, LengthUnit::Centimetres).ok());
        EXPECT_EQ(values.spac, row.spac);
    }
}
