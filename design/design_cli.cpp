#include "design_cli.h"
#include "double_chars.h"

#include "exact_range.h"
#include "gamma_design.h"
#include "length_text.h"
#include "number_text.h"
#include "touchstone.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#ifndef VOSTREL_VERSION
#define VOSTREL_VERSION "unknown"
#endif

namespace vostrel::design {
namespace {

constexpr std::size_t kMaxPoints = 100'000; // a sweep's values
constexpr std::size_t kMaxFileBytes = 64U << 20U; // a Touchstone file

constexpr std::string_view kUsage
    = "Usage: vostrel-design design  --freq MHZ --r OHMS --x OHMS --element LEN --rod LEN --spacing LEN\n"
      "                              [--line OHMS] [--half] [--units UNIT] [--csv]\n"
      "       vostrel-design analyze   (the options of design) --length LEN --cap PF\n"
      "       vostrel-design capacitor --freq MHZ --x OHMS [--tube-id LEN --rod LEN [--dielectric D]]\n"
      "       vostrel-design sweep cap FROM:TO:STEP     (the options of design) [--length LEN]\n"
      "       vostrel-design sweep length FROM:TO:STEP  (the options of design) [--cap PF]\n"
      "       vostrel-design sweep freq FROM:TO:STEP    (the options of design) [--length LEN --cap PF]\n"
      "       vostrel-design sweep freq --s1p FILE      (the options of design but --r and --x)\n"
      "\n"
      "The gamma match for a measured or modelled feed impedance Za = R + jX at the\n"
      "element centre: the rod length (feed point to shorting strap) and the series\n"
      "capacitor that match the feed line, from the rod-to-element line and the\n"
      "folded-dipole step-up of the feed impedance.\n"
      "\n"
      "  --freq MHZ       the frequency\n"
      "  --r, --x OHMS    the feed resistance and reactance (X negative: capacitive)\n"
      "  --element LEN    the element's diameter; --rod the rod's; --spacing the\n"
      "                   centre-to-centre spacing. Lengths take a unit: mm, cm, m,\n"
      "                   in or ft (38.9in, 12mm); without one, the unit of --element\n"
      "  --line OHMS      the feed line's impedance (50)\n"
      "  --half           step up half the feed impedance, k = 1/2 (Balanis); the\n"
      "                   default steps up the whole of it, k = 1 (ARRL, Owen Duffy)\n"
      "  --units UNIT     lengths shown in mm, cm, m, in or ft (the unit of --element)\n"
      "  --length LEN     the rod length; --cap PF the capacitor (96pF, or \"short\")\n"
      "                   A sweep takes what it lacks from the design at --freq.\n"
      "  --tube-id LEN    a coaxial capacitor: the tube's inner diameter, the rod's\n"
      "                   diameter (--rod) and the sleeve: air, ptfe, polyethylene\n"
      "                   or a relative permittivity (--dielectric, air)\n"
      "  --s1p FILE       a Touchstone one-port file of the feed impedance: one row\n"
      "                   per frequency in it\n"
      "  --csv            comma-separated values with a header line\n"
      "  --help, --version\n"
      "\n"
      "Ranges count in exact decimals, the end included when a step lands on it:\n"
      "capacitance in pF, rod length in the unit of --element (or with a unit:\n"
      "35in:42in:0.1in), frequency in MHz. At most 100000 values.\n"
      "\n"
      "Exit status: 0 solved, 1 no gamma match of these inputs matches, 2 bad options\n"
      "or input, 3 the output could not be written, 4 the program itself failed.\n";

enum class Command { Design, Analyze, Capacitor, SweepCap, SweepLength, SweepFreq };

struct Options {
    Command command = Command::Design;
    std::optional<std::string_view> range;
    std::map<std::string, std::string_view, std::less<>> values; // "--freq" -> "14.3"
    bool half = false;
    bool csv = false;
};

constexpr std::array<std::string_view, 18> kOptions
    = {"--freq", "--r", "--x", "--element", "--rod", "--spacing", "--line", "--units", "--length", "--cap", "--tube-id",
        "--dielectric", "--s1p", "--from", "--to", "--step", "--half", "--csv"};

// The options each command reads; anything else is refused, so that a
// mistyped or misplaced option is never silently ignored.
std::vector<std::string_view> optionsOf(Command command)
{
    const std::vector<std::string_view> model
        = {"--freq", "--r", "--x", "--element", "--rod", "--spacing", "--line", "--half", "--units", "--csv"};
    std::vector<std::string_view> allowed = model;
    switch (command) {
    case Command::Design:
        break;
    case Command::Analyze:
        allowed.insert(allowed.end(), {"--length", "--cap"});
        break;
    case Command::Capacitor:
        allowed = {"--freq", "--x", "--tube-id", "--rod", "--dielectric", "--units", "--csv"};
        break;
    case Command::SweepCap:
        allowed.emplace_back("--length");
        break;
    case Command::SweepLength:
        allowed.emplace_back("--cap");
        break;
    case Command::SweepFreq:
        allowed.insert(allowed.end(), {"--length", "--cap", "--s1p", "--from", "--to", "--step"});
        break;
    }
    return allowed;
}

// Shown back in a message: short, printable and in quotes (a file name
// before ":line" goes without them).
std::string shown(std::string_view text, bool quoted = true)
{
    const std::string result = shownText(text, 40);
    return quoted ? "\"" + result + "\"" : result;
}

// Four significant digits with an exponent: "1.234e+300".
std::string scientific(double value)
{
    return scientificText(value, 3);
}

// `value` with `decimals` decimals, never "-0.00"; "inf" for infinity; from
// 1e15 up, too long to read in this form, with an exponent.
std::string fixed(double value, int decimals)
{
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    if (std::abs(value) >= 1e15) {
        return scientific(value);
    }
    return doubleText(value, decimals);
}

// A length or capacitance: as fixed(), but one too small to show there as
// anything but 0 gets its digits with an exponent, never a false 0.
std::string quantity(double value, int decimals)
{
    if (value != 0 && std::abs(value) < 0.5 * std::pow(10.0, -decimals)) {
        return scientific(value);
    }
    return fixed(value, decimals);
}

std::string shortest(double value)
{
    return shortestText(value);
}

// "25.00 - j25.00"
std::string complexText(Complex z)
{
    const std::string imag = fixed(std::abs(z.imag()), 2);
    return fixed(z.real(), 2) + (z.imag() < 0 && imag != "0.00" ? " - j" : " + j") + imag;
}

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
    return quantity(metres / metresPer(unit), lengthDecimals(unit));
}

// A size as the builder gave it: two decimals more, trailing zeros dropped.
std::string sizeText(double metres, Unit unit)
{
    std::string text = quantity(metres / metresPer(unit), lengthDecimals(unit) + 2);
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

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c == '"' ? "\"\"" : std::string(1, c);
    }
    return field + "\"";
}

