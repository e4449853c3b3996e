// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_adjust.h"

#include "adjust.h"
#include "cli_csv.h"
#include "cli_files.h"
#include "cli_fullwave.h"
#include "cli_inputs.h"
#include "cli_ratings.h"
#include "cli_report.h"
#include "coax_cable.h"
#include "coax_capacitor.h"
#include "csv.h"
#include "design_options.h"
#include "line_transform.h"
#include "number_text.h"
#include "physics.h"
#include "plain_number.h"
#include "touchstone.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace vostrel::design::cli {
namespace {

// What the analyser read, as given.
struct Reading {
    std::optional<Complex> zin; // --zin
    std::optional<touchstone::OnePort> sweep; // --zin-s1p
};

// A coaxial capacitor's tube, for the insertion lengths.
struct Tube {
    double innerDiameter = 0; // metres
    double rod = 0; // metres
    double permittivity = 1;
    // As NEC-2's model has it with --cap-at tube: a line open at the rod's
    // tip (coax::openLineCapacitor, as nec::tubeSection), not the capacitance per metre.
    bool asLine = false;
};

// Everything the report shows.
struct Answer {
    DesignInput model; // frequency, geometry, line, share, closed form
    Unit unit = Unit::Metre;
    adjust::AdjustInput in;
    Complex atAnalyser; // the reading at --freq as the analyser gave it
    adjust::Adjustment step;
    std::optional<adjust::SweepAdjustment> sweep; // rows, best frequencies
    std::size_t sweepPoints = 0;
    std::optional<double> cableLossDb; // round trip, at --freq
    std::optional<double> builtInsertion; // metres, with --tube-id
    std::optional<double> nextInsertion;
    std::optional<RatingsAsked> ratingsAsked; // --power
    std::optional<ratings::Ratings> rated; // of the next rod and capacitor
    std::optional<NecAdjustment> nec; // the step in NEC-2's model of the match
};

std::string withUnit(double metres, Unit unit)
{
    return lengthText(metres, unit) + " " + std::string(unitSymbol(unit));
}

// What rounds to 0 at the decimals shown: no change to make.
bool roundsToZero(double value, int decimals)
{
    return std::round(std::abs(value) * std::pow(10.0, decimals)) == 0;
}

bool lengthRoundsToZero(double metres, Unit unit)
{
    return roundsToZero(metres / metresPer(unit), lengthDecimals(unit));
}

// "12.5 mm further from the feed point", "nearer to the feed point".
std::string strapMoveText(double move, Unit unit)
{
    if (lengthRoundsToZero(move, unit)) {
        return "not at all";
    }
    return lengthText(std::abs(move), unit) + " " + std::string(unitSymbol(unit))
        + (move > 0 ? " further from the feed point" : " nearer to the feed point");
}

std::string ohmsText(Complex z)
{
    return complexText(z) + " ohms";
}

Refusal readZin(const std::string& text, Complex& zin)
{
    const auto refused = [&] {
        return badInput("--zin: " + quotedInput(text)
            + " is not a reading: give the resistance and the reactance in ohms, R,X (38.5,-21.2)");
    };
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return refused();
    }
    const auto r = plainNumber(std::string_view(text).substr(0, comma));
    const auto x = plainNumber(std::string_view(text).substr(comma + 1));
    if (!r || !x) {
        return refused();
    }
    zin = {*r, *x};
    return std::nullopt;
}

// --zin or --zin-s1p, exactly one; the file is read later.
Refusal readReadingOptions(const Options& options, Reading& reading)
{
    if (options.zin && options.zinS1p) {
        return usage("--zin and --zin-s1p each give the reading: give one");
    }
    if (!options.zin && !options.zinS1p) {
        return usage("adjust needs what the analyser read: --zin R,X or --zin-s1p FILE");
    }
    if (options.zin) {
        Complex zin;
        if (auto failure = readZin(*options.zin, zin)) {
            return failure;
        }
        reading.zin = zin;
    }
    return std::nullopt;
}

