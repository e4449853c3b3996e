// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamma_design.h"

#include "number_text.h"
#include "physics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace vostrel::design {
namespace {

using physics::kTwoPi;
using physics::kVacuumPermeability;
using physics::kVacuumPermittivity;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Within this relative distance of the boundary of the matchable region the
// capacitor is taken as a short: rounding cannot tell the two apart.
constexpr double kBoundaryTolerance = 1e-12;

Problem badInput(Field field, std::string message)
{
    return Problem{Problem::Kind::BadInput, field, std::move(message), 0};
}

// acosh(1 + y), accurate also when y is small (rod close to the element).
double acoshOnePlus(double y)
{
    return std::log1p(y + std::sqrt(y * (y + 2)));
}

constexpr double kMaxSpacingInWavelengths = 20; // spacing <= wavelength / 20

// What the model takes, wide enough for any antenna and narrow enough that
// no step of it overflows or loses its digits: 1 kHz to 1 THz, impedances
// up to a megohm, lines of 1 ohm to a megohm, sizes of a micrometre to a
// kilometre.
constexpr double kMinFreqMhz = 1e-3;
constexpr double kMaxFreqMhz = 1e6;
constexpr double kMaxOhms = 1e6;
constexpr double kMinLineOhms = 1;
constexpr double kMinSize = 1e-6; // metres
constexpr double kMaxSize = 1e3;

bool inSizeRange(double metres)
{
    return metres >= kMinSize && metres <= kMaxSize;
}

double wavelengthFor(double freqMhz)
{
    return physics::wavelengthMetres(freqMhz);
}

// The capacitor's reactance at `freqMhz`, 0 for a shorted one.
double capacitorReactance(double freqMhz, double capacitancePf)
{
    return std::isinf(capacitancePf) ? 0.0 : 1e6 / (kTwoPi * freqMhz * capacitancePf);
}

bool isPositiveFinite(double value)
{
    return std::isfinite(value) && value > 0;
}

// Zin and the figures read from it; the line model is already known.
Analysis analyzeWith(
    const LineModel& line, double freqMhz, double lineImpedance, double rodLength, double capacitancePf)
{
    Analysis result;
    result.line = line;
    const double wavelength = wavelengthFor(freqMhz);
    result.line.wavelength = wavelength;
    const double t = std::tan(kTwoPi * rodLength / wavelength);
    result.zs = Complex(0, line.z0 * t);
    // Z2 || Zs through the admittances. Zs is 0 where the rod is a whole
    // number of half wavelengths long: the shorted line then shorts Z2 too.
    // (In doubles tan() comes close to 0 there without reaching it, and the
    // admittance form then gives a Zp close to 0 as well.)
    result.zp = t == 0 ? Complex(0, 0) : 1.0 / (1.0 / line.z2 + Complex(0, -1 / (line.z0 * t)));
    result.zin = result.zp + Complex(0, kTwoPi * freqMhz * 1e6 * line.connectionInductance)
        - Complex(0, capacitorReactance(freqMhz, capacitancePf));
    result.reflection = physics::reflection(result.zin, lineImpedance);
    const double magnitude = std::abs(result.reflection);
    result.returnLossDb = magnitude == 0 ? kInfinity : -20 * std::log10(magnitude);
    result.swr = physics::swrOfMagnitude(magnitude);
    return result;
}

std::optional<Problem> checkRodAndCapacitor(double rodLength, double capacitancePf)
{
    if (!isPositiveFinite(rodLength)) {
        return badInput(Field::RodLength, "the rod length must be a length above 0");
    }
    if (std::isnan(capacitancePf) || capacitancePf <= 0) {
        return badInput(Field::Capacitance, "the capacitance must be above 0 pF");
    }
    return std::nullopt;
}

std::optional<Problem> checkAnalysis(const Analysis& result)
{
    if (!std::isfinite(result.zs.imag()) || !std::isfinite(result.zp.real()) || !std::isfinite(result.zp.imag())) {
        return badInput(Field::RodLength, "the rod length is too short to model");
    }
    if (!std::isfinite(result.zin.imag())) {
        return badInput(Field::Capacitance, "the capacitance is too small to model");
    }
    return std::nullopt;
}

// The advice for an element whose reactance is too high: what the element
// would need, and which rod or spacing raises the step-up. A thinner rod
// always raises alpha; the spacing raises it when it brings the two
// diameters' roles closer: closer when the element is the thicker,
// wider when the rod is.
Problem noMatch(const DesignInput& in, const LineModel& line)
{
    const double r2 = line.z2.real();
    const double zc = in.lineImpedance;
    const double needed = r2 < zc ? -std::sqrt(r2 * (zc - r2)) / line.stepUp : 0.0;
    std::string spacing;
    if (in.geometry.elementDiameter > in.geometry.rodDiameter) {
        spacing = " or a closer spacing";
    } else if (in.geometry.elementDiameter < in.geometry.rodDiameter) {
        spacing = " or a wider spacing";
    }
    std::string message = "no gamma match of this geometry can match: the element is too long for this rod: "
                          "shorten it until its reactance is below "
        + doubleText(needed, 1) + " ohms, or use a thinner rod" + spacing;
    return Problem{Problem::Kind::NoMatch, Field::FeedReactance, std::move(message), needed};
}

} // namespace