std::string csvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        line += csvField(fields[i]);
    }
    return line + "\n";
}

// What went wrong before anything was printed; the status says whose fault.
struct Failure {
    ExitStatus status = ExitStatus::BadInput;
    std::string message;
    bool showUsage = false;
};

using Checked = std::optional<Failure>;

Failure usage(std::string message)
{
    return Failure{ExitStatus::BadInput, std::move(message), true};
}

Failure badInput(std::string message)
{
    return Failure{ExitStatus::BadInput, std::move(message), false};
}

std::string fieldOption(Field field)
{
    switch (field) {
    case Field::Frequency:
        return "--freq";
    case Field::FeedResistance:
        return "--r";
    case Field::FeedReactance:
    case Field::MeasuredReactance:
        return "--x";
    case Field::ElementDiameter:
        return "--element";
    case Field::RodDiameter:
        return "--rod";
    case Field::Spacing:
        return "--spacing";
    case Field::LineImpedance:
        return "--line";
    case Field::RodLength:
        return "--length";
    case Field::Capacitance:
        return "--cap";
    case Field::TubeInnerDiameter:
        return "--tube-id";
    case Field::Permittivity:
        return "--dielectric";
    }
    return "an input";
}

Failure fromProblem(const Problem& problem)
{
    if (problem.kind == Problem::Kind::NoMatch) {
        return Failure{ExitStatus::NoSolution, problem.message, false};
    }
    return badInput(fieldOption(problem.field) + ": " + problem.message);
}

// The command words: "design", "sweep cap FROM:TO:STEP" and so on. Returns
// how many arguments they took.
std::variant<std::size_t, Failure> parseCommand(std::span<const std::string_view> args, Options& options)
{
    if (args.empty()) {
        return usage("give a command: design, analyze, capacitor or sweep");
    }
    const std::string_view command = args[0];
    if (command == "design") {
        options.command = Command::Design;
        return std::size_t{1};
    }
    if (command == "analyze" || command == "analyse") {
        options.command = Command::Analyze;
        return std::size_t{1};
    }
    if (command == "capacitor") {
        options.command = Command::Capacitor;
        return std::size_t{1};
    }
    if (command != "sweep") {
        return usage("unknown command " + shown(command, false) + ": design, analyze, capacitor or sweep");
    }
    const std::string_view what = args.size() > 1 ? args[1] : std::string_view();
    if (what == "cap") {
        options.command = Command::SweepCap;
    } else if (what == "length") {
        options.command = Command::SweepLength;
    } else if (what == "freq") {
        options.command = Command::SweepFreq;
    } else {
        return usage("sweep what: cap, length or freq");
    }
    if (args.size() > 2 && !args[2].starts_with("--")) {
        options.range = args[2];
        return std::size_t{3};
    }
    return std::size_t{2};
}