// --through (a cable by name) or --through-line (by its figures), at most one.
Refusal readCable(const Options& options, std::optional<coax::Line>& cable)
{
    if (options.through && options.throughLine) {
        return usage("--through and --through-line each give the cable: give one");
    }
    const OptionId id = options.through ? OptionId::Through : OptionId::ThroughLine;
    const std::optional<std::string>& text = options.valueOf(id);
    if (!text) {
        return std::nullopt;
    }
    auto parsed = coax::parseLine(*text);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return badInput(optionName(id) + ": " + *problem);
    }
    coax::Line line = std::move(std::get<coax::Line>(parsed));
    if (id == OptionId::Through && line.name.empty()) {
        return badInput("--through: " + quotedInput(*text)
            + " is a line by its figures: give it with --through-line, or a cable and its length (rg213,15m)");
    }
    if (id == OptionId::ThroughLine && !line.name.empty()) {
        return badInput("--through-line: " + quotedInput(*text)
            + " names a cable: give it with --through, or the line's figures Z0,VF,DB100M@MHZ,LENGTH");
    }
    cable = std::move(line);
    return std::nullopt;
}

Refusal readTube(const Options& options, const Inputs& inputs, std::optional<Tube>& tube)
{
    if (!options.tubeId) {
        if (options.dielectric) {
            return usage("--dielectric is the sleeve in the capacitor's tube: give --tube-id too");
        }
        return std::nullopt;
    }
    Tube read;
    read.rod = inputs.study.design.geometry.rodDiameter;
    if (auto failure = readLength(options, OptionId::TubeId, read.innerDiameter, nullptr, inputs.elementUnit, "")) {
        return failure;
    }
    if (options.dielectric) {
        const auto er = options::readPermittivity(*options.dielectric);
        if (!er) {
            return badInput("--dielectric: " + quotedInput(*options.dielectric)
                + " is neither air, ptfe, polyethylene nor a relative permittivity");
        }
        read.permittivity = *er;
    }
    read.asLine = tubeAsked(options) && fullWaveAsked(options);
    tube = read;
    return std::nullopt;
}

// The core's refusal as this program says it: the options' faults with
// status 2, naming the option; what the reading or the build rules out with
// status 1.
CommandLineError fromAdjust(const adjust::NoAdjustment& problem, const Options& options)
{
    switch (problem.kind) {
    case adjust::NoAdjustment::Kind::BadInput:
        if (problem.field) {
            return fromProblem(Problem{Problem::Kind::BadInput, *problem.field, problem.message, 0});
        }
        return badInput(problem.message);
    case adjust::NoAdjustment::Kind::BadCable:
        return badInput(
            optionName(options.through ? OptionId::Through : OptionId::ThroughLine) + ": " + problem.message);
    case adjust::NoAdjustment::Kind::BadReading:
        return badInput(optionName(options.zin ? OptionId::Zin : OptionId::ZinS1p) + ": " + problem.message);
    default:
        return CommandLineError{ExitStatus::NoSolution, problem.message, false};
    }
}

// The insertion length for a capacitance at `freqMhz`, none for a shorted
// capacitor.
std::variant<std::optional<double>, CommandLineError> insertionFor(
    const Tube& tube, double capacitancePf, double freqMhz)
{
    if (std::isinf(capacitancePf)) {
        return std::optional<double>();
    }
    const auto length = insertionLength(capacitancePf, tube.innerDiameter, tube.rod, tube.permittivity);
    if (const auto* problem = std::get_if<Problem>(&length)) {
        return fromProblem(*problem);
    }
    if (tube.asLine) {
        const double reactance = 1e12 / (physics::kTwoPi * freqMhz * 1e6 * capacitancePf);
        const auto line = coax::openLineCapacitor(
            coax::tubeLine(freqMhz, reactance, tube.innerDiameter, tube.rod, tube.permittivity));
        if (const auto* piece = std::get_if<coax::OpenLineCapacitor>(&line)) {
            return std::optional(piece->length);
        }
        return badInput("--tube-id: " + std::get<coax::NoOpenLine>(line).message);
    }
    return std::optional(std::get<double>(length));
}

