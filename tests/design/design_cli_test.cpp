// SPDX-License-Identifier: GPL-3.0-or-later
// vostrel-design as a command: results, both shares, CSV shape, sweeps,
// measurement files, refusals and exit statuses.
#include "cli_test_support.h"
#include "design_cli.h"
#include "tool_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using vostrel::design::ExitStatus;
using vostrel::design::runDesignCli;

namespace {

struct CliRun {
    ExitStatus status;
    std::string out;
    std::string err;
};

CliRun run(std::vector<std::string_view> args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = runDesignCli(args, out, err);
    return {static_cast<ExitStatus>(status), out.str(), err.str()};
}

// The Antenna Book's 14.3 MHz example, with extra arguments.
// The ARRL example, with the textbook line model its figures are from.
CliRun runBook(std::vector<std::string_view> head, std::vector<std::string_view> tail = {})
{
    for (const std::string_view arg : {"--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5in", "--rod",
             "0.5in", "--spacing", "6in", "--textbook"}) {
        head.push_back(arg);
    }
    head.insert(head.end(), tail.begin(), tail.end());
    return run(head);
}

using cliTest::contains;
using cliTest::exact;
using cliTest::number;
using cliTest::TempFile;
using toolOutput::fields;
using toolOutput::lines;

// The CSV as column name -> value of row `row` (1 = the first after the header).
std::map<std::string, std::string> csvRow(const std::string& csv, std::size_t row = 1)
{
    const auto all = lines(csv);
    std::map<std::string, std::string> result;
    if (all.size() <= row) {
        ADD_FAILURE() << "no row " << row << " in\n" << csv;
        return result;
    }
    const auto names = fields(all[0]);
    const auto values = fields(all[row]);
    EXPECT_EQ(names.size(), values.size()) << all[row];
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        result[names[i]] = values[i];
    }
    return result;
}

} // namespace

TEST(DesignCli, DesignNamesTheShareAndGivesBothConventions)
{
    const CliRun whole = runBook({"design"});
    EXPECT_EQ(whole.status, ExitStatus::Solved) << whole.err;
    EXPECT_TRUE(contains(whole.out, "Share: whole feed impedance stepped up (k = 1)"));
    EXPECT_TRUE(contains(whole.out, "Rod line impedance Z0             314.40 ohms"));
    EXPECT_TRUE(contains(whole.out, "Current division alpha            1.5220"));
    EXPECT_TRUE(contains(whole.out, "Rod length, feed point to strap   38.90 in"));
    EXPECT_TRUE(contains(whole.out, "Capacitor                         96.14 pF"));
    EXPECT_TRUE(contains(whole.out, "Feed impedance: 25.00 - j25.00 ohms at 14.3 MHz"));

    const CliRun half = runBook({"design", "--half"});
    EXPECT_TRUE(contains(half.out, "Share: half the feed impedance stepped up (k = 1/2)"));
    EXPECT_TRUE(contains(half.out, "26.46 in"));
    EXPECT_TRUE(contains(half.out, "150.75 pF"));

    // Lengths in --units, else in the unit of --element.
    EXPECT_TRUE(contains(runBook({"design", "--units", "mm"}).out, "988.1 mm"));
    EXPECT_TRUE(contains(runBook({"design", "--units=cm"}).out, "98.81 cm"));
    const CliRun yagi = run({"design", "--freq", "144", "--r", "50", "--x", "0", "--element", "12mm", "--rod", "12",
        "--spacing", "38", "--textbook"});
    EXPECT_TRUE(contains(yagi.out, "161.2 mm")) << yagi.out << yagi.err;
    EXPECT_TRUE(contains(yagi.out, "12.76 pF"));
    EXPECT_TRUE(contains(yagi.out, "218.39 ohms"));
}

// Without --textbook the closed form adds the feed connection's and the
// strap's inductance (175 nH at the ARRL example's 6 in spacing and 0.5 in
// rod, 15.73 ohms at 14.3 MHz) to what the capacitor cancels: the rod is
// the same, the capacitor smaller, and the analysis of that design in the
// same model matches.
TEST(DesignCli, TheDefaultClosedFormAddsTheConnectionInductance)
{
    const std::vector<std::string_view> book
        = {"--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"};
    auto with = [&](std::vector<std::string_view> head) {
        head.insert(head.end(), book.begin(), book.end());
        return run(head);
    };
    const CliRun corrected = with({"design"});
    EXPECT_EQ(corrected.status, ExitStatus::Solved) << corrected.err;
    EXPECT_TRUE(contains(corrected.out, "Closed form: line model with the feed connection's and strap's inductance"));
    EXPECT_TRUE(contains(corrected.out, "Feed connection and strap         175.0 nH (15.73 ohms)")) << corrected.out;
    EXPECT_TRUE(contains(corrected.out, "Rod length, feed point to strap   38.90 in"));
    EXPECT_TRUE(contains(corrected.out, "Capacitor                         84.64 pF (reactance 131.49 ohms)"));
    EXPECT_FALSE(contains(runBook({"design"}).out, "Feed connection"));

    auto row = csvRow(with({"design", "--csv"}).out);
    EXPECT_EQ(row["closed_form"], "corrected");
    EXPECT_NEAR(number(row["capacitance_pf"]), 84.64, 0.5e-2);
    EXPECT_EQ(csvRow(runBook({"design", "--csv"}).out)["closed_form"], "textbook");
    EXPECT_NEAR(number(csvRow(with({"design", "--csv", "--half"}).out)["capacitance_pf"]), 124.28, 0.5e-2);

    // Built as designed, in the model that designed it.
    row = csvRow(with({"analyze", "--csv", "--length", "38.902in", "--cap", "84.64"}).out);
    EXPECT_EQ(row["closed_form"], "corrected");
    EXPECT_NEAR(number(row["swr"]), 1.000, 0.5e-3);
    row = csvRow(runBook({"analyze", "--csv"}, {"--length", "38.902in", "--cap", "84.64"}).out);
    EXPECT_GT(number(row["swr"]), 1.1); // the textbook model calls it off
}

