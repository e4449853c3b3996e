// SPDX-License-Identifier: GPL-3.0-or-later
// The match's wires: the cage, its junctions and segments, what does not
// fit, and the rod's side across the element.
#include "match_geometry.h"
#include "nec_test_support.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

// The match's wires: a cage exactly when one fits, of the tube's equivalent
// radius; equal segments where wires meet; twice the segments when halved.
struct CageCase {
    const char* name;
    double element;
    double rod;
    bool cage;
};

class MatchCage : public ::testing::TestWithParam<CageCase> { };

TEST_P(MatchCage, EquivalentRadiusAndJunctions)
{
    const CageCase& c = GetParam();
    const Match match{c.element, c.rod, 0.15, 1.2, 0};
    const auto made = matchWires(match, {-5, 0, 0}, {5, 0, 0}, {0, 0, 0}, {0, 0, 1}, {14.2, 1}, 1, 2);
    const auto* wires = okOrFail(made);
    ASSERT_NE(wires, nullptr);
    EXPECT_EQ(wires->cage, c.cage);
    if (c.cage) {
        const double n = wires->cageWires;
        const double rodRadius = c.rod / 2;
        EXPECT_NEAR(std::pow(n * rodRadius * std::pow(wires->cageRadius, n - 1), 1 / n), c.element / 2, 1e-12);
    }
    const Wire& feed = wires->wires[static_cast<std::size_t>(wires->sourceWire)];
    EXPECT_EQ(feed.segments % 2, 1);
    EXPECT_EQ(wires->sourceSegment, feed.segments / 2 + 1);
    // The feed connection has the radius of the cage's wires it meets (the
    // rod's), else of the thicker of the tube and the rod.
    EXPECT_DOUBLE_EQ(feed.radius, c.cage ? c.rod / 2 : std::max(c.element, c.rod) / 2);
    // The rod's pieces, end to end from the feed connection to the strap;
    // beside each, on every wire of the element, a piece cut alike.
    std::vector<Wire> rod;
    for (auto w = wires->wires.begin() + wires->sourceWire + 1; w->tag == 3; ++w) {
        rod.push_back(*w);
    }
    ASSERT_GE(rod.size(), 3U); // 1.2 m at 150 mm: graded towards the middle
    const Wire& strap = wires->wires[static_cast<std::size_t>(wires->sourceWire) + rod.size() + 1];
    EXPECT_EQ(strap.tag, 4);
    EXPECT_DOUBLE_EQ(strap.radius, feed.radius);
    EXPECT_DOUBLE_EQ(rod.front().radius, c.rod / 2);
    EXPECT_DOUBLE_EQ(rod.front().from[0], 0);
    EXPECT_NEAR(rod.back().to[0], 1.2, 1e-12);
    const int elementWires = c.cage ? wires->cageWires : 1;
    double previous = 0;
    for (std::size_t i = 0; i < rod.size(); ++i) {
        const Wire& piece = rod[i];
        if (i > 0) {
            EXPECT_NEAR(piece.from[0], rod[i - 1].to[0], 1e-12);
        }
        const long alike = std::count_if(wires->wires.begin(), wires->wires.end(), [&](const Wire& w) {
            return w.tag == 1 && std::abs(w.from[0] - piece.from[0]) < 1e-12 && std::abs(w.to[0] - piece.to[0]) < 1e-12
                && w.segments == piece.segments;
        });
        EXPECT_EQ(alike, elementWires) << "piece " << i;
        // Neighbouring segments within a factor of 2.
        const double segment = wireLength(piece) / piece.segments;
        if (previous > 0) {
            EXPECT_LE(std::max(segment, previous) / std::min(segment, previous), 2.0 + 1e-9) << "piece " << i;
        }
        previous = segment;
    }
    // At both ends the rod has the feed connection's segments (a quarter of
    // the spacing), longer ones only in the middle.
    const double rodEnd = wireLength(rod.front()) / rod.front().segments;
    const double feedSegment = wireLength(feed) / feed.segments;
    EXPECT_LT(std::max(rodEnd, feedSegment) / std::min(rodEnd, feedSegment), 2.0);
    EXPECT_NEAR(wireLength(rod.back()) / rod.back().segments, rodEnd, 1e-12);
    EXPECT_NEAR(rodEnd, 0.15 / 4, 1e-12);
    double longest = 0;
    int segments = 0;
    for (const Wire& piece : rod) {
        longest = std::max(longest, wireLength(piece) / piece.segments);
        segments += piece.segments;
    }
    EXPECT_GT(longest, 1.5 * rodEnd);
    EXPECT_LT(segments, 1.2 / rodEnd);
    EXPECT_GE(rodEnd / (c.rod / 2), 4.0);

    const auto halved = matchWires(match, {-5, 0, 0}, {5, 0, 0}, {0, 0, 0}, {0, 0, 1}, {14.2, 2}, 1, 2);
    const auto* fine = okOrFail(halved);
    ASSERT_NE(fine, nullptr);
    int fineSegments = 0;
    for (auto w = fine->wires.begin() + fine->sourceWire + 1; w->tag == 3; ++w) {
        fineSegments += w->segments;
    }
    EXPECT_EQ(fineSegments, 2 * segments);
}

