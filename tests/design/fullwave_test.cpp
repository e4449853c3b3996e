// SPDX-License-Identifier: GPL-3.0-or-later
// vostrel-design's full-wave check: the report and CSV from real nec2c
// runs, --write-nec, the sweep from NEC, refused decks, and a fake nec2c
// (VOSTREL_NEC2C) for every way nec2c can fail.
#include "cli_test_support.h"
#include "coax_cable.h"
#include "deck_reader.h"
#include "design_cli.h"
#include "gamma_design.h"
#include "line_transform.h"
#include "match_geometry.h"
#include "runner.h"
#include "tool_output.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <algorithm>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using vostrel::design::ExitStatus;
using vostrel::design::runDesignCli;
namespace fs = std::filesystem;

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

// The 20 m dipole of the README: 14.2 MHz, a 10.1 m tube of 25 mm, a
// 12.7 mm rod at 150 mm.
CliRun runDipole(std::vector<std::string_view> head, std::vector<std::string_view> tail = {})
{
    for (const std::string_view arg :
        {"--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm", "--element-length", "10.1m"}) {
        head.push_back(arg);
    }
    head.insert(head.end(), tail.begin(), tail.end());
    return run(head);
}

const std::string kBeam = std::string(VOSTREL_DESIGN_TESTS) + "/beam.nec";

using cliTest::contains;
using cliTest::csvRow;

double number(const std::string& field)
{
    std::size_t used = 0;
    const double value = field.empty() ? 0 : std::stod(field, &used);
    EXPECT_EQ(used, field.size()) << "not a number: \"" << field << "\"";
    return value;
}

// The value of a report row, after its label.
std::string rowValue(const std::string& text, std::string_view label)
{
    for (const std::string& line : toolOutput::lines(text)) {
        if (line.starts_with("  " + std::string(label) + " ")) {
            const std::size_t start = line.find_first_not_of(' ', 2 + label.size());
            return start == std::string::npos ? "" : line.substr(start);
        }
    }
    ADD_FAILURE() << "no row " << label << " in\n" << text;
    return "";
}

// Sets VOSTREL_NEC2C (and its time limit) for one test.
class FakeNec {
public:
    explicit FakeNec(const std::string& program, const char* timeoutSeconds = nullptr)
    {
        setenv("VOSTREL_NEC2C", program.c_str(), 1);
        if (timeoutSeconds != nullptr) {
            setenv("VOSTREL_NEC2C_TIMEOUT", timeoutSeconds, 1);
        }
    }
    ~FakeNec()
    {
        unsetenv("VOSTREL_NEC2C");
        unsetenv("VOSTREL_NEC2C_TIMEOUT");
    }
    FakeNec(const FakeNec&) = delete;
    FakeNec& operator=(const FakeNec&) = delete;
};

// A folder of the test's own, removed at the end.
class Folder {
public:
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "vostrel-fullwave-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }
    ~Folder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const fs::path& path() const { return m_path; }
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            result.push_back(entry.path().filename().string());
        }
        return result;
    }

private:
    fs::path m_path;
};

TEST(FullWave, DipoleReportFromNec)
{
    const CliRun text = runDipole({"design"});
    ASSERT_EQ(text.status, ExitStatus::Solved) << text.err;
    EXPECT_EQ(text.err, "");
    EXPECT_TRUE(contains(text.out, "Feed impedance (NEC-2, bare element): 72.")) << text.out;
    EXPECT_TRUE(contains(text.out, "\nFull-wave check (NEC-2)\n")) << text.out;
    // The closed form is built from NEC's feed impedance, about 72 + j2.
    const std::string feed = rowValue(text.out, "NEC feed impedance, bare element");
    EXPECT_NEAR(std::stod(feed), 72.25, 1.5) << feed;
    EXPECT_EQ(rowValue(text.out, "Rod length, feed point to strap"), "1387.9 mm");
    // The line model's match is well off in NEC; the refined one is not.
    const std::string built = rowValue(text.out, "Closed form above, SWR in NEC");
    EXPECT_GT(std::stod(built), 1.3);
    EXPECT_TRUE(contains(built, "(built as printed)")) << built;
    const double rodMm = std::stod(rowValue(text.out, "Refined rod length"));
    EXPECT_NEAR(rodMm, 1262.6, 15);
    EXPECT_NEAR(std::stod(rowValue(text.out, "Refined capacitor")), 79.2, 3);
    EXPECT_LT(std::stod(rowValue(text.out, "SWR in NEC")), 1.05);
    const double agt = std::stod(rowValue(text.out, "Average gain test"));
    EXPECT_GT(agt, 0.95);
    EXPECT_LT(agt, 1.05);
    EXPECT_TRUE(contains(rowValue(text.out, "Halved segments"), "rod ")) << text.out;
    EXPECT_EQ(rowValue(text.out, "Model"), "not doubtful");
    // What to allow for: the capacitor in whole pF around the refined one,
    // the strap up to the closed form's 1387.9 mm (within a quarter).
    // The strap from 5 % under the refined rod (the halved run's is within
    // 0.05 % of it).
    const std::string allow = rowValue(text.out, "Allow for");
    const std::string head = "capacitor 70 to 88 pF; strap ";
    ASSERT_TRUE(allow.starts_with(head)) << text.out;
    EXPECT_NEAR(std::stod(allow.substr(head.size())), 0.95 * rodMm, 0.7) << allow;
    EXPECT_TRUE(allow.ends_with(" to 1387.9 mm from the feed point")) << allow;
    EXPECT_EQ(rowValue(text.out, "  from"),
        "the spread between engines (±5 % rod, ±10 % capacitor), the halved run and the closed form");

    // The CSV's columns: the same figures, the rod in --units.
    const CliRun table = runDipole({"design", "--csv", "--units", "cm"});
    ASSERT_EQ(table.status, ExitStatus::Solved) << table.err;
    auto row = csvRow(table.out);
    EXPECT_EQ(row["length_unit"], "cm");
    EXPECT_NEAR(number(row["rod_length"]), 138.79, 0.01);
    EXPECT_NEAR(number(row["nec_feed_r_ohm"]), std::stod(feed), 0.006);
    EXPECT_NEAR(number(row["r_ohm"]), number(row["nec_feed_r_ohm"]), 1e-12);
    EXPECT_NEAR(number(row["nec_feed_x_ohm"]), 1.92, 1.5);
    EXPECT_GT(number(row["nec_swr_of_closed_form"]), 1.3);
    EXPECT_NEAR(number(row["nec_rod_length"]), rodMm / 10, 0.006);
    EXPECT_NEAR(number(row["nec_capacitance_pf"]), std::stod(rowValue(text.out, "Refined capacitor")), 0.006);
    EXPECT_LT(number(row["nec_swr"]), 1.05);
    EXPECT_NEAR(number(row["nec_agt"]), agt, 0.0006);
    EXPECT_EQ(row["nec_doubtful"], "no");
    EXPECT_NEAR(number(row["nec_rod_low"]), std::stod(allow.substr(head.size())) / 10, 0.006);
    EXPECT_NEAR(number(row["nec_rod_high"]), 138.79, 0.006);
    EXPECT_EQ(row["nec_cap_low_pf"], "70");
    EXPECT_EQ(row["nec_cap_high_pf"], "88");
}

// --r/--x given as well: the closed form uses them, and a difference from
// NEC's (about 72 + j2 ohms) beyond a tenth of it is said.
struct FeedRow {
    const char* name;
    const char* r;
    bool said;
};

class GivenFeed : public ::testing::TestWithParam<FeedRow> { };

