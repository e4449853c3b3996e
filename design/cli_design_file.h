// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_inputs.h"

namespace vostrel::design::cli {

// --design FILE: the design file's values (core/design_file.h) filled into
// the options the command line left out, as if they had been given there.
// What the command line gives wins, and for the element it wins as a whole:
// --element, --element-length or --nec given there, the file's element
// diameter, length and antenna model are all left out. The file's model is
// found beside the design file when its path is relative, and refused when
// its SHA-256 is not the one the file names (the model changed since).
// The file's ratings (power, SWR margin, tube, dielectric) come in only
// with a power and without the NEC-2 check, which does not rate; its step-up
// and closed form set --half and --textbook. Only the options of the
// command come in: analyze takes the built rod length and capacitor, design
// does not. Refused with the file's name and line: a file readDesign()
// refuses.
Refusal applyDesignFile(Options& options);

} // namespace vostrel::design::cli
