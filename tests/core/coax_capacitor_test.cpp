// SPDX-License-Identifier: GPL-3.0-or-later
// The coaxial capacitor as an open-ended line: its length against the
// per-metre estimate, the trim per pF, and the cable table read as lines.
#include "coax_cable.h"
#include "coax_capacitor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

using namespace vostrel::coax;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kC = 299792458.0;

OpenLineCapacitor solved(const OpenLineInput& in)
{
    const auto result = openLineCapacitor(in);
    if (const auto* problem = std::get_if<NoOpenLine>(&result)) {
        ADD_FAILURE() << problem->message;
        return {};
    }
    return std::get<OpenLineCapacitor>(result);
}

// The reactance of a capacitance, by hand.
double reactanceOf(double pf, double freqMhz)
{
    return 1 / (2 * kPi * freqMhz * 1e6 * pf * 1e-12);
}

OpenLineInput rg213(double freqMhz, double reactance)
{
    return {freqMhz, reactance, 101, 0.66};
}

} // namespace

TEST(CoaxCapacitor, HeaderExamples)
{
    struct Row {
        const char* name;
        OpenLineInput in;
        double length;
        double lumped;
        double degrees;
        bool differs;
        double trimMm;
    };
    for (const Row& row : {
             Row{"160 m, 200 pF: short, they agree", rg213(1.83, reactanceOf(200, 1.83)), 1.9715, 1.9802, 6.56, false,
                 9.77},
             Row{"80 m, 1000 pF: long, they differ", rg213(3.6, reactanceOf(1000, 3.6)), 7.411, 9.901, 48.54, true,
                 4.34},
             Row{"20 m, 86 ohms", rg213(14.2, 86), 1.1687, 1.2904, 30.19, true, 7.40},
         }) {
        SCOPED_TRACE(row.name);
        const OpenLineCapacitor c = solved(row.in);
        EXPECT_NEAR(c.lineImpedance, 50.04, 0.005);
        EXPECT_NEAR(c.length, row.length, 0.0006);
        EXPECT_NEAR(c.lumpedLength, row.lumped, 0.0006);
        EXPECT_NEAR(c.electricalDegrees, row.degrees, 0.006);
        EXPECT_EQ(c.lumpedDiffers, row.differs);
        EXPECT_NEAR(c.trimPerPf * 1000, row.trimMm, 0.006);
        EXPECT_NEAR(c.capacitancePf, 1e12 / (2 * kPi * row.in.freqMhz * 1e6 * row.in.reactance), 1e-9);
    }
}

// The length found is a line whose input reactance, Z0 cot(beta l) with
// beta from the velocity factor, is the capacitor's; the per-metre figure
// is C / C'.
TEST(CoaxCapacitor, TheLineHasTheCapacitorsReactance)
{
    for (const OpenLineInput& in :
        {rg213(1.83, 434.85), rg213(3.6, 20), OpenLineInput{28, 150, 83, 0.82}, OpenLineInput{7.1, 10, 96, 0.70}}) {
        SCOPED_TRACE(in.reactance);
        const OpenLineCapacitor c = solved(in);
        const double beta = 2 * kPi * in.freqMhz * 1e6 / (in.velocityFactor * kC);
        const double z0 = 1 / (in.pfPerMetre * 1e-12 * in.velocityFactor * kC);
        EXPECT_NEAR(z0 / std::tan(beta * c.length), in.reactance, 1e-9 * in.reactance);
        EXPECT_NEAR(c.lumpedLength, c.capacitancePf / in.pfPerMetre, 1e-12);
        // A line is never longer than its per-metre estimate, nor a quarter wave.
        EXPECT_LT(c.length, c.lumpedLength);
        EXPECT_LT(c.electricalDegrees, 90);
    }
}

// A very short piece is the lumped capacitance; the longer it is, the more
// the per-metre division overstates the length. The 2 % line: tan(t) / t =
// 1.02 at the electrical length t, found here by bisection.
TEST(CoaxCapacitor, ThePerMetreEstimateIsShownBeyondTwoPercent)
{
    const OpenLineCapacitor tiny = solved(rg213(1.83, 1e5));
    EXPECT_NEAR(tiny.length / tiny.lumpedLength, 1, 1e-6);
    EXPECT_FALSE(tiny.lumpedDiffers);

    double low = 0.1;
    double high = 0.5;
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2;
        (std::tan(mid) / mid > 1.02 ? high : low) = mid;
    }
    const double z0 = 1 / (101e-12 * 0.66 * kC);
    struct Row {
        const char* name;
        double electrical;
        bool differs;
    };
    for (const Row& row : {Row{"just under 2 %", low * 0.99, false}, Row{"just over 2 %", low * 1.01, true}}) {
        SCOPED_TRACE(row.name);
        const OpenLineCapacitor c = solved(rg213(3.6, z0 / std::tan(row.electrical)));
        EXPECT_NEAR(c.electricalDegrees, row.electrical * 180 / kPi, 1e-9);
        EXPECT_EQ(c.lumpedDiffers, row.differs) << c.lumpedLength / c.length;
    }
}

