// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_options.h"

#include <iosfwd>

namespace vostrel::design::cli {

// The adjust command: a gamma match as built (rod length and capacitor)
// and what an analyser read at it, one reading (--zin) or a sweep
// (--zin-s1p), at the match or through a feed line (--through,
// --through-line); out, the element impedance that explains the reading
// and the next strap position and capacitor, as text or --csv.
// Statuses: 0 a next step, 1 the reading or the build gives none (one line
// saying why), 2 bad options, 4 a file that cannot be read.
int runAdjust(const Options& options, std::ostream& out, std::ostream& err);

} // namespace vostrel::design::cli
