// SPDX-License-Identifier: GPL-3.0-or-later
#include "physics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using vostrel::physics::reflection;
using vostrel::physics::swr;
using vostrel::physics::swrOfMagnitude;
using vostrel::physics::wavelengthMetres;

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Physics, HeaderExamples)
{
    EXPECT_DOUBLE_EQ(wavelengthMetres(299.792458), 1.0);
    EXPECT_EQ(reflection(50, 50), std::complex<double>(0, 0));
    EXPECT_DOUBLE_EQ(reflection(0, 50).real(), -1);
    EXPECT_DOUBLE_EQ(reflection(100, 50).real(), 1.0 / 3);
    EXPECT_DOUBLE_EQ(swrOfMagnitude(0), 1);
    EXPECT_DOUBLE_EQ(swrOfMagnitude(1.0 / 3), 2);
    EXPECT_EQ(swrOfMagnitude(1), kInf);
    EXPECT_DOUBLE_EQ(swr(100, 50), 2);
    EXPECT_DOUBLE_EQ(swr(25, 50), 2);
    EXPECT_DOUBLE_EQ(swr({50, 0}, 50), 1);
    EXPECT_EQ(swr({0, 50}, 50), kInf);
}

// Both sides of |rho| = 1: a load just inside the passive region has a
// finite SWR, a negative resistance none.
TEST(Physics, SwrAtTheEdgeOfPassiveLoads)
{
    EXPECT_TRUE(std::isfinite(swr({1e-6, 50}, 50)));
    EXPECT_GT(swr({1e-6, 50}, 50), 1e6);
    EXPECT_EQ(swr({-1e-6, 50}, 50), kInf);
    EXPECT_EQ(swr({-10, 0}, 50), kInf);
}

// Independent check: SWR = (1 + |rho|) / (1 - |rho|) inverts to
// |rho| = (SWR - 1) / (SWR + 1) for loads on a 75-ohm line, seeded.
TEST(Physics, SwrInvertsToTheReflectionMagnitude)
{
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245U + 12345U;
        return static_cast<double>((seed >> 8) & 0xffff) / 65536.0;
    };
    for (int i = 0; i < 200; ++i) {
        const std::complex<double> load(1 + 300 * next(), -400 + 800 * next());
        const double s = swr(load, 75);
        const double rho = std::abs((load - 75.0) / (load + 75.0));
        EXPECT_NEAR((s - 1) / (s + 1), rho, 1e-12) << load;
    }
}

} // namespace
