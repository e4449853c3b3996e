// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_fullwave.h"

#include "allowance.h"
#include "ascii.h"
#include "cli_csv.h"
#include "cli_deck_file.h"
#include "cli_files.h"
#include "cli_interrupt.h"
#include "cli_report.h"
#include "csv.h"
#include "maa_reader.h"
#include "number_text.h"
#include "physics.h"
#include "plain_number.h"
#include "reading.h"
#include "refine.h"
#include "utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <ostream>

namespace vostrel::design::cli {
namespace {

nec::RunOptions runOptions()
{
    nec::RunOptions run;
    run.cancel = watchInterrupts();
    if (const char* program = std::getenv("VOSTREL_NEC2C"); program != nullptr && *program != '\0') {
        run.program = program;
    }
    if (const char* seconds = std::getenv("VOSTREL_NEC2C_TIMEOUT"); seconds != nullptr) {
        if (const auto value = plainNumber(seconds); value && *value > 0 && *value < 86400) {
            run.timeout = std::chrono::milliseconds(static_cast<long long>(*value * 1000));
        }
    }
    return run;
}

// The element NEC models: --element-length or the deck of --nec (which
// also gives the element's diameter).
Refusal readElement(const Options& options, const Inputs& inputs, nec::NecJob& job)
{
    if (options.elementLength.has_value() && options.nec.has_value()) {
        return usage("--element-length and --nec each give the element: give one");
    }
    if (options.elementLength.has_value()) {
        double length = 0;
        if (auto failure = readLength(options, OptionId::ElementLength, length, nullptr, inputs.elementUnit, "")) {
            return failure;
        }
        if (auto why = nec::elementLengthRefusal(length, inputs.study.design.freqMhz)) {
            return badInput("--element-length: " + *why);
        }
        job.element = nec::DipoleElement{length};
        return std::nullopt;
    }
    const std::string& path = *options.nec;
    if (auto why = checkSource(path)) {
        return badInput("--nec: " + *why);
    }
    std::string text;
    if (auto failure = readFileText(OptionId::Nec, path, "a NEC-2 deck or MMANA-GAL model", text)) {
        return failure;
    }
    // A NEC-2 deck or an MMANA-GAL .maa model, the file as named for "FILE:LINE".
    auto read = nec::readModel(text, shownText(path, 200));
    if (const auto* failure = std::get_if<nec::NecFailure>(&read)) {
        return badInput(failure->message);
    }
    auto& deck = std::get<nec::UserDeck>(read);
    if (auto why = nec::elementLengthRefusal(deck.elementLength, inputs.study.design.freqMhz)) {
        return badInput(shownText(path, 200) + ": " + *why + " (or --freq)");
    }
    job.design.geometry.elementDiameter = 2 * deck.wires[static_cast<std::size_t>(deck.drivenWire)].radius;
    job.element = std::move(deck);
    return std::nullopt;
}

// --rod-side: the side the rod lies on, in the deck's axes, checked
// against the element read into `job` before nec2c runs.
Refusal readRodSide(const Options& options, nec::NecJob& job)
{
    if (!options.rodSide.has_value()) {
        return std::nullopt;
    }
    const std::string& text = *options.rodSide;
    const std::string side = ascii::lowered(text);
    if (side != "away") {
        if (side.size() != 2 || (side[0] != '+' && side[0] != '-') || side[1] < 'x' || side[1] > 'z') {
            return badInput(
                "--rod-side: \"" + shownText(text, 40) + "\" is not a side: away, +x, -x, +y, -y, +z or -z");
        }
        nec::Point direction{0, 0, 0};
        direction[static_cast<std::size_t>(side[1] - 'x')] = side[0] == '+' ? 1 : -1;
        job.rodSide = direction;
    }
    if (const auto checked = nec::rodSideOf(job); std::holds_alternative<nec::NecFailure>(checked)) {
        return badInput("--rod-side: " + std::get<nec::NecFailure>(checked).message);
    }
    return std::nullopt;
}

// --cap-at: where the model's capacitor sits; for a tube, --tube-id and
// --dielectric give it.
Refusal readCapacitorPlace(const Options& options, const Inputs& inputs, nec::NecJob& job)
{
    const std::string place = options.capAt ? ascii::lowered(*options.capAt) : std::string("feed");
    if (place == "feed") {
        job.capacitorAt = nec::CapacitorAt::Feed;
    } else if (place == "rod-end") {
        job.capacitorAt = nec::CapacitorAt::RodEnd;
    } else if (place == "tube") {
        job.capacitorAt = nec::CapacitorAt::Tube;
        if (!options.tubeId) {
            return usage("--cap-at tube needs --tube-id, the inner diameter of the tube the rod slides into");
        }
        if (auto failure
            = readLength(options, OptionId::TubeId, job.tube.innerDiameter, nullptr, inputs.elementUnit, "")) {
            return failure;
        }
        if (!(job.tube.innerDiameter > job.design.geometry.rodDiameter)) {
            return badInput("--tube-id: the tube must be wider inside than the rod, "
                + lengthText(job.design.geometry.rodDiameter, inputs.study.unit) + " "
                + std::string(unitSymbol(inputs.study.unit)));
        }
        if (options.dielectric) {
            const auto er = options::readPermittivity(*options.dielectric);
            if (!er) {
                return badInput("--dielectric: " + quotedInput(*options.dielectric)
                    + " is neither air, ptfe, polyethylene nor a relative permittivity");
            }
            if (!(*er >= 1)) {
                return badInput("--dielectric: the relative permittivity must be a number of at least 1");
            }
            job.tube.permittivity = *er;
        }
    } else {
        return badInput("--cap-at: \"" + shownText(*options.capAt, 40) + "\" is not a place: feed, rod-end or tube");
    }
    return std::nullopt;
}

// The element, --rod-side and --cap-at, in that order.
Refusal readModelOptions(const Options& options, const Inputs& inputs, nec::NecJob& job)
{
    if (auto failure = readElement(options, inputs, job)) {
        return failure;
    }
    if (auto failure = readRodSide(options, job)) {
        return failure;
    }
    return readCapacitorPlace(options, inputs, job);
}

// Why nec2c gave no answer, in one line, with the last of its output.
std::string notRun(const nec::NecFailure& failure)
{
    std::string line = "not checked in NEC-2: " + failure.message;
    std::string tail = failure.outputTail;
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) {
        tail.pop_back();
    }
    if (!tail.empty()) {
        for (char& c : tail) {
            c = c == '\n' || c == '\r' ? ' ' : c;
        }
        line += " (nec2c's output ends: " + shownText(tail, 200) + ")";
    }
    return line;
}

bool nec2cFailed(const nec::NecFailure& failure)
{
    using Kind = nec::NecFailure::Kind;
    return failure.kind != Kind::BadInput && failure.kind != Kind::BadDeck && failure.kind != Kind::NoMatch
        && failure.kind != Kind::Invalid;
}

// NEC-2 ran and gave its verdict: a match, no match, or an invalid model.
bool necDecided(const nec::Outcome<nec::Refined>& refined)
{
    const auto* failure = std::get_if<nec::NecFailure>(&refined);
    return failure == nullptr || failure->kind == nec::NecFailure::Kind::NoMatch
        || failure->kind == nec::NecFailure::Kind::Invalid;
}

// The CSV's nec_status: matched, doubtful, no_match, invalid or not_checked.
std::string necStatus(const nec::Outcome<nec::Refined>& refined)
{
    if (const auto* r = std::get_if<nec::Refined>(&refined)) {
        return r->doubtful ? "doubtful" : "matched";
    }
    switch (std::get<nec::NecFailure>(refined).kind) {
    case nec::NecFailure::Kind::NoMatch:
        return "no_match";
    case nec::NecFailure::Kind::Invalid:
        return "invalid";
    default:
        return "not_checked";
    }
}

// The bare element's feed impedance, when the refinement found no match
// (its answer does not carry it).
std::optional<Complex> bareFeed(const nec::NecJob& job)
{
    const nec::Segmentation cut{job.design.freqMhz, 1};
    const nec::Controls controls{{job.design.freqMhz}, false};
    nec::Outcome<std::string> deck = std::string();
    if (const auto* dipole = std::get_if<nec::DipoleElement>(&job.element)) {
        deck = nec::bareDipoleDeck(dipole->length, job.design.geometry.elementDiameter, cut, controls);
    } else {
        deck = nec::userDeck(std::get<nec::UserDeck>(job.element), nec::UserDeckRun{nullptr, controls}, cut);
    }
    if (!std::holds_alternative<std::string>(deck)) {
        return std::nullopt;
    }
    const auto solved = nec::run(std::get<std::string>(deck), job.run);
    endIfInterrupted();
    if (const auto* solution = std::get_if<nec::Solution>(&solved); solution != nullptr && !solution->points.empty()) {
        return solution->points.front().impedance;
    }
    return std::nullopt;
}

std::string percent(double share)
{
    return (share >= 0 ? "+" : "") + decimalsText(share * 100, 1) + " %";
}

std::string noMatchText(const nec::NecFailure& failure, Unit unit)
{
    if (failure.kind == nec::NecFailure::Kind::Invalid) {
        return "no numbers to build from: " + failure.message;
    }
    // The search's own words give the rod in metres: say the nearest Re Zin
    // in the unit of the report instead.
    const bool reached = failure.message.find("Re Zin reaches") != std::string::npos
        || failure.message.find("shortest rod") != std::string::npos;
    if (!reached || !(failure.reachedRodLength > 0)) {
        return "NEC-2 finds no match either: " + failure.message;
    }
    std::string text = "NEC-2 finds no match either: its Re Zin comes nearest the line's impedance at "
        + decimalsText(failure.reachedResistance, 2) + " ohms, with a rod of "
        + lengthText(failure.reachedRodLength, unit) + " " + std::string(unitSymbol(unit));
    if (!failure.reachedLimit.empty()) {
        text += "; the rod can go no further than " + failure.reachedLimit;
    }
    return text;
}

// The SWR in NEC of the closed form designed from NEC's feed impedance,
// built as printed: the closed form above when R and X were not given,
// another one (named by its rod and capacitor) when they were.
std::string closedFormBuiltRow(const nec::Refined& r, bool feedGiven, Unit unit)
{
    if (!r.closedFormSwr) {
        return resultRow(feedGiven ? "Closed form from NEC's Z, SWR" : "Closed form above, SWR in NEC",
            r.closedForm ? "not built: the rod does not fit" : "no closed-form match");
    }
    const std::string swr = decimalsText(*r.closedFormSwr, 2);
    if (!feedGiven) {
        return resultRow("Closed form above, SWR in NEC", swr + " (built as printed)");
    }
    const std::string capacitor
        = r.closedForm->capacitorShorted ? "capacitor shorted" : quantityText(r.closedForm->capacitancePf, 2) + " pF";
    return resultRow("Closed form from NEC's Z, SWR",
        swr + " in NEC (rod " + lengthText(r.closedForm->rodLength, unit) + " " + std::string(unitSymbol(unit)) + ", "
            + capacitor + "; not the closed form above, which is from the R and X given)");
}

// Where the refined capacitor sits, and for a tube how far the rod goes in.
std::string placeText(const nec::Refined& r, Unit unit)
{
    switch (r.capacitorAt) {
    case nec::CapacitorAt::Feed:
        return ", beside the feed point";
    case nec::CapacitorAt::RodEnd:
        return ", at the rod's feed end";
    case nec::CapacitorAt::Tube:
        break;
    }
    if (!r.tube) {
        return ", shorted: the rod joined to its tube, no capacitor";
    }
    const std::string symbol(unitSymbol(unit));
    return ", the rod " + lengthText(r.tube->insertion, unit) + " " + symbol + " into its tube (a line of Z0 "
        + decimalsText(r.tube->lineImpedance, 1) + " ohms, open at the rod's tip)"
        + (r.tube->insertion > r.rodLength ? "; longer than the rod: take a narrower tube or a sleeve of ptfe" : "");
}

// The report's section.
std::string necSection(
    const nec::Outcome<nec::Refined>& refined, std::optional<Complex> feed, Unit unit, bool feedGiven)
{
    std::string text = "\nFull-wave check (NEC-2)\n";
    if (feed) {
        text += resultRow("NEC feed impedance, bare element", complexText(*feed) + " ohms");
    }
    if (const auto* failure = std::get_if<nec::NecFailure>(&refined)) {
        return text
            + resultRow("Refined match",
                necDecided(refined) ? "none: " + noMatchText(*failure, unit) : "not checked: " + failure->message);
    }
    const auto& r = std::get<nec::Refined>(refined);
    const std::string symbol(unitSymbol(unit));
    text += closedFormBuiltRow(r, feedGiven, unit);
    text += resultRow("Refined rod length", lengthText(r.rodLength, unit) + " " + symbol);
    text += resultRow("Refined capacitor", quantityText(r.capacitancePf, 2) + " pF" + placeText(r, unit));
    const nec::Allowance allowance = nec::allowanceOf(r);
    const int tenths = allowance.capacitancePf.low < 10 ? 1 : 0;
    // In a tube, the capacitance range as the rod's insertion: what the
    // builder slides.
    const std::string inTube = r.tube
        ? " (the rod " + lengthText(nec::insertionFor(*r.tube, allowance.capacitancePf.low), unit) + " to "
            + lengthText(nec::insertionFor(*r.tube, allowance.capacitancePf.high), unit) + " " + symbol
            + " into its tube)"
        : std::string();
    text += resultRow("Allow for",
        "capacitor " + quantityText(allowance.capacitancePf.low, tenths) + " to "
            + quantityText(allowance.capacitancePf.high, tenths) + " pF" + inTube + "; strap "
            + lengthText(allowance.rodLength.low, unit) + " to " + lengthText(allowance.rodLength.high, unit) + " "
            + symbol + " from the feed point");
    text += resultRow("  from", allowance.basis);
    text += resultRow("SWR in NEC", decimalsText(r.swr, 3) + " (Zin " + complexText(r.zin) + " ohms)");
    if (r.averageGain) {
        text += resultRow("Average gain test", decimalsText(*r.averageGain, 3) + " (1 for a perfect model)");
    }
    if (r.halvedRodLength && r.halvedCapacitancePf) {
        text += resultRow(
            "Halved segments", "rod " + percent(r.rodChange) + ", capacitor " + percent(r.capacitanceChange));
    }
    text += resultRow("Model", r.doubtful ? "doubtful: " + r.doubt : std::string("not doubtful"));
    if (const auto& other = r.otherModel) {
        // Near a change of the element's model, what the other one says.
        text += resultRow("Element's model",
            nec::modelName(other->matchedCageWires) + "; near the change to " + nec::modelName(other->cageWires)
                + ", which gives "
                + (other->rodLength > 0 ? "rod " + lengthText(other->rodLength, unit) + " " + symbol + ", "
                            + quantityText(other->capacitancePf, 2) + " pF (allowed for above)"
                                        : std::string("no match"))
                + ": measure before you cut");
    }
    text += resultRow("nec2c runs", std::to_string(r.runs));
    return text;
}

std::vector<std::string> necCsvNames()
{
    return {"nec_feed_r_ohm", "nec_feed_x_ohm", "nec_swr_of_closed_form", "nec_rod_length", "nec_capacitance_pf",
        "nec_swr", "nec_agt", "nec_doubtful", "nec_status", "nec_rod_low", "nec_rod_high", "nec_cap_low_pf",
        "nec_cap_high_pf", "nec_tube_insertion"};
}

std::vector<std::string> necCsvFields(const nec::Outcome<nec::Refined>& refined, std::optional<Complex> feed, Unit unit)
{
    std::vector<std::string> fields(14);
    fields[8] = necStatus(refined);
    if (feed) {
        fields[0] = csv::number(feed->real());
        fields[1] = csv::number(feed->imag());
    }
    if (const auto* r = std::get_if<nec::Refined>(&refined)) {
        fields[2] = r->closedFormSwr ? csv::number(*r->closedFormSwr) : "";
        fields[3] = csv::number(r->rodLength / metresPer(unit));
        fields[4] = csv::number(r->capacitancePf);
        fields[5] = csv::number(r->swr);
        fields[6] = r->averageGain ? csv::number(*r->averageGain) : "";
        fields[7] = r->doubtful ? "yes" : "no";
        const nec::Allowance allowance = nec::allowanceOf(*r);
        fields[9] = csv::number(allowance.rodLength.low / metresPer(unit));
        fields[10] = csv::number(allowance.rodLength.high / metresPer(unit));
        fields[11] = csv::number(allowance.capacitancePf.low);
        fields[12] = csv::number(allowance.capacitancePf.high);
        fields[13] = r->tube ? csv::number(r->tube->insertion / metresPer(unit)) : "";
    }
    return fields;
}

// The job's design input from what the options give.
nec::NecJob necJob(const Inputs& inputs)
{
    nec::NecJob job;
    job.design = inputs.study.design;
    job.run = runOptions();
    return job;
}

} // namespace

