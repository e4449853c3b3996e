// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::design {

// Designing a gamma match from the element's measured or modelled feed
// impedance: the two-wire line model of the rod beside the element, with the
// folded-dipole step-up of the feed impedance. All lengths are in metres,
// frequencies in MHz, impedances in ohms, capacitances in picofarads.
//
// The model, for a design input `in` (see below):
//   Z0    = 60 acosh((4s^2 - D^2 - d^2) / (2Dd)), D the element's and d the
//           rod's diameter (twice elementRadius and rodRadius),
//           the rod-to-element line impedance (exact, not 276 log10(2s/sqrt(Dd)))
//   alpha = acosh((v^2 - u^2 + 1) / (2v)) / acosh((v^2 + u^2 - 1) / (2uv)),
//           u = D/d, v = 2s/d: the current division (1 for equal diameters)
//   Z2    = k (1 + alpha)^2 Za, k = 1 (Whole) or 1/2 (Half)
//   Zs    = j Z0 tan(2 pi L / lambda), lambda = 299792458 / (f * 1e6)
//   Zp    = Z2 || Zs,  Zin = Zp - j / (2 pi f C)
// Sources: the ARRL Antenna Book's gamma match chapter and Owen Duffy,
// "Designing a Gamma Match" (k = 1); Balanis, Antenna Theory, 4th ed.,
// section 9.8 (k = 1/2).

using Complex = std::complex<double>;

// Which share of the feed impedance the match steps up.
enum class StepUp {
    Whole, // k = 1: ARRL tradition, Owen Duffy
    Half, // k = 1/2: Balanis
};

// k: Whole -> 1, Half -> 0.5.
double stepUpShare(StepUp stepUp);
// For every output that shows a result:
//   Whole -> "whole feed impedance stepped up (k = 1)"
//   Half  -> "half the feed impedance stepped up (k = 1/2)"
std::string_view stepUpName(StepUp stepUp);

struct Geometry {
    double elementDiameter = 0; // D
    double rodDiameter = 0; // d
    double spacing = 0; // s, centre to centre
};

// Which closed form. Corrected is the default: checked against NEC-2 on
// free-space dipoles from 7 to 432 MHz (docs/nec-validation.md) it cut the
// capacitor's mean error with k = 1 from +14.8 % to +2.4 %; Textbook gives
// the published worked examples digit for digit.
enum class Model {
    Textbook, // the line model alone
    // With the self-inductance of the feed connection and the strap, two
    // straight wires of length s and rod radius r = d/2, in series with
    // the capacitor: X = 2 omega mu0 s / (2 pi) (ln(2s/r) - 1), added to
    // the capacitor's reactance (Grover, Inductance Calculations, the
    // straight round wire). The rod length is the textbook one.
    //   14.3 MHz, Za 25 - j25, D 1.5 in, d 0.5 in, s 6 in, Zc 50, Whole
    //     -> X 15.73 ohms, L 38.90 in, C 84.64 pF (textbook 96.14 pF)
    //   144 MHz, D = d = 12 mm, s 38 mm, Whole, Za 12.5 (the rod alone
    //     matches in the textbook) -> X 21.16 ohms, L = lambda/4, C 52.22 pF,
    //     no longer shorted
    Corrected,
};

struct DesignInput {
    double freqMhz = 0;
    Complex feedImpedance; // Za at the element centre
    Geometry geometry;
    double lineImpedance = 50; // Zc of the feed line
    StepUp stepUp = StepUp::Whole;
    Model model = Model::Corrected;
};

// For every output that names the closed form:
//   Textbook  -> "textbook line model"
//   Corrected -> "line model with the feed connection's and strap's inductance"
std::string_view modelName(Model model);
// The CSV column's word: Textbook -> "textbook", Corrected -> "corrected".
std::string_view modelColumn(Model model);

// The input that makes a design impossible to even model.
enum class Field {
    Frequency,
    FeedResistance,
    FeedReactance,
    ElementDiameter,
    RodDiameter,
    Spacing,
    LineImpedance,
    RodLength,
    Capacitance,
    TubeInnerDiameter,
    Permittivity,
    MeasuredReactance,
    ElementLength, // tip to tip, for the full-wave check
    Power, // the transmitter's, for the ratings
    SwrMargin, // the worst SWR the capacitor must survive while tuning
};

