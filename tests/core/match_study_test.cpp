// SPDX-License-Identifier: GPL-3.0-or-later
// The study the designer window and vostrel-design share: the design, the
// tuning and the sweeps about it.
#include "match_study.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace vostrel;
using design::Complex;

namespace {

// The ARRL Antenna Book's 14.3 MHz example.
study::Inputs book()
{
    study::Inputs inputs;
    inputs.design.freqMhz = 14.3;
    inputs.design.feedImpedance = {25, -25};
    inputs.design.geometry = {0.0381, 0.0127, 0.1524};
    inputs.design.model = design::Model::Textbook; // the book's figures
    return inputs;
}

touchstone::OnePort twoPoints()
{
    touchstone::OnePort file;
    file.points = {{14e6, {20, -30}, 2}, {15e6, {40, 10}, 3}};
    return file;
}

TEST(MatchStudy, TheDesignMatchesAndTheSweepsSpanIt)
{
    study::MatchStudy s(101);
    s.setInputs(book(), nullptr);
    ASSERT_TRUE(s.hasDesign());
    EXPECT_NEAR(s.design().rodLength / 0.0254, 38.90, 0.005);
    EXPECT_NEAR(s.design().capacitancePf, 96.14, 0.005);
    EXPECT_NEAR(s.atDesign().swr, 1, 1e-9);
    EXPECT_EQ(s.tuning().rodLength, s.design().rodLength);
    ASSERT_EQ(s.byCapacitance().size(), 101U);
    ASSERT_EQ(s.byRodLength().size(), 101U);
    ASSERT_EQ(s.byFrequency().size(), 101U);
    EXPECT_DOUBLE_EQ(s.byCapacitance().front().x, 0.4 * s.design().capacitancePf);
    EXPECT_DOUBLE_EQ(s.byCapacitance().back().x, 1.6 * s.design().capacitancePf);
    EXPECT_DOUBLE_EQ(s.byRodLength().front().x, 0.7 * s.design().rodLength);
    EXPECT_DOUBLE_EQ(s.byRodLength().back().x, 1.3 * s.design().rodLength);
    EXPECT_DOUBLE_EQ(s.byFrequency().front().x, 14.3 * 0.95);
    EXPECT_DOUBLE_EQ(s.byFrequency().back().x, 14.3 * 1.05);
    // The middle of each sweep is the design point: SWR 1 there.
    EXPECT_NEAR(s.byCapacitance()[50].swr, 1, 1e-6);
    EXPECT_NEAR(s.byRodLength()[50].swr, 1, 1e-6);
    EXPECT_NEAR(s.byFrequency()[50].swr, 1, 1e-6);
    EXPECT_FALSE(s.measuredFrequencySweep());
    EXPECT_FALSE(s.insertionLength());
}

TEST(MatchStudy, TuningMovesTheTunedPointAndTheSweepsButNotTheDesign)
{
    study::MatchStudy s(11);
    s.setInputs(book(), nullptr);
    const study::Tuning design = s.designTuning();
    s.setTuning({design.rodLength * 1.03, design.capacitancePf * 0.95});
    EXPECT_GT(s.tuned().swr, 1.01);
    EXPECT_NEAR(s.atDesign().swr, 1, 1e-9);
    // The capacitance sweep is at the tuned strap; the strap sweep at the tuned capacitor.
    const auto at = design::analyze(book().design, design.rodLength * 1.03, s.byCapacitance()[3].x);
    EXPECT_DOUBLE_EQ(std::get<design::Analysis>(at).swr, s.byCapacitance()[3].swr);
    const auto strap = design::analyze(book().design, s.byRodLength()[7].x, design.capacitancePf * 0.95);
    EXPECT_DOUBLE_EQ(std::get<design::Analysis>(strap).swr, s.byRodLength()[7].swr);
    EXPECT_DOUBLE_EQ(s.byCapacitance().front().x, 0.4 * design.capacitancePf); // spans stay on the design
}

TEST(MatchStudy, NoMatchClearsTheSweepsAndKeepsTheReason)
{
    study::MatchStudy s(11);
    s.setInputs(book(), nullptr);
    study::Inputs none = book();
    none.design.feedImpedance = {5, 10};
    s.setInputs(none, nullptr);
    EXPECT_FALSE(s.hasDesign());
    EXPECT_EQ(s.problem().kind, design::Problem::Kind::NoMatch);
    EXPECT_TRUE(s.byCapacitance().empty());
    EXPECT_TRUE(s.byRodLength().empty());
    EXPECT_TRUE(s.byFrequency().empty());
}

TEST(MatchStudy, AShortedCapacitorHasNoCapacitanceSweepAndATubeGivesTheInsertion)
{
    study::Inputs boundary;
    boundary.design.freqMhz = 144;
    boundary.design.feedImpedance = {12.5, 0};
    boundary.design.geometry = {0.012, 0.012, 0.038};
    boundary.design.model = design::Model::Textbook; // the rod alone matches (the corrected needs a capacitor)
    study::MatchStudy s(11);
    s.setInputs(boundary, nullptr);
    ASSERT_TRUE(s.hasDesign());
    EXPECT_TRUE(s.design().capacitorShorted);
    EXPECT_TRUE(s.byCapacitance().empty());
    EXPECT_EQ(s.byRodLength().size(), 11U);
    EXPECT_FALSE(s.insertionLength());

    study::Inputs tube = book();
    tube.tubeInnerDiameter = 0.0102;
    tube.design.geometry.rodDiameter = 0.00635;
    tube.design.geometry.spacing = 0.1524;
    tube.permittivity = 2.1;
    s.setInputs(tube, nullptr);
    ASSERT_TRUE(s.insertionLength());
    const auto expected = design::insertionLength(s.design().capacitancePf, 0.0102, 0.00635, 2.1);
    EXPECT_DOUBLE_EQ(*s.insertionLength(), std::get<double>(expected));
    // New inputs without the tube take its insertion length with them.
    s.setInputs(book(), nullptr);
    EXPECT_FALSE(s.insertionLength());
}

TEST(MatchStudy, AMeasurementSpansTheFileAtItsInterpolatedImpedances)
{
    auto file = std::make_shared<const touchstone::OnePort>(twoPoints());
    study::MatchStudy s(5);
    study::Inputs in = book();
    in.design.freqMhz = 14.5;
    in.design.feedImpedance = {30, -10}; // what the fields hold at 14.5 MHz
    s.setInputs(in, file);
    ASSERT_TRUE(s.measuredFrequencySweep());
    ASSERT_EQ(s.byFrequency().size(), 5U);
    EXPECT_DOUBLE_EQ(s.byFrequency().front().x, 14);
    EXPECT_DOUBLE_EQ(s.byFrequency()[2].x, 14.5);
    EXPECT_DOUBLE_EQ(s.byFrequency().back().x, 15);
    // The middle point uses the file's impedance there, the design's own: SWR 1.
    EXPECT_NEAR(s.byFrequency()[2].swr, 1, 1e-9);
}

TEST(MatchStudy, MeasuredPointsAndHeldTuningForTheCommandLine)
{
    const auto every = study::measuredPoints(twoPoints());
    ASSERT_EQ(every.size(), 2U);
    EXPECT_EQ(every[1].freqMhz, 15);
    EXPECT_EQ(every[1].feedImpedance, Complex(40, 10));
    const auto across = study::measuredAcross(twoPoints(), 3);
    ASSERT_EQ(across.size(), 3U);
    EXPECT_EQ(across[1].freqMhz, 14.5);
    EXPECT_EQ(across[1].feedImpedance, Complex(30, -10));
    touchstone::OnePort one;
    one.points = {{14e6, {50, 0}, 2}};
    EXPECT_EQ(study::measuredAcross(one, 5).size(), 1U);
    EXPECT_TRUE(study::measuredAcross(touchstone::OnePort{}, 5).empty());

    const design::DesignInput in = book().design;
    const auto both = study::heldTuning(in, std::nullopt, std::nullopt, study::Swept::Frequency);
    ASSERT_TRUE(std::holds_alternative<study::Tuning>(both));
    EXPECT_NEAR(std::get<study::Tuning>(both).capacitancePf, 96.14, 0.005);
    const auto given = study::heldTuning(in, 0.762, std::nullopt, study::Swept::Capacitance);
    EXPECT_EQ(std::get<study::Tuning>(given).rodLength, 0.762);
    // A capacitance given is held; only the missing rod length is the design's.
    const auto capacitorGiven = study::heldTuning(in, std::nullopt, 50.0, study::Swept::Frequency);
    ASSERT_TRUE(std::holds_alternative<study::Tuning>(capacitorGiven));
    EXPECT_EQ(std::get<study::Tuning>(capacitorGiven).capacitancePf, 50.0);
    EXPECT_NEAR(std::get<study::Tuning>(capacitorGiven).rodLength / 0.0254, 38.90, 0.005);
    design::DesignInput none = in;
    none.feedImpedance = {5, 10};
    // Nothing to take from a design when both are given.
    EXPECT_TRUE(std::holds_alternative<study::Tuning>(study::heldTuning(none, 0.5, 50.0, study::Swept::Frequency)));
    EXPECT_TRUE(
        std::holds_alternative<design::Problem>(study::heldTuning(none, std::nullopt, 50.0, study::Swept::Frequency)));
    EXPECT_TRUE(
        std::holds_alternative<study::Tuning>(study::heldTuning(none, std::nullopt, 50.0, study::Swept::RodLength)));
}

// Seeded random geometries: whatever the study designs, the design fed
// back into the analysis gives the line impedance.
TEST(MatchStudy, RandomDesignsFeedBackToTheLineImpedance)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> unit(0, 1);
    study::MatchStudy s(3);
    int designed = 0;
    for (int i = 0; i < 2000; ++i) {
        study::Inputs in;
        in.design.freqMhz = 1.8 + unit(random) * 430;
        in.design.feedImpedance = {5 + unit(random) * 95, -60 + unit(random) * 120};
        const double element = 0.005 + unit(random) * 0.04;
        const double rod = 0.003 + unit(random) * 0.02;
        in.design.geometry = {element, rod, (element + rod) / 2 * (1.2 + unit(random) * 5)};
        in.design.lineImpedance = unit(random) < 0.5 ? 50 : 75;
        in.design.stepUp = unit(random) < 0.5 ? design::StepUp::Whole : design::StepUp::Half;
        s.setInputs(in, nullptr);
        if (!s.hasDesign()) {
            continue;
        }
        ++designed;
        ASSERT_NEAR(std::abs(s.atDesign().zin - Complex(in.design.lineImpedance, 0)), 0, 1e-6 * in.design.lineImpedance)
            << "case " << i;
    }
    EXPECT_GT(designed, 200);
}

} // namespace

