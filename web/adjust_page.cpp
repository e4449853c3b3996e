// SPDX-License-Identifier: GPL-3.0-or-later
#include "adjust_page.h"

#include "adjust.h"
#include "ascii.h"
#include "coax_cable.h"
#include "line_transform.h"
#include "number_text.h"
#include "plain_number.h"
#include "touchstone.h"

#include <cmath>
#include <limits>
#include <optional>
#include <variant>

namespace vostrel::web {
namespace {

using adjust::Complex;
using design::Unit;

// A field at fault, or the reading as a whole.
struct Fault {
    std::string status; // "bad" or "refused"
    std::string field; // for "bad"
    std::string message; // a sentence, capitalised, with its full stop
};

std::string sentence(std::string text)
{
    if (!text.empty()) {
        text.front() = ascii::upper(text.front());
    }
    if (!text.empty() && text.back() != '.') {
        text.push_back('.');
    }
    return text;
}

Fault badField(std::string field, std::string message)
{
    return Fault{"bad", std::move(field), sentence(std::move(message))};
}

// A file's fault keeps the file's name as it is written.
Fault badFile(std::string message)
{
    Fault fault{"bad", "s1p", std::move(message)};
    if (fault.message.back() != '.') {
        fault.message.push_back('.');
    }
    return fault;
}

std::string trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

int lengthDecimals(Unit unit)
{
    return unit == Unit::Millimetre ? 1 : 2;
}

std::string lengthShown(double metres, Unit unit)
{
    return doubleText(metres / design::metresPer(unit), lengthDecimals(unit)) + " "
        + std::string(design::unitSymbol(unit));
}

// What shows as 0 at the decimals given: no change to make.
bool roundsToZero(double value, int decimals)
{
    return std::round(std::abs(value) * std::pow(10.0, decimals)) == 0;
}

std::string ohms(Complex z)
{
    return decimalsText(z.real(), 2) + (z.imag() < 0 ? " - j" : " + j") + decimalsText(std::abs(z.imag()), 2) + " ohms";
}

std::string freqShown(double mhz)
{
    return doubleText(mhz, std::nullopt) + " MHz";
}

std::variant<double, Fault> readNumber(const std::string& typed, const char* field, const char* what)
{
    const std::string text = trimmed(typed);
    const auto value = readPlainNumber(text, {});
    if (const auto* why = std::get_if<NumberRefusal>(&value)) {
        return badField(field, std::string(what) + ": \"" + text + "\" " + refusalText(*why, {}));
    }
    return std::get<double>(value);
}

// "91.33", "91.33 pF", "91.33pf"; "short" or "shorted": infinity.
std::variant<double, Fault> readCapacitance(const std::string& typed)
{
    std::string text = trimmed(typed);
    if (ascii::equalFolded(text, "short") || ascii::equalFolded(text, "shorted")) {
        return std::numeric_limits<double>::infinity();
    }
    if (text.size() >= 2 && ascii::equalFolded(std::string_view(text).substr(text.size() - 2), "pf")) {
        text = trimmed(std::string_view(text).substr(0, text.size() - 2));
    }
    const auto value = readPlainNumber(text, {});
    if (const auto* why = std::get_if<NumberRefusal>(&value)) {
        return badField("built-cap",
            "capacitor as set: \"" + text + "\" " + refusalText(*why, {}) + ": type it in pF, e.g. 84.64, or short");
    }
    return std::get<double>(value);
}

std::variant<double, Fault> readLength(
    const std::string& typed, std::optional<Unit> unit, const char* field, const char* what)
{
    const std::string text = trimmed(typed);
    if (text.empty()) {
        return badField(field, std::string(what) + ": type it, e.g. " + (unit == Unit::Metre ? "15 m" : "40 in"));
    }
    const auto length = design::parseLength(text, unit);
    if (const auto* message = std::get_if<std::string>(&length)) {
        return badField(field, std::string(what) + ": " + *message);
    }
    return std::get<design::Length>(length).metres;
}

// The core's refusal as the form shows it: a figure of the build or the
// cable names its field; the rest is about the reading as a whole.
Fault fromAdjust(const adjust::NoAdjustment& problem, bool file)
{
    using Kind = adjust::NoAdjustment::Kind;
    switch (problem.kind) {
    case Kind::BadInput:
        if (problem.field == design::Field::RodLength) {
            return badField("built-rod", "rod as built: " + problem.message);
        }
        if (problem.field == design::Field::Capacitance) {
            return badField("built-cap", "capacitor as set: " + problem.message);
        }
        return badField("design", "the design above: " + problem.message);
    case Kind::BadCable:
        return badField("cable-length", problem.message);
    case Kind::BadReading:
        return badField(file ? "s1p" : "read-r", problem.message);
    default:
        return Fault{"refused", "", sentence(problem.message)};
    }
}

std::string faultJson(const Fault& fault)
{
    std::string out = R"({"status":)" + jsonString(fault.status);
    if (fault.status == "bad") {
        out += R"(,"field":)" + jsonString(fault.field);
    }
    return out + R"(,"message":)" + jsonString(fault.message) + "}";
}

std::string strapMoveText(double move, Unit unit)
{
    if (roundsToZero(move / design::metresPer(unit), lengthDecimals(unit))) {
        return "not at all";
    }
    return lengthShown(std::abs(move), unit)
        + (move > 0 ? " further from the feed point" : " nearer to the feed point");
}

std::string nextCapacitorText(const adjust::Adjustment& step, double built)
{
    const double next = step.next.capacitancePf;
    if (std::isinf(next)) {
        return std::isinf(built) ? "none: keep it shorted" : "none: short it, the rod alone matches";
    }
    const std::string text = quantityText(next, 2) + " pF";
    if (std::isinf(built)) {
        return text + " (in place of the short)";
    }
    const double change = step.capacitanceChangePf;
    if (roundsToZero(change, 2)) {
        return text + " (as it is)";
    }
    return text + " (" + (change > 0 ? "+" : "-") + quantityText(std::abs(change), 2) + " pF)";
}

// The reading: typed, or the file's sweep, through the cable or not.
struct Reading {
    std::optional<Complex> typed;
    std::optional<touchstone::OnePort> sweep;
};

std::variant<Reading, Fault> readReading(const AdjustPageInput& input)
{
    Reading reading;
    if (!input.fromFile) {
        const auto r = readNumber(input.r, "read-r", "reading R");
        if (const auto* fault = std::get_if<Fault>(&r)) {
            return *fault;
        }
        const auto x = readNumber(input.x, "read-x", "reading X");
        if (const auto* fault = std::get_if<Fault>(&x)) {
            return *fault;
        }
        reading.typed = Complex(std::get<double>(r), std::get<double>(x));
        return reading;
    }
    auto parsed = touchstone::parseOnePort(input.fileText);
    if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
        if (error->line == 0) {
            return badFile(input.fileName + ": " + error->message);
        }
        return badField("s1p", "line " + std::to_string(error->line) + " of " + input.fileName + ": " + error->message);
    }
    reading.sweep = std::move(std::get<touchstone::OnePort>(parsed));
    if (const auto refused = touchstone::checkImpedances(*reading.sweep)) {
        return badField(
            "s1p", "line " + std::to_string(refused->line) + " of " + input.fileName + ": " + refused->message);
    }
    return reading;
}

} // namespace