// Reads the arguments. The command words come first.
std::variant<Options, Failure> parseArguments(std::span<const std::string_view> args)
{
    Options options;
    const auto taken = parseCommand(args, options);
    if (const auto* failure = std::get_if<Failure>(&taken)) {
        return *failure;
    }
    const std::string commandName
        = std::get<std::size_t>(taken) >= 2 ? "sweep " + std::string(args[1]) : std::string(args[0]);
    const auto allowed = optionsOf(options.command);
    for (std::size_t i = std::get<std::size_t>(taken); i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> inlineValue;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string_view::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (std::find(kOptions.begin(), kOptions.end(), name) == kOptions.end()) {
            return usage((name.starts_with("-") ? "unknown option " : "unexpected argument ") + shown(name, false));
        }
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            return usage(std::string(name) + " is not an option of " + commandName);
        }
        if (name == "--half" || name == "--csv") {
            if (inlineValue) {
                return usage(std::string(name) + " takes no value");
            }
            bool& flag = name == "--half" ? options.half : options.csv;
            flag = true;
            continue;
        }
        if (!inlineValue && i + 1 >= args.size()) {
            return usage(std::string(name) + " needs a value");
        }
        if (options.values.contains(name)) {
            return usage(std::string(name) + " is given twice");
        }
        options.values.emplace(std::string(name), inlineValue ? *inlineValue : args[++i]);
    }
    return options;
}

// Tells what went wrong in one line, and for a usage error where to read
// more; returns the status.
int report(std::ostream& err, const Failure& failure)
{
    err << "vostrel-design: " << failure.message << "\n";
    if (failure.showUsage) {
        err << "Try 'vostrel-design --help' for more information.\n";
    }
    return static_cast<int>(failure.status);
}

// The model's inputs as the options give them.
struct Inputs {
    DesignInput model;
    Unit unit = Unit::Metre; // lengths shown in
    Unit elementUnit = Unit::Metre; // a length without a unit is in this one
    std::optional<double> rodLength;
    std::optional<double> capacitancePf; // infinity: shorted
    std::optional<touchstone::OnePort> file;
};

Checked readNumber(const Options& options, std::string_view name, double& value, std::string_view what)
{
    const auto found = options.values.find(name);
    if (found == options.values.end()) {
        return usage(std::string(name) + " is needed: " + std::string(what));
    }
    const auto number = parseNumber(found->second);
    if (!number) {
        return badInput(
            std::string(name) + ": " + shown(found->second) + " is " + std::string(numberRefusal(found->second)));
    }
    value = *number;
    return std::nullopt;
}

Checked readLength(const Options& options, std::string_view name, double& metres, std::optional<Unit>* unit,
    std::optional<Unit> defaultUnit, std::string_view what)
{
    const auto found = options.values.find(name);
    if (found == options.values.end()) {
        return usage(std::string(name) + " is needed: " + std::string(what));
    }
    const auto parsed = parseLength(found->second, defaultUnit);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        return badInput(std::string(name) + ": " + *problem);
    }
    metres = std::get<Length>(parsed).metres;
    if (unit != nullptr) {
        *unit = std::get<Length>(parsed).unit;
    }
    return std::nullopt;
}

// "96pF", "96" or "short".
Checked readCapacitance(std::string_view text, double& pf)
{
    if (text == "short") {
        pf = std::numeric_limits<double>::infinity();
        return std::nullopt;
    }
    std::string_view numberText = text;
    if (numberText.ends_with("pF")) {
        numberText.remove_suffix(2);
        while (numberText.ends_with(' ')) { // "96 pF"
            numberText.remove_suffix(1);
        }
    }
    const auto number = parseNumber(numberText);
    if (!number) {
        return badInput("--cap: " + shown(text) + " is not a capacitance: give pF (96 or 96pF) or \"short\"");
    }
    pf = *number;
    return std::nullopt;
}

Checked readUnits(const Options& options, std::optional<Unit>& unit)
{
    if (const auto found = options.values.find("--units"); found != options.values.end()) {
        std::string symbol(found->second); // in any case, as --band takes 20M
        std::transform(symbol.begin(), symbol.end(), symbol.begin(),
            [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        unit = unitFromSymbol(symbol);
        if (!unit) {
            return badInput("--units: " + shown(found->second) + " is not a unit: mm, cm, m, in or ft");
        }
    }
    return std::nullopt;
}

Checked readFile(std::string_view path, touchstone::OnePort& file)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(std::filesystem::path(path), ignored)) {
        return badInput("--s1p: " + shown(path) + " is a directory");
    }
    errno = 0;
    std::ifstream stream{std::string(path), std::ios::binary};
    if (!stream) {
        return badInput(
            "--s1p: cannot open " + shown(path) + (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""));
    }
    std::string text;
    std::array<char, 65536> chunk{};
    while (stream.read(chunk.data(), chunk.size()) || stream.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(stream.gcount()));
        if (text.size() > kMaxFileBytes) {
            return badInput("--s1p: " + shown(path) + " is larger than 64 MB");
        }
    }
    if (stream.bad()) {
        return badInput(
            "--s1p: cannot read " + shown(path) + (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""));
    }
    auto parsed = touchstone::parseOnePort(text);
    if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
        return badInput(shown(path, false) + (error->line > 0 ? ":" + std::to_string(error->line) : std::string())
            + ": " + error->message);
    }
    file = std::move(std::get<touchstone::OnePort>(parsed));
    return std::nullopt;
}

