// SPDX-License-Identifier: GPL-3.0-or-later
// The driven element as builders model it: split at the feed, tapered,
// drooping, loaded; the match replaces its straight centre section and the
// user's loads move with it. Checked against nec2c on the decks written.
#include "deck_reader.h"
#include "deck_writer.h"
#include "nec_test_support.h"
#include "physics.h"
#include "refine.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using namespace vostrel;
using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

struct SectionCase {
    const char* name;
    const char* wires; // GW cards
    const char* source; // EX card
    std::vector<int> section; // elementWires
    double ahead; // metres, feed point to the section's far end
};

class Section : public ::testing::TestWithParam<SectionCase> { };

TEST_P(Section, IsTheStraightPartOfTheFeedsRadius)
{
    const SectionCase& c = GetParam();
    const auto read = readDeck(std::string("CE\n") + c.wires + "GE 0\n" + c.source + "EN\n", "element.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->elementWires, c.section);
    const ElementSection section = elementSection(*deck);
    EXPECT_NEAR(section.ahead(), c.ahead, 1e-9);
    EXPECT_GE(section.ahead(), section.behind());
}

INSTANTIATE_TEST_SUITE_P(Nec, Section,
    ::testing::Values(SectionCase{"OneWire", "GW 1 21 0 -5 0 0 5 0 0.0125\n", "EX 0 1 11 0 1\n", {0}, 5},
        // A short feed wire between the arms: the rod runs on into an arm.
        SectionCase{"SplitAtTheFeed",
            "GW 1 20 0 -5.05 0 0 -0.05 0 0.0125\nGW 2 1 0 -0.05 0 0 0.05 0 0.0125\nGW 3 20 0 0.05 0 0 5.05 0 0.0125\n",
            "EX 0 2 1 0 1\n", {0, 1, 2}, 5.05},
        // Arms written from the tips inwards, one tag for the whole element:
        // NEC counts segment 11 of tag 1 on the second wire.
        SectionCase{"OneTagWrittenInwards",
            "GW 1 10 0 -5 0 0 -0.1 0 0.0125\nGW 1 1 0 -0.1 0 0 0.1 0 0.0125\nGW 1 10 0 5 0 0 0.1 0 0.0125\n",
            "EX 0 1 11 0 1\n", {0, 1, 2}, 5},
        // Tapered: the 32 mm centre section only; the 20 mm arms stay.
        SectionCase{"Tapered",
            "GW 1 7 0 -5.1 10 0 -1.5 10 0.010\nGW 2 9 0 -1.5 10 0 1.5 10 0.016\nGW 3 7 0 1.5 10 0 5.1 10 0.010\n",
            "EX 0 2 5 0 1\n", {1}, 1.5},
        // (The nearly straight section is modelled straight from tip to tip, the
        // feed point on that line, 0.2533 m from the source wire: 5 m ahead.)
        // Drooping tips: the straight part; the tips bend off by 27 degrees.
        SectionCase{"DroopingTips",
            "GW 1 15 0 -3.6 10 0 3.6 10 0.0125\nGW 2 5 0 3.6 10 0 5.0 9.3 0.0125\n"
            "GW 3 5 0 -3.6 10 0 -5.0 9.3 0.0125\n",
            "EX 0 1 8 0 1\n", {0}, 3.6},
        // Within 3 degrees is straight (a modelling program's rounding):
        // arms 2.9 degrees off join, 3.1 degrees off do not.
        SectionCase{"NearlyStraightJoins",
            "GW 1 11 0 -5 0.2533 0 -0.05 0 0.0125\nGW 2 1 0 -0.05 0 0 0.05 0 0.0125\n"
            "GW 3 11 0 0.05 0 0 5 0.2533 0.0125\n",
            "EX 0 2 1 0 1\n", {0, 1, 2}, 5},
        SectionCase{"BentArmsDoNot",
            "GW 1 11 0 -5 0.2708 0 -0.05 0 0.0125\nGW 2 1 0 -0.05 0 0 0.05 0 0.0125\n"
            "GW 3 11 0 0.05 0 0 5 0.2708 0.0125\n",
            "EX 0 2 1 0 1\n", {1}, 0.05}),
    RowName());

// A loading coil on the driven element, as shortened elements are built:
// kept where it was, and the rod stops short of it.
constexpr const char* kLoaded = "CM 20 m dipole shortened by coils\nCE\n"
                                "GW 1 41 0 -4 0 0 4 0 0.0125\nGE 0\n"
                                "LD 0 1 5 5 1 3e-6 0\nLD 0 1 37 37 1 3e-6 0\n"
                                "EX 0 1 21 0 1 0\nFR 0 1 0 0 14.2 0\nXQ\nEN\n";

// The centre of segment `number` of `tag` in `deck`.
Point segmentCentre(const UserDeck& deck, int tag, int number)
{
    const auto at = segmentOfTag(deck, tag, number);
    if (!at) {
        ADD_FAILURE() << "no segment " << number << " of tag " << tag;
        return {};
    }
    const Wire& w = deck.wires[static_cast<std::size_t>(at->first)];
    return add(w.from, scaled(sub(w.to, w.from), (at->second - 0.5) / w.segments));
}

struct LoadLine {
    int type, tag, first, last;
    double r, l, c;
};

std::vector<LoadLine> loadLines(const std::string& text)
{
    std::vector<LoadLine> loads;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("LD ", 0) == 0) {
            std::istringstream fields(line.substr(3));
            LoadLine l{};
            fields >> l.type >> l.tag >> l.first >> l.last >> l.r >> l.l >> l.c;
            loads.push_back(l);
        }
    }
    return loads;
}

