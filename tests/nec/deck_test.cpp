// NEC-2 decks: the user's deck read and refused, written back with the
// match in place, and the match's wires.
#include "deck.h"
#include "nec_test_support.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

// A two-element 10 m beam over ground, aluminium loss on every wire, as a
// modelling program writes it: comments, commas, a lower-case card.
constexpr const char* kBeam = "CM two-element 10 m beam\r\n"
                              "CM driven element and reflector\r\n"
                              "CE\r\n"
                              "GW 1 21 0 -2.5125 10 0 2.5125 10 0.0125\r\n"
                              "GW,2,21,-0.4,-2.7,10,-0.4,2.7,10,0.0125\r\n"
                              "GE 1\r\n"
                              "GN 2 0 0 0 13 0.005\r\n"
                              "LD 5 0 0 0 2.5E7\r\n"
                              "ex 0 1 11 0 1.0 0\r\n"
                              "FR 0 3 0 0 28.0 0.5\r\n"
                              "RP 0 1 361 1000 80 0 0 1\r\n"
                              "EN\r\n";

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

double length(const Wire& w)
{
    return std::hypot(w.to[0] - w.from[0], w.to[1] - w.from[1], w.to[2] - w.from[2]);
}

TEST(ReadDeck, FindsTheDrivenElement)
{
    const auto outcome = readDeck(kBeam, "beam.nec");
    const auto* deck = okOrFail(outcome);
    ASSERT_NE(deck, nullptr);
    ASSERT_EQ(deck->wires.size(), 2u);
    EXPECT_EQ(deck->drivenWire, 0);
    EXPECT_EQ(deck->sourceSegment, 11);
    EXPECT_TRUE(deck->hasGround);
    EXPECT_DOUBLE_EQ(deck->wires[1].from[0], -0.4);
    EXPECT_DOUBLE_EQ(deck->wires[1].radius, 0.0125);
    // Away from the reflector, at right angles to the element.
    const Point side = rodSide(*deck);
    EXPECT_NEAR(side[0], 1, 1e-12);
    EXPECT_NEAR(side[1], 0, 1e-12);
    EXPECT_NEAR(side[2], 0, 1e-12);
}

TEST(ReadDeck, ScalesByGsAndCountsAbsoluteSegments)
{
    // Inches, scaled to metres; the source given by absolute segment number
    // (tag 0): segment 30 is the second wire's 9th of 17.
    const auto outcome = readDeck("CE\nGW 5 21 0 -100 0 0 -90 0 0.5\nGW 7 17 0 -200 20 0 200 20 0.25\n"
                                  "GS 0 0 0.0254\nGE\nEX 0 0 30 0 1 0\nEN\n",
        "inches.nec");
    const auto* deck = okOrFail(outcome);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->drivenWire, 1);
    EXPECT_EQ(deck->sourceSegment, 9);
    EXPECT_NEAR(deck->wires[1].to[1], 200 * 0.0254, 1e-12);
    EXPECT_NEAR(deck->wires[1].radius, 0.25 * 0.0254, 1e-12);
    EXPECT_DOUBLE_EQ(deck->wireScale[1], 0.0254);
    EXPECT_FALSE(deck->hasGround);
}

// Every refusal names the file and the line.
struct RefusalCase {
    const char* name;
    std::string deck;
    int line;
    const char* why;
};

class Refusal : public ::testing::TestWithParam<RefusalCase> { };

TEST_P(Refusal, NamesFileAndLine)
{
    const RefusalCase& c = GetParam();
    const NecFailure failure = failureOf(readDeck(c.deck, "ant.nec"));
    EXPECT_EQ(failure.kind, NecFailure::Kind::BadDeck);
    const std::string where = "ant.nec:" + std::to_string(c.line) + ": ";
    EXPECT_EQ(failure.message.rfind(where, 0), 0u) << failure.message;
    EXPECT_NE(failure.message.find(c.why), std::string::npos) << failure.message;
}

const std::string kWire = "CE\nGW 1 21 0 0 -5.2 0 0 5.2 0.001\n";

