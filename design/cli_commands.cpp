// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_commands.h"

#include "ascii.h"
#include "cli_csv.h"
#include "cli_fullwave.h"
#include "cli_ratings.h"
#include "cli_report.h"
#include "coax_cable.h"
#include "coax_capacitor.h"
#include "csv.h"
#include "design_options.h"
#include "exact_range.h"
#include "match_study.h"
#include "number_text.h"
#include "physics.h"
#include "plain_number.h"
#include "touchstone.h"

#include <cerrno>
#include <cmath>
#include <ostream>

namespace vostrel::design::cli {
namespace {

constexpr std::size_t kMaxPoints = 100'000; // a sweep's values

std::string shortest(double value)
{
    return doubleText(value, std::nullopt);
}

// What design and analyze add to their answer when asked: the ratings at
// --power and the piece of --coax cable for the capacitor.
struct Extras {
    std::optional<RatingsAsked> rating;
    const coax::Cable* cable = nullptr;
    std::optional<ratings::Ratings> rated;
    std::optional<CoaxPiece> piece;
};

std::variant<Extras, CommandLineError> readExtras(const Options& options, const Inputs& inputs)
{
    if (auto failure = oneCapacitor(options)) {
        return *failure;
    }
    const auto cable = readCoax(options);
    if (const auto* failure = std::get_if<CommandLineError>(&cable)) {
        return *failure;
    }
    const auto asked = readRatings(options, inputs);
    if (const auto* failure = std::get_if<CommandLineError>(&asked)) {
        return *failure;
    }
    Extras extras;
    extras.rating = std::get<std::optional<RatingsAsked>>(asked);
    extras.cable = std::get<const coax::Cable*>(cable);
    if (extras.rating) {
        extras.rating->base.cable = extras.cable;
    }
    return extras;
}

// Rates the match of `rodLength` and the capacitor of `reactance` (ohms, 0
// when shorted), and cuts the capacitor from the cable (none when shorted).
std::optional<CommandLineError> fillExtras(
    Extras& extras, const DesignInput& in, double rodLength, double reactance, Unit unit)
{
    if (extras.rating) {
        auto result = rateMatch(*extras.rating, in, rodLength, reactance);
        if (const auto* failure = std::get_if<CommandLineError>(&result)) {
            return *failure;
        }
        extras.rated = std::get<ratings::Ratings>(std::move(result));
    }
    if (extras.cable != nullptr && reactance > 0) {
        auto piece = coaxPieceOf(*extras.cable, in.freqMhz, reactance, unit);
        if (const auto* failure = std::get_if<CommandLineError>(&piece)) {
            return *failure;
        }
        extras.piece = std::get<CoaxPiece>(std::move(piece));
    }
    return std::nullopt;
}

// The command's own CSV header and record with the extras' columns after
// its own: the ratings', then the cable's, each when asked for.
std::string csvWithExtras(const Extras& extras, std::vector<std::string> names, std::vector<std::string> fields)
{
    if (extras.rating) {
        appendRatingsColumns(names, fields, extras.rated ? &*extras.rated : nullptr);
    }
    if (extras.cable != nullptr) {
        appendCoaxColumns(names, fields, extras.piece ? &*extras.piece : nullptr);
    }
    return csv::record(names) + csv::record(fields);
}

// The command's own text, then the cable piece's lines and the ratings.
std::string textWithExtras(const Extras& extras, std::string text)
{
    if (extras.piece) {
        text += "\n" + coaxPieceText(*extras.piece);
    }
    if (extras.rated) {
        text += ratingsText(*extras.rating, *extras.rated);
    }
    return text;
}

} // namespace

int runDesign(const Options& options, std::ostream& out, std::ostream& err)
{
    if (fullWaveAsked(options)) {
        if (options.power) {
            return report(err, usage("--power rates the closed-form design: leave out --element-length and --nec"));
        }
        const bool tube = tubeAsked(options);
        for (const OptionId rating : {OptionId::SwrMargin, OptionId::TubeId, OptionId::Dielectric}) {
            const bool modelled = tube && rating != OptionId::SwrMargin;
            if (!modelled && options.valueOf(rating)) {
                return report(err,
                    usage(optionName(rating)
                        + " goes with --power, which rates the closed-form design: leave out "
                          "--element-length and --nec"
                        + (rating == OptionId::SwrMargin ? "" : ", or give --cap-at tube")));
            }
        }
        if (options.coax) {
            return report(
                err, usage("--coax cuts the closed-form design's capacitor: leave out --element-length and --nec"));
        }
        return runFullWaveDesign(options, out, err);
    }
    if (options.writeNec) {
        return report(err, usage("--write-nec needs the element: give --element-length or --nec"));
    }
    if (auto failure = necOnlyRefusal(options)) {
        return report(err, *failure);
    }
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return report(err, *failure);
    }
    auto read = readExtras(options, inputs);
    if (const auto* failure = std::get_if<CommandLineError>(&read)) {
        return report(err, *failure);
    }
    auto& extras = std::get<Extras>(read);
    const DesignInput& in = inputs.study.design;
    const Unit unit = inputs.study.unit;
    const auto designed = design(in);
    const auto* problem = std::get_if<Problem>(&designed);
    if (problem != nullptr && problem->kind == Problem::Kind::BadInput) {
        return report(err, fromProblem(*problem));
    }
    if (const auto* d = std::get_if<Design>(&designed)) {
        const double reactance = d->capacitorShorted ? 0 : std::abs(d->capacitorReactance);
        if (auto failure = fillExtras(extras, in, d->rodLength, reactance, unit)) {
            return report(err, *failure);
        }
    }
    const ExitStatus status = problem != nullptr ? ExitStatus::NoSolution : ExitStatus::Solved;
    const std::string text = options.csv ? csvWithExtras(extras, designCsvNames(), designCsvFields(in, unit, designed))
                                         : textWithExtras(extras, designText(in, unit, designed, FeedShown::Given));
    const int written = writeResult(out, err, text, status);
    if (problem != nullptr && written == static_cast<int>(status)) {
        err << "vostrel-design: " << problem->message << "\n"; // a diagnostic, as a sweep gives it
    }
    return written;
}

