// SPDX-License-Identifier: GPL-3.0-or-later
// The feed impedance model: published and independent figures, the header's
// examples, properties over seeded random designs, and every refusal.
#include "gamma_design.h"

#include <gtest/gtest.h>

#include <functional>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

using namespace vostrel::design;

namespace {

constexpr double kInch = 0.0254;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The published figures are the textbook line model's.
DesignInput antennaBook(StepUp stepUp = StepUp::Whole)
{
    return DesignInput{14.3, {25, -25}, {1.5 * kInch, 0.5 * kInch, 6 * kInch}, 50, stepUp, Model::Textbook};
}

// Owen Duffy, "Designing a Gamma Match" (owenduffy.net): a 144 MHz Yagi
// with a 12 mm element and rod at 38 mm, Za 50 + j0.
DesignInput duffyYagi()
{
    return DesignInput{144, {50, 0}, {0.012, 0.012, 0.038}, 50, StepUp::Whole, Model::Textbook};
}

template <typename T> const T& ok(const Outcome<T>& outcome)
{
    if (const auto* problem = std::get_if<Problem>(&outcome)) {
        ADD_FAILURE() << "unexpected problem: " << problem->message;
        static const T empty{};
        return empty;
    }
    return std::get<T>(outcome);
}

template <typename T> Problem problemOf(const Outcome<T>& outcome)
{
    if (const auto* problem = std::get_if<Problem>(&outcome)) {
        return *problem;
    }
    ADD_FAILURE() << "expected a problem";
    return {};
}

// The documented condition, written from Z2 directly.
bool matchable(Complex z2, double zc)
{
    return z2.real() > zc || (z2.imag() < 0 && z2.imag() * z2.imag() > z2.real() * (zc - z2.real()));
}

// Random designs over what builders use: 1.8 to 450 MHz, rod from a fifth
// of the element to twice it, spacing from just clear to 30 rod diameters.
DesignInput randomInput(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> unit(0, 1);
    DesignInput in;
    in.freqMhz = 1.8 * std::pow(250.0, unit(random));
    const double d = 0.002 + 0.03 * unit(random);
    const double bigD = d * (0.5 + 4.5 * unit(random));
    in.geometry = {bigD, d, (bigD + d) / 2 * (1.05 + 10 * unit(random))};
    // The model holds up to a spacing of a twentieth of the wavelength.
    in.freqMhz = std::min(in.freqMhz, 299.792458 / 20 / in.geometry.spacing * 0.999);
    in.feedImpedance = {1 + 40 * unit(random), -60 + 120 * unit(random)};
    in.lineImpedance = unit(random) < 0.5 ? 50 : 75;
    in.stepUp = unit(random) < 0.5 ? StepUp::Whole : StepUp::Half;
    in.model = unit(random) < 0.5 ? Model::Textbook : Model::Corrected;
    return in;
}

} // namespace

TEST(GammaDesign, PublishedAndIndependentFigures)
{
    const Design whole = ok(design(antennaBook()));
    EXPECT_NEAR(whole.line.z0, 314.3972, 5e-4);
    EXPECT_NEAR(whole.line.alpha, 1.522026, 1e-6);
    EXPECT_NEAR(whole.rodLength / kInch, 38.902, 1e-3);
    EXPECT_NEAR(whole.capacitancePf, 96.1406, 1e-4);
    EXPECT_FALSE(whole.capacitorShorted);

    const Design half = ok(design(antennaBook(StepUp::Half)));
    EXPECT_NEAR(half.rodLength / kInch, 26.463, 1e-3);
    EXPECT_NEAR(half.capacitancePf, 150.749, 1e-3);
    EXPECT_EQ(half.line.z0, whole.line.z0);

    const Design yagi = ok(design(duffyYagi()));
    EXPECT_NEAR(yagi.line.z0, 218.389, 1e-3);
    EXPECT_EQ(yagi.line.alpha, 1.0);
    EXPECT_NEAR(yagi.rodLength * 1000, 161.156, 1e-3);
    EXPECT_NEAR(yagi.capacitancePf, 12.7622, 1e-4);
    // As built at 160 mm he tuned out Xc = 86 ohms.
    const Analysis built = ok(analyze(duffyYagi(), 0.160, kInf));
    EXPECT_NEAR(built.zp.real(), 49.37, 0.005);
    EXPECT_NEAR(built.zp.imag(), 86.23, 0.005);
    EXPECT_EQ(built.zin, built.zp);
}

