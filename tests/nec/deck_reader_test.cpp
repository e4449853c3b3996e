// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a user's NEC-2 deck: the driven element found, GS applied, every
// refusal naming file and line, and the table of card types.
#include "ascii.h"
#include "cards.h"
#include "deck_reader.h"
#include "nec_test_support.h"

#include <algorithm>
#include <string_view>
#include <vector>

using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

TEST(ReadDeck, FindsTheDrivenElement)
{
    const auto outcome = readDeck(kBeamOverGround, "beam.nec");
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

// A deck too large is refused before a line is read.
TEST(ReadDeck, RefusesADeckLargerThanTheLimit)
{
    const std::string line = "CM " + std::string(77, 'x') + "\n";
    std::string text;
    while (text.size() + line.size() <= kMaxDeckBytes) {
        text += line;
    }
    const std::string fits = text + std::string(kMaxDeckBytes - text.size(), '\n');
    EXPECT_NE(failureOf(readDeck(fits, "big.nec")).message.find("no voltage source"), std::string::npos);
    const NecFailure failure = failureOf(readDeck(fits + "\n", "big.nec"));
    EXPECT_EQ(failure.kind, NecFailure::Kind::BadDeck);
    EXPECT_EQ(failure.message.rfind("big.nec: larger than 1 MB", 0), 0U) << failure.message;
}

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
    ::testing::Values(RefusalCase{"UnknownCard", kWire + "GQ 1 110\nGE\nEX 0 1 11 0 1\nEN\n", 3, "unknown card \"GQ\""},
        RefusalCase{"OneSegmentTooMany", "CE\nGW 1 2999 0 0 -5.2 0 0 5.2 0.001\nGW 2 2 1 0 -5.2 1 0 5.2 0.001\n", 3,
            "3001 segments, more than the 3000"},
        RefusalCase{"AsManySegmentsAsTaken",
            "CE\nGW 1 2998 0 0 -5.2 0 0 5.2 0.001\nGW 2 2 1 0 -5.2 1 0 5.2 0.001\nGE\nEX 0 1 1500 0 1\nGQ\n", 6,
            "unknown card"},
        RefusalCase{"CopiesPastTheLimit", kWire + "GM 1 1000000000 0 0 0 1 0 0 0\n", 3, "more than the 3000"},
        RefusalCase{"GreensFunctionFile", kWire + "GF 0\nGE\nEX 0 1 11 0 1\nEN\n", 3, "Green's function"},
        RefusalCase{"Network", kWire + "GE\nEX 0 1 11 0 1\nNT 1 11 2 1 0 0 0 0 0 0\nEN\n", 5, "networks (NT cards)"},
        RefusalCase{"ArcAfterGe", kWire + "GE\nGA 2 5 1 0 90 0.001\n", 4, "a GA card after GE"},
        RefusalCase{"NotANumber", "CE\nGW 1 21 0 0 -5.2 0 0 five 0.001\n", 2, "\"five\" is not a number"},
        RefusalCase{"ShortWireCard", "CE\nGW 1 21 0 0 -5.2 0 0 5.2\n", 2, "malformed GW card"},
        RefusalCase{"NoSegments", "CE\nGW 1 0 0 0 -5.2 0 0 5.2 0.001\n", 2, "at least one segment"},
        RefusalCase{"TagZero", "CE\nGW 0 21 0 0 -5.2 0 0 5.2 0.001\n", 2, "tag above 0"},
        RefusalCase{"PointWire", "CE\nGW 1 21 0 0 1 0 0 1 0.001\n", 2, "the same point"},
        RefusalCase{"BadScale", kWire + "GS 0 0 0\n", 3, "scale factor"},
        RefusalCase{"WireAfterGe", kWire + "GE\nGW 2 3 0 0 0 1 0 0 0.001\n", 4, "after GE"},
        RefusalCase{"NoSource", kWire + "GE\nFR 0 1 0 0 14 0\nEN\n", 5, "no voltage source"},
        RefusalCase{"SeveralSources", kWire + "GW 2 21 1 0 -5.2 1 0 5.2 0.001\nGE\nEX 0 1 11 0 1\nEX 0 2 11 0 1\nEN\n",
            6, "several sources"},
        RefusalCase{"CurrentSource", kWire + "GE\nEX 5 1 11 0 1\nEN\n", 4, "voltage source"},
        RefusalCase{"SourceOffCentreOfASplitElement", kWire + "GW 2 21 0 0 5.2 0 0 15.6 0.001\nGE\nEX 0 1 11 0 1\nEN\n",
            5, "not at or near the centre"},
        RefusalCase{"SourceOffTheWire", kWire + "GE\nEX 0 1 22 0 1\nEN\n", 4, "no segment"},
        RefusalCase{"SourceOffCentre", kWire + "GE\nEX 0 1 8 0 1\nEN\n", 4, "not at or near the centre"},
        RefusalCase{"LoadOnTheSourceSegment", kWire + "GE\nEX 0 1 11 0 1\nLD 0 1 11 11 0 0 1E-10\nEN\n", 5,
            "a load on the source segment (tag 1 segment 11)"},
        // Counted within its tag: the reflector's segments before it do not count.
        RefusalCase{"LoadOnTheSourceAfterAnotherTag",
            "CE\nGW 2 21 -0.4 -5.2 0 -0.4 5.2 0 0.001\nGW 1 21 0 -5.2 0 0 5.2 0 0.001\nGE\nEX 0 1 11 0 1\n"
            "LD 0 1 11 11 0 0 1E-10\nEN\n",
            6, "a load on the source segment (tag 1 segment 11)"},
        RefusalCase{"LoadOverTheSourceSegment", kWire + "GE\nEX 0 1 11 0 1\nLD 4 1 10 12 5\nEN\n", 5,
            "a load on the source segment"},
        RefusalCase{"LoadOnTheSourceOfASplitTag",
            "CE\nGW 1 10 0 0 -5.2 0 0 -0.1 0.001\nGW 1 1 0 0 -0.1 0 0 0.1 0.001\nGW 1 10 0 0 0.1 0 0 5.2 0.001\n"
            "GE\nEX 0 1 11 0 1\nLD 0 1 11 0 0 1E-6\nEN\n",
            7, "a load on the source segment (tag 1 segment 11)"},
        RefusalCase{
            "LoadOnAbsoluteSegments", kWire + "GE\nEX 0 1 11 0 1\nLD 4 0 3 3 50\nEN\n", 5, "absolute segment numbers"}),
    RowName());

