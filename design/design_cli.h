// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vostrel::design {

// vostrel-design: the gamma match for a measured or modelled feed
// impedance, from the command line.
//
//   design     the rod length and capacitor that match the feed line
//   analyze    what a given rod length and capacitor do
//   adjust     the next strap position and capacitor, from what an
//              analyser read at the match as built
//   capacitor  the capacitor for a measured reactance, and its insertion
//              length in a tube
//   sweep      SWR and input impedance against capacitance, rod length or
//              frequency (fixed feed impedance, or a Touchstone file's)
//
// `args` are the command-line arguments without the program name; results
// go to `out`, messages to `err`. Returns an ExitStatus.
enum class ExitStatus {
    Solved = 0, // a result was printed
    NoSolution = 1, // the inputs are fine but no gamma match of them matches
    BadInput = 2, // bad options or input, with a message
    WriteFailed = 3, // the output could not be written
    InputUnreadable = 4, // an input file could not be read
    InternalError = 5, // the program itself failed (out of memory)
};

int runDesignCli(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vostrel::design
