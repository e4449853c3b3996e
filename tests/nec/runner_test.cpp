// SPDX-License-Identifier: GPL-3.0-or-later
// nec2c as a separate process: its output read, and every way a run fails,
// with fake nec2c programs on PATH.
#include "nec_test_support.h"
#include "runner.h"

#include <atomic>
#include <csignal>
#include <fstream>
#include <thread>

using namespace vostrel::nec;
using namespace vostrel::nec::testing;
using namespace std::chrono_literals;

namespace {

// A half-wave dipole as nec2c 1.3 prints it (trimmed), at two frequencies.
constexpr const char* kTwoFrequencies = R"(
                               --------- FREQUENCY --------
                                FREQUENCY : 1.4200E+01 MHz
                                WAVELENGTH: 2.1113E+01 Mtr

                        --------- ANTENNA INPUT PARAMETERS ---------
  TAG   SEG       VOLTAGE (VOLTS)         CURRENT (AMPS)         IMPEDANCE (OHMS)        ADMITTANCE (MHOS)     POWER
  No:   No:     REAL      IMAGINARY     REAL      IMAGINARY     REAL      IMAGINARY    REAL       IMAGINARY   (WATTS)
    1    11  1.0000E+00  0.0000E+00  1.2214E-02 -3.5911E-03  7.5359E+01  2.2157E+01  1.2214E-02 -3.5911E-03  6.1070E-03

  AVERAGE POWER GAIN:  9.9795E-01 - SOLID ANGLE USED IN AVERAGING: (+4.0000)*PI STERADIANS

                               --------- FREQUENCY --------
                                FREQUENCY : 1.4300E+01 MHz
                                WAVELENGTH: 2.0965E+01 Mtr

                        --------- ANTENNA INPUT PARAMETERS ---------
  TAG   SEG       VOLTAGE (VOLTS)         CURRENT (AMPS)         IMPEDANCE (OHMS)        ADMITTANCE (MHOS)     POWER
  No:   No:     REAL      IMAGINARY     REAL      IMAGINARY     REAL      IMAGINARY    REAL       IMAGINARY   (WATTS)
    1    11  1.0000E+00  0.0000E+00  1.1000E-02 -4.0000E-03  8.0123E+01 -3.2100E+00  1.1000E-02 -4.0000E-03  6.0000E-03
)";

constexpr const char* kDipole = "CM half wave\nCE\nGW 1 21 0 0 -5.2 0 0 5.2 0.001\nGE 0\nEX 0 1 11 0 1 0\n"
                                "FR 0 1 0 0 14.2 0\nXQ\nEN\n";

TEST(ParseOutput, ImpedancePerFrequencyAndAverageGain)
{
    const auto outcome = parseOutput(kTwoFrequencies);
    const auto* solution = okOrFail(outcome);
    ASSERT_NE(solution, nullptr);
    ASSERT_EQ(solution->points.size(), 2u);
    EXPECT_DOUBLE_EQ(solution->points[0].freqMhz, 14.2);
    EXPECT_DOUBLE_EQ(solution->points[0].impedance.real(), 75.359);
    EXPECT_DOUBLE_EQ(solution->points[0].impedance.imag(), 22.157);
    EXPECT_DOUBLE_EQ(solution->points[1].freqMhz, 14.3);
    EXPECT_DOUBLE_EQ(solution->points[1].impedance.imag(), -3.21);
    ASSERT_EQ(solution->averageGains.size(), 1u);
    EXPECT_DOUBLE_EQ(solution->averageGains[0], 0.99795);
}

struct GarbageCase {
    const char* name;
    std::string output;
    const char* message;
};

class ParseGarbage : public ::testing::TestWithParam<GarbageCase> { };

TEST_P(ParseGarbage, IsRefusedWithItsTail)
{
    const NecFailure failure = failureOf(parseOutput(GetParam().output));
    EXPECT_EQ(failure.kind, NecFailure::Kind::Garbage);
    EXPECT_NE(failure.message.find(GetParam().message), std::string::npos) << failure.message;
    EXPECT_FALSE(failure.outputTail.empty());
}