// A measured point the model cannot take, named by its line in the file.
Checked checkFilePoints(std::string_view path, const touchstone::OnePort& file)
{
    if (const auto refused = touchstone::checkImpedances(file)) {
        return badInput(shown(path, false) + ":" + std::to_string(refused->line) + ": " + refused->message);
    }
    return std::nullopt;
}

Checked readModelInputs(const Options& options, Inputs& inputs)
{
    std::optional<Unit> unit;
    if (auto failure = readUnits(options, unit)) {
        return failure;
    }
    DesignInput& model = inputs.model;
    model.stepUp = options.half ? StepUp::Half : StepUp::Whole;
    const bool fromFile = options.values.contains("--s1p");
    const bool needsDesign = options.command == Command::Design || options.command == Command::SweepCap
        || options.command == Command::SweepLength || !options.values.contains("--length")
        || !options.values.contains("--cap");
    if (options.command != Command::SweepFreq || needsDesign || options.values.contains("--freq")) {
        if (auto failure = readNumber(options, "--freq", model.freqMhz, "the frequency in MHz")) {
            return failure;
        }
    }
    if (fromFile) {
        if (options.values.contains("--r") || options.values.contains("--x")) {
            return usage("--s1p gives the feed impedance: leave out --r and --x");
        }
        inputs.file.emplace();
        const std::string_view path = options.values.find("--s1p")->second;
        if (auto failure = readFile(path, *inputs.file)) {
            return failure;
        }
        if (auto failure = checkFilePoints(path, *inputs.file)) {
            return failure;
        }
        if (model.freqMhz != 0) {
            const auto at = touchstone::impedanceAt(*inputs.file, model.freqMhz * 1e6);
            if (!at) {
                return badInput("--freq: " + shortest(model.freqMhz) + " MHz is outside the file's frequencies");
            }
            model.feedImpedance = *at;
        }
    } else {
        double r = 0;
        double x = 0;
        if (auto failure = readNumber(options, "--r", r, "the feed resistance in ohms")) {
            return failure;
        }
        if (auto failure = readNumber(options, "--x", x, "the feed reactance in ohms (0 for a resonant element)")) {
            return failure;
        }
        model.feedImpedance = {r, x};
    }
    std::optional<Unit> elementUnit;
    Geometry& g = model.geometry;
    if (auto failure = readLength(options, "--element", g.elementDiameter, &elementUnit, std::nullopt,
            "the element's diameter, with a unit")) {
        return failure;
    }
    if (auto failure
        = readLength(options, "--rod", g.rodDiameter, nullptr, elementUnit, "the rod's diameter, with a unit")) {
        return failure;
    }
    if (auto failure = readLength(
            options, "--spacing", g.spacing, nullptr, elementUnit, "the centre-to-centre spacing, with a unit")) {
        return failure;
    }
    inputs.elementUnit = *elementUnit;
    inputs.unit = unit.value_or(*elementUnit);
    if (options.values.contains("--line")) {
        if (auto failure = readNumber(options, "--line", model.lineImpedance, "")) {
            return failure;
        }
    }
    if (options.values.contains("--length")) {
        double metres = 0;
        if (auto failure = readLength(options, "--length", metres, nullptr, inputs.elementUnit, "")) {
            return failure;
        }
        inputs.rodLength = metres;
    }
    if (const auto found = options.values.find("--cap"); found != options.values.end()) {
        double pf = 0;
        if (auto failure = readCapacitance(found->second, pf)) {
            return failure;
        }
        inputs.capacitancePf = pf;
    }
    if (options.command == Command::Analyze && (!inputs.rodLength || !inputs.capacitancePf)) {
        return usage("analyze needs --length and --cap");
    }
    return std::nullopt;
}

// The header lines every human-readable result starts with.
std::string describe(const Inputs& inputs, bool feedFromFile)
{
    const DesignInput& m = inputs.model;
    const Geometry& g = m.geometry;
    const std::string_view unit = unitSymbol(inputs.unit);
    std::string text;
    if (feedFromFile) {
        text += "Feed impedance: from the file, at each of its frequencies\n";
    } else {
        text += "Feed impedance: " + complexText(m.feedImpedance) + " ohms"
            + (m.freqMhz > 0 ? " at " + shortest(m.freqMhz) + " MHz\n" : std::string("\n"));
    }
    text += "Share: " + std::string(stepUpName(m.stepUp)) + "\n";
    text += "Element " + sizeText(g.elementDiameter, inputs.unit) + " " + std::string(unit) + ", rod "
        + sizeText(g.rodDiameter, inputs.unit) + " " + std::string(unit) + ", spacing "
        + sizeText(g.spacing, inputs.unit) + " " + std::string(unit) + " centre to centre, " + shortest(m.lineImpedance)
        + " ohm line\n";
    return text;
}

