#pragma once

#include "cli_options.h"
#include "gamma_design.h"
#include "match_study.h"
#include "touchstone.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vostrel::design::cli {

// The commands, each reading its inputs from `options`, writing its result
// to `out` and its diagnostics to `err`; each returns an ExitStatus.
int runDesign(const Options& options, std::ostream& out, std::ostream& err);
int runAnalyze(const Options& options, std::ostream& out, std::ostream& err);
int runCapacitor(const Options& options, std::ostream& out, std::ostream& err);
int runSweep(const Options& options, std::ostream& out, std::ostream& err);

// Says `failure` in one line (and where to read more for a usage error);
// returns its status.
int report(std::ostream& err, const CommandLineError& failure);

// A refusal, or nothing when the value was read.
using Refusal = std::optional<CommandLineError>;

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
// A whole text file named by `option`, refused past 64 MB or a line of
// 64 KB ("not `kind`"); status 4 when it opens but cannot be read.
Refusal readFileText(OptionId option, std::string_view path, std::string_view kind, std::string& text);

// The design command's results, for the full-wave report to extend: the
// text (heading, line model, rod and capacitor), and the CSV's column
// names and one row's fields.
std::string designText(const DesignInput& in, Unit unit, const Outcome<Design>& designed);
std::vector<std::string> designCsvNames();
std::vector<std::string> designCsvFields(const DesignInput& in, Unit unit, const Outcome<Design>& designed);
// The failure of a closed-form design's problem (NoMatch: status 1).
CommandLineError fromProblem(const Problem& problem);

} // namespace vostrel::design::cli
