#include "cli_commands.h"

#include "ascii.h"
#include "cli_fullwave.h"
#include "cli_report.h"
#include "csv.h"
#include "design_options.h"
#include "exact_range.h"
#include "match_study.h"
#include "number_text.h"
#include "plain_number.h"
#include "touchstone.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace vostrel::design::cli {
namespace {

constexpr std::size_t kMaxPoints = 100'000; // a sweep's values
constexpr std::size_t kMaxFileBytes = 64U << 20U; // a Touchstone file
constexpr std::size_t kMaxLineBytes = 64U << 10U; // one of its lines

// Shown back in a message: short, printable and in quotes (a file name
// before ":line" goes without them).
std::string shown(std::string_view text, bool quoted = true)
{
    const std::string result = shownText(text, 40);
    return quoted ? "\"" + result + "\"" : result;
}

std::string shortest(double value)
{
    return doubleText(value, std::nullopt);
}

OptionId fieldOption(Field field)
{
    switch (field) {
    case Field::Frequency:
        return OptionId::Freq;
    case Field::FeedResistance:
        return OptionId::R;
    case Field::FeedReactance:
    case Field::MeasuredReactance:
        return OptionId::X;
    case Field::ElementDiameter:
        return OptionId::Element;
    case Field::RodDiameter:
        return OptionId::Rod;
    case Field::Spacing:
        return OptionId::Spacing;
    case Field::LineImpedance:
        return OptionId::Line;
    case Field::RodLength:
        return OptionId::Length;
    case Field::Capacitance:
        return OptionId::Cap;
    case Field::TubeInnerDiameter:
        return OptionId::TubeId;
    case Field::Permittivity:
        return OptionId::Dielectric;
    case Field::ElementLength:
        return OptionId::ElementLength;
    }
    return OptionId::Freq;
}

} // namespace

CommandLineError fromProblem(const Problem& problem)
{
    if (problem.kind == Problem::Kind::NoMatch) {
        return CommandLineError{ExitStatus::NoSolution, problem.message, false};
    }
    return badInput(optionName(fieldOption(problem.field)) + ": " + problem.message);
}

Refusal readNumber(const Options& options, OptionId id, double& value, std::string_view what)
{
    const std::optional<std::string>& text = options.valueOf(id);
    if (!text) {
        return usage(optionName(id) + " is needed: " + std::string(what));
    }
    const auto read = readPlainNumber(*text, {});
    if (const auto* why = std::get_if<NumberRefusal>(&read)) {
        const NumberRefusal reason = *why == NumberRefusal::Empty ? NumberRefusal::NotANumber : *why;
        return badInput(optionName(id) + ": " + shown(*text) + " " + refusalText(reason, {}));
    }
    value = std::get<double>(read);
    return std::nullopt;
}

Refusal readLength(const Options& options, OptionId id, double& metres, std::optional<Unit>* unit,
    std::optional<Unit> defaultUnit, std::string_view what)
{
    const std::optional<std::string>& text = options.valueOf(id);
    if (!text) {
        return usage(optionName(id) + " is needed: " + std::string(what));
    }
    const auto parsed = parseLength(*text, defaultUnit);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return badInput(optionName(id) + ": " + *problem);
    }
    metres = std::get<Length>(parsed).metres;
    if (unit != nullptr) {
        *unit = std::get<Length>(parsed).unit;
    }
    return std::nullopt;
}

namespace {

Refusal readUnits(const Options& options, std::optional<Unit>& unit)
{
    if (options.units.has_value()) {
        unit = options::readUnit(*options.units);
        if (!unit) {
            return badInput("--units: " + shown(*options.units) + " is not a unit: mm, cm, m, in or ft");
        }
    }
    return std::nullopt;
}

} // namespace