TEST(GammaDesign, HeaderExamples)
{
    EXPECT_EQ(stepUpShare(StepUp::Whole), 1.0);
    EXPECT_EQ(stepUpShare(StepUp::Half), 0.5);
    EXPECT_NE(stepUpName(StepUp::Whole).find("k = 1)"), std::string_view::npos);
    EXPECT_NE(stepUpName(StepUp::Half).find("k = 1/2"), std::string_view::npos);
    // The corrected closed form unless the textbook one is asked for.
    EXPECT_EQ(DesignInput{}.model, Model::Corrected);
    EXPECT_EQ(modelName(Model::Textbook), "textbook line model");
    EXPECT_EQ(modelName(Model::Corrected), "line model with the feed connection's and strap's inductance");
    EXPECT_EQ(modelColumn(Model::Textbook), "textbook");
    EXPECT_EQ(modelColumn(Model::Corrected), "corrected");

    // Za 12.5 with equal diameters: Z2 = 4 * 12.5 = Zc, a quarter-wave rod.
    DesignInput matched = duffyYagi();
    matched.feedImpedance = {12.5, 0};
    const Design quarter = ok(design(matched));
    EXPECT_TRUE(quarter.capacitorShorted);
    EXPECT_EQ(quarter.capacitancePf, kInf);
    EXPECT_NEAR(quarter.rodLength, quarter.line.wavelength / 4, 1e-12);

    DesignInput low = duffyYagi();
    low.feedImpedance = {5, 0};
    const Problem tooLong = problemOf(design(low));
    EXPECT_EQ(tooLong.kind, Problem::Kind::NoMatch);
    EXPECT_EQ(tooLong.field, Field::FeedReactance);
    EXPECT_NEAR(tooLong.neededReactance, -std::sqrt(20.0 * 30) / 4, 1e-12);
    // Equal diameters: the spacing does not move alpha, so it is not advised.
    EXPECT_EQ(tooLong.message,
        "no gamma match of this geometry can match: the element is too long for this rod: "
        "shorten it until its reactance is below -6.1 ohms, or use a thinner rod");

    EXPECT_NEAR(std::get<double>(capacitanceForReactance(14.2, 86)), 130.33, 0.005);
    EXPECT_EQ(std::get<double>(capacitanceForReactance(14.2, 0)), kInf);
    EXPECT_EQ(problemOf(capacitanceForReactance(14.2, -3)).kind, Problem::Kind::NoMatch);
    EXPECT_EQ(problemOf(capacitanceForReactance(0, 86)).field, Field::Frequency);

    // 2 pi e0 er / ln(ID/d): 55.63 * 2.1 / ln(10.2/6.35) = 246.5 pF/m.
    EXPECT_NEAR(std::get<double>(insertionLength(130.3, 0.0102, 0.00635, 2.1)), 0.5287, 5e-4);
    ASSERT_EQ(dielectrics().size(), 3U);
    EXPECT_EQ(dielectrics()[1].permittivity, 2.1);
    EXPECT_EQ(dielectrics()[2].permittivity, 2.25);
}