// One result line: the label, then the value in a column.
std::string row(std::string_view label, const std::string& value)
{
    constexpr std::size_t kLabelWidth = 34;
    std::string line = "  ";
    line += label;
    line.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
    return line + value + "\n";
}

std::string lineText(const LineModel& line)
{
    return row("Rod line impedance Z0", fixed(line.z0, 2) + " ohms")
        + row("Current division alpha", fixed(line.alpha, 4)) + row("Step-up k (1 + alpha)^2", fixed(line.stepUp, 4))
        + row("Stepped-up impedance Z2", complexText(line.z2) + " ohms");
}

std::string_view shareColumn(StepUp stepUp)
{
    return stepUp == StepUp::Whole ? "whole" : "half";
}

// One line on `err` for output that could not be written, with the
// system's reason when the failing write left one in errno.
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

// Writes `text`; when it does not reach the output, says so on `err`.
int emit(std::ostream& out, std::ostream& err, const std::string& text, ExitStatus status)
{
    errno = 0;
    out << text << std::flush;
    return out ? static_cast<int>(status) : writeFailed(err);
}

int runDesign(const Options& options, const Inputs& inputs, std::ostream& out, std::ostream& err)
{
    const auto designed = design(inputs.model);
    const auto* problem = std::get_if<Problem>(&designed);
    if (problem != nullptr && problem->kind == Problem::Kind::BadInput) {
        err << "vostrel-design: " << fromProblem(*problem).message << "\n";
        return static_cast<int>(ExitStatus::BadInput);
    }
    const LineModel line = std::get<LineModel>(lineModel(inputs.model));
    const ExitStatus status = problem != nullptr ? ExitStatus::NoSolution : ExitStatus::Solved;
    const std::string unit(unitSymbol(inputs.unit));
    if (options.csv) {
        std::vector<std::string> row = {shortest(inputs.model.freqMhz), fixed(inputs.model.feedImpedance.real(), 2),
            fixed(inputs.model.feedImpedance.imag(), 2), shortest(inputs.model.lineImpedance),
            std::string(shareColumn(inputs.model.stepUp)), fixed(line.z0, 2), fixed(line.alpha, 4),
            fixed(line.stepUp, 4)};
        if (const auto* d = std::get_if<Design>(&designed)) {
            row.insert(row.end(),
                {lengthText(d->rodLength, inputs.unit), unit,
                    d->capacitorShorted ? std::string() : quantity(d->capacitancePf, 2),
                    fixed(d->capacitorReactance, 2), d->capacitorShorted ? "shorted" : "series", "", ""});
        } else {
            row.insert(row.end(), {"", unit, "", "", "", fixed(problem->neededReactance, 2), problem->message});
        }
        return emit(out, err,
            "freq_mhz,r_ohm,x_ohm,line_ohm,share,z0_ohm,alpha,step_up,rod_length,length_unit,capacitance_pf,"
            "reactance_ohm,capacitor,needed_reactance_ohm,reason\n"
                + csvLine(row),
            status);
    }
    std::string text = describe(inputs, false) + "\n" + lineText(line);
    if (const auto* d = std::get_if<Design>(&designed)) {
        text += row("Rod length, feed point to strap", lengthText(d->rodLength, inputs.unit) + " " + unit);
        if (d->capacitorShorted) {
            text += row("Capacitor", "none: short it, the rod alone matches");
        } else {
            text += row("Capacitor",
                quantity(d->capacitancePf, 2) + " pF (reactance " + fixed(d->capacitorReactance, 2) + " ohms)");
        }
    }
    const int written = emit(out, err, text, status);
    if (problem != nullptr && written == static_cast<int>(status)) {
        err << "vostrel-design: " << problem->message << "\n"; // a diagnostic, as a sweep gives it
    }
    return written;
}