std::string capacitorText(double pf)
{
    return std::isinf(pf) ? std::string("shorted") : quantityText(pf, 2) + " pF";
}

std::string cableText(const coax::Line& cable)
{
    const std::string length = doubleText(cable.length, std::nullopt) + " m of ";
    if (!cable.name.empty()) {
        return length + cable.name;
    }
    return length + doubleText(cable.impedance, std::nullopt) + " ohm line (velocity factor "
        + doubleText(cable.velocityFactor, std::nullopt) + ")";
}

std::string nextCapacitorText(const Answer& a)
{
    const double next = a.step.next.capacitancePf;
    const double built = a.in.capacitancePf;
    if (std::isinf(next)) {
        return std::isinf(built) ? "none: keep it shorted" : "none: short it, the rod alone matches";
    }
    std::string text = quantityText(next, 2) + " pF";
    if (std::isinf(built)) {
        return text + " (in place of the short)";
    }
    const double change = a.step.capacitanceChangePf;
    if (roundsToZero(change, 2)) {
        return text + " (as it is)";
    }
    return text + " (" + std::string(change > 0 ? "+" : "-") + quantityText(std::abs(change), 2) + " pF)";
}

std::string insertionText(const Answer& a)
{
    const std::string next = withUnit(*a.nextInsertion, a.unit);
    if (!a.builtInsertion) {
        return next + " into the tube";
    }
    const double change = *a.nextInsertion - *a.builtInsertion;
    if (lengthRoundsToZero(change, a.unit)) {
        return next + ": leave the rod where it is in the tube";
    }
    return next + (change > 0 ? ": push the rod " : ": pull the rod ") + lengthText(std::abs(change), a.unit) + " "
        + std::string(unitSymbol(a.unit)) + (change > 0 ? " further in" : " out of the tube");
}

std::string adjustText(const Answer& a)
{
    const std::string freq = doubleText(a.model.freqMhz, std::nullopt) + " MHz";
    std::string text = heading(a.model, a.unit, FeedShown::Omitted);
    text += "Built: rod " + withUnit(a.in.rodLength, a.unit) + ", feed point to strap; capacitor "
        + capacitorText(a.in.capacitancePf) + "\n";
    if (a.sweep) {
        text += "Read: a sweep of " + std::to_string(a.sweepPoints) + " points; at " + freq + ", between them: ";
    } else {
        text += "Read at " + freq + ": ";
    }
    if (a.in.cable) {
        text += ohmsText(a.atAnalyser) + ", through " + cableText(*a.in.cable) + "\n";
        text += "At the match, the cable taken out: " + ohmsText(a.step.reading);
    } else {
        text += ohmsText(a.step.reading);
    }
    text += " (SWR " + decimalsText(a.step.readingSwr, 2) + ")\n";
    if (a.step.expected) {
        text += std::string(a.nec ? "NEC-2's model of the match" : "The model") + " expected "
            + ohmsText(a.step.expected->zin) + "; the analyser read " + ohmsText(a.step.reading) + "\n";
    }
    text += "\n";
    text += resultRow("Element Za from the reading", ohmsText(a.step.feedImpedance));
    if (a.nec) {
        text += resultRow("Element, beside the model", ohmsText(a.nec->correction) + " in series at the feed point");
    }
    text += resultRow("Next rod, feed point to strap", withUnit(a.step.next.rodLength, a.unit));
    text += resultRow("Move the strap", strapMoveText(a.step.strapMove, a.unit));
    text += resultRow("Next capacitor", nextCapacitorText(a));
    if (a.nextInsertion) {
        text += resultRow("Rod in the capacitor's tube", insertionText(a));
    }
    text += resultRow("Expected SWR there", decimalsText(a.step.nextExpected.swr, 3));
    if (a.sweep && !a.sweep->rows.empty()) {
        text += resultRow("Lowest SWR now",
            decimalsText(a.sweep->bestNowSwr, 3) + " at " + doubleText(a.sweep->bestNowMhz, std::nullopt) + " MHz");
        if (a.sweep->bestNextSwr > 0) {
            text += resultRow("Lowest SWR after the change",
                decimalsText(a.sweep->bestNextSwr, 3) + " at " + doubleText(a.sweep->bestNextMhz, std::nullopt)
                    + " MHz");
        }
    }
    if (a.sweep && a.sweep->skippedPoints > 0) {
        text += resultRow("Points left out",
            std::to_string(a.sweep->skippedPoints) + " (a short, an open or a negative resistance there)");
    }
    if (a.cableLossDb) {
        text += resultRow("Cable loss, there and back", decimalsText(*a.cableLossDb, 2) + " dB at " + freq);
    }
    if (a.nec) {
        text += resultRow("Adjusted in", "NEC-2's model of the match, " + std::to_string(a.nec->runs) + " nec2c runs");
    }
    if (a.step.cableWarning) {
        text += "\nWarning: " + a.step.cableWarning->message + "\n";
    }
    if (a.rated) {
        text += ratingsText(*a.ratingsAsked, *a.rated, "of the next rod and capacitor");
    }
    return text;
}