TEST(DesignCli, DesignCsvHasOneRowAndTheReasonWhenNothingMatches)
{
    const CliRun solved = runBook({"design", "--csv"});
    ASSERT_EQ(lines(solved.out).size(), 2U);
    auto row = csvRow(solved.out);
    EXPECT_NEAR(number(row["rod_length"]), 38.90, 0.5e-2);
    EXPECT_EQ(row["length_unit"], "in");
    EXPECT_NEAR(number(row["capacitance_pf"]), 96.14, 0.5e-2);
    EXPECT_NEAR(number(row["z0_ohm"]), 314.40, 0.5e-2);
    EXPECT_NEAR(number(row["alpha"]), 1.5220, 0.5e-4);
    EXPECT_NEAR(number(row["step_up"]), 6.3606, 0.5e-4); // 2.522026^2
    EXPECT_NEAR(number(row["reactance_ohm"]), 115.77, 0.5e-2);
    EXPECT_EQ(row["share"], "whole");
    EXPECT_EQ(row["capacitor"], "series");
    EXPECT_EQ(row["reason"], "");
    EXPECT_EQ(csvRow(runBook({"design", "--csv", "--half"}).out)["share"], "half");

    const CliRun none = run({"design", "--csv", "--freq", "14.3", "--r", "5", "--x", "10", "--element", "1.5in",
        "--rod", "0.5in", "--spacing", "6in"});
    EXPECT_EQ(none.status, ExitStatus::NoSolution);
    row = csvRow(none.out);
    EXPECT_EQ(row["rod_length"], "");
    EXPECT_EQ(row["capacitance_pf"], "");
    EXPECT_EQ(row["reactance_ohm"], "");
    EXPECT_NEAR(number(row["needed_reactance_ohm"]), -3.78, 0.5e-2); // -sqrt(31.80 * 18.20) / 6.3606
    EXPECT_TRUE(contains(row["reason"], "shorten it until its reactance is below -3.8 ohms"));
    EXPECT_TRUE(contains(row["reason"], "or use a thinner rod or a closer spacing"));
    // Read by a person: the model's values on standard output, the reason
    // on standard error, as a sweep gives it.
    const CliRun noneShown = run({"design", "--freq", "14.3", "--r", "5", "--x", "10", "--element", "1.5in", "--rod",
        "0.5in", "--spacing", "6in"});
    EXPECT_EQ(noneShown.status, ExitStatus::NoSolution);
    EXPECT_TRUE(contains(noneShown.out, "Stepped-up impedance Z2")) << noneShown.out;
    EXPECT_FALSE(contains(noneShown.out, "shorten it")) << noneShown.out;
    EXPECT_TRUE(noneShown.err.starts_with("vostrel-design: no gamma match of this geometry")) << noneShown.err;

    // On the boundary the capacitor is a short.
    // On the boundary the textbook's capacitor is a short; the corrected
    // closed form keeps one, to cancel the feed connection and strap.
    const std::vector<std::string_view> boundary = {"design", "--csv", "--freq", "144", "--r", "12.5", "--x", "0",
        "--element", "12mm", "--rod", "12mm", "--spacing", "38mm"};
    std::vector<std::string_view> textbook = boundary;
    textbook.emplace_back("--textbook");
    const CliRun shorted = run(textbook);
    EXPECT_EQ(shorted.status, ExitStatus::Solved);
    row = csvRow(shorted.out);
    EXPECT_EQ(row["capacitor"], "shorted");
    EXPECT_EQ(row["capacitance_pf"], "");
    EXPECT_NEAR(number(row["reactance_ohm"]), 0.00, 0.5e-2);
    EXPECT_EQ(row["closed_form"], "textbook");
    row = csvRow(run(boundary).out);
    EXPECT_EQ(row["capacitor"], "series");
    EXPECT_NEAR(number(row["capacitance_pf"]), 52.22, 0.5e-2);
    EXPECT_NEAR(number(row["reactance_ohm"]), 21.16, 0.5e-2);
    EXPECT_EQ(row["closed_form"], "corrected");
}

TEST(DesignCli, AnalyzeShowsWhatTheBuiltMatchDoes)
{
    // Owen Duffy's Yagi as built: 160 mm, capacitor shorted.
    const CliRun built = run({"analyze", "--freq", "144", "--r", "50", "--x", "0", "--element", "12mm", "--rod", "12mm",
        "--spacing", "38mm", "--length", "160mm", "--cap", "short"});
    EXPECT_EQ(built.status, ExitStatus::Solved) << built.err;
    EXPECT_TRUE(contains(built.out, "49.37 + j86.23 ohms")) << built.out;
    EXPECT_TRUE(contains(built.out, "Share: whole"));

    auto row = csvRow(runBook({"analyze", "--csv"}, {"--length", "38.902in", "--cap", "96.14pF"}).out);
    EXPECT_NEAR(number(row["r_ohm"]), 50.00, 0.5e-2);
    EXPECT_NEAR(number(row["x_ohm"]), 0.00, 0.5e-2);
    EXPECT_NEAR(number(row["swr"]), 1.000, 0.5e-3);
    EXPECT_EQ(row["share"], "whole");
    EXPECT_NEAR(number(row["capacitance_pf"]), 96.14, 0.5e-2);
    // A length without a unit is in the element's unit, whatever --units shows.
    row = csvRow(runBook({"analyze", "--csv", "--units", "mm"}, {"--length", "38.902", "--cap", "96.14"}).out);
    EXPECT_NEAR(number(row["rod_length"]), 988.1, 0.5e-1);
    EXPECT_NEAR(number(row["swr"]), 1.000, 0.5e-3);
    // A capacitance with a blank before pF, and a unit in capitals.
    row = csvRow(runBook({"analyze", "--csv", "--units", "IN"}, {"--length", "38.902in", "--cap", "96.14 pF"}).out);
    EXPECT_NEAR(number(row["capacitance_pf"]), 96.14, 0.5e-2);
    EXPECT_EQ(row["length_unit"], "in");

    EXPECT_EQ(runBook({"analyze"}, {"--length", "38.9in"}).status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(runBook({"analyze"}, {"--length", "0in", "--cap", "96"}).err, "--length: "));
    EXPECT_TRUE(contains(runBook({"analyze"}, {"--length", "1in", "--cap", "-5"}).err, "--cap: "));
    EXPECT_TRUE(contains(runBook({"analyze"}, {"--length", "1in", "--cap", "5uF"}).err, "not a capacitance"));
}