// Why there is no answer. `field` names the offending input for BadInput;
// `message` is a sentence for the builder, saying what to change.
// For NoMatch from design(), `field` is FeedReactance and `neededReactance`
// the feed reactance (ohms) below which this geometry would match, with Ra
// as given: Xa = -sqrt(R2 (Zc - R2)) / (k (1 + alpha)^2), R2 = Re Z2 (0 when
// R2 >= Zc). A shorter element has a lower reactance. The message reads:
//   "no gamma match of this geometry can match: the element is too long for
//    this rod: shorten it until its reactance is below -6.2 ohms, or use a
//    thinner rod or a closer spacing"
// A thinner rod raises alpha, so the step-up; the spacing raises alpha when
// closer if the element is the thicker, wider if the rod is, and does
// nothing for equal diameters (the message names only what helps).
struct Problem {
    enum class Kind { BadInput, NoMatch };
    Kind kind = Kind::BadInput;
    Field field = Field::Frequency;
    std::string message;
    double neededReactance = 0;
};

// A value or the Problem why there is none; nothing here throws.
template <typename T> using Outcome = std::variant<T, Problem>;

// The line the rod and element form, and what it does to the feed impedance.
struct LineModel {
    double z0 = 0; // rod-to-element line impedance
    double alpha = 0; // current division
    double stepUp = 0; // k (1 + alpha)^2
    Complex z2; // the stepped-up feed impedance
    double wavelength = 0; // metres
    // Corrected: feed connection and strap together, henries (0 Textbook);
    // Zin = Zp + j omega Lc - j / (omega C).
    double connectionInductance = 0;
};

struct Design {
    LineModel line;
    double rodLength = 0; // feed point to shorting strap, metres
    double capacitancePf = 0; // series capacitor; infinite when shorted
    double capacitorReactance = 0; // Xc = Im Zp, ohms (0 when shorted)
    bool capacitorShorted = false; // on the boundary: the rod alone matches
};

// What the match does at one rod length and capacitance.
struct Analysis {
    LineModel line;
    Complex zs; // the shorted rod line
    Complex zp; // Z2 || Zs
    Complex zin; // at the feed point, with the capacitor
    Complex reflection; // (Zin - Zc) / (Zin + Zc)
    double returnLossDb = 0;
    double swr = 0;
};

// Checks every input and computes Z0, alpha and Z2.
//   D 1.5 in, d 0.5 in, s 6 in -> Z0 314.40, alpha 1.5220
//   D = d (any s)              -> alpha 1 exactly
//   D and d swapped            -> alpha becomes 1 / alpha, Z0 unchanged
// Failures (BadInput): first each input on its own, naming the first bad
// one in Field's order: a non-finite input; freq, a diameter or the spacing
// <= 0; Ra <= 0; Zc <= 0; then beyond what the model takes: freq outside
// 0.001 to 1e6 MHz (1 kHz to 1 THz), Ra above 1e6 ohms, |Xa| above 1e6
// ohms, a diameter or the spacing outside 1e-6 to 1e3 m, Zc outside 1 to
// 1e6 ohms (where some step of the model would overflow or lose its
// digits, and no antenna is). Then the inputs together: spacing above a
// twentieth of the wavelength, where the two-wire-line model of rod and
// element fails (Frequency: too high for this geometry); then spacing <=
// (D + d) / 2 (Spacing: the rod would touch the element). So a touching
// spacing with a 0 ohm line names the line.
Outcome<LineModel> lineModel(const DesignInput& in);

