// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vostrel::csv {

// One policy for every CSV the programs write: fields as RFC 4180 quotes
// them, "," between fields, one "\n" after each record (as Unix tools and
// every spreadsheet read it), and echoed text kept from being run as a
// spreadsheet formula.

// A field as written: quoted when it holds a ",", a '"', a line end or a
// blank at either end, a '"' inside written twice; otherwise as it is.
//   "14.2"      -> 14.2          ""          -> (nothing)
//   "a,b"       -> "a,b"         "say \"x\"" -> "say ""x"""
//   " 7"        -> " 7" (quoted, so the blank survives a spreadsheet)
std::string field(std::string_view text);

// Text the user typed, echoed back: a leading "=", "+", "-", "@", tab or CR
// would make a spreadsheet run it as a formula, so it gets a leading "'"
// (OWASP, "CSV Injection"); then quoted as field() does. Never for
// computed numbers, which may well start with "-".
//   "=1+1"  -> '=1+1          "-5,3" -> "'-5,3"       "14.2" -> 14.2
std::string echoed(std::string_view text);

// A double in the shortest form that reads back as the same double
// (std::to_chars), for machine-read columns.
//   14.3 -> 14.3    0.1 + 0.2 -> 0.30000000000000004    1e300 -> 1e+300
//   -0.0 -> 0       infinity -> inf (only where a column says so)
std::string number(double value);

// The fields, each already written by field(), echoed() or number(), joined
// with "," and ended with "\n".
//   {"a", "", "1"} -> "a,,1\n"
std::string record(std::span<const std::string> fields);
std::string record(std::initializer_list<std::string> fields);

} // namespace vostrel::csv