Refusal readFileText(OptionId option, std::string_view path, std::string_view kind, std::string& text)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(std::filesystem::path(path), ignored)) {
        return badInput(optionName(option) + ": " + shown(path) + " is a directory");
    }
    errno = 0;
    std::ifstream stream{std::string(path), std::ios::binary};
    if (!stream) {
        return badInput(optionName(option) + ": cannot open " + shown(path)
            + (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""));
    }
    std::array<char, 65536> chunk{};
    std::size_t lineBytes = 0;
    int line = 1;
    while (stream.read(chunk.data(), chunk.size()) || stream.gcount() > 0) {
        const std::string_view read(chunk.data(), static_cast<std::size_t>(stream.gcount()));
        for (const char c : read) {
            if (c == '\n' || c == '\r') {
                line += c == '\n' ? 1 : 0;
                lineBytes = 0;
            } else if (++lineBytes > kMaxLineBytes) {
                return badInput(shown(path, false) + ":" + std::to_string(line) + ": a line longer than 64 KB: not "
                    + std::string(kind));
            }
        }
        text.append(read);
        if (text.size() > kMaxFileBytes) {
            return badInput(optionName(option) + ": " + shown(path) + " is larger than 64 MB");
        }
    }
    if (stream.bad()) {
        return CommandLineError{ExitStatus::InputUnreadable,
            optionName(option) + ": cannot read " + shown(path)
                + (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""),
            false};
    }
    return std::nullopt;
}

namespace {

Refusal readFile(std::string_view path, touchstone::OnePort& file)
{
    std::string text;
    if (auto failure = readFileText(OptionId::S1p, path, "a Touchstone file", text)) {
        return failure;
    }
    auto parsed = touchstone::parseOnePort(text);
    if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
        return badInput(shown(path, false) + (error->line > 0 ? ":" + std::to_string(error->line) : std::string())
            + ": " + error->message);
    }
    file = std::move(std::get<touchstone::OnePort>(parsed));
    if (const auto refused = touchstone::checkImpedances(file)) {
        return badInput(shown(path, false) + ":" + std::to_string(refused->line) + ": " + refused->message);
    }
    return std::nullopt;
}

Refusal readFeed(const Options& options, Inputs& inputs)
{
    DesignInput& model = inputs.study.design;
    if (options.s1p.has_value()) {
        if (options.r.has_value() || options.x.has_value()) {
            return usage("--s1p gives the feed impedance: leave out --r and --x");
        }
        inputs.file.emplace();
        if (auto failure = readFile(*options.s1p, *inputs.file)) {
            return failure;
        }
        if (model.freqMhz != 0) {
            const auto at = touchstone::impedanceAt(*inputs.file, model.freqMhz * 1e6);
            if (!at) {
                const std::string hint = touchstone::frequencyUnitHint(*inputs.file);
                return badInput("--freq: " + shortest(model.freqMhz) + " MHz is outside the file's frequencies"
                    + (hint.empty() ? std::string() : "; " + hint));
            }
            model.feedImpedance = *at;
        }
        return std::nullopt;
    }
    if (fullWaveAsked(options) && !options.r.has_value() && !options.x.has_value()) {
        return std::nullopt; // NEC computes it
    }
    double r = 0;
    double x = 0;
    if (auto failure = readNumber(options, OptionId::R, r, "the feed resistance in ohms")) {
        return failure;
    }
    if (auto failure = readNumber(options, OptionId::X, x, "the feed reactance in ohms (0 for a resonant element)")) {
        return failure;
    }
    model.feedImpedance = {r, x};
    return std::nullopt;
}

} // namespace

