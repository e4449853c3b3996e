#pragma once

#include "design_cli.h"
#include "gamma_design.h"
#include "length_text.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace vostrel::design::cli {

// How vostrel-design writes its results: lengths and sizes in the shown
// unit, the heading every text result starts with, result rows, and the
// writing itself with its failure.

// At 1 decimal in mm, 2 in cm and in, 3 in ft, 4 in m.
//   0.98806 m, Inch -> "38.90"
std::string lengthText(double metres, Unit unit);
// A size as the builder gave it: two decimals more, trailing zeros dropped.
//   0.0381 m, Inch -> "1.5"
std::string sizeText(double metres, Unit unit);
// "25.00 - j25.00"
std::string complexText(Complex z);
// "whole" or "half", the CSV's share column (closed_form, after it, is
// modelColumn()'s).
std::string_view shareColumn(StepUp stepUp);

// The lines every human-readable result starts with: the feed impedance
// (or that it comes from a file), the share, the sizes and the line.
std::string heading(const DesignInput& in, Unit unit, bool feedFromFile);
// One result line: the label, then the value in a column.
std::string resultRow(std::string_view label, const std::string& value);
// Z0, alpha, the step-up and Z2 as result rows; with the corrected model,
// the feed connection's and strap's inductance and its reactance at
// `freqMhz` too.
std::string lineRows(const LineModel& line, double freqMhz);

// One line on `err` for output that could not be written, with the
// system's reason when the failing write left one in errno; returns
// WriteFailed.
int writeFailed(std::ostream& err);
// Writes `text`; returns `status`, or writeFailed() when it does not reach
// the output.
int writeResult(std::ostream& out, std::ostream& err, const std::string& text, ExitStatus status);

} // namespace vostrel::design::cli
