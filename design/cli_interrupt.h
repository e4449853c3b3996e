// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace vostrel::design::cli {

// Ctrl+C (SIGINT) and SIGTERM while NEC-2 runs. Without care they would end
// the program at once, leaving nec2c running and its folder behind; with
// watchInterrupts() the first of them sets the flag each run watches (the
// run then kills nec2c's process group and removes its folder), and
// endIfInterrupted() ends the program with that signal after the run has
// cleaned up, so that a shell sees an interrupted program (status 130 for
// SIGINT, 143 for SIGTERM). A signal ignored when the program started (a
// background job's SIGINT, nohup) stays ignored.

// Installs the handlers, once; the flag set when one of the signals came.
const std::atomic<bool>* watchInterrupts();

// Ends the program with the signal that came, if one did; else returns.
void endIfInterrupted();

} // namespace vostrel::design::cli