bool fullWaveAsked(const Options& options)
{
    return options.elementLength.has_value() || options.nec.has_value();
}

namespace {

// NEC's answer and the bare element's feed impedance (when NEC ran).
struct NecAnswer {
    nec::Outcome<nec::Refined> refined;
    std::optional<Complex> feed;
};

// Refines in NEC. A refusal of the model is a CommandLineError; nec2c failing is
// said on `err` and is a CommandLineError only when nothing else gives the feed
// impedance.
std::variant<NecAnswer, CommandLineError> checkInNec(const nec::NecJob& job, bool feedGiven, std::ostream& err)
{
    NecAnswer answer{nec::refine(job), std::nullopt};
    endIfInterrupted();
    if (const auto* r = std::get_if<nec::Refined>(&answer.refined)) {
        answer.feed = r->feedImpedance;
        return answer;
    }
    const auto& failure = std::get<nec::NecFailure>(answer.refined);
    if (failure.kind == nec::NecFailure::Kind::BadInput || failure.kind == nec::NecFailure::Kind::BadDeck) {
        return badInput("the NEC-2 model: " + failure.message);
    }
    if (nec2cFailed(failure)) {
        err << "vostrel-design: " << notRun(failure) << "\n";
        if (!feedGiven) {
            return badInput("without NEC-2 the feed impedance is unknown: give --r and --x");
        }
        return answer;
    }
    answer.feed = bareFeed(job);
    if (!feedGiven && !answer.feed) {
        return badInput("NEC-2 gave no feed impedance to design from: give --r and --x");
    }
    return answer;
}

// --write-nec: NEC's match, else the closed form's; nothing when neither.
std::optional<CommandLineError> writeDeck(const std::string& path, const nec::NecJob& job, const NecAnswer& answer,
    const Outcome<Design>& designed, std::ostream& err)
{
    const auto* r = std::get_if<nec::Refined>(&answer.refined);
    // The closed form only when NEC-2 could not run: a match NEC-2 refuses
    // is not written as if it were one.
    const auto* d = necDecided(answer.refined) ? nullptr : std::get_if<Design>(&designed);
    if (r == nullptr && d == nullptr) {
        err << "vostrel-design: --write-nec: nothing written, no match to write\n";
        return std::nullopt;
    }
    const double rod = r != nullptr ? r->rodLength : d->rodLength;
    const double pf = r != nullptr ? r->capacitancePf : (d->capacitorShorted ? 0 : d->capacitancePf);
    const auto deck = nec::writeMatchedDeck(job, rod, pf);
    if (const auto* failure = std::get_if<nec::NecFailure>(&deck)) {
        return badInput("--write-nec: " + failure->message);
    }
    if (auto why = writeWhole(path, std::get<std::string>(deck))) {
        return CommandLineError{ExitStatus::WriteFailed, "--write-nec: " + *why, false};
    }
    if (const auto* user = std::get_if<nec::UserDeck>(&job.element)) {
        if (const std::string asked = nec::userFrequencies(*user, job.design.freqMhz); !asked.empty()) {
            err << "vostrel-design: --write-nec: the deck written runs at "
                << doubleText(job.design.freqMhz, std::nullopt) << " MHz first, the design frequency; " << asked
                << ", kept after it\n";
        }
    }
    return std::nullopt;
}

std::string fullWaveText(
    const Options& options, const DesignInput& in, Unit unit, const Outcome<Design>& designed, const NecAnswer& answer)
{
    if (options.csv) {
        std::vector<std::string> names = designCsvNames();
        std::vector<std::string> fields = designCsvFields(in, unit, designed);
        for (auto&& name : necCsvNames()) {
            names.push_back(std::move(name));
        }
        for (auto&& field : necCsvFields(answer.refined, answer.feed, unit)) {
            fields.push_back(std::move(field));
        }
        return csv::record(names) + csv::record(fields);
    }
    const bool feedGiven = options.r.has_value() || options.x.has_value();
    std::string text = designText(in, unit, designed, feedGiven ? FeedShown::Given : FeedShown::FromNec);
    if (const auto* problem = std::get_if<Problem>(&designed)) {
        text += resultRow("Line model", "no match: " + problem->message);
    }
    return text + necSection(answer.refined, answer.feed, unit, feedGiven);
}

// The line on standard error after the result, if any.
void sayOutcome(std::ostream& err, const Outcome<Design>& designed, const NecAnswer& answer, Unit unit)
{
    const auto* problem = std::get_if<Problem>(&designed);
    const auto* necFailure = std::get_if<nec::NecFailure>(&answer.refined);
    if (problem != nullptr && necFailure == nullptr) {
        err << "vostrel-design: the line model finds no match; NEC-2's refined match is the design\n";
    } else if (necFailure != nullptr && necDecided(answer.refined)) {
        err << "vostrel-design: " << (problem != nullptr ? problem->message + "; " : std::string())
            << noMatchText(*necFailure, unit) << "\n";
    } else if (problem != nullptr) {
        err << "vostrel-design: " << problem->message << "\n";
    }
    const auto* r = std::get_if<nec::Refined>(&answer.refined);
    if (r != nullptr && r->tube && r->tube->insertion > r->rodLength) {
        err << "vostrel-design: the capacitor wants the rod " << lengthText(r->tube->insertion, unit) << " "
            << unitSymbol(unit) << " into its tube, longer than the rod itself (" << lengthText(r->rodLength, unit)
            << " " << unitSymbol(unit) << "): take a narrower tube or a sleeve of ptfe\n";
    }
}

} // namespace