TEST(DrivenElement, LoadsMoveWithTheirPlaceOnTheElement)
{
    const auto read = readDeck(kLoaded, "loaded.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const Match match{0.025, 0.012, 0.1, 1.0, 30};
    for (const int scale : {1, 2}) {
        const auto written = userDeck(*deck, UserDeckRun{&match, {{14.2}, false}}, Segmentation{14.2, scale});
        const auto* text = okOrFail(written);
        ASSERT_NE(text, nullptr);
        // One run of LD cards (NEC takes a later run in place of an
        // earlier one): the user's loads and the capacitor together.
        const std::size_t firstLoad = text->find("\nLD ");
        const std::size_t capacitor = text->find(" 0 0 3e-11\n");
        ASSERT_NE(capacitor, std::string::npos) << *text;
        EXPECT_EQ(text->substr(firstLoad, capacitor - firstLoad).find("\nEX"), std::string::npos) << *text;
        const auto again = readWritten(*text, "written.nec");
        const auto* matched = okOrFail(again);
        ASSERT_NE(matched, nullptr);
        std::vector<LoadLine> coils;
        for (const LoadLine& l : loadLines(*text)) {
            if (l.tag == 1) {
                coils.push_back(l);
            }
        }
        // Each coil on every wire of the cage beside it, n times the
        // inductance, so that together they carry 3 uH.
        ASSERT_FALSE(coils.empty()) << *text;
        ASSERT_EQ(coils.size() % 2, 0u) << *text;
        const double wiresSideBySide = static_cast<double>(coils.size() / 2);
        for (const LoadLine& l : coils) {
            EXPECT_EQ(l.first, l.last);
            EXPECT_NEAR(l.l, 3e-6 * wiresSideBySide, 1e-12) << scale;
            EXPECT_NEAR(l.r, 1 * wiresSideBySide, 1e-9) << scale;
            // Where the user's coil was: segment 5 or 37 of 41 on 8 m, 2.34 m
            // either side of the centre, within one of our segments.
            const Point at = segmentCentre(*matched, 1, l.first);
            EXPECT_NEAR(std::abs(at[1]), 4 - 4.5 * 8.0 / 41, 0.2 / scale) << l.first;
        }
    }
}

// On a wire the match leaves alone, a load keeps its place among finer
// segments in the halved run: a series load split in two halves, a
// parallel one (a trap) whole on the first; a whole tag's as written.
TEST(DrivenElement, HalvedRunKeepsTheLoadsOfOtherWires)
{
    const auto read = readDeck("CE\nGW 1 21 0 -2.5 0 0 2.5 0 0.0125\nGW 2 21 -0.4 -2.7 0 -0.4 2.7 0 0.0125\nGE 0\n"
                               "LD 0 2 4 4 10 2e-6 0\nLD 1 2 18 18 1e5 1e-6 50e-12\nLD 5 2 0 0 3.7e7\n"
                               "EX 0 1 11 0 1\nEN\n",
        "beam.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const Match match{0.025, 0.012, 0.1, 0.4, 0};
    const auto written = userDeck(*deck, UserDeckRun{&match, {{28.5}, false}}, Segmentation{28.5, 2});
    const auto* text = okOrFail(written);
    ASSERT_NE(text, nullptr);
    const std::vector<LoadLine> loads = loadLines(*text);
    ASSERT_EQ(loads.size(), 4u) << *text;
    // Segment 4 of 21 is segments 7 and 8 of 42.
    EXPECT_EQ(loads[0].first, 7);
    EXPECT_EQ(loads[1].first, 8);
    EXPECT_NEAR(loads[0].r, 5, 1e-12);
    EXPECT_NEAR(loads[1].l, 1e-6, 1e-18);
    // Segment 18 of 21: the first of 35 and 36, whole.
    EXPECT_EQ(loads[2].type, 1);
    EXPECT_EQ(loads[2].first, 35);
    EXPECT_NEAR(loads[2].c, 50e-12, 1e-20);
    EXPECT_NE(text->find("LD 5 2 0 0 3.7e7\n"), std::string::npos) << *text;
}

// The rod may lie beside the element up to the coil, no further: where it
// needs more, NEC-2 finds no match and says what stops the rod.
TEST(DrivenElement, RodStopsShortOfALoad)
{
    const auto read = readDeck(kLoaded, "loaded.nec");
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    NecJob job = deckJob(*deck, 14.2, 0.012, 0.1);
    const RodLimit limit = rodLimit(job);
    // Segment 37 of 41 begins 36/41 of the way along 8 m: 3.024 m from the
    // feed point.
    EXPECT_NEAR(limit.length, 0.97 * (36.0 / 41 * 8 - 4), 1e-9);
    EXPECT_NE(limit.why.find("load on tag 1 segment 37"), std::string::npos) << limit.why;
    // The tube alone: its half length, or a quarter wave when shorter.
    job.element = DipoleElement{10.1};
    EXPECT_NEAR(rodLimit(job).length, 0.97 * 5.05, 1e-9);
    job.element = DipoleElement{30};
    EXPECT_NEAR(rodLimit(job).length, physics::wavelengthMetres(14.2) / 4, 1e-9);
    EXPECT_EQ(rodLimit(job).why, "a quarter wave");
}

// What the deck's own FR cards ask for is said when it is not the design
// frequency alone.
TEST(DrivenElement, UserFrequenciesThatDiffer)
{
    const std::string wire = "CE\nGW 1 21 0 -5 0 0 5 0 0.0125\nGE 0\nEX 0 1 11 0 1\n";
    for (const auto& [cards, said] : {std::pair{"", ""}, std::pair{"FR 0 1 0 0 14.2 0\n", ""},
             std::pair{"FR 0 1 0 0 14.0 0\n", "the deck's own FR cards ask for 14 MHz"},
             std::pair{"FR 0 2 0 0 14.0 0.35\n", "the deck's own FR cards ask for 14 to 14.35 MHz"},
             std::pair{"FR 1 3 0 0 7 2\n", "the deck's own FR cards ask for 7 to 28 MHz"}}) {
        const auto read = readDeck(wire + cards + "EN\n", "fr.nec");
        const auto* deck = okOrFail(read);
        ASSERT_NE(deck, nullptr);
        EXPECT_EQ(userFrequencies(*deck, 14.2), said) << cards;
    }
}

} // namespace