// A source given by absolute segment number on a one-segment wire (a feed
// wire between the element's halves), after another and before a third.
TEST(ReadDeck, AbsoluteSegmentOnAOneSegmentWire)
{
    const std::string wires = "CE\nGW 1 10 0 -5 0 0 -0.05 0 0.001\nGW 2 1 0 -0.05 0 0 0.05 0 0.001\n"
                              "GW 3 10 0 0.05 0 0 5 0 0.001\nGE\n";
    for (const auto& [source, driven] : {std::pair{"EX 0 0 11 0 1\n", 1}, std::pair{"EX 0 2 1 0 1\n", 1}}) {
        const auto outcome = readDeck(wires + source + "EN\n", "halves.nec");
        const auto* deck = okOrFail(outcome);
        ASSERT_NE(deck, nullptr) << source;
        EXPECT_EQ(deck->drivenWire, driven) << source;
        EXPECT_EQ(deck->sourceSegment, 1) << source;
    }
}

// Ground is any GN card but GN -1, which returns to free space.
TEST(ReadDeck, GroundUnlessGnMinusOne)
{
    for (const auto& [card, ground] : {std::pair{"", false}, std::pair{"GN -1\n", false}, std::pair{"GN 1\n", true},
             std::pair{"GN 0 0 0 0 13 0.005\n", true}, std::pair{"GN 2 0 0 0 13 0.005\n", true}}) {
        const auto outcome = readDeck(kWire + "GE 1\n" + card + "EX 0 1 11 0 1\nEN\n", "ground.nec");
        const auto* deck = okOrFail(outcome);
        ASSERT_NE(deck, nullptr) << card;
        EXPECT_EQ(deck->hasGround, ground) << card;
    }
}

// Near the centre is within a tenth of the wire's length: segment 9 of 21
// (8.5/21 = 0.405 of the way) is accepted, segment 8 (0.357) refused above.
TEST(ReadDeck, SourceNearTheCentreIsAccepted)
{
    const auto outcome = readDeck(kWire + "GE\nEX 0 1 9 0 1\nEN\n", "ant.nec");
    const auto* deck = okOrFail(outcome);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->sourceSegment, 9);
}

} // namespace

namespace {

// The one table the reader and the writers go by: two-letter upper-case
// names, each once; a reason exactly for the refused cards, which no deck
// that was read can hold.
TEST(CardTypes, NamesOnceRefusalsWithReasons)
{
    std::vector<std::string_view> names;
    for (const CardType& type : cardTypes()) {
        EXPECT_EQ(type.name.size(), 2u) << type.name;
        EXPECT_EQ(vostrel::ascii::uppered(type.name), type.name);
        EXPECT_EQ(std::count(names.begin(), names.end(), type.name), 0) << type.name;
        names.push_back(type.name);
        const bool refused = type.reading == CardReading::Refused;
        EXPECT_EQ(refused, !type.refusal.empty()) << type.name;
        EXPECT_EQ(refused, type.writing == CardWriting::Never) << type.name;
        EXPECT_EQ(cardType(vostrel::ascii::lowered(type.name)), &type) << type.name;
    }
    EXPECT_EQ(cardType("QQ"), nullptr);
    EXPECT_EQ(cardReading("QQ"), CardReading::Refused);
    EXPECT_EQ(cardWriting("QQ"), CardWriting::Never);
    EXPECT_EQ(cardReading("ld"), CardReading::Load);
    EXPECT_EQ(cardType("G"), nullptr);
}

} // namespace
