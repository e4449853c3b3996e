// SPDX-License-Identifier: GPL-3.0-or-later
// vostrel-design adjust: a reading of the built match in, the next strap
// position and capacitor out; its refusals and statuses, readings made by
// analyze fed back (at the match and through a cable), its CSV and text.
#include "cli_test_support.h"
#include "coax_cable.h"
#include "design_cli.h"
#include "gamma_design.h"
#include "line_transform.h"
#include "tool_output.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using vostrel::design::ExitStatus;
using vostrel::design::runDesignCli;
using Complex = std::complex<double>;
namespace coax = vostrel::coax;

namespace {

using cliTest::CliRun;
using cliTest::joined;
using cliTest::run;

// The ARRL example's geometry at 14.3 MHz.
const std::vector<std::string> kGeometry
    = {"--freq", "14.3", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"};
// Built at the textbook design for 25 - j25 ohms, as the text shows it.
const std::vector<std::string> kBuilt = joined(kGeometry, {"--textbook", "--length", "38.90in", "--cap", "96.14"});

CliRun adjust(const std::vector<std::string>& more)
{
    return run(joined(joined({"adjust"}, kBuilt), more));
}

using cliTest::contains;
using cliTest::csvRow;
using cliTest::exact;
using cliTest::number;
using cliTest::TempFile;
using toolOutput::fields;
using toolOutput::lines;

// What analyze says a build with this element impedance shows at the
// match, exactly as computed.
Complex analysedReading(const std::vector<std::string>& build, Complex za, std::string freq = "14.3")
{
    std::vector<std::string> args = {"analyze", "--csv", "--r", exact(za.real()), "--x", exact(za.imag())};
    args = joined(args, build);
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--freq") {
            args[i + 1] = freq;
        }
    }
    const CliRun analysed = run(args);
    EXPECT_EQ(analysed.status, ExitStatus::Solved) << analysed.err;
    auto row = csvRow(analysed.out);
    return {number(row["r_ohm"]), number(row["x_ohm"])};
}

std::string zinText(Complex z)
{
    return exact(z.real()) + "," + exact(z.imag());
}

// An impedance as the text report rounds it: "41.59 - j14.87".
std::string shown(Complex z)
{
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.2f %c j%.2f", z.real(), z.imag() < 0 ? '-' : '+', std::abs(z.imag()));
    return text.data();
}

std::string nanoVna()
{
    return std::string(VOSTREL_DESIGN_TESTS) + "/nanovna.s1p";
}

// Every refusal: its status, a line saying why, nothing on standard
// output to build from.
struct RefusalRow {
    const char* name;
    std::vector<std::string> more; // after adjust and the built match
    ExitStatus status;
    const char* message;
};

void PrintTo(const RefusalRow& row, std::ostream* out)
{
    *out << row.name;
}

class AdjustRefusals : public testing::TestWithParam<RefusalRow> { };

