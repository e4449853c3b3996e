// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_options.h"
#include "gamma_design.h"
#include "match_study.h"
#include "touchstone.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace vostrel::design::cli {

// The options' values read into what the commands compute from: numbers,
// lengths with their units, the feed impedance (given or from --s1p's
// file), and the refusal naming the option when a value does not read.

// Says `failure` in one line (and where to read more for a usage error);
// returns its status.
int report(std::ostream& err, const CommandLineError& failure);

// A refusal, or nothing when the value was read.
using Refusal = std::optional<CommandLineError>;

// Shown back in a message: short, printable and in quotes.
//   quotedInput("12 mm") -> "\"12 mm\""
std::string quotedInput(std::string_view text);

// The model's inputs as the options give them.
struct Inputs {
    study::Inputs study; // unit: the one lengths are shown in
    Unit elementUnit = Unit::Metre; // a length without a unit is in this one
    std::optional<double> rodLength;
    std::optional<double> capacitancePf; // infinity: shorted
    std::optional<touchstone::OnePort> file;
};

// The frequency, feed impedance, sizes, line, share and units of the
// model. With --element-length or --nec the feed impedance may be left out
// (it stays 0: NEC computes it); with --nec the element's diameter comes
// from the deck (it stays 0) and --element is refused.
Refusal readModelInputs(const Options& options, Inputs& inputs);
// One option's plain number, or its refusal naming it.
Refusal readNumber(const Options& options, OptionId id, double& value, std::string_view what);
// One option's length in metres, its unit in `unit` when not null.
Refusal readLength(const Options& options, OptionId id, double& metres, std::optional<Unit>* unit,
    std::optional<Unit> defaultUnit, std::string_view what);
// --units, when given.
Refusal readUnits(const Options& options, std::optional<Unit>& unit);

// --rod-side or --cap-at, options of NEC-2's model, given without the
// element (--element-length or --nec): a usage error naming the option.
Refusal necOnlyRefusal(const Options& options);

// The failure of a closed-form design's problem (NoMatch: status 1).
CommandLineError fromProblem(const Problem& problem);

} // namespace vostrel::design::cli
