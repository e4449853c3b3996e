// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vostrel::chart {

// How vostrel-chart ends; the values are the process's exit statuses.
enum class ExitStatus {
    Ok = 0, // every row computed
    RowFailed = 1, // a row names a failure instead of values
    Usage = 2, // bad options or a range it refuses; nothing was computed
    OutputError = 3, // the output could not be written
    InputError = 4, // standard input could not be read; the rows read before are written
    InternalError = 5, // the program itself failed (out of memory)
};

// Where standard input comes from, which decides how rows are written.
enum class InputKind {
    FileOrPipe, // rows are buffered for speed
    Terminal, // a prompt on `err`, and each row written as soon as its line is read
};

// vostrel-chart: the calculator's five values for many frequencies, as the
// main window shows them after INCHES or CM, one row per frequency.
//
// Runs the whole command: `args` are the command-line arguments without the
// program name; frequencies come from the arguments ("-" for `in` there), a
// range, a band or, if none of these is given, from `in`, one per line.
// Rows go to `out` as they are computed; messages go to `err`, each on one
// line. Exceptions that reading `in` throws (a failing std::filebuf) end the
// input: the rows before it are written, then one line names the error.
//   {"--cm", "14.2"}           -> Ok; a header and "14.2  15.492  120.423  27.465  126.761  21.465"
//   {"14.2", "0"}              -> RowFailed; the second row says what to type instead
//   {"--bogus"}                -> Usage; err: "vostrel-chart: unknown option --bogus",
//                                 "Try 'vostrel-chart --help' for more information."
//   {} with `in` failing after "14.2\n" -> InputError; one row, then
//                                 "vostrel-chart: standard input could not be read: Input/output error"
ExitStatus runChart(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err,
    InputKind inputKind = InputKind::FileOrPipe);

} // namespace vostrel::chart