int runAnalyze(const Options& options, std::ostream& out, std::ostream& err)
{
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return report(err, *failure);
    }
    auto read = readExtras(options, inputs);
    if (const auto* failure = std::get_if<CommandLineError>(&read)) {
        return report(err, *failure);
    }
    auto& extras = std::get<Extras>(read);
    const DesignInput& in = inputs.study.design;
    const double pf = *inputs.capacitancePf;
    const auto analysed = analyze(in, *inputs.rodLength, pf);
    if (const auto* problem = std::get_if<Problem>(&analysed)) {
        return report(err, fromProblem(*problem));
    }
    const auto& a = std::get<Analysis>(analysed);
    const Unit unit = inputs.study.unit;
    // The capacitor as given: Xc = 1 / (2 pi f C), none when shorted.
    const double reactance = std::isinf(pf) ? 0 : 1 / (physics::kTwoPi * in.freqMhz * 1e6 * pf * 1e-12);
    if (auto failure = fillExtras(extras, in, *inputs.rodLength, reactance, unit)) {
        return report(err, *failure);
    }
    const std::string text = options.csv
        ? csvWithExtras(extras, analyzeCsvNames(), analyzeCsvFields(in, unit, *inputs.rodLength, pf, a))
        : textWithExtras(extras, analyzeText(in, unit, *inputs.rodLength, pf, a));
    return writeResult(out, err, text, ExitStatus::Solved);
}

