// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_options.h"

#include <iosfwd>

namespace vostrel::design::cli {

// The commands, each reading its inputs from `options`, writing its result
// to `out` and its diagnostics to `err`; each returns an ExitStatus.
int runDesign(const Options& options, std::ostream& out, std::ostream& err);
int runAnalyze(const Options& options, std::ostream& out, std::ostream& err);
int runCapacitor(const Options& options, std::ostream& out, std::ostream& err);
int runSweep(const Options& options, std::ostream& out, std::ostream& err);

} // namespace vostrel::design::cli
