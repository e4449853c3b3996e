// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coax_capacitor.h"
#include "design_cli.h"
#include "gamma_design.h"
#include "length_text.h"
#include "match_study.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace vostrel::design::cli {

// How vostrel-design writes its results: lengths and sizes in the shown
// unit, the heading every text result starts with, result rows, and the
// writing itself with its failure.

// At 1 decimal in mm, 2 in cm and in, 3 in ft, 4 in m.
//   0.98806 m, Inch -> "38.90"
std::string lengthText(double metres, Unit unit);
// Those decimals: Millimetre -> 1, Metre -> 4.
int lengthDecimals(Unit unit);
// A size as the builder gave it: two decimals more, trailing zeros dropped.
//   0.0381 m, Inch -> "1.5"
std::string sizeText(double metres, Unit unit);
// "25.00 - j25.00"
std::string complexText(Complex z);

// Where the feed impedance in a heading comes from.
enum class FeedShown {
    Given, // "Feed impedance: 25.00 - j25.00 ohms at 14.3 MHz"
    FromFile, // "Feed impedance: from the file, at each of its frequencies"
    FromNec, // "Feed impedance (NEC-2, bare element): ..."
    Omitted, // no line: NEC-2's sweep computes it at each frequency
};

// The lines every human-readable result starts with: the feed impedance,
// the share, the sizes and the line.
std::string heading(const DesignInput& in, Unit unit, FeedShown feed);
// One result line: the label, then the value in a column.
std::string resultRow(std::string_view label, const std::string& value);
// Z0, alpha, the step-up and Z2 as result rows; with the corrected model,
// the feed connection's and strap's inductance and its reactance at
// `freqMhz` too.
std::string lineRows(const LineModel& line, double freqMhz);

// The design command's text: the heading, the line model, the rod and the
// capacitor (neither when nothing matches).
std::string designText(const DesignInput& in, Unit unit, const Outcome<Design>& designed, FeedShown feed);
// The analyze command's text for the rod length and capacitance given
// (infinity: shorted).
std::string analyzeText(const DesignInput& in, Unit unit, double rodLength, double capacitancePf, const Analysis& a);

// A coaxial capacitor's insertion length, and what it was computed from.
struct Insertion {
    double tubeId = 0; // metres
    double rod = 0; // metres
    std::string dielectric; // "air", "ptfe", "sleeve" for a number
    double permittivity = 1;
    double length = 0; // metres
    Unit unit = Unit::Metre; // the one it is shown in
    // The inserted part as an open-ended line, when its length differs from
    // the per-metre one above by more than 2 %.
    std::optional<coax::OpenLineCapacitor> asLine;
};
// A piece of coax cable with its braid trimmed back, as a line.
struct CoaxPiece {
    std::string cable; // "RG-213"
    std::string dielectric; // "solid PE"
    double pfPerMetre = 0;
    double velocityFactor = 0;
    coax::OpenLineCapacitor line;
    Unit unit = Unit::Metre; // the one it is shown in
};
// The capacitor command's answer: infinite capacitance when there is no
// reactance to cancel.
struct CapacitorAnswer {
    double freqMhz = 0;
    double reactance = 0;
    double capacitancePf = 0;
    std::optional<Insertion> insertion;
    bool coaxAsked = false; // --coax: its CSV columns, empty when shorted
    std::optional<CoaxPiece> coax;
};
// A coax piece's lines, as the capacitor command writes them after the
// capacitance and design and analyze after theirs:
//   "Coax capacitor of RG-213 (solid PE, 101 pF/m, VF 0.66), open at its far
//    end: 7.4106 m (a line of 48.5 degrees)"
//   "  Per-metre estimate    1000.00 pF / 101 pF/m = 9.9010 m: 33.6 % longer than the line"
//   "  Trim                  4.3 mm per pF (shorter for less capacitance)"
// the estimate's line only when it differs by more than 2 %.
std::string coaxPieceText(const CoaxPiece& piece);
// The capacitance, then the coax piece's lines. A rod in a tube likewise
// gets "  As a line, open at the rod's end  4168.7 mm (...)" below its
// insertion length past 2 %.
std::string capacitorText(const CapacitorAnswer& answer);

// What a sweep holds, one line each: the rod length and the capacitor
// (infinity: shorted), each when given.
//   0.988 m, Inch, 96.1 -> "Rod length 38.90 in\nCapacitor 96.10 pF\n"
std::string heldLines(std::optional<double> rodLength, std::optional<double> capacitancePf, Unit unit);
// A sweep's text before its table: the heading, that a swept frequency
// keeps the feed impedance fixed (without a file), what is held.
std::string sweepHeading(
    const DesignInput& in, Unit unit, bool feedFromFile, study::Swept quantity, const study::Tuning& held);
// A sweep's table: the column titles (`suffix` the swept quantity's unit),
// then one row for each value, its label as counted.
std::string sweepTableHeader(study::Swept quantity, std::string_view suffix);
std::string sweepTableRow(std::string_view label, const SweepPoint& point);

// One line on `err` for output that could not be written, with the
// system's reason when the failing write left one in errno; returns
// WriteFailed.
int writeFailed(std::ostream& err);
// Writes `text`; returns `status`, or writeFailed() when it does not reach
// the output.
int writeResult(std::ostream& out, std::ostream& err, const std::string& text, ExitStatus status);

} // namespace vostrel::design::cli