double stepUpShare(StepUp stepUp)
{
    return stepUp == StepUp::Whole ? 1.0 : 0.5;
}

std::string_view stepUpName(StepUp stepUp)
{
    return stepUp == StepUp::Whole ? "whole feed impedance stepped up (k = 1)"
                                   : "half the feed impedance stepped up (k = 1/2)";
}

std::string_view modelName(Model model)
{
    return model == Model::Textbook ? "textbook line model"
                                    : "line model with the feed connection's and strap's inductance";
}

std::string_view modelColumn(Model model)
{
    return model == Model::Textbook ? "textbook" : "corrected";
}

namespace {

// Each input within what the model takes, named in Field's order.
std::optional<Problem> outOfRange(const DesignInput& in)
{
    if (in.freqMhz < kMinFreqMhz || in.freqMhz > kMaxFreqMhz) {
        return badInput(Field::Frequency, "the frequency must be between 0.001 MHz (1 kHz) and 1000000 MHz (1 THz)");
    }
    if (in.feedImpedance.real() > kMaxOhms) {
        return badInput(Field::FeedResistance, "the feed resistance must be at most 1000000 ohms");
    }
    if (std::abs(in.feedImpedance.imag()) > kMaxOhms) {
        return badInput(Field::FeedReactance, "the feed reactance must be between -1000000 and 1000000 ohms");
    }
    const Geometry& g = in.geometry;
    if (!inSizeRange(g.elementDiameter)) {
        return badInput(Field::ElementDiameter, "the element diameter must be between 0.001 mm and 1 km");
    }
    if (!inSizeRange(g.rodDiameter)) {
        return badInput(Field::RodDiameter, "the rod diameter must be between 0.001 mm and 1 km");
    }
    if (!inSizeRange(g.spacing)) {
        return badInput(Field::Spacing, "the spacing must be between 0.001 mm and 1 km");
    }
    if (in.lineImpedance < kMinLineOhms || in.lineImpedance > kMaxOhms) {
        return badInput(Field::LineImpedance, "the feed line impedance must be between 1 and 1000000 ohms");
    }
    return std::nullopt;
}

} // namespace

