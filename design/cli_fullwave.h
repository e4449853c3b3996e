// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adjust.h"
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

// A frequency sweep of the refined match from nec2c at every frequency
// (or of --length and --cap when both are given).
struct NecSweep {
    std::vector<SweepPoint> points;
    std::string heading; // for a human reader, before the table
};
// monostate: nec2c did not run and the feed impedance is known: the
// fixed-impedance sweep stands in (one line on `err` says so).
std::variant<NecSweep, std::monostate, CommandLineError> fullWaveSweep(
    const Options& options, const Inputs& inputs, double fromMhz, double toMhz, int count, std::ostream& err);

// adjust's step in NEC-2's model of the match (--element-length or --nec,
// --rod-side, --cap-at): the reading at the connector calibrates the model's
// element (a series impedance beside the feed point), and the match is
// refined again with it.
struct NecAdjustment {
    // The reading, NEC's Zin of the build as modelled (expected), the
    // element the reading shows, the next cut and what NEC expects of it.
    adjust::Adjustment step;
    Complex correction; // what the element differs by from the model, ohms
    int runs = 0; // nec2c runs
    // With a sweep's span: the lowest SWR of the next build over it, from one
    // NEC run with the correction held.
    std::optional<double> bestNextMhz;
    std::optional<double> bestNextSwr;
};
struct SweepSpan {
    double fromMhz = 0;
    double toMhz = 0;
    int count = 0;
};
// The element's diameter the NEC-2 model gives: the deck's driven wire's
// with --nec, none with --element-length (--element gives it). Refusals of
// the deck as readElement's for design.
std::variant<std::optional<double>, CommandLineError> fullWaveElementDiameter(
    const Options& options, const Inputs& inputs);

// monostate: nec2c did not run; one line on `err` says so, and that the
// closed form's step stands in. NEC finding no match: status 1.
std::variant<NecAdjustment, std::monostate, CommandLineError> fullWaveAdjust(const Options& options,
    const Inputs& inputs, const adjust::AdjustInput& in, Complex atConnector, const std::optional<SweepSpan>& span,
    std::ostream& err);

} // namespace vostrel::design::cli
