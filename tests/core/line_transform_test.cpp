// SPDX-License-Identifier: GPL-3.0-or-later
// The lossy line: its header's examples, against the transmission (ABCD)
// matrix and the reflection form, and de-embedding as the inverse.
#include "line_transform.h"

#include "physics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace vostrel::coax;
using vostrel::physics::kSpeedOfLight;

namespace {

Line lossless(double z0, double velocityFactor, double length)
{
    return Line{"", z0, velocityFactor, {}, length};
}

Line lossy(double z0, double velocityFactor, double dbPer100m, double atMhz, double length)
{
    return Line{"", z0, velocityFactor, {{atMhz, dbPer100m}}, length};
}

void expectNear(Complex actual, Complex expected, double relative)
{
    EXPECT_LE(std::abs(actual - expected), relative * std::abs(expected)) << actual << " vs " << expected;
}

TEST(LineTransform, HeaderExamples)
{
    const Complex g = propagation(lossless(50, 1, 1), 299.792458);
    EXPECT_EQ(g.real(), 0);
    EXPECT_NEAR(g.imag(), 2 * std::numbers::pi, 1e-14);
    const Complex neper = propagation(lossy(50, 0.5, 8.685889638, 299.792458, 1), 299.792458);
    EXPECT_NEAR(neper.real(), 0.01, 1e-11);
    EXPECT_NEAR(neper.imag(), 4 * std::numbers::pi, 1e-13);

    const auto rg213 = parseLine("RG-213,30m");
    ASSERT_TRUE(std::holds_alternative<Line>(rg213));
    EXPECT_NEAR(matchedLossDb(std::get<Line>(rg213), 100), 1.86, 1e-12);
    EXPECT_NEAR(roundTripLossDb(std::get<Line>(rg213), 100), 3.72, 1e-12);

    const double quarter = kSpeedOfLight / 100e6 / 4;
    expectNear(inputImpedance(lossless(50, 1, quarter), 100, 100), 25, 1e-12);
    expectNear(inputImpedance(lossless(50, 1, 2 * quarter), 100, {30, 40}), {30, 40}, 1e-12);
    expectNear(inputImpedance(lossy(50, 0.66, 16, 100, 37), 14, 50), 50, 1e-14);
    EXPECT_EQ(inputImpedance(lossy(50, 0.66, 16, 100, 0), 14, {3, -4}), Complex(3, -4));
    const auto back = loadImpedance(lossless(50, 1, quarter), 100, 25);
    ASSERT_TRUE(back.has_value());
    expectNear(*back, 100, 1e-12);
}

// Zin = (A ZL + B) / (C ZL + D) with A = D = cosh(gamma l), B = Z0 sinh,
// C = sinh / Z0, computed as a cascade of two sections; and the
// reflection coefficient turned by e^(-2 gamma l).
TEST(LineTransform, AgreesWithTheTransmissionMatrixAndTheReflectionForm)
{
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 500; ++i) {
        const double z0 = 25 + 100 * unit(random);
        const double vf = 0.6 + 0.4 * unit(random);
        const double freq = 1 + 1000 * unit(random);
        const Line line = lossy(z0, vf, 30 * unit(random), 100, 0.1 + 60 * unit(random));
        const Complex load(1 + 300 * unit(random), -300 + 600 * unit(random));
        SCOPED_TRACE(i);

        const Complex gamma = propagation(line, freq);
        Complex a = 1, b = 0, c = 0, d = 1;
        for (const double share : {0.3, 0.7}) {
            const Complex gl = gamma * (share * line.length);
            const Complex sa = std::cosh(gl), sb = z0 * std::sinh(gl), sc = std::sinh(gl) / z0, sd = std::cosh(gl);
            const Complex na = a * sa + b * sc, nb = a * sb + b * sd, nc = c * sa + d * sc, nd = c * sb + d * sd;
            a = na, b = nb, c = nc, d = nd;
        }
        const Complex zin = inputImpedance(line, freq, load);
        expectNear(zin, (a * load + b) / (c * load + d), 1e-9);

        const Complex rhoLoad = (load - z0) / (load + z0);
        const Complex rhoIn = (zin - z0) / (zin + z0);
        EXPECT_NEAR(std::abs(rhoIn - rhoLoad * std::exp(-2.0 * gamma * line.length)), 0, 1e-10);
        // The round trip's loss is what the reflection loses in magnitude.
        EXPECT_NEAR(std::abs(rhoIn) / std::abs(rhoLoad), std::pow(10, -roundTripLossDb(line, freq) / 20), 1e-9);
    }
}

TEST(LineTransform, LoadImpedanceUndoesInputImpedance)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 500; ++i) {
        const Line line
            = lossy(50 + 25 * unit(random), 0.66 + 0.3 * unit(random), 20 * unit(random), 144, 0.5 + 40 * unit(random));
        const double freq = 3 + 500 * unit(random);
        const Complex load(2 + 200 * unit(random), -200 + 400 * unit(random));
        const auto back = loadImpedance(line, freq, inputImpedance(line, freq, load));
        ASSERT_TRUE(back.has_value());
        expectNear(*back, load, 1e-9);
    }
}

TEST(LineTransform, AnOpenAtTheFarEndHasNoLoad)
{
    // A lossless quarter wave shows an open as a short.
    const double quarter = kSpeedOfLight / 50e6 / 4;
    EXPECT_FALSE(loadImpedance(lossless(50, 1, quarter), 50, 0).has_value());
    // A lossy line: Zin = Z0 / tanh(gamma l).
    const Line line = lossy(50, 0.66, 10, 100, 12);
    const Complex open = 50.0 / std::tanh(propagation(line, 30) * 12.0);
    EXPECT_FALSE(loadImpedance(line, 30, open).has_value());
    EXPECT_TRUE(loadImpedance(line, 30, open * 1.01).has_value());
}

} // namespace