std::string number(std::optional<double> value)
{
    return value && std::isfinite(*value) ? csv::number(*value) : std::string();
}

std::string adjustCsv(const Answer& a)
{
    const double perUnit = metresPer(a.unit);
    const double built = a.in.capacitancePf;
    const double next = a.step.next.capacitancePf;
    const bool bothSeries = !std::isinf(built) && !std::isinf(next);
    const bool best = a.sweep && !a.sweep->rows.empty();
    const bool bestNext = best && a.sweep->bestNextSwr > 0;
    std::optional<double> insertionChange;
    if (a.builtInsertion && a.nextInsertion) {
        insertionChange = (*a.nextInsertion - *a.builtInsertion) / perUnit;
    }
    const auto& expected = a.step.expected;
    std::vector<std::string> names = {"freq_mhz", "rod_length", "length_unit", "strap_move", "capacitance_pf",
        "capacitance_change_pf", "capacitor", "expected_swr", "element_r_ohm", "element_x_ohm", "read_r_ohm",
        "read_x_ohm", "read_swr", "model_r_ohm", "model_x_ohm", "insertion_length", "insertion_change", "swr_min_mhz",
        "swr_min_swr", "swr_min_next_mhz", "swr_min_next_swr", "skipped_points", "cable_loss_db", "share",
        "closed_form", "warning"};
    std::vector<std::string> fields = {csv::number(a.model.freqMhz), csv::number(a.step.next.rodLength / perUnit),
        std::string(unitSymbol(a.unit)), csv::number(a.step.strapMove / perUnit), number(next),
        bothSeries ? csv::number(a.step.capacitanceChangePf) : std::string(), std::isinf(next) ? "shorted" : "series",
        csv::number(a.step.nextExpected.swr), csv::number(a.step.feedImpedance.real()),
        csv::number(a.step.feedImpedance.imag()), csv::number(a.step.reading.real()),
        csv::number(a.step.reading.imag()), csv::number(a.step.readingSwr),
        expected ? csv::number(expected->zin.real()) : std::string(),
        expected ? csv::number(expected->zin.imag()) : std::string(),
        a.nextInsertion ? csv::number(*a.nextInsertion / perUnit) : std::string(), number(insertionChange),
        best ? csv::number(a.sweep->bestNowMhz) : std::string(),
        best ? csv::number(a.sweep->bestNowSwr) : std::string(),
        bestNext ? csv::number(a.sweep->bestNextMhz) : std::string(),
        bestNext ? csv::number(a.sweep->bestNextSwr) : std::string(),
        a.sweep ? std::to_string(a.sweep->skippedPoints) : std::string(), number(a.cableLossDb),
        std::string(shareColumn(a.model.stepUp)), std::string(modelColumn(a.model.model)),
        a.step.cableWarning ? csv::field(a.step.cableWarning->message) : std::string()};
    names.insert(names.end(), {"adjusted_in", "nec_correction_r_ohm", "nec_correction_x_ohm", "nec_runs"});
    fields.insert(fields.end(),
        {a.nec ? "nec2" : "closed_form", a.nec ? csv::number(a.nec->correction.real()) : "",
            a.nec ? csv::number(a.nec->correction.imag()) : "", a.nec ? std::to_string(a.nec->runs) : ""});
    if (a.ratingsAsked) {
        appendRatingsColumns(names, fields, a.rated ? &*a.rated : nullptr);
    }
    return csv::record(names) + csv::record(fields);
}