int runFullWaveDesign(const Options& options, std::ostream& out, std::ostream& err)
{
    Inputs inputs;
    if (auto failure = readModelInputs(options, inputs)) {
        return report(err, *failure);
    }
    nec::NecJob job = necJob(inputs);
    if (auto failure = readModelOptions(options, inputs, job)) {
        return report(err, *failure);
    }
    if (options.writeNec.has_value()) {
        if (options.nec && sameFile(*options.nec, *options.writeNec)) {
            return report(err,
                CommandLineError{ExitStatus::WriteFailed,
                    "--write-nec: " + quotedInput(*options.writeNec)
                        + " is the --nec input: writing it would replace your model; name another file",
                    false});
        }
        if (auto why = checkTarget(*options.writeNec)) {
            return report(err, CommandLineError{ExitStatus::WriteFailed, "--write-nec: " + *why, false});
        }
    }
    const bool feedGiven = options.r.has_value() || options.x.has_value();
    const Unit unit = inputs.study.unit;
    const auto checked = checkInNec(job, feedGiven, err);
    if (const auto* failure = std::get_if<CommandLineError>(&checked)) {
        return report(err, *failure);
    }
    const auto& answer = std::get<NecAnswer>(checked);

    DesignInput in = inputs.study.design;
    in.geometry.elementDiameter = job.design.geometry.elementDiameter;
    if (!feedGiven) {
        in.feedImpedance = *answer.feed;
    } else if (answer.feed && nec::feedDiffersFromNec(in.feedImpedance, *answer.feed)) {
        err << "vostrel-design: the feed impedance given, " << complexText(in.feedImpedance)
            << " ohms, differs from NEC's for this element, " << complexText(*answer.feed) << " ohms\n";
    }
    const auto designed = design(in);
    const auto* problem = std::get_if<Problem>(&designed);
    if (problem != nullptr && problem->kind == Problem::Kind::BadInput) {
        return report(err, fromProblem(*problem));
    }
    // NEC decides when it ran; the closed form when it did not.
    const auto* necFailure = std::get_if<nec::NecFailure>(&answer.refined);
    const bool necRan = necDecided(answer.refined);
    const bool matched = necRan ? necFailure == nullptr : problem == nullptr;
    const ExitStatus status = matched ? ExitStatus::Solved : ExitStatus::NoSolution;
    if (options.writeNec.has_value()) {
        if (auto failure = writeDeck(*options.writeNec, job, answer, designed, err)) {
            return report(err, *failure);
        }
    }
    const int written = writeResult(out, err, fullWaveText(options, in, unit, designed, answer), status);
    if (written == static_cast<int>(status)) {
        sayOutcome(err, designed, answer, unit);
    }
    return written;
}