// Units and "short" in any case, pF with or without a blank, as --units takes MM.
// A file without an option line is in GHz: a frequency outside it says so.
TEST(DesignCli, AFrequencyOutsideAFileWithoutOptionLineIsHinted)
{
    const TempFile file("14.0 0.2 0.1\n14.1 0.2 0.1\n");
    const CliRun result = run({"sweep", "freq", "--s1p", file.path(), "--freq", "14.05", "--element", "1.5in", "--rod",
        "0.5in", "--spacing", "6in", "--length", "30", "--cap", "96"});
    EXPECT_EQ(result.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(result.err,
        "outside the file's frequencies; the file has no option line, so its "
        "frequencies are in GHz"))
        << result.err;
}

TEST(DesignCli, ValueFormsInAnyCase)
{
    for (const std::string_view cap : {"SHORT", "Short", "short"}) {
        const CliRun shorted = runBook({"analyze", "--csv"}, {"--length", "38.9in", "--cap", cap});
        EXPECT_EQ(shorted.status, ExitStatus::Solved) << cap << shorted.err;
        EXPECT_EQ(csvRow(shorted.out)["capacitance_pf"], "") << cap;
    }
    for (const std::string_view cap : {"96.14pf", "96.14 PF", "96.14pF", "96.14"}) {
        const CliRun given = runBook({"analyze", "--csv", "--units", "MM"}, {"--length", "38.9in", "--cap", cap});
        EXPECT_EQ(given.status, ExitStatus::Solved) << cap << given.err;
        EXPECT_EQ(csvRow(given.out)["capacitance_pf"], "96.14") << cap;
        EXPECT_EQ(csvRow(given.out)["length_unit"], "mm") << cap;
    }
    const CliRun equals = run({"design", "--freq=14.3", "--r=25", "--x=-25", "--element=1.5in", "--rod=0.5in",
        "--spacing=6in", "--dielectric=PTFE"});
    EXPECT_EQ(equals.status, ExitStatus::BadInput); // --dielectric belongs to capacitor
    EXPECT_EQ(run({"design", "--freq=14.3", "--r=25", "--x=-25", "--element=1.5in", "--rod=0.5in", "--spacing=6in",
                      "--textbook"})
                  .out,
        runBook({"design"}).out);
}

TEST(DesignCli, CapacitorFromAMeasuredReactance)
{
    CliRun result = run({"capacitor", "--freq", "14.2", "--x", "86"});
    EXPECT_EQ(result.status, ExitStatus::Solved);
    EXPECT_TRUE(contains(result.out, "130.33 pF"));
    result = run({"capacitor", "--csv", "--freq", "14.2", "--x", "86", "--tube-id", "10.2mm", "--rod", "6.35mm",
        "--dielectric", "ptfe"});
    auto row = csvRow(result.out);
    EXPECT_NEAR(number(row["capacitance_pf"]), 130.33, 0.5e-2);
    EXPECT_NEAR(number(row["insertion_length"]), 528.7, 0.5e-1);
    EXPECT_EQ(row["length_unit"], "mm");
    EXPECT_NEAR(number(row["permittivity"]), 2.1, 0.5e-1);
    row = csvRow(run({"capacitor", "--csv", "--freq", "14.2", "--x", "86", "--tube-id", "10.2mm", "--rod", "6.35mm",
                         "--dielectric", "2.25", "--units", "in"})
                     .out);
    EXPECT_NEAR(number(row["insertion_length"]), 19.43, 0.5e-2); // 130.33 pF at 264.1 pF/m
    EXPECT_EQ(row["length_unit"], "in");

    EXPECT_EQ(run({"capacitor", "--freq", "14.2", "--x", "-3"}).status, ExitStatus::NoSolution);
    EXPECT_TRUE(contains(run({"capacitor", "--freq", "14.2", "--x", "0"}).out, "keep the capacitor shorted"));
    EXPECT_TRUE(contains(run({"capacitor", "--freq", "14.2", "--x", "86", "--tube-id", "6mm", "--rod", "6.35mm"}).err,
        "--tube-id: the rod must fit"));
    EXPECT_TRUE(contains(
        run({"capacitor", "--freq", "14.2", "--x", "86", "--tube-id", "10mm", "--rod", "6mm", "--dielectric", "wood"})
            .err,
        "--dielectric"));
    EXPECT_EQ(run({"capacitor", "--freq", "14.2", "--x", "86", "--tube-id", "10mm"}).status, ExitStatus::BadInput);
}