TEST(GammaDesign, EveryBadInputNamesItsField)
{
    struct Case {
        const char* name;
        void (*spoil)(DesignInput&);
        Field field;
    };
    const Case cases[] = {
        {"freq 0", [](DesignInput& in) { in.freqMhz = 0; }, Field::Frequency},
        {"freq inf", [](DesignInput& in) { in.freqMhz = kInf; }, Field::Frequency},
        {"Ra 0",
            [](DesignInput& in) {
                in.feedImpedance = {0, -25};
            },
            Field::FeedResistance},
        {"Ra < 0",
            [](DesignInput& in) {
                in.feedImpedance = {-1, -25};
            },
            Field::FeedResistance},
        {"Xa kNaN",
            [](DesignInput& in) {
                in.feedImpedance = {25, kNaN};
            },
            Field::FeedReactance},
        {"D 0", [](DesignInput& in) { in.geometry.elementDiameter = 0; }, Field::ElementDiameter},
        {"d < 0", [](DesignInput& in) { in.geometry.rodDiameter = -0.01; }, Field::RodDiameter},
        {"s kNaN", [](DesignInput& in) { in.geometry.spacing = kNaN; }, Field::Spacing},
        {"touching", [](DesignInput& in) { in.geometry.spacing = 1.0 * kInch; }, Field::Spacing},
        {"Zc 0", [](DesignInput& in) { in.lineImpedance = 0; }, Field::LineImpedance},
        // 6 in is more than a twentieth of the wavelength: too high for it.
        {"s > lambda/20", [](DesignInput& in) { in.freqMhz = 1e3; }, Field::Frequency},
        {"freq 1e307", [](DesignInput& in) { in.freqMhz = 1e307; }, Field::Frequency},
        // Beyond what the model takes (both sides of each limit are below).
        {"freq below 1 kHz", [](DesignInput& in) { in.freqMhz = 0.000999; }, Field::Frequency},
        {"Ra above a megohm",
            [](DesignInput& in) {
                in.feedImpedance = {1.000001e6, -25};
            },
            Field::FeedResistance},
        {"Xa below -1 Mohm",
            [](DesignInput& in) {
                in.feedImpedance = {25, -1.000001e6};
            },
            Field::FeedReactance},
        {"Xa 1e154",
            [](DesignInput& in) {
                in.feedImpedance = {25, 1e154};
            },
            Field::FeedReactance},
        {"D 1e-308", [](DesignInput& in) { in.geometry.elementDiameter = 1e-308; }, Field::ElementDiameter},
        {"d below a micrometre", [](DesignInput& in) { in.geometry.rodDiameter = 0.99e-6; }, Field::RodDiameter},
        {"Zc below 1 ohm", [](DesignInput& in) { in.lineImpedance = 0.999; }, Field::LineImpedance},
        {"Zc 1e308", [](DesignInput& in) { in.lineImpedance = 1e308; }, Field::LineImpedance},
        // Each input on its own comes first: the line before the touching spacing.
        {"touching with Zc 0",
            [](DesignInput& in) {
                in.geometry.spacing = 1.0 * kInch;
                in.lineImpedance = 0;
            },
            Field::LineImpedance},
        {"touching and too high",
            [](DesignInput& in) {
                in.geometry.spacing = 1.0 * kInch;
                in.freqMhz = 1e4;
            },
            Field::Frequency},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesignInput in = antennaBook();
        c.spoil(in);
        for (const Problem& problem :
            {problemOf(lineModel(in)), problemOf(design(in)), problemOf(analyze(in, 1, 100))}) {
            EXPECT_EQ(problem.kind, Problem::Kind::BadInput);
            EXPECT_EQ(problem.field, c.field);
            EXPECT_FALSE(problem.message.empty());
        }
    }
    // Just clear of touching is modelled, Z0 small but positive.
    DesignInput close = antennaBook();
    close.geometry.spacing = 1.0 * kInch * (1 + 1e-9);
    EXPECT_GT(ok(lineModel(close)).z0, 0);

    // The limits themselves are modelled, with finite results.
    for (const auto& edge : std::vector<std::function<void(DesignInput&)>>{
             [](DesignInput& in) {
                 in.feedImpedance = {1e6, -1e6};
             },
             [](DesignInput& in) {
                 in.feedImpedance = {25, 1e6};
             },
             [](DesignInput& in) { in.lineImpedance = 1; },
             [](DesignInput& in) { in.lineImpedance = 1e6; },
             [](DesignInput& in) { in.freqMhz = 0.001; },
             [](DesignInput& in) {
                 in.geometry = {1e-6, 1e-6, 2.5e-6};
                 in.freqMhz = 1e6;
             },
         }) {
        DesignInput in = antennaBook();
        edge(in);
        const Analysis at = ok(analyze(in, 0.01, 100));
        EXPECT_TRUE(std::isfinite(at.zin.real()) && std::isfinite(at.zin.imag()));
        const auto designed = design(in);
        if (const auto* d = std::get_if<Design>(&designed)) {
            EXPECT_TRUE(std::isfinite(d->rodLength));
            EXPECT_FALSE(std::isnan(d->capacitancePf));
        } else {
            EXPECT_TRUE(std::isfinite(std::get<Problem>(designed).neededReactance));
        }
    }

    // A rod of half a wavelength: the shorted line shorts Z2, Zp about 0.
    const double halfWave = 299.792458 / 14.3 / 2;
    const Analysis half = ok(analyze(antennaBook(), halfWave, kInf));
    EXPECT_LT(std::abs(half.zp), 1e-9);
    EXPECT_NEAR(std::abs(half.reflection), 1, 1e-9); // a short across the feed line

    EXPECT_EQ(problemOf(analyze(antennaBook(), 0, 100)).field, Field::RodLength);
    EXPECT_EQ(problemOf(analyze(antennaBook(), 1, 0)).field, Field::Capacitance);
    EXPECT_EQ(problemOf(analyze(antennaBook(), 1, kNaN)).field, Field::Capacitance);
    EXPECT_EQ(problemOf(insertionLength(100, 0.006, 0.006, 1)).field, Field::TubeInnerDiameter);
    EXPECT_EQ(problemOf(insertionLength(100, 0.01, 0.006, 0.5)).field, Field::Permittivity);
    EXPECT_EQ(problemOf(insertionLength(0, 0.01, 0.006, 1)).field, Field::Capacitance);
    EXPECT_EQ(problemOf(insertionLength(100, 0.01, 0, 1)).field, Field::RodDiameter);
}