int runCapacitor(const Options& options, std::ostream& out, std::ostream& err)
{
    const auto fail = [&](const CommandLineError& failure) { return report(err, failure); };
    double freq = 0;
    double reactance = 0;
    if (auto failure = readNumber(options, OptionId::Freq, freq, "the frequency in MHz")) {
        return fail(*failure);
    }
    if (auto failure
        = readNumber(options, OptionId::X, reactance, "the reactance measured with the capacitor shorted")) {
        return fail(*failure);
    }
    const auto capacitance = capacitanceForReactance(freq, reactance);
    if (const auto* problem = std::get_if<Problem>(&capacitance)) {
        return fail(fromProblem(*problem));
    }
    const double pf = std::get<double>(capacitance);
    const bool tube = options.tubeId.has_value() || options.rod.has_value() || options.dielectric.has_value();
    std::optional<Unit> unit;
    if (auto failure = readUnits(options, unit)) {
        return fail(*failure);
    }
    CapacitorAnswer answer;
    answer.freqMhz = freq;
    answer.reactance = reactance;
    answer.capacitancePf = pf;
    if (tube && !std::isinf(pf)) {
        Insertion insertion;
        insertion.dielectric = "air";
        std::optional<Unit> tubeUnit;
        if (auto failure = readLength(options, OptionId::TubeId, insertion.tubeId, &tubeUnit, std::nullopt,
                "the tube's inner diameter, with a unit")) {
            return fail(*failure);
        }
        if (auto failure = readLength(options, OptionId::Rod, insertion.rod, nullptr, tubeUnit, "the rod's diameter")) {
            return fail(*failure);
        }
        if (options.dielectric) {
            const std::string& given = *options.dielectric;
            const auto er = options::readPermittivity(given);
            if (!er) {
                return fail(badInput("--dielectric: " + quotedInput(given)
                    + " is neither air, ptfe, polyethylene nor a relative permittivity"));
            }
            insertion.permittivity = *er;
            insertion.dielectric = plainNumber(given) ? "sleeve" : ascii::lowered(given);
        }
        const auto length = insertionLength(pf, insertion.tubeId, insertion.rod, insertion.permittivity);
        if (const auto* problem = std::get_if<Problem>(&length)) {
            return fail(fromProblem(*problem));
        }
        insertion.length = std::get<double>(length);
        auto line = coax::openLineCapacitor(
            coax::tubeLine(freq, reactance, insertion.tubeId, insertion.rod, insertion.permittivity));
        if (const auto* asLine = std::get_if<coax::OpenLineCapacitor>(&line);
            asLine != nullptr && asLine->lumpedDiffers) {
            insertion.asLine = *asLine;
        }
        insertion.unit = unit.value_or(*tubeUnit);
        answer.insertion = insertion;
    }
    const auto cable = readCoax(options);
    if (const auto* failure = std::get_if<CommandLineError>(&cable)) {
        return fail(*failure);
    }
    if (const coax::Cable* piece = std::get<const coax::Cable*>(cable)) {
        answer.coaxAsked = true;
        if (!std::isinf(pf)) {
            auto cut = coaxPieceOf(*piece, freq, reactance, unit.value_or(Unit::Metre));
            if (const auto* failure = std::get_if<CommandLineError>(&cut)) {
                return fail(*failure);
            }
            answer.coax = std::get<CoaxPiece>(std::move(cut));
        }
    }
    return writeResult(out, err, options.csv ? capacitorCsv(answer) : capacitorText(answer), ExitStatus::Solved);
}

