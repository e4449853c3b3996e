// SPDX-License-Identifier: GPL-3.0-or-later
// What the capacitor, rod and strap must stand at a power.
#include "ratings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace vostrel::ratings;
namespace coax = vostrel::coax;

namespace {

// The 144 MHz build the header's examples use: Xc 86 ohms on 50 ohms, a
// 12 mm aluminium rod 161.2 mm long, 38 mm from the element.
Input build144(double power)
{
    Input in;
    in.freqMhz = 144;
    in.lineImpedance = 50;
    in.capacitorReactance = 86;
    in.rodLength = 0.1612;
    in.rodDiameter = 0.012;
    in.strapLength = 0.038;
    in.powerW = power;
    return in;
}

Ratings rated(const Input& in)
{
    const auto result = rate(in);
    if (const auto* problem = std::get_if<NoRating>(&result)) {
        ADD_FAILURE() << problem->message;
        return {};
    }
    return std::get<Ratings>(result);
}

TEST(Ratings, CurrentAndVoltageAgainstHandCalculations)
{
    // 100 W: I = sqrt(100 / 50) = 1.4142 A; 1.4142 * 86 = 121.6 V.
    const Ratings low = rated(build144(100));
    EXPECT_NEAR(low.lineCurrent, 1.41421, 1e-5);
    EXPECT_NEAR(low.capacitorVoltage, 121.62, 0.01);
    EXPECT_NEAR(low.capacitorVoltagePeak, 172.00, 0.01);
    // 1500 W: I = sqrt(30) = 5.4772 A, 471.04 V rms, 666.15 V peak.
    const Ratings high = rated(build144(1500));
    EXPECT_NEAR(high.lineCurrent, 5.47723, 1e-5);
    EXPECT_NEAR(high.capacitorVoltage, 471.04, 0.01);
    EXPECT_NEAR(high.capacitorVoltagePeak, 666.15, 0.01);
    // SWR 2: Imax = sqrt(1500 * 2 / 50) = 7.7460 A; 666.15 V rms, 942.08 V (sqrt(120) * 86)
    // peak; twice that the rating.
    EXPECT_NEAR(high.lineCurrentAtMargin, 7.74597, 1e-5);
    EXPECT_NEAR(high.capacitorVoltageAtMargin, 666.15, 0.01);
    EXPECT_NEAR(high.capacitorVoltagePeakAtMargin, 942.08, 0.01);
    EXPECT_NEAR(high.recommendedVoltage, 1884.17, 0.01);
    // The rod and strap carry the line current at the match.
    EXPECT_DOUBLE_EQ(high.rodCurrent, high.lineCurrent);
}

TEST(Ratings, MarginScalesTheCurrentBySqrtSwr)
{
    Input in = build144(1500);
    in.swrMargin = 1; // no margin: the match itself
    const Ratings none = rated(in);
    EXPECT_DOUBLE_EQ(none.lineCurrentAtMargin, none.lineCurrent);
    EXPECT_DOUBLE_EQ(none.capacitorVoltagePeakAtMargin, none.capacitorVoltagePeak);
    in.swrMargin = 3;
    // sqrt(1500 * 3 / 50) = 9.4868 A; sqrt(180) * 86 = 1153.81 V peak
    const Ratings three = rated(in);
    EXPECT_NEAR(three.lineCurrentAtMargin, 9.48683, 1e-5);
    EXPECT_NEAR(three.capacitorVoltagePeakAtMargin, 1153.81, 0.01);
    // The losses are at the match, whatever the margin.
    EXPECT_DOUBLE_EQ(three.capacitorLoss, none.capacitorLoss);
}

TEST(Ratings, LossesOfCapacitorRodAndStrap)
{
    // 1500 W: I^2 = 30 A^2. Capacitor 30 * 86 / 2500 = 1.032 W.
    // Aluminium at 144 MHz: delta 6.8275 um; rod 0.1612 / (pi 0.012 delta)
    // * 2.65e-8 = 0.016597 ohms (0.4979 W), strap 0.038 m: 0.0039123 ohms
    // (0.1174 W).
    const Ratings air = rated(build144(1500));
    EXPECT_DOUBLE_EQ(air.capacitorQ, 2500);
    EXPECT_NEAR(air.capacitorLoss, 1.032, 1e-9);
    EXPECT_NEAR(air.rodResistance, 0.016597, 1e-6);
    EXPECT_NEAR(air.strapResistance, 0.0039123, 1e-7);
    EXPECT_NEAR(air.rodLoss, 0.49790, 1e-5);
    EXPECT_NEAR(air.strapLoss, 0.11737, 1e-5);
    EXPECT_NEAR(air.matchLoss, 1.032 + 0.49790 + 0.11737, 1e-5);

    Input in = build144(1500);
    in.capacitor = Capacitor::PtfeCoax;
    EXPECT_NEAR(rated(in).capacitorLoss, 30.0 * 86 / 500, 1e-9); // 5.16 W
    in.capacitor = Capacitor::PolyethyleneCoax;
    EXPECT_NEAR(rated(in).capacitorLoss, 30.0 * 86 / 300, 1e-9); // 8.6 W
    in.rodMetal = Metal::Copper; // 0.013214 ohms
    EXPECT_NEAR(rated(in).rodResistance, 0.013214, 1e-6);

    // A shorted capacitor: no voltage, no capacitor loss, the rod's still.
    in.capacitorReactance = 0;
    const Ratings shorted = rated(in);
    EXPECT_EQ(shorted.capacitorVoltagePeakAtMargin, 0);
    EXPECT_EQ(shorted.capacitorLoss, 0);
    EXPECT_GT(shorted.rodLoss, 0);
}

TEST(Ratings, HeaderExamplesOfSkinDepthAndResistance)
{
    EXPECT_NEAR(skinDepth(1.68e-8, 14.2), 17.31e-6, 0.01e-6);
    EXPECT_NEAR(skinDepth(2.65e-8, 144), 6.83e-6, 0.01e-6);
    EXPECT_NEAR(skinResistance(1, 0.01, 1.68e-8, 14.2), 0.0309, 0.00005);
    // Four times the frequency: half the depth, twice the resistance.
    EXPECT_NEAR(skinDepth(1.68e-8, 56.8), skinDepth(1.68e-8, 14.2) / 2, 1e-12);
}

TEST(Ratings, EveryTableEntryWithItsUnits)
{
    ASSERT_EQ(capacitorKinds().size(), 3u);
    const CapacitorKind& air = capacitorKind(Capacitor::AirVariable);
    EXPECT_EQ(air.name, "air variable");
    EXPECT_EQ(air.dielectric, "air");
    EXPECT_EQ(air.q, 2500);
    EXPECT_EQ(air.strengthVoltsPerMetre, 3e6); // 3 kV/mm
    const CapacitorKind& ptfe = capacitorKind(Capacitor::PtfeCoax);
    EXPECT_EQ(ptfe.name, "PTFE coaxial");
    EXPECT_EQ(ptfe.dielectric, "ptfe");
    EXPECT_EQ(ptfe.q, 500);
    EXPECT_EQ(ptfe.strengthVoltsPerMetre, 20e6); // 20 kV/mm
    const CapacitorKind& pe = capacitorKind(Capacitor::PolyethyleneCoax);
    EXPECT_EQ(pe.name, "polyethylene coaxial");
    EXPECT_EQ(pe.dielectric, "polyethylene");
    EXPECT_EQ(pe.q, 300);
    EXPECT_EQ(pe.strengthVoltsPerMetre, 20e6);
    for (const CapacitorKind& kind : capacitorKinds()) {
        EXPECT_EQ(&capacitorKind(kind.kind), &kind) << kind.name;
        EXPECT_EQ(capacitorOfDielectric(kind.dielectric), kind.kind) << kind.name;
    }
    EXPECT_FALSE(capacitorOfDielectric("glass").has_value());

    ASSERT_EQ(metals().size(), 2u);
    EXPECT_EQ(metal(Metal::Copper).name, "copper");
    EXPECT_EQ(metal(Metal::Copper).resistivity, 1.68e-8); // ohm m
    EXPECT_EQ(metal(Metal::Aluminium).name, "aluminium");
    EXPECT_EQ(metal(Metal::Aluminium).resistivity, 2.65e-8);
}

// A 6.35 mm rod in a 10.2 mm tube: r ln(R/r) = 1.50474 mm.
Input inTube(Capacitor capacitor, double peakAtMargin)
{
    Input in = build144(1500);
    in.rodDiameter = 0.00635;
    in.tubeInnerDiameter = 0.0102;
    in.capacitor = capacitor;
    // Xc for that peak: peak = sqrt(2) sqrt(P S / Zc) Xc, sqrt(2 * 60) here.
    in.capacitorReactance = peakAtMargin / std::sqrt(120.0);
    return in;
}

TEST(Ratings, CoaxialGapFieldAndBreakdown)
{
    const Ratings ptfe = rated(inTube(Capacitor::PtfeCoax, 942.07));
    EXPECT_NEAR(ptfe.surfaceFieldAtMargin, 0.62607e6, 5); // V/m: 0.626 kV/mm
    EXPECT_NEAR(ptfe.breakdownVoltage, 30094.7, 0.1); // 20 kV/mm * 1.50474 mm
    EXPECT_NEAR(ptfe.airGapBreakdownVoltage, 4514.21, 0.01); // where the sleeve ends: the same gap in air
    EXPECT_TRUE(ptfe.warnings.empty());
    const Ratings air = rated(inTube(Capacitor::AirVariable, 942.07));
    EXPECT_NEAR(air.breakdownVoltage, 4514.21, 0.01); // 3 kV/mm
    EXPECT_EQ(air.airGapBreakdownVoltage, 0); // no sleeve to end
    EXPECT_TRUE(air.warnings.empty()); // 942 V is below 4514 / 3 = 1504.7 V
    // Without a tube there is no gap to check.
    const Ratings free = rated(build144(1500));
    EXPECT_EQ(free.breakdownVoltage, 0);
    EXPECT_EQ(free.surfaceFieldAtMargin, 0);
    EXPECT_TRUE(free.warnings.empty());
}

TEST(Ratings, WarningsOnBothSidesOfEachThreshold)
{
    const double airHolds = 4514.21; // V peak, the air gap above
    struct Row {
        const char* name;
        double peak;
        std::optional<Warning::Kind> kind;
    };
    const Row rows[] = {
        {"below a third", airHolds / 3 * 0.99, std::nullopt},
        {"above a third", airHolds / 3 * 1.01, Warning::Kind::AboveThirdOfBreakdown},
        {"below breakdown", airHolds * 0.99, Warning::Kind::AboveThirdOfBreakdown},
        {"above breakdown", airHolds * 1.01, Warning::Kind::AboveBreakdown},
    };
    for (const Row& row : rows) {
        const Ratings r = rated(inTube(Capacitor::AirVariable, row.peak));
        EXPECT_NEAR(r.capacitorVoltagePeakAtMargin, row.peak, 1e-6) << row.name;
        if (!row.kind) {
            EXPECT_TRUE(r.warnings.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(r.warnings.size(), 1u) << row.name;
        EXPECT_EQ(r.warnings[0].kind, *row.kind) << row.name;
        EXPECT_NE(r.warnings[0].message.find("PTFE sleeve"), std::string::npos) << r.warnings[0].message;
        EXPECT_NE(r.warnings[0].message.find("4.51 kV"), std::string::npos) << r.warnings[0].message;
    }
    // A sleeved gap: the air where the sleeve ends is warned of first, on
    // both sides of its thresholds; past the sleeve's own breakdown, both.
    for (const Row& row : rows) {
        const Ratings r = rated(inTube(Capacitor::PtfeCoax, row.peak));
        if (!row.kind) {
            EXPECT_TRUE(r.warnings.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(r.warnings.size(), 1u) << row.name;
        EXPECT_EQ(r.warnings[0].kind, *row.kind) << row.name;
        EXPECT_NE(r.warnings[0].message.find("where the ptfe sleeve ends, 4.51 kV"), std::string::npos)
            << r.warnings[0].message;
        EXPECT_NE(r.warnings[0].message.find("run well past the rod's end"), std::string::npos);
    }
    const Ratings ptfe = rated(inTube(Capacitor::PtfeCoax, 30094.7 * 1.01));
    ASSERT_EQ(ptfe.warnings.size(), 2u);
    EXPECT_EQ(ptfe.warnings[0].kind, Warning::Kind::AboveBreakdown);
    EXPECT_NE(ptfe.warnings[0].message.find("sleeve ends"), std::string::npos);
    EXPECT_EQ(ptfe.warnings[1].kind, Warning::Kind::AboveBreakdown);
    EXPECT_NE(ptfe.warnings[1].message.find("vacuum or wide-spaced air variable"), std::string::npos);
    EXPECT_NE(ptfe.warnings[1].message.find("thicker gap"), std::string::npos);
}

TEST(Ratings, RefusesEachBadInputNamingIt)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* name;
        void (*spoil)(Input&, double);
        double value;
        Field field;
    };
    const Row rows[] = {
        {"power 0", [](Input& in, double v) { in.powerW = v; }, 0, Field::Power},
        {"power negative", [](Input& in, double v) { in.powerW = v; }, -100, Field::Power},
        {"power NaN", [](Input& in, double v) { in.powerW = v; }, nan, Field::Power},
        {"power infinite", [](Input& in, double v) { in.powerW = v; }, inf, Field::Power},
        {"margin below 1", [](Input& in, double v) { in.swrMargin = v; }, 0.999, Field::SwrMargin},
        {"margin NaN", [](Input& in, double v) { in.swrMargin = v; }, nan, Field::SwrMargin},
        {"frequency 0", [](Input& in, double v) { in.freqMhz = v; }, 0, Field::Frequency},
        {"line 0", [](Input& in, double v) { in.lineImpedance = v; }, 0, Field::LineImpedance},
        {"reactance negative", [](Input& in, double v) { in.capacitorReactance = v; }, -1, Field::CapacitorReactance},
        {"rod length 0", [](Input& in, double v) { in.rodLength = v; }, 0, Field::RodLength},
        {"rod diameter 0", [](Input& in, double v) { in.rodDiameter = v; }, 0, Field::RodDiameter},
        {"strap 0", [](Input& in, double v) { in.strapLength = v; }, 0, Field::StrapLength},
        {"tube as the rod", [](Input& in, double v) { in.tubeInnerDiameter = v; }, 0.012, Field::TubeInnerDiameter},
    };
    for (const Row& row : rows) {
        Input in = build144(100);
        row.spoil(in, row.value);
        const auto result = rate(in);
        const auto* problem = std::get_if<NoRating>(&result);
        ASSERT_NE(problem, nullptr) << row.name;
        EXPECT_EQ(problem->field, row.field) << row.name;
        EXPECT_FALSE(problem->message.empty()) << row.name;
    }
}

const coax::Cable& cableNamed(std::string_view name)
{
    return *std::get<const coax::Cable*>(coax::findCable(name));
}

// A piece of `name` as the capacitor, its reactance giving `peakAtMargin`
// at 1500 W and SWR 2 (as inTube()).
Input ofCable(std::string_view name, double peakAtMargin)
{
    Input in = build144(1500);
    in.cable = &cableNamed(name);
    in.capacitorReactance = peakAtMargin / std::sqrt(120.0);
    return in;
}

// By hand, a ln(b / a) from the makers' diameters: RG-213 1.13 mm *
// ln(7.24 / 2.26) = 1.315610 mm; RG-142 0.495 mm * ln(2.95 / 0.99) =
// 0.540468 mm; LMR-400 1.37 mm * ln(7.24 / 2.74) = 1.331179 mm.
TEST(Ratings, CableFieldAndBreakdownOfItsDielectricAndItsCutEnd)
{
    struct Row {
        const char* name;
        double geometryMm;
        double strengthKvPerMm; // the dielectric's
        double q;
    };
    for (const Row& row :
        {Row{"RG-213", 1.315610, 20, 300}, Row{"RG-142", 0.540468, 20, 500}, Row{"LMR-400", 1.331179, 3, 300}}) {
        SCOPED_TRACE(row.name);
        const Ratings r = rated(ofCable(row.name, 400));
        EXPECT_NEAR(r.surfaceFieldAtMargin, 400 / (row.geometryMm * 1e-3), 1); // V/m
        EXPECT_NEAR(r.breakdownVoltage, row.strengthKvPerMm * 1e3 * row.geometryMm, 0.01); // V peak
        EXPECT_NEAR(r.airGapBreakdownVoltage, 3e3 * row.geometryMm, 0.01); // 3 kV/mm
        EXPECT_EQ(r.capacitorQ, row.q); // PE 300, PTFE 500, whatever `capacitor` says
        EXPECT_NEAR(r.capacitorLoss, 30 * (400 / std::sqrt(120.0)) / row.q, 1e-9);
        EXPECT_TRUE(r.warnings.empty());
    }
    // The header's figures: RG-213 at 942 V peak.
    const Ratings rg213 = rated(ofCable("RG-213", 942.07));
    EXPECT_NEAR(rg213.surfaceFieldAtMargin / 1e6, 0.716, 0.0005); // kV/mm
    EXPECT_NEAR(rg213.breakdownVoltage, 26312.2, 0.1);
    EXPECT_NEAR(rg213.airGapBreakdownVoltage, 3946.83, 0.01);
    EXPECT_TRUE(rg213.warnings.empty());
    // Without a cable nor a tube, no gap.
    EXPECT_EQ(rated(build144(1500)).airGapBreakdownVoltage, 0);
}

// RG-213's cut end holds 3946.83 V, its PE 26312.2 V; each warns above a
// third of it and again above all of it, the cut end's first.
TEST(Ratings, CableWarningsOnBothSidesOfEachThreshold)
{
    const double air = 3946.83;
    const double pe = 26312.2;
    using Kind = Warning::Kind;
    struct Row {
        const char* name;
        double peak;
        std::vector<Kind> kinds; // the cut end's, then the dielectric's
    };
    const Row rows[] = {
        {"below a third of the cut end", air / 3 * 0.99, {}},
        {"above a third of the cut end", air / 3 * 1.01, {Kind::AboveThirdOfBreakdown}},
        {"below the cut end", air * 0.99, {Kind::AboveThirdOfBreakdown}},
        {"above the cut end", air * 1.01, {Kind::AboveBreakdown}},
        {"below a third of the PE", pe / 3 * 0.99, {Kind::AboveBreakdown}},
        {"above a third of the PE", pe / 3 * 1.01, {Kind::AboveBreakdown, Kind::AboveThirdOfBreakdown}},
        {"below the PE", pe * 0.99, {Kind::AboveBreakdown, Kind::AboveThirdOfBreakdown}},
        {"above the PE", pe * 1.01, {Kind::AboveBreakdown, Kind::AboveBreakdown}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Ratings r = rated(ofCable("RG-213", row.peak));
        ASSERT_EQ(r.warnings.size(), row.kinds.size());
        for (std::size_t i = 0; i < r.warnings.size(); ++i) {
            EXPECT_EQ(r.warnings[i].kind, row.kinds[i]) << r.warnings[i].message;
        }
        if (!r.warnings.empty()) {
            const std::string& end = r.warnings[0].message;
            EXPECT_NE(end.find("the air at the braid's cut end, 3.95 kV"), std::string::npos) << end;
            EXPECT_NE(end.find("trim the braid back"), std::string::npos) << end;
        }
        if (r.warnings.size() == 2) {
            const std::string& dielectric = r.warnings[1].message;
            EXPECT_NE(dielectric.find("RG-213's solid PE, 26.31 kV"), std::string::npos) << dielectric;
            EXPECT_NE(dielectric.find("use a PTFE cable or a thicker one"), std::string::npos) << dielectric;
        }
    }
    // A PTFE cable is not told to use one.
    const Ratings ptfe = rated(ofCable("RG-142", 10809.4 * 1.01));
    ASSERT_EQ(ptfe.warnings.size(), 2u);
    EXPECT_NE(ptfe.warnings[1].message.find("RG-142's PTFE"), std::string::npos) << ptfe.warnings[1].message;
    EXPECT_NE(ptfe.warnings[1].message.find("use a thicker cable, or a vacuum"), std::string::npos);
}

TEST(Ratings, RefusesACableWithATubeOrWithoutItsCrossSection)
{
    Input both = ofCable("RG-213", 400);
    both.tubeInnerDiameter = 0.02;
    const auto twice = rate(both);
    ASSERT_TRUE(std::holds_alternative<NoRating>(twice));
    EXPECT_EQ(std::get<NoRating>(twice).field, Field::Cable);

    coax::Cable flat = cableNamed("RG-213");
    for (const auto& [inner, outer] : {std::pair{0.0, 7e-3}, std::pair{2e-3, 2e-3}, std::pair{2e-3, 1e-3}}) {
        flat.innerDiameter = inner;
        flat.dielectricDiameter = outer;
        Input in = build144(100);
        in.cable = &flat;
        const auto result = rate(in);
        ASSERT_TRUE(std::holds_alternative<NoRating>(result)) << inner << " in " << outer;
        EXPECT_EQ(std::get<NoRating>(result).field, Field::Cable);
    }
    for (const coax::Cable& cable : coax::cables()) {
        EXPECT_TRUE(std::holds_alternative<Ratings>(rate(ofCable(cable.name, 400)))) << cable.name;
    }
}

} // namespace
