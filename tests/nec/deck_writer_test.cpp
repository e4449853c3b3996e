// SPDX-License-Identifier: GPL-3.0-or-later
// Writing decks: the user's deck written back with the match in place, for
// the user's program and for our runs, and the rod on the side asked.
#include "deck_writer.h"
#include "nec_test_support.h"
#include "physics.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

const Match kMatch{0.025, 0.0127, 0.1, 0.4, 250};

TEST(UserDeck, RoundTripsWithTheMatchAdded)
{
    const auto read = readDeck(kBeamOverGround, "beam.nec");
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
    EXPECT_EQ(countOf(*text, "\nEX "), 1);
    EXPECT_EQ(countOf(*text, "\nEN"), 1);

    // Read again: the reflector unchanged, the source now on the feed
    // connection (tag 3, after the user's tags), the capacitor on it.
    const auto again = readWritten(*text, "matched.nec");
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
    EXPECT_NEAR(wireLength(*rod), 0.4, 1e-9);
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

// The design frequency's run comes first in the deck for the user's
// program, also when the deck has no frequency of its own (nec2c would run
// at 299.8 MHz) or none that runs (no XQ or RP).
TEST(UserDeck, WrittenDeckRunsAtTheDesignFrequency)
{
    for (const auto& [controls, tail] : {std::pair{"", "FR 0 1 0 0 28.5 0\nXQ\nEN\n"},
             std::pair{"FR 0 2 0 0 28.0 0.35\n", "FR 0 1 0 0 28.5 0\nXQ\nFR 0 2 0 0 28.0 0.35\nEN\n"},
             std::pair{"FR 0 2 0 0 28.0 0.35\nXQ\n", "FR 0 1 0 0 28.5 0\nXQ\nFR 0 2 0 0 28.0 0.35\nXQ\nEN\n"}}) {
        const auto read
            = readDeck(std::string("CE\nGW 1 21 0 -2.5 0 0 2.5 0 0.0125\nGE 0\nEX 0 1 11 0 1\n") + controls + "EN\n",
                "dipole.nec");
        const auto* deck = okOrFail(read);
        ASSERT_NE(deck, nullptr);
        const auto written = userDeck(*deck, UserDeckRun{&kMatch, {}, true, false}, Segmentation{28.5, 1});
        const auto* text = okOrFail(written);
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->ends_with(tail)) << *text;
    }
}

TEST(UserDeck, FreeSpaceRunDropsGroundAndLoads)
{
    const auto read = readDeck(kBeamOverGround, "beam.nec");
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

// In the deck for the user's program and in the decks we run alike (the
// GS card kept with the wires in inches, else nec2c would take them for
// metres).
TEST(UserDeck, InchesStayInches)
{
    const auto read = readDeck("CE\nGW 1 21 0 -100 0 0 100 0 0.5\nGS 0 0 0.0254\nGE\nEX 0 1 11 0 1\nEN\n", "in.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const Match match{0.0254, 0.0127, 0.1, 0.5, 0};
    for (const bool userControls : {true, false}) {
        const auto written = userDeck(*deck, UserDeckRun{&match, {{28.5}, false}, userControls, false}, {28.5, 1});
        const auto* text = okOrFail(written);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->find("LD 0"), std::string::npos); // capacitor shorted: no load
        const auto again = readWritten(*text, "in2.nec");
        const auto* matched = okOrFail(again);
        ASSERT_NE(matched, nullptr);
        const auto rod
            = std::find_if(matched->wires.begin(), matched->wires.end(), [](const Wire& w) { return w.tag == 3; });
        ASSERT_NE(rod, matched->wires.end());
        EXPECT_NEAR(wireLength(*rod), 0.5, 1e-9) << userControls; // metres after GS
        EXPECT_NEAR(rod->radius, 0.00635, 1e-12) << userControls;
        double tip = 0;
        for (const Wire& w : matched->wires) {
            tip = std::max({tip, std::abs(w.from[1]), std::abs(w.to[1])});
        }
        EXPECT_NEAR(tip, 100 * 0.0254, 1e-9) << userControls;
    }
}

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
    const auto read = readWritten(text, "written.nec");
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
    const auto read = readDeck(kBeamOverGround, "beam.nec");
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

} // namespace