namespace {

// With --cap-at tube, the line the sweep holds: how far the rod goes in.
std::string tubeLine(const nec::NecJob& job, double capacitancePf, Unit unit)
{
    if (job.capacitorAt != nec::CapacitorAt::Tube || !(capacitancePf > 0)) {
        return {};
    }
    const auto section = nec::tubeSection(job.tube, job.design.geometry.rodDiameter, capacitancePf, job.design.freqMhz);
    if (const auto* line = std::get_if<nec::TubeSection>(&section)) {
        return "Capacitor as a line: the rod " + lengthText(line->insertion, unit) + " " + std::string(unitSymbol(unit))
            + " into its tube (Z0 " + decimalsText(line->lineImpedance, 1) + " ohms), open at the rod's tip\n";
    }
    return {};
}

} // namespace

std::variant<NecSweep, std::monostate, CommandLineError> fullWaveSweep(
    const Options& options, const Inputs& inputs, double fromMhz, double toMhz, int count, std::ostream& err)
{
    if (inputs.study.design.freqMhz == 0) {
        return usage("--freq is needed: the design frequency of the NEC-2 model");
    }
    nec::NecJob job = necJob(inputs);
    job.checks = false;
    if (auto failure = readModelOptions(options, inputs, job)) {
        return *failure;
    }
    const bool feedGiven = options.r.has_value() || options.x.has_value();
    const Unit unit = inputs.study.unit;
    const auto fallBack
        = [&](const nec::NecFailure& failure) -> std::variant<NecSweep, std::monostate, CommandLineError> {
        err << "vostrel-design: " << notRun(failure) << "\n";
        if (!feedGiven) {
            return badInput("without NEC-2 the feed impedance is unknown: give --r and --x");
        }
        return std::monostate{};
    };
    double rod = 0;
    double pf = 0;
    std::string held;
    if (inputs.rodLength && inputs.capacitancePf) {
        rod = *inputs.rodLength;
        pf = std::isinf(*inputs.capacitancePf) ? 0 : *inputs.capacitancePf;
        held = "as given";
    } else {
        const auto refined = nec::refine(job);
        endIfInterrupted();
        if (const auto* failure = std::get_if<nec::NecFailure>(&refined)) {
            if (nec2cFailed(*failure)) {
                return fallBack(*failure);
            }
            if (necDecided(refined)) {
                return CommandLineError{ExitStatus::NoSolution,
                    "no match at " + doubleText(job.design.freqMhz, std::nullopt)
                        + " MHz to sweep around: " + noMatchText(*failure, unit) + "; give --length and --cap",
                    false};
            }
            return badInput("the NEC-2 model: " + failure->message);
        }
        const auto& r = std::get<nec::Refined>(refined);
        rod = inputs.rodLength.value_or(r.rodLength);
        pf = inputs.capacitancePf ? (std::isinf(*inputs.capacitancePf) ? 0 : *inputs.capacitancePf) : r.capacitancePf;
        held = "NEC-2's refined match at " + doubleText(job.design.freqMhz, std::nullopt) + " MHz";
    }
    auto swept = nec::sweep(job, rod, pf, fromMhz, toMhz, count);
    endIfInterrupted();
    if (const auto* failure = std::get_if<nec::NecFailure>(&swept)) {
        if (nec2cFailed(*failure)) {
            return fallBack(*failure);
        }
        return badInput("the NEC-2 model: " + failure->message);
    }
    NecSweep result;
    result.points = std::move(std::get<std::vector<SweepPoint>>(swept));
    DesignInput shown = inputs.study.design;
    shown.geometry.elementDiameter = job.design.geometry.elementDiameter;
    // NEC computes the feed impedance at each frequency: the heading names none.
    result.heading = "SWR from NEC-2 (nec2c at every frequency) of " + held + "\n"
        + heading(shown, unit, FeedShown::Omitted)
        + heldLines(rod, pf == 0 ? std::numeric_limits<double>::infinity() : pf, unit) + tubeLine(job, pf, unit) + "\n";
    return result;
}

