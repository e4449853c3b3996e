// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_cli.h"
#include "design_options.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::design::cli {

enum class Command { Design, Analyze, Adjust, Capacitor, SweepCap, SweepLength, SweepFreq };

using options::OptionId;

// What the command line asks for, each value as typed; a member for each
// option of the shared table (core/design_options.h), empty when not given.
struct Options {
    Command command = Command::Design;
    std::string commandName; // "design", "sweep cap", for messages
    std::optional<std::string> range; // a sweep's FROM:TO:STEP

    std::optional<std::string> freq;
    std::optional<std::string> r;
    std::optional<std::string> x;
    std::optional<std::string> element;
    std::optional<std::string> rod;
    std::optional<std::string> spacing;
    std::optional<std::string> line;
    std::optional<std::string> units;
    std::optional<std::string> length;
    std::optional<std::string> cap;
    std::optional<std::string> tubeId;
    std::optional<std::string> dielectric;
    std::optional<std::string> s1p;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> step;
    std::optional<std::string> zin;
    std::optional<std::string> zinS1p;
    std::optional<std::string> through;
    std::optional<std::string> throughLine;
    std::optional<std::string> elementLength;
    std::optional<std::string> nec;
    std::optional<std::string> writeNec;
    std::optional<std::string> rodSide;
    std::optional<std::string> capAt; // feed, rod-end or tube
    std::optional<std::string> power;
    std::optional<std::string> swrMargin;
    std::optional<std::string> coax;
    std::optional<std::string> design; // --design: the file read into the others
    bool half = false;
    bool textbook = false; // the line model alone, not the default corrected one
    bool csv = false;

    // The value of an option, read through its binding below; none for a
    // flag.
    //   OptionId::Freq -> freq
    const std::optional<std::string>& valueOf(OptionId id) const;
};

// Where each option of the table lands: a value option in an optional
// string, a flag in a bool. Every option of the table has one.
using ValueMember = std::optional<std::string> Options::*;
using FlagMember = bool Options::*;
std::variant<ValueMember, FlagMember> memberOf(OptionId id);

// The options `command` reads; anything else is refused, so that a
// mistyped or misplaced option is never silently ignored.
std::span<const OptionId> optionsOf(Command command);

// An option's name, for messages: OptionId::TubeId -> "--tube-id".
std::string optionName(OptionId id);

// A refusal of what the command line gives, before anything was computed;
// the status says whose fault.
struct CommandLineError {
    ExitStatus status = ExitStatus::BadInput;
    std::string message;
    bool showUsage = false; // add "Try 'vostrel-design --help'"
};

// --cap-at tube given (in any case): the rod in its tube as NEC-2's model of
// the capacitor, which --tube-id and --dielectric then describe.
bool tubeAsked(const Options& options);

CommandLineError usage(std::string message);
CommandLineError badInput(std::string message);

// The command words first ("design", "sweep cap"), then options in any
// order, "--name value" or "--name=value", each at most once, only those
// of the command.
//   {"design", "--freq=14.3", "--half"}   -> Design, freq "14.3", half
//   {"sweep", "cap", "70:150:1", "--csv"} -> SweepCap, range "70:150:1", csv
// Failures (usage, the message first):
//   {}                          -> "give a command: design, analyze, adjust, capacitor or sweep"
//   {"design", "--freq", "14", "--freq", "15"} -> "--freq is given twice"
//   {"design", "--half", "--half"}             -> "--half is given twice"
//   {"design", "--freq", "--r", "25"}         -> "--freq needs a value"
//   {"design", "--freq=", "--r", "25"}        -> "--freq needs a value"
//   {"design", "--csv=yes"}     -> "--csv takes no value"
//   {"design", "--zin", "3,0"}  -> "--zin is not an option of design"
//   {"design", "--bogus"}       -> "unknown option --bogus"
//   {"design", "stray"}         -> "unexpected argument stray"
std::variant<Options, CommandLineError> parseArguments(std::span<const std::string_view> args);

// The usage text --help prints, its option lines from the shared table.
std::string helpText();

} // namespace vostrel::design::cli