TEST(GammaDesign, DesignThenAnalyzeGivesTheLineImpedance)
{
    std::mt19937_64 random(11);
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        const DesignInput in = randomInput(random);
        const auto designed = design(in);
        const LineModel line = ok(lineModel(in));
        // No solution exactly where the condition says.
        ASSERT_EQ(std::holds_alternative<Design>(designed), matchable(line.z2, in.lineImpedance))
            << "Za " << in.feedImpedance << " Z2 " << line.z2;
        if (const auto* problem = std::get_if<Problem>(&designed)) {
            EXPECT_EQ(problem->kind, Problem::Kind::NoMatch);
            continue;
        }
        ++solved;
        const Design& d = std::get<Design>(designed);
        EXPECT_GT(d.rodLength, 0);
        EXPECT_LT(d.rodLength, line.wavelength / 4);
        EXPECT_GT(d.capacitancePf, 0);
        const Analysis a = ok(analyze(in, d.rodLength, d.capacitancePf));
        EXPECT_LT(std::abs(a.zin - in.lineImpedance), 1e-9 * in.lineImpedance) << a.zin;
        EXPECT_LT(a.swr, 1 + 1e-8);
        // The capacitor cancels Im Zp and, in the corrected model, the feed
        // connection's and strap's reactance in series with it.
        const double connection = 2 * std::numbers::pi * in.freqMhz * 1e6 * line.connectionInductance;
        EXPECT_EQ(line.connectionInductance > 0, in.model == Model::Corrected);
        EXPECT_NEAR(a.zp.imag() + connection, d.capacitorReactance, 1e-9 * d.capacitorReactance);
    }
    EXPECT_GT(solved, 200); // both outcomes are well represented
    EXPECT_LT(solved, 1800);
}

TEST(GammaDesign, ModelProperties)
{
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 500; ++i) {
        DesignInput in = randomInput(random);
        const LineModel line = ok(lineModel(in));
        // Swapping rod and element: the reciprocal current division, same Z0.
        DesignInput swapped = in;
        std::swap(swapped.geometry.elementDiameter, swapped.geometry.rodDiameter);
        const LineModel other = ok(lineModel(swapped));
        EXPECT_NEAR(other.alpha * line.alpha, 1, 1e-12);
        EXPECT_NEAR(other.z0, line.z0, 1e-12 * line.z0);
        // Equal diameters: alpha is 1 exactly.
        DesignInput equal = in;
        equal.geometry.rodDiameter = equal.geometry.elementDiameter;
        equal.geometry.spacing = std::max(equal.geometry.spacing, 1.5 * equal.geometry.elementDiameter);
        equal.freqMhz = std::min(equal.freqMhz, 299.792458 / 20 / equal.geometry.spacing * 0.999);
        EXPECT_EQ(ok(lineModel(equal)).alpha, 1.0);
        // Re Zin does not depend on C; Im Zin falls by the capacitor's reactance.
        const double length = line.wavelength * 0.2 * unit(random);
        const double c1 = 1 + 500 * unit(random);
        const double c2 = 1 + 500 * unit(random);
        const Analysis a1 = ok(analyze(in, length, c1));
        const Analysis a2 = ok(analyze(in, length, c2));
        const Analysis shorted = ok(analyze(in, length, kInf));
        EXPECT_EQ(a1.zin.real(), a2.zin.real());
        EXPECT_EQ(a1.zin.real(), shorted.zin.real());
        const double xc1 = 1e6 / (2 * std::numbers::pi * in.freqMhz * c1);
        EXPECT_NEAR(shorted.zin.imag() - a1.zin.imag(), xc1, 1e-9 * (xc1 + std::abs(shorted.zin.imag())));
        // The SWR and return loss agree with the reflection coefficient.
        const double g = std::abs(a1.reflection);
        EXPECT_NEAR(a1.swr, (1 + g) / (1 - g), 1e-9 * a1.swr);
        EXPECT_NEAR(a1.returnLossDb, -20 * std::log10(g), 1e-9);
    }
}