int runAnalyze(const Options& options, const Inputs& inputs, std::ostream& out, std::ostream& err)
{
    const auto analysed = analyze(inputs.model, *inputs.rodLength, *inputs.capacitancePf);
    if (const auto* problem = std::get_if<Problem>(&analysed)) {
        err << "vostrel-design: " << fromProblem(*problem).message << "\n";
        return static_cast<int>(ExitStatus::BadInput);
    }
    const auto& a = std::get<Analysis>(analysed);
    const std::string unit(unitSymbol(inputs.unit));
    const bool shorted = std::isinf(*inputs.capacitancePf);
    const std::string cap = shorted ? std::string() : quantity(*inputs.capacitancePf, 2);
    if (options.csv) {
        return emit(out, err,
            "freq_mhz,rod_length,length_unit,capacitance_pf,share,z0_ohm,alpha,step_up,zp_r_ohm,zp_x_ohm,r_ohm,x_ohm,"
            "reflection,return_loss_db,swr\n"
                + csvLine({shortest(inputs.model.freqMhz), lengthText(*inputs.rodLength, inputs.unit), unit, cap,
                    std::string(shareColumn(inputs.model.stepUp)), fixed(a.line.z0, 2), fixed(a.line.alpha, 4),
                    fixed(a.line.stepUp, 4), fixed(a.zp.real(), 2), fixed(a.zp.imag(), 2), fixed(a.zin.real(), 2),
                    fixed(a.zin.imag(), 2), fixed(std::abs(a.reflection), 4), fixed(a.returnLossDb, 2),
                    fixed(a.swr, 3)}),
            ExitStatus::Solved);
    }
    std::string text = describe(inputs, false) + "\n" + lineText(a.line);
    text += row("Rod length, feed point to strap", lengthText(*inputs.rodLength, inputs.unit) + " " + unit);
    text += row("Capacitor", shorted ? std::string("shorted") : cap + " pF");
    text += row("Rod and element, Zp = Z2 || Zs", complexText(a.zp) + " ohms");
    text += row("Input impedance Zin", complexText(a.zin) + " ohms");
    text += row(
        "Reflection |rho|", fixed(std::abs(a.reflection), 4) + " (return loss " + fixed(a.returnLossDb, 2) + " dB)");
    text += row("SWR", fixed(a.swr, 3));
    return emit(out, err, text, ExitStatus::Solved);
}

int runCapacitor(const Options& options, std::ostream& out, std::ostream& err)
{
    const auto fail = [&](const Failure& failure) { return report(err, failure); };
    double freq = 0;
    double reactance = 0;
    if (auto failure = readNumber(options, "--freq", freq, "the frequency in MHz")) {
        return fail(*failure);
    }
    if (auto failure = readNumber(options, "--x", reactance, "the reactance measured with the capacitor shorted")) {
        return fail(*failure);
    }
    const auto capacitance = capacitanceForReactance(freq, reactance);
    if (const auto* problem = std::get_if<Problem>(&capacitance)) {
        return fail(fromProblem(*problem));
    }
    const double pf = std::get<double>(capacitance);
    const bool tube = options.values.contains("--tube-id") || options.values.contains("--rod")
        || options.values.contains("--dielectric");
    std::optional<Unit> unit;
    if (auto failure = readUnits(options, unit)) {
        return fail(*failure);
    }
    double tubeId = 0;
    double rod = 0;
    Dielectric dielectric{"air", 1.0};
    std::optional<double> insertion;
    if (tube && !std::isinf(pf)) {
        std::optional<Unit> tubeUnit;
        if (auto failure = readLength(
                options, "--tube-id", tubeId, &tubeUnit, std::nullopt, "the tube's inner diameter, with a unit")) {
            return fail(*failure);
        }
        if (auto failure = readLength(options, "--rod", rod, nullptr, tubeUnit, "the rod's diameter")) {
            return fail(*failure);
        }
        if (const auto found = options.values.find("--dielectric"); found != options.values.end()) {
            const auto& known = dielectrics();
            const auto named = std::find_if(
                known.begin(), known.end(), [&](const Dielectric& d) { return d.name == found->second; });
            if (named != known.end()) {
                dielectric = *named;
            } else if (const auto er = parseNumber(found->second)) {
                dielectric = Dielectric{"", *er};
            } else {
                return fail(badInput("--dielectric: " + shown(found->second)
                    + " is neither air, ptfe, polyethylene nor a relative permittivity"));
            }
        }
        const auto length = insertionLength(pf, tubeId, rod, dielectric.permittivity);
        if (const auto* problem = std::get_if<Problem>(&length)) {
            return fail(fromProblem(*problem));
        }
        insertion = std::get<double>(length);
        unit = unit.value_or(*tubeUnit);
    }
    const std::string capText = std::isinf(pf) ? std::string() : quantity(pf, 2);
    const std::string dielectricName = dielectric.name[0] != '\0' ? dielectric.name : "sleeve";
    if (options.csv) {
        std::vector<std::string> row = {shortest(freq), fixed(reactance, 2), capText};
        if (insertion) {
            row.insert(row.end(),
                {lengthText(*insertion, *unit), std::string(unitSymbol(*unit)), dielectricName,
                    shortest(dielectric.permittivity)});
        } else {
            row.insert(row.end(), {"", "", "", ""});
        }
        return emit(out, err,
            "freq_mhz,reactance_ohm,capacitance_pf,insertion_length,length_unit,dielectric,permittivity\n"
                + csvLine(row),
            ExitStatus::Solved);
    }
    std::string text;
    if (std::isinf(pf)) {
        text = "No reactance to cancel at " + shortest(freq) + " MHz: keep the capacitor shorted.\n";
    } else {
        text = "Capacitor for " + fixed(reactance, 2) + " ohms at " + shortest(freq) + " MHz: " + capText + " pF\n";
    }
    if (insertion) {
        text += "Insertion length of the " + sizeText(rod, *unit) + " " + std::string(unitSymbol(*unit))
            + " rod in the tube of " + sizeText(tubeId, *unit) + " " + std::string(unitSymbol(*unit))
            + " inner diameter, " + dielectricName + " (relative permittivity " + shortest(dielectric.permittivity)
            + "): " + lengthText(*insertion, *unit) + " " + std::string(unitSymbol(*unit)) + "\n";
    }
    return emit(out, err, text, ExitStatus::Solved);
}

