#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace vostrel::chart {

// vostrel-chart: the calculator's five values for many frequencies, as the
// main window shows them after INCHES or CM, one row per frequency.
//
// Runs the whole command: `args` are the command-line arguments without the
// program name; frequencies come from the arguments, a range, a band or, if
// none of these is given, from `in`, one per line. Rows go to `out` as they
// are computed; usage messages go to `err`.
//
// Returns the exit status: 0 when every row computed, 1 when any row failed,
// 2 for bad options (with a usage message), 3 when `out` could not be
// written.
int runChart(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace vostrel::chart
