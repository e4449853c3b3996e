// SPDX-License-Identifier: GPL-3.0-or-later
#include "adjust.h"

#include "line_transform.h"
#include "number_text.h"
#include "physics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vostrel::adjust {
namespace {

// Only the build's figures matter to calibrate(); lineModel() still wants a
// feed impedance it takes.
constexpr Complex kPlaceholderZa{50, 0};

NoAdjustment refused(NoAdjustment::Kind kind, std::string message)
{
    return NoAdjustment{kind, std::move(message), std::nullopt};
}

NoAdjustment fromDesign(const design::Problem& problem)
{
    return NoAdjustment{NoAdjustment::Kind::BadInput, problem.message, problem.field};
}

bool isFinite(Complex z)
{
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

std::string ohms(Complex z)
{
    const std::string sign = z.imag() < 0 ? " - j" : " + j";
    return decimalsText(z.real(), 2) + sign + decimalsText(std::abs(z.imag()), 2) + " ohms";
}

design::DesignInput designInput(const AdjustInput& in, double freqMhz, Complex feedImpedance)
{
    return design::DesignInput{freqMhz, feedImpedance, in.geometry, in.lineImpedance, in.stepUp, in.model};
}

// The longest rod the match can have: half the element when its length is
// known, a quarter wave otherwise (the shorted rod line turns inductive to
// capacitive there, and no gamma match is built that long).
struct RodLimit {
    double metres = 0;
    std::string what; // "half the element (0.950 m)"
};

RodLimit rodLimit(const AdjustInput& in)
{
    if (in.elementLength) {
        return {*in.elementLength / 2, "half the element (" + decimalsText(*in.elementLength / 2, 3) + " m)"};
    }
    const double quarter = physics::wavelengthMetres(in.freqMhz) / 4;
    return {quarter, "a quarter wave at " + decimalsText(in.freqMhz, 3) + " MHz (" + decimalsText(quarter, 3) + " m)"};
}

std::optional<NoAdjustment> checkCable(const coax::Line& cable)
{
    if (!(cable.impedance >= 1 && cable.impedance <= 1e6)) {
        return refused(NoAdjustment::Kind::BadCable, "the cable's impedance must be between 1 and 1000000 ohms");
    }
    if (!(cable.velocityFactor >= 0.01 && cable.velocityFactor <= 1)) {
        return refused(NoAdjustment::Kind::BadCable, "the cable's velocity factor must be between 0.01 and 1");
    }
    if (!(std::isfinite(cable.length) && cable.length >= 0)) {
        return refused(NoAdjustment::Kind::BadCable, "the cable's length must be 0 m or more");
    }
    for (const coax::LossPoint& point : cable.loss) {
        if (!(std::isfinite(point.dbPer100m) && point.dbPer100m >= 0 && std::isfinite(point.freqMhz)
                && point.freqMhz > 0)) {
            return refused(NoAdjustment::Kind::BadCable,
                "the cable's loss must be 0 dB per 100 m or more, at a frequency above 0 MHz");
        }
    }
    return std::nullopt;
}

// The reading taken back to the match's connector, or why it cannot be.
Outcome<Complex> atConnector(const AdjustInput& in, double freqMhz, Complex reading)
{
    if (!isFinite(reading)) {
        return refused(NoAdjustment::Kind::BadReading, "the reading must be a finite resistance and reactance");
    }
    if (!in.cable) {
        return reading;
    }
    const auto load = coax::loadImpedance(*in.cable, freqMhz, reading);
    if (!load) {
        return refused(NoAdjustment::Kind::ShortOrOpen,
            "the reading is what an open at the far end of the cable shows: check the cable's connectors and "
            "that the match is connected");
    }
    return *load;
}

// A reading the model can calibrate from: a positive resistance, and not
// what a short or an open shows.
std::optional<NoAdjustment> checkConnectorReading(const AdjustInput& in, Complex zin)
{
    if (zin.real() < 0) {
        std::string message
            = "the reading has a negative resistance (" + decimalsText(zin.real(), 2) + " ohms) at the connector";
        message += in.cable ? " once the cable is taken out: check the cable's length and loss, or read at the "
                              "connector itself"
                            : ": calibrate the analyser (open, short, load) at the end of its lead and read again";
        return refused(NoAdjustment::Kind::NegativeResistance, std::move(message));
    }
    const double magnitude = std::abs(physics::reflection(zin, in.lineImpedance));
    if (!(magnitude <= kShortOrOpenReflection)) {
        return refused(NoAdjustment::Kind::ShortOrOpen,
            "the reading (" + ohms(zin) + " at the connector, |reflection| " + decimalsText(magnitude, 3)
                + ") is what a short or an open shows: check the feed connection, the strap's contact and the "
                  "capacitor, and that the analyser was calibrated where it is connected");
    }
    return std::nullopt;
}

Expected expectedOf(const design::Analysis& analysis)
{
    return Expected{analysis.zin, analysis.swr};
}

std::optional<CableWarning> cableWarning(const AdjustInput& in, Complex reading)
{
    if (!in.cable) {
        return std::nullopt;
    }
    const double loss = coax::roundTripLossDb(*in.cable, in.freqMhz);
    if (!(loss > kLossyCableDb)) {
        return std::nullopt;
    }
    CableWarning warning;
    warning.roundTripLossDb = loss;
    const double gain = std::pow(10, loss / 20);
    const double read = std::abs(physics::reflection(reading, in.cable->impedance));
    warning.lowestReflection = std::clamp((read - kReadingUncertainty) * gain, 0.0, 1.0);
    warning.highestReflection = std::clamp((read + kReadingUncertainty) * gain, 0.0, 1.0);
    warning.lowestSwr = physics::swrOfMagnitude(warning.lowestReflection);
    warning.highestSwr = physics::swrOfMagnitude(warning.highestReflection);
    warning.message = "the cable loses " + decimalsText(loss, 1) + " dB there and back at "
        + decimalsText(in.freqMhz, 3) + " MHz: a reading good to " + decimalsText(kReadingUncertainty, 2)
        + " in |S11| leaves the match's reflection anywhere from " + decimalsText(warning.lowestReflection, 3) + " to "
        + decimalsText(warning.highestReflection, 3) + " (SWR " + decimalsText(warning.lowestSwr, 2) + " to "
        + decimalsText(warning.highestSwr, 2)
        + "); read at the connector, or through a shorter or better cable, for a surer step";
    return warning;
}

// Everything adjust() checks before it looks at a reading.
std::optional<NoAdjustment> checkBuild(const AdjustInput& in)
{
    auto built = design::analyze(designInput(in, in.freqMhz, kPlaceholderZa), in.rodLength, in.capacitancePf);
    if (const auto* problem = std::get_if<design::Problem>(&built)) {
        return fromDesign(*problem);
    }
    if (in.assumedFeedImpedance) {
        auto assumed = design::lineModel(designInput(in, in.freqMhz, *in.assumedFeedImpedance));
        if (const auto* problem = std::get_if<design::Problem>(&assumed)) {
            return fromDesign(*problem);
        }
    }
    if (in.elementLength && !(std::isfinite(*in.elementLength) && *in.elementLength > 0)) {
        return NoAdjustment{NoAdjustment::Kind::BadInput, "the element's length must be a length above 0",
            design::Field::ElementLength};
    }
    const RodLimit limit = rodLimit(in);
    if (in.rodLength > limit.metres) {
        return refused(NoAdjustment::Kind::RodTooLong,
            "the rod as built (" + decimalsText(in.rodLength, 3) + " m) is longer than " + limit.what
                + ": check the rod's length, its unit and the frequency");
    }
    if (in.cable) {
        return checkCable(*in.cable);
    }
    return std::nullopt;
}

// adjust() from a reading already at the connector, the build checked.
Outcome<Adjustment> adjustAtConnector(const AdjustInput& in, Complex zin)
{
    if (auto problem = checkConnectorReading(in, zin)) {
        return *problem;
    }
    Adjustment result;
    result.reading = zin;
    result.readingSwr = physics::swr(zin, in.lineImpedance);
    if (in.assumedFeedImpedance) {
        auto assumed
            = design::analyze(designInput(in, in.freqMhz, *in.assumedFeedImpedance), in.rodLength, in.capacitancePf);
        if (const auto* problem = std::get_if<design::Problem>(&assumed)) {
            return fromDesign(*problem);
        }
        result.expected = expectedOf(std::get<design::Analysis>(assumed));
    }
    auto za = calibrate(designInput(in, in.freqMhz, kPlaceholderZa), in.rodLength, in.capacitancePf, zin);
    if (auto* problem = std::get_if<NoAdjustment>(&za)) {
        return *problem;
    }
    result.feedImpedance = std::get<Complex>(za);
    const design::DesignInput calibrated = designInput(in, in.freqMhz, result.feedImpedance);
    auto next = design::design(calibrated);
    if (const auto* problem = std::get_if<design::Problem>(&next)) {
        if (problem->kind == design::Problem::Kind::NoMatch) {
            return refused(NoAdjustment::Kind::NoMatch,
                "the reading shows an element impedance of " + ohms(result.feedImpedance) + ", and "
                    + problem->message);
        }
        return refused(NoAdjustment::Kind::Unexplained,
            "the reading shows an element impedance of " + ohms(result.feedImpedance)
                + ", beyond what the model takes (" + problem->message
                + "): check the reading, the build's figures and the frequency");
    }
    result.next = std::get<design::Design>(next);
    const RodLimit limit = rodLimit(in);
    if (result.next.rodLength > limit.metres) {
        return refused(NoAdjustment::Kind::RodTooLong,
            "the next rod would be " + decimalsText(result.next.rodLength, 3) + " m, longer than " + limit.what
                + ": a thinner rod or a wider spacing raises the rod line's impedance and shortens the rod; or "
                  "shorten the element a little");
    }
    auto analysed = design::analyze(calibrated, result.next.rodLength, result.next.capacitancePf);
    if (const auto* problem = std::get_if<design::Problem>(&analysed)) {
        return fromDesign(*problem);
    }
    result.nextExpected = expectedOf(std::get<design::Analysis>(analysed));
    result.strapMove = result.next.rodLength - in.rodLength;
    result.capacitanceChangePf = result.next.capacitancePf - in.capacitancePf;
    return result;
}

} // namespace

Outcome<Complex> calibrate(const design::DesignInput& in, double rodLength, double capacitancePf, Complex zin)
{
    design::DesignInput placeholder = in;
    placeholder.feedImpedance = kPlaceholderZa;
    // analyze() checks the build and gives Zs and the series reactance:
    // with the placeholder, Zin - Zp is j (omega Lc - Xc).
    auto built = design::analyze(placeholder, rodLength, capacitancePf);
    if (const auto* problem = std::get_if<design::Problem>(&built)) {
        return fromDesign(*problem);
    }
    if (!isFinite(zin) || !(zin.real() > 0)) {
        return refused(NoAdjustment::Kind::Unexplained,
            "only a reading with a resistance above 0 comes from an element's feed impedance");
    }
    const design::Analysis& analysis = std::get<design::Analysis>(built);
    const double series = (analysis.zin - analysis.zp).imag();
    const Complex zp = zin - Complex(0, series);
    const Complex y2 = 1.0 / zp - 1.0 / analysis.zs;
    const Complex za = 1.0 / (y2 * analysis.line.stepUp);
    if (!isFinite(za) || !(za.real() > 0) || analysis.zs == Complex(0, 0)) {
        return refused(NoAdjustment::Kind::Unexplained,
            "no element impedance gives this reading with this rod: check the rod's length and the frequency");
    }
    return za;
}

AdjustInput builtFrom(const design::DesignInput& design)
{
    AdjustInput in;
    in.freqMhz = design.freqMhz;
    in.geometry = design.geometry;
    in.lineImpedance = design.lineImpedance;
    in.stepUp = design.stepUp;
    in.model = design.model;
    in.assumedFeedImpedance = design.feedImpedance;
    return in;
}

Outcome<Adjustment> adjust(const AdjustInput& in, Complex reading)
{
    auto read = readingAtConnector(in, reading);
    if (auto* problem = std::get_if<NoAdjustment>(&read)) {
        return *problem;
    }
    auto result = adjustAtConnector(in, std::get<ConnectorReading>(read).zin);
    if (auto* adjustment = std::get_if<Adjustment>(&result)) {
        adjustment->cableWarning = std::get<ConnectorReading>(read).cableWarning;
    }
    return result;
}

Outcome<ConnectorReading> readingAtConnector(const AdjustInput& in, Complex reading)
{
    if (auto problem = checkBuild(in)) {
        return *problem;
    }
    auto zin = atConnector(in, in.freqMhz, reading);
    if (auto* problem = std::get_if<NoAdjustment>(&zin)) {
        return *problem;
    }
    const Complex z = std::get<Complex>(zin);
    if (auto problem = checkConnectorReading(in, z)) {
        return *problem;
    }
    return ConnectorReading{z, physics::swr(z, in.lineImpedance), cableWarning(in, reading)};
}

Outcome<SweepAdjustment> adjustSweep(const AdjustInput& in, const touchstone::OnePort& sweep)
{
    if (auto problem = checkBuild(in)) {
        return *problem;
    }
    // Every point at the connector; one an open explains is left out.
    touchstone::OnePort atMatch = sweep;
    atMatch.points.clear();
    int skipped = 0;
    for (const touchstone::Point& point : sweep.points) {
        auto zin = atConnector(in, point.freqHz / 1e6, point.impedance);
        if (const auto* z = std::get_if<Complex>(&zin)) {
            atMatch.points.push_back(touchstone::Point{point.freqHz, *z, point.line});
        } else if (std::get<NoAdjustment>(zin).kind == NoAdjustment::Kind::BadReading) {
            return std::get<NoAdjustment>(zin);
        } else {
            ++skipped;
        }
    }
    const auto atDesign = touchstone::impedanceAt(atMatch, in.freqMhz * 1e6);
    if (!atDesign) {
        std::string message = sweep.points.empty()
            ? std::string("the sweep has no points")
            : "the sweep runs from " + decimalsText(sweep.points.front().freqHz / 1e6, 3) + " to "
                + decimalsText(sweep.points.back().freqHz / 1e6, 3) + " MHz and does not reach the design frequency, "
                + decimalsText(in.freqMhz, 3) + " MHz";
        message += ": sweep across it";
        if (const std::string hint = touchstone::frequencyUnitHint(sweep); !hint.empty()) {
            message += "; " + hint;
        }
        return refused(NoAdjustment::Kind::OutsideSweep, std::move(message));
    }
    auto step = adjustAtConnector(in, *atDesign);
    if (auto* problem = std::get_if<NoAdjustment>(&step)) {
        return *problem;
    }
    SweepAdjustment result;
    result.atDesign = std::get<Adjustment>(step);
    if (in.cable) {
        if (const auto reading = touchstone::impedanceAt(sweep, in.freqMhz * 1e6)) {
            result.atDesign.cableWarning = cableWarning(in, *reading);
        }
    }

    const design::Design& next = result.atDesign.next;
    for (const touchstone::Point& point : atMatch.points) {
        const double freqMhz = point.freqHz / 1e6;
        if (checkConnectorReading(in, point.impedance)) {
            ++skipped;
            continue;
        }
        auto za = calibrate(designInput(in, freqMhz, kPlaceholderZa), in.rodLength, in.capacitancePf, point.impedance);
        if (std::holds_alternative<NoAdjustment>(za)) {
            ++skipped;
            continue;
        }
        auto after
            = design::analyze(designInput(in, freqMhz, std::get<Complex>(za)), next.rodLength, next.capacitancePf);
        if (std::holds_alternative<design::Problem>(after)) {
            ++skipped;
            continue;
        }
        result.rows.push_back(SweepRow{freqMhz, point.impedance, physics::swr(point.impedance, in.lineImpedance),
            std::get<design::Analysis>(after).swr});
    }
    result.skippedPoints = skipped;
    result.bestNowSwr = std::numeric_limits<double>::infinity();
    result.bestNextSwr = std::numeric_limits<double>::infinity();
    for (const SweepRow& row : result.rows) {
        if (row.swrNow < result.bestNowSwr) {
            result.bestNowSwr = row.swrNow;
            result.bestNowMhz = row.freqMhz;
        }
        if (row.swrNext < result.bestNextSwr) {
            result.bestNextSwr = row.swrNext;
            result.bestNextMhz = row.freqMhz;
        }
    }
    return result;
}

} // namespace vostrel::adjust
