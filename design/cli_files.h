// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_inputs.h"
#include "touchstone.h"

#include <optional>
#include <string>
#include <string_view>

namespace vostrel::design::cli {

// The files vostrel-design reads (a Touchstone file, a NEC-2 deck) and the
// one it writes (--write-nec's deck).

// A whole text file named by `option`, refused past 64 MB or a line of
// 64 KB ("not `kind`"); status 4 when it opens but cannot be read.
Refusal readFileText(OptionId option, std::string_view path, std::string_view kind, std::string& text);

// A Touchstone file named by `option` (--s1p, --zin-s1p), read and checked:
// each refusal names the file and line.
Refusal readTouchstone(OptionId option, std::string_view path, touchstone::OnePort& file);

// Why the deck cannot go to `path`, found before NEC runs: what is there
// is not a regular file, or the folder is not.
std::optional<std::string> checkTarget(const std::string& path);

// Writes `text` to `path` whole or not at all: a temporary file beside it,
// then renamed over it. Never replaces what is not a regular file.
std::optional<std::string> writeWhole(const std::string& path, const std::string& text);

} // namespace vostrel::design::cli
