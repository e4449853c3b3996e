// SPDX-License-Identifier: GPL-3.0-or-later
// The element's correction in the decks, and the next cut from a reading in
// NEC-2's model: against nec2c itself, on the lone tube and a beam's
// low-resistance driven element.
#include "nec_test_support.h"
#include "physics.h"
#include "reading.h"

#include <regex>
#include <sstream>

using namespace vostrel;
using namespace vostrel::nec;
using namespace vostrel::nec::testing;

namespace {

using Complex = std::complex<double>;

// The 20 m dipole of 25 mm tube, a 12.7 mm rod at 150 mm.
NecJob twentyMetres()
{
    NecJob job;
    job.design.freqMhz = 14.2;
    job.design.geometry = {0.025, 0.0127, 0.15};
    job.design.lineImpedance = 50;
    job.element = DipoleElement{10.1};
    job.checks = false;
    return job;
}

// A two-element 10 m beam in free space, its driven element about 10 + j8 ohms.
NecJob beam()
{
    const auto read = readDeck("CM two-element 10 m beam\nCE\n"
                               "GW 1 21 0 -2.5125 0 0 2.5125 0 0.0125\n"
                               "GW 2 21 -0.4 -2.7 0 -0.4 2.7 0 0.0125\n"
                               "GE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 28.5 0\nXQ\nEN\n",
        "beam.nec");
    NecJob job;
    job.design.freqMhz = 28.5;
    job.design.geometry = {0.025, 0.0127, 0.1};
    job.design.lineImpedance = 50;
    job.element = std::get<UserDeck>(read);
    job.checks = false;
    return job;
}

Complex zinOf(const NecJob& job, double rod, double pf)
{
    const auto zin = zinOfBuild(job, rod, pf);
    const auto* z = okOrFail(zin);
    return z != nullptr ? *z : Complex(0, 0);
}

Complex bareOf(const NecJob& job, Complex correction)
{
    NecJob corrected = job;
    corrected.elementCorrection = correction;
    const auto refined = refine(corrected);
    const auto* r = okOrFail(refined);
    return r != nullptr ? r->feedImpedance : Complex(0, 0);
}

// The LD type 4 cards of a deck: tag, segment, R and X.
struct LoadCard {
    int tag, segment;
    double r, x;
};
std::vector<LoadCard> correctionCards(const std::string& deck)
{
    std::vector<LoadCard> cards;
    std::istringstream lines(deck);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        int type = 0;
        LoadCard card{};
        int to = 0;
        if (fields >> name >> type && name == "LD" && type == 4) {
            fields >> card.tag >> card.segment >> to >> card.r >> card.x;
            EXPECT_EQ(to, card.segment) << line;
            cards.push_back(card);
        }
    }
    return cards;
}

} // namespace

// On a lone tube fed at its centre, and on a deck's driven element, the
// correction is in series with the source: the feed impedance moves by it.
TEST(ElementCorrection, MovesTheBareElementsFeedImpedanceByItself)
{
    const Complex dz(7.5, -12);
    for (const NecJob& job : {twentyMetres(), beam()}) {
        const Complex plain = bareOf(job, {});
        const Complex moved = bareOf(job, dz);
        EXPECT_NEAR((moved - plain).real(), dz.real(), 1e-3) << plain;
        EXPECT_NEAR((moved - plain).imag(), dz.imag(), 1e-3) << plain;
    }
}

// With the match: one card per cage wire beside the feed point, each
// carrying the cage's share so that together they are the correction; none
// without a correction, and none in the average gain test's run.
TEST(ElementCorrection, SitsBesideTheFeedPointOnEveryCageWire)
{
    const Segmentation cut{14.2, 1};
    Match match{0.025, 0.0127, 0.15, 1.2, 80};
    const auto plain = dipoleMatchDeck(10.1, match, cut, Controls{{14.2}, false});
    ASSERT_NE(okOrFail(plain), nullptr);
    EXPECT_TRUE(correctionCards(std::get<std::string>(plain)).empty());

    match.elementCorrection = {4, -6};
    const auto wires = matchWires(match, {-5.05, 0, 0}, {5.05, 0, 0}, {0, 0, 0}, {0, 0, 1}, cut, 1, 2);
    const auto* made = okOrFail(wires);
    ASSERT_NE(made, nullptr);
    const auto deck = dipoleMatchDeck(10.1, match, cut, Controls{{14.2}, false});
    ASSERT_NE(okOrFail(deck), nullptr);
    const auto cards = correctionCards(std::get<std::string>(deck));
    const auto n = static_cast<double>(made->feedSideWires.size());
    ASSERT_EQ(cards.size(), made->feedSideWires.size());
    ASSERT_EQ(n, made->cage ? made->cageWires : 1);
    // The segments, counted within tag 1, end on the feed point.
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const auto wire = static_cast<std::size_t>(made->feedSideWires[i]);
        int before = 0;
        for (std::size_t w = 0; w < wire; ++w) {
            before += made->wires[w].segments;
        }
        EXPECT_EQ(cards[i].tag, 1);
        EXPECT_EQ(cards[i].segment, before + made->wires[wire].segments);
        EXPECT_NEAR(made->wires[wire].to[0], 0, 1e-12);
        EXPECT_NEAR(cards[i].r, 4 * n, 1e-9);
        EXPECT_NEAR(cards[i].x, -6 * n, 1e-9);
    }

    // The user's deck: the same cards, numbered within the deck's tag, and
    // left out in free space.
    const NecJob b = beam();
    const UserDeck& user = std::get<UserDeck>(b.element);
    Match onBeam{0.025, 0.0127, 0.1, 0.6, 60};
    onBeam.elementCorrection = {4, -6};
    const auto withLoads = userDeck(user, UserDeckRun{&onBeam, Controls{{28.5}, false}}, Segmentation{28.5, 1});
    ASSERT_NE(okOrFail(withLoads), nullptr);
    EXPECT_FALSE(correctionCards(std::get<std::string>(withLoads)).empty());
    const auto freeSpace
        = userDeck(user, UserDeckRun{&onBeam, Controls{{28.5}, true}, false, true}, Segmentation{28.5, 1});
    ASSERT_NE(okOrFail(freeSpace), nullptr);
    EXPECT_TRUE(correctionCards(std::get<std::string>(freeSpace)).empty());
}

