// SPDX-License-Identifier: GPL-3.0-or-later
// MMANA-GAL .maa models turned into NEC-2 decks: each section, segmentation,
// sources and loads, ground, encodings and line ends, the refusals with
// their lines; and three models against their NEC-2 twins in nec2c.
#include "maa_reader.h"
#include "nec_test_support.h"
#include "runner.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

// A model from its parts: the wires section's lines, then whatever follows.
std::string model(const std::string& wires, const std::string& rest, const std::string& freq = "14.2")
{
    int count = 0;
    for (const char c : wires) {
        count += c == '\n' ? 1 : 0;
    }
    return "test model\n*\n" + freq + "\n*** Wires ***\n" + std::to_string(count) + "\n" + wires + rest;
}

// A 10.1 m wire of 21 segments, and a source at its centre.
std::string dipoleWire()
{
    return "0.0,\t-5.05,\t0.0,\t0.0,\t5.05,\t0.0,\t1.25e-02,\t21\n";
}
std::string centreSource()
{
    return "*** Source ***\n1,\t1\nw1c,\t0.0,\t1.0\n";
}

std::string deckOf(const std::string& text)
{
    const auto converted = maaToNecDeck(text, "m.maa");
    const std::string* deck = okOrFail(converted);
    return deck != nullptr ? *deck : "";
}

// The deck's lines that start with `card`.
std::vector<std::string> cardsOf(const std::string& deck, const std::string& card)
{
    std::vector<std::string> found;
    std::istringstream lines(deck);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(card + " ")) {
            found.push_back(line);
        }
    }
    return found;
}