Outcome<LineModel> lineModel(const DesignInput& in)
{
    const Geometry& g = in.geometry;
    if (!isPositiveFinite(in.freqMhz)) {
        return badInput(Field::Frequency, "the frequency must be a number of MHz above 0");
    }
    if (!isPositiveFinite(in.feedImpedance.real())) {
        return badInput(Field::FeedResistance, "the feed resistance must be a number of ohms above 0");
    }
    if (!std::isfinite(in.feedImpedance.imag())) {
        return badInput(Field::FeedReactance, "the feed reactance must be a number of ohms");
    }
    if (!isPositiveFinite(g.elementDiameter)) {
        return badInput(Field::ElementDiameter, "the element diameter must be a length above 0");
    }
    if (!isPositiveFinite(g.rodDiameter)) {
        return badInput(Field::RodDiameter, "the rod diameter must be a length above 0");
    }
    if (!isPositiveFinite(g.spacing)) {
        return badInput(Field::Spacing, "the spacing must be a length above 0");
    }
    if (!isPositiveFinite(in.lineImpedance)) {
        return badInput(Field::LineImpedance, "the feed line impedance must be a number of ohms above 0");
    }
    if (auto outside = outOfRange(in)) {
        return *outside;
    }
    const double wavelength = wavelengthFor(in.freqMhz);
    // The rod and element are taken as a two-wire transmission line, whose
    // theory assumes conductors close together against the wavelength (a
    // transverse field between them, nothing radiated by the line itself);
    // beyond a twentieth of a wavelength apart the model no longer holds.
    if (!(g.spacing <= wavelength / kMaxSpacingInWavelengths)) {
        return badInput(Field::Frequency,
            "the frequency is too high for this geometry: the spacing is more than a twentieth of the wavelength, "
            "too wide for the rod and element to act as a two-wire line; lower the frequency or close the spacing");
    }
    const double elementRadius = g.elementDiameter / 2;
    const double rodRadius = g.rodDiameter / 2;
    if (!(g.spacing - (elementRadius + rodRadius) > 0)) {
        return badInput(Field::Spacing,
            "the rod would touch the element: the spacing, centre to centre, must be more than half the "
            "element and rod diameters together");
    }

    LineModel line;
    // Z0 = 60 acosh((s^2 - elementRadius^2 - rodRadius^2) / (2 elementRadius
    // rodRadius)), with the argument less 1 written as a product so that it
    // keeps its digits when s is near elementRadius + rodRadius.
    line.z0 = 60
        * acoshOnePlus((g.spacing - (elementRadius + rodRadius)) * (g.spacing + elementRadius + rodRadius)
            / (2 * elementRadius * rodRadius));
    // alpha with u = D/d, v = 2s/d; each acosh argument less 1 factored the
    // same way. For u = 1 both are the same expression: alpha = 1 exactly.
    const double u = g.elementDiameter / g.rodDiameter;
    const double v = 2 * g.spacing / g.rodDiameter;
    const double numerator = acoshOnePlus((v - 1 - u) * (v - 1 + u) / (2 * v));
    const double denominator = acoshOnePlus((v - u - 1) * (v - u + 1) / (2 * u * v));
    line.alpha = numerator / denominator;
    line.stepUp = stepUpShare(in.stepUp) * (1 + line.alpha) * (1 + line.alpha);
    line.z2 = line.stepUp * in.feedImpedance;
    line.wavelength = wavelength;
    if (in.model == Model::Corrected) {
        // Feed connection and strap: each a straight wire of length s and the
        // rod's radius, L = mu0 s / (2 pi) (ln(2s/r) - 1) (F. W. Grover,
        // Inductance Calculations, 1946, the straight round wire with its
        // current on the surface).
        line.connectionInductance
            = 2 * kVacuumPermeability * g.spacing / kTwoPi * (std::log(2 * g.spacing / rodRadius) - 1);
    }
    if (!isPositiveFinite(line.z0) || !isPositiveFinite(line.alpha) || !std::isfinite(line.z2.real())
        || !std::isfinite(line.z2.imag()) || !isPositiveFinite(line.wavelength)) {
        return badInput(Field::Spacing, "the rod is too close to the element, or the sizes too far apart, to model");
    }
    return line;
}

Outcome<Design> design(const DesignInput& in)
{
    auto modelled = lineModel(in);
    if (const auto* problem = std::get_if<Problem>(&modelled)) {
        return *problem;
    }
    const LineModel& line = std::get<LineModel>(modelled);
    const double zc = in.lineImpedance;
    const double r2 = line.z2.real();
    const double x2 = line.z2.imag();
    const double m = std::norm(line.z2); // |Z2|^2

    // With Y2 = G2 + jB2, Re Zp = Zc needs G2 <= 1/Zc, i.e. |Z2|^2 >= R2 Zc;
    // a positive Xc then needs Im Yp < 0, and 0 < L < lambda/4 needs
    // B2 + sqrt(G2/Zc - G2^2) > 0, which holds for X2 < 0 or R2 > Zc.
    // Where |Z2|^2 = R2 Zc with X2 <= 0, Im Yp = 0: the rod alone matches.
    Design result;
    result.line = line;
    const bool onBoundary = std::abs(m - r2 * zc) <= kBoundaryTolerance * m && x2 <= 0;
    const bool inside = r2 > zc || (x2 < 0 && x2 * x2 > r2 * (zc - r2));
    if (!onBoundary && !inside) {
        return noMatch(in, line);
    }
    const double g2 = r2 / m;
    const double b2 = -x2 / m;
    if (onBoundary) {
        // tan(theta) = 1 / (Z0 B2); at Z2 = Zc (B2 = 0) the rod is a quarter wave.
        const double theta = b2 > 0 ? std::atan(1 / (line.z0 * b2)) : std::numbers::pi / 2;
        result.rodLength = theta * line.wavelength / kTwoPi;
        const double connection = kTwoPi * in.freqMhz * 1e6 * line.connectionInductance;
        result.capacitorReactance = connection;
        result.capacitancePf = connection > 0 ? 1e6 / (kTwoPi * in.freqMhz * connection) : kInfinity;
        result.capacitorShorted = !(connection > 0);
        return result;
    }
    const double root = std::sqrt(std::max(0.0, g2 / zc - g2 * g2));
    const double theta = std::atan(1 / (line.z0 * (b2 + root)));
    result.rodLength = theta * line.wavelength / kTwoPi;
    // Xc = Im Zp = -Im Yp / |Yp|^2 with Im Yp = -root and |Yp|^2 = G2 / Zc.
    result.capacitorReactance = root * zc / g2 + kTwoPi * in.freqMhz * 1e6 * line.connectionInductance;
    result.capacitancePf = 1e6 / (kTwoPi * in.freqMhz * result.capacitorReactance);
    return result;
}