// The sliders' steps, shared by the window and the web page: a share of the
// design's value per step, signed, and nothing at the centre.
TEST(MatchStudy, TuningStepsAreSharesOfTheDesign)
{
    using vostrel::study::tunedBySteps;
    const vostrel::study::Tuning design{1.0, 100.0};
    const auto moved = tunedBySteps(design, 4, -2);
    EXPECT_DOUBLE_EQ(moved.rodLength, 1.01);
    EXPECT_DOUBLE_EQ(moved.capacitancePf, 99.0);
    const auto centre = tunedBySteps(design, 0, 0);
    EXPECT_EQ(centre.rodLength, 1.0);
    EXPECT_EQ(centre.capacitancePf, 100.0);
    // Full reach: 25 % of the rod and 50 % of the capacitance either way.
    const auto top = tunedBySteps(design, vostrel::study::kTuningSteps, vostrel::study::kTuningSteps);
    EXPECT_DOUBLE_EQ(top.rodLength, 1.25);
    EXPECT_DOUBLE_EQ(top.capacitancePf, 150.0);
    const auto bottom = tunedBySteps(design, -vostrel::study::kTuningSteps, -vostrel::study::kTuningSteps);
    EXPECT_DOUBLE_EQ(bottom.rodLength, 0.75);
    EXPECT_DOUBLE_EQ(bottom.capacitancePf, 50.0);
}