TEST(DesignCli, SweepsCountTheirRowsAndHoldTheDesign)
{
    const CliRun caps = runBook({"sweep", "cap", "70:150:1", "--csv"});
    EXPECT_EQ(caps.status, ExitStatus::Solved) << caps.err;
    const auto all = lines(caps.out);
    ASSERT_EQ(all.size(), 82U);
    EXPECT_EQ(all[0], "capacitance_pf,r_ohm,x_ohm,swr,feed_r_ohm,feed_x_ohm,share,closed_form");
    EXPECT_NEAR(number(fields(all[1])[0]), 70, 0.5);
    EXPECT_NEAR(number(fields(all[81])[0]), 150, 0.5);
    // The design's capacitor, 96.14 pF, lies between the rows of 96 and 97.
    EXPECT_NEAR(number(fields(all[27])[0]), 96, 0.5);
    EXPECT_NEAR(number(fields(all[27])[1]), 50.00, 0.5e-2);
    EXPECT_LT(std::stod(fields(all[27])[3]), 1.01);
    EXPECT_GT(std::stod(fields(all[1])[3]), 1.5);

    const CliRun human = runBook({"sweep", "cap", "90:100:5"});
    EXPECT_TRUE(contains(human.out, "Share: whole"));
    EXPECT_TRUE(contains(human.out, "Rod length 38.90 in"));

    const CliRun lengths = runBook({"sweep", "length", "38in:40in:0.5", "--csv"}, {"--cap", "96.14"});
    ASSERT_EQ(lines(lengths.out).size(), 6U);
    EXPECT_NEAR(number(csvRow(lengths.out, 2)["rod_length"]), 38.5, 0.5e-1);
    EXPECT_EQ(csvRow(lengths.out, 2)["length_unit"], "in");
    const CliRun bare = runBook({"sweep", "length", "38.8:39:0.1", "--csv", "--units", "mm"}, {"--cap", "96.14"});
    ASSERT_EQ(lines(bare.out).size(), 4U);
    EXPECT_EQ(csvRow(bare.out, 2)["length_unit"], "in");
    EXPECT_NEAR(number(csvRow(bare.out, 2)["swr"]), 1.000, 0.5e-3);

    const CliRun freqs = runBook({"sweep", "freq", "--from", "14", "--to", "14.35", "--step", "0.05"});
    EXPECT_EQ(freqs.status, ExitStatus::Solved) << freqs.err;
    EXPECT_TRUE(contains(freqs.out, "held at 25.00 - j25.00 ohms at every frequency"));
    EXPECT_EQ(lines(runBook({"sweep", "freq", "14:14.35:0.05", "--csv"}).out).size(), 9U);

    // With both given, no design is needed, nor a frequency for it.
    const CliRun held = run({"sweep", "freq", "14:14.4:0.1", "--csv", "--r", "5", "--x", "10", "--element", "1.5in",
        "--rod", "0.5in", "--spacing", "6in", "--length", "30in", "--cap", "100"});
    EXPECT_EQ(held.status, ExitStatus::Solved) << held.err;
    EXPECT_EQ(lines(held.out).size(), 6U);
    // Without them a design is needed, and there is none.
    const CliRun none = run({"sweep", "cap", "70:150:1", "--freq", "14.3", "--r", "5", "--x", "10", "--element",
        "1.5in", "--rod", "0.5in", "--spacing", "6in"});
    EXPECT_EQ(none.status, ExitStatus::NoSolution);
    EXPECT_TRUE(contains(none.err, "give --length")) << none.err;
    EXPECT_FALSE(contains(none.err, "--cap")) << none.err; // not an option of sweep cap
    // The value given is held; only the one swept needs no design.
    const std::vector<std::string_view> noDesign
        = {"--freq", "14.3", "--r", "5", "--x", "10", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"};
    for (std::vector<std::string_view> args : std::vector<std::vector<std::string_view>>{
             {"sweep", "cap", "70:150:10", "--length", "30in"}, {"sweep", "length", "30:31:0.5", "--cap", "50"}}) {
        args.insert(args.end(), noDesign.begin(), noDesign.end());
        const CliRun swept = run(args);
        EXPECT_EQ(swept.status, ExitStatus::Solved) << swept.err;
        EXPECT_FALSE(swept.out.empty());
    }

    for (const std::vector<std::string_view>& bad : std::vector<std::vector<std::string_view>>{
             {"sweep", "cap"},
             {"sweep", "cap", "70:150"},
             {"sweep", "cap", "0:1000000:1"},
             {"sweep", "cap", "70in:150in:1in"},
             {"sweep", "length", "38:40:1pF"},
             {"sweep", "freq"},
             {"sweep", "freq", "14:15:0.1", "--from", "14"},
             {"sweep", "freq", "--from", "14", "--to", "15"},
             {"sweep", "cap", "70:150:1", "--cap", "96"},
         }) {
        const CliRun result = runBook(bad);
        EXPECT_EQ(result.status, ExitStatus::BadInput) << bad.back() << "\n" << result.out;
        EXPECT_TRUE(result.out.empty());
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_TRUE(contains(runBook({"sweep", "cap", "0:1000000:1"}).err, "more than 100000 values"));
}

TEST(DesignCli, FrequencySweepFromAMeasurementFile)
{
    // Za 25 - j25 at 14.3 MHz, between two other points.
    const TempFile file("! NanoVNA\r\n# Hz S RI R 50\r\n14200000 -0.19 -0.43\r\n14300000 -0.2 -0.4\r\n"
                        "14400000 -0.21 -0.37\r\n");
    const std::string path = file.path();
    const CliRun result = run({"sweep", "freq", "--s1p", path, "--freq", "14.3", "--element", "1.5in", "--rod", "0.5in",
        "--spacing", "6in", "--csv"});
    EXPECT_EQ(result.status, ExitStatus::Solved) << result.err;
    ASSERT_EQ(lines(result.out).size(), 4U);
    auto row = csvRow(result.out, 2);
    EXPECT_NEAR(number(row["freq_mhz"]), 14.3, 0.5e-1);
    EXPECT_NEAR(number(row["feed_r_ohm"]), 25.00, 0.5e-2);
    EXPECT_NEAR(number(row["feed_x_ohm"]), -25.00, 0.5e-2);
    EXPECT_NEAR(number(row["swr"]), 1.000, 0.5e-3);
    EXPECT_GT(std::stod(csvRow(result.out, 1)["swr"]), 1.01);

    const CliRun human = run({"sweep", "freq", "--s1p", path, "--element", "1.5in", "--rod", "0.5in", "--spacing",
        "6in", "--length", "38.9in", "--cap", "96"});
    EXPECT_EQ(human.status, ExitStatus::Solved) << human.err;
    EXPECT_TRUE(contains(human.out, "from the file"));
    EXPECT_TRUE(contains(human.out, "Share: whole"));

    EXPECT_TRUE(contains(run({"sweep", "freq", "--s1p", path, "--freq", "15", "--element", "1.5in", "--rod", "0.5in",
                                 "--spacing", "6in"})
                             .err,
        "outside the file's frequencies"));
    EXPECT_TRUE(contains(run({"sweep", "freq", "--s1p", path, "--r", "25", "--freq", "14.3", "--element", "1.5in",
                                 "--rod", "0.5in", "--spacing", "6in"})
                             .err,
        "leave out --r and --x"));
    const TempFile damaged("# Hz S RI R 50\n14200000 -0.19 -0.43\n14100000 -0.2 -0.4\n");
    const CliRun refused = run({"sweep", "freq", "--s1p", damaged.path(), "--element", "1.5in", "--rod", "0.5in",
        "--spacing", "6in", "--length", "38.9in", "--cap", "96"});
    EXPECT_EQ(refused.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(refused.err, ".s1p:3: the frequency is not above")) << refused.err;
    // Values the model cannot take are the file's, named by their line.
    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"# Hz S RI R 50\n14300000 -1 0\n", ":2: S = -1 is a short circuit: the feed resistance there is 0 ohms"},
             {"# Hz S RI R 50\n14200000 0 0\n14300000 -1.2 0\n", ":3: |S| = 1.200 is above 1"},
             {"# Hz S RI R 50\n0 0 0\n14300000 0 0\n", ":2: a frequency of 0 Hz"},
         }) {
        const TempFile bad(text);
        const CliRun result = run({"sweep", "freq", "--s1p", bad.path(), "--freq", "14.3", "--element", "1.5in",
            "--rod", "0.5in", "--spacing", "6in"});
        EXPECT_EQ(result.status, ExitStatus::BadInput);
        EXPECT_TRUE(result.err.starts_with("vostrel-design: " + bad.path() + message)) << result.err;
    }
    EXPECT_EQ(run({"sweep", "freq", "--s1p", "/nonexistent/x.s1p", "--element", "1in", "--rod", "1in", "--spacing",
                      "3in", "--length", "1in", "--cap", "9"})
                  .status,
        ExitStatus::BadInput);
}