Outcome<Analysis> analyze(const DesignInput& in, double rodLength, double capacitancePf)
{
    auto modelled = lineModel(in);
    if (const auto* problem = std::get_if<Problem>(&modelled)) {
        return *problem;
    }
    if (const auto problem = checkRodAndCapacitor(rodLength, capacitancePf)) {
        return *problem;
    }
    Analysis result
        = analyzeWith(std::get<LineModel>(modelled), in.freqMhz, in.lineImpedance, rodLength, capacitancePf);
    if (const auto problem = checkAnalysis(result)) {
        return *problem;
    }
    return result;
}

Outcome<double> capacitanceForReactance(double freqMhz, double reactance)
{
    if (!isPositiveFinite(freqMhz)) {
        return badInput(Field::Frequency, "the frequency must be a number of MHz above 0");
    }
    if (freqMhz < kMinFreqMhz || freqMhz > kMaxFreqMhz) {
        return badInput(Field::Frequency, "the frequency must be between 0.001 MHz (1 kHz) and 1000000 MHz (1 THz)");
    }
    if (!std::isfinite(reactance) || std::abs(reactance) > kMaxOhms) {
        return badInput(
            Field::MeasuredReactance, "the measured reactance must be a number between -1000000 and 1000000 ohms");
    }
    if (reactance < 0) {
        // Im Zp < 0 only when the rod's susceptance falls short of B2: the
        // rod is too long.
        return Problem{Problem::Kind::NoMatch, Field::MeasuredReactance,
            "a series capacitor cancels only a positive reactance: move the strap towards the feed point (a "
            "shorter rod) until the measured reactance is positive",
            0};
    }
    if (reactance == 0) {
        return kInfinity;
    }
    return 1e6 / (kTwoPi * freqMhz * reactance);
}

Outcome<double> insertionLength(double capacitancePf, double tubeInnerDiameter, double rodDiameter, double permittivity)
{
    if (!isPositiveFinite(capacitancePf)) {
        return badInput(Field::Capacitance, "the capacitance must be a number of pF above 0");
    }
    if (!isPositiveFinite(tubeInnerDiameter)) {
        return badInput(Field::TubeInnerDiameter, "the tube's inner diameter must be a length above 0");
    }
    if (!isPositiveFinite(rodDiameter)) {
        return badInput(Field::RodDiameter, "the rod diameter must be a length above 0");
    }
    if (!(tubeInnerDiameter > rodDiameter)) {
        return badInput(Field::TubeInnerDiameter,
            "the rod must fit inside the tube: the tube's inner diameter "
            "must be more than the rod's diameter");
    }
    if (!std::isfinite(permittivity) || permittivity < 1) {
        return badInput(Field::Permittivity, "the relative permittivity must be a number of at least 1");
    }
    const double perMetre = kTwoPi * kVacuumPermittivity * permittivity / std::log(tubeInnerDiameter / rodDiameter);
    const double length = capacitancePf * 1e-12 / perMetre;
    if (!std::isfinite(length)) {
        return badInput(Field::TubeInnerDiameter, "the tube and rod diameters are too close to model");
    }
    return length;
}

const std::vector<Dielectric>& dielectrics()
{
    // Relative permittivities at HF: PTFE 2.1, polyethylene 2.25.
    static const std::vector<Dielectric> kDielectrics = {
        {"air", 1.0},
        {"ptfe", 2.1},
        {"polyethylene", 2.25},
    };
    return kDielectrics;
}

namespace {

double pointAt(double from, double to, int count, int i)
{
    return count == 1 ? from : from + (to - from) * i / (count - 1);
}

std::optional<Problem> checkSweep(double from, double to, int count, Field field)
{
    if (count < 1 || (count == 1 && from != to)) {
        return badInput(field, "a sweep needs at least one point, and two for a range");
    }
    if (!std::isfinite(from) || !std::isfinite(to) || to < from) {
        return badInput(field, "a sweep runs from a number up to a number no lower");
    }
    return std::nullopt;
}

} // namespace

