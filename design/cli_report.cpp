// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_report.h"

#include "number_text.h"
#include "physics.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ostream>

namespace vostrel::design::cli {

int lengthDecimals(Unit unit)
{
    switch (unit) {
    case Unit::Millimetre:
        return 1;
    case Unit::Centimetre:
    case Unit::Inch:
        return 2;
    case Unit::Foot:
        return 3;
    case Unit::Metre:
        return 4;
    }
    return 4;
}

std::string lengthText(double metres, Unit unit)
{
    return quantityText(metres / metresPer(unit), lengthDecimals(unit));
}

std::string sizeText(double metres, Unit unit)
{
    std::string text = quantityText(metres / metresPer(unit), lengthDecimals(unit) + 2);
    if (text.find('e') != std::string::npos) {
        return text;
    }
    while (text.ends_with('0')) {
        text.pop_back();
    }
    if (text.ends_with('.')) {
        text.pop_back();
    }
    return text;
}

std::string complexText(Complex z)
{
    const std::string imag = decimalsText(std::abs(z.imag()), 2);
    return decimalsText(z.real(), 2) + (z.imag() < 0 && imag != "0.00" ? " - j" : " + j") + imag;
}

std::string heading(const DesignInput& in, Unit unit, FeedShown feed)
{
    const Geometry& g = in.geometry;
    const std::string symbol(unitSymbol(unit));
    std::string text;
    if (feed == FeedShown::FromFile) {
        text += "Feed impedance: from the file, at each of its frequencies\n";
    } else if (feed != FeedShown::Omitted) {
        text += std::string(feed == FeedShown::FromNec ? "Feed impedance (NEC-2, bare element): " : "Feed impedance: ")
            + complexText(in.feedImpedance) + " ohms"
            + (in.freqMhz > 0 ? " at " + doubleText(in.freqMhz, std::nullopt) + " MHz\n" : std::string("\n"));
    }
    text += "Share: " + std::string(stepUpName(in.stepUp)) + "\n";
    text += "Closed form: " + std::string(modelName(in.model)) + "\n";
    text += "Element " + sizeText(g.elementDiameter, unit) + " " + symbol + ", rod " + sizeText(g.rodDiameter, unit)
        + " " + symbol + ", spacing " + sizeText(g.spacing, unit) + " " + symbol + " centre to centre, "
        + doubleText(in.lineImpedance, std::nullopt) + " ohm line\n";
    return text;
}

std::string resultRow(std::string_view label, const std::string& value)
{
    constexpr std::size_t kLabelWidth = 34;
    std::string line = "  ";
    line += label;
    line.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
    return line + value + "\n";
}

std::string lineRows(const LineModel& line, double freqMhz)
{
    std::string rows = resultRow("Rod line impedance Z0", decimalsText(line.z0, 2) + " ohms")
        + resultRow("Current division alpha", decimalsText(line.alpha, 4))
        + resultRow("Step-up k (1 + alpha)^2", decimalsText(line.stepUp, 4))
        + resultRow("Stepped-up impedance Z2", complexText(line.z2) + " ohms");
    if (line.connectionInductance > 0) {
        const double reactance = physics::kTwoPi * freqMhz * 1e6 * line.connectionInductance;
        rows += resultRow("Feed connection and strap",
            decimalsText(line.connectionInductance * 1e9, 1) + " nH (" + decimalsText(reactance, 2) + " ohms)");
    }
    return rows;
}

std::string designText(const DesignInput& in, Unit unit, const Outcome<Design>& designed, FeedShown feed)
{
    const LineModel line = std::get<LineModel>(lineModel(in));
    std::string text = heading(in, unit, feed) + "\n" + lineRows(line, in.freqMhz);
    if (const auto* d = std::get_if<Design>(&designed)) {
        text += resultRow(
            "Rod length, feed point to strap", lengthText(d->rodLength, unit) + " " + std::string(unitSymbol(unit)));
        if (d->capacitorShorted) {
            text += resultRow("Capacitor", "none: short it, the rod alone matches");
        } else {
            text += resultRow("Capacitor",
                quantityText(d->capacitancePf, 2) + " pF (reactance " + decimalsText(d->capacitorReactance, 2)
                    + " ohms)");
        }
    }
    return text;
}

std::string analyzeText(const DesignInput& in, Unit unit, double rodLength, double capacitancePf, const Analysis& a)
{
    std::string text = heading(in, unit, FeedShown::Given) + "\n" + lineRows(a.line, in.freqMhz);
    text += resultRow(
        "Rod length, feed point to strap", lengthText(rodLength, unit) + " " + std::string(unitSymbol(unit)));
    text += resultRow(
        "Capacitor", std::isinf(capacitancePf) ? std::string("shorted") : quantityText(capacitancePf, 2) + " pF");
    text += resultRow("Rod and element, Zp = Z2 || Zs", complexText(a.zp) + " ohms");
    text += resultRow("Input impedance Zin", complexText(a.zin) + " ohms");
    text += resultRow("Reflection |rho|",
        decimalsText(std::abs(a.reflection), 4) + " (return loss " + decimalsText(a.returnLossDb, 2) + " dB)");
    text += resultRow("SWR", decimalsText(a.swr, 3));
    return text;
}

std::string coaxPieceText(const CoaxPiece& piece)
{
    const std::string symbol(unitSymbol(piece.unit));
    const coax::OpenLineCapacitor& line = piece.line;
    std::string text = "Coax capacitor of " + piece.cable + " (" + piece.dielectric + ", "
        + doubleText(piece.pfPerMetre, std::nullopt) + " pF/m, VF " + doubleText(piece.velocityFactor, std::nullopt)
        + "), open at its far end: " + lengthText(line.length, piece.unit) + " " + symbol + " (a line of "
        + decimalsText(line.electricalDegrees, 1) + " degrees)\n";
    if (line.lumpedDiffers) {
        text += resultRow("Per-metre estimate",
            quantityText(line.capacitancePf, 2) + " pF / " + doubleText(piece.pfPerMetre, std::nullopt)
                + " pF/m = " + lengthText(line.lumpedLength, piece.unit) + " " + symbol + ": "
                + decimalsText((line.lumpedLength / line.length - 1) * 100, 1) + " % longer than the line");
    }
    // Shown in millimetres or inches: a trim is a small cut.
    const Unit trimUnit = piece.unit == Unit::Inch || piece.unit == Unit::Foot ? Unit::Inch : Unit::Millimetre;
    text += resultRow("Trim",
        lengthText(line.trimPerPf, trimUnit) + " " + std::string(unitSymbol(trimUnit))
            + " per pF (shorter for less capacitance)");
    return text;
}

std::string capacitorText(const CapacitorAnswer& answer)
{
    std::string text;
    if (std::isinf(answer.capacitancePf)) {
        text = "No reactance to cancel at " + doubleText(answer.freqMhz, std::nullopt)
            + " MHz: keep the capacitor shorted.\n";
    } else {
        text = "Capacitor for " + decimalsText(answer.reactance, 2) + " ohms at "
            + doubleText(answer.freqMhz, std::nullopt) + " MHz: " + quantityText(answer.capacitancePf, 2) + " pF\n";
    }
    if (const auto& in = answer.insertion) {
        const std::string symbol(unitSymbol(in->unit));
        text += "Insertion length of the " + sizeText(in->rod, in->unit) + " " + symbol + " rod in the tube of "
            + sizeText(in->tubeId, in->unit) + " " + symbol + " inner diameter, " + in->dielectric
            + " (relative permittivity " + doubleText(in->permittivity, std::nullopt)
            + "): " + lengthText(in->length, in->unit) + " " + symbol + "\n";
        if (const auto& line = in->asLine) {
            text += resultRow("As a line, open at the rod's end",
                lengthText(line->length, in->unit) + " " + symbol + " (a line of "
                    + decimalsText(line->electricalDegrees, 1) + " degrees; the per-metre length above is "
                    + decimalsText((line->lumpedLength / line->length - 1) * 100, 1) + " % longer)");
        }
    }
    if (const auto& piece = answer.coax) {
        text += coaxPieceText(*piece);
    }
    return text;
}

std::string heldLines(std::optional<double> rodLength, std::optional<double> capacitancePf, Unit unit)
{
    std::string text;
    if (rodLength) {
        text += "Rod length " + lengthText(*rodLength, unit) + " " + std::string(unitSymbol(unit)) + "\n";
    }
    if (capacitancePf) {
        text += std::isinf(*capacitancePf) ? std::string("Capacitor shorted\n")
                                           : "Capacitor " + quantityText(*capacitancePf, 2) + " pF\n";
    }
    return text;
}

std::string sweepHeading(
    const DesignInput& in, Unit unit, bool feedFromFile, study::Swept quantity, const study::Tuning& held)
{
    std::string text = heading(in, unit, feedFromFile ? FeedShown::FromFile : FeedShown::Given);
    if (quantity == study::Swept::Frequency && !feedFromFile) {
        text += "The feed impedance is held at " + complexText(in.feedImpedance)
            + " ohms at every frequency: give --s1p for measured values.\n";
    }
    text += heldLines(quantity != study::Swept::RodLength ? std::optional(held.rodLength) : std::nullopt,
        quantity != study::Swept::Capacitance ? std::optional(held.capacitancePf) : std::nullopt, unit);
    return text + "\n";
}

namespace {

std::string padded(std::string_view cell, std::size_t width)
{
    return std::string(cell.size() < width ? width - cell.size() : 1, ' ') + std::string(cell);
}

} // namespace

std::string sweepTableHeader(study::Swept quantity, std::string_view suffix)
{
    const std::string title = quantity == study::Swept::Capacitance ? "Capacitance, pF"
        : quantity == study::Swept::RodLength                       ? "Rod length, " + std::string(suffix)
                                                                    : "Frequency, MHz";
    return padded(title, 16) + padded("R, ohms", 12) + padded("X, ohms", 12) + padded("SWR", 10) + "\n";
}

std::string sweepTableRow(std::string_view label, const SweepPoint& point)
{
    return padded(label, 16) + padded(decimalsText(point.zin.real(), 2), 12)
        + padded(decimalsText(point.zin.imag(), 2), 12) + padded(decimalsText(point.swr, 3), 10) + "\n";
}

int writeFailed(std::ostream& err)
{
    const int error = errno;
    err << "vostrel-design: the output could not be written";
    if (error != 0) {
        err << ": " << std::strerror(error);
    }
    err << "\n";
    return static_cast<int>(ExitStatus::WriteFailed);
}

int writeResult(std::ostream& out, std::ostream& err, const std::string& text, ExitStatus status)
{
    errno = 0;
    out << text << std::flush;
    return out ? static_cast<int>(status) : writeFailed(err);
}

} // namespace vostrel::design::cli
