// SPDX-License-Identifier: GPL-3.0-or-later
#include "allowance.h"

#include <gtest/gtest.h>

#include <limits>

namespace vostrel::nec {
namespace {

Refined refinedMatch(double rod, double cap)
{
    Refined r;
    r.rodLength = rod;
    r.capacitancePf = cap;
    return r;
}

design::Design closedForm(double rod, double cap)
{
    design::Design d;
    d.rodLength = rod;
    d.capacitancePf = cap;
    return d;
}

TEST(Allowance, HeaderExamples)
{
    Refined dipole = refinedMatch(1.2626, 79.2);
    dipole.halvedRodLength = 1.2626;
    dipole.halvedCapacitancePf = 78.4;
    dipole.closedForm = closedForm(1.3879, 78.8);
    const Allowance a = allowanceOf(dipole);
    EXPECT_NEAR(a.rodLength.low, 1.2626 * 0.95, 1e-9);
    EXPECT_NEAR(a.rodLength.high, 1.3879, 1e-9); // the closed form's rod, beyond the spread
    EXPECT_DOUBLE_EQ(a.capacitancePf.low, 70); // 78.4 - 10 %, rounded down
    EXPECT_DOUBLE_EQ(a.capacitancePf.high, 88); // 79.2 + 10 %, rounded up
    EXPECT_TRUE(a.fromHalvedRun);
    EXPECT_TRUE(a.fromClosedForm);
    EXPECT_NE(a.basis.find("), the halved run and the closed form"), std::string::npos) << a.basis;

    Refined nearChange = refinedMatch(0.254, 82.5);
    nearChange.otherModel = Refined::OtherModel{2, 0, 0.2466, 110.4};
    const Allowance near = allowanceOf(nearChange);
    EXPECT_NEAR(near.rodLength.low, 0.2466 * 0.95, 1e-9);
    EXPECT_NEAR(near.rodLength.high, 0.254 * 1.05, 1e-9);
    EXPECT_DOUBLE_EQ(near.capacitancePf.low, 74); // 82.5 - 10 %, rounded down
    EXPECT_DOUBLE_EQ(near.capacitancePf.high, 122); // 110.4 + 10 %, rounded up
    EXPECT_TRUE(near.fromOtherModel);
    EXPECT_EQ(
        near.basis, "the spread between engines (±5 % rod, ±10 % capacitor) and the element modelled as one tube wire");
    // With no match in the other model, nothing to cover.
    nearChange.otherModel->rodLength = 0;
    EXPECT_FALSE(allowanceOf(nearChange).fromOtherModel);
    EXPECT_DOUBLE_EQ(allowanceOf(nearChange).capacitancePf.high, 91);

    const Allowance beam = allowanceOf(refinedMatch(0.370, 115.9));
    EXPECT_NEAR(beam.rodLength.low, 0.3515, 1e-9);
    EXPECT_NEAR(beam.rodLength.high, 0.3885, 1e-9);
    EXPECT_DOUBLE_EQ(beam.capacitancePf.low, 104);
    EXPECT_DOUBLE_EQ(beam.capacitancePf.high, 128);
    EXPECT_FALSE(beam.fromHalvedRun);
    EXPECT_FALSE(beam.fromClosedForm);
    EXPECT_EQ(beam.basis.find("halved"), std::string::npos) << beam.basis;
    EXPECT_NE(beam.basis.find("the spread between engines (±5 % rod, ±10 % capacitor)"), std::string::npos)
        << beam.basis;
}

TEST(Allowance, HalvedRunOnEitherSideWidensThatSide)
{
    Refined up = refinedMatch(1.0, 100);
    up.halvedRodLength = 1.04;
    up.halvedCapacitancePf = 96;
    const Allowance a = allowanceOf(up);
    EXPECT_NEAR(a.rodLength.low, 0.95, 1e-12);
    EXPECT_NEAR(a.rodLength.high, 1.04 * 1.05, 1e-12);
    EXPECT_DOUBLE_EQ(a.capacitancePf.low, 86); // 96 - 10 % = 86.4, down
    EXPECT_DOUBLE_EQ(a.capacitancePf.high, 110);

    Refined down = refinedMatch(1.0, 100);
    down.halvedRodLength = 0.97;
    down.halvedCapacitancePf = 103;
    const Allowance b = allowanceOf(down);
    EXPECT_NEAR(b.rodLength.low, 0.97 * 0.95, 1e-12);
    EXPECT_NEAR(b.rodLength.high, 1.05, 1e-12);
    EXPECT_DOUBLE_EQ(b.capacitancePf.low, 90);
    EXPECT_DOUBLE_EQ(b.capacitancePf.high, 114); // 113.3, up
}

// The closed form counts only within a quarter of the refined value, its
// rod and its capacitor each on their own.
TEST(Allowance, ClosedFormOnlyWithinReach)
{
    struct Row {
        const char* name;
        double closedRod, closedCap;
        double rodHigh, capLow;
        bool counted;
    };
    const Row rows[] = {
        {"both within a quarter", 1.24, 76, 1.24, 76, true},
        {"rod just within", 1.2499, 200, 1.2499, 90, true},
        {"rod just beyond", 1.2501, 200, 1.05, 90, false},
        {"capacitor just within", 2.0, 75.01, 1.05, 75, true},
        {"capacitor just beyond", 2.0, 74.99, 1.05, 90, false},
        {"rod far, capacitor within", 2.1, 80, 1.05, 80, true},
        {"a shorted capacitor", 2.0, std::numeric_limits<double>::infinity(), 1.05, 90, false},
    };
    for (const Row& row : rows) {
        Refined r = refinedMatch(1.0, 100);
        r.closedForm = closedForm(row.closedRod, row.closedCap);
        const Allowance a = allowanceOf(r);
        EXPECT_NEAR(a.rodLength.high, row.rodHigh, 1e-12) << row.name;
        EXPECT_DOUBLE_EQ(a.capacitancePf.low, row.capLow) << row.name;
        EXPECT_EQ(a.fromClosedForm, row.counted) << row.name;
        EXPECT_EQ(a.basis.find("closed form") != std::string::npos, row.counted) << row.name;
    }
}

// Small capacitors are set in tenths: still rounded outward.
TEST(Allowance, SmallCapacitorsInTenthsOutward)
{
    const Allowance a = allowanceOf(refinedMatch(0.15, 7.63));
    EXPECT_NEAR(a.capacitancePf.low, 6.8, 1e-9); // 6.867
    EXPECT_NEAR(a.capacitancePf.high, 8.4, 1e-9); // 8.393
    EXPECT_LE(a.capacitancePf.low, 7.63 * 0.9);
    EXPECT_GE(a.capacitancePf.high, 7.63 * 1.1);
    const Allowance exact = allowanceOf(refinedMatch(0.15, 50));
    EXPECT_DOUBLE_EQ(exact.capacitancePf.low, 45); // already whole: not widened
    EXPECT_DOUBLE_EQ(exact.capacitancePf.high, 55);
}

} // namespace
} // namespace vostrel::nec
