// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_inputs.h"
#include "gamma_design.h"

#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

namespace vostrel::design::cli {

// The full-wave check in NEC-2 (nec2c), asked for by --element-length LEN
// (a straight tube of that length and the --element diameter, free space,
// centre-fed) or --nec FILE (the user's deck).
//
// nec2c is found on PATH, or is the program VOSTREL_NEC2C names; each run
// is stopped after VOSTREL_NEC2C_TIMEOUT seconds (20).

// --element-length or --nec given.
bool fullWaveAsked(const Options& options);

// The design command with the check: the closed-form report and a
// "Full-wave check (NEC-2)" section (CSV: the nec_ columns). Status 0 when
// NEC matches (also where the line model cannot), 1 when NEC finds no
// match; when nec2c is missing or fails, the closed form's answer marked
// "not checked", its status, and one line on `err` saying why. A refused
// deck is 2 with file and line; --write-nec failing is 3.
int runFullWaveDesign(const Options& options, std::ostream& out, std::ostream& err);

// A frequency sweep from one NEC run of the refined match (or of --length
// and --cap when both are given).
struct NecSweep {
    std::vector<SweepPoint> points;
    std::string heading; // for a human reader, before the table
};
// monostate: nec2c did not run and the feed impedance is known: the
// fixed-impedance sweep stands in (one line on `err` says so).
std::variant<NecSweep, std::monostate, CommandLineError> fullWaveSweep(
    const Options& options, const Inputs& inputs, double fromMhz, double toMhz, int count, std::ostream& err);

} // namespace vostrel::design::cli