namespace {

// The deck of the halved run: every segment of the user's own wires
// halved, twice the segments (else only the match would be cut finer, and
// the check would not see the user's model move); the bare element keeps a
// segment for the source at its centre.
TEST(UserDeck, HalvedRunCutsEveryWireFiner)
{
    const auto read = readDeck(kBeamOverGround, "beam.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    auto segmentsByTag = [&](const Match* match, int scale) {
        std::map<int, int> segments;
        const auto written = userDeck(*deck, UserDeckRun{match, {{28.5}, false}, false, false}, {28.5, scale});
        const auto* text = okOrFail(written);
        if (text == nullptr) {
            return segments;
        }
        const auto again = readWritten(*text, "written.nec");
        if (const auto* back = okOrFail(again)) {
            for (const Wire& w : back->wires) {
                segments[w.tag] += w.segments;
            }
            segments[0] = back->sourceSegment;
        }
        return segments;
    };
    for (const Match* match : {&kMatch, static_cast<const Match*>(nullptr)}) {
        const auto once = segmentsByTag(match, 1);
        const auto halved = segmentsByTag(match, 2);
        ASSERT_EQ(once.size(), halved.size());
        ASSERT_EQ(once.at(2), 21);
        EXPECT_EQ(halved.at(2), 42); // the reflector
        if (match == nullptr) {
            EXPECT_EQ(halved.at(1), 43);
            EXPECT_EQ(halved.at(0), 22);
            continue;
        }
        // The match's wires as matchWires cuts them (see MatchCage): finer.
        for (const auto& [tag, segments] : once) {
            if (tag != 0) {
                EXPECT_GT(halved.at(tag), segments) << tag;
            }
        }
    }
}

} // namespace

namespace {

// Every accepted card through the three decks written from a user's: for
// the user's own program, for our run, and for the free-space run of the
// average gain test (how many lines of each card each has).
TEST(UserDeck, EveryCardAsItsTypeSays)
{
    const auto read = readDeck("CM every card\nCE\n"
                               "GW 1 21 0 -2.5125 10 0 2.5125 10 0.0125\nGW 2 21 -0.4 -2.7 10 -0.4 2.7 10 0.0125\n"
                               "GS 0 0 1\nGE 1\nGN 2 0 0 0 13 0.005\nGD 0 0 0 0 10 0.001 5 0\nEK\nLD 5 0 0 0 2.5E7\n"
                               "EX 0 1 11 0 1 0\nFR 0 3 0 0 28.0 0.5\nNE 0 1 1 1 0 0 0 0 0 0\nNH 0 1 1 1 0 0 0 0 0 0\n"
                               "PQ 0\nPT 0\nKH 0.5\nRP 0 1 361 1000 80 0 0 1\nXQ\nEN\n",
        "every.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    auto cardsOf = [&](bool userControls, bool freeSpace) {
        std::map<std::string, int> cards;
        const auto written = userDeck(*deck, UserDeckRun{&kMatch, {{28.5}, false}, userControls, freeSpace}, {28.5, 1});
        if (const auto* text = okOrFail(written)) {
            std::istringstream lines(*text);
            for (std::string line; std::getline(lines, line);) {
                ++cards[line.substr(0, 2)];
            }
        }
        return cards;
    };
    const auto user = cardsOf(true, false);
    const auto run = cardsOf(false, false);
    const auto freeSpace = cardsOf(false, true);
    auto count = [](const std::map<std::string, int>& cards, const std::string& name) {
        const auto found = cards.find(name);
        return found != cards.end() ? found->second : 0;
    };
    struct Row {
        const char* name;
        int user, run, freeSpace;
    };
    // FR: the user's, or ours for 28.5 MHz; XQ: the user's, or ours.
    // The deck for the user's program runs at the design frequency first
    // (FR and XQ of ours), then as the user's deck asks.
    for (const Row& row : {Row{"CM", 1, 1, 1}, Row{"CE", 1, 1, 1}, Row{"GS", 1, 1, 1}, Row{"GE", 1, 1, 1},
             Row{"GN", 1, 1, 0}, Row{"GD", 1, 1, 0}, Row{"EK", 1, 1, 1}, Row{"EX", 1, 1, 1}, Row{"FR", 2, 1, 1},
             Row{"NE", 1, 0, 0}, Row{"NH", 1, 0, 0}, Row{"PQ", 1, 0, 0}, Row{"PT", 1, 0, 0}, Row{"KH", 1, 0, 0},
             Row{"RP", 1, 0, 0}, Row{"XQ", 2, 1, 1}, Row{"EN", 1, 1, 1}}) {
        EXPECT_EQ(count(user, row.name), row.user) << row.name;
        EXPECT_EQ(count(run, row.name), row.run) << row.name;
        EXPECT_EQ(count(freeSpace, row.name), row.freeSpace) << row.name;
    }
    // The user's load kept but in free space; the capacitor (LD 0) in all.
    EXPECT_EQ(count(user, "LD"), 2);
    EXPECT_EQ(count(run, "LD"), 2);
    EXPECT_EQ(count(freeSpace, "LD"), 1);
}

} // namespace

