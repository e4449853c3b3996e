// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_inputs.h"

#include "cli_files.h"
#include "cli_fullwave.h"
#include "design_options.h"
#include "number_text.h"
#include "plain_number.h"
#include "utf8.h"

#include <ostream>

namespace vostrel::design::cli {
namespace {

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
    case Field::Power:
        return OptionId::Power;
    case Field::SwrMargin:
        return OptionId::SwrMargin;
    }
    return OptionId::Freq;
}

Refusal readFeed(const Options& options, Inputs& inputs)
{
    DesignInput& model = inputs.study.design;
    if (options.s1p.has_value()) {
        if (options.r.has_value() || options.x.has_value()) {
            return usage("--s1p gives the feed impedance: leave out --r and --x");
        }
        inputs.file.emplace();
        if (auto failure = readTouchstone(OptionId::S1p, *options.s1p, *inputs.file)) {
            return failure;
        }
        if (model.freqMhz != 0) {
            const auto at = touchstone::impedanceAt(*inputs.file, model.freqMhz * 1e6);
            if (!at) {
                const std::string hint = touchstone::frequencyUnitHint(*inputs.file);
                return badInput("--freq: " + doubleText(model.freqMhz, std::nullopt)
                    + " MHz is outside the file's frequencies" + (hint.empty() ? std::string() : "; " + hint));
            }
            model.feedImpedance = *at;
        }
        return std::nullopt;
    }
    // NEC computes it; adjust calibrates it from the reading, --r and --x
    // only the model's estimate to compare with.
    const bool optional = fullWaveAsked(options) || options.command == Command::Adjust;
    if (optional && !options.r.has_value() && !options.x.has_value()) {
        return std::nullopt;
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

int report(std::ostream& err, const CommandLineError& failure)
{
    err << "vostrel-design: " << failure.message << "\n";
    if (failure.showUsage) {
        err << "Try 'vostrel-design --help' for more information.\n";
    }
    return static_cast<int>(failure.status);
}

std::string quotedInput(std::string_view text)
{
    return "\"" + shownText(text, 40) + "\"";
}

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
        return badInput(optionName(id) + ": " + quotedInput(*text) + " " + refusalText(reason, {}));
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

Refusal readUnits(const Options& options, std::optional<Unit>& unit)
{
    if (options.units.has_value()) {
        unit = options::readUnit(*options.units);
        if (!unit) {
            return badInput("--units: " + quotedInput(*options.units) + " is not a unit: mm, cm, m, in or ft");
        }
    }
    return std::nullopt;
}

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
                "--cap: " + quotedInput(*options.cap) + " is not a capacitance: give pF (96 or 96pF) or \"short\"");
        }
    }
    if ((options.command == Command::Analyze || options.command == Command::Adjust)
        && (!inputs.rodLength || !inputs.capacitancePf)) {
        return usage(options.commandName + " needs --length and --cap");
    }
    return std::nullopt;
}

Refusal necOnlyRefusal(const Options& options)
{
    for (const OptionId necOnly : {OptionId::RodSide, OptionId::CapAt}) {
        if (options.valueOf(necOnly) && !fullWaveAsked(options)) {
            return usage(optionName(necOnly) + " needs the element: give --element-length or --nec");
        }
    }
    return std::nullopt;
}

} // namespace vostrel::design::cli
