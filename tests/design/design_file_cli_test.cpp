// SPDX-License-Identifier: GPL-3.0-or-later
// --design FILE: the file's inputs as if typed, the options given winning,
// and a file or model that cannot be used refused with its line.
#include "cli_test_support.h"
#include "sha256.h"

#include <filesystem>

namespace {

using cliTest::contains;
using cliTest::joined;
using cliTest::run;
using cliTest::TempFile;
using vostrel::design::ExitStatus;

// The ARRL example as the window saves it: every input, the ratings'
// defaults without a power, the built strap and capacitor.
const std::string kBook = "vostrel design 1\n"
                          "frequency = 14.3\n"
                          "resistance = 25\n"
                          "reactance = -25\n"
                          "element-diameter = 1.5 in\n"
                          "rod-diameter = 0.5 in\n"
                          "spacing = 6 in\n"
                          "unit = in\n"
                          "line-impedance = 50\n"
                          "step-up = whole\n"
                          "closed-form = corrected\n"
                          "dielectric = ptfe\n"
                          "swr-margin = 2\n"
                          "built-rod-length = 36 in\n"
                          "built-capacitance = 90 pF\n";

const std::vector<std::string> kBookOptions = {"--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5 in",
    "--rod", "0.5 in", "--spacing", "6 in", "--units", "in"}; // and the line's 50 ohms

// Each command gives the same answer from the file as from the options it
// holds, with the options given on top.
TEST(DesignFileOption, GivesWhatTheOptionsWould)
{
    const TempFile file(kBook);
    struct Case {
        std::vector<std::string> withFile;
        std::vector<std::string> withOptions;
    };
    const std::vector<Case> cases = {
        {{"design", "--design", file.path()}, joined({"design"}, kBookOptions)},
        {{"design", "--design", file.path(), "--line", "75"},
            joined({"design"}, joined(kBookOptions, {"--line", "75"}))},
        {{"design", "--design", file.path(), "--csv"}, joined({"design", "--csv"}, kBookOptions)},
        {{"analyze", "--design", file.path()},
            joined({"analyze", "--length", "36 in", "--cap", "90 pF"}, kBookOptions)},
        {{"analyze", "--design", file.path(), "--cap", "95"},
            joined({"analyze", "--length", "36 in", "--cap", "95"}, kBookOptions)},
        {{"sweep", "cap", "80:100:5", "--design", file.path()},
            joined({"sweep", "cap", "80:100:5", "--length", "36 in"}, kBookOptions)},
        {{"design", "--design", file.path(), "--power", "100"},
            joined({"design", "--power", "100", "--dielectric", "ptfe", "--swr-margin", "2"}, kBookOptions)},
    };
    for (const Case& c : cases) {
        const auto fromFile = run(c.withFile);
        const auto fromOptions = run(c.withOptions);
        EXPECT_EQ(fromFile.status, ExitStatus::Solved) << fromFile.err;
        EXPECT_EQ(fromFile.err, fromOptions.err);
        EXPECT_EQ(fromFile.out, fromOptions.out) << c.withFile.back();
    }
    // NEC-2's rod side and capacitor place are left out without NEC-2
    // (given, they would be refused for want of the element).
    const TempFile withPlaces(kBook + "rod-side = -z\ncap-at = rod-end\n");
    const auto placesLeftOut = run({"design", "--design", withPlaces.path()});
    EXPECT_EQ(placesLeftOut.status, ExitStatus::Solved) << placesLeftOut.err;
    EXPECT_EQ(placesLeftOut.out, run(cases[0].withFile).out);
    // The line given did change the answer: the file's is not kept.
    EXPECT_NE(run(cases[0].withFile).out, run(cases[1].withFile).out);
}

TEST(DesignFileOption, TakesTheChoicesAsFlags)
{
    const TempFile file("vostrel design 1\nfrequency = 14.3\nresistance = 25\nreactance = -25\n"
                        "element-diameter = 1.5in\nrod-diameter = 0.5in\nspacing = 6in\n"
                        "step-up = half\nclosed-form = textbook\n");
    const auto fromFile = run({"design", "--design", file.path()});
    const auto fromOptions = run({"design", "--freq", "14.3", "--r", "25", "--x", "-25", "--element", "1.5in", "--rod",
        "0.5in", "--spacing", "6in", "--half", "--textbook"});
    EXPECT_EQ(fromFile.status, ExitStatus::Solved) << fromFile.err;
    EXPECT_EQ(fromFile.out, fromOptions.out);
    EXPECT_TRUE(contains(fromFile.out, "textbook")) << fromFile.out;
}

// The file's antenna model: left out when the command line gives the
// element, checked by its hash before NEC-2 runs.
TEST(DesignFileOption, UsesTheModelOnlyAsItWas)
{
    const std::string deck
        = "CM dipole\nCE\nGW 1 21 0 -5 0 0 5 0 0.0125\nGE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 14.2 0\nEN\n";
    const TempFile model(deck);
    const std::string rest = "frequency = 14.2\nrod-diameter = 12 mm\nspacing = 100 mm\nunit = mm\n";
    const TempFile changed("vostrel design 1\nantenna-model = " + model.path()
        + "\nantenna-model-sha256 = " + vostrel::sha256Hex(deck + " ") + "\n" + rest);
    const auto refused = run({"design", "--design", changed.path()});
    EXPECT_EQ(refused.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(refused.err, "is not the one the design was made with")) << refused.err;

    const TempFile gone("vostrel design 1\nantenna-model = /nonexistent/beam.nec\n" + rest);
    const auto missing = run({"design", "--design", gone.path()});
    EXPECT_NE(missing.status, ExitStatus::Solved);
    EXPECT_TRUE(contains(missing.err, "/nonexistent/beam.nec")) << missing.err;

    // The element given on the command line: the file's model is not read
    // at all, nor its element length.
    const auto element = run({"design", "--design", gone.path(), "--element", "25mm", "--r", "50", "--x", "0"});
    EXPECT_EQ(element.status, ExitStatus::Solved) << element.err;
    EXPECT_EQ(element.out,
        run({"design", "--freq", "14.2", "--rod", "12mm", "--spacing", "100mm", "--units", "mm", "--element", "25mm",
                "--r", "50", "--x", "0"})
            .out);
}

TEST(DesignFileOption, RefusesABadFileNamingItsLine)
{
    const TempFile file("vostrel design 1\nfrequency = 14.3\nfreq = 14.3\n");
    const auto refused = run({"design", "--design", file.path()});
    EXPECT_EQ(refused.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(refused.err, file.path() + ":3: unknown key \"freq\"")) << refused.err;
    EXPECT_TRUE(refused.out.empty());

    const auto none = run({"design", "--design", "/nonexistent/design.vostrel"});
    EXPECT_EQ(none.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(none.err, "--design: cannot open")) << none.err;
    // capacitor does not read a design.
    EXPECT_TRUE(contains(run({"capacitor", "--design", file.path()}).err, "not an option of capacitor"));
}

} // namespace