namespace {

// The LD card of a deck we wrote: "LD 0 TAG FROM TO 0 0 C".
std::string capacitorLoad(const std::string& text)
{
    const std::size_t at = text.find("\nLD 0 ");
    return at == std::string::npos ? "" : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

// The capacitor goes where it sits: on the source's segment of the feed
// connection (beside the feed point) or on the rod's first segment (at its
// feed end), in the tube's deck and in the user's; the source stays.
TEST(CapacitorPlace, OnTheSegmentItSitsOn)
{
    const auto read = readDeck(kBeamOverGround, "beam.nec");
    const auto* beam = okOrFail(read);
    ASSERT_NE(beam, nullptr);
    for (const CapacitorAt at : {CapacitorAt::Feed, CapacitorAt::RodEnd}) {
        Match match = kMatch;
        match.capacitancePf = 80;
        match.capacitorAt = at;
        const bool rodEnd = at == CapacitorAt::RodEnd;
        const auto tube = dipoleMatchDeck(10.1, match, {14.2, 1}, Controls{{14.2}, false});
        const auto* tubeText = okOrFail(tube);
        ASSERT_NE(tubeText, nullptr);
        // The tube is tag 1; the feed connection 2 (source on its middle
        // segment), the rod 3.
        const std::string source = tubeText->substr(tubeText->find("\nEX 0 ") + 1, 10);
        EXPECT_EQ(source, "EX 0 2 3 0") << *tubeText;
        EXPECT_EQ(capacitorLoad(*tubeText), rodEnd ? "LD 0 3 1 1 0 0 8e-11" : "LD 0 2 3 3 0 0 8e-11") << *tubeText;

        const auto user = userDeck(*beam, UserDeckRun{&match, {}, true, false}, Segmentation{28.5, 1});
        const auto* userText = okOrFail(user);
        ASSERT_NE(userText, nullptr);
        const auto feed = wireOf(*userText, 3);
        ASSERT_TRUE(feed.has_value());
        const std::string feedSegment = std::to_string(feed->segments / 2 + 1);
        EXPECT_NE(userText->find("EX 0 3 " + feedSegment + " 0 1 0"), std::string::npos) << *userText;
        EXPECT_EQ(capacitorLoad(*userText),
            rodEnd ? "LD 0 4 1 1 0 0 8e-11" : "LD 0 3 " + feedSegment + " " + feedSegment + " 0 0 8e-11")
            << *userText;
    }
}

} // namespace

namespace {

// The numbers of the first card named `name` ("TL 3 1 5 1 ..." -> 3, 1, ...).
std::vector<double> cardFields(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find("\n" + name + " ");
    if (at == std::string::npos) {
        return {};
    }
    std::istringstream line(text.substr(at + name.size() + 2, text.find('\n', at + 1) - at - name.size() - 2));
    std::vector<double> fields;
    for (double x = 0; line >> x;) {
        fields.push_back(x);
    }
    return fields;
}

// The cards' names in order, one per line.
std::vector<std::string> cardNames(const std::string& text)
{
    std::vector<std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        names.push_back(line.substr(0, 2));
    }
    return names;
}

// The rod sliding into its tube is a line open at the rod's tip: no series
// C, but a TL card from the rod's first segment to a one-segment wire of a
// tag of its own, far above the model and loaded to an open end, the line's
// length the insertion over the velocity factor (NEC's lines run at c),
// and the LD cards still one run (a later run would replace the first).
TEST(CapacitorPlace, TheRodInItsTubeIsALineOpenAtItsTip)
{
    Match match = kMatch;
    match.capacitancePf = 80;
    match.capacitorAt = CapacitorAt::Tube;
    match.tube = TubeCapacitor{0.02, 2.1};
    const auto section = tubeSection(match.tube, match.rodDiameter, 80, 14.2);
    const auto* line = okOrFail(section);
    ASSERT_NE(line, nullptr);

    const auto tube = dipoleMatchDeck(10.1, match, {14.2, 1}, Controls{{14.2}, false});
    const auto* tubeText = okOrFail(tube);
    ASSERT_NE(tubeText, nullptr);
    EXPECT_EQ(capacitorLoad(*tubeText), "LD 0 5 1 1 1e+12 0 0") << *tubeText;
    EXPECT_EQ(countOf(*tubeText, "\nLD "), 1) << *tubeText;
    const std::vector<double> tl = cardFields(*tubeText, "TL");
    ASSERT_EQ(tl.size(), 10U) << *tubeText;
    EXPECT_EQ((std::vector<double>{tl[0], tl[1], tl[2], tl[3]}), (std::vector<double>{3, 1, 5, 1}));
    EXPECT_NEAR(tl[4], line->lineImpedance, 1e-6);
    EXPECT_NEAR(tl[5], line->insertion / line->velocityFactor, 1e-8);
    EXPECT_GT(tl[5], line->insertion * 1.4);
    // GW 5 1 x1 y1 z1 x2 y2 z2 r (the reader refuses a deck with a TL card).
    const std::vector<double> spare = cardFields(*tubeText, "GW 5");
    ASSERT_EQ(spare.size(), 8U) << *tubeText;
    EXPECT_EQ(spare[0], 1);
    EXPECT_GT(spare[3], 10 * 21.1);

    const auto read = readDeck(kBeamOverGround, "beam.nec");
    const auto* beam = okOrFail(read);
    ASSERT_NE(beam, nullptr);
    const auto user = userDeck(*beam, UserDeckRun{&match, {}, true, false}, Segmentation{28.5, 1});
    const auto* userText = okOrFail(user);
    ASSERT_NE(userText, nullptr);
    // The user's tags 1 and 2, ours 3 to 5 (feed connection, rod, strap):
    // the spare is 6, above the beam at 10 m.
    const std::vector<double> userTl = cardFields(*userText, "TL");
    ASSERT_EQ(userTl.size(), 10U) << *userText;
    EXPECT_EQ((std::vector<double>{userTl[0], userTl[1], userTl[2], userTl[3]}), (std::vector<double>{4, 1, 6, 1}));
    const auto atBeam = tubeSection(match.tube, match.rodDiameter, 80, 28.5);
    ASSERT_NE(okOrFail(atBeam), nullptr);
    EXPECT_NEAR(userTl[5], okOrFail(atBeam)->insertion / okOrFail(atBeam)->velocityFactor, 1e-8);
    const std::vector<double> userSpare = cardFields(*userText, "GW 6");
    ASSERT_EQ(userSpare.size(), 8U) << *userText;
    EXPECT_GT(userSpare[3], 10 + 10 * 10.5);
    EXPECT_NE(userText->find("\nLD 0 6 1 1 1e+12 0 0"), std::string::npos) << *userText;
    const std::vector<std::string> names = cardNames(*userText);
    const auto firstLoad = std::find(names.begin(), names.end(), "LD");
    const auto network = std::find(names.begin(), names.end(), "TL");
    ASSERT_NE(network, names.end());
    EXPECT_TRUE(std::all_of(firstLoad, network, [](const std::string& n) { return n == "LD"; })) << *userText;
    EXPECT_EQ(*(network + 1), "EX") << *userText;

    // Shorted, there is no line; a tube no wider than the rod is refused.
    match.capacitancePf = 0;
    const auto shorted = dipoleMatchDeck(10.1, match, {14.2, 1}, Controls{{14.2}, false});
    ASSERT_NE(okOrFail(shorted), nullptr);
    EXPECT_EQ(okOrFail(shorted)->find("TL "), std::string::npos);
    EXPECT_TRUE(cardFields(*okOrFail(shorted), "GW 5").empty());
    match.capacitancePf = 80;
    match.tube.innerDiameter = match.rodDiameter;
    const auto narrow = dipoleMatchDeck(10.1, match, {14.2, 1}, Controls{{14.2}, false});
    ASSERT_TRUE(std::holds_alternative<NecFailure>(narrow));
    EXPECT_EQ(std::get<NecFailure>(narrow).kind, NecFailure::Kind::BadInput);
}

// In a deck in inches the line's length stays in metres (a TL card is not
// geometry: GS leaves it alone) while the spare wire is written in inches,
// so that GS puts it where it was meant, ten wavelengths above the model.
TEST(CapacitorPlace, TheTubeInADeckInInches)
{
    const auto read = readDeck("CE\nGW 1 21 0 -100 0 0 100 0 0.5\nGS 0 0 0.0254\nGE\nEX 0 1 11 0 1\nEN\n", "in.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    Match match{0.0254, 0.0127, 0.1, 0.5, 80};
    match.capacitorAt = CapacitorAt::Tube;
    match.tube = TubeCapacitor{0.02, 2.1};
    const auto section = tubeSection(match.tube, match.rodDiameter, 80, 28.5);
    const auto* line = okOrFail(section);
    ASSERT_NE(line, nullptr);
    const auto written = userDeck(*deck, UserDeckRun{&match, {{28.5}, false}, true, false}, {28.5, 1});
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    const std::vector<double> tl = cardFields(*text, "TL");
    ASSERT_EQ(tl.size(), 10U) << *text;
    EXPECT_NEAR(tl[5], line->insertion / line->velocityFactor, 1e-8) << *text;
    // GW 5 1 x1 y1 z1 x2 y2 z2 r, in inches.
    const std::vector<double> spare = cardFields(*text, "GW 5");
    ASSERT_EQ(spare.size(), 8U) << *text;
    const double inch = 0.0254;
    const double wavelength = vostrel::physics::wavelengthMetres(28.5);
    EXPECT_NEAR(spare[3] * inch, 10 * wavelength, 1e-6) << *text;
    EXPECT_NEAR((spare[4] - spare[1]) * inch, wavelength / 100, 1e-6) << *text;
    EXPECT_NEAR(spare[7] * inch, wavelength / 1e4, 1e-9) << *text;
}

// The header's example, and each refusal.
TEST(TubeSection, ContractExamples)
{
    const auto ptfe = tubeSection(TubeCapacitor{0.0102, 2.1}, 0.00635, 130.33, 14.2);
    const auto* line = okOrFail(ptfe);
    ASSERT_NE(line, nullptr);
    EXPECT_NEAR(line->lineImpedance, 19.61, 0.005);
    EXPECT_NEAR(line->velocityFactor, 0.690, 0.0005);
    EXPECT_NEAR(line->insertion, 0.5198, 0.00005);
    EXPECT_NEAR(insertionFor(*line, 100), 0.4016, 0.00005);
    EXPECT_NEAR(insertionFor(*line, 130.33), line->insertion, 1e-12);
    EXPECT_EQ(insertionFor(*line, 0), 0);
    for (const auto& [tube, rod, pf, mhz] : {std::tuple{TubeCapacitor{0.00635, 2.1}, 0.00635, 130.33, 14.2},
             std::tuple{TubeCapacitor{0.0102, 0.9}, 0.00635, 130.33, 14.2},
             std::tuple{TubeCapacitor{0.0102, 2.1}, 0.00635, 0.0, 14.2},
             std::tuple{TubeCapacitor{0.0102, 2.1}, 0.00635, 130.33, 0.0}}) {
        const auto refused = tubeSection(tube, rod, pf, mhz);
        ASSERT_TRUE(std::holds_alternative<NecFailure>(refused)) << tube.innerDiameter << " " << tube.permittivity;
        EXPECT_EQ(std::get<NecFailure>(refused).kind, NecFailure::Kind::BadInput);
    }
}

} // namespace