// The rod length and capacitor a sweep holds: those the options give, and
// only a missing one from the design at --freq. The swept value is not held.
std::variant<std::pair<double, double>, Failure> heldMatch(const Options& options, const Inputs& inputs)
{
    const bool needsLength = options.command != Command::SweepLength && !inputs.rodLength;
    const bool needsCap = options.command != Command::SweepCap && !inputs.capacitancePf;
    if (!needsLength && !needsCap) {
        return std::pair{inputs.rodLength.value_or(0), inputs.capacitancePf.value_or(0)};
    }
    const auto designed = design(inputs.model);
    if (const auto* problem = std::get_if<Problem>(&designed)) {
        Failure failure = fromProblem(*problem);
        if (problem->kind == Problem::Kind::NoMatch) {
            const std::string_view give = !needsCap ? "--length" : !needsLength ? "--cap" : "--length and --cap";
            failure.message = "no design at " + shortest(inputs.model.freqMhz)
                + " MHz to sweep around: " + failure.message + "; give " + std::string(give);
        }
        return failure;
    }
    const auto& d = std::get<Design>(designed);
    return std::pair{inputs.rodLength.value_or(d.rodLength), inputs.capacitancePf.value_or(d.capacitancePf)};
}

// The swept values as text, exactly as counted, and their suffix ("pF",
// a length unit or "MHz"); none for a frequency sweep over a file.
struct Swept {
    std::vector<std::string> labels;
    std::string suffix;
    std::string source; // "range \"70:150:1\"", for messages; none for a file
};

