// SPDX-License-Identifier: GPL-3.0-or-later
#include "interpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using vostrel::nec::interpolateEvenly;
using C = std::complex<double>;

TEST(Interpolation, TheHeadersExamples)
{
    EXPECT_NEAR(std::abs(interpolateEvenly(0, 1, {0, 1, 4}, 1.5, 2) - C(2.25)), 0, 1e-12);
    EXPECT_NEAR(std::abs(interpolateEvenly(0, 1, {1, 3, 5, 7}, 2.5, 3) - C(6)), 0, 1e-12);
    const std::vector<C> values{{1, 2}, {-3, 0.5}, {4, -1}, {0, 0}, {2, 2}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(interpolateEvenly(10, 0.25, values, 10 + 0.25 * k), values[static_cast<std::size_t>(k)]) << k;
    }
    EXPECT_EQ(interpolateEvenly(3, 1, {{5, -1}}, 7.5), C(5, -1));
    EXPECT_EQ(interpolateEvenly(3, 1, {}, 7.5), C());
}

// Exact for every polynomial of its degree or less (the weights' sign and
// sum are what make it so), here cubics with complex coefficients at
// seeded random points, on nodes that do not start at 0.
TEST(Interpolation, ReproducesCubics)
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> coefficient(-5, 5);
    for (int trial = 0; trial < 50; ++trial) {
        const C a(coefficient(random), coefficient(random));
        const C b(coefficient(random), coefficient(random));
        const C c(coefficient(random), coefficient(random));
        const C d(coefficient(random), coefficient(random));
        const auto cubic = [&](double x) { return ((a * x + b) * x + c) * x + d; };
        const double first = 13.49;
        const double step = 0.071;
        const int count = 4 + trial % 9;
        std::vector<C> values;
        for (int k = 0; k < count; ++k) {
            values.push_back(cubic(first + k * step));
        }
        std::uniform_real_distribution<double> at(first, first + (count - 1) * step);
        const double x = at(random);
        EXPECT_NEAR(std::abs(interpolateEvenly(first, step, values, x) - cubic(x)), 0, 1e-8 * std::abs(cubic(x)) + 1e-9)
            << "trial " << trial << " at " << x;
    }
}

// Two nodes: a straight line whatever degree is asked.
TEST(Interpolation, DegreeCutToTheNodes)
{
    EXPECT_NEAR(std::abs(interpolateEvenly(1, 2, {{0, 0}, {4, -2}}, 1.6) - C(1.2, -0.6)), 0, 1e-12);
    EXPECT_NEAR(std::abs(interpolateEvenly(0, 1, {1, 2, 5}, 0.3, 7) - C(1.09)), 0, 1e-12); // the parabola 1 + x^2
}

// The reflection coefficient of a series-resonant antenna (R, L, C) on a
// 50 ohm line: a circle on the Smith chart, not a polynomial. Halving the
// step cuts the error by about 2^4 (order h^(d+1), d = 3); 11 points over
// +-5 % of a Q of 10 come within 0.002.
TEST(Interpolation, ConvergesAtItsOrderOnAResonance)
{
    const auto gamma = [](double f) {
        const double q = 10;
        const C z(30, 30 * q * (f - 1 / f));
        return (z - 50.0) / (z + 50.0);
    };
    const auto worst = [&](int nodes) {
        const double step = 0.1 / (nodes - 1);
        std::vector<C> values;
        for (int k = 0; k < nodes; ++k) {
            values.push_back(gamma(0.95 + k * step));
        }
        double most = 0;
        for (int i = 0; i <= 400; ++i) {
            const double f = 0.95 + 0.1 * i / 400;
            most = std::max(most, std::abs(interpolateEvenly(0.95, step, values, f) - gamma(f)));
        }
        return most;
    };
    const double coarse = worst(11);
    const double fine = worst(21);
    EXPECT_LT(coarse, 0.002);
    EXPECT_GT(coarse / fine, 8);
    EXPECT_LT(coarse / fine, 40);
}

} // namespace
