// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli_inputs.h"
#include "cli_report.h"
#include "coax_cable.h"
#include "ratings.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::design::cli {

// --power and what goes with it: the SWR margin (2), the coaxial tube and
// its dielectric (an air variable without --dielectric).
//   no --power                       -> nothing (the output as without ratings)
//   --power 100                      -> 100 W, margin 2, air variable, no tube
//   --power 100 --dielectric PTFE    -> a PTFE coaxial capacitor
// Refusals (status 2): "--power: \"-5\" is not a power in watts above 0",
// "--swr-margin: \"0.5\" is not an SWR of 1 or more", --swr-margin,
// --tube-id or --dielectric without --power ("... needs --power"), a
// dielectric other than air, ptfe or polyethylene.
// adjust reads --tube-id and --dielectric for the insertion lengths too:
// there they need no --power, and with it the dielectric must be one of the
// three named ones (a bare permittivity has no breakdown strength).
struct RatingsAsked {
    ratings::Input base; // power, margin, capacitor and tube; the design's figures filled in later
};
enum class TubeUse { RatingsOnly, InsertionToo };
std::variant<std::optional<RatingsAsked>, CommandLineError> readRatings(
    const Options& options, const Inputs& inputs, TubeUse tubeUse = TubeUse::RatingsOnly);

// The ratings of a rod length and capacitor reactance of `in`.
std::variant<ratings::Ratings, CommandLineError> rateMatch(
    const RatingsAsked& asked, const DesignInput& in, double rodLength, double capacitorReactance);

// The text block, "Ratings at 100 W ..." and its rows; `of` after
// "Ratings" when given ("of the next rod and capacitor"). A tube adds the
// gap's field and breakdown, a cable (--coax) the field at its inner
// conductor with what its dielectric and the air at its cut end hold.
std::string ratingsText(const RatingsAsked& asked, const ratings::Ratings& r, std::string_view of = {});

// --coax: the cable of the table it names, nullptr without it; an unknown
// name is refused with findCable()'s sentence (status 2).
std::variant<const coax::Cable*, CommandLineError> readCoax(const Options& options);
// design and analyze take one capacitor: --coax refuses --tube-id and
// --dielectric (the cable's dielectric is its own), status 2.
std::optional<CommandLineError> oneCapacitor(const Options& options);
// The piece of `cable` whose reactance at `freqMhz` is `reactance` (> 0),
// as a line, shown in `unit`.
std::variant<CoaxPiece, CommandLineError> coaxPieceOf(
    const coax::Cable& cable, double freqMhz, double reactance, Unit unit);

// The CSV's columns, appended after the command's own:
//   cap_v_rms, cap_v_peak, cap_v_peak_at_margin, line_current_a, cap_loss_w, match_loss_w
std::vector<std::string> ratingsCsvNames();
// Its fields; empty ones when there is no design to rate.
std::vector<std::string> ratingsCsvFields(const ratings::Ratings* r);
// Both appended to a command's own.
void appendRatingsColumns(std::vector<std::string>& names, std::vector<std::string>& fields, const ratings::Ratings* r);

} // namespace vostrel::design::cli