TEST_P(AdjustRefusals, SayWhyInOneLineWithTheirStatus)
{
    const CliRun result = adjust(GetParam().more);
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_TRUE(contains(result.err, GetParam().message)) << result.err;
    const auto said = lines(result.err);
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.front().rfind("vostrel-design: ", 0), 0U) << result.err;
    // A usage error adds where to read more; nothing else takes a second line.
    EXPECT_LE(said.size(), 2U) << result.err;
    if (said.size() == 2) {
        EXPECT_EQ(said[1], "Try 'vostrel-design --help' for more information.");
    }
    EXPECT_FALSE(std::regex_search(said.front(), std::regex("\\b(nan|inf)\\b"))) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Rows, AdjustRefusals,
    testing::Values(
        // The options.
        RefusalRow{"bothReadings", {"--zin", "40,10", "--zin-s1p", "x.s1p"}, ExitStatus::BadInput,
            "--zin and --zin-s1p each give the reading: give one"},
        RefusalRow{"noReading", {}, ExitStatus::BadInput, "adjust needs what the analyser read"},
        RefusalRow{"readingWithoutReactance", {"--zin", "40"}, ExitStatus::BadInput,
            "--zin: \"40\" is not a reading: give the resistance and the reactance"},
        RefusalRow{"readingNotANumber", {"--zin", "40,j10"}, ExitStatus::BadInput, "--zin: \"40,j10\" is not"},
        RefusalRow{"readingThreeFields", {"--zin", "40,10,3"}, ExitStatus::BadInput, "--zin: \"40,10,3\" is not"},
        RefusalRow{"readingTooLarge", {"--zin", "1e400,0"}, ExitStatus::BadInput, "--zin: \"1e400,0\" is not"},
        RefusalRow{"bothCables", {"--zin", "40,10", "--through", "rg213,15m", "--through-line", "50,0.66,16@100,12m"},
            ExitStatus::BadInput, "--through and --through-line each give the cable: give one"},
        RefusalRow{"unknownCable", {"--zin", "40,10", "--through", "rg999,15m"}, ExitStatus::BadInput,
            "--through: unknown cable \"rg999\": the known cables are RG-58, RG-8X, RG-213"},
        RefusalRow{"cableFiguresAsAName", {"--zin", "40,10", "--through", "50,0.66,16@100,12m"}, ExitStatus::BadInput,
            "--through: \"50,0.66,16@100,12m\" is a line by its figures"},
        RefusalRow{"cableNameAsFigures", {"--zin", "40,10", "--through-line", "rg213,15m"}, ExitStatus::BadInput,
            "--through-line: \"rg213,15m\" names a cable"},
        RefusalRow{"cableBadFigures", {"--zin", "40,10", "--through-line", "50,1.2,16@100,12"}, ExitStatus::BadInput,
            "--through-line: the velocity factor must be between 0.01 and 1"},
        RefusalRow{"modelResistanceAlone", {"--zin", "40,10", "--r", "25"}, ExitStatus::BadInput, "--x is needed"},
        RefusalRow{"dielectricWithoutTube", {"--zin", "40,10", "--dielectric", "ptfe"}, ExitStatus::BadInput,
            "--dielectric is the sleeve in the capacitor's tube: give --tube-id too"},
        RefusalRow{"tubeNarrowerThanTheRod", {"--zin", "40,10", "--tube-id", "10mm"}, ExitStatus::BadInput,
            "--tube-id: the rod must fit inside the tube"},
        RefusalRow{"missingFile", {"--zin-s1p", "/nonexistent/x.s1p"}, ExitStatus::BadInput,
            "--zin-s1p: cannot open \"/nonexistent/x.s1p\": No such file or directory"},
        RefusalRow{"unreadableFile", {"--zin-s1p", "/proc/self/mem"}, ExitStatus::InputUnreadable,
            "--zin-s1p: cannot read \"/proc/self/mem\": Input/output error"},
        RefusalRow{"zeroElementLength", {"--zin", "40,10", "--element-length", "0m"}, ExitStatus::BadInput,
            "--element-length: the element is 0.000 m long, 0 wavelengths at 14.3 MHz"},
        // What the reading or the build rules out.
        RefusalRow{"negativeResistance", {"--zin", "-5,10"}, ExitStatus::NoSolution,
            "the reading has a negative resistance (-5.00 ohms) at the connector"},
        RefusalRow{"negativeOnceTheCableIsOut", {"--zin", "10,0", "--through", "rg58,60m"}, ExitStatus::NoSolution,
            "negative resistance (-"},
        RefusalRow{"short", {"--zin", "0.5,0"}, ExitStatus::NoSolution, "is what a short or an open shows"},
        RefusalRow{"noMatchForTheElement", {"--zin", "40,-120"}, ExitStatus::NoSolution,
            "the reading shows an element impedance of 4.97 - j2.62 ohms, and no gamma match"},
        RefusalRow{"builtRodBeyondTheElement", {"--zin", "40,10", "--element-length", "1.9m"}, ExitStatus::NoSolution,
            "the rod as built (0.988 m) is longer than"}),
    [](const testing::TestParamInfo<RefusalRow>& info) { return std::string(info.param.name); });