INSTANTIATE_TEST_SUITE_P(Nec, Refusal,
    ::testing::Values(RefusalCase{"UnknownCard", kWire + "GX 1 110\nGE\nEX 0 1 11 0 1\nEN\n", 3, "unknown card \"GX\""},
        RefusalCase{"NotANumber", "CE\nGW 1 21 0 0 -5.2 0 0 five 0.001\n", 2, "\"five\" is not a number"},
        RefusalCase{"ShortWireCard", "CE\nGW 1 21 0 0 -5.2 0 0 5.2\n", 2, "malformed GW card"},
        RefusalCase{"NoSegments", "CE\nGW 1 0 0 0 -5.2 0 0 5.2 0.001\n", 2, "at least one segment"},
        RefusalCase{"Tapered", "CE\nGW 1 21 0 0 -5.2 0 0 5.2 0\nGC 0 0 1.1 0.001 0.002\n", 2, "tapered"},
        RefusalCase{"TagZero", "CE\nGW 0 21 0 0 -5.2 0 0 5.2 0.001\n", 2, "tag above 0"},
        RefusalCase{"PointWire", "CE\nGW 1 21 0 0 1 0 0 1 0.001\n", 2, "the same point"},
        RefusalCase{"BadScale", kWire + "GS 0 0 0\n", 3, "scale factor"},
        RefusalCase{"WireAfterGe", kWire + "GE\nGW 2 3 0 0 0 1 0 0 0.001\n", 4, "after GE"},
        RefusalCase{"NoSource", kWire + "GE\nFR 0 1 0 0 14 0\nEN\n", 5, "no voltage source"},
        RefusalCase{"SeveralSources", kWire + "GW 2 21 1 0 -5.2 1 0 5.2 0.001\nGE\nEX 0 1 11 0 1\nEX 0 2 11 0 1\nEN\n",
            6, "several sources"},
        RefusalCase{"CurrentSource", kWire + "GE\nEX 5 1 11 0 1\nEN\n", 4, "voltage source"},
        RefusalCase{"BentWire", kWire + "GW 1 5 0 0 5.2 1 0 5.2 0.001\nGE\nEX 0 1 11 0 1\nEN\n", 5, "bent wire"},
        RefusalCase{"SourceOffTheWire", kWire + "GE\nEX 0 1 22 0 1\nEN\n", 4, "no segment"},
        RefusalCase{"SourceOffCentre", kWire + "GE\nEX 0 1 8 0 1\nEN\n", 4, "not at or near the centre"},
        RefusalCase{"LoadOnDrivenSegments", kWire + "GE\nEX 0 1 11 0 1\nLD 0 1 10 11 0 0 1E-10\nEN\n", 5,
            "given segments of the driven element"},
        RefusalCase{
            "LoadOnAbsoluteSegments", kWire + "GE\nEX 0 1 11 0 1\nLD 4 0 3 3 50\nEN\n", 5, "absolute segment numbers"}),
    RowName());

// Near the centre is within a tenth of the wire's length: segment 9 of 21
// (8.5/21 = 0.405 of the way) is accepted, segment 8 (0.357) refused above.
TEST(ReadDeck, SourceNearTheCentreIsAccepted)
{
    const auto outcome = readDeck(kWire + "GE\nEX 0 1 9 0 1\nEN\n", "ant.nec");
    const auto* deck = okOrFail(outcome);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->sourceSegment, 9);
}

const Match kMatch{0.025, 0.0127, 0.1, 0.4, 250};