// A reading NEC-2's model makes of a build with a known correction gives
// that correction back; the model's own reading gives none, in one run.
TEST(CalibrateBuild, GivesBackTheCorrectionThatMadeTheReading)
{
    struct Row {
        const char* name;
        NecJob job;
        double rod, pf;
        Complex dz;
    };
    const std::vector<Row> rows{
        {"dipole, feed resistance up", twentyMetres(), 1.26, 79, {8, -20}},
        {"dipole, element long", twentyMetres(), 1.26, 79, {-3, 25}},
        {"beam, feed resistance down", beam(), 0.62, 90, {-3, 6}},
        {"beam, shorted capacitor", beam(), 0.62, 0, {2, -10}},
    };
    for (const Row& row : rows) {
        NecJob truth = row.job;
        truth.elementCorrection = row.dz;
        const Complex reading = zinOf(truth, row.rod, row.pf);
        const auto read = calibrateBuild(row.job, row.rod, row.pf, reading);
        const auto* r = okOrFail(read);
        ASSERT_NE(r, nullptr) << row.name;
        EXPECT_NEAR(std::abs(r->calibratedZin - reading), 0, kReadingTolerance * 50) << row.name;
        EXPECT_NEAR(r->correction.real(), row.dz.real(), 0.05 * std::abs(row.dz)) << row.name;
        EXPECT_NEAR(r->correction.imag(), row.dz.imag(), 0.05 * std::abs(row.dz)) << row.name;
        EXPECT_LE(r->runs, kCalibrationRuns) << row.name;

        const auto asModelled = calibrateBuild(row.job, row.rod, row.pf, r->modelZin);
        const auto* m = okOrFail(asModelled);
        ASSERT_NE(m, nullptr) << row.name;
        EXPECT_EQ(m->correction, Complex(0, 0)) << row.name;
        EXPECT_EQ(m->runs, 1) << row.name;
    }
}

// The builder's step: built at the closed form's match, read on an antenna
// that differs from the model; the next cut, built on that antenna, matches.
TEST(NextCut, MatchesTheAntennaTheReadingCameFrom)
{
    struct Row {
        const char* name;
        NecJob job;
        Complex dz;
    };
    for (const Row& row : std::vector<Row>{{"dipole", twentyMetres(), {10, -30}}, {"beam", beam(), {-2, 8}}}) {
        const auto refined = refine(row.job);
        const auto* model = okOrFail(refined);
        ASSERT_NE(model, nullptr) << row.name;
        NecJob truth = row.job;
        truth.elementCorrection = row.dz;
        // Built at the model's match: off on the antenna that differs.
        const Complex reading = zinOf(truth, model->rodLength, model->capacitancePf);
        EXPECT_GT(physics::swr(reading, 50), 1.3) << row.name;

        const auto cut = nextCut(row.job, model->rodLength, model->capacitancePf, reading);
        const auto* next = okOrFail(cut);
        ASSERT_NE(next, nullptr) << row.name;
        EXPECT_LT(next->next.swr, 1.05) << row.name;
        EXPECT_EQ(next->runs, next->read.runs + next->next.runs) << row.name;
        // The element the reading shows: NEC's bare element moved by dZ.
        EXPECT_NEAR(std::abs(next->next.feedImpedance - (model->feedImpedance + row.dz)), 0, 0.05 * std::abs(row.dz))
            << row.name;
        const Complex built = zinOf(truth, next->next.rodLength, next->next.capacitancePf);
        EXPECT_LT(physics::swr(built, 50), 1.05) << row.name << ": " << built;
    }
}
