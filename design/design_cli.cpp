// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_cli.h"

#include "cli_adjust.h"
#include "cli_commands.h"
#include "cli_design_file.h"
#include "cli_inputs.h"
#include "cli_options.h"
#include "cli_report.h"

#include <algorithm>
#include <string>

#ifndef VOSTREL_VERSION
#define VOSTREL_VERSION "unknown"
#endif

namespace vostrel::design {

int runDesignCli(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    using namespace cli;
    // --help wins wherever it stands, also after a command.
    if (std::find_if(args.begin(), args.end(), [](std::string_view arg) { return arg == "--help" || arg == "-h"; })
        != args.end()) {
        return writeResult(out, err, helpText(), ExitStatus::Solved);
    }
    if (!args.empty() && args[0] == "--version") {
        return writeResult(out, err, "vostrel-design " VOSTREL_VERSION "\n", ExitStatus::Solved);
    }
    const auto parsed = parseArguments(args);
    if (const auto* failure = std::get_if<CommandLineError>(&parsed)) {
        return report(err, *failure);
    }
    Options options = std::get<Options>(parsed);
    if (auto failure = applyDesignFile(options)) {
        return report(err, *failure);
    }
    switch (options.command) {
    case Command::Design:
        return runDesign(options, out, err);
    case Command::Analyze:
        return runAnalyze(options, out, err);
    case Command::Adjust:
        return runAdjust(options, out, err);
    case Command::Capacitor:
        return runCapacitor(options, out, err);
    case Command::SweepCap:
    case Command::SweepLength:
    case Command::SweepFreq:
        return runSweep(options, out, err);
    }
    return static_cast<int>(ExitStatus::InternalError);
}

} // namespace vostrel::design