Outcome<std::vector<SweepPoint>> sweepCapacitance(
    const DesignInput& in, double rodLength, double fromPf, double toPf, int count)
{
    auto modelled = lineModel(in);
    if (const auto* problem = std::get_if<Problem>(&modelled)) {
        return *problem;
    }
    if (const auto problem = checkSweep(fromPf, toPf, count, Field::Capacitance)) {
        return *problem;
    }
    if (const auto problem = checkRodAndCapacitor(rodLength, fromPf)) {
        return *problem;
    }
    const LineModel& line = std::get<LineModel>(modelled);
    // Zp does not depend on the capacitor: one analysis, then Xc per point.
    const Analysis base = analyzeWith(line, in.freqMhz, in.lineImpedance, rodLength, kInfinity);
    if (const auto problem = checkAnalysis(base)) {
        return *problem;
    }
    std::vector<SweepPoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SweepPoint& point = points[static_cast<std::size_t>(i)];
        point.x = pointAt(fromPf, toPf, count, i);
        point.zin = base.zin - Complex(0, capacitorReactance(in.freqMhz, point.x));
        point.swr = physics::swr(point.zin, in.lineImpedance);
    }
    return points;
}

Outcome<std::vector<SweepPoint>> sweepRodLength(
    const DesignInput& in, double capacitancePf, double fromLength, double toLength, int count)
{
    auto modelled = lineModel(in);
    if (const auto* problem = std::get_if<Problem>(&modelled)) {
        return *problem;
    }
    if (const auto problem = checkSweep(fromLength, toLength, count, Field::RodLength)) {
        return *problem;
    }
    if (const auto problem = checkRodAndCapacitor(fromLength, capacitancePf)) {
        return *problem;
    }
    const LineModel& line = std::get<LineModel>(modelled);
    std::vector<SweepPoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SweepPoint& point = points[static_cast<std::size_t>(i)];
        point.x = pointAt(fromLength, toLength, count, i);
        const Analysis at = analyzeWith(line, in.freqMhz, in.lineImpedance, point.x, capacitancePf);
        if (const auto problem = checkAnalysis(at)) {
            return *problem;
        }
        point.zin = at.zin;
        point.swr = at.swr;
    }
    return points;
}

Outcome<std::vector<SweepPoint>> sweepFrequency(
    const DesignInput& in, double rodLength, double capacitancePf, double fromMhz, double toMhz, int count)
{
    DesignInput first = in;
    first.freqMhz = fromMhz;
    auto modelled = lineModel(first);
    if (const auto* problem = std::get_if<Problem>(&modelled)) {
        return *problem;
    }
    if (const auto problem = checkSweep(fromMhz, toMhz, count, Field::Frequency)) {
        return *problem;
    }
    DesignInput highest = in; // the spacing must be close at the top of the range too
    highest.freqMhz = std::max(fromMhz, toMhz);
    if (auto atHighest = lineModel(highest); auto* tooHigh = std::get_if<Problem>(&atHighest)) {
        return *tooHigh;
    }
    if (!isPositiveFinite(fromMhz)) {
        return badInput(Field::Frequency, "the frequency must be a number of MHz above 0");
    }
    if (const auto problem = checkRodAndCapacitor(rodLength, capacitancePf)) {
        return *problem;
    }
    // Z0, alpha and Z2 do not depend on the frequency while Za is held.
    const LineModel& line = std::get<LineModel>(modelled);
    std::vector<SweepPoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SweepPoint& point = points[static_cast<std::size_t>(i)];
        point.x = pointAt(fromMhz, toMhz, count, i);
        const Analysis at = analyzeWith(line, point.x, in.lineImpedance, rodLength, capacitancePf);
        if (const auto problem = checkAnalysis(at)) {
            return *problem;
        }
        point.zin = at.zin;
        point.swr = at.swr;
    }
    return points;
}

Outcome<std::vector<SweepPoint>> sweepMeasured(
    const DesignInput& in, double rodLength, double capacitancePf, const std::vector<MeasuredPoint>& measured)
{
    if (const auto problem = checkRodAndCapacitor(rodLength, capacitancePf)) {
        return *problem;
    }
    std::vector<SweepPoint> points;
    points.reserve(measured.size());
    DesignInput at = in;
    for (const MeasuredPoint& sample : measured) {
        at.freqMhz = sample.freqMhz;
        at.feedImpedance = sample.feedImpedance;
        auto analysed = analyze(at, rodLength, capacitancePf);
        if (auto* problem = std::get_if<Problem>(&analysed)) {
            problem->message += " (at " + doubleText(sample.freqMhz, std::nullopt) + " MHz)";
            return *problem;
        }
        const Analysis& result = std::get<Analysis>(analysed);
        points.push_back(SweepPoint{sample.freqMhz, result.zin, result.swr});
    }
    return points;
}

} // namespace vostrel::design