TEST(GammaDesign, BothSidesOfTheBoundary)
{
    for (const StepUp stepUp : {StepUp::Whole, StepUp::Half}) {
        for (const double rod : {0.5, 1.5, 2.0}) {
            SCOPED_TRACE(rod);
            DesignInput in = antennaBook(stepUp);
            in.feedImpedance = {5, 0};
            in.geometry.rodDiameter = rod * kInch;
            const LineModel line = ok(lineModel(in));
            const double r2 = line.z2.real();
            ASSERT_LT(r2, in.lineImpedance);
            const double boundary = -std::sqrt(r2 * (in.lineImpedance - r2)) / line.stepUp;

            in.feedImpedance = {5, boundary * (1 + 1e-6)};
            const Design inside = ok(design(in));
            EXPECT_FALSE(inside.capacitorShorted);
            EXPECT_GT(inside.capacitancePf, 1e4); // almost a short

            in.feedImpedance = {5, boundary};
            const Design on = ok(design(in));
            EXPECT_TRUE(on.capacitorShorted);
            EXPECT_EQ(on.capacitorReactance, 0);
            EXPECT_LT(on.rodLength, on.line.wavelength / 4);
            EXPECT_NEAR(on.rodLength, inside.rodLength, 1e-2 * inside.rodLength);
            const Analysis rodAlone = ok(analyze(in, on.rodLength, on.capacitancePf));
            EXPECT_LT(std::abs(rodAlone.zin - in.lineImpedance), 1e-9 * in.lineImpedance);

            in.feedImpedance = {5, boundary * (1 - 1e-6)};
            const Problem outside = problemOf(design(in));
            EXPECT_EQ(outside.kind, Problem::Kind::NoMatch);
            EXPECT_NEAR(outside.neededReactance, boundary, 1e-12 * std::abs(boundary));
            // The advice names what raises alpha: a closer spacing only when
            // the element is the thicker, a wider one only when the rod is.
            EXPECT_NE(outside.message.find("thinner rod"), std::string::npos);
            EXPECT_EQ(outside.message.find("closer spacing") != std::string::npos, rod < 1.5);
            EXPECT_EQ(outside.message.find("wider spacing") != std::string::npos, rod > 1.5);
        }
    }
    // An inductive element with R2 below Zc never matches, a resistive one
    // above Zc always does; the needed reactance is still given.
    DesignInput inductive = antennaBook();
    inductive.feedImpedance = {5, 30};
    EXPECT_LT(problemOf(design(inductive)).neededReactance, 0);
    inductive.feedImpedance = {25, 30};
    EXPECT_FALSE(ok(design(inductive)).capacitorShorted);
}