std::variant<Swept, Failure> sweptValues(const Options& options, const Inputs& inputs)
{
    Swept swept;
    std::string rangeText;
    std::string_view rangeName = "range";
    if (options.command == Command::SweepFreq) {
        const bool rangeOptions
            = options.values.contains("--from") || options.values.contains("--to") || options.values.contains("--step");
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
            if (!options.values.contains("--from") || !options.values.contains("--to")
                || !options.values.contains("--step")) {
                return usage("a frequency range needs --from, --to and --step");
            }
            rangeText = std::string(options.values.find("--from")->second) + ":"
                + std::string(options.values.find("--to")->second) + ":"
                + std::string(options.values.find("--step")->second);
            rangeName = "--from/--to/--step";
        }
    } else if (!options.range) {
        return usage("give the range to sweep, FROM:TO:STEP");
    }
    if (options.range) {
        rangeText = std::string(*options.range);
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

Outcome<std::vector<SweepPoint>> computeSweep(
    const Options& options, const Inputs& inputs, const Swept& swept, double rodLength, double capacitancePf)
{
    const auto valueOf = [](const std::string& label) { return parseNumber(label).value_or(0); };
    const double from = valueOf(swept.labels.front());
    const double to = valueOf(swept.labels.back());
    const int count = static_cast<int>(swept.labels.size());
    switch (options.command) {
    case Command::SweepCap:
        return sweepCapacitance(inputs.model, rodLength, from, to, count);
    case Command::SweepLength: {
        const double perUnit = metresPer(*unitFromSymbol(swept.suffix));
        return sweepRodLength(inputs.model, capacitancePf, from * perUnit, to * perUnit, count);
    }
    default:
        break;
    }
    if (inputs.file) {
        std::vector<MeasuredPoint> measured;
        for (const touchstone::Point& point : inputs.file->points) {
            measured.push_back(MeasuredPoint{point.freqHz / 1e6, point.impedance});
        }
        return sweepMeasured(inputs.model, rodLength, capacitancePf, measured);
    }
    return sweepFrequency(inputs.model, rodLength, capacitancePf, from, to, count);
}

// What a human reader is told before the table.
std::string sweepHeading(const Options& options, const Inputs& inputs, double rodLength, double capacitancePf)
{
    std::string text = describe(inputs, inputs.file.has_value());
    if (options.command == Command::SweepFreq && !inputs.file) {
        text += "The feed impedance is held at " + complexText(inputs.model.feedImpedance)
            + " ohms at every frequency: give --s1p for measured values.\n";
    }
    if (options.command != Command::SweepLength) {
        text += "Rod length " + lengthText(rodLength, inputs.unit) + " " + std::string(unitSymbol(inputs.unit)) + "\n";
    }
    if (options.command != Command::SweepCap) {
        text += std::isinf(capacitancePf) ? std::string("Capacitor shorted\n")
                                          : "Capacitor " + quantity(capacitancePf, 2) + " pF\n";
    }
    return text + "\n";
}

std::string padded(std::string_view cell, std::size_t width)
{
    return std::string(cell.size() < width ? width - cell.size() : 1, ' ') + std::string(cell);
}

// Writes the rows as they are formatted, a block at a time.
int writeSweep(const Options& options, const Inputs& inputs, const Swept& swept, const std::vector<SweepPoint>& points,
    const std::string& heading, std::ostream& out, std::ostream& err)
{
    const bool lengths = options.command == Command::SweepLength;
    std::string text;
    if (options.csv) {
        const std::string_view column = options.command == Command::SweepCap ? "capacitance_pf"
            : lengths                                                        ? "rod_length"
                                                                             : "freq_mhz";
        text = std::string(column) + ",r_ohm,x_ohm,swr,feed_r_ohm,feed_x_ohm,share"
            + (lengths ? ",length_unit\n" : "\n");
    } else {
        const std::string title = options.command == Command::SweepCap ? "Capacitance, pF"
            : lengths                                                  ? "Rod length, " + swept.suffix
                                                                       : "Frequency, MHz";
        text = heading + padded(title, 16) + padded("R, ohms", 12) + padded("X, ohms", 12) + padded("SWR", 10) + "\n";
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SweepPoint& point = points[i];
        if (options.csv) {
            const Complex feed = inputs.file ? inputs.file->points[i].impedance : inputs.model.feedImpedance;
            text += csvLine(
                {swept.labels[i], fixed(point.zin.real(), 2), fixed(point.zin.imag(), 2), fixed(point.swr, 3),
                    fixed(feed.real(), 2), fixed(feed.imag(), 2), std::string(shareColumn(inputs.model.stepUp))});
            if (lengths) {
                text.insert(text.size() - 1, "," + swept.suffix);
            }
        } else {
            text += padded(swept.labels[i], 16) + padded(fixed(point.zin.real(), 2), 12)
                + padded(fixed(point.zin.imag(), 2), 12) + padded(fixed(point.swr, 3), 10) + "\n";
        }
        if (text.size() > 65536) {
            errno = 0;
            if (!(out << text)) {
                return writeFailed(err);
            }
            text.clear();
        }
    }
    return emit(out, err, text, ExitStatus::Solved);
}

int runSweep(const Options& options, const Inputs& inputs, std::ostream& out, std::ostream& err)
{
    const auto fail = [&](const Failure& failure) { return report(err, failure); };
    const auto values = sweptValues(options, inputs);
    if (const auto* failure = std::get_if<Failure>(&values)) {
        return fail(*failure);
    }
    const auto& swept = std::get<Swept>(values);
    const auto held = heldMatch(options, inputs);
    if (const auto* failure = std::get_if<Failure>(&held)) {
        return fail(*failure);
    }
    const auto [rodLength, capacitancePf] = std::get<std::pair<double, double>>(held);
    const auto computed = computeSweep(options, inputs, swept, rodLength, capacitancePf);
    if (const auto* problem = std::get_if<Problem>(&computed)) {
        Failure failure = fromProblem(*problem);
        const Field sweptField = options.command == Command::SweepCap ? Field::Capacitance
            : options.command == Command::SweepLength                 ? Field::RodLength
                                                                      : Field::Frequency;
        if (problem->kind == Problem::Kind::BadInput && problem->field == sweptField && !swept.source.empty()) {
            failure.message = swept.source + ": " + problem->message; // the range's value, not an option's
        }
        return fail(failure);
    }
    const std::string heading = options.csv ? std::string() : sweepHeading(options, inputs, rodLength, capacitancePf);
    return writeSweep(options, inputs, swept, std::get<std::vector<SweepPoint>>(computed), heading, out, err);
}

} // namespace

int runDesignCli(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    // --help wins wherever it stands, also after a command.
    if (std::find_if(args.begin(), args.end(), [](std::string_view arg) { return arg == "--help" || arg == "-h"; })
        != args.end()) {
        return emit(out, err, std::string(kUsage), ExitStatus::Solved);
    }
    if (!args.empty() && args[0] == "--version") {
        return emit(out, err, "vostrel-design " VOSTREL_VERSION "\n", ExitStatus::Solved);
    }
    const auto fail = [&](const Failure& failure) { return report(err, failure); };
    auto parsed = parseArguments(args);
    if (const auto* failure = std::get_if<Failure>(&parsed)) {
        return fail(*failure);
    }
    const Options& options = std::get<Options>(parsed);
    if (options.command == Command::Capacitor) {
        return runCapacitor(options, out, err);
    }
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return fail(*failure);
    }
    switch (options.command) {
    case Command::Design:
        return runDesign(options, inputs, out, err);
    case Command::Analyze:
        return runAnalyze(options, inputs, out, err);
    default:
        return runSweep(options, inputs, out, err);
    }
}

} // namespace vostrel::design