// The trim per pF is the slope of the length against the capacitance: the
// lengths for 1 pF either side, by the same function.
TEST(CoaxCapacitor, TrimPerPfIsTheSlope)
{
    for (const double pf : {50.0, 200.0, 1000.0}) {
        SCOPED_TRACE(pf);
        const OpenLineCapacitor at = solved(rg213(3.6, reactanceOf(pf, 3.6)));
        const OpenLineCapacitor more = solved(rg213(3.6, reactanceOf(pf + 1, 3.6)));
        const OpenLineCapacitor less = solved(rg213(3.6, reactanceOf(pf - 1, 3.6)));
        EXPECT_NEAR(at.trimPerPf, (more.length - less.length) / 2, 1e-3 * at.trimPerPf);
        // Shorter than the per-metre trim, 1 / C', as the piece gets long.
        EXPECT_LT(at.trimPerPf, 1 / 101.0);
    }
}

// Every cable of the table, read as a line: its capacitance per metre and
// velocity factor give its nominal impedance within 3 % (a figure in pF per
// foot, or a velocity factor in per cent, would be far off), and a short
// piece agrees with the per-metre estimate. Aircell 7's sheet (74 pF/m, VF
// 0.83) is itself a 54.3 ohm line: the capacitor is cut to those figures.
TEST(CoaxCapacitor, EveryCableOfTheTableIsALineOfItsImpedance)
{
    for (const Cable& cable : cables()) {
        SCOPED_TRACE(std::string(cable.name));
        const OpenLineCapacitor c = solved({1.83, 5000, cable.pfPerMetre, cable.velocityFactor});
        const double expected = cable.name == "Aircell 7" ? 54.31 : cable.impedance;
        EXPECT_NEAR(c.lineImpedance, expected, 0.03 * expected);
        EXPECT_FALSE(c.lumpedDiffers);
    }
}

// A rod in a tube is a line too: C' = 2 pi e0 er / ln(D / d), and its
// impedance the textbook coax's 60 / sqrt(er) ln(D / d).
TEST(CoaxCapacitor, ARodInATubeIsALine)
{
    const OpenLineInput ptfe = tubeLine(14.2, 86, 0.0102, 0.00635, 2.1);
    EXPECT_NEAR(ptfe.pfPerMetre, 246.5, 0.05);
    EXPECT_NEAR(ptfe.velocityFactor, 0.690, 0.0005);
    EXPECT_EQ(ptfe.freqMhz, 14.2);
    EXPECT_EQ(ptfe.reactance, 86);
    for (const double er : {1.0, 2.1, 2.3}) {
        const OpenLineCapacitor c = solved(tubeLine(14.2, 86, 0.0102, 0.00635, er));
        EXPECT_NEAR(c.lineImpedance, 59.96 / std::sqrt(er) * std::log(0.0102 / 0.00635), 0.01);
    }
}

TEST(CoaxCapacitor, RefusesEachBadInputNamingIt)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        OpenLineInput in;
        OpenLineField field;
    };
    for (const Row& row : {
             Row{"no frequency", {0, 86, 101, 0.66}, OpenLineField::Frequency},
             Row{"frequency NaN", {nan, 86, 101, 0.66}, OpenLineField::Frequency},
             Row{"no reactance", {14.2, 0, 101, 0.66}, OpenLineField::Reactance},
             Row{"inductive", {14.2, -86, 101, 0.66}, OpenLineField::Reactance},
             Row{"infinite reactance", {14.2, std::numeric_limits<double>::infinity(), 101, 0.66},
                 OpenLineField::Reactance},
             Row{"no capacitance", {14.2, 86, 0, 0.66}, OpenLineField::PfPerMetre},
             Row{"no velocity", {14.2, 86, 101, 0}, OpenLineField::VelocityFactor},
             Row{"faster than light", {14.2, 86, 101, 1.01}, OpenLineField::VelocityFactor},
         }) {
        SCOPED_TRACE(row.name);
        const auto result = openLineCapacitor(row.in);
        ASSERT_TRUE(std::holds_alternative<NoOpenLine>(result));
        EXPECT_EQ(std::get<NoOpenLine>(result).field, row.field);
        EXPECT_FALSE(std::get<NoOpenLine>(result).message.empty());
    }
    // The edge itself: light's speed is a velocity factor.
    EXPECT_TRUE(std::holds_alternative<OpenLineCapacitor>(openLineCapacitor({14.2, 86, 101, 1})));
}