// A decimal shown in a table: its value, and its digits after the point.
std::pair<double, std::size_t> shownDecimal(const std::string& text)
{
    const std::size_t point = text.find('.');
    return {number(text), point == std::string::npos ? 0 : text.size() - point - 1};
}

// What a sweep's text says before its table: the held rod length and
// capacitor, never the one swept; then each row of the table is the CSV's
// row of the same sweep, R and X at 2 decimals, SWR at 3.
TEST(DesignCli, SweepTextHoldsWhatIsNotSweptAndRoundsTheCsvsRows)
{
    struct Sweep {
        std::vector<std::string_view> args;
        bool showsRod;
        bool showsCapacitor;
    };
    for (const Sweep& sweep : std::vector<Sweep>{{{"sweep", "cap", "90:100:2.5"}, true, false},
             {{"sweep", "length", "38in:40in:0.5in"}, false, true}, {{"sweep", "freq", "14.1:14.4:0.1"}, true, true}}) {
        const CliRun text = runBook(sweep.args);
        ASSERT_EQ(text.status, ExitStatus::Solved) << text.err;
        EXPECT_EQ(contains(text.out, "\nRod length 38.90 in\n"), sweep.showsRod) << text.out;
        EXPECT_EQ(contains(text.out, "\nCapacitor 96.14 pF\n"), sweep.showsCapacitor) << text.out;

        const CliRun csv = runBook(sweep.args, {"--csv"});
        const auto csvLines = lines(csv.out);
        auto textLines = lines(text.out);
        ASSERT_GE(textLines.size(), csvLines.size());
        textLines.erase(textLines.begin(), textLines.end() - static_cast<std::ptrdiff_t>(csvLines.size()));
        for (std::size_t i = 1; i < csvLines.size(); ++i) {
            std::istringstream cells(textLines[i]);
            std::string label;
            std::string r;
            std::string x;
            std::string swr;
            cells >> label >> r >> x >> swr;
            const auto row = fields(csvLines[i]);
            EXPECT_EQ(label, row[0]) << textLines[i];
            for (const auto& [shown, exact, decimals] : std::vector<std::tuple<std::string, std::string, std::size_t>>{
                     {r, row[1], 2}, {x, row[2], 2}, {swr, row[3], 3}}) {
                const auto [value, digits] = shownDecimal(shown);
                EXPECT_EQ(digits, decimals) << textLines[i];
                EXPECT_NEAR(value, number(exact), 0.5 * std::pow(10.0, -static_cast<double>(decimals)) + 1e-12)
                    << textLines[i];
            }
        }
    }
}