// A sweep that does not reach --freq has no reading there: status 1, the
// file's span said, and the unit hint for a file that names none.
TEST(AdjustCli, ASweepBesideTheFrequencyIsRefused)
{
    const TempFile below("# MHz Z RI R 50\n13.9 30 -10\n14.0 31 -8\n");
    const CliRun result = adjust({"--zin-s1p", below.path()});
    EXPECT_EQ(result.status, ExitStatus::NoSolution);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(lines(result.err).size(), 1U) << result.err;
    EXPECT_TRUE(contains(result.err,
        "the sweep runs from 13.900 to 14.000 MHz and does not reach the design frequency, 14.300 MHz: sweep across "
        "it"))
        << result.err;
    const TempFile inGigahertz("14.0 0.1 0.1\n14.5 0.1 0.1\n");
    EXPECT_TRUE(contains(adjust({"--zin-s1p", inGigahertz.path()}).err, "so its frequencies are in GHz"));
}

// The build is half of what adjust needs: without the rod length or the
// capacitor as built there is nothing to calibrate from.
TEST(AdjustCli, TheBuildIsNeeded)
{
    for (const std::vector<std::string>& given :
        {std::vector<std::string>{"--cap", "96"}, {"--length", "38.9in"}, {}}) {
        const CliRun result = run(joined(joined({"adjust", "--zin", "40,10"}, kGeometry), given));
        EXPECT_EQ(result.status, ExitStatus::BadInput);
        EXPECT_TRUE(result.out.empty());
        EXPECT_TRUE(contains(result.err, "vostrel-design: adjust needs --length and --cap\n")) << result.err;
    }
}

// An open at the far end of the cable explains a reading of
// Z0 / tanh(gamma l): nothing to calibrate from.
TEST(AdjustCli, AnOpenAtTheFarEndOfTheCableIsRefused)
{
    const coax::Line cable = coax::lineOf(*std::get<const coax::Cable*>(coax::findCable("rg213")), 15);
    const Complex open = cable.impedance / std::tanh(coax::propagation(cable, 14.3) * cable.length);
    const CliRun result = adjust({"--zin", zinText(open), "--through", "rg213,15m"});
    EXPECT_EQ(result.status, ExitStatus::NoSolution);
    EXPECT_TRUE(result.out.empty());
    EXPECT_TRUE(contains(result.err, "what an open at the far end of the cable shows")) << result.err;
}

