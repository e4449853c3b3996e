// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_inputs.h"
#include "touchstone.h"

#include <optional>
#include <string>
#include <string_view>

namespace vostrel::design::cli {

// The files vostrel-design reads: a Touchstone file, a NEC-2 deck.

// A whole text file named by `option`, refused past 64 MB or a line of
// 64 KB ("not `kind`"); status 4 when it opens but cannot be read.
Refusal readFileText(OptionId option, std::string_view path, std::string_view kind, std::string& text);

// A Touchstone file named by `option` (--s1p, --zin-s1p), read and checked:
// each refusal names the file and line.
Refusal readTouchstone(OptionId option, std::string_view path, touchstone::OnePort& file);

} // namespace vostrel::design::cli