std::variant<std::optional<double>, CommandLineError> fullWaveElementDiameter(
    const Options& options, const Inputs& inputs)
{
    nec::NecJob job = necJob(inputs);
    if (auto failure = readElement(options, inputs, job)) {
        return *failure;
    }
    if (options.nec) {
        return std::optional(job.design.geometry.elementDiameter);
    }
    return std::optional<double>();
}

std::variant<NecAdjustment, std::monostate, CommandLineError> fullWaveAdjust(const Options& options,
    const Inputs& inputs, const adjust::AdjustInput& in, Complex atConnector, const std::optional<SweepSpan>& span,
    std::ostream& err)
{
    nec::NecJob job = necJob(inputs);
    job.checks = false;
    if (auto failure = readModelOptions(options, inputs, job)) {
        return *failure;
    }
    const double builtPf = std::isinf(in.capacitancePf) ? 0 : in.capacitancePf;
    auto cut = nec::nextCut(job, in.rodLength, builtPf, atConnector);
    endIfInterrupted();
    if (const auto* failure = std::get_if<nec::NecFailure>(&cut)) {
        if (failure->kind == nec::NecFailure::Kind::BadInput || failure->kind == nec::NecFailure::Kind::BadDeck) {
            return badInput("the NEC-2 model: " + failure->message);
        }
        if (nec2cFailed(*failure)) {
            err << "vostrel-design: " << notRun(*failure) << "; the closed form's step stands in\n";
            return std::monostate{};
        }
        return CommandLineError{ExitStatus::NoSolution, "in NEC-2's model of the match: " + failure->message, false};
    }
    const nec::NextCut& found = std::get<nec::NextCut>(cut);
    const nec::Refined& next = found.next;
    const double zc = in.lineImpedance;
    NecAdjustment result;
    adjust::Adjustment& step = result.step;
    step.reading = atConnector;
    step.readingSwr = physics::swr(atConnector, zc);
    step.expected = adjust::Expected{found.read.modelZin, physics::swr(found.read.modelZin, zc)};
    step.feedImpedance = next.feedImpedance;
    step.next.rodLength = next.rodLength;
    step.next.capacitancePf = next.capacitancePf;
    step.next.capacitorReactance = 1e12 / (physics::kTwoPi * in.freqMhz * 1e6 * next.capacitancePf);
    step.strapMove = next.rodLength - in.rodLength;
    step.capacitanceChangePf = next.capacitancePf - in.capacitancePf;
    step.nextExpected = adjust::Expected{next.zin, next.swr};
    result.correction = found.read.correction;
    result.runs = found.runs;
    if (span) {
        job.elementCorrection = found.read.correction;
        auto swept = nec::sweep(job, next.rodLength, next.capacitancePf, span->fromMhz, span->toMhz, span->count);
        endIfInterrupted();
        if (const auto* points = std::get_if<std::vector<SweepPoint>>(&swept)) {
            ++result.runs;
            const auto best = std::min_element(
                points->begin(), points->end(), [](const SweepPoint& a, const SweepPoint& b) { return a.swr < b.swr; });
            if (best != points->end()) {
                result.bestNextMhz = best->x;
                result.bestNextSwr = best->swr;
            }
        } else {
            err << "vostrel-design: " << notRun(std::get<nec::NecFailure>(swept))
                << "; no lowest SWR after the change\n";
        }
    }
    return result;
}

} // namespace vostrel::design::cli
