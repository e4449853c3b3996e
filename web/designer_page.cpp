// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer_page.h"

#include "ascii.h"
#include "design_options.h"
#include "double_chars.h"
#include "gamma_design.h"
#include "length_text.h"
#include "match_study.h"
#include "number_text.h"
#include "plain_number.h"

#include <array>
#include <cmath>
#include <optional>
#include <variant>
#include <vector>

namespace vostrel::web {
using design::Complex;
using design::DesignInput;
using design::Unit;

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr std::array<char, 17> kHex = {"0123456789abcdef"};
            out += "\\u00";
            out.push_back(kHex[static_cast<unsigned char>(c) >> 4U]);
            out.push_back(kHex[static_cast<unsigned char>(c) & 0xFU]);
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

namespace {

// A JSON number, or null for an infinity or NaN (an SWR of a lossless
// mismatch can be infinite).
std::string jsonNumber(double value)
{
    return std::isfinite(value) ? shortestText(value) : "null";
}

std::string bad(std::string_view field, std::string_view message)
{
    return R"({"status":"bad","field":)" + jsonString(field) + R"(,"message":)" + jsonString(message) + "}";
}

struct Field {
    const char* name;
    const std::string* text;
};

int lengthDecimals(Unit unit)
{
    return unit == Unit::Millimetre ? 1 : 2;
}

std::string fieldName(design::Field field)
{
    switch (field) {
    case design::Field::Frequency:
        return "freq";
    case design::Field::FeedResistance:
        return "r";
    case design::Field::FeedReactance:
        return "x";
    case design::Field::ElementDiameter:
        return "element";
    case design::Field::RodDiameter:
        return "rod";
    case design::Field::Spacing:
        return "spacing";
    case design::Field::LineImpedance:
        return "line";
    default:
        return "";
    }
}

// A sweep's points as two JSON arrays, with the design and tuned points.
std::string sweepJson(std::string_view name, std::string_view unit, double scale,
    const design::Outcome<std::vector<design::SweepPoint>>& sweep, double designX, double designSwr, double tunedX,
    double tunedSwr)
{
    std::string out = R"({"name":)" + jsonString(name) + R"(,"unit":)" + jsonString(unit);
    if (const auto* points = std::get_if<std::vector<design::SweepPoint>>(&sweep)) {
        std::string xs;
        std::string swrs;
        for (const design::SweepPoint& point : *points) {
            xs.append(xs.empty() ? "" : ",").append(jsonNumber(point.x / scale));
            swrs.append(swrs.empty() ? "" : ",").append(jsonNumber(point.swr));
        }
        out += R"(,"x":[)" + xs + R"(],"swr":[)" + swrs + "]";
    } else {
        out += R"(,"message":)" + jsonString(std::get<design::Problem>(sweep).message);
    }
    out += R"(,"design":[)" + jsonNumber(designX / scale) + "," + jsonNumber(designSwr) + "]";
    out += R"(,"tuned":[)" + jsonNumber(tunedX / scale) + "," + jsonNumber(tunedSwr) + "]}";
    return out;
}

// A field's text as the refusal quotes it.
std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

bool blank(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

std::variant<std::optional<ratings::Input>, BadField> readRatingsInput(const DesignerInput& input, Unit unit)
{
    if (blank(input.power)) {
        return std::optional<ratings::Input>();
    }
    ratings::Input in;
    const auto power = options::readPower(input.power);
    if (!power) {
        return BadField{"power", quoted(input.power) + " is not a power in watts above 0"};
    }
    in.powerW = *power;
    if (!blank(input.swrMargin)) {
        const auto margin = options::readSwrMargin(input.swrMargin);
        if (!margin) {
            return BadField{"swrMargin", quoted(input.swrMargin) + " is not an SWR of 1 or more"};
        }
        in.swrMargin = *margin;
    }
    const auto kind = ratings::capacitorOfDielectric(ascii::lowered(input.dielectric));
    if (!kind) {
        return BadField{"dielectric", quoted(input.dielectric) + " is neither air, ptfe nor polyethylene"};
    }
    in.capacitor = *kind;
    if (!blank(input.tube)) {
        const auto length = design::parseLength(input.tube, unit);
        if (const auto* message = std::get_if<std::string>(&length)) {
            return BadField{"tube", *message};
        }
        in.tubeInnerDiameter = std::get<design::Length>(length).metres;
    }
    return std::optional<ratings::Input>(in);
}

std::variant<std::string, BadField> ratingsJson(const ratings::Input& in)
{
    const auto rated = ratings::rate(in);
    if (const auto* problem = std::get_if<ratings::NoRating>(&rated)) {
        const char* field = problem->field == ratings::Field::TubeInnerDiameter ? "tube"
            : problem->field == ratings::Field::SwrMargin                       ? "swrMargin"
            : problem->field == ratings::Field::Power                           ? "power"
                                                                                : "design";
        return BadField{field, problem->message};
    }
    const ratings::Ratings& r = std::get<ratings::Ratings>(rated);
    const ratings::CapacitorKind& kind = ratings::capacitorKind(in.capacitor);
    const std::string swr = "SWR " + doubleText(in.swrMargin, std::nullopt);
    // A rod in a tube of air is a coaxial capacitor, not a variable.
    const bool airTube = in.tubeInnerDiameter && in.capacitor == ratings::Capacitor::AirVariable;
    const std::string capacitorName = airTube ? std::string("air-spaced coaxial") : std::string(kind.name);
    const auto volts
        = [](double rms, double peak) { return decimalsText(rms, 1) + " V rms, " + decimalsText(peak, 1) + " V peak"; };
    const auto watts = [](double w) { return decimalsText(w, 3) + " W"; };
    std::string out = "{";
    const auto add = [&out](std::string_view key, const std::string& value) {
        out += jsonString(key) + ":" + jsonString(value) + ",";
    };
    add("heading",
        "At " + doubleText(in.powerW, std::nullopt) + " W, margin " + swr + " (" + capacitorName + ", "
            + std::string(ratings::metal(in.rodMetal).name) + " rod and strap)");
    add("margin", swr);
    add("lineCurrent", decimalsText(r.lineCurrent, 3) + " A rms");
    add("lineCurrentAtMargin", decimalsText(r.lineCurrentAtMargin, 3) + " A rms");
    add("capacitorVoltage", volts(r.capacitorVoltage, r.capacitorVoltagePeak));
    add("capacitorVoltageAtMargin", volts(r.capacitorVoltageAtMargin, r.capacitorVoltagePeakAtMargin));
    add("recommended", decimalsText(r.recommendedVoltage, 0) + " V peak");
    add("rodCurrent", decimalsText(r.rodCurrent, 3) + " A rms");
    add("capacitorLoss", watts(r.capacitorLoss) + " (Q " + decimalsText(r.capacitorQ, 0) + ", typical)");
    add("rodLoss", watts(r.rodLoss) + " (" + decimalsText(r.rodResistance, 4) + " ohms)");
    add("strapLoss", watts(r.strapLoss) + " (" + decimalsText(r.strapResistance, 4) + " ohms)");
    add("matchLoss", watts(r.matchLoss));
    add("gapField",
        r.breakdownVoltage > 0
            ? decimalsText(r.surfaceFieldAtMargin / 1e6, 3) + " kV/mm (" + std::string(kind.dielectric)
                + " breaks down at " + decimalsText(r.breakdownVoltage / 1000, 2) + " kV peak)"
            : std::string());
    out += R"("warnings":[)";
    for (std::size_t i = 0; i < r.warnings.size(); ++i) {
        const ratings::Warning& warning = r.warnings[i];
        const char* level = warning.kind == ratings::Warning::Kind::AboveBreakdown ? "breakdown" : "third";
        out += std::string(i == 0 ? "" : ",") + R"({"level":")" + level + R"(","message":)"
            + jsonString(warning.message) + "}";
    }
    return out + "]}";
}

std::variant<ReadDesign, BadField> readDesignerInput(const DesignerInput& input)
{
    const std::optional<Unit> unit = design::unitFromSymbol(input.unit);
    if (!unit || (*unit != Unit::Millimetre && *unit != Unit::Centimetre && *unit != Unit::Inch)) {
        return BadField{"unit", "the unit is mm, cm or in"};
    }
    DesignInput in;
    in.stepUp = input.share == "half" ? design::StepUp::Half : design::StepUp::Whole;
    in.model = input.model == "textbook" ? design::Model::Textbook : design::Model::Corrected;
    const std::array<Field, 4> numberFields = {{
        {"freq", &input.freq},
        {"r", &input.r},
        {"x", &input.x},
        {"line", &input.line},
    }};
    std::array<double, 4> numbers{};
    for (std::size_t i = 0; i < numberFields.size(); ++i) {
        const std::string& text = *numberFields[i].text;
        const auto value = readPlainNumber(text, {});
        if (const auto* why = std::get_if<NumberRefusal>(&value)) {
            return BadField{numberFields[i].name, "\"" + text + "\" " + refusalText(*why, {})};
        }
        numbers[i] = std::get<double>(value);
    }
    in.freqMhz = numbers[0];
    in.feedImpedance = Complex(numbers[1], numbers[2]);
    in.lineImpedance = numbers[3];
    const std::array<std::pair<Field, double*>, 3> lengths = {{
        {{"element", &input.element}, &in.geometry.elementDiameter},
        {{"rod", &input.rod}, &in.geometry.rodDiameter},
        {{"spacing", &input.spacing}, &in.geometry.spacing},
    }};
    for (const auto& [field, target] : lengths) {
        const auto length = design::parseLength(*field.text, unit);
        if (const auto* message = std::get_if<std::string>(&length)) {
            return BadField{field.name, *message};
        }
        *target = std::get<design::Length>(length).metres;
    }
    return ReadDesign{in, *unit};
}

std::string designerJson(const DesignerInput& input)
{
    const auto read = readDesignerInput(input);
    if (const auto* fault = std::get_if<BadField>(&read)) {
        return bad(fault->field, fault->message);
    }
    const DesignInput& in = std::get<ReadDesign>(read).input;
    const std::optional<Unit> unit = std::get<ReadDesign>(read).unit;
    const auto ratingsRead = readRatingsInput(input, *unit);
    if (const auto* fault = std::get_if<BadField>(&ratingsRead)) {
        return bad(fault->field, fault->message);
    }
    const std::optional<ratings::Input>& ratingsAsked = std::get<std::optional<ratings::Input>>(ratingsRead);
    // The window's study: the same spans, points and tuning steps.
    study::MatchStudy study(study::MatchStudy::kDefaultPoints);
    study.setInputs(study::Inputs{in, *unit, std::nullopt, 1}, nullptr);
    if (!study.hasDesign()) {
        const design::Problem& problem = study.problem();
        if (problem.kind == design::Problem::Kind::BadInput) {
            return bad(fieldName(problem.field), problem.message);
        }
        return R"({"status":"nomatch","message":)" + jsonString(problem.message) + "}";
    }
    const design::Design& d = study.design();
    const double metres = design::metresPer(*unit);
    const int decimals = lengthDecimals(*unit);
    const std::string unitText(design::unitSymbol(*unit));
    const study::Tuning tuned = study::tunedBySteps(study.designTuning(), input.strapSteps, input.capacitorSteps);
    const double tunedLength = tuned.rodLength;
    const double tunedCapacitance = tuned.capacitancePf;
    study.setTuning(tuned);
    const double tunedSwr = study.tuned().swr;
    const double designSwr = study.atDesign().swr;

    std::string out = R"({"status":"ok","results":{)";
    const auto add = [&out](std::string_view key, const std::string& value, bool last = false) {
        out += jsonString(key) + ":" + jsonString(value) + (last ? "" : ",");
    };
    add("rodLength", doubleText(d.rodLength / metres, decimals) + " " + unitText);
    add("capacitance", d.capacitorShorted ? "shorted" : doubleText(d.capacitancePf, 2) + " pF");
    add("z0", doubleText(d.line.z0, 2) + " ohms");
    add("alpha", doubleText(d.line.alpha, 4));
    add("stepUp", doubleText(d.line.stepUp, 4));
    add("reactance", doubleText(d.capacitorReactance, 2) + " ohms");
    add("share", std::string(design::stepUpName(in.stepUp)));
    add("model", std::string(design::modelName(in.model)));
    add("tunedLength", doubleText(tunedLength / metres, decimals) + " " + unitText);
    add("tunedCapacitance", d.capacitorShorted ? "shorted" : doubleText(tunedCapacitance, 2) + " pF");
    add("swr", doubleText(tunedSwr, 2), true);
    out += "}";
    if (ratingsAsked) {
        // The design's rod and capacitor: what is built first.
        ratings::Input rated = *ratingsAsked;
        rated.freqMhz = in.freqMhz;
        rated.lineImpedance = in.lineImpedance;
        rated.capacitorReactance = d.capacitorShorted ? 0 : d.capacitorReactance;
        rated.rodLength = d.rodLength;
        rated.rodDiameter = in.geometry.rodDiameter;
        rated.strapLength = in.geometry.spacing;
        const auto json = ratingsJson(rated);
        if (const auto* fault = std::get_if<BadField>(&json)) {
            return bad(fault->field, fault->message);
        }
        out += R"(,"ratings":)" + std::get<std::string>(json);
    }
    out += R"(,"sweeps":[)";
    const auto sweepOf
        = [](const std::vector<design::SweepPoint>& points) -> design::Outcome<std::vector<design::SweepPoint>> {
        if (points.empty()) {
            return design::Problem{design::Problem::Kind::BadInput, design::Field::Capacitance,
                "a shorted capacitor has no value to sweep", 0};
        }
        return points;
    };
    out += sweepJson(
        "capacitance", "pF", 1, sweepOf(study.byCapacitance()), d.capacitancePf, designSwr, tunedCapacitance, tunedSwr);
    out += ",";
    out += sweepJson(
        "strap", unitText, metres, sweepOf(study.byRodLength()), d.rodLength, designSwr, tunedLength, tunedSwr);
    out += ",";
    out += sweepJson("frequency", "MHz", 1, sweepOf(study.byFrequency()), in.freqMhz, designSwr, in.freqMhz, tunedSwr);
    return out + "]}";
}

} // namespace vostrel::web