// The round trip: what analyze says a build with a known element shows,
// given to adjust, gives that element back, and a next step that is the
// design for it, with SWR 1.
TEST(AdjustCli, AnAnalyzedReadingGivesBackTheElementAndAMatchedNextStep)
{
    struct Case {
        std::vector<std::string> model; // share and closed form
        Complex za;
        std::string length;
        std::string cap;
    };
    const std::vector<Case> cases = {
        {{"--textbook"}, {25, -25}, "38.9in", "96.14"},
        {{"--textbook"}, {18, -40}, "38.9in", "96.14"},
        {{}, {30, -10}, "36in", "120"},
        {{"--half"}, {45, -30}, "1.1m", "70"},
        {{"--half", "--textbook"}, {60, -5}, "990mm", "short"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> build
            = joined(joined(kGeometry, c.model), {"--length", c.length, "--cap", c.cap});
        const Complex reading = analysedReading(build, c.za);
        const std::string what = c.length + " " + c.cap + " " + exact(c.za.real()) + "," + exact(c.za.imag());

        const CliRun adjusted = run(
            joined({"adjust", "--csv", "--units", "mm", "--zin", zinText(reading), "--r", "25", "--x", "-25"}, build));
        ASSERT_EQ(adjusted.status, ExitStatus::Solved) << what << adjusted.err;
        auto row = csvRow(adjusted.out);
        EXPECT_NEAR(number(row["element_r_ohm"]), c.za.real(), 1e-6) << what;
        EXPECT_NEAR(number(row["element_x_ohm"]), c.za.imag(), 1e-6) << what;
        EXPECT_NEAR(number(row["expected_swr"]), 1, 1e-6) << what;
        EXPECT_NEAR(number(row["read_r_ohm"]), reading.real(), 1e-9) << what;
        EXPECT_NEAR(number(row["read_x_ohm"]), reading.imag(), 1e-9) << what;

        // The next step is the design for that element, and the moves are
        // from the build to it.
        std::vector<std::string> designArgs
            = {"design", "--csv", "--units", "mm", "--r", exact(c.za.real()), "--x", exact(c.za.imag())};
        designArgs = joined(joined(designArgs, kGeometry), c.model);
        auto design = csvRow(run(designArgs).out);
        EXPECT_NEAR(number(row["rod_length"]), number(design["rod_length"]), 1e-6) << what;
        EXPECT_EQ(row["length_unit"], "mm");
        EXPECT_EQ(row["capacitor"], design["capacitor"]) << what;
        if (design["capacitor"] == "series") {
            EXPECT_NEAR(number(row["capacitance_pf"]), number(design["capacitance_pf"]), 1e-6) << what;
        }
        auto built = csvRow(run(joined({"analyze", "--csv", "--units", "mm", "--r", "25", "--x", "-25"}, build)).out);
        EXPECT_NEAR(number(row["strap_move"]), number(design["rod_length"]) - number(built["rod_length"]), 1e-6)
            << what;
        if (c.cap == "short" || design["capacitor"] == "shorted") {
            EXPECT_EQ(row["capacitance_change_pf"], "") << what;
        } else {
            EXPECT_NEAR(number(row["capacitance_change_pf"]), number(design["capacitance_pf"]) - std::stod(c.cap), 1e-6)
                << what;
        }
        // --r and --x are the model's estimate: what analyze gives for it.
        EXPECT_NEAR(number(row["model_r_ohm"]), number(built["r_ohm"]), 1e-9) << what;
        EXPECT_NEAR(number(row["model_x_ohm"]), number(built["x_ohm"]), 1e-9) << what;
    }
}

// The same reading at the shack end of a cable, given with the cable,
// gives the same answer; the cable's round trip loss is told.
TEST(AdjustCli, AReadingThroughACableGivesTheSameAnswer)
{
    const Complex za(22, -31);
    const Complex atMatch = analysedReading(kBuilt, za);
    const CliRun direct = adjust({"--csv", "--zin", zinText(atMatch)});
    ASSERT_EQ(direct.status, ExitStatus::Solved) << direct.err;
    auto expected = csvRow(direct.out);
    EXPECT_EQ(expected["cable_loss_db"], "");

    struct Cable {
        std::string option;
        std::string text;
    };
    for (const Cable& given : {Cable{"--through", "rg213,15m"}, Cable{"--through", "RG-58,100ft"},
             Cable{"--through-line", "75,0.8,3@100,7.5"}}) {
        const coax::Line line = std::get<coax::Line>(coax::parseLine(given.text));
        const Complex atShack = coax::inputImpedance(line, 14.3, atMatch);
        ASSERT_GT(std::abs(atShack - atMatch), 1) << given.text << ": the cable must change the reading";
        const CliRun through = adjust({"--csv", "--zin", zinText(atShack), given.option, given.text});
        ASSERT_EQ(through.status, ExitStatus::Solved) << through.err;
        auto row = csvRow(through.out);
        EXPECT_NEAR(number(row["element_r_ohm"]), za.real(), 1e-6) << given.text;
        EXPECT_NEAR(number(row["element_x_ohm"]), za.imag(), 1e-6) << given.text;
        EXPECT_NEAR(number(row["read_r_ohm"]), atMatch.real(), 1e-6) << given.text;
        EXPECT_NEAR(number(row["read_x_ohm"]), atMatch.imag(), 1e-6) << given.text;
        for (const char* column : {"rod_length", "strap_move", "capacitance_pf", "capacitance_change_pf"}) {
            EXPECT_NEAR(number(row[column]), number(expected[column]), 1e-6) << given.text << " " << column;
        }
        EXPECT_NEAR(number(row["expected_swr"]), 1, 1e-6);
        EXPECT_NEAR(number(row["cable_loss_db"]), coax::roundTripLossDb(line, 14.3), 1e-12) << given.text;
        EXPECT_EQ(row["warning"], "") << "a short, good cable at 14.3 MHz";

        const CliRun text = adjust({"--zin", zinText(atShack), given.option, given.text});
        EXPECT_TRUE(contains(text.out, "At the match, the cable taken out: " + shown(atMatch) + " ohms")) << text.out;
    }
}

// The core's worked example, textbook: built 38.90 in and 96.14 pF, read
// 40 + j10 -> Za 23.24 - j32.42, next 42.11 in (the strap 81.5 mm further
// out), 80.17 pF (-15.97 pF).
TEST(AdjustCli, TheCsvHasItsColumnsAndTheRowsValues)
{
    const CliRun result = adjust({"--csv", "--zin", "40,10", "--units", "mm"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    EXPECT_EQ(lines(result.out).front(),
        "freq_mhz,rod_length,length_unit,strap_move,capacitance_pf,capacitance_change_pf,capacitor,expected_swr,"
        "element_r_ohm,element_x_ohm,read_r_ohm,read_x_ohm,read_swr,model_r_ohm,model_x_ohm,insertion_length,"
        "insertion_change,swr_min_mhz,swr_min_swr,swr_min_next_mhz,swr_min_next_swr,skipped_points,cable_loss_db,"
        "share,closed_form,warning,adjusted_in,nec_correction_r_ohm,nec_correction_x_ohm,nec_runs");
    auto row = csvRow(result.out);
    EXPECT_EQ(row["freq_mhz"], "14.3");
    EXPECT_EQ(row["adjusted_in"], "closed_form");
    EXPECT_EQ(row["nec_runs"], "");
    EXPECT_NEAR(number(row["rod_length"]), 42.11 * 25.4, 0.2);
    EXPECT_EQ(row["length_unit"], "mm");
    EXPECT_NEAR(number(row["strap_move"]), 81.5, 0.1);
    EXPECT_NEAR(number(row["capacitance_pf"]), 80.17, 0.01);
    EXPECT_NEAR(number(row["capacitance_change_pf"]), 80.17 - 96.14, 0.01);
    EXPECT_EQ(row["capacitor"], "series");
    EXPECT_NEAR(number(row["expected_swr"]), 1, 1e-9);
    // Built from the rounded 38.90 in and 96.14 pF: within a hundredth.
    EXPECT_NEAR(number(row["element_r_ohm"]), 23.24, 0.015);
    EXPECT_NEAR(number(row["element_x_ohm"]), -32.42, 0.015);
    EXPECT_EQ(row["read_r_ohm"], "40");
    EXPECT_EQ(row["read_x_ohm"], "10");
    const double rho = std::abs((Complex(40, 10) - 50.0) / (Complex(40, 10) + 50.0));
    EXPECT_NEAR(number(row["read_swr"]), (1 + rho) / (1 - rho), 1e-12);
    for (const char* empty : {"model_r_ohm", "model_x_ohm", "insertion_length", "insertion_change", "swr_min_mhz",
             "swr_min_next_mhz", "skipped_points", "cable_loss_db", "warning"}) {
        EXPECT_EQ(row[empty], "") << empty;
    }
    EXPECT_EQ(row["share"], "whole");
    EXPECT_EQ(row["closed_form"], "textbook");

    // A reading that wants the strap nearer has a negative move; the
    // tube's insertion follows the capacitor.
    const CliRun nearer = adjust({"--csv", "--zin", "60,0", "--tube-id", "16mm", "--dielectric", "ptfe"});
    ASSERT_EQ(nearer.status, ExitStatus::Solved) << nearer.err;
    auto moved = csvRow(nearer.out);
    EXPECT_EQ(moved["length_unit"], "in");
    EXPECT_NEAR(number(moved["strap_move"]), -2.67, 0.005);
    EXPECT_NEAR(number(moved["strap_move"]), number(moved["rod_length"]) - 38.90, 1e-9);
    const double next = number(moved["capacitance_pf"]);
    const auto inTube
        = [](double pf) { return std::get<double>(vostrel::design::insertionLength(pf, 0.016, 0.0127, 2.1)) / 0.0254; };
    EXPECT_NEAR(number(moved["insertion_length"]), inTube(next), 1e-9);
    EXPECT_NEAR(number(moved["insertion_change"]), inTube(next) - inTube(96.14), 1e-9);
}

TEST(AdjustCli, TheTextSaysWhatWasBuiltAndReadAndWhatToDoNext)
{
    const std::string designed
        = run(joined({"design", "--csv", "--r", "25", "--x", "-25", "--textbook", "--units", "in"}, kGeometry)).out;
    auto design = csvRow(designed);
    const std::vector<std::string> build = joined(kGeometry,
        {"--textbook", "--length", design["rod_length"] + "in", "--cap", design["capacitance_pf"], "--units", "mm"});
    const CliRun result
        = run(joined({"adjust", "--zin", "40,10", "--tube-id", "16mm", "--r", "25", "--x", "-25"}, build));
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    const std::string& text = result.out;
    EXPECT_TRUE(text.starts_with("Share: whole feed impedance stepped up (k = 1)\nClosed form: textbook line model\n"
                                 "Element 38.1 mm, rod 12.7 mm, spacing 152.4 mm centre to centre, 50 ohm line\n"))
        << text;
    for (const char* line : {"Built: rod 988.1 mm, feed point to strap; capacitor 96.14 pF\n",
             "Read at 14.3 MHz: 40.00 + j10.00 ohms (SWR 1.37)\n",
             "The model expected 50.00 + j0.00 ohms; the analyser read 40.00 + j10.00 ohms\n",
             "  Element Za from the reading       23.24 - j32.42 ohms\n",
             "  Next rod, feed point to strap     1069.6 mm\n",
             "  Move the strap                    81.5 mm further from the feed point\n",
             "  Next capacitor                    80.17 pF (-15.97 pF)\n",
             "  Expected SWR there                1.000\n"}) {
        EXPECT_TRUE(contains(text, line)) << line << "in\n" << text;
    }
    // Less capacitance: the rod comes out of the tube by the difference.
    const auto inTube
        = [](double pf) { return std::get<double>(vostrel::design::insertionLength(pf, 0.016, 0.0127, 1)) * 1000; };
    std::array<char, 128> tube{};
    std::snprintf(tube.data(), tube.size(), "  Rod in the capacitor's tube       %.1f mm: pull the rod %.1f mm out",
        inTube(80.1706), inTube(std::stod(design["capacitance_pf"])) - inTube(80.1706));
    EXPECT_TRUE(contains(text, tube.data())) << tube.data() << "\n" << text;
    EXPECT_FALSE(contains(text, "Lowest SWR")) << "no sweep";
    EXPECT_FALSE(contains(text, "Cable")) << "no cable";

    // Read as the model expected: nothing to change, and said so.
    const Complex asExpected = analysedReading(build, {25, -25});
    const CliRun same = run(joined({"adjust", "--zin", zinText(asExpected), "--tube-id", "16mm"}, build));
    for (const char* line :
        {"  Move the strap                    not at all\n",
            "  Next capacitor                    96.14 pF (as it is)\n", ": leave the rod where it is in the tube\n"}) {
        EXPECT_TRUE(contains(same.out, line)) << line << "in\n" << same.out;
    }

    const CliRun nearer = adjust({"--zin", "60,0", "--tube-id", "16mm"});
    EXPECT_TRUE(contains(nearer.out, "  Move the strap                    2.67 in nearer to the feed point\n"))
        << nearer.out;
    EXPECT_TRUE(contains(nearer.out, ": push the rod ")) << nearer.out;
    EXPECT_FALSE(contains(nearer.out, "The model expected")) << "no --r and --x";
}

// A sweep: the reading at --freq between its points, the frequency of the
// lowest SWR now (the file's point of lowest |S11|) and after the change.
TEST(AdjustCli, ASweepGivesTheFrequenciesOfLowestSwr)
{
    const CliRun result
        = run(joined({"adjust", "--csv", "--zin-s1p", nanoVna(), "--length", "38.9in", "--cap", "84.64"}, kGeometry));
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    auto row = csvRow(result.out);
    // 14.4 MHz has the smallest |S11| of the file, 0.433; 14.3 MHz is a
    // point, so the next build is matched there.
    EXPECT_EQ(row["swr_min_mhz"], "14.4");
    EXPECT_NEAR(number(row["swr_min_swr"]), (1 + 0.4333) / (1 - 0.4333), 0.002);
    EXPECT_EQ(row["swr_min_next_mhz"], "14.3");
    EXPECT_NEAR(number(row["swr_min_next_swr"]), 1, 1e-6);
    EXPECT_EQ(row["skipped_points"], "0");
    // S11 = -0.2 - j0.4 at 14.3 MHz: 25 - j25 ohms.
    EXPECT_NEAR(number(row["read_r_ohm"]), 25, 1e-9);
    EXPECT_NEAR(number(row["read_x_ohm"]), -25, 1e-9);

    const CliRun text
        = run(joined({"adjust", "--zin-s1p", nanoVna(), "--length", "38.9in", "--cap", "84.64"}, kGeometry));
    EXPECT_TRUE(contains(text.out, "Read: a sweep of 5 points; at 14.3 MHz, between them: 25.00 - j25.00 ohms"))
        << text.out;
    EXPECT_TRUE(contains(text.out, "  Lowest SWR now                    2.528 at 14.4 MHz\n")) << text.out;
    EXPECT_TRUE(contains(text.out, "  Lowest SWR after the change       1.000 at 14.3 MHz\n")) << text.out;
}

// A sweep analyze made of a build, the element's impedance changing with
// frequency: adjust finds the element at --freq between the points.
TEST(AdjustCli, AnAnalyzedSweepGivesBackTheElementBetweenItsPoints)
{
    const std::vector<std::string> build = joined(kGeometry, {"--length", "37in", "--cap", "90"});
    const auto za = [](double f) { return Complex(18 + 2 * (f - 14.3), -25 + 40 * (f - 14.3)); };
    std::string file = "# MHz Z RI R 1\n";
    for (const char* f : {"14.1", "14.29", "14.31", "14.5"}) {
        const Complex z = analysedReading(build, za(std::stod(f)), f);
        file += std::string(f) + " " + exact(z.real()) + " " + exact(z.imag()) + "\n";
    }
    const TempFile sweep(file);
    const CliRun result = run(joined({"adjust", "--csv", "--zin-s1p", sweep.path()}, build));
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    auto row = csvRow(result.out);
    // Zin is not linear in f, so the reading between points is close, not exact.
    EXPECT_NEAR(number(row["element_r_ohm"]), za(14.3).real(), 0.05);
    EXPECT_NEAR(number(row["element_x_ohm"]), za(14.3).imag(), 0.05);
    EXPECT_TRUE(row["swr_min_next_mhz"] == "14.29" || row["swr_min_next_mhz"] == "14.31") << row["swr_min_next_mhz"];
}

// A long, lossy cable: the answer comes with how little the reading says.
TEST(AdjustCli, ALossyCableWarnsWithTheRangeTheReadingLeaves)
{
    const std::vector<std::string> vhf = {"adjust", "--freq", "145", "--element", "10mm", "--rod", "6mm", "--spacing",
        "30mm", "--length", "400mm", "--cap", "20", "--zin", "55,0", "--through", "rg58,60m"};
    const CliRun text = run(vhf);
    ASSERT_EQ(text.status, ExitStatus::Solved) << text.err;
    EXPECT_TRUE(contains(text.out, "  Cable loss, there and back        23.50 dB at 145 MHz\n")) << text.out;
    EXPECT_TRUE(contains(text.out,
        "\nWarning: the cable loses 23.5 dB there and back at 145.000 MHz: a reading good "
        "to 0.01 in |S11| leaves the match's reflection anywhere from "))
        << text.out;
    auto row = csvRow(run(joined(vhf, {"--csv"})).out);
    EXPECT_NEAR(number(row["cable_loss_db"]), 23.5, 0.005);
    EXPECT_TRUE(row["warning"].starts_with("the cable loses 23.5 dB")) << row["warning"];
}

} // namespace
