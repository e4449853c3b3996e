// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::touchstone {

// Touchstone version 1 one-port files (.s1p), as NanoVNA, antenna analysers
// and network analysers write them:
//   ! comment            (a whole line, or the rest of a line after "!")
//   # MHz S RI R 50      (the option line: fields in any order and case;
//                         left out: GHz, S, MA, R 50)
//   14.0 0.21 -0.33      (frequency, then the pair in the option line's form)
// Parameters S, Z and Y; pairs RI (real, imaginary), MA (magnitude, angle
// in degrees) and DB (20 log10 of the magnitude, angle in degrees). Z and Y
// values are normalised to R, as version 1 writes them. Numbers may have an
// exponent ("1.4E+07"); blank lines, Windows (CR LF) and classic Mac (CR)
// line ends and a UTF-8 byte order mark at the start (Windows editors,
// scikit-rf) are fine.
// Format reference: the IBIS Open Forum's Touchstone file format, version
// 1.1, and scikit-rf's documentation of what real files contain.

struct Point {
    double freqHz = 0;
    std::complex<double> impedance; // ohms, de-normalised
    int line = 0; // the 1-based line it was read from, for messages
};

// What the file's pairs are: its faults are told in these terms.
enum class Parameter { S, Y, Z };

struct OnePort {
    std::vector<Point> points; // in the file's order: strictly increasing frequency
    double referenceOhms = 50;
    Parameter parameter = Parameter::S;
    bool optionLine = false; // the file has one
    bool unitGiven = false; // its option line names the frequency unit
};

// Where and why a file was refused; nothing is guessed.
struct ParseError {
    int line = 0; // 1-based; 0 for the file as a whole
    std::string message;
};

//   "# MHz Z RI R 50\n14 1 0\n"    -> one point, 14 MHz, 50 + j0 ohms
//   "# Hz S RI R 50\n1e6 0 0\n"    -> one point, 1 MHz, 50 + j0 ohms (NanoVNA)
//   "!x\n2 0.5 90\n"               -> no option line: GHz S MA R 50, so
//                                     2 GHz, S = j0.5: 30 + j40 ohms
//   "# mhz r 75 z ri\n14 1 -1\n"   -> 14 MHz, 75 - j75 ohms, from line 2
// Failures, with the line: a second option line, or one after the data; an
// unknown option, one given twice, R without a positive number; a
// Touchstone 2 keyword ("[Version]"); a data line with other than three
// numbers, or with a token that is not a number; a frequency below 0 or not
// above the previous one; a negative magnitude; a value giving an infinite
// or undefined impedance (S = 1, Y = 0). Line 0: no data at all.
std::variant<OnePort, ParseError> parseOnePort(std::string_view text);

// The feed impedance at `freqHz`, linearly interpolated in R and X between
// the two nearest points; nullopt outside the file's span.
//   points at 14 and 15 MHz: 14.25 MHz -> a quarter of the way
std::optional<std::complex<double>> impedanceAt(const OnePort& file, double freqHz);

// The first point that cannot be an antenna's feed point, with its line:
// the reader keeps whatever a file holds (|S| > 1 of an active device too),
// a gamma match needs a frequency above 0 and a resistance above 0 (|S| < 1).
// The fault is told in the file's own terms (S, Z or Y); an |S| that rounds
// to 1.000 is a pure reactance, not a value above 1.
//   "# MHz S RI R 50\n14 0.2 0.1\n"  -> nullopt
//   "# Hz S RI R 50\n0 0 0\n"        -> line 2: "a frequency of 0 Hz: ..."
//   "# MHz S MA R 50\n14 1 180\n"    -> line 2: "S = -1 is a short circuit: ..."
//   "# MHz S DB R 50\n14 0 90\n"     -> line 2: "|S| = 1.000 is a pure reactance: ..."
//   "# MHz S RI R 50\n14 1.2 0\n"    -> line 2: "|S| = 1.200 is above 1: the feed
//                                       resistance there is -550.00 ohms, ..."
//   "# MHz Z RI R 50\n14 0 1\n"      -> line 2: "R = 0 ohms is a pure reactance: ..."
//   "# MHz Z RI R 50\n14 -0.1 1\n"   -> line 2: "R = -5.00 ohms is negative: ..."
//   "# MHz Y RI R 50\n14 -1 0\n"     -> line 2: "G = -0.02000 siemens is negative: ..."
std::optional<ParseError> checkImpedances(const OnePort& file);

// Touchstone's default unit is GHz: a file that names none, read as if in
// MHz, misses every frequency by a factor of a thousand. A sentence for a
// message about a frequency outside the file; empty when the file names its
// unit.
//   "# MHz S RI\n14 0 0\n" -> ""
//   "14 0 0\n"              -> "the file has no option line, so its frequencies are in GHz, ..."
//   "# S RI\n14 0 0\n"     -> "its option line names no frequency unit, so ..."
std::string frequencyUnitHint(const OnePort& file);

} // namespace vostrel::touchstone
