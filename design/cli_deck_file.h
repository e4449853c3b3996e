// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace vostrel::design::cli {

// The one file vostrel-design writes: --write-nec's deck.

// Why the deck cannot go to `path`, found before NEC runs: what is there
// is not a regular file, or the folder is not.
std::optional<std::string> checkTarget(const std::string& path);

// Whether `a` and `b` name the same file (through links too); false when
// either is not there.
//   "deck.nec", "./deck.nec" -> true    "deck.nec", "new.nec" (none yet) -> false
bool sameFile(const std::string& a, const std::string& b);

// Why a deck cannot be read from `path` without waiting: it is there and
// not a regular file (a FIFO, a device, a socket); a folder, and a file
// that is not there, are left to the reading, which says so.
std::optional<std::string> checkSource(const std::string& path);

// Writes `text` to `path` whole or not at all: a temporary file beside it,
// then renamed over it. Never replaces what is not a regular file.
std::optional<std::string> writeWhole(const std::string& path, const std::string& text);

} // namespace vostrel::design::cli