std::string fileText(const std::string& name)
{
    std::ifstream file(std::string(VOSTREL_NEC_MODELS) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(MaaReader, DipoleBecomesTheDeckTheHeaderShows)
{
    const std::string text
        = "dipole\n*\n14.2\n*** Wires ***\n1\n0,-5,10,0,5,10,0.001,21\n*** Source ***\n1,1\nw1c,0,1\n";
    EXPECT_EQ(deckOf(text),
        "CM dipole\nCE\nGW 1 21 0 -5 10 0 5 10 0.001\nGE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 14.2 0\nXQ\nEN\n");
}

TEST(MaaReader, TitleAndCommentBecomeCmCards)
{
    const std::string deck = deckOf(model(dipoleWire(), centreSource() + "###Comment###\nfirst note\n\nsecond\n"));
    EXPECT_TRUE(deck.starts_with("CM test model\nCM first note\nCM \nCM second\nCE\n")) << deck;
}

TEST(MaaReader, LongCommentIsCutIntoCardsOnCharacterBoundaries)
{
    std::string longLine;
    for (int i = 0; i < 40; ++i) {
        longLine += "\xD0\xB0"
                    "b"; // "аb": three bytes a pair
    }
    const std::string deck = deckOf(model(dipoleWire(), centreSource() + "###Comment###\n" + longLine + "\n"));
    const auto cm = cardsOf(deck, "CM");
    ASSERT_EQ(cm.size(), 3U) << deck; // title, then 120 bytes in two cards
    EXPECT_LE(cm[1].size(), 73U);
    EXPECT_EQ(cm[1].substr(3) + cm[2].substr(3), longLine);
}

TEST(MaaReader, ControlCharactersInTextAreEscaped)
{
    const std::string deck = deckOf("bad\x1B[2Jtitle\n*\n14.2\n*** Wires ***\n1\n" + dipoleWire() + centreSource());
    EXPECT_TRUE(deck.starts_with("CM bad?[2Jtitle\n")) << deck;
}

// Segments: a given count, and MMANA's auto codes at DM2 segments a wavelength.
struct SegmentRow {
    const char* name;
    std::string segmentation; // the section, or empty for MMANA's default
    const char* code;
    const char* source; // the source's place
    int segments;
};

class Segments : public ::testing::TestWithParam<SegmentRow> { };

TEST_P(Segments, ChosenAsMmanaWould)
{
    const SegmentRow& row = GetParam();
    // 10.1 m at 14.2 MHz is 0.4784 wavelengths.
    const std::string wire = std::string("0,-5.05,0,0,5.05,0,0.0125,") + row.code + "\n";
    const std::string deck
        = deckOf(model(wire, "*** Source ***\n1,1\n" + std::string(row.source) + ",0,1\n" + row.segmentation));
    const auto gw = cardsOf(deck, "GW");
    ASSERT_EQ(gw.size(), 1U) << deck;
    EXPECT_TRUE(gw[0].starts_with("GW 1 " + std::to_string(row.segments) + " ")) << gw[0];
}

INSTANTIATE_TEST_SUITE_P(Rows, Segments,
    ::testing::Values(SegmentRow{"GivenOddKept", "", "21", "w1c", 21},
        SegmentRow{"GivenEvenGainsACentre", "", "20", "w1c", 21},
        SegmentRow{"GivenEvenKeptForAnEndSource", "", "20", "w1b", 20},
        // ceil(0.4784 * 40) = 20, made odd
        SegmentRow{"AutoAtDefaultDm2", "", "0", "w1c", 21},
        SegmentRow{"AutoAtDm2Of80", "*** Segmentation ***\n800,\t80,\t2.0,\t1\n", "0", "w1c", 39},
        SegmentRow{"AutoAtDm2Of20", "*** Segmentation ***\n400,\t20,\t2.0,\t1\n", "-1", "w1c", 11},
        SegmentRow{"TaperCodeBegin", "*** Segmentation ***\n400,\t20,\t2.0,\t1\n", "-2", "w1c", 11},
        SegmentRow{"TaperCodeEnd", "*** Segmentation ***\n400,\t20,\t2.0,\t1\n", "-3", "w1e", 11}),
    RowName());

// Where a source lands on a 21-segment wire, and its voltage.
struct SourceRow {
    const char* name;
    const char* line;
    const char* ex;
};

class Sources : public ::testing::TestWithParam<SourceRow> { };

TEST_P(Sources, LandOnTheirSegment)
{
    const std::string deck = deckOf(model(dipoleWire(), "*** Source ***\n1,1\n" + std::string(GetParam().line) + "\n"));
    const auto ex = cardsOf(deck, "EX");
    ASSERT_EQ(ex.size(), 1U) << deck;
    EXPECT_EQ(ex[0], GetParam().ex);
}

INSTANTIATE_TEST_SUITE_P(Rows, Sources,
    ::testing::Values(SourceRow{"Centre", "w1c, 0.0, 1.0", "EX 0 1 11 0 1 0"},
        SourceRow{"Begin", "w1b, 0.0, 1.0", "EX 0 1 1 0 1 0"}, SourceRow{"End", "w1e, 0.0, 1.0", "EX 0 1 21 0 1 0"},
        SourceRow{"CentrePlusOne", "w1c+1, 0.0, 1.0", "EX 0 1 12 0 1 0"},
        SourceRow{"CentreMinusTwo", "w1c-2, 0.0, 1.0", "EX 0 1 9 0 1 0"},
        SourceRow{"BeginPlusThree", "W1b3, 0.0, 1.0", "EX 0 1 4 0 1 0"},
        SourceRow{"EndBackOne", "w1e-1, 0.0, 1.0", "EX 0 1 20 0 1 0"},
        SourceRow{"PhaseAndVoltage", "w1c, 90.0, 2.0", "EX 0 1 11 0 0 2"}),
    RowName());

// A driven element split at its feed: two wires meeting at the source,
// which sits at the first segment of the second wire.
TEST(MaaReader, SplitDrivenElementKeepsItsJunction)
{
    const std::string deck
        = deckOf(model("0,-5,0,0,0,0,0.01,10\n0,0,0,0,5,0,0.01,10\n", "*** Source ***\n1,1\nw2b,0,1\n"));
    EXPECT_EQ(cardsOf(deck, "GW"), (std::vector<std::string>{"GW 1 10 0 -5 0 0 0 0 0.01", "GW 2 10 0 0 0 0 5 0 0.01"}));
    EXPECT_EQ(cardsOf(deck, "EX"), std::vector<std::string>{"EX 0 2 1 0 1 0"});
}

TEST(MaaReader, LoadsBecomeLdCards)
{
    const std::string loads = "*** Load ***\n3,\t1\n"
                              "w2c,\t0,\t1.5,\t0.0,\t0.0\n" // 1.5 uH, no capacitor, lossless
                              "w2b+2,\t0,\t0.0,\t100.0,\t0.0\n" // 100 pF alone
                              "w1e,\t1,\t12.5,\t-30.0\n"; // R + jX
    const std::string deck = deckOf(model(dipoleWire() + dipoleWire(), centreSource() + loads));
    EXPECT_EQ(cardsOf(deck, "LD"),
        (std::vector<std::string>{"LD 0 2 11 11 0 1.5e-06 0", "LD 0 2 3 3 0 0 1e-10", "LD 4 1 21 21 12.5 -30"}));
}

TEST(MaaReader, CoilQGivesItsSeriesResistance)
{
    const std::string deck = deckOf(model(dipoleWire(), centreSource() + "*** Load ***\n1,1\nw1c,0,2.0,0,200\n"));
    const auto ld = cardsOf(deck, "LD");
    ASSERT_EQ(ld.size(), 1U);
    double r = 0;
    std::istringstream(ld[0].substr(std::string("LD 0 1 11 11 ").size())) >> r;
    EXPECT_NEAR(r, 2 * M_PI * 14.2e6 * 2.0e-6 / 200, 1e-9); // omega L / Q
}

struct GroundRow {
    const char* name;
    const char* type;
    const char* cards;
};

class Ground : public ::testing::TestWithParam<GroundRow> { };

TEST_P(Ground, TypeGivesTheGroundCards)
{
    const std::string deck = deckOf(model(dipoleWire(),
        centreSource() + "*** G/H/M/R/AzEl/X ***\n" + GetParam().type + ",\t10.0,\t0,\t50.0,\t120,\t60,\t0.0\n"));
    EXPECT_NE(deck.find(GetParam().cards), std::string::npos) << deck;
    EXPECT_EQ(countOf(deck, "GN"), std::string(GetParam().cards).find("GN") != std::string::npos ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, Ground,
    ::testing::Values(GroundRow{"FreeSpace", "0", "GE 0\nEX"}, GroundRow{"Perfect", "1", "GE 1\nGN 1\nEX"},
        GroundRow{"RealSolvedOverPerfect", "2", "GE 1\nGN 1\nEX"}),
    RowName());

TEST(MaaReader, RussianSectionsAndCp1251Text)
{
    // "Диполь" and "Провода", "Источник", "Нагрузка", "Комментарий" in Windows-1251.
    const std::string text = "\xC4\xE8\xEF\xEE\xEB\xFC\r\n*\r\n14.2\r\n*** \xCF\xF0\xEE\xE2\xEE\xE4\xE0 ***\r\n1\r\n"
        + std::string("0,-5.05,0,0,5.05,0,0.0125,21\r\n")
        + "*** \xC8\xF1\xF2\xEE\xF7\xED\xE8\xEA ***\r\n1,1\r\nw1c,0,1\r\n"
        + "*** \xCD\xE0\xE3\xF0\xF3\xE7\xEA\xE0 ***\r\n1,1\r\nw1c+1,1,5,0\r\n"
        + "###\xCA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE9###\r\n\xB9 1 \xB8\r\n";
    const std::string deck = deckOf(text);
    EXPECT_TRUE(
        deck.starts_with("CM \xD0\x94\xD0\xB8\xD0\xBF\xD0\xBE\xD0\xBB\xD1\x8C\nCM \xE2\x84\x96 1 \xD1\x91\nCE\n"))
        << deck;
    EXPECT_EQ(cardsOf(deck, "LD"), std::vector<std::string>{"LD 4 1 12 12 5 0"});
    EXPECT_EQ(deck.find('\r'), std::string::npos);
}

TEST(MaaReader, Utf8WithByteOrderMarkAndCrLf)
{
    const std::string text
        = "\xEF\xBB\xBF\xD0\x94\xD0\xB8\xD0\xBF\xD0\xBE\xD0\xBB\xD1\x8C\r\n*\r\n14.2\r\n***Wires***\r\n1\r\n"
        + std::string("0,-5.05,0,0,5.05,0,0.0125,21\r\n***Source***\r\n1,1\r\nw1c,0,1\r\n");
    const std::string deck = deckOf(text);
    EXPECT_TRUE(deck.starts_with("CM \xD0\x94\xD0\xB8\xD0\xBF\xD0\xBE\xD0\xBB\xD1\x8C\nCE\n")) << deck;
    EXPECT_EQ(cardsOf(deck, "GW").size(), 1U);
}

// Each refusal names the file and the line it cannot use.
struct RefusalRow {
    const char* name;
    std::string text;
    std::string message;
};

class Refusals : public ::testing::TestWithParam<RefusalRow> { };

TEST_P(Refusals, NameFileAndLine)
{
    const NecFailure failure = failureOf(maaToNecDeck(GetParam().text, "beam.maa"));
    EXPECT_EQ(failure.kind, NecFailure::Kind::BadDeck);
    EXPECT_EQ(failure.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Rows, Refusals,
    ::testing::Values(RefusalRow{"NoFrequency", "t\n*\n*** Wires ***\n1\n" + dipoleWire() + centreSource(),
                          "beam.maa:8: no frequency: the line after the title's \"*\" gives it in MHz"},
        RefusalRow{"ZeroFrequency", model(dipoleWire(), centreSource(), "0"),
            "beam.maa:3: the frequency must be above 0 MHz: \"0\""},
        RefusalRow{"WordForANumber", model("0,-5,0,0,5,0,ten,21\n", centreSource()),
            "beam.maa:6: \"ten\" is not a number: \"0,-5,0,0,5,0,ten,21\""},
        RefusalRow{"ShortWire", model("0,-5,0,0,5,0,0.01\n", centreSource()),
            "beam.maa:6: a wire needs X1, Y1, Z1, X2, Y2, Z2, R and Seg: \"0,-5,0,0,5,0,0.01\""},
        RefusalRow{"NegativeRadius", model("0,-5,0,0,5,0,-1,21\n", centreSource()),
            "beam.maa:6: the wire's radius must be above 0 (a negative MMANA radius is not taken): "
            "\"0,-5,0,0,5,0,-1,21\""},
        RefusalRow{"UnknownSegmentCode", model("0,-5,0,0,5,0,0.01,-4\n", centreSource()),
            "beam.maa:6: the segment count must be 1 to 10000, or an auto code 0, -1, -2 or -3: "
            "\"0,-5,0,0,5,0,0.01,-4\""},
        RefusalRow{"PointWire", model("1,1,1,1,1,1,0.01,21\n", centreSource()),
            "beam.maa:6: the wire has no length: \"1,1,1,1,1,1,0.01,21\""},
        RefusalRow{"FewerWiresThanCounted", "t\n*\n14.2\n*** Wires ***\n2\n" + dipoleWire() + centreSource(),
            "beam.maa:7: the section above lists 1 more line(s): \"*** Source ***\""},
        RefusalRow{"CountPastTheFileEnd", model(dipoleWire(), "*** Source ***\n2,1\nw1c,0,1\n"),
            "beam.maa:9: the file ends with 1 line(s) of its last section missing"},
        RefusalRow{"MissingCount", "t\n*\n14.2\n*** Wires ***\n0,-5,0,0,5,0,0.01,21\n" + centreSource(),
            "beam.maa:5: a line count should start this section: \"0,-5,0,0,5,0,0.01,21\""},
        RefusalRow{"SourceWithoutPlace", model(dipoleWire(), "*** Source ***\n1,1\n1c,0,1\n"),
            "beam.maa:9: a position such as w1c, w2b or w3e should start the line: \"1c,0,1\""},
        RefusalRow{"SourceOnMissingWire", model(dipoleWire(), "*** Source ***\n1,1\nw3c,0,1\n"),
            "beam.maa:9: wire 3 does not exist (the model has 1)"},
        RefusalRow{"SourceOffsetPastTheEnd", model(dipoleWire(), "*** Source ***\n1,1\nw1e+1,0,1\n"),
            "beam.maa:9: the offset goes past the ends of wire 1 (21 segments)"},
        RefusalRow{
            "NoSource", model(dipoleWire(), ""), "beam.maa:6: no source: a \"*** Source ***\" section places it"},
        RefusalRow{"LoadOfUnknownType", model(dipoleWire(), centreSource() + "*** Load ***\n1,1\nw1c,2,1,2,3\n"),
            "beam.maa:12: a load needs its position, type 0 (L uH, C pF, Q) or 1 (R, jX), and its values: "
            "\"w1c,2,1,2,3\""},
        RefusalRow{"LineAfterTheSections", model(dipoleWire(), centreSource() + "stray\r\n"),
            "beam.maa:10: a line this reader cannot place: \"stray\""},
        RefusalRow{"ControlsInTheQuotedLine", model("0,-5,0,0,5,0,\x1B[1m,21\n", centreSource()),
            "beam.maa:6: \"?[1m\" is not a number: \"0,-5,0,0,5,0,?[1m,21\""},
        RefusalRow{"BadGroundType", model(dipoleWire(), centreSource() + "*** G/H/M/R/AzEl/X ***\n3,10,0,50\n"),
            "beam.maa:11: the ground type must be 0 (free space), 1 (perfect) or 2 (real): \"3,10,0,50\""}),
    RowName());

TEST(ReadModel, TellsMaaFromNec)
{
    EXPECT_TRUE(isMaaModel("", "beam.MAA"));
    EXPECT_TRUE(isMaaModel(model(dipoleWire(), centreSource()), "beam.txt"));
    EXPECT_FALSE(isMaaModel(kBeamOverGround, "beam.nec"));
    // A NEC deck goes to readDeck as it is.
    const auto nec = readModel(kBeamOverGround, "beam.nec");
    const UserDeck* deck = okOrFail(nec);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->wires.size(), 2U);
    EXPECT_EQ(deck->sourceSegment, 11);
}

TEST(ReadModel, MaaIsReadAsItsDeck)
{
    const auto read = readModel(fileText("yagi3.maa"), "yagi3.maa");
    const UserDeck* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    EXPECT_EQ(deck->fileName, "yagi3.maa");
    EXPECT_EQ(deck->wires.size(), 3U);
    EXPECT_EQ(deck->drivenWire, 1);
    EXPECT_EQ(deck->sourceSegment, 11);
    EXPECT_NEAR(deck->wires[1].radius, 0.0125, 1e-12);
}

TEST(ReadModel, RefusalOfTheConvertedDeckSaysSo)
{
    // Two sources: converted, then refused by readDeck on its EX lines.
    const NecFailure failure = failureOf(
        readModel(model(dipoleWire() + dipoleWire(), "*** Source ***\n2,1\nw1c,0,1\nw2c,0,1\n"), "two.maa"));
    EXPECT_EQ(failure.kind, NecFailure::Kind::BadDeck);
    EXPECT_TRUE(failure.message.starts_with("two.maa (as NEC-2):")) << failure.message;
}

// The .maa twins of NEC-2 decks give nec2c's feed impedance within 2 %.
class Twins : public ::testing::TestWithParam<const char*> { };

TEST_P(Twins, GiveTheFeedImpedanceOfTheirNecDeck)
{
    const std::string name = GetParam();
    const auto converted = maaToNecDeck(fileText(name + ".maa"), name + ".maa");
    const std::string* deck = okOrFail(converted);
    ASSERT_NE(deck, nullptr);
    const auto fromMaa = run(*deck, {});
    const auto fromNec = run(fileText(name + ".nec"), {});
    const Solution* a = okOrFail(fromMaa);
    const Solution* b = okOrFail(fromNec);
    ASSERT_TRUE(a != nullptr && b != nullptr);
    ASSERT_EQ(a->points.size(), 1U);
    ASSERT_EQ(b->points.size(), 1U);
    const auto za = a->points[0].impedance;
    const auto zb = b->points[0].impedance;
    EXPECT_LE(std::abs(za - zb), 0.02 * std::abs(zb)) << name << ": maa " << za << ", nec " << zb;
    std::cout << "[ twin ] " << name << ": from .maa " << za << " ohms, from .nec " << zb << " ohms\n";
}

INSTANTIATE_TEST_SUITE_P(Models, Twins, ::testing::Values("dipole20", "yagi3", "loaded2"));

} // namespace