// The step in NEC-2's model of the match, into `a`: true when NEC-2 gave it,
// false when the closed form's step must stand in (nec2c did not run, or
// the sweep does not reach the design frequency, which the closed form's
// path then says).
std::variant<bool, CommandLineError> stepInNec(
    const Options& options, const Inputs& inputs, const Reading& reading, Answer& a, std::ostream& err)
{
    const adjust::AdjustInput& in = a.in;
    std::optional<Complex> atAnalyser = reading.zin;
    std::optional<SweepSpan> span;
    if (reading.sweep) {
        atAnalyser = touchstone::impedanceAt(*reading.sweep, in.freqMhz * 1e6);
        if (!atAnalyser) {
            return false;
        }
        const auto& points = reading.sweep->points;
        span = SweepSpan{points.front().freqHz / 1e6, points.back().freqHz / 1e6,
            static_cast<int>(std::clamp<std::size_t>(points.size(), 2, 201))};
    }
    auto connector = adjust::readingAtConnector(in, *atAnalyser);
    if (const auto* problem = std::get_if<adjust::NoAdjustment>(&connector)) {
        return fromAdjust(*problem, options);
    }
    const adjust::ConnectorReading& read = std::get<adjust::ConnectorReading>(connector);
    auto inNec = fullWaveAdjust(options, inputs, in, read.zin, span, err);
    if (const auto* failure = std::get_if<CommandLineError>(&inNec)) {
        return *failure;
    }
    if (std::holds_alternative<std::monostate>(inNec)) {
        return false;
    }
    a.nec = std::get<NecAdjustment>(std::move(inNec));
    a.step = a.nec->step;
    a.step.cableWarning = read.cableWarning;
    a.atAnalyser = *atAnalyser;
    if (reading.sweep) {
        // The lowest SWR now, from the readings themselves; after the change
        // from NEC's sweep of the next build.
        adjust::SweepAdjustment swept;
        swept.atDesign = a.step;
        for (const touchstone::Point& p : reading.sweep->points) {
            adjust::AdjustInput at = in;
            at.freqMhz = p.freqHz / 1e6;
            auto there = adjust::readingAtConnector(at, p.impedance);
            if (const auto* ok = std::get_if<adjust::ConnectorReading>(&there)) {
                swept.rows.push_back({at.freqMhz, ok->zin, ok->swr, 0});
                if (swept.rows.size() == 1 || ok->swr < swept.bestNowSwr) {
                    swept.bestNowMhz = at.freqMhz;
                    swept.bestNowSwr = ok->swr;
                }
            } else {
                ++swept.skippedPoints;
            }
        }
        swept.bestNextMhz = a.nec->bestNextMhz.value_or(0);
        swept.bestNextSwr = a.nec->bestNextSwr.value_or(0);
        a.sweep = std::move(swept);
        a.sweepPoints = reading.sweep->points.size();
    }
    return true;
}

} // namespace