INSTANTIATE_TEST_SUITE_P(Nec, ParseGarbage,
    ::testing::Values(GarbageCase{"NoImpedance", "hello\nworld\n", "no input impedance"},
        GarbageCase{"TableCutShort",
            std::string(kTwoFrequencies).substr(0, std::string(kTwoFrequencies).find("    1    11")) + "    1    11\n",
            "unreadable input impedance"},
        GarbageCase{"LettersForNumbers", "ANTENNA INPUT PARAMETERS\nTAG\nNo:\n 1 11 1 0 1 0 7.5E+01 abc\n",
            "unreadable input impedance"},
        GarbageCase{"BadFrequency", "FREQUENCY : ?.?E+01 MHz\n", "unreadable frequency"},
        GarbageCase{"BadGain", std::string(kTwoFrequencies) + "AVERAGE POWER GAIN: -\n", "unreadable average gain"}),
    RowName());

TEST(Run, RealNec2cLeavesNoFiles)
{
    Scratch scratch;
    const auto outcome = run(kDipole, RunOptions{});
    const auto* solution = okOrFail(outcome);
    ASSERT_NE(solution, nullptr);
    ASSERT_EQ(solution->points.size(), 1u);
    EXPECT_NEAR(solution->points[0].impedance.real(), 75.36, 0.01);
    EXPECT_EQ(scratch.leftovers(), 0);
}

// Every way the program can fail, each reported with its kind, a sentence
// and what it printed; no temporary file left behind.
struct FakeCase {
    const char* name;
    const char* script; // "" for no nec2c on PATH
    NecFailure::Kind kind;
    const char* message;
    const char* tail;
};

class FakeNec2c : public ::testing::TestWithParam<FakeCase> { };

TEST_P(FakeNec2c, ReportsTheFailure)
{
    const FakeCase& c = GetParam();
    Scratch scratch;
    scratch.fakeOnPath(c.script);
    RunOptions options;
    options.timeout = 300ms;
    const auto start = std::chrono::steady_clock::now();
    const NecFailure failure = failureOf(run(kDipole, options));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(failure.kind, c.kind);
    EXPECT_NE(failure.message.find(c.message), std::string::npos) << failure.message;
    EXPECT_NE(failure.outputTail.find(c.tail), std::string::npos) << failure.outputTail;
    EXPECT_EQ(scratch.leftovers(), 0);
}

INSTANTIATE_TEST_SUITE_P(Nec, FakeNec2c,
    ::testing::Values(FakeCase{"Missing", "", NecFailure::Kind::MissingProgram, "install the nec2c package", ""},
        FakeCase{"Crashing", "crashing", NecFailure::Kind::Crashed, "signal 11", "reading the input"},
        FakeCase{"Failing", "failing", NecFailure::Kind::Crashed, "status 1", "tag number 0 not allowed"},
        FakeCase{"Garbage", "garbage", NecFailure::Kind::Garbage, "unreadable input impedance", "not nec2c output"},
        FakeCase{"Hanging", "hanging", NecFailure::Kind::Timeout, "longer than 300 ms", "filling the matrix"}),
    RowName());

// A timed-out nec2c is killed with everything it started.
TEST(Run, TimeoutStopsTheWholeProcessGroup)
{
    Scratch scratch;
    scratch.fakeOnPath("hanging");
    RunOptions options;
    options.timeout = 300ms;
    const NecFailure failure = failureOf(run(kDipole, options));
    ASSERT_EQ(failure.kind, NecFailure::Kind::Timeout);
    const std::size_t at = failure.outputTail.find("child ");
    ASSERT_NE(at, std::string::npos) << failure.outputTail;
    const pid_t child = static_cast<pid_t>(std::stol(failure.outputTail.substr(at + 6)));
    ASSERT_GT(child, 1);
    // Gone, or dead and waiting for its new parent to reap it (state Z).
    auto dead = [child] {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string pid, name, state;
        return !(stat >> pid >> name >> state) || state == "Z";
    };
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = dead();
        std::this_thread::sleep_for(10ms);
    }
    if (!gone) {
        kill(child, SIGKILL);
    }
    EXPECT_TRUE(gone);
}

TEST(Run, CancelStopsARunInFlight)
{
    Scratch scratch;
    scratch.fakeOnPath("hanging");
    std::atomic<bool> cancel{false};
    RunOptions options;
    options.timeout = 20s;
    options.cancel = &cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(100ms);
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    const NecFailure failure = failureOf(run(kDipole, options));
    canceller.join();
    EXPECT_EQ(failure.kind, NecFailure::Kind::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(scratch.leftovers(), 0);
}

TEST(Tail, KeepsTheLastLines)
{
    EXPECT_EQ(tail("a\nb\nc\nd\n", 2), "c\nd");
    EXPECT_EQ(tail("a\nb", 5), "a\nb");
    EXPECT_EQ(tail("", 3), "");
}

} // namespace