INSTANTIATE_TEST_SUITE_P(Nec, MatchCage,
    ::testing::Values(CageCase{"EqualDiameters", 0.0127, 0.0127, false},
        CageCase{"ElementThinnerThanRod", 0.01, 0.0127, false}, CageCase{"JustThickerNoCageFits", 0.015, 0.0127, false},
        CageCase{"TwiceTheRod", 0.0254, 0.0127, true}, CageCase{"FourTimesTheRod", 0.0508, 0.0127, true}),
    RowName());

TEST(MatchWires, RefusesWhatDoesNotFit)
{
    const Point from{-5, 0, 0};
    const Point to{5, 0, 0};
    auto refused = [&](const Match& m) {
        const auto made = matchWires(m, from, to, {0, 0, 0}, {0, 0, 1}, {14.2, 1}, 1, 2);
        const NecFailure failure = failureOf(made);
        return failure.kind == NecFailure::Kind::BadInput ? failure.message : std::string("not refused");
    };
    EXPECT_NE(refused({0.025, 0.0127, 0.0188, 1, 0}).find("touch"), std::string::npos);
    EXPECT_NE(refused({0.025, 0.0127, 0.15, 5, 0}).find("longer than the element"), std::string::npos);
    EXPECT_NE(refused({0.025, 0.0127, 0.15, 0, 0}).find("above 0"), std::string::npos);
    // Just clear of the element, and just short of its end: modelled.
    for (const Match& m : {Match{0.025, 0.0127, 0.0190, 1, 0}, Match{0.025, 0.0127, 0.15, 4.99, 0}}) {
        const auto made = matchWires(m, from, to, {0, 0, 0}, {0, 0, 1}, {14.2, 1}, 1, 2);
        EXPECT_NE(okOrFail(made), nullptr) << m.spacing << " " << m.rodLength;
    }
}