TEST(UserDeck, RoundTripsWithTheMatchAdded)
{
    const auto read = readDeck(kBeam, "beam.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const auto written = userDeck(*deck, UserDeckRun{&kMatch, {}, true, false}, Segmentation{28.5, 1});
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    // Comments, ground, loads, the user's frequencies and pattern kept.
    for (const char* kept : {"CM two-element 10 m beam", "GE 1", "GN 2 0 0 0 13 0.005", "LD 5 0 0 0 2.5E7",
             "FR 0 3 0 0 28.0 0.5", "RP 0 1 361 1000 80 0 0 1", "GW,2,21,-0.4,-2.7,10,-0.4,2.7,10,0.0125"}) {
        EXPECT_NE(text->find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(count(*text, "\nEX "), 1);
    EXPECT_EQ(count(*text, "\nEN"), 1);

    // Read again: the reflector unchanged, the source now on the feed
    // connection (tag 3, after the user's tags), the capacitor on it.
    const auto again = readDeck(*text, "matched.nec");
    const auto* matched = okOrFail(again);
    ASSERT_NE(matched, nullptr);
    EXPECT_TRUE(matched->hasGround);
    const Wire& feed = matched->wires[static_cast<std::size_t>(matched->drivenWire)];
    EXPECT_EQ(feed.tag, 3);
    EXPECT_NE(text->find("LD 0 3 " + std::to_string(matched->sourceSegment) + " "
                  + std::to_string(matched->sourceSegment) + " 0 0 2.5e-10"),
        std::string::npos)
        << *text;
    const auto reflector
        = std::find_if(matched->wires.begin(), matched->wires.end(), [](const Wire& w) { return w.tag == 2; });
    ASSERT_NE(reflector, matched->wires.end());
    EXPECT_DOUBLE_EQ(reflector->from[0], -0.4);
    // The rod: tag 4, 0.4 m long, 0.1 m from the element on the side away
    // from the reflector (+x), at the element's height.
    const auto rod
        = std::find_if(matched->wires.begin(), matched->wires.end(), [](const Wire& w) { return w.tag == 4; });
    ASSERT_NE(rod, matched->wires.end());
    EXPECT_NEAR(length(*rod), 0.4, 1e-9);
    EXPECT_NEAR(rod->from[0], 0.1, 1e-9);
    EXPECT_NEAR(rod->from[2], 10, 1e-9);
    // The element's wires keep the user's tag and span the element.
    double elementLength = 0;
    for (const Wire& w : matched->wires) {
        if (w.tag == 1 && std::abs(w.from[1] - w.to[1]) > 0) {
            elementLength += std::abs(w.to[1] - w.from[1]);
        }
    }
    const int cageWires = static_cast<int>(std::lround(elementLength / 5.025));
    EXPECT_NEAR(elementLength, cageWires * 5.025, 1e-6);
    EXPECT_GE(cageWires, 2);
}

TEST(UserDeck, NetworkAtTheSourceIsReplacedByTheMatch)
{
    // The user's own capacitor on the source segment.
    std::string beam = kBeam;
    beam.insert(beam.find("FR 0 3"), "LD 0 1 11 11 0 0 1E-10\r\n");
    const auto read = readDeck(beam, "beam.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const auto written = userDeck(*deck, UserDeckRun{&kMatch, {}, true, false}, Segmentation{28.5, 1});
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(count(*text, "\nLD 0 "), 1);
    EXPECT_EQ(text->find("1E-10"), std::string::npos);
    EXPECT_NE(text->find("LD 5 0 0 0 2.5E7"), std::string::npos);
}

TEST(UserDeck, FreeSpaceRunDropsGroundAndLoads)
{
    const auto read = readDeck(kBeam, "beam.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const auto written = userDeck(*deck, UserDeckRun{&kMatch, Controls{{28.5}, true}, false, true}, {28.5, 1});
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->find("GN "), std::string::npos);
    EXPECT_EQ(text->find("LD 5"), std::string::npos);
    EXPECT_NE(text->find("GE 0\nEK\n"), std::string::npos);
    EXPECT_NE(text->find("RP 0 19 37 0001"), std::string::npos);
    EXPECT_EQ(text->find("FR 0 3"), std::string::npos);
}

TEST(UserDeck, InchesStayInches)
{
    const auto read = readDeck("CE\nGW 1 21 0 -100 0 0 100 0 0.5\nGS 0 0 0.0254\nGE\nEX 0 1 11 0 1\nEN\n", "in.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const Match match{0.0254, 0.0127, 0.1, 0.5, 0};
    const auto written = userDeck(*deck, UserDeckRun{&match, {}, true, false}, {28.5, 1});
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->find("LD 0"), std::string::npos); // capacitor shorted: no load
    const auto again = readDeck(*text, "in2.nec");
    const auto* matched = okOrFail(again);
    ASSERT_NE(matched, nullptr);
    const auto rod
        = std::find_if(matched->wires.begin(), matched->wires.end(), [](const Wire& w) { return w.tag == 3; });
    ASSERT_NE(rod, matched->wires.end());
    EXPECT_NEAR(length(*rod), 0.5, 1e-9); // metres after GS
    EXPECT_NEAR(rod->radius, 0.00635, 1e-12);
}

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
    EXPECT_DOUBLE_EQ(feed.radius, c.rod / 2);
    const Wire& rod = wires->wires[static_cast<std::size_t>(wires->sourceWire) + 1];
    // The element's wire beside the rod has the rod's segments, aligned.
    const auto beside = std::find_if(wires->wires.begin(), wires->wires.end(),
        [](const Wire& w) { return w.tag == 1 && w.from[0] == 0 && std::abs(w.to[0] - 1.2) < 1e-12; });
    ASSERT_NE(beside, wires->wires.end());
    EXPECT_EQ(beside->segments, rod.segments);
    const double rodSegment = length(rod) / rod.segments;
    const double feedSegment = length(feed) / feed.segments;
    EXPECT_LT(std::max(rodSegment, feedSegment) / std::min(rodSegment, feedSegment), 2.0);
    EXPECT_GE(rodSegment / (c.rod / 2), 4.0);

    const auto halved = matchWires(match, {-5, 0, 0}, {5, 0, 0}, {0, 0, 0}, {0, 0, 1}, {14.2, 2}, 1, 2);
    const auto* fine = okOrFail(halved);
    ASSERT_NE(fine, nullptr);
    EXPECT_EQ(fine->wires[static_cast<std::size_t>(fine->sourceWire) + 1].segments, 2 * rod.segments);
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

} // namespace

namespace {

// The rod's side as asked: where the rod's wire lies, in the user's beam
// (element along y at x = 0, z = 10; reflector at x = -0.4) and in the
// lone tube (along x, z = 0), for each axis across the element.
struct SideCase {
    const char* name;
    bool beam; // else the lone tube
    Point asked;
    Point offset; // the rod's start from the feed point, across the element
};

class RodSide : public ::testing::TestWithParam<SideCase> { };

// The wire of `tag` in a deck we wrote, read back.
std::optional<Wire> wireOf(const std::string& text, int tag)
{
    const auto read = readDeck(text, "written.nec");
    const auto* deck = okOrFail(read);
    if (deck == nullptr) {
        return std::nullopt;
    }
    const auto found
        = std::find_if(deck->wires.begin(), deck->wires.end(), [&](const Wire& w) { return w.tag == tag; });
    return found != deck->wires.end() ? std::optional<Wire>(*found) : std::nullopt;
}

// The deck with the match on the side asked: the beam's from userDeck, the
// tube's from dipoleMatchDeck; and the rod's tag in it.
std::pair<Outcome<std::string>, int> sidedDeck(bool beam, const std::optional<Point>& side)
{
    Match match = kMatch;
    match.side = side;
    if (!beam) {
        return {dipoleMatchDeck(10.1, match, {14.2, 1}, Controls{{14.2}, false}), 3};
    }
    const auto read = readDeck(kBeam, "beam.nec");
    const auto* deck = okOrFail(read);
    if (deck == nullptr) {
        return {NecFailure{NecFailure::Kind::BadDeck, "beam not read", {}}, 0};
    }
    return {userDeck(*deck, UserDeckRun{&match, {}, true, false}, Segmentation{28.5, 1}), 4};
}

TEST_P(RodSide, RodLiesOnTheSideAsked)
{
    const SideCase& c = GetParam();
    const auto [written, tag] = sidedDeck(c.beam, c.asked);
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    const auto rod = wireOf(*text, tag);
    ASSERT_TRUE(rod.has_value()) << *text;
    const Point feed = c.beam ? Point{0, 0, 10} : Point{0, 0, 0};
    const Point along = c.beam ? Point{0, 1, 0} : Point{1, 0, 0};
    for (std::size_t i = 0; i < 3; ++i) {
        // The rod starts at the spacing (0.1 m) on the side asked, and runs
        // its length (0.4 m) along the element, towards its positive end.
        EXPECT_NEAR(rod->from[i], feed[i] + 0.1 * c.offset[i], 1e-9) << i << "\n" << *text;
        EXPECT_NEAR(rod->to[i], feed[i] + 0.1 * c.offset[i] + 0.4 * along[i], 1e-9) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Nec, RodSide,
    ::testing::Values(SideCase{"BeamPlusX", true, {1, 0, 0}, {1, 0, 0}},
        SideCase{"BeamMinusX", true, {-1, 0, 0}, {-1, 0, 0}}, SideCase{"BeamPlusZ", true, {0, 0, 1}, {0, 0, 1}},
        SideCase{"BeamMinusZ", true, {0, 0, -1}, {0, 0, -1}}, SideCase{"TubePlusY", false, {0, 1, 0}, {0, 1, 0}},
        SideCase{"TubeMinusY", false, {0, -1, 0}, {0, -1, 0}}, SideCase{"TubePlusZ", false, {0, 0, 1}, {0, 0, 1}},
        SideCase{"TubeMinusZ", false, {0, 0, -1}, {0, 0, -1}},
        // Slanting: only the part across the element counts.
        SideCase{"TubeSlantingDown", false, {0.5, 0, -1}, {0, 0, -1}},
        SideCase{"BeamSlantingBack", true, {-1, -0.8, 0}, {-1, 0, 0}}),
    RowName());

// Left to itself the rod goes away from the other wires (the beam: +x) or
// up (the tube): the same deck as that side asked for.
TEST(RodSide, AwayIsTheSideAwayFromTheOtherWires)
{
    for (const bool beam : {true, false}) {
        const auto away = sidedDeck(beam, std::nullopt);
        const auto asked = sidedDeck(beam, beam ? Point{1, 0, 0} : Point{0, 0, 1});
        const auto* awayText = okOrFail(away.first);
        const auto* askedText = okOrFail(asked.first);
        ASSERT_NE(awayText, nullptr);
        ASSERT_NE(askedText, nullptr);
        EXPECT_EQ(*awayText, *askedText) << (beam ? "beam" : "tube");
    }
}

TEST(RodSide, AlongTheElementIsRefused)
{
    const NecFailure beam = failureOf(sidedDeck(true, Point{0, -1, 0}).first);
    EXPECT_EQ(beam.kind, NecFailure::Kind::BadInput);
    EXPECT_EQ(
        beam.message, "the rod side -y runs along the driven element, which lies along y; choose a side across it");
    const NecFailure tube = failureOf(sidedDeck(false, Point{1, 0, 0}).first);
    EXPECT_EQ(tube.kind, NecFailure::Kind::BadInput);
    EXPECT_EQ(
        tube.message, "the rod side +x runs along the driven element, which lies along x; choose a side across it");
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