TEST_P(GivenFeed, IsComparedWithNecs)
{
    const FeedRow& row = GetParam();
    const CliRun result = runDipole({"design", "--r", row.r, "--x", "2"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    EXPECT_TRUE(contains(result.out, "Feed impedance: " + std::string(row.r) + ".00 + j2.00 ohms")) << result.out;
    EXPECT_EQ(contains(result.err, "differs from NEC's for this element"), row.said) << result.err;
    // The closed form NEC builds is NEC's feed impedance's, not the one
    // printed from the R and X given: its row names its rod.
    const std::string built = rowValue(result.out, "Closed form from NEC's Z, SWR");
    EXPECT_TRUE(contains(built, " in NEC (rod 1387.9 mm, ")) << result.out;
    EXPECT_TRUE(contains(built, "not the closed form above")) << built;
    EXPECT_NE(rowValue(result.out, "Rod length, feed point to strap"), "1387.9 mm");
}

INSTANTIATE_TEST_SUITE_P(Rows, GivenFeed,
    ::testing::Values(FeedRow{"within_a_tenth", "66", false}, FeedRow{"beyond_a_tenth", "64", true},
        FeedRow{"well_above", "82", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FullWave, NecMatchesWhereTheLineModelCannot)
{
    // A two-element beam's driven element, about 10 + j9 ohms: with k = 1/2
    // the line model finds no match; NEC does, and that is the design.
    const CliRun result = run({"design", "--freq", "28.5", "--rod", "12.7mm", "--spacing", "100mm", "--half", "--nec",
        kBeam.c_str(), "--csv"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    EXPECT_TRUE(contains(result.err, "the line model finds no match; NEC-2's refined match is the design"))
        << result.err;
    auto row = csvRow(result.out);
    EXPECT_EQ(row["rod_length"], "");
    EXPECT_TRUE(contains(row["reason"], "no gamma match")) << row["reason"];
    EXPECT_NEAR(number(row["nec_feed_r_ohm"]), 10.5, 1.5);
    EXPECT_NEAR(number(row["nec_rod_length"]), 376, 20); // mm: the unit of --rod
    EXPECT_LT(number(row["nec_swr"]), 1.05);
    EXPECT_EQ(row["nec_swr_of_closed_form"], "");
    // (This beam's model is doubtful: the 12.7 mm rod beside the 25 mm element.)
    EXPECT_EQ(row["nec_status"], row["nec_doubtful"] == "yes" ? "doubtful" : "matched");
    EXPECT_EQ(row["nec_doubtful"], "yes");
}

// Near a change of the element's model (a 0.335 in rod beside the 0.5 in
// elements of a published study's beam, 4 in apart: a cage of 2, one wire
// from 0.337 in) the report names both models and what the other gives, and
// the allowance and its CSV columns cover that too.
TEST(FullWave, NearAChangeOfModelBothAreAllowedFor)
{
    const Folder folder;
    const std::string deck = (folder.path() / "study.nec").string();
    std::ofstream(deck) << "CM two-element 28.5 MHz beam, 0.5 in elements\nCE\n"
                           "GW 1 41 0 -2.5125 0 0 2.5125 0 0.00635\nGW 2 41 -0.4 -2.7 0 -0.4 2.7 0 0.00635\n"
                           "GE 0\nEX 0 1 21 0 1 0\nFR 0 1 0 0 28.5 0\nEN\n";
    const std::vector<std::string_view> args{
        "design", "--freq", "28.5", "--rod", "0.335in", "--spacing", "4in", "--units", "in", "--nec", deck};
    const CliRun report = run(args);
    ASSERT_EQ(report.status, ExitStatus::Solved) << report.err;
    const std::string gives = "a cage of 2 wires; near the change to one tube wire, which gives rod ";
    const std::size_t at = report.out.find(gives);
    ASSERT_NE(at, std::string::npos) << report.out;
    const std::string row = report.out.substr(at, report.out.find('\n', at) - at);
    EXPECT_TRUE(contains(row, " pF (allowed for above): measure before you cut")) << row;
    EXPECT_TRUE(contains(report.out, "and the element modelled as one tube wire\n")) << report.out;
    // "rod 9.71 in, 110.42 pF": the other model's capacitor.
    const std::size_t comma = row.find(", ", gives.size());
    ASSERT_NE(comma, std::string::npos) << row;
    const double otherPf = number(row.substr(comma + 2, row.find(" pF") - comma - 2));

    std::vector<std::string_view> csv = args;
    csv.push_back("--csv");
    const CliRun table = run(csv);
    ASSERT_EQ(table.status, ExitStatus::Solved) << table.err;
    auto fields = csvRow(table.out);
    const double refined = number(fields["nec_capacitance_pf"]);
    EXPECT_LE(number(fields["nec_cap_low_pf"]), std::min(refined, otherPf) * 0.9);
    EXPECT_GE(number(fields["nec_cap_high_pf"]), std::max(refined, otherPf) * 1.1 - 1e-9);
}

TEST(FullWave, WhereNecCannotMatchEitherItSaysWhatItReached)
{
    // No rod brings a dipole's Re Zin up to 600 ohms.
    const CliRun result = runDipole({"design", "--csv", "--line", "600"});
    EXPECT_EQ(result.status, ExitStatus::NoSolution) << result.err;
    EXPECT_TRUE(
        contains(result.err, "; NEC-2 finds no match either: its Re Zin comes nearest the line's impedance at "))
        << result.err;
    EXPECT_TRUE(contains(result.err, " ohms, with a rod of ")) << result.err;
    EXPECT_EQ(toolOutput::lines(result.err).size(), 1U) << result.err;
    auto row = csvRow(result.out);
    EXPECT_NEAR(number(row["nec_feed_r_ohm"]), 72.25, 1.5);
    EXPECT_EQ(row["nec_rod_length"], "");
    EXPECT_EQ(row["nec_doubtful"], "");
    EXPECT_EQ(row["nec_status"], "no_match");
}

TEST(FullWave, WritesTheMatchedDeckWhole)
{
    Folder folder;
    const std::string path = (folder.path() / "matched.nec").string();
    {
        std::ofstream old(path);
        old << "an older file, replaced\n";
    }
    const CliRun result = runDipole({"design", "--write-nec", path});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    EXPECT_EQ(folder.names(), std::vector<std::string>{"matched.nec"}); // no temporary left
    std::ifstream file(path);
    const std::string deck((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(deck.starts_with("CM")) << deck.substr(0, 200);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::others_read, fs::perms::others_read);
    // nec2c reads it, and the match in it is the refined one.
    const auto solved = vostrel::nec::run(deck, {});
    ASSERT_TRUE(std::holds_alternative<vostrel::nec::Solution>(solved))
        << std::get<vostrel::nec::NecFailure>(solved).message;
    const auto z = std::get<vostrel::nec::Solution>(solved).points.at(0).impedance;
    EXPECT_NEAR(z.real(), 50, 2.5);
    EXPECT_NEAR(z.imag(), 0, 2.5);
}

// Where the deck cannot go: one line, status 3, nothing replaced. The
// device is a link to /dev/null in the test's folder, so that a fault
// replaces the link, never the device.
struct TargetRow {
    const char* name;
    const char* entry; // in the test's folder
    const char* message;
};

class WriteTarget : public ::testing::TestWithParam<TargetRow> { };

TEST_P(WriteTarget, IsRefusedWithStatusThree)
{
    const TargetRow& row = GetParam();
    Folder folder;
    fs::create_directory(folder.path() / "sub");
    fs::create_symlink("/dev/null", folder.path() / "device");
    ASSERT_EQ(mkfifo((folder.path() / "fifo").c_str(), 0600), 0);
    const CliRun result = runDipole({"design", "--write-nec", (folder.path() / row.entry).string()});
    EXPECT_EQ(result.status, ExitStatus::WriteFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("vostrel-design: --write-nec: ")) << result.err;
    EXPECT_TRUE(contains(result.err, row.message)) << result.err;
    EXPECT_EQ(toolOutput::lines(result.err).size(), 1U) << result.err;
    auto names = folder.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"device", "fifo", "sub"}));
    EXPECT_TRUE(fs::is_directory(folder.path() / "sub"));
    EXPECT_TRUE(fs::is_symlink(folder.path() / "device"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder.path() / "fifo")));
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteTarget,
    ::testing::Values(TargetRow{"device", "device", "is not a regular file"},
        TargetRow{"fifo", "fifo", "is not a regular file"}, TargetRow{"directory", "sub", "is not a regular file"},
        TargetRow{"missing_folder", "none/matched.nec", "No such file or directory"}),
    [](const auto& info) { return std::string(info.param.name); });

std::string readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The user's own deck is never the one written: by its name, another
// path to it, or a link to it; status 3, the deck as it was.
TEST(FullWave, NeverWritesOverItsOwnInput)
{
    Folder folder;
    const fs::path deck = folder.path() / "beam.nec";
    fs::copy_file(kBeam, deck);
    fs::create_directory(folder.path() / "sub");
    fs::create_symlink(deck, folder.path() / "link.nec");
    const std::string before = readText(deck.string());
    for (const fs::path& target : {deck, folder.path() / "sub" / ".." / "beam.nec", folder.path() / "link.nec"}) {
        const CliRun result = run({"design", "--freq", "28.5", "--rod", "12.7mm", "--spacing", "100mm", "--nec",
            deck.c_str(), "--write-nec", target.c_str()});
        EXPECT_EQ(result.status, ExitStatus::WriteFailed) << target;
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(contains(result.err, "is the --nec input")) << result.err;
        EXPECT_EQ(toolOutput::lines(result.err).size(), 1U) << result.err;
        EXPECT_EQ(readText(deck.string()), before);
        EXPECT_TRUE(fs::is_symlink(folder.path() / "link.nec"));
    }
}

// --nec reads a regular file only, at once: a FIFO would wait for a writer
// and a device might never end. A control character in the deck is shown
// as "?", never sent to the terminal.
TEST(FullWave, ReadsOnlyARegularFileAndShowsNoControls)
{
    Folder folder;
    ASSERT_EQ(mkfifo((folder.path() / "fifo.nec").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder.path() / "zero.nec");
    for (const char* entry : {"fifo.nec", "zero.nec"}) {
        const CliRun result = run({"design", "--freq", "14.2", "--rod", "12.7mm", "--spacing", "150mm", "--nec",
            (folder.path() / entry).c_str()});
        EXPECT_EQ(result.status, ExitStatus::BadInput) << entry;
        EXPECT_TRUE(contains(result.err, "is not a regular file")) << result.err;
    }
    const std::string path = (folder.path() / "escape.nec").string();
    std::ofstream(path) << "CE\nGW 1 21 0 0 -5 0 0 5 0.01\nGQ\x1b[2J 1\nGE 0\nEN\n";
    const CliRun result = run({"design", "--freq", "14.2", "--rod", "12.7mm", "--spacing", "150mm", "--nec", path});
    EXPECT_EQ(result.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(result.err, "escape.nec:3: unknown card \"GQ?[2J\"")) << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
}

// Ctrl+C or SIGTERM in the middle of a real nec2c run: nec2c is killed,
// the run's folder removed, and the program ends by that signal (a shell's
// 130 or 143), not with an answer.
class Interrupted : public ::testing::TestWithParam<int> { };

TEST_P(Interrupted, LeavesNoProcessAndNoFolder)
{
    Folder folder;
    const fs::path temporary = folder.path() / "tmp";
    fs::create_directory(temporary);
    const fs::path pidFile = folder.path() / "nec2c.pid";
    const fs::path program = folder.path() / "nec2c";
    std::ofstream(program) << "#!/bin/sh\necho $$ > '" << pidFile.string() << "'\nexec nec2c \"$@\"\n";
    fs::permissions(program, fs::perms::owner_all);
    const fs::path deck = folder.path() / "slow.nec";
    // Some seconds of nec2c for one run.
    std::ofstream(deck) << "CE\nGW 1 1999 0 0 -5.2 0 0 5.2 0.0005\nGE 0\nEX 0 1 1000 0 1 0\nEN\n";

    const std::string necProgram = "VOSTREL_NEC2C=" + program.string();
    const std::string tmpdir = "TMPDIR=" + temporary.string();
    std::vector<std::string> environment{necProgram, tmpdir};
    for (char** e = environ; *e != nullptr; ++e) {
        if (!std::string_view(*e).starts_with("VOSTREL_NEC2C=") && !std::string_view(*e).starts_with("TMPDIR=")) {
            environment.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args{VOSTREL_DESIGN_PROGRAM, "design", "--freq", "14.2", "--rod", "3mm", "--spacing",
        "40mm", "--nec", deck.string()};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Once nec2c has started (its pid written), the signal.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(pidFile) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(kill(pid, GetParam()), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, GetParam());

    std::ifstream pidText(pidFile);
    pid_t nec2c = 0;
    ASSERT_TRUE(pidText >> nec2c) << "nec2c never started";
    EXPECT_EQ(kill(nec2c, 0), -1) << "nec2c still runs";
    EXPECT_EQ(errno, ESRCH);
    EXPECT_TRUE(fs::is_empty(temporary)) << "a run's folder is left";
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted, ::testing::Values(SIGINT, SIGTERM),
    [](const auto& info) { return std::string(info.param == SIGINT ? "sigint" : "sigterm"); });

TEST(FullWave, RefusedDeckNamesFileAndLine)
{
    Folder folder;
    const std::string path = (folder.path() / "two-sources.nec").string();
    {
        std::ofstream deck(path);
        deck << "CM two sources\nCE\nGW 1 21 0 0 -5 0 0 5 0.01\nGE 0\nEX 0 1 11 0 1 0\nEX 0 1 10 0 1 0\nEN\n";
    }
    const CliRun result = run({"design", "--freq", "14.2", "--rod", "12.7mm", "--spacing", "150mm", "--nec", path});
    EXPECT_EQ(result.status, ExitStatus::BadInput);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(contains(result.err, "two-sources.nec:6: ")) << result.err;

    const CliRun missing = run({"design", "--freq", "14.2", "--rod", "12.7mm", "--spacing", "150mm", "--nec",
        (folder.path() / "none.nec").c_str()});
    EXPECT_EQ(missing.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(missing.err, "--nec: cannot open")) << missing.err;
}

// What nec2c fails to do: the closed form's answer, "not checked", one line
// on standard error; its status is the closed form's.
struct FailingRow {
    const char* name;
    const char* fake; // in tests/nec/fakes; "" for a program that is not there
    std::vector<std::string_view> feed; // --r/--x or none
    ExitStatus status;
    const char* said;
};

class NecFails : public ::testing::TestWithParam<FailingRow> { };

TEST_P(NecFails, TheClosedFormStillAnswers)
{
    const FailingRow& row = GetParam();
    const std::string program
        = *row.fake != '\0' ? std::string(VOSTREL_NEC_FAKES) + "/" + row.fake : "/nonexistent/nec2c";
    const FakeNec fake(program, "0.3");
    const CliRun result = runDipole({"design"}, row.feed);
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_TRUE(result.err.starts_with("vostrel-design: not checked in NEC-2: ")) << result.err;
    EXPECT_TRUE(contains(toolOutput::lines(result.err).at(0), row.said)) << result.err;
    if (row.status == ExitStatus::BadInput) {
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(contains(result.err, "give --r and --x")) << result.err;
        return;
    }
    EXPECT_TRUE(contains(result.out, "  Refined match                     not checked: ")) << result.out;
    EXPECT_EQ(contains(result.out, "Rod length, feed point to strap"), row.status == ExitStatus::Solved);
}

const std::vector<std::string_view> kResonant = {"--r", "72", "--x", "2"};
const std::vector<std::string_view> kUnmatched = {"--r", "5", "--x", "400"};

INSTANTIATE_TEST_SUITE_P(Rows, NecFails,
    ::testing::Values(FailingRow{"missing", "", kResonant, ExitStatus::Solved, "could not be started"},
        FailingRow{"crashing", "crashing", kResonant, ExitStatus::Solved, "signal 11 (nec2c's output ends: nec2c"},
        FailingRow{"failing", "failing", kResonant, ExitStatus::Solved, "status 1 (nec2c's output ends: nec2c: GW"},
        FailingRow{"garbage", "garbage", kResonant, ExitStatus::Solved, "unreadable input impedance"},
        FailingRow{"hanging", "hanging", kResonant, ExitStatus::Solved, "took longer than 300 ms"},
        FailingRow{"no_closed_form_match", "crashing", kUnmatched, ExitStatus::NoSolution, "signal 11"},
        FailingRow{"no_feed_impedance", "crashing", {}, ExitStatus::BadInput, "signal 11"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FullWave, CsvOfAnUncheckedDesignHasEmptyNecColumns)
{
    const FakeNec fake("/nonexistent/nec2c");
    const CliRun result = runDipole({"design", "--csv", "--r", "72", "--x", "2"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    auto row = csvRow(result.out);
    EXPECT_NE(row["rod_length"], "");
    for (const char* column : {"nec_feed_r_ohm", "nec_feed_x_ohm", "nec_swr_of_closed_form", "nec_rod_length",
             "nec_capacitance_pf", "nec_swr", "nec_agt", "nec_doubtful", "nec_rod_low", "nec_rod_high",
             "nec_cap_low_pf", "nec_cap_high_pf", "nec_tube_insertion"}) {
        EXPECT_TRUE(row.contains(column)) << column;
        EXPECT_EQ(row[column], "") << column;
    }
    EXPECT_EQ(row["nec_status"], "not_checked");
}

// A loading coil on the driven element is kept and the rod stops short of
// it: on a 40 m element shortened to 14 m the match would need the rod
// past the coils, so NEC-2 finds none and says what stops it, writing no
// deck; a load on the source segment is refused, saying why.
TEST(FullWave, LoadedElementNamesTheLoadThatStopsTheRod)
{
    const Folder folder;
    const auto deck = folder.path() / "coils.nec";
    const auto written = folder.path() / "matched.nec";
    std::ofstream(deck) << "CE\nGW 1 41 0 -7 0 0 7 0 0.01\nGE 0\nLD 0 1 9 9 2 12e-6 0\nLD 0 1 33 33 2 12e-6 0\n"
                           "EX 0 1 21 0 1 0\nEN\n";
    const CliRun result = run({"design", "--freq", "7.1", "--rod", "12mm", "--spacing", "120mm", "--nec",
        deck.string().c_str(), "--csv", "--write-nec", written.string().c_str()});
    EXPECT_EQ(result.status, ExitStatus::NoSolution) << result.err;
    EXPECT_TRUE(contains(result.err, "the rod can go no further than the element's load on tag 1 segment 33"))
        << result.err;
    EXPECT_TRUE(contains(result.err, "--write-nec: nothing written")) << result.err;
    EXPECT_FALSE(fs::exists(written));
    EXPECT_EQ(csvRow(result.out)["nec_status"], "no_match");

    std::ofstream(deck) << "CE\nGW 1 41 0 -7 0 0 7 0 0.01\nGE 0\nLD 0 1 21 21 0 0 1e-10\nEX 0 1 21 0 1 0\nEN\n";
    const CliRun refused
        = run({"design", "--freq", "7.1", "--rod", "12mm", "--spacing", "120mm", "--nec", deck.string().c_str()});
    EXPECT_EQ(refused.status, ExitStatus::BadInput) << refused.err;
    EXPECT_TRUE(contains(refused.err, "coils.nec:4: a load on the source segment (tag 1 segment 21)")) << refused.err;
}

TEST(FullWave, FrequencySweepComesFromNec)
{
    const CliRun result = runDipole({"sweep", "freq", "13.7:14.7:0.5", "--csv"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    const auto lines = toolOutput::lines(result.out);
    ASSERT_EQ(lines.size(), 4U) << result.out;
    const auto swrAt = [&](std::size_t line) { return number(toolOutput::fields(lines[line]).at(3)); };
    EXPECT_LT(swrAt(2), 1.05); // the refined match at its design frequency
    // Half a megahertz below, NEC shows SWR 1.37; the fixed-impedance line
    // model about 1.2.
    EXPECT_GT(swrAt(1), 1.3);
    EXPECT_GT(swrAt(3), 1.25);
    EXPECT_EQ(toolOutput::fields(lines[1]).at(4), ""); // no fixed feed impedance

    const CliRun text = runDipole({"sweep", "freq", "14.1:14.3:0.1"});
    ASSERT_EQ(text.status, ExitStatus::Solved) << text.err;
    EXPECT_TRUE(
        text.out.starts_with("SWR from NEC-2 (nec2c at every frequency) of NEC-2's refined match at 14.2 MHz\n"))
        << text.out;
    // The heading names no fixed feed impedance: NEC computes it.
    EXPECT_FALSE(contains(text.out, "Feed impedance")) << text.out;
    EXPECT_TRUE(contains(text.out, "\nShare: whole")) << text.out;
    // The tuning given is held as given: a shorted capacitor is said so.
    const CliRun given = runDipole({"sweep", "freq", "14.1:14.3:0.1", "--length", "1000mm", "--cap", "short"});
    ASSERT_EQ(given.status, ExitStatus::Solved) << given.err;
    EXPECT_TRUE(given.out.starts_with("SWR from NEC-2 (nec2c at every frequency) of as given\n")) << given.out;
    EXPECT_TRUE(contains(given.out, "\nRod length 1000.0 mm\nCapacitor shorted\n\n")) << given.out;

    // Every frequency from nec2c, none read between others: each row of a
    // wide sweep is what a sweep of two frequencies (nothing to read
    // between) gives there.
    const std::vector<std::string_view> held = {"--length", "1263.6mm", "--cap", "79.12", "--csv"};
    const CliRun wide = runDipole({"sweep", "freq", "12.2:16.2:1"}, held);
    ASSERT_EQ(wide.status, ExitStatus::Solved) << wide.err;
    const auto rows = toolOutput::lines(wide.out);
    ASSERT_EQ(rows.size(), 6U) << wide.out;
    for (const char* mhz : {"13.2", "15.2"}) {
        const std::string at = std::string(mhz) + ":" + (mhz[1] == '3' ? "14.2" : "16.2") + ":1";
        const CliRun alone = runDipole({"sweep", "freq", at}, held);
        ASSERT_EQ(alone.status, ExitStatus::Solved) << alone.err;
        const auto one = toolOutput::lines(alone.out);
        ASSERT_EQ(one.size(), 3U) << alone.out;
        const auto row = std::find_if(rows.begin(), rows.end(),
            [&](const std::string& r) { return toolOutput::fields(r).at(0) == toolOutput::fields(one[1]).at(0); });
        ASSERT_NE(row, rows.end()) << mhz;
        for (std::size_t column : {1U, 2U}) {
            EXPECT_NEAR(number(toolOutput::fields(*row).at(column)), number(toolOutput::fields(one[1]).at(column)),
                1e-3 * (1 + std::abs(number(toolOutput::fields(one[1]).at(column)))))
                << mhz << " column " << column;
        }
    }

    // Without nec2c, the fixed-impedance sweep stands in, and says so.
    const FakeNec fake("/nonexistent/nec2c");
    const CliRun fallback = runDipole({"sweep", "freq", "14.1:14.3:0.1", "--r", "72", "--x", "2"});
    ASSERT_EQ(fallback.status, ExitStatus::Solved) << fallback.err;
    EXPECT_TRUE(contains(fallback.out, "The feed impedance is held at 72.00 + j2.00 ohms")) << fallback.out;
    EXPECT_TRUE(contains(fallback.err, "not checked in NEC-2: nec2c could not be started")) << fallback.err;
    // Without --r and --x there is nothing to fall back on.
    const CliRun nothing = runDipole({"sweep", "freq", "14.1:14.3:0.1"});
    EXPECT_EQ(nothing.status, ExitStatus::BadInput);
    EXPECT_EQ(nothing.out, "");
    EXPECT_TRUE(contains(nothing.err, "give --r and --x")) << nothing.err;
}

struct UsageRow {
    const char* name;
    std::vector<std::string_view> args;
    const char* message;
};

class FullWaveUsage : public ::testing::TestWithParam<UsageRow> { };

TEST_P(FullWaveUsage, IsRefusedBeforeNecRuns)
{
    const FakeNec fake("/nonexistent/nec2c"); // would say "not checked" if it got that far
    const CliRun result = run(GetParam().args);
    EXPECT_EQ(result.status, ExitStatus::BadInput);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("vostrel-design: " + std::string(GetParam().message))) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Rows, FullWaveUsage,
    ::testing::Values(UsageRow{"write_without_element",
                          {"design", "--freq", "14.2", "--r", "72", "--x", "2", "--element", "25mm", "--rod", "12.7mm",
                              "--spacing", "150mm", "--write-nec", "x.nec"},
                          "--write-nec needs the element"},
        UsageRow{"length_and_deck",
            {"design", "--freq", "14.2", "--rod", "12.7mm", "--spacing", "150mm", "--nec", "a.nec", "--element-length",
                "10m"},
            "--element-length and --nec each give the element"},
        UsageRow{"deck_and_element",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm", "--nec",
                "a.nec"},
            "--nec gives the element's diameter"},
        UsageRow{"only_one_of_r_and_x",
            {"design", "--freq", "14.2", "--r", "72", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m"},
            "--x is needed"},
        UsageRow{"bad_length",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "ten"},
            "--element-length: "},
        UsageRow{"length_in_the_diameter_unit",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10.2"},
            "--element-length: the element is 0.010 m long"},
        UsageRow{"length_past_three_wavelengths",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "64m"},
            "--element-length: the element is 64.000 m long, 3.03 wavelengths at 14.2 MHz"},
        UsageRow{"write_in_a_sweep",
            {"sweep", "freq", "14:14.4:0.1", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing",
                "150mm", "--element-length", "10m", "--write-nec", "x.nec"},
            "--write-nec is not an option of sweep freq"},
        UsageRow{"length_in_a_cap_sweep",
            {"sweep", "cap", "70:80:1", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m"},
            "--element-length is not an option of sweep cap"},
        UsageRow{"rod_side_without_element",
            {"design", "--freq", "14.2", "--r", "72", "--x", "2", "--element", "25mm", "--rod", "12.7mm", "--spacing",
                "150mm", "--rod-side", "-z"},
            "--rod-side needs the element: give --element-length or --nec"},
        UsageRow{"rod_side_in_a_sweep_without_element",
            {"sweep", "freq", "14:14.4:0.1", "--freq", "14.2", "--r", "72", "--x", "2", "--element", "25mm", "--rod",
                "12.7mm", "--spacing", "150mm", "--length", "1.2m", "--cap", "80", "--rod-side", "-z"},
            "--rod-side needs the element: give --element-length or --nec"},
        UsageRow{"cap_at_without_element",
            {"design", "--freq", "14.2", "--r", "72", "--x", "2", "--element", "25mm", "--rod", "12.7mm", "--spacing",
                "150mm", "--cap-at", "rod-end"},
            "--cap-at needs the element: give --element-length or --nec"},
        UsageRow{"cap_at_in_a_sweep_without_element",
            {"sweep", "freq", "14:14.4:0.1", "--freq", "14.2", "--r", "72", "--x", "2", "--element", "25mm", "--rod",
                "12.7mm", "--spacing", "150mm", "--length", "1.2m", "--cap", "80", "--cap-at", "feed"},
            "--cap-at needs the element: give --element-length or --nec"},
        UsageRow{"cap_at_in_adjust_without_element",
            {"adjust", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm", "--length",
                "1300mm", "--cap", "75", "--zin", "38.5,-21.2", "--cap-at", "tube", "--tube-id", "30mm"},
            "--cap-at needs the element: give --element-length or --nec"},
        UsageRow{"rod_side_in_adjust_without_element",
            {"adjust", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm", "--length",
                "1300mm", "--cap", "75", "--zin", "38.5,-21.2", "--rod-side", "-z"},
            "--rod-side needs the element: give --element-length or --nec"},
        UsageRow{"tube_without_its_diameter",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m", "--cap-at", "tube"},
            "--cap-at tube needs --tube-id, the inner diameter of the tube the rod slides into"},
        UsageRow{"tube_no_wider_than_the_rod",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m", "--cap-at", "tube", "--tube-id", "12.7mm"},
            "--tube-id: the tube must be wider inside than the rod, 12.7 mm"},
        UsageRow{"tube_with_a_sleeve_that_is_none",
            {"sweep", "freq", "14:14.4:0.1", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing",
                "150mm", "--element-length", "10m", "--cap-at", "tube", "--tube-id", "20mm", "--dielectric", "glass"},
            "--dielectric: \"glass\" is neither air, ptfe, polyethylene nor a relative permittivity"},
        UsageRow{"tube_with_a_sleeve_below_air",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m", "--cap-at", "tube", "--tube-id", "20mm", "--dielectric", "0.5"},
            "--dielectric: the relative permittivity must be a number of at least 1"},
        UsageRow{"tube_id_without_the_tube_in_the_model",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m", "--cap-at", "rod-end", "--tube-id", "20mm"},
            "--tube-id goes with --power, which rates the closed-form design: leave out --element-length and --nec, "
            "or give --cap-at tube"},
        UsageRow{"sleeve_in_a_sweep_without_the_tube",
            {"sweep", "freq", "14:14.4:0.1", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing",
                "150mm", "--element-length", "10m", "--dielectric", "ptfe"},
            "--dielectric is the capacitor's tube in NEC-2's model: give --element-length or --nec, and --cap-at "
            "tube"},
        UsageRow{"power_with_the_element",
            {"design", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing", "150mm",
                "--element-length", "10m", "--power", "100"},
            "--power rates the closed-form design: leave out --element-length and --nec"},
        UsageRow{"rod_side_in_a_cap_sweep",
            {"sweep", "cap", "70:80:1", "--freq", "14.2", "--r", "72", "--x", "2", "--element", "25mm", "--rod",
                "12.7mm", "--spacing", "150mm", "--rod-side", "-z"},
            "--rod-side is not an option of sweep cap"}),
    [](const auto& info) { return std::string(info.param.name); });

// --rod-side refused in one line, status 2, before nec2c runs: a value that
// is no side, and a side along the driven element (the tube's x, the
// beam's y), in design and in a sweep.
struct SideRefusalRow {
    const char* name;
    bool beam;
    const char* side;
    bool sweep;
    const char* message;
};

class RodSideRefusal : public ::testing::TestWithParam<SideRefusalRow> { };

TEST_P(RodSideRefusal, OneLineAndStatusTwo)
{
    const SideRefusalRow& row = GetParam();
    const FakeNec fake("/nonexistent/nec2c"); // would say "not checked" if it got that far
    std::vector<std::string_view> args;
    if (row.sweep) {
        args = {"sweep", "freq", "14:14.4:0.2"};
    } else {
        args = {"design"};
    }
    const CliRun result = row.beam ? [&] {
        for (const std::string_view arg :
            {"--freq", "28.5", "--rod", "12.7mm", "--spacing", "100mm", "--nec", kBeam.c_str(), "--rod-side", row.side}) {
            args.push_back(arg);
        }
        return run(args);
    }()
                                   : runDipole(args, {"--rod-side", row.side});
    EXPECT_EQ(result.status, ExitStatus::BadInput);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "vostrel-design: " + std::string(row.message) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, RodSideRefusal,
    ::testing::Values(SideRefusalRow{"no_side", false, "up", false,
                          "--rod-side: \"up\" is not a side: away, +x, -x, +y, -y, +z or -z"},
        SideRefusalRow{
            "no_axis", false, "+w", false, "--rod-side: \"+w\" is not a side: away, +x, -x, +y, -y, +z or -z"},
        SideRefusalRow{"along_the_tube", false, "+x", false,
            "--rod-side: the rod side +x runs along the driven element, which lies along x; choose a side across it"},
        SideRefusalRow{"along_the_tube_in_a_sweep", false, "-X", true,
            "--rod-side: the rod side -x runs along the driven element, which lies along x; choose a side across it"},
        SideRefusalRow{"along_the_beam", true, "-y", false,
            "--rod-side: the rod side -y runs along the driven element, which lies along y; choose a side across it"}),
    [](const auto& info) { return std::string(info.param.name); });

// --cap-at: a place that is none refused in one line, status 2, before
// nec2c runs (in design and in a sweep); the two places in any case; and the
// report says where the refined capacitor sits.
TEST(FullWave, CapacitorPlace)
{
    {
        const FakeNec fake("/nonexistent/nec2c");
        for (const std::string_view command : {"design", "sweep"}) {
            std::vector<std::string_view> args = {command};
            if (command == "sweep") {
                args = {"sweep", "freq", "14:14.4:0.2"};
            }
            const CliRun result = runDipole(args, {"--cap-at", "rod-middle"});
            EXPECT_EQ(result.status, ExitStatus::BadInput) << command;
            EXPECT_EQ(result.out, "") << command;
            EXPECT_EQ(result.err, "vostrel-design: --cap-at: \"rod-middle\" is not a place: feed, rod-end or tube\n")
                << command;
        }
    }
    const CliRun feed = runDipole({"design"}, {"--cap-at", "FEED"});
    ASSERT_EQ(feed.status, ExitStatus::Solved) << feed.err;
    EXPECT_TRUE(rowValue(feed.out, "Refined capacitor").ends_with(" pF, beside the feed point")) << feed.out;
    const CliRun rodEnd = runDipole({"design"}, {"--cap-at", "Rod-End"});
    ASSERT_EQ(rodEnd.status, ExitStatus::Solved) << rodEnd.err;
    EXPECT_TRUE(rowValue(rodEnd.out, "Refined capacitor").ends_with(" pF, at the rod's feed end")) << rodEnd.out;
    EXPECT_GT(
        std::stod(rowValue(rodEnd.out, "Refined rod length")), std::stod(rowValue(feed.out, "Refined rod length")));
    EXPECT_LT(std::stod(rowValue(rodEnd.out, "Refined capacitor")), std::stod(rowValue(feed.out, "Refined capacitor")));

    // The rod in its tube: the rod's end's match (the line's reactance is
    // the capacitor's at the design frequency), and how far the rod goes in.
    const CliRun tube = runDipole({"design"}, {"--cap-at", "tube", "--tube-id", "30mm"});
    ASSERT_EQ(tube.status, ExitStatus::Solved) << tube.err;
    EXPECT_EQ(rowValue(tube.out, "Refined rod length"), rowValue(rodEnd.out, "Refined rod length"));
    const std::string tubeRow = rowValue(tube.out, "Refined capacitor");
    EXPECT_TRUE(tubeRow.ends_with(" mm into its tube (a line of Z0 51.5 ohms, open at the rod's tip)")) << tube.out;
    const double pf = std::stod(tubeRow);
    const auto section = vostrel::nec::tubeSection({0.030, 1}, 0.0127, pf, 14.2);
    ASSERT_TRUE(std::holds_alternative<vostrel::nec::TubeSection>(section));
    const std::size_t into = tubeRow.find(", the rod ");
    ASSERT_NE(into, std::string::npos) << tubeRow;
    EXPECT_NEAR(
        std::stod(tubeRow.substr(into + 10)), std::get<vostrel::nec::TubeSection>(section).insertion * 1000, 0.1)
        << tubeRow;
    EXPECT_EQ(tube.err, "");
    // The capacitor's range to allow for, as the rod's insertion too.
    const auto& line = std::get<vostrel::nec::TubeSection>(section);
    const std::string allow = rowValue(tube.out, "Allow for");
    const std::size_t range = allow.find(" pF (the rod ");
    ASSERT_NE(range, std::string::npos) << allow;
    const double low = std::stod(allow.substr(range + 13));
    const double high = std::stod(allow.substr(allow.find(" to ", range) + 4));
    EXPECT_LT(low, std::stod(tubeRow.substr(into + 10)));
    EXPECT_GT(high, std::stod(tubeRow.substr(into + 10)));
    EXPECT_NEAR(low, vostrel::nec::insertionFor(line, 0.9 * pf) * 1000, 20) << allow;
    EXPECT_TRUE(allow.find(" mm into its tube); strap ") != std::string::npos) << allow;
    const auto csv = csvRow(runDipole({"design", "--csv"}, {"--cap-at", "tube", "--tube-id", "30mm"}).out);
    EXPECT_NEAR(number(csv.at("nec_tube_insertion")), std::stod(tubeRow.substr(into + 10)), 0.05);
    EXPECT_EQ(csvRow(runDipole({"design", "--csv"}, {"--cap-at", "rod-end"}).out).at("nec_tube_insertion"), "");
    // A tube so wide that the capacitor wants more of the rod than there
    // is: said in the row and on standard error, with what to do.
    const CliRun wide = runDipole({"design"}, {"--cap-at", "tube", "--tube-id", "50mm"});
    ASSERT_EQ(wide.status, ExitStatus::Solved) << wide.err;
    EXPECT_TRUE(rowValue(wide.out, "Refined capacitor")
                    .ends_with("; longer than the rod: take a narrower tube or a sleeve of ptfe"))
        << wide.out;
    EXPECT_TRUE(contains(wide.err, "longer than the rod itself (1284.2 mm)")) << wide.err;
    // The sweep says which capacitor it holds.
    const CliRun swept = runDipole({"sweep", "freq", "13.6:14.8:0.6"}, {"--cap-at", "tube", "--tube-id", "30mm"});
    ASSERT_EQ(swept.status, ExitStatus::Solved) << swept.err;
    EXPECT_TRUE(contains(swept.out,
        "\nCapacitor as a line: the rod " + tubeRow.substr(into + 10, 6)
            + " mm into its tube (Z0 51.5 ohms), open at the rod's tip\n"))
        << swept.out;

    // A design file's place is taken as the option would be, and the option
    // given wins over it.
    const cliTest::TempFile file("vostrel design 1\nfrequency = 14.2\nelement-diameter = 25 mm\n"
                                 "rod-diameter = 12.7 mm\nspacing = 150 mm\nelement-length = 10.1 m\n"
                                 "cap-at = rod-end\n");
    EXPECT_EQ(run({"design", "--design", file.path()}).out, rodEnd.out);
    EXPECT_EQ(run({"design", "--design", file.path(), "--cap-at", "feed"}).out, feed.out);
    // The file's tube goes into NEC-2's model with the tube as the place;
    // its SWR margin, a rating of the closed form, is left out.
    const cliTest::TempFile inTube("vostrel design 1\nfrequency = 14.2\nelement-diameter = 25 mm\n"
                                   "rod-diameter = 12.7 mm\nspacing = 150 mm\nelement-length = 10.1 m\n"
                                   "cap-at = tube\ntube-id = 30 mm\ndielectric = air\nswr-margin = 2\n");
    EXPECT_EQ(run({"design", "--design", inTube.path()}).out, tube.out);
}

// --write-nec writes the rod on the side asked. nec2c fails here, so that
// the deck holds the closed form's match without a refinement's runs.
struct WrittenSideRow {
    const char* name;
    bool beam;
    const char* side;
    vostrel::nec::Point offset; // of the rod's start from the feed point, metres
};

class WrittenSide : public ::testing::TestWithParam<WrittenSideRow> { };

TEST_P(WrittenSide, RodLiesOnTheSideAsked)
{
    const WrittenSideRow& row = GetParam();
    const FakeNec fake(std::string(VOSTREL_NEC_FAKES) + "/failing");
    Folder folder;
    const std::string path = (folder.path() / "matched.nec").string();
    CliRun result;
    if (row.beam) {
        // The beam's driven element, as NEC finds it: the line model
        // matches it with k = 1.
        result = run({"design", "--freq", "28.5", "--r", "10.46", "--x", "8.8", "--rod", "12.7mm", "--spacing", "100mm",
            "--nec", kBeam, "--write-nec", path, "--rod-side", row.side});
    } else {
        result = runDipole({"design", "--r", "72", "--x", "2", "--write-nec", path, "--rod-side", row.side});
    }
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    EXPECT_TRUE(contains(result.err, "not checked in NEC-2")) << result.err;
    std::ifstream file(path);
    const std::string deck((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Read back for its geometry, without our capacitor on the source
    // segment (refused in a user's deck).
    std::string withoutCapacitor;
    std::istringstream lines(deck);
    for (std::string line; std::getline(lines, line);) {
        withoutCapacitor += line.rfind("LD 0 ", 0) == 0 ? "" : line + "\n";
    }
    const auto read = vostrel::nec::readDeck(withoutCapacitor, "matched.nec");
    ASSERT_TRUE(std::holds_alternative<vostrel::nec::UserDeck>(read)) << deck;
    const auto& wires = std::get<vostrel::nec::UserDeck>(read).wires;
    // The rod: the tube's wire of tag 3 (after the element's 1 and the feed
    // connection's 2), the beam's of tag 4 (after its own 1 and 2 and 3).
    const int rodTag = row.beam ? 4 : 3;
    const auto rod = std::find_if(wires.begin(), wires.end(), [&](const auto& w) { return w.tag == rodTag; });
    ASSERT_NE(rod, wires.end()) << deck;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(rod->from[i], row.offset[i], 1e-9) << i << "\n" << deck;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, WrittenSide,
    ::testing::Values(WrittenSideRow{"tube_away", false, "away", {0, 0, 0.15}},
        WrittenSideRow{"tube_minus_z", false, "-z", {0, 0, -0.15}},
        WrittenSideRow{"tube_plus_y", false, "+Y", {0, 0.15, 0}},
        WrittenSideRow{"tube_minus_y", false, "-y", {0, -0.15, 0}},
        WrittenSideRow{"beam_away", true, "away", {0.1, 0, 0}},
        WrittenSideRow{"beam_towards_the_reflector", true, "-x", {-0.1, 0, 0}},
        WrittenSideRow{"beam_plus_z", true, "+z", {0, 0, 0.1}}),
    [](const auto& info) { return std::string(info.param.name); });

// The side changes NEC's answer for the beam (one nec2c run per side, the
// match held: about its refined one with the rod away from the reflector):
// "away" is +x; above and below the element give the same (the model is
// symmetric about the beam's plane, z = 0), and lie between away (50 ohms)
// and towards the reflector, where the resistance stepped up is the
// highest (about 63 ohms in our runs).
TEST(FullWave, RodSideChangesNecsAnswerForTheBeam)
{
    const auto zinOf = [&](const char* side) {
        const CliRun result = run({"sweep", "freq", "28.5:28.6:0.1", "--csv", "--freq", "28.5", "--rod", "12.7mm",
            "--spacing", "100mm", "--nec", kBeam, "--length", "376mm", "--cap", "115", "--rod-side", side});
        EXPECT_EQ(result.status, ExitStatus::Solved) << side << ": " << result.err;
        const auto lines = toolOutput::lines(result.out);
        if (lines.size() != 3) {
            ADD_FAILURE() << side << ":\n" << result.out;
            return std::complex<double>();
        }
        const auto fields = toolOutput::fields(lines[1]);
        return std::complex<double>(number(fields.at(1)), number(fields.at(2)));
    };
    const auto away = zinOf("away");
    const auto plusX = zinOf("+x");
    const auto minusX = zinOf("-x");
    const auto plusZ = zinOf("+z");
    const auto minusZ = zinOf("-z");
    EXPECT_EQ(away, plusX);
    EXPECT_LT(std::abs(plusZ - minusZ), 0.01) << plusZ << " " << minusZ;
    EXPECT_NEAR(away.real(), 50, 1.5);
    EXPECT_GT(plusZ.real(), away.real() + 1) << plusZ << " " << away;
    EXPECT_GT(minusX.real(), plusZ.real() + 1) << minusX << " " << plusZ;
}

} // namespace

// An MMANA-GAL model goes where a NEC-2 deck goes: the .maa twin of a deck
// gives the same report, and --write-nec writes NEC-2 from it.
TEST(FullWave, MaaModelGivesItsNecTwinsReport)
{
    const std::string models = std::string(VOSTREL_NEC_MODELS);
    Folder folder;
    const std::string written = (folder.path() / "matched.nec").string();
    const auto design = [&](const std::string& model, std::vector<std::string_view> extra) {
        std::vector<std::string_view> args{
            "design", "--freq", "28.5", "--rod", "12.7mm", "--spacing", "100mm", "--nec", model};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    };
    const CliRun fromMaa = design(models + "/yagi3.maa", {"--write-nec", written});
    const CliRun fromNec = design(models + "/yagi3.nec", {});
    ASSERT_EQ(fromMaa.status, ExitStatus::Solved) << fromMaa.err;
    ASSERT_EQ(fromNec.status, ExitStatus::Solved) << fromNec.err;
    EXPECT_EQ(rowValue(fromMaa.out, "NEC feed impedance, bare element"), "23.99 - j10.81 ohms");
    EXPECT_EQ(fromMaa.out, fromNec.out);
    std::ifstream file(written);
    const std::string deck((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(deck.starts_with("CM 3-element 10 m Yagi")) << deck.substr(0, 200);
    EXPECT_NE(deck.find("\nGW 3 21 1.2 -2.35 0 1.2 2.35 0 0.0125\n"), std::string::npos) << deck; // the director
    const auto solved = vostrel::nec::run(deck, {});
    ASSERT_TRUE(std::holds_alternative<vostrel::nec::Solution>(solved))
        << std::get<vostrel::nec::NecFailure>(solved).message;
    EXPECT_NEAR(std::abs(std::get<vostrel::nec::Solution>(solved).points.at(0).impedance - 50.0), 0, 2.5);

    // A line the reader cannot use is named by file and line.
    const std::string bad = (folder.path() / "bad.MAA").string();
    {
        std::ofstream maa(bad);
        maa << "beam\n*\n28.5\n*** Wires ***\n1\n0,-2.5,0,0,2.5,0,-0.01,21\n";
    }
    const CliRun refused = design(bad, {});
    EXPECT_EQ(refused.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(refused.err, "bad.MAA:6: the wire's radius must be above 0")) << refused.err;
}

namespace {

// adjust on the README's 20 m dipole: built at `length` and `pf`, read `zin`.
CliRun adjustDipole(
    const std::string& length, const std::string& pf, const std::string& zin, std::vector<std::string_view> more = {})
{
    std::vector<std::string_view> head{"adjust", "--length", length, "--cap", pf, "--zin", zin};
    return runDipole(head, more);
}

std::string ohmsArg(std::complex<double> z)
{
    std::ostringstream text;
    text.precision(17);
    text << z.real() << "," << z.imag();
    return text.str();
}

} // namespace

// With the element's length NEC-2's model of the match takes the step: a
// reading of the model's own refined match changes next to nothing; a
// reading off shows the element the model missed, and the next cut NEC
// expects to match; through a cable the same once the cable is out.
TEST(FullWaveAdjust, StepsInNecsModelOfTheMatch)
{
    auto refined = csvRow(runDipole({"design", "--csv"}).out);
    const std::string rod = refined["nec_rod_length"] + "mm";
    const std::string pf = refined["nec_capacitance_pf"];
    // NEC's confirming run of that match gives 49.88 + j0.00 ohms.
    const CliRun same = adjustDipole(rod, pf, "49.88,0", {"--csv"});
    ASSERT_EQ(same.status, ExitStatus::Solved) << same.err;
    auto row = csvRow(same.out);
    EXPECT_EQ(row["adjusted_in"], "nec2");
    EXPECT_LT(std::abs(number(row["strap_move"])), 2.0) << same.out;
    EXPECT_LT(std::abs(number(row["capacitance_change_pf"])), 0.5) << same.out;
    EXPECT_LT(std::abs(number(row["nec_correction_r_ohm"])), 0.5) << same.out;
    EXPECT_LT(std::abs(number(row["nec_correction_x_ohm"])), 0.5) << same.out;

    const CliRun off = adjustDipole("1300mm", "75", "38.5,-21.2", {"--csv"});
    ASSERT_EQ(off.status, ExitStatus::Solved) << off.err;
    row = csvRow(off.out);
    EXPECT_EQ(row["adjusted_in"], "nec2");
    EXPECT_LT(number(row["expected_swr"]), 1.05);
    EXPECT_NEAR(number(row["strap_move"]), number(row["rod_length"]) - 1300, 1e-6);
    EXPECT_NEAR(number(row["capacitance_change_pf"]), number(row["capacitance_pf"]) - 75, 1e-9);
    // The element shown: NEC's bare element with the correction.
    EXPECT_NEAR(
        number(row["element_r_ohm"]), number(refined["nec_feed_r_ohm"]) + number(row["nec_correction_r_ohm"]), 0.02);
    EXPECT_NEAR(
        number(row["element_x_ohm"]), number(refined["nec_feed_x_ohm"]) + number(row["nec_correction_x_ohm"]), 0.02);
    // What NEC-2 expected of the build as it was: near its match, not the reading.
    EXPECT_LT(std::abs(std::complex<double>(number(row["model_r_ohm"]), number(row["model_x_ohm"])) - 50.0), 10.0);

    const auto* rg58 = std::get<const vostrel::coax::Cable*>(vostrel::coax::findCable("rg58"));
    const auto atShack = vostrel::coax::inputImpedance(vostrel::coax::lineOf(*rg58, 20), 14.2, {38.5, -21.2});
    const CliRun through = adjustDipole("1300mm", "75", ohmsArg(atShack), {"--csv", "--through", "rg58,20m"});
    ASSERT_EQ(through.status, ExitStatus::Solved) << through.err;
    auto cabled = csvRow(through.out);
    EXPECT_NEAR(number(cabled["rod_length"]), number(row["rod_length"]), 0.5);
    EXPECT_NEAR(number(cabled["capacitance_pf"]), number(row["capacitance_pf"]), 0.1);

    // A long, lossy cable: NEC-2's step comes with the cable's warning.
    const auto farShack = vostrel::coax::inputImpedance(vostrel::coax::lineOf(*rg58, 100), 14.2, {38.5, -21.2});
    const CliRun lossy = adjustDipole("1300mm", "75", ohmsArg(farShack), {"--csv", "--through", "rg58,100m"});
    ASSERT_EQ(lossy.status, ExitStatus::Solved) << lossy.err;
    auto lossyRow = csvRow(lossy.out);
    EXPECT_EQ(lossyRow["adjusted_in"], "nec2");
    EXPECT_TRUE(lossyRow["warning"].starts_with("the cable loses ")) << lossy.out;

    // With the rod in its tube in NEC-2's model, the insertions are the
    // line's, as design gives them; without, the capacitance per metre.
    for (const bool asLine : {true, false}) {
        SCOPED_TRACE(asLine ? "tube" : "rod-end");
        const CliRun inTube = adjustDipole(
            "1300mm", "75", "38.5,-21.2", {"--csv", "--cap-at", asLine ? "tube" : "rod-end", "--tube-id", "30mm"});
        ASSERT_EQ(inTube.status, ExitStatus::Solved) << inTube.err;
        auto tubeRow = csvRow(inTube.out);
        const double next = number(tubeRow["capacitance_pf"]);
        const auto line = vostrel::nec::tubeSection({0.030, 1}, 0.0127, next, 14.2);
        ASSERT_TRUE(std::holds_alternative<vostrel::nec::TubeSection>(line));
        const double expected = asLine ? std::get<vostrel::nec::TubeSection>(line).insertion
                                       : std::get<double>(vostrel::design::insertionLength(next, 0.030, 0.0127, 1));
        EXPECT_NEAR(number(tubeRow["insertion_length"]), expected * 1000, 0.01) << inTube.out;
    }

    const CliRun text = adjustDipole("1300mm", "75", "38.5,-21.2");
    EXPECT_TRUE(contains(text.out, "NEC-2's model of the match expected ")) << text.out;
    EXPECT_TRUE(contains(text.out, "  Element, beside the model         ")) << text.out;
    EXPECT_TRUE(contains(text.out, "  Adjusted in                       NEC-2's model of the match, ")) << text.out;
}

// A sweep read at the connector: the lowest SWR now from the readings, after
// the change from NEC's sweep of the next build.
TEST(FullWaveAdjust, SweepGivesTheLowestSwrAfterTheChangeFromNec)
{
    const std::string s1p = std::string(VOSTREL_DESIGN_TESTS) + "/nanovna.s1p";
    const CliRun swept = runDipole({"adjust", "--length", "1300mm", "--cap", "75", "--zin-s1p", s1p}, {"--csv"});
    ASSERT_EQ(swept.status, ExitStatus::Solved) << swept.err;
    auto row = csvRow(swept.out);
    EXPECT_EQ(row["adjusted_in"], "nec2");
    EXPECT_FALSE(row["swr_min_mhz"].empty());
    EXPECT_GE(number(row["swr_min_next_mhz"]), 14.0);
    EXPECT_LE(number(row["swr_min_next_mhz"]), 14.4);
    EXPECT_LE(number(row["swr_min_next_swr"]), number(row["expected_swr"]) + 1e-9);
    // The lowest SWR now is the readings' own, whichever model adjusts.
    const CliRun closedForm = run({"adjust", "--freq", "14.2", "--element", "25mm", "--rod", "12.7mm", "--spacing",
        "150mm", "--length", "1300mm", "--cap", "75", "--zin-s1p", s1p, "--csv"});
    ASSERT_EQ(closedForm.status, ExitStatus::Solved) << closedForm.err;
    auto closedRow = csvRow(closedForm.out);
    EXPECT_EQ(closedRow["adjusted_in"], "closed_form");
    EXPECT_EQ(row["swr_min_mhz"], closedRow["swr_min_mhz"]);
    EXPECT_EQ(row["swr_min_swr"], closedRow["swr_min_swr"]);
}

// nec2c missing: the closed form's step, said so; the closed form's own
// refusals then hold (its next rod beyond half the element).
TEST(FullWaveAdjust, WithoutNec2cTheClosedFormsStepStandsIn)
{
    const FakeNec fake("/nonexistent/nec2c");
    const CliRun result = adjustDipole("1300mm", "75", "38.5,-21.2", {"--csv"});
    ASSERT_EQ(result.status, ExitStatus::Solved) << result.err;
    EXPECT_TRUE(contains(result.err, "not checked in NEC-2: ")) << result.err;
    EXPECT_TRUE(contains(result.err, "; the closed form's step stands in")) << result.err;
    EXPECT_EQ(csvRow(result.out)["adjusted_in"], "closed_form");

    const CliRun tooLong = run({"adjust", "--freq", "14.3", "--element", "1.5in", "--rod", "0.5in", "--spacing", "6in",
        "--textbook", "--length", "38.90in", "--cap", "96.14", "--zin", "40,10", "--element-length", "2.1m"});
    EXPECT_EQ(tooLong.status, ExitStatus::NoSolution) << tooLong.err;
    EXPECT_TRUE(contains(tooLong.err, "the next rod would be 1.070 m, longer than")) << tooLong.err;
}

// A deck beside the element's figures is refused; a reading the build rules out is
// refused before nec2c runs, as without NEC-2.
TEST(FullWaveAdjust, RefusalsComeBeforeNec)
{
    const FakeNec fake(std::string(VOSTREL_NEC_FAKES) + "/failing");
    const CliRun both = adjustDipole("1300mm", "75", "38.5,-21.2", {"--nec", kBeam});
    EXPECT_EQ(both.status, ExitStatus::BadInput);
    EXPECT_TRUE(contains(both.err, "--nec gives the element's diameter: leave out --element")) << both.err;
    const CliRun negative = adjustDipole("1300mm", "75", "-5,10");
    EXPECT_EQ(negative.status, ExitStatus::NoSolution);
    EXPECT_TRUE(contains(negative.err, "negative resistance")) << negative.err;
    EXPECT_FALSE(contains(negative.err, "NEC-2")) << negative.err;
}