Refusal readModelInputs(const Options& options, Inputs& inputs)
{
    std::optional<Unit> unit;
    if (auto failure = readUnits(options, unit)) {
        return failure;
    }
    DesignInput& model = inputs.study.design;
    model.stepUp = options.half ? StepUp::Half : StepUp::Whole;
    model.model = options.textbook ? Model::Textbook : Model::Corrected;
    const bool needsDesign = options.command == Command::Design || options.command == Command::SweepCap
        || options.command == Command::SweepLength || !options.length.has_value() || !options.cap.has_value();
    if (options.command != Command::SweepFreq || needsDesign || options.freq.has_value()) {
        if (auto failure = readNumber(options, OptionId::Freq, model.freqMhz, "the frequency in MHz")) {
            return failure;
        }
    }
    if (auto failure = readFeed(options, inputs)) {
        return failure;
    }
    std::optional<Unit> elementUnit;
    Geometry& g = model.geometry;
    if (options.nec.has_value()) {
        // The deck gives the element's diameter; the rod's unit is the one
        // of lengths without a unit.
        if (options.element.has_value()) {
            return usage("--nec gives the element's diameter: leave out --element");
        }
        if (auto failure = readLength(
                options, OptionId::Rod, g.rodDiameter, &elementUnit, std::nullopt, "the rod's diameter, with a unit")) {
            return failure;
        }
    } else {
        if (auto failure = readLength(options, OptionId::Element, g.elementDiameter, &elementUnit, std::nullopt,
                "the element's diameter, with a unit")) {
            return failure;
        }
        if (auto failure = readLength(
                options, OptionId::Rod, g.rodDiameter, nullptr, elementUnit, "the rod's diameter, with a unit")) {
            return failure;
        }
    }
    if (auto failure = readLength(
            options, OptionId::Spacing, g.spacing, nullptr, elementUnit, "the centre-to-centre spacing, with a unit")) {
        return failure;
    }
    inputs.elementUnit = *elementUnit;
    inputs.study.unit = unit.value_or(*elementUnit);
    if (options.line.has_value()) {
        if (auto failure = readNumber(options, OptionId::Line, model.lineImpedance, "")) {
            return failure;
        }
    }
    if (options.length.has_value()) {
        double metres = 0;
        if (auto failure = readLength(options, OptionId::Length, metres, nullptr, inputs.elementUnit, "")) {
            return failure;
        }
        inputs.rodLength = metres;
    }
    if (options.cap.has_value()) {
        inputs.capacitancePf = options::readCapacitance(*options.cap);
        if (!inputs.capacitancePf) {
            return badInput(
                "--cap: " + shown(*options.cap) + " is not a capacitance: give pF (96 or 96pF) or \"short\"");
        }
    }
    if (options.command == Command::Analyze && (!inputs.rodLength || !inputs.capacitancePf)) {
        return usage("analyze needs --length and --cap");
    }
    return std::nullopt;
}

namespace {

std::string header(std::initializer_list<std::string_view> names)
{
    std::string line;
    for (const std::string_view name : names) {
        line += line.empty() ? "" : ",";
        line += name;
    }
    return line + "\n";
}

} // namespace

