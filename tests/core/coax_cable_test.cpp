// SPDX-License-Identifier: GPL-3.0-or-later
// The cable table, its loss interpolation, the name look-up and the line
// parser.
#include "coax_cable.h"

#include "physics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace vostrel::coax;

namespace {

const Cable& cable(std::string_view name)
{
    const auto found = findCable(name);
    if (const auto* problem = std::get_if<std::string>(&found)) {
        ADD_FAILURE() << *problem;
        return cables().front();
    }
    return *std::get<const Cable*>(found);
}

TEST(LossAt, HeaderExamplesAndEachSegmentsPowerLaw)
{
    const LossPoint one[] = {{100, 10}};
    EXPECT_DOUBLE_EQ(lossAt(one, 400), 20);
    const LossPoint two[] = {{10, 2}, {100, 6}};
    EXPECT_EQ(lossAt(two, 10), 2);
    const LossPoint rising[] = {{10, 2}, {100, 8}};
    EXPECT_NEAR(lossAt(rising, 1000), 32, 1e-12);
    EXPECT_NEAR(lossAt(rising, 1), 0.5, 1e-15);
    for (const double bad : {0.0, -1.0, std::nan("")}) {
        EXPECT_TRUE(std::isnan(lossAt(one, bad))) << bad;
    }
    EXPECT_EQ(lossAt({}, 14), 0);
    // Doubling over the first decade, tripling over the second: at the
    // middle of each the factor is the square root of that.
    const LossPoint three[] = {{10, 1}, {100, 2}, {1000, 6}};
    EXPECT_NEAR(lossAt(three, std::sqrt(1000.0)), std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(lossAt(three, std::sqrt(1e5)), 2 * std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(lossAt(three, 1e4), 18, 1e-9);
}

TEST(CableTable, EveryListedLossIsExactAndTheLossRisesBetween)
{
    for (const Cable& c : cables()) {
        SCOPED_TRACE(std::string(c.name));
        ASSERT_GE(c.lossCount, 2u);
        const auto points = c.lossPoints();
        for (const LossPoint& p : points) {
            EXPECT_EQ(lossAt(points, p.freqMhz), p.dbPer100m);
        }
        double previous = 0;
        for (double f = 1; f <= 3000; f *= 1.05) {
            const double loss = lossAt(points, f);
            EXPECT_GT(loss, previous) << f << " MHz";
            previous = loss;
        }
        // Conductor loss goes as sqrt(f), dielectric loss as f: a segment
        // outside that range is a typing error in the table.
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const double n = std::log(points[i + 1].dbPer100m / points[i].dbPer100m)
                / std::log(points[i + 1].freqMhz / points[i].freqMhz);
            EXPECT_GT(n, 0.35);
            EXPECT_LT(n, 1.0);
        }
    }
}

TEST(CableTable, FiguresAgreeWithEachOther)
{
    int seventyFive = 0;
    for (const Cable& c : cables()) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_GT(c.velocityFactor, 0.6);
        EXPECT_LE(c.velocityFactor, 0.9);
        // A line's capacitance is 1 / (Z0 v): the three figures of a row
        // must agree to the datasheets' rounding.
        const double expectedPf = 1e12 / (c.impedance * c.velocityFactor * vostrel::physics::kSpeedOfLight);
        EXPECT_NEAR(c.pfPerMetre / expectedPf, 1, 0.1);
        EXPECT_EQ(c.dielectric == Dielectric::SolidPe, std::abs(c.velocityFactor - 0.66) < 1e-9);
        seventyFive += c.impedance == 75;
    }
    EXPECT_GE(cables().size(), 9u);
    EXPECT_EQ(seventyFive, 1);
    EXPECT_EQ(dielectricName(cable("RG-142").dielectric), "PTFE");
    EXPECT_EQ(dielectricName(cable("LMR-400").dielectric), "foam PE");
    EXPECT_EQ(dielectricName(cable("RG-213").dielectric), "solid PE");
}

// The cross-section, in metres: a conductor of 0.3 to 6 mm in a dielectric
// of 1 to 15 mm (a figure in inches or millimetres would be far outside),
// whose coaxial impedance 59.96 / sqrt(er) ln(D / d), er = 1 / VF^2, is the
// cable's within 10 % (stranded conductors read a little low; a swapped or
// mistyped diameter far off).
TEST(CableTable, EachCrossSectionIsALineOfItsImpedance)
{
    for (const Cable& c : cables()) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_GE(c.innerDiameter, 0.3e-3);
        EXPECT_LE(c.innerDiameter, 6e-3);
        EXPECT_GE(c.dielectricDiameter, 1e-3);
        EXPECT_LE(c.dielectricDiameter, 15e-3);
        const double z0 = 59.96 * c.velocityFactor * std::log(c.dielectricDiameter / c.innerDiameter);
        EXPECT_NEAR(z0 / c.impedance, 1, 0.1) << z0;
    }
    EXPECT_EQ(cable("RG-213").innerDiameter, 2.26e-3);
    EXPECT_EQ(cable("RG-213").dielectricDiameter, 7.24e-3);
}

// Volts per metre: solid PE and PTFE 20 kV/mm, foam PE as air, 3 kV/mm.
TEST(CableTable, EachDielectricsStrength)
{
    EXPECT_EQ(dielectricStrength(Dielectric::SolidPe), 20e6);
    EXPECT_EQ(dielectricStrength(Dielectric::Ptfe), 20e6);
    EXPECT_EQ(dielectricStrength(Dielectric::FoamPe), 3e6);
}