namespace {

// The swept values as text, exactly as counted, and their suffix ("pF",
// a length unit or "MHz"); none for a frequency sweep over a file.
struct Swept {
    std::vector<std::string> labels;
    std::string suffix;
    std::string source; // "range \"70:150:1\"", for messages; none for a file
};

std::variant<Swept, CommandLineError> sweptValues(const Options& options, const Inputs& inputs)
{
    Swept swept;
    std::string rangeText;
    std::string_view rangeName = "range";
    if (options.command == Command::SweepFreq) {
        const bool rangeOptions = options.from.has_value() || options.to.has_value() || options.step.has_value();
        const int sources = (inputs.file ? 1 : 0) + (rangeOptions ? 1 : 0) + (options.range ? 1 : 0);
        if (sources != 1) {
            return usage("sweep freq takes one of: a range FROM:TO:STEP, --from/--to/--step, or --s1p FILE");
        }
        if (inputs.file) {
            for (const touchstone::Point& point : inputs.file->points) {
                swept.labels.push_back(shortest(point.freqHz / 1e6));
            }
            return swept;
        }
        if (rangeOptions) {
            if (!options.from.has_value() || !options.to.has_value() || !options.step.has_value()) {
                return usage("a frequency range needs --from, --to and --step");
            }
            rangeText = *options.from + ":" + *options.to + ":" + *options.step;
            rangeName = "--from/--to/--step";
        }
    } else if (!options.range) {
        return usage("give the range to sweep, FROM:TO:STEP");
    }
    if (options.range) {
        rangeText = *options.range;
    }
    const bool lengths = options.command == Command::SweepLength;
    const std::string_view defaultSuffix = lengths ? unitSymbol(inputs.elementUnit)
        : options.command == Command::SweepCap     ? "pF"
                                                   : "MHz";
    auto range = parseExactRange(rangeText, defaultSuffix, kMaxPoints);
    if (const auto* problem = std::get_if<std::string>(&range)) {
        return badInput(std::string(rangeName) + " " + quotedInput(rangeText) + ": " + *problem);
    }
    swept.source = std::string(rangeName) + " " + quotedInput(rangeText);
    swept.labels = std::move(std::get<ExactRange>(range).values);
    swept.suffix = std::get<ExactRange>(range).suffix;
    if (lengths ? !unitFromSymbol(swept.suffix).has_value() : swept.suffix != defaultSuffix) {
        return badInput(std::string(rangeName) + " " + quotedInput(rangeText) + ": the unit must be "
            + (lengths ? std::string("mm, cm, m, in or ft") : std::string(defaultSuffix)));
    }
    return swept;
}

study::Swept sweptQuantity(Command command)
{
    return command == Command::SweepCap   ? study::Swept::Capacitance
        : command == Command::SweepLength ? study::Swept::RodLength
                                          : study::Swept::Frequency;
}

Outcome<std::vector<SweepPoint>> computeSweep(
    const Options& options, const Inputs& inputs, const Swept& swept, study::Tuning held)
{
    const DesignInput& in = inputs.study.design;
    if (inputs.file) {
        return sweepMeasured(in, held.rodLength, held.capacitancePf, study::measuredPoints(*inputs.file));
    }
    const auto valueOf = [](const std::string& label) { return plainNumber(label).value_or(0); };
    const double from = valueOf(swept.labels.front());
    const double to = valueOf(swept.labels.back());
    const int count = static_cast<int>(swept.labels.size());
    switch (options.command) {
    case Command::SweepCap:
        return sweepCapacitance(in, held.rodLength, from, to, count);
    case Command::SweepLength: {
        const double perUnit = metresPer(*unitFromSymbol(swept.suffix));
        return sweepRodLength(in, held.capacitancePf, from * perUnit, to * perUnit, count);
    }
    default:
        return sweepFrequency(in, held.rodLength, held.capacitancePf, from, to, count);
    }
}

// Writes the rows as they are formatted, a block at a time.
// `fromNec`: the feed impedance varies and is not known to us (empty
// feed columns).
int writeSweep(const Options& options, const Inputs& inputs, const Swept& swept, const std::vector<SweepPoint>& points,
    const std::string& tableHeading, bool fromNec, std::ostream& out, std::ostream& err)
{
    const study::Swept quantity = sweptQuantity(options.command);
    const DesignInput& in = inputs.study.design;
    std::string text = options.csv ? sweepCsvHeader(quantity) : tableHeading + sweepTableHeader(quantity, swept.suffix);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (options.csv) {
            const std::optional<Complex> feed = fromNec ? std::nullopt
                : inputs.file                           ? std::optional(inputs.file->points[i].impedance)
                                                        : std::optional(in.feedImpedance);
            text += sweepCsvRow(swept.labels[i], points[i], feed, in, quantity, swept.suffix);
        } else {
            text += sweepTableRow(swept.labels[i], points[i]);
        }
        if (text.size() > 65536) {
            errno = 0;
            if (!(out << text)) {
                return writeFailed(err);
            }
            text.clear();
        }
    }
    return writeResult(out, err, text, ExitStatus::Solved);
}