int runAdjust(const Options& options, std::ostream& out, std::ostream& err)
{
    const auto fail = [&](const CommandLineError& failure) { return report(err, failure); };
    if (auto failure = necOnlyRefusal(options)) {
        return fail(*failure);
    }
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return fail(*failure);
    }
    Reading reading;
    if (auto failure = readReadingOptions(options, reading)) {
        return fail(*failure);
    }
    if (fullWaveAsked(options)) {
        auto diameter = fullWaveElementDiameter(options, inputs);
        if (const auto* failure = std::get_if<CommandLineError>(&diameter)) {
            return fail(*failure);
        }
        if (const auto& fromDeck = std::get<std::optional<double>>(diameter)) {
            inputs.study.design.geometry.elementDiameter = *fromDeck;
        }
    }
    Answer answer;
    answer.model = inputs.study.design;
    answer.unit = inputs.study.unit;
    answer.in = adjust::builtFrom(answer.model);
    adjust::AdjustInput& in = answer.in;
    if (!options.r) { // both or neither: readModelInputs saw to it
        in.assumedFeedImpedance.reset();
    }
    in.rodLength = *inputs.rodLength;
    in.capacitancePf = *inputs.capacitancePf;
    if (options.elementLength) {
        double metres = 0;
        if (auto failure = readLength(options, OptionId::ElementLength, metres, nullptr, inputs.elementUnit, "")) {
            return fail(*failure);
        }
        in.elementLength = metres;
    }
    if (auto failure = readCable(options, in.cable)) {
        return fail(*failure);
    }
    std::optional<Tube> tube;
    if (auto failure = readTube(options, inputs, tube)) {
        return fail(*failure);
    }
    auto asked = readRatings(options, inputs, TubeUse::InsertionToo);
    if (const auto* failure = std::get_if<CommandLineError>(&asked)) {
        return fail(*failure);
    }
    answer.ratingsAsked = std::get<std::optional<RatingsAsked>>(asked);
    if (options.zinS1p) {
        reading.sweep.emplace();
        if (auto failure = readTouchstone(OptionId::ZinS1p, *options.zinS1p, *reading.sweep)) {
            return fail(*failure);
        }
    }

    bool steppedInNec = false;
    if (fullWaveAsked(options)) {
        auto stepped = stepInNec(options, inputs, reading, answer, err);
        if (const auto* failure = std::get_if<CommandLineError>(&stepped)) {
            return fail(*failure);
        }
        steppedInNec = std::get<bool>(stepped);
    }
    if (!steppedInNec && reading.sweep) {
        auto swept = adjust::adjustSweep(in, *reading.sweep);
        if (const auto* problem = std::get_if<adjust::NoAdjustment>(&swept)) {
            return fail(fromAdjust(*problem, options));
        }
        answer.sweep = std::move(std::get<adjust::SweepAdjustment>(swept));
        answer.step = answer.sweep->atDesign;
        answer.sweepPoints = reading.sweep->points.size();
        answer.atAnalyser = touchstone::impedanceAt(*reading.sweep, in.freqMhz * 1e6).value_or(answer.step.reading);
    } else if (!steppedInNec) {
        auto step = adjust::adjust(in, *reading.zin);
        if (const auto* problem = std::get_if<adjust::NoAdjustment>(&step)) {
            return fail(fromAdjust(*problem, options));
        }
        answer.step = std::get<adjust::Adjustment>(step);
        answer.atAnalyser = *reading.zin;
    }
    if (in.cable) {
        answer.cableLossDb = coax::roundTripLossDb(*in.cable, in.freqMhz);
    }
    if (tube) {
        for (auto [pf, length] : {std::pair{in.capacitancePf, &answer.builtInsertion},
                 std::pair{answer.step.next.capacitancePf, &answer.nextInsertion}}) {
            auto insertion = insertionFor(*tube, pf, in.freqMhz);
            if (const auto* failure = std::get_if<CommandLineError>(&insertion)) {
                return fail(*failure);
            }
            *length = std::get<std::optional<double>>(insertion);
        }
    }
    if (answer.ratingsAsked) {
        // What the next cut must stand: the next capacitor (Xc 0 when shorted).
        const design::Design& next = answer.step.next;
        auto rated = rateMatch(*answer.ratingsAsked, answer.model, next.rodLength, next.capacitorReactance);
        if (const auto* failure = std::get_if<CommandLineError>(&rated)) {
            return fail(*failure);
        }
        answer.rated = std::get<ratings::Ratings>(std::move(rated));
    }
    return writeResult(out, err, options.csv ? adjustCsv(answer) : adjustText(answer), ExitStatus::Solved);
}

} // namespace vostrel::design::cli