// A sweep longer than the block it is written in: every row once, in order.
TEST(DesignCli, LongSweepWritesEachRowOnce)
{
    const CliRun result = runBook({"sweep", "cap", "1:3000:1", "--csv"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    ASSERT_GT(result.out.size(), 2U * 65536U);
    const auto all = lines(result.out);
    ASSERT_EQ(all.size(), 3001U);
    for (std::size_t i = 1; i < all.size(); ++i) {
        ASSERT_EQ(fields(all[i])[0], std::to_string(i)) << "row " << i;
    }
}

// The analyze text says what capacitor it was given, shorted or in pF.
TEST(DesignCli, AnalyzeTextNamesTheCapacitorGiven)
{
    EXPECT_TRUE(contains(runBook({"analyze", "--length", "38.9in", "--cap", "short"}).out,
        "\n  Capacitor                         shorted\n"));
    EXPECT_TRUE(contains(runBook({"analyze", "--length", "38.9in", "--cap", "96pF"}).out,
        "\n  Capacitor                         96.00 pF\n"));
}

// A dielectric's name is shown as the table spells it, in whatever case
// it was given; a number is a "sleeve".
TEST(DesignCli, CapacitorNamesTheDielectricInItsOwnCase)
{
    const std::vector<std::string_view> tube
        = {"capacitor", "--freq", "14.2", "--x", "86", "--tube-id", "10.2mm", "--rod", "6.35mm", "--dielectric"};
    for (const auto& [given, shown] : std::vector<std::pair<std::string_view, std::string>>{
             {"PTFE", "ptfe"}, {"Polyethylene", "polyethylene"}, {"2.1", "sleeve"}}) {
        std::vector<std::string_view> args = tube;
        args.push_back(given);
        EXPECT_TRUE(contains(run(args).out, " inner diameter, " + shown + " (relative permittivity ")) << given;
        args.push_back("--csv");
        EXPECT_EQ(csvRow(run(args).out)["dielectric"], shown) << given;
    }
}

// The capacitor's CSV row has a field for each column, with a tube or
// without, and with the capacitor shorted.
TEST(DesignCli, CapacitorCsvRowsFillEveryColumn)
{
    for (const std::vector<std::string_view>& args : std::vector<std::vector<std::string_view>>{
             {"capacitor", "--csv", "--freq", "14.2", "--x", "86"},
             {"capacitor", "--csv", "--freq", "14.2", "--x", "0"},
             {"capacitor", "--csv", "--freq", "14.2", "--x", "86", "--tube-id", "10.2mm", "--rod", "6.35mm"},
         }) {
        const CliRun result = run(args);
        ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
        const auto all = lines(result.out);
        ASSERT_EQ(all.size(), 2U) << result.out;
        EXPECT_EQ(all[0], "freq_mhz,reactance_ohm,capacitance_pf,insertion_length,length_unit,dielectric,permittivity");
        EXPECT_EQ(fields(all[1]).size(), 7U) << all[1];
    }
}

// A Touchstone line of 64 KB is read; one byte more is refused.
TEST(DesignCli, TouchstoneLinesUpTo64KB)
{
    const std::string data = "# Hz S RI R 50\n14200000 -0.19 -0.43\n14300000 -0.2 -0.4\n";
    for (const std::size_t length : {std::size_t{65536}, std::size_t{65537}}) {
        const TempFile file("!" + std::string(length - 1, 'x') + "\n" + data);
        const CliRun result = run({"sweep", "freq", "--s1p", file.path(), "--element", "1.5in", "--rod", "0.5in",
            "--spacing", "6in", "--length", "38.9in", "--cap", "96"});
        if (length == 65536) {
            EXPECT_EQ(result.status, ExitStatus::Solved) << result.err;
        } else {
            EXPECT_EQ(result.status, ExitStatus::BadInput);
            EXPECT_TRUE(contains(result.err, ":1: a line longer than 64 KB: not a Touchstone file")) << result.err;
        }
    }
}

// Each row of a sweep over a file is that frequency's own: the feed
// impedance the file gives there (not the design frequency's on every
// row), and Zin and SWR as analyze finds them for that feed impedance with
// the rod and capacitor held.
TEST(DesignCli, FileSweepRowsCarryEachFrequencysFeedImpedance)
{
    // tests/design/nanovna.s1p: S11 as real and imaginary parts, 50 ohms.
    const std::vector<std::array<std::string, 3>> measured = {{"14000000", "-0.160572337", "-0.492845787"},
        {"14100000", "-0.177271453", "-0.464501662"}, {"14200000", "-0.192586624", "-0.435132957"},
        {"14300000", "-0.200000000", "-0.400000000"}, {"14400000", "-0.218719532", "-0.373740656"}};
    std::string text = "# Hz S RI R 50\n";
    for (const auto& [hz, re, im] : measured) {
        text += hz + " " + re + " " + im + "\n";
    }
    const TempFile file(text);
    const std::vector<std::string_view> model = {"--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"};
    // With the tuning given, and with the one designed at 14.3 MHz.
    for (const std::vector<std::string_view>& tuning :
        std::vector<std::vector<std::string_view>>{{"--length", "38.9in", "--cap", "96"}, {"--freq", "14.3"}}) {
        std::vector<std::string_view> args = {"sweep", "freq", "--csv", "--s1p", file.path()};
        args.insert(args.end(), model.begin(), model.end());
        args.insert(args.end(), tuning.begin(), tuning.end());
        const CliRun swept = run(args);
        ASSERT_EQ(swept.status, ExitStatus::Solved) << swept.err;
        ASSERT_EQ(lines(swept.out).size(), measured.size() + 1) << swept.out;
        std::string length = "38.9in";
        std::string cap = "96";
        if (tuning.size() == 2) { // the designed tuning, as design gives it
            std::vector<std::string_view> designArgs = {"design", "--csv", "--freq", "14.3", "--r", "25", "--x", "-25"};
            designArgs.insert(designArgs.end(), model.begin(), model.end());
            auto designed = csvRow(run(designArgs).out);
            length = designed["rod_length"] + "in";
            cap = designed["capacitance_pf"];
        }
        for (std::size_t i = 0; i < measured.size(); ++i) {
            const double mhz = std::stod(measured[i][0]) / 1e6;
            const std::complex<double> s11(std::stod(measured[i][1]), std::stod(measured[i][2]));
            const std::complex<double> feed = 50.0 * (1.0 + s11) / (1.0 - s11);
            auto row = csvRow(swept.out, i + 1);
            EXPECT_NEAR(number(row["freq_mhz"]), mhz, 1e-9);
            EXPECT_NEAR(number(row["feed_r_ohm"]), feed.real(), 1e-9) << mhz;
            EXPECT_NEAR(number(row["feed_x_ohm"]), feed.imag(), 1e-9) << mhz;

            const std::string r = exact(feed.real());
            const std::string x = exact(feed.imag());
            const std::string freq = row["freq_mhz"];
            std::vector<std::string_view> analyzeArgs
                = {"analyze", "--csv", "--freq", freq, "--r", r, "--x", x, "--length", length, "--cap", cap};
            analyzeArgs.insert(analyzeArgs.end(), model.begin(), model.end());
            const CliRun analysed = run(analyzeArgs);
            ASSERT_EQ(analysed.status, ExitStatus::Solved) << analysed.err;
            auto expected = csvRow(analysed.out);
            EXPECT_NEAR(number(row["r_ohm"]), number(expected["r_ohm"]), 1e-6) << mhz;
            EXPECT_NEAR(number(row["x_ohm"]), number(expected["x_ohm"]), 1e-6) << mhz;
            EXPECT_NEAR(number(row["swr"]), number(expected["swr"]), 1e-6) << mhz;
        }
    }
}

// A value that takes the model out of range is refused naming its option,
// so that no nan, inf or a wrong "short it" ever reaches the builder.
struct ExtremeRow {
    const char* name;
    std::vector<std::string_view> changed; // over the Antenna Book's example
    const char* message;
};

void PrintTo(const ExtremeRow& row, std::ostream* out)
{
    *out << row.name;
}

class ExtremeValues : public testing::TestWithParam<ExtremeRow> { };

TEST_P(ExtremeValues, AreRefusedNamingTheirOption)
{
    std::vector<std::pair<std::string_view, std::string_view>> options = {{"--freq", "14.3"}, {"--r", "25"},
        {"--x", "-25"}, {"--element", "1.5in"}, {"--rod", "0.5in"}, {"--spacing", "6in"}};
    const auto& changed = GetParam().changed;
    for (std::size_t i = 0; i + 1 < changed.size(); i += 2) {
        const auto same
            = std::find_if(options.begin(), options.end(), [&](const auto& o) { return o.first == changed[i]; });
        if (same != options.end()) {
            same->second = changed[i + 1];
        } else {
            options.emplace_back(changed[i], changed[i + 1]);
        }
    }
    std::vector<std::string_view> args = {"design"};
    for (const auto& [name, value] : options) {
        args.push_back(name);
        args.push_back(value);
    }
    const CliRun result = run(args);
    EXPECT_EQ(result.status, ExitStatus::BadInput) << result.out;
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_TRUE(contains(result.err, GetParam().message)) << result.err;
    EXPECT_FALSE(contains(result.err, "nan") || contains(result.err, "inf")) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Rows, ExtremeValues,
    testing::Values(ExtremeRow{"hugeReactance", {"--x", "1e154"}, "--x: the feed reactance must be between"},
        ExtremeRow{"hugeResistance", {"--r", "1e154"}, "--r: the feed resistance must be at most 1000000 ohms"},
        ExtremeRow{"hugeNegativeReactance", {"--x", "-1e160"}, "--x: the feed reactance must be between"},
        ExtremeRow{"largestResistance", {"--r", "1e308"}, "--r: the feed resistance must be at most"},
        ExtremeRow{"largestReactance", {"--x", "1e308"}, "--x: "},
        ExtremeRow{"smallestReactance", {"--x", "-1e308"}, "--x: "},
        ExtremeRow{"justAboveAMegohm", {"--r", "1000000.1"}, "--r: the feed resistance must be at most"},
        ExtremeRow{"tinyFrequency", {"--freq", "1e-308"}, "--freq: the frequency must be between 0.001 MHz"},
        ExtremeRow{"justBelowAKilohertz", {"--freq", "0.000999"}, "--freq: the frequency must be between"},
        ExtremeRow{"aboveATerahertz", {"--freq", "1e307"}, "--freq: the frequency must be between"},
        ExtremeRow{"tooHighForTheGeometry", {"--freq", "1e6"}, "--freq: the frequency is too high for this geometry"},
        ExtremeRow{"hugeLine", {"--line", "1e308"}, "--line: the feed line impedance must be between 1 and"},
        ExtremeRow{"tinyLine", {"--line", "1e-300"}, "--line: the feed line impedance must be between 1 and"},
        ExtremeRow{"tinyElement", {"--element", "1e-308in"}, "--element: the element diameter must be between"},
        ExtremeRow{"hugeRod", {"--rod", "1001m"}, "--rod: the rod diameter must be between"}),
    [](const testing::TestParamInfo<ExtremeRow>& info) { return std::string(info.param.name); });

TEST(DesignCli, ValuesAtTheEdgesOfTheRangeAreDesigned)
{
    // A kilohertz and a megohm are in range: results, never nan or inf.
    for (const std::vector<std::string_view>& args :
        {std::vector<std::string_view>{"design", "--freq", "0.001", "--r", "25", "--x", "-25", "--element", "1.5in",
             "--rod", "0.5in", "--spacing", "6in"},
            std::vector<std::string_view>{"design", "--freq", "14.3", "--r", "1000000", "--x", "-1000000", "--element",
                "1.5in", "--rod", "0.5in", "--spacing", "6in", "--line", "1000000"}}) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, ExitStatus::Solved) << result.err;
        EXPECT_FALSE(contains(result.out, "nan") || contains(result.out, "inf")) << result.out;
    }
    // Too small for the fixed form: the digits, not 0.00 pF.
    EXPECT_TRUE(contains(run({"capacitor", "--freq", "1e6", "--x", "1e6"}).out, ": 1.592e-07 pF"));
    EXPECT_TRUE(
        contains(run({"capacitor", "--freq", "1e300", "--x", "5"}).err, "--freq: the frequency must be between"));
}

