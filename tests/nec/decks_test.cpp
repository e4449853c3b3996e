// SPDX-License-Identifier: GPL-3.0-or-later
// Decks as modelling programs write them (tests/nec/decks): each refined
// match confirmed by nec2c on the deck written for the user, at the design
// frequency, or refused with its reason.
#include "deck_reader.h"
#include "nec_test_support.h"
#include "physics.h"
#include "refine.h"

#include <fstream>
#include <iterator>
#include <string>

using namespace vostrel;
using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

enum class Expect { Matched, NoMatch, Invalid, Refused };

struct DeckCase {
    const char* name;
    const char* file; // in tests/nec/decks
    double freqMhz;
    double rodDiameter, spacing; // metres
    Expect expect;
    const char* why; // in the failure's message
};

class Decks : public ::testing::TestWithParam<DeckCase> { };

TEST_P(Decks, MatchConfirmedByNec2cOrRefusedWithItsReason)
{
    const DeckCase& c = GetParam();
    std::ifstream file(std::string(VOSTREL_NEC_DECKS) + "/" + c.file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty()) << c.file;
    const auto read = readDeck(text, c.file);
    if (c.expect == Expect::Refused) {
        const NecFailure failure = failureOf(read);
        EXPECT_EQ(failure.kind, NecFailure::Kind::BadDeck);
        EXPECT_NE(failure.message.find(c.why), std::string::npos) << failure.message;
        return;
    }
    const auto* deck = okOrFail(read);
    ASSERT_NE(deck, nullptr);
    const NecJob job = deckJob(*deck, c.freqMhz, c.rodDiameter, c.spacing);
    const auto refined = refine(job);
    if (c.expect != Expect::Matched) {
        const NecFailure failure = failureOf(refined);
        EXPECT_EQ(failure.kind, c.expect == Expect::NoMatch ? NecFailure::Kind::NoMatch : NecFailure::Kind::Invalid)
            << failure.message;
        EXPECT_NE(failure.message.find(c.why), std::string::npos) << failure.message;
        return;
    }
    const auto* r = okOrFail(refined);
    ASSERT_NE(r, nullptr);
    const auto written = writeMatchedDeck(job, r->rodLength, r->capacitancePf);
    const auto* deckText = okOrFail(written);
    ASSERT_NE(deckText, nullptr);
    const auto solved = run(*deckText, RunOptions{});
    const auto* solution = okOrFail(solved);
    ASSERT_NE(solution, nullptr);
    ASSERT_FALSE(solution->points.empty());
    // The written deck's first run is at the design frequency.
    EXPECT_NEAR(solution->points.front().freqMhz, c.freqMhz, 1e-9);
    EXPECT_LE(physics::swr(solution->points.front().impedance, 50), 1.1) << *deckText;
    EXPECT_LE(r->swr, 1.1);
}

INSTANTIATE_TEST_SUITE_P(Nec, Decks,
    ::testing::Values(DeckCase{"InchesWithGsTabsAndCrLf", "inches-gs.nec", 14.2, 0.012, 0.12, Expect::Matched, ""},
        DeckCase{"SplitFeedWire", "split-feed.nec", 14.2, 0.012, 0.12, Expect::Matched, ""},
        DeckCase{"YagiPlacedAndCopiedWithGmInInches", "yagi-gm.nec", 14.2, 0.012, 0.12, Expect::Matched, ""},
        DeckCase{"HalfDipoleReflectedWithGx", "dipole-gx.nec", 14.2, 0.012, 0.12, Expect::Matched, ""},
        DeckCase{"LoadingCoilsLowerCaseTwoFrCards", "coil-loaded.nec", 14.2, 0.012, 0.1, Expect::Matched, ""},
        DeckCase{"BeamOverGroundWithConductivity", "beam-ground.nec", 28.5, 0.0127, 0.1, Expect::Matched, ""},
        // The centre section is 1.5 m each side; the match needs more.
        DeckCase{"TaperedNeedsMoreThanTheCentreSection", "tapered.nec", 14.2, 0.012, 0.12, Expect::NoMatch,
            "straight part of its diameter at the feed, beyond the feed point, 1.500 m"},
        // The rod would have to pass the coils 3.9 m out.
        DeckCase{"CoilsStopTheRod", "coil-40m.nec", 7.1, 0.012, 0.12, Expect::NoMatch, "load on tag 1 segment 33"},
        DeckCase{"DroopingTipsFailTheAverageGainTest", "drooping.nec", 14.2, 0.012, 0.12, Expect::Invalid,
            "average gain test gives 0.5"},
        // A 1.15 mm gap between the rod and the element.
        DeckCase{"RodAlmostTouching", "split-feed.nec", 14.2, 0.012, 0.01965, Expect::Invalid, "with halved segments"},
        DeckCase{"SourceLoad", "source-load.nec", 14.2, 0.012, 0.12, Expect::Refused,
            "source-load.nec:6: a load on the source segment (tag 1 segment 11)"}),
    RowName());

} // namespace