std::string adjustJson(const AdjustPageInput& input)
{
    const auto design = readDesignerInput(input.design);
    if (const auto* fault = std::get_if<BadField>(&design)) {
        return faultJson(badField("design", "the design above: " + fault->message));
    }
    if (input.fromFile ? input.fileName.empty() : trimmed(input.r).empty() && trimmed(input.x).empty()) {
        return faultJson(Fault{"waiting", "",
            input.fromFile ? "Choose the .s1p file the analyser saved: it is read here, not uploaded."
                           : "Type the R and X the analyser shows at the design frequency."});
    }
    const design::DesignInput& d = std::get<ReadDesign>(design).input;
    const Unit unit = std::get<ReadDesign>(design).unit;
    adjust::AdjustInput in = adjust::builtFrom(d);

    const auto rod = readLength(input.rodLength, unit, "built-rod", "rod as built");
    if (const auto* fault = std::get_if<Fault>(&rod)) {
        return faultJson(*fault);
    }
    in.rodLength = std::get<double>(rod);
    const auto capacitance = readCapacitance(input.capacitance);
    if (const auto* fault = std::get_if<Fault>(&capacitance)) {
        return faultJson(*fault);
    }
    in.capacitancePf = std::get<double>(capacitance);
    auto reading = readReading(input);
    if (const auto* fault = std::get_if<Fault>(&reading)) {
        return faultJson(*fault);
    }
    const Reading& read = std::get<Reading>(reading);
    if (!trimmed(input.cable).empty()) {
        const auto cable = coax::findCable(trimmed(input.cable));
        if (const auto* why = std::get_if<std::string>(&cable)) {
            return faultJson(badField("cable", *why));
        }
        const auto length = readLength(input.cableLength, Unit::Metre, "cable-length", "cable length");
        if (const auto* fault = std::get_if<Fault>(&length)) {
            return faultJson(*fault);
        }
        in.cable = coax::lineOf(*std::get<const coax::Cable*>(cable), std::get<double>(length));
    }

    adjust::Adjustment step;
    std::optional<adjust::SweepAdjustment> swept;
    Complex atAnalyser;
    if (read.sweep) {
        auto outcome = adjust::adjustSweep(in, *read.sweep);
        if (const auto* problem = std::get_if<adjust::NoAdjustment>(&outcome)) {
            return faultJson(fromAdjust(*problem, true));
        }
        swept = std::move(std::get<adjust::SweepAdjustment>(outcome));
        step = swept->atDesign;
        atAnalyser = touchstone::impedanceAt(*read.sweep, in.freqMhz * 1e6).value_or(step.reading);
    } else {
        auto outcome = adjust::adjust(in, *read.typed);
        if (const auto* problem = std::get_if<adjust::NoAdjustment>(&outcome)) {
            return faultJson(fromAdjust(*problem, false));
        }
        step = std::get<adjust::Adjustment>(outcome);
        atAnalyser = *read.typed;
    }

    std::string readingText = ohms(step.reading) + " (SWR " + decimalsText(step.readingSwr, 2) + ")";
    if (in.cable) {
        readingText = ohms(atAnalyser) + " through " + doubleText(in.cable->length, std::nullopt) + " m of "
            + in.cable->name + "; at the match " + readingText;
    }
    if (swept) {
        readingText = "at " + freqShown(in.freqMhz) + ", between the file's "
            + std::to_string(read.sweep->points.size()) + " points: " + readingText;
    }
    std::string compared;
    if (step.expected) {
        compared = ohms(step.expected->zin) + " (SWR " + decimalsText(step.expected->swr, 2)
            + "), from the design's Za " + ohms(d.feedImpedance);
    }
    std::string cableLoss;
    if (in.cable) {
        cableLoss = decimalsText(coax::roundTripLossDb(*in.cable, in.freqMhz), 2) + " dB there and back at "
            + freqShown(in.freqMhz);
    }
    std::string lowestNow;
    std::string lowestNext;
    if (swept && !swept->rows.empty()) {
        lowestNow = decimalsText(swept->bestNowSwr, 2) + " at " + freqShown(swept->bestNowMhz);
        lowestNext = decimalsText(swept->bestNextSwr, 2) + " at " + freqShown(swept->bestNextMhz);
    }

    std::string out = R"({"status":"ok","results":{)";
    const auto add = [&out](std::string_view key, const std::string& value, bool last = false) {
        out += jsonString(key) + ":" + jsonString(value) + (last ? "" : ",");
    };
    add("elementZ", ohms(step.feedImpedance));
    add("nextRod", lengthShown(step.next.rodLength, unit));
    add("strapMove", strapMoveText(step.strapMove, unit));
    add("nextCapacitor", nextCapacitorText(step, in.capacitancePf));
    add("expectedSwr", decimalsText(step.nextExpected.swr, 3));
    add("reading", readingText);
    add("compared", compared);
    add("cableLoss", cableLoss);
    add("lowestNow", lowestNow);
    add("lowestNext", lowestNext, true);
    out += R"(},"warning":)" + jsonString(step.cableWarning ? sentence(step.cableWarning->message) : "");
    out += R"(,"next":{"rod":)" + jsonString(lengthShown(step.next.rodLength, unit)) + R"(,"capacitance":)"
        + jsonString(std::isinf(step.next.capacitancePf) ? "short" : doubleText(step.next.capacitancePf, 2));
    return out + "}}";
}

std::string cablesJson()
{
    std::string out = "[";
    for (const coax::Cable& cable : coax::cables()) {
        out += std::string(out.size() > 1 ? "," : "") + R"({"name":)" + jsonString(cable.name) + R"(,"label":)"
            + jsonString(std::string(cable.name) + " (" + doubleText(cable.impedance, std::nullopt) + " ohms, VF "
                + doubleText(cable.velocityFactor, 2) + ")")
            + "}";
    }
    return out + "]";
}

} // namespace vostrel::web