// The element's model as the geometry picks it: the header's examples and
// both sides of the change from a cage of 2 to one wire (an element 1.483
// rods thick: 2.2 rod radii between the cage's wires); asked for, a cage
// closer than the geometry would pick, and none where its wires would touch.
TEST(ElementModel, PickedAndAsked)
{
    const double inch = 0.0254;
    const Segmentation cut{28.5, 1};
    EXPECT_EQ(elementModel({0.025, 0.0127, 0.15, 1.2, 0}, cut), 3);
    EXPECT_EQ(elementModel({0.5 * inch, 0.375 * inch, 4 * inch, 0.25, 0}, cut), 0);
    EXPECT_EQ(elementModel({0.5 * inch, 0.5 / 1.484 * inch, 4 * inch, 0.25, 0}, cut), 2);
    EXPECT_EQ(elementModel({0.5 * inch, 0.5 / 1.482 * inch, 4 * inch, 0.25, 0}, cut), 0);
    // The cage wants 2.5 rod radii between its wires and the rod too (here
    // 0.606 in apart).
    EXPECT_EQ(elementModel({0.5 * inch, 0.5 / 1.49 * inch, 0.62 * inch, 0.25, 0}, cut), 2);
    EXPECT_EQ(elementModel({0.5 * inch, 0.5 / 1.49 * inch, 0.59 * inch, 0.25, 0}, cut), 0);

    Segmentation asked = cut;
    const Match tube{0.025, 0.0127, 0.15, 1.2, 0};
    for (const auto& [wires, model] : {std::pair{0, 0}, std::pair{2, 2}, std::pair{4, 4}, std::pair{6, 0}}) {
        asked.forcedCageWires = wires; // a cage of 4 is 2.198 radii apart, of 6 1.58
        EXPECT_EQ(elementModel(tube, asked), model) << wires;
        const auto made = matchWires(tube, {-5, 0, 0}, {5, 0, 0}, {0, 0, 0}, {0, 0, 1}, asked, 1, 2);
        const auto* w = okOrFail(made);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->cage ? w->cageWires : 0, model) << wires;
    }
    asked.forcedCageWires = 2; // beside a rod as thick: one wire, asked or not
    EXPECT_EQ(elementModel({0.0127, 0.0127, 0.15, 1.2, 0}, asked), 0);
}

// Most of the side asked must lie across the element: 30 degrees from the
// element's line is the limit.
struct AcrossCase {
    const char* name;
    Point along;
    Point asked;
    std::optional<Point> side; // none: refused
};

class SideAcross : public ::testing::TestWithParam<AcrossCase> { };

TEST_P(SideAcross, KeepsThePartAcrossTheElement)
{
    const AcrossCase& c = GetParam();
    const auto outcome = sideAcross(c.along, c.asked);
    if (!c.side) {
        EXPECT_EQ(failureOf(outcome).kind, NecFailure::Kind::BadInput);
        return;
    }
    const auto* side = okOrFail(outcome);
    ASSERT_NE(side, nullptr);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR((*side)[i], (*c.side)[i], 1e-12) << i;
    }
}

const double kDeg = std::numbers::pi / 180;

INSTANTIATE_TEST_SUITE_P(Nec, SideAcross,
    ::testing::Values(AcrossCase{"Across", {0, 2, 0}, {0, 0, 3}, Point{0, 0, 1}},
        AcrossCase{"Along", {0, 2, 0}, {0, -1, 0}, std::nullopt},
        AcrossCase{"ThirtyOneDegreesOff", {1, 0, 0}, {std::cos(31 * kDeg), std::sin(31 * kDeg), 0}, Point{0, 1, 0}},
        AcrossCase{"TwentyNineDegreesOff", {1, 0, 0}, {std::cos(29 * kDeg), std::sin(29 * kDeg), 0}, std::nullopt},
        AcrossCase{"TiltedElement", {1, 1, 0}, {1, 0, 0}, Point{std::sqrt(0.5), -std::sqrt(0.5), 0}},
        AcrossCase{"Nothing", {1, 0, 0}, {0, 0, 0}, std::nullopt}),
    RowName());

// A slanting element is named by its direction, not an axis.
TEST(SideAcross, RefusalNamesTheSideAndTheElement)
{
    const NecFailure failure = failureOf(sideAcross({0, 3, 4}, {0, -3, -4.5}));
    EXPECT_EQ(failure.message,
        "the rod side (0, -0.555, -0.832) runs along the driven element, which lies along "
        "(0, 0.6, 0.8); choose a side across it");
}

} // namespace
