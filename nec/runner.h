// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "failure.h"

#include <atomic>
#include <chrono>
#include <complex>
#include <string>
#include <string_view>
#include <vector>

namespace vostrel::nec {

// How nec2c is run.
struct RunOptions {
    // Found on PATH unless it holds a '/'.
    std::string program = "nec2c";
    // Each run is killed after this long.
    std::chrono::milliseconds timeout{20000};
    // Checked while a run is in flight; when set the run is killed and
    // Cancelled returned. May be null.
    const std::atomic<bool>* cancel = nullptr;
};

// What one run of nec2c computed.
struct Solution {
    struct Point {
        double freqMhz = 0;
        std::complex<double> impedance; // at the source, ohms
    };
    std::vector<Point> points; // one per frequency, in order
    std::vector<double> averageGains; // one per frequency, when the deck has an RP card asking for it
};

// Reads nec2c's output: the frequency blocks ("FREQUENCY : 1.4200E+01 MHz"),
// the first source line of each "ANTENNA INPUT PARAMETERS" table (its
// IMPEDANCE columns), and "AVERAGE POWER GAIN:" lines.
//   a block at 14.2 MHz with "1 11 1.0E+00 0.0E+00 1.2E-02 -3.6E-03 7.5359E+01 2.2157E+01 ..."
//     -> {14.2, 75.359 + j22.157}
// Garbage (with the tail) when no impedance is found or a table line is
// not numbers.
Outcome<Solution> parseOutput(std::string_view output);

// Runs nec2c on `deck` in a private temporary directory (mkdtemp, removed
// afterwards), without a shell: nec2c -i DIR/in.nec -o DIR/out.txt, its
// standard output and error kept in DIR/log. Failures: MissingProgram,
// Crashed (signal or non-zero status), Garbage (parseOutput's), Timeout,
// Cancelled, each with the tail of what nec2c printed.
Outcome<Solution> run(std::string_view deck, const RunOptions& options);

// The last `lines` lines of `text`.
std::string tail(std::string_view text, int lines = 6);

} // namespace vostrel::nec
