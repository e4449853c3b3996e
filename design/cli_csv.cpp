// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_csv.h"

#include "csv.h"

#include <cmath>

namespace vostrel::design::cli {

std::string_view shareColumn(StepUp stepUp)
{
    return stepUp == StepUp::Whole ? "whole" : "half";
}

std::vector<std::string> designCsvNames()
{
    return {"freq_mhz", "r_ohm", "x_ohm", "line_ohm", "share", "closed_form", "z0_ohm", "alpha", "step_up",
        "rod_length", "length_unit", "capacitance_pf", "reactance_ohm", "capacitor", "needed_reactance_ohm", "reason"};
}

std::vector<std::string> designCsvFields(const DesignInput& in, Unit unit, const Outcome<Design>& designed)
{
    const LineModel line = std::get<LineModel>(lineModel(in));
    const std::string symbol(unitSymbol(unit));
    std::vector<std::string> fields = {csv::number(in.freqMhz), csv::number(in.feedImpedance.real()),
        csv::number(in.feedImpedance.imag()), csv::number(in.lineImpedance), std::string(shareColumn(in.stepUp)),
        std::string(modelColumn(in.model)), csv::number(line.z0), csv::number(line.alpha), csv::number(line.stepUp)};
    if (const auto* d = std::get_if<Design>(&designed)) {
        fields.insert(fields.end(),
            {csv::number(d->rodLength / metresPer(unit)), symbol,
                d->capacitorShorted ? std::string() : csv::number(d->capacitancePf), csv::number(d->capacitorReactance),
                d->capacitorShorted ? "shorted" : "series", "", ""});
    } else {
        const auto& problem = std::get<Problem>(designed);
        fields.insert(
            fields.end(), {"", symbol, "", "", "", csv::number(problem.neededReactance), csv::field(problem.message)});
    }
    return fields;
}

std::string designCsv(const DesignInput& in, Unit unit, const Outcome<Design>& designed)
{
    return csv::record(designCsvNames()) + csv::record(designCsvFields(in, unit, designed));
}

std::vector<std::string> analyzeCsvNames()
{
    return {"freq_mhz", "rod_length", "length_unit", "capacitance_pf", "share", "closed_form", "z0_ohm", "alpha",
        "step_up", "zp_r_ohm", "zp_x_ohm", "r_ohm", "x_ohm", "reflection", "return_loss_db", "swr"};
}

std::vector<std::string> analyzeCsvFields(
    const DesignInput& in, Unit unit, double rodLength, double capacitancePf, const Analysis& a)
{
    const bool shorted = std::isinf(capacitancePf);
    return {csv::number(in.freqMhz), csv::number(rodLength / metresPer(unit)), std::string(unitSymbol(unit)),
        shorted ? std::string() : csv::number(capacitancePf), std::string(shareColumn(in.stepUp)),
        std::string(modelColumn(in.model)), csv::number(a.line.z0), csv::number(a.line.alpha),
        csv::number(a.line.stepUp), csv::number(a.zp.real()), csv::number(a.zp.imag()), csv::number(a.zin.real()),
        csv::number(a.zin.imag()), csv::number(std::abs(a.reflection)), csv::number(a.returnLossDb),
        csv::number(a.swr)};
}

std::string analyzeCsv(const DesignInput& in, Unit unit, double rodLength, double capacitancePf, const Analysis& a)
{
    return csv::record(analyzeCsvNames()) + csv::record(analyzeCsvFields(in, unit, rodLength, capacitancePf, a));
}

std::string capacitorCsv(const CapacitorAnswer& answer)
{
    std::vector<std::string> fields = {csv::number(answer.freqMhz), csv::number(answer.reactance),
        std::isinf(answer.capacitancePf) ? std::string() : csv::number(answer.capacitancePf)};
    if (const auto& in = answer.insertion) {
        fields.insert(fields.end(),
            {csv::number(in->length / metresPer(in->unit)), std::string(unitSymbol(in->unit)), in->dielectric,
                csv::number(in->permittivity)});
    } else {
        fields.insert(fields.end(), {"", "", "", ""});
    }
    std::vector<std::string> names = {
        "freq_mhz", "reactance_ohm", "capacitance_pf", "insertion_length", "length_unit", "dielectric", "permittivity"};
    if (answer.coaxAsked) {
        appendCoaxColumns(names, fields, answer.coax ? &*answer.coax : nullptr);
    }
    return csv::record(names) + csv::record(fields);
}

void appendCoaxColumns(std::vector<std::string>& names, std::vector<std::string>& fields, const CoaxPiece* piece)
{
    names.insert(names.end(), {"coax_cable", "coax_length_m", "coax_lumped_length_m", "coax_trim_m_per_pf"});
    if (piece != nullptr) {
        fields.insert(fields.end(),
            {csv::field(piece->cable), csv::number(piece->line.length), csv::number(piece->line.lumpedLength),
                csv::number(piece->line.trimPerPf)});
    } else {
        fields.insert(fields.end(), {"", "", "", ""});
    }
}

std::string sweepCsvHeader(study::Swept quantity)
{
    const std::string_view column = quantity == study::Swept::Capacitance ? "capacitance_pf"
        : quantity == study::Swept::RodLength                             ? "rod_length"
                                                                          : "freq_mhz";
    return std::string(column) + ",r_ohm,x_ohm,swr,feed_r_ohm,feed_x_ohm,share,closed_form"
        + (quantity == study::Swept::RodLength ? ",length_unit\n" : "\n");
}

std::string sweepCsvRow(std::string_view label, const SweepPoint& point, std::optional<Complex> feed,
    const DesignInput& in, study::Swept quantity, std::string_view suffix)
{
    std::vector<std::string> fields = {std::string(label), csv::number(point.zin.real()), csv::number(point.zin.imag()),
        csv::number(point.swr), feed ? csv::number(feed->real()) : "", feed ? csv::number(feed->imag()) : "",
        std::string(shareColumn(in.stepUp)), std::string(modelColumn(in.model))};
    if (quantity == study::Swept::RodLength) {
        fields.emplace_back(suffix);
    }
    return csv::record(fields);
}

} // namespace vostrel::design::cli
