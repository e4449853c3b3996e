// SPDX-License-Identifier: GPL-3.0-or-later
// The full-wave check where nec2c cannot run (the Windows build): asking
// for it is refused. Kept out of design/*.cpp, which clang-tidy reads with
// the native build's compile commands, where this file is not built.
#include "cli_fullwave.h"

namespace vostrel::design::cli {
namespace {

CommandLineError unavailable()
{
    return badInput("the full-wave check (--element-length, --nec) needs nec2c, not available in this build");
}

} // namespace

bool fullWaveAsked(const Options& options)
{
    return options.elementLength.has_value() || options.nec.has_value();
}

int runFullWaveDesign(const Options& /*options*/, std::ostream& /*out*/, std::ostream& err)
{
    return report(err, unavailable());
}

std::variant<NecSweep, std::monostate, CommandLineError> fullWaveSweep(const Options& /*options*/,
    const Inputs& /*inputs*/, double /*fromMhz*/, double /*toMhz*/, int /*count*/, std::ostream& /*err*/)
{
    return unavailable();
}

std::variant<std::optional<double>, CommandLineError> fullWaveElementDiameter(
    const Options& /*options*/, const Inputs& /*inputs*/)
{
    return unavailable();
}

std::variant<NecAdjustment, std::monostate, CommandLineError> fullWaveAdjust(const Options& /*options*/,
    const Inputs& /*inputs*/, const adjust::AdjustInput& /*in*/, Complex /*atConnector*/,
    const std::optional<SweepSpan>& /*span*/, std::ostream& /*err*/)
{
    return unavailable();
}

} // namespace vostrel::design::cli
