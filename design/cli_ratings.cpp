// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_ratings.h"

#include "ascii.h"
#include "cli_report.h"
#include "csv.h"
#include "design_options.h"
#include "number_text.h"

namespace vostrel::design::cli {

std::variant<std::optional<RatingsAsked>, CommandLineError> readRatings(
    const Options& options, const Inputs& inputs, TubeUse tubeUse)
{
    if (!options.power) {
        for (const OptionId needsPower : {OptionId::SwrMargin, OptionId::TubeId, OptionId::Dielectric}) {
            const bool ownUse = tubeUse == TubeUse::InsertionToo && needsPower != OptionId::SwrMargin;
            if (!ownUse && options.valueOf(needsPower)) {
                return usage(optionName(needsPower) + " needs --power");
            }
        }
        return std::optional<RatingsAsked>();
    }
    RatingsAsked asked;
    ratings::Input& in = asked.base;
    const auto power = options::readPower(*options.power);
    if (!power) {
        return badInput("--power: " + quotedInput(*options.power) + " is not a power in watts above 0");
    }
    in.powerW = *power;
    if (options.swrMargin) {
        const auto margin = options::readSwrMargin(*options.swrMargin);
        if (!margin) {
            return badInput("--swr-margin: " + quotedInput(*options.swrMargin) + " is not an SWR of 1 or more");
        }
        in.swrMargin = *margin;
    }
    if (options.dielectric) {
        const auto kind = ratings::capacitorOfDielectric(ascii::lowered(*options.dielectric));
        if (!kind) {
            const std::string why = tubeUse == TubeUse::InsertionToo
                ? " is neither air, ptfe nor polyethylene: --power needs the dielectric's name, not its permittivity"
                : " is neither air, ptfe nor polyethylene";
            return badInput("--dielectric: " + quotedInput(*options.dielectric) + why);
        }
        in.capacitor = *kind;
    }
    if (options.tubeId) {
        double tube = 0;
        if (auto failure
            = readLength(options, OptionId::TubeId, tube, nullptr, inputs.elementUnit, "the tube's inner diameter")) {
            return *failure;
        }
        in.tubeInnerDiameter = tube;
    }
    return std::optional<RatingsAsked>(asked);
}

std::variant<ratings::Ratings, CommandLineError> rateMatch(
    const RatingsAsked& asked, const DesignInput& in, double rodLength, double capacitorReactance)
{
    ratings::Input rated = asked.base;
    rated.freqMhz = in.freqMhz;
    rated.lineImpedance = in.lineImpedance;
    rated.capacitorReactance = capacitorReactance;
    rated.rodLength = rodLength;
    rated.rodDiameter = in.geometry.rodDiameter;
    rated.strapLength = in.geometry.spacing;
    auto result = ratings::rate(rated);
    if (const auto* problem = std::get_if<ratings::NoRating>(&result)) {
        const std::string name = problem->field == ratings::Field::TubeInnerDiameter ? "--tube-id: " : "";
        return badInput(name + problem->message);
    }
    return std::get<ratings::Ratings>(std::move(result));
}

std::string ratingsText(const RatingsAsked& asked, const ratings::Ratings& r, std::string_view of)
{
    const ratings::Input& in = asked.base;
    const ratings::CapacitorKind& kind = ratings::capacitorKind(in.capacitor);
    const std::string swr = "SWR " + doubleText(in.swrMargin, std::nullopt);
    const auto watts = [](double w) { return decimalsText(w, 3) + " W"; };
    // A rod in a tube of air is a coaxial capacitor, not a variable.
    const bool airTube = in.tubeInnerDiameter && in.capacitor == ratings::Capacitor::AirVariable;
    const coax::Cable* cable = in.cable;
    const std::string capacitorName = cable != nullptr ? std::string(cable->name) + " coaxial"
        : airTube                                      ? std::string("air-spaced coaxial")
                                                       : std::string(kind.name);
    std::string text = "\nRatings " + (of.empty() ? std::string() : std::string(of) + " ") + "at "
        + doubleText(in.powerW, std::nullopt) + " W, margin " + swr + " (" + capacitorName + ", "
        + std::string(ratings::metal(in.rodMetal).name) + " rod and strap)\n";
    text += resultRow("Line current",
        decimalsText(r.lineCurrent, 3) + " A rms (" + decimalsText(r.lineCurrentAtMargin, 3) + " A at " + swr + ")");
    text += resultRow("Capacitor voltage",
        decimalsText(r.capacitorVoltage, 1) + " V rms, " + decimalsText(r.capacitorVoltagePeak, 1) + " V peak");
    text += resultRow("Capacitor voltage at " + swr,
        decimalsText(r.capacitorVoltageAtMargin, 1) + " V rms, " + decimalsText(r.capacitorVoltagePeakAtMargin, 1)
            + " V peak");
    text += resultRow("Capacitor rating, at least",
        decimalsText(r.recommendedVoltage, 0) + " V peak (twice the peak at " + swr + ")");
    text += resultRow("Rod and strap current", decimalsText(r.rodCurrent, 3) + " A rms (the line current)");
    text += resultRow("Capacitor loss, Q " + decimalsText(r.capacitorQ, 0) + " (typical)", watts(r.capacitorLoss));
    text += resultRow("Rod loss", watts(r.rodLoss) + " (" + decimalsText(r.rodResistance, 4) + " ohms)");
    text += resultRow("Strap loss", watts(r.strapLoss) + " (" + decimalsText(r.strapResistance, 4) + " ohms)");
    text += resultRow("Loss in the match", watts(r.matchLoss));
    if (cable != nullptr) {
        text += resultRow("Field at the conductor at " + swr,
            decimalsText(r.surfaceFieldAtMargin / 1e6, 3) + " kV/mm ("
                + std::string(coax::dielectricName(cable->dielectric)) + " breaks down at "
                + decimalsText(r.breakdownVoltage / 1000, 2) + " kV peak, the air at the braid's cut end at "
                + decimalsText(r.airGapBreakdownVoltage / 1000, 2) + " kV)");
    } else if (r.breakdownVoltage > 0) {
        text += resultRow("Gap field at the rod at " + swr,
            decimalsText(r.surfaceFieldAtMargin / 1e6, 3) + " kV/mm (" + std::string(kind.dielectric)
                + " breaks down at " + decimalsText(r.breakdownVoltage / 1000, 2) + " kV peak"
                + (r.airGapBreakdownVoltage > 0 ? ", the air where the sleeve ends at "
                            + decimalsText(r.airGapBreakdownVoltage / 1000, 2) + " kV"
                                                : std::string())
                + ")");
    }
    for (const ratings::Warning& warning : r.warnings) {
        text += "Warning: " + warning.message + "\n";
    }
    return text;
}

std::variant<const coax::Cable*, CommandLineError> readCoax(const Options& options)
{
    if (!options.coax) {
        return static_cast<const coax::Cable*>(nullptr);
    }
    const auto found = coax::findCable(*options.coax);
    if (const auto* unknown = std::get_if<std::string>(&found)) {
        return badInput("--coax: " + *unknown);
    }
    return std::get<const coax::Cable*>(found);
}

std::optional<CommandLineError> oneCapacitor(const Options& options)
{
    if (!options.coax) {
        return std::nullopt;
    }
    if (options.tubeId) {
        return badInput("--coax and --tube-id are two capacitors, a piece of cable and a rod in a tube: give one");
    }
    if (options.dielectric) {
        return badInput(
            "--coax and --dielectric: the cable's own dielectric is the capacitor's, leave out --dielectric");
    }
    return std::nullopt;
}

std::variant<CoaxPiece, CommandLineError> coaxPieceOf(
    const coax::Cable& cable, double freqMhz, double reactance, Unit unit)
{
    auto line = coax::openLineCapacitor({freqMhz, reactance, cable.pfPerMetre, cable.velocityFactor});
    if (const auto* problem = std::get_if<coax::NoOpenLine>(&line)) {
        return badInput("--coax: " + problem->message);
    }
    return CoaxPiece{std::string(cable.name), std::string(coax::dielectricName(cable.dielectric)), cable.pfPerMetre,
        cable.velocityFactor, std::get<coax::OpenLineCapacitor>(line), unit};
}

std::vector<std::string> ratingsCsvNames()
{
    return {"cap_v_rms", "cap_v_peak", "cap_v_peak_at_margin", "line_current_a", "cap_loss_w", "match_loss_w"};
}

std::vector<std::string> ratingsCsvFields(const ratings::Ratings* r)
{
    if (r == nullptr) {
        return std::vector<std::string>(ratingsCsvNames().size());
    }
    return {csv::number(r->capacitorVoltage), csv::number(r->capacitorVoltagePeak),
        csv::number(r->capacitorVoltagePeakAtMargin), csv::number(r->lineCurrent), csv::number(r->capacitorLoss),
        csv::number(r->matchLoss)};
}

void appendRatingsColumns(std::vector<std::string>& names, std::vector<std::string>& fields, const ratings::Ratings* r)
{
    for (std::string& name : ratingsCsvNames()) {
        names.push_back(std::move(name));
    }
    for (std::string& field : ratingsCsvFields(r)) {
        fields.push_back(std::move(field));
    }
}

} // namespace vostrel::design::cli