TEST(FindCable, IgnoresCaseDashesUnderscoresAndBlanks)
{
    EXPECT_EQ(cable("rg213").name, "RG-213");
    EXPECT_EQ(cable("RG-213").name, "RG-213");
    EXPECT_EQ(cable("rg_213").name, "RG-213");
    EXPECT_EQ(cable("aircell7").name, "Aircell 7");
    EXPECT_EQ(cable("ECOFLEX-15").name, "Ecoflex 15");
    EXPECT_EQ(cable("lmr 400").name, "LMR-400");
    for (const Cable& c : cables()) {
        EXPECT_EQ(cable(c.name).name, c.name);
    }
}

TEST(FindCable, RefusesAnUnknownNameListingTheKnownOnes)
{
    const auto unknown = findCable("RG-999");
    ASSERT_TRUE(std::holds_alternative<std::string>(unknown));
    const std::string& message = std::get<std::string>(unknown);
    EXPECT_EQ(message.rfind("unknown cable \"RG-999\": the known cables are RG-58, RG-8X, ", 0), 0u) << message;
    for (const Cable& c : cables()) {
        EXPECT_NE(message.find(c.name), std::string::npos) << c.name;
    }
    const auto empty = findCable(" - ");
    ASSERT_TRUE(std::holds_alternative<std::string>(empty));
    EXPECT_EQ(std::get<std::string>(empty).rfind("no cable named: the known cables are RG-58", 0), 0u);
    EXPECT_TRUE(std::holds_alternative<std::string>(findCable("rg2130")));
}

TEST(ParseLine, ReadsFiguresAndNames)
{
    const auto figures = parseLine("50,0.66,16@100,12m");
    ASSERT_TRUE(std::holds_alternative<Line>(figures)) << std::get<std::string>(figures);
    const Line& line = std::get<Line>(figures);
    EXPECT_EQ(line.name, "");
    EXPECT_EQ(line.impedance, 50);
    EXPECT_EQ(line.velocityFactor, 0.66);
    EXPECT_EQ(line.length, 12);
    EXPECT_DOUBLE_EQ(line.lossDbPer100m(400), 32);

    const auto named = parseLine(" rg213 , 30 ft ");
    ASSERT_TRUE(std::holds_alternative<Line>(named)) << std::get<std::string>(named);
    EXPECT_EQ(std::get<Line>(named).name, "RG-213");
    EXPECT_NEAR(std::get<Line>(named).length, 9.144, 1e-12);
    EXPECT_EQ(std::get<Line>(named).lossDbPer100m(100), 6.2);
    const auto noUnit = parseLine("75, 0.85, 2.5 @ 50, 7");
    ASSERT_TRUE(std::holds_alternative<Line>(noUnit));
    EXPECT_EQ(std::get<Line>(noUnit).length, 7);
}

struct LineRefusal {
    const char* name;
    const char* text;
    const char* message; // the sentence, or how it begins when it ends in "..."
};

class ParseLineRefuses : public ::testing::TestWithParam<LineRefusal> { };

TEST_P(ParseLineRefuses, WithASentence)
{
    const auto parsed = parseLine(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    std::string expected = GetParam().message;
    const std::string& message = std::get<std::string>(parsed);
    if (expected.ends_with("...")) {
        expected.resize(expected.size() - 3);
        EXPECT_EQ(message.substr(0, expected.size()), expected);
    } else {
        EXPECT_EQ(message, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseLineRefuses,
    ::testing::Values(LineRefusal{"LossWithoutFrequency", "50,0.66,16,12m",
                          "the loss \"16\" needs its frequency: dB per 100 m @ MHz, e.g. 16@100"},
        LineRefusal{"VelocityAboveOne", "50,1.2,16@100,12", "the velocity factor must be between 0.01 and 1"},
        LineRefusal{"VelocityZero", "50,0,16@100,12", "the velocity factor must be between 0.01 and 1"},
        LineRefusal{"ImpedanceZero", "0,0.66,16@100,12", "the line impedance must be between 1 and 1000000 ohms"},
        LineRefusal{"NegativeLoss", "50,0.66,-1@100,1", "the loss must be 0 dB per 100 m or more"},
        LineRefusal{"ZeroFrequency", "50,0.66,1@0,1", "the loss's frequency must be above 0 MHz"},
        LineRefusal{"ImpedanceNotANumber", "fifty,0.66,1@10,1", "the line impedance \"fifty\" is not a number"},
        LineRefusal{"UnknownCable", "rg999,10m", "unknown cable \"rg999\": the known cables are RG-58, ..."},
        LineRefusal{"NameAlone", "rg213",
            "a line is NAME,LENGTH or Z0,VF,DB100M@MHZ,LENGTH (e.g. RG-213,12m or 50,0.66,16@100,12m)"},
        LineRefusal{"ThreeFields", "50,0.66,12m", "a line is NAME,LENGTH or ..."},
        LineRefusal{"NegativeLength", "rg213,-3m", "the line's length must be 0 or more"},
        LineRefusal{"UnknownUnit", "rg213,3yd", "the line's length: unknown unit \"yd\": use mm, cm, m, in or ft"},
        LineRefusal{"EmptyLength", "rg213,", "the line's length: ..."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