// A sweep's options of NEC-2's model given without it.
std::optional<CommandLineError> modelOnlyRefusal(const Options& options)
{
    if (auto failure = necOnlyRefusal(options)) {
        return failure;
    }
    const bool tube = tubeAsked(options);
    for (const OptionId tubeOnly : {OptionId::TubeId, OptionId::Dielectric}) {
        if (options.valueOf(tubeOnly) && !tube) {
            return usage(optionName(tubeOnly)
                + " is the capacitor's tube in NEC-2's model: give --element-length or --nec, and --cap-at tube");
        }
    }
    return std::nullopt;
}

} // namespace

int runSweep(const Options& options, std::ostream& out, std::ostream& err)
{
    const auto fail = [&](const CommandLineError& failure) { return report(err, failure); };
    if (auto failure = modelOnlyRefusal(options)) {
        return fail(*failure);
    }
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return fail(*failure);
    }
    const auto values = sweptValues(options, inputs);
    if (const auto* failure = std::get_if<CommandLineError>(&values)) {
        return fail(*failure);
    }
    const auto& swept = std::get<Swept>(values);
    if (fullWaveAsked(options)) {
        if (inputs.file) {
            return fail(usage("--s1p and --element-length or --nec each give the feed impedance: give one"));
        }
        const auto valueOf = [](const std::string& label) { return plainNumber(label).value_or(0); };
        auto fromNec = fullWaveSweep(options, inputs, valueOf(swept.labels.front()), valueOf(swept.labels.back()),
            static_cast<int>(swept.labels.size()), err);
        if (const auto* failure = std::get_if<CommandLineError>(&fromNec)) {
            return fail(*failure);
        }
        if (const auto* nec = std::get_if<NecSweep>(&fromNec)) {
            return writeSweep(
                options, inputs, swept, nec->points, options.csv ? std::string() : nec->heading, true, out, err);
        }
        // NEC did not run (said on err): the fixed-impedance sweep follows.
    }
    const study::Swept quantity = sweptQuantity(options.command);
    const auto held = study::heldTuning(inputs.study.design, inputs.rodLength, inputs.capacitancePf, quantity);
    if (const auto* problem = std::get_if<Problem>(&held)) {
        CommandLineError failure = fromProblem(*problem);
        if (problem->kind == Problem::Kind::NoMatch) {
            const bool needsLength = quantity != study::Swept::RodLength && !inputs.rodLength;
            const bool needsCap = quantity != study::Swept::Capacitance && !inputs.capacitancePf;
            const std::string_view give = !needsCap ? "--length" : !needsLength ? "--cap" : "--length and --cap";
            failure.message = "no design at " + shortest(inputs.study.design.freqMhz)
                + " MHz to sweep around: " + failure.message + "; give " + std::string(give);
        }
        return fail(failure);
    }
    const study::Tuning tuning = std::get<study::Tuning>(held);
    const auto computed = computeSweep(options, inputs, swept, tuning);
    if (const auto* problem = std::get_if<Problem>(&computed)) {
        CommandLineError failure = fromProblem(*problem);
        const Field sweptField = quantity == study::Swept::Capacitance ? Field::Capacitance
            : quantity == study::Swept::RodLength                      ? Field::RodLength
                                                                       : Field::Frequency;
        if (problem->kind == Problem::Kind::BadInput && problem->field == sweptField && !swept.source.empty()) {
            failure.message = swept.source + ": " + problem->message; // the range's value, not an option's
        }
        return fail(failure);
    }
    const std::string tableHeading = options.csv
        ? std::string()
        : sweepHeading(inputs.study.design, inputs.study.unit, inputs.file.has_value(), quantity, tuning);
    return writeSweep(
        options, inputs, swept, std::get<std::vector<SweepPoint>>(computed), tableHeading, false, out, err);
}

} // namespace vostrel::design::cli