TEST(DesignCli, RefusalsNameTheOption)
{
    struct Case {
        std::vector<std::string_view> args;
        const char* message;
    };
    const Case cases[] = {
        {{}, "give a command"},
        {{"build"}, "unknown command"},
        {{"design", "--bogus"}, "unknown option --bogus"},
        {{"design", "--zin", "3,0"}, "--zin is not an option of design"},
        {{"design", "--freq", "14", "--freq", "15"}, "--freq is given twice"},
        {{"design", "--freq"}, "--freq needs a value"},
        {{"design", "--csv=yes"}, "--csv takes no value"},
        {{"design", "stray"}, "unexpected argument stray"},
        {{"design", "--r", "25", "--x", "0"}, "--freq is needed"},
        {{"design", "--freq", "abc", "--r", "25", "--x", "0"}, "--freq: \"abc\" is not a number"},
        {{"design", "--freq", "1e309", "--r", "25", "--x", "0"}, "--freq: \"1e309\" is too large"},
        {{"design", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5\u2033"},
            "--element: unknown unit \"\u2033\""},
        {{"analyze", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5in", "--rod", "0.5in", "--spacing",
             "6in", "--length", "1", "--cap", "96 pX"},
            "--cap: \"96 pX\" is not"},
        {{"sweep", "cap", "0:10:5", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5in", "--rod", "0.5in",
             "--spacing", "6in", "--length", "30"},
            "range \"0:10:5\": the capacitance must be above 0"},
        {{"sweep", "freq", "--s1p", "/nonexistent/x.s1p", "--element", "1in", "--rod", "1in", "--spacing", "3in",
             "--length", "1in", "--cap", "9"},
            "--s1p: cannot open \"/nonexistent/x.s1p\": No such file or directory"},
        {{"sweep", "freq", "--s1p", "/", "--element", "1in", "--rod", "1in", "--spacing", "3in", "--length", "1in",
             "--cap", "9"},
            "--s1p: \"/\" is a directory"},
        {{"design", "--freq", "14", "--r", "25"}, "--x is needed"},
        {{"design", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5"}, "--element: \"1.5\" needs a unit"},
        {{"design", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in",
             "--units", "yd"},
            "--units: \"yd\" is not a unit"},
        {{"design", "--freq", "0", "--r", "25", "--x", "0", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"},
            "--freq: the frequency must be"},
        {{"design", "--freq", "14", "--r", "-2", "--x", "0", "--element", "1.5in", "--rod", "0.5in", "--spacing",
             "6in"},
            "--r: the feed resistance must be"},
        {{"design", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5in", "--rod", "0.5in", "--spacing",
             "1in"},
            "--spacing: the rod would touch the element"},
        {{"design", "--freq", "14", "--r", "25", "--x", "0", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in",
             "--line", "0"},
            "--line: the feed line impedance must be"},
    };
    for (const Case& c : cases) {
        const CliRun result = run(c.args);
        EXPECT_EQ(result.status, ExitStatus::BadInput) << c.message;
        EXPECT_TRUE(result.out.empty());
        EXPECT_TRUE(contains(result.err, c.message)) << result.err;
    }
    EXPECT_TRUE(contains(run({"--help"}).out, "Usage: vostrel-design"));
    EXPECT_EQ(run({"design", "--bogus"}).err,
        "vostrel-design: unknown option --bogus\nTry 'vostrel-design --help' for more information.\n");
    const CliRun helpAfterCommand = run({"design", "--freq", "14", "--help"});
    EXPECT_EQ(helpAfterCommand.status, ExitStatus::Solved);
    EXPECT_TRUE(contains(helpAfterCommand.out, "Usage: vostrel-design"));
    EXPECT_TRUE(run({"--version"}).out.starts_with("vostrel-design "));
}

TEST(DesignCli, EchoedInputStaysPrintableAndWhole)
{
    const auto message = [](std::string_view freq) {
        return run({"design", "--freq", freq, "--r", "25", "--x", "0"}).err;
    };
    EXPECT_TRUE(contains(message("14\u202E3\xC2\x9B"), "--freq: \"14?3?\" is not a number"));
    const std::string cut = std::string(39, '1') + "\xC2\xB5";
    EXPECT_TRUE(contains(message(cut), "--freq: \"" + std::string(39, '1') + "...\" is not a number"));
}

using toolOutput::FullDevice;

TEST(DesignCli, UnwritableOutputIsStatusThree)
{
    const std::vector<std::string_view> book
        = {"--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in"};
    for (std::vector<std::string_view> args : std::vector<std::vector<std::string_view>>{
             {"design"}, {"design", "--csv"}, {"sweep", "cap", "0.1:1000:0.1"}, {"sweep", "cap", "1:900:1", "--csv"}}) {
        args.insert(args.end(), book.begin(), book.end());
        FullDevice device;
        std::ostream out(&device);
        std::ostringstream err;
        EXPECT_EQ(runDesignCli(args, out, err), static_cast<int>(ExitStatus::WriteFailed)) << args.front();
        EXPECT_EQ(err.str().rfind("vostrel-design: the output could not be written", 0), 0U) << err.str();
        EXPECT_EQ(lines(err.str()).size(), 1U) << err.str();
    }
    FullDevice device;
    std::ostream out(&device);
    std::ostringstream err;
    const std::vector<std::string_view> help = {"--help"};
    EXPECT_EQ(runDesignCli(help, out, err), static_cast<int>(ExitStatus::WriteFailed));
    EXPECT_TRUE(contains(err.str(), "the output could not be written")) << err.str();
}