TEST(GammaDesign, SweepsAgreeWithAnalysis)
{
    const DesignInput in = antennaBook();
    const Design d = ok(design(in));
    const auto caps = ok(sweepCapacitance(in, d.rodLength, 70, 150, 81));
    ASSERT_EQ(caps.size(), 81U);
    EXPECT_EQ(caps.front().x, 70);
    EXPECT_EQ(caps.back().x, 150);
    EXPECT_NEAR(caps[10].x, 80, 1e-12);
    for (const SweepPoint& p : caps) {
        const Analysis a = ok(analyze(in, d.rodLength, p.x));
        EXPECT_NEAR(std::abs(p.zin - a.zin), 0, 1e-9);
        EXPECT_NEAR(p.swr, a.swr, 1e-9);
    }
    const auto lengths = ok(sweepRodLength(in, d.capacitancePf, 0.9, 1.1, 3));
    ASSERT_EQ(lengths.size(), 3U);
    EXPECT_EQ(lengths[1].swr, ok(analyze(in, 1.0, d.capacitancePf)).swr);
    const auto freqs = ok(sweepFrequency(in, d.rodLength, d.capacitancePf, 14.3, 14.3, 1));
    ASSERT_EQ(freqs.size(), 1U);
    EXPECT_LT(freqs[0].swr, 1 + 1e-8);

    const std::vector<MeasuredPoint> measured = {{14.2, {24, -28}}, {14.3, {25, -25}}, {14.4, {26, -22}}};
    const auto file = ok(sweepMeasured(in, d.rodLength, d.capacitancePf, measured));
    ASSERT_EQ(file.size(), 3U);
    EXPECT_EQ(file[0].x, 14.2);
    EXPECT_LT(file[1].swr, 1 + 1e-8);
    EXPECT_GT(file[0].swr, 1.05);
    const std::vector<MeasuredPoint> broken = {{14.2, {-1, 0}}};
    EXPECT_NE(problemOf(sweepMeasured(in, d.rodLength, d.capacitancePf, broken)).message.find("at 14.2 MHz"),
        std::string::npos);

    EXPECT_EQ(problemOf(sweepCapacitance(in, 1, 70, 150, 0)).field, Field::Capacitance);
    EXPECT_EQ(problemOf(sweepCapacitance(in, 1, 150, 70, 5)).field, Field::Capacitance);
    EXPECT_EQ(problemOf(sweepCapacitance(in, 1, 0, 70, 5)).field, Field::Capacitance);
    EXPECT_EQ(problemOf(sweepRodLength(in, 100, 1, 2, 1)).field, Field::RodLength);
    EXPECT_EQ(problemOf(sweepFrequency(in, 1, 100, 0, 20, 5)).field, Field::Frequency);
}

// The opt-in closed form with the feed connection's and strap's inductance.
struct CorrectedCase {
    const char* name;
    DesignInput input;
    double reactance; // of the two connections, ohms
    double rodLength; // metres
    double capacitancePf;
    bool shorted;
};

class CorrectedModel : public ::testing::TestWithParam<CorrectedCase> { };

TEST_P(CorrectedModel, HeaderExamples)
{
    const CorrectedCase& c = GetParam();
    DesignInput textbookInput = c.input;
    textbookInput.model = Model::Textbook;
    DesignInput correctedInput = c.input;
    correctedInput.model = Model::Corrected;
    const Design textbook = ok(design(textbookInput));
    const Design corrected = ok(design(correctedInput));
    EXPECT_EQ(textbook.line.connectionInductance, 0);
    const double omega = 2 * std::numbers::pi * c.input.freqMhz * 1e6;
    EXPECT_NEAR(omega * corrected.line.connectionInductance, c.reactance, 0.005);
    // The rod is the textbook's; only the capacitor changes.
    EXPECT_DOUBLE_EQ(corrected.rodLength, textbook.rodLength);
    EXPECT_NEAR(corrected.rodLength, c.rodLength, 0.00005);
    EXPECT_NEAR(corrected.capacitancePf, c.capacitancePf, 0.005);
    EXPECT_EQ(corrected.capacitorShorted, c.shorted);
    // Built as designed, the corrected model gives the line impedance.
    const Analysis built = ok(analyze(correctedInput, corrected.rodLength, corrected.capacitancePf));
    EXPECT_NEAR(built.swr, 1, 1e-9);
    // The textbook design built, seen through the corrected model, is
    // detuned by the connections' reactance.
    const Analysis textbookBuilt = ok(analyze(correctedInput, textbook.rodLength, textbook.capacitancePf));
    EXPECT_NEAR(textbookBuilt.zin.imag(), c.reactance, 0.005);
    const auto swept = ok(
        sweepCapacitance(correctedInput, corrected.rodLength, corrected.capacitancePf, corrected.capacitancePf, 1));
    ASSERT_EQ(swept.size(), 1u);
    EXPECT_NEAR(swept.front().swr, 1, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(GammaDesign, CorrectedModel,
    ::testing::Values(CorrectedCase{"AntennaBook", antennaBook(), 15.726, 38.9024 * kInch, 84.64, false},
        CorrectedCase{"RodAloneMatchesInTheTextbook",
            DesignInput{144, {12.5, 0}, {0.012, 0.012, 0.038}, 50, StepUp::Whole}, 21.165, 0.52047, 52.22, false}),
    [](const auto& info) { return std::string(info.param.name); });