// The rod length and capacitor that make Zin = Zc.
//   14.3 MHz, Za 25 - j25, D 1.5 in, d 0.5 in, s 6 in, Zc 50, Whole
//     -> Z0 314.40, alpha 1.5220, L 38.90 in, C 96.14 pF
//   same, Half -> L 26.46 in, C 150.7 pF
//   144 MHz, Za 50, D = d = 12 mm, s 38 mm, Whole -> Z0 218.39, L 161.2 mm, C 12.76 pF
// A solution with 0 < L < lambda/4 and C > 0 exists exactly when
// Re Z2 > Zc, or Im Z2 < 0 and (Im Z2)^2 > Re Z2 (Zc - Re Z2). Otherwise
// NoMatch, with the reactance the element would need. On the boundary
// ((Im Z2)^2 = Re Z2 (Zc - Re Z2), Im Z2 <= 0, to 1e-12 relative) the rod
// alone matches: capacitorShorted, C infinite, tan(2 pi L / lambda) =
// 1 / (Z0 Im(1/Z2)); at Z2 = Zc itself L = lambda/4.
//   144 MHz, D = d = 12 mm, s 38 mm, Whole, Za 12.5 -> Z2 = 50: L = lambda/4, shorted
//   144 MHz, same, Za 5 + j0 -> NoMatch, needed reactance -6.12 ohms
Outcome<Design> design(const DesignInput& in);

// The match at a given rod length (metres, > 0) and capacitance (pF, > 0;
// infinity for a shorted capacitor). Any rod length > 0 is modelled, also
// beyond a quarter wave.
//   144 MHz, Za 50, D = d = 12 mm, s 38 mm, Whole, L 160 mm, C infinite
//     -> Zp 49.37 + j86.23 (Owen Duffy's as-built Yagi)
// Failures: those of lineModel(); L <= 0 or not finite (RodLength);
// C <= 0 or NaN (Capacitance).
Outcome<Analysis> analyze(const DesignInput& in, double rodLength, double capacitancePf);

// Capacitance that cancels a reactance measured with the rod tapped and the
// capacitor shorted: C = 1 / (2 pi f X).
//   14.2 MHz, X 86 -> 130.3 pF        X 0 -> infinity (leave it shorted)
//   X < 0 -> NoMatch (MeasuredReactance): the rod is too long
//   freq <= 0, not finite or outside 0.001 to 1e6 MHz -> BadInput (Frequency)
//   |X| above 1e6 ohms -> BadInput (MeasuredReactance)
Outcome<double> capacitanceForReactance(double freqMhz, double reactance);

// Insertion length (metres) of a rod of diameter `rodDiameter` in a tube of
// inner diameter `tubeInnerDiameter` with a sleeve of relative permittivity
// `permittivity`, for `capacitancePf`: C per metre = 2 pi e0 er / ln(ID/d)
// (about 55.63 er / ln(ID/d) pF/m), the sleeve taken as filling the gap.
//   130.3 pF, ID 10.2 mm, d 6.35 mm, PTFE 2.1 -> 0.5287 m
// Failures (BadInput): C, ID or d <= 0 or not finite; ID <= d
// (TubeInnerDiameter); er < 1 or not finite (Permittivity).
Outcome<double> insertionLength(
    double capacitancePf, double tubeInnerDiameter, double rodDiameter, double permittivity);

struct Dielectric {
    const char* name; // "air", "ptfe", "polyethylene"
    double permittivity;
};
const std::vector<Dielectric>& dielectrics();

struct SweepPoint {
    double x = 0; // the swept value: pF, metres or MHz
    Complex zin;
    double swr = 0;
};

// `count` evenly spaced points from `from` to `to`, both included.
Outcome<std::vector<SweepPoint>> sweepCapacitance(
    const DesignInput& in, double rodLength, double fromPf, double toPf, int count);
Outcome<std::vector<SweepPoint>> sweepRodLength(
    const DesignInput& in, double capacitancePf, double fromLength, double toLength, int count);
// Failures: those of analyze() at any point; count < 1, count 1 with
// from != to, to < from or a bound not finite (the swept Field).
// With the feed impedance held at in.feedImpedance at every frequency;
// in.freqMhz is not used.
Outcome<std::vector<SweepPoint>> sweepFrequency(
    const DesignInput& in, double rodLength, double capacitancePf, double fromMhz, double toMhz, int count);

// A feed impedance measured (or modelled) at one frequency.
struct MeasuredPoint {
    double freqMhz = 0;
    Complex feedImpedance;
};

// One point per measurement, in.freqMhz and in.feedImpedance replaced by
// each one's. A failing point fails the sweep, its frequency named.
Outcome<std::vector<SweepPoint>> sweepMeasured(
    const DesignInput& in, double rodLength, double capacitancePf, const std::vector<MeasuredPoint>& measured);

} // namespace vostrel::design