int report(std::ostream& err, const CommandLineError& failure)
{
    err << "vostrel-design: " << failure.message << "\n";
    if (failure.showUsage) {
        err << "Try 'vostrel-design --help' for more information.\n";
    }
    return static_cast<int>(failure.status);
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

std::string designText(const DesignInput& in, Unit unit, const Outcome<Design>& designed)
{
    const LineModel line = std::get<LineModel>(lineModel(in));
    std::string text = heading(in, unit, false) + "\n" + lineRows(line, in.freqMhz);
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

int runDesign(const Options& options, std::ostream& out, std::ostream& err)
{
    if (fullWaveAsked(options)) {
        return runFullWaveDesign(options, out, err);
    }
    for (const OptionId necOnly : {OptionId::WriteNec, OptionId::RodSide}) {
        if (options.valueOf(necOnly)) {
            return report(err, usage(optionName(necOnly) + " needs the element: give --element-length or --nec"));
        }
    }
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return report(err, *failure);
    }
    const DesignInput& in = inputs.study.design;
    const Unit unit = inputs.study.unit;
    const auto designed = design(in);
    const auto* problem = std::get_if<Problem>(&designed);
    if (problem != nullptr && problem->kind == Problem::Kind::BadInput) {
        return report(err, fromProblem(*problem));
    }
    const ExitStatus status = problem != nullptr ? ExitStatus::NoSolution : ExitStatus::Solved;
    const std::string text = options.csv
        ? csv::record(designCsvNames()) + csv::record(designCsvFields(in, unit, designed))
        : designText(in, unit, designed);
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
    const DesignInput& in = inputs.study.design;
    const Unit unit = inputs.study.unit;
    const auto analysed = analyze(in, *inputs.rodLength, *inputs.capacitancePf);
    if (const auto* problem = std::get_if<Problem>(&analysed)) {
        return report(err, fromProblem(*problem));
    }
    const auto& a = std::get<Analysis>(analysed);
    const std::string symbol(unitSymbol(unit));
    const bool shorted = std::isinf(*inputs.capacitancePf);
    if (options.csv) {
        return writeResult(out, err,
            header({"freq_mhz", "rod_length", "length_unit", "capacitance_pf", "share", "closed_form", "z0_ohm",
                "alpha", "step_up", "zp_r_ohm", "zp_x_ohm", "r_ohm", "x_ohm", "reflection", "return_loss_db", "swr"})
                + csv::record({csv::number(in.freqMhz), csv::number(*inputs.rodLength / metresPer(unit)), symbol,
                    shorted ? std::string() : csv::number(*inputs.capacitancePf), std::string(shareColumn(in.stepUp)),
                    std::string(modelColumn(in.model)), csv::number(a.line.z0), csv::number(a.line.alpha),
                    csv::number(a.line.stepUp), csv::number(a.zp.real()), csv::number(a.zp.imag()),
                    csv::number(a.zin.real()), csv::number(a.zin.imag()), csv::number(std::abs(a.reflection)),
                    csv::number(a.returnLossDb), csv::number(a.swr)}),
            ExitStatus::Solved);
    }
    std::string text = heading(in, unit, false) + "\n" + lineRows(a.line, in.freqMhz);
    text += resultRow("Rod length, feed point to strap", lengthText(*inputs.rodLength, unit) + " " + symbol);
    text += resultRow("Capacitor", shorted ? std::string("shorted") : quantityText(*inputs.capacitancePf, 2) + " pF");
    text += resultRow("Rod and element, Zp = Z2 || Zs", complexText(a.zp) + " ohms");
    text += resultRow("Input impedance Zin", complexText(a.zin) + " ohms");
    text += resultRow("Reflection |rho|",
        decimalsText(std::abs(a.reflection), 4) + " (return loss " + decimalsText(a.returnLossDb, 2) + " dB)");
    text += resultRow("SWR", decimalsText(a.swr, 3));
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
    double tubeId = 0;
    double rod = 0;
    std::string dielectricName = "air";
    double permittivity = 1;
    std::optional<double> insertion;
    if (tube && !std::isinf(pf)) {
        std::optional<Unit> tubeUnit;
        if (auto failure = readLength(
                options, OptionId::TubeId, tubeId, &tubeUnit, std::nullopt, "the tube's inner diameter, with a unit")) {
            return fail(*failure);
        }
        if (auto failure = readLength(options, OptionId::Rod, rod, nullptr, tubeUnit, "the rod's diameter")) {
            return fail(*failure);
        }
        if (options.dielectric.has_value()) {
            const std::string& given = *options.dielectric;
            const auto er = options::readPermittivity(given);
            if (!er) {
                return fail(badInput("--dielectric: " + shown(given)
                    + " is neither air, ptfe, polyethylene nor a relative permittivity"));
            }
            permittivity = *er;
            dielectricName = plainNumber(given) ? "sleeve" : ascii::lowered(given);
        }
        const auto length = insertionLength(pf, tubeId, rod, permittivity);
        if (const auto* problem = std::get_if<Problem>(&length)) {
            return fail(fromProblem(*problem));
        }
        insertion = std::get<double>(length);
        unit = unit.value_or(*tubeUnit);
    }
    if (options.csv) {
        std::vector<std::string> fields
            = {csv::number(freq), csv::number(reactance), std::isinf(pf) ? std::string() : csv::number(pf)};
        if (insertion) {
            fields.insert(fields.end(),
                {csv::number(*insertion / metresPer(*unit)), std::string(unitSymbol(*unit)), dielectricName,
                    csv::number(permittivity)});
        } else {
            fields.insert(fields.end(), {"", "", "", ""});
        }
        return writeResult(out, err,
            header({"freq_mhz", "reactance_ohm", "capacitance_pf", "insertion_length", "length_unit", "dielectric",
                "permittivity"})
                + csv::record(fields),
            ExitStatus::Solved);
    }
    std::string text;
    if (std::isinf(pf)) {
        text = "No reactance to cancel at " + shortest(freq) + " MHz: keep the capacitor shorted.\n";
    } else {
        text = "Capacitor for " + decimalsText(reactance, 2) + " ohms at " + shortest(freq)
            + " MHz: " + quantityText(pf, 2) + " pF\n";
    }
    if (insertion) {
        const std::string symbol(unitSymbol(*unit));
        text += "Insertion length of the " + sizeText(rod, *unit) + " " + symbol + " rod in the tube of "
            + sizeText(tubeId, *unit) + " " + symbol + " inner diameter, " + dielectricName + " (relative permittivity "
            + shortest(permittivity) + "): " + lengthText(*insertion, *unit) + " " + symbol + "\n";
    }
    return writeResult(out, err, text, ExitStatus::Solved);
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
        return badInput(std::string(rangeName) + " " + shown(rangeText) + ": " + *problem);
    }
    swept.source = std::string(rangeName) + " " + shown(rangeText);
    swept.labels = std::move(std::get<ExactRange>(range).values);
    swept.suffix = std::get<ExactRange>(range).suffix;
    if (lengths ? !unitFromSymbol(swept.suffix).has_value() : swept.suffix != defaultSuffix) {
        return badInput(std::string(rangeName) + " " + shown(rangeText) + ": the unit must be "
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

// What a human reader is told before the table.
std::string sweepHeading(const Options& options, const Inputs& inputs, study::Tuning held)
{
    const DesignInput& in = inputs.study.design;
    std::string text = heading(in, inputs.study.unit, inputs.file.has_value());
    if (options.command == Command::SweepFreq && !inputs.file) {
        text += "The feed impedance is held at " + complexText(in.feedImpedance)
            + " ohms at every frequency: give --s1p for measured values.\n";
    }
    if (options.command != Command::SweepLength) {
        text += "Rod length " + lengthText(held.rodLength, inputs.study.unit) + " "
            + std::string(unitSymbol(inputs.study.unit)) + "\n";
    }
    if (options.command != Command::SweepCap) {
        text += std::isinf(held.capacitancePf) ? std::string("Capacitor shorted\n")
                                               : "Capacitor " + quantityText(held.capacitancePf, 2) + " pF\n";
    }
    return text + "\n";
}

std::string padded(std::string_view cell, std::size_t width)
{
    return std::string(cell.size() < width ? width - cell.size() : 1, ' ') + std::string(cell);
}

// Writes the rows as they are formatted, a block at a time.
// `fromNec`: the feed impedance varies and is not known to us (empty
// feed columns).
int writeSweep(const Options& options, const Inputs& inputs, const Swept& swept, const std::vector<SweepPoint>& points,
    const std::string& tableHeading, bool fromNec, std::ostream& out, std::ostream& err)
{
    const bool lengths = options.command == Command::SweepLength;
    std::string text;
    if (options.csv) {
        const std::string_view column = options.command == Command::SweepCap ? "capacitance_pf"
            : lengths                                                        ? "rod_length"
                                                                             : "freq_mhz";
        text = std::string(column) + ",r_ohm,x_ohm,swr,feed_r_ohm,feed_x_ohm,share,closed_form"
            + (lengths ? ",length_unit\n" : "\n");
    } else {
        const std::string title = options.command == Command::SweepCap ? "Capacitance, pF"
            : lengths                                                  ? "Rod length, " + swept.suffix
                                                                       : "Frequency, MHz";
        text = tableHeading + padded(title, 16) + padded("R, ohms", 12) + padded("X, ohms", 12) + padded("SWR", 10)
            + "\n";
    }
    const DesignInput& in = inputs.study.design;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SweepPoint& point = points[i];
        if (options.csv) {
            const Complex feed = inputs.file ? inputs.file->points[i].impedance : in.feedImpedance;
            std::vector<std::string> fields = {swept.labels[i], csv::number(point.zin.real()),
                csv::number(point.zin.imag()), csv::number(point.swr), fromNec ? "" : csv::number(feed.real()),
                fromNec ? "" : csv::number(feed.imag()), std::string(shareColumn(in.stepUp)),
                std::string(modelColumn(in.model))};
            if (lengths) {
                fields.push_back(swept.suffix);
            }
            text += csv::record(fields);
        } else {
            text += padded(swept.labels[i], 16) + padded(decimalsText(point.zin.real(), 2), 12)
                + padded(decimalsText(point.zin.imag(), 2), 12) + padded(decimalsText(point.swr, 3), 10) + "\n";
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

} // namespace

int runSweep(const Options& options, std::ostream& out, std::ostream& err)
{
    const auto fail = [&](const CommandLineError& failure) { return report(err, failure); };
    if (options.rodSide.has_value() && !fullWaveAsked(options)) {
        return fail(usage("--rod-side needs the element: give --element-length or --nec"));
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
    const std::string tableHeading = options.csv ? std::string() : sweepHeading(options, inputs, tuning);
    return writeSweep(
        options, inputs, swept, std::get<std::vector<SweepPoint>>(computed), tableHeading, false, out, err);
}

} // namespace vostrel::design::cli
