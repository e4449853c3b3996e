#pragma once

#include <complex>
#include <string>
#include <variant>
#include <vector>

namespace vostrel::design {

// Designing a gamma match from the element's measured or modelled feed
// impedance: the two-wire line model of the rod beside the element, with the
// folded-dipole step-up of the feed impedance. All lengths are in metres,
// frequencies in MHz, impedances in ohms, capacitances in picofarads.
//
// The model, for a design input `in` (see below):
//   Z0    = 60 acosh((s^2 - a^2 - b^2) / (2ab)), a = D/2, b = d/2
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

struct Geometry {
    double elementDiameter = 0; // D
    double rodDiameter = 0; // d
    double spacing = 0; // s, centre to centre
};

struct DesignInput {
    double freqMhz = 0;
    Complex feedImpedance; // Za at the element centre
    Geometry geometry;
    double lineImpedance = 50; // Zc of the feed line
    StepUp stepUp = StepUp::Whole;
};

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
};

// Why there is no answer. `field` names the offending input for BadInput;
// `message` is a sentence for the builder, saying what to change.
// For NoMatch, `neededReactance` is the feed reactance (ohms) below which
// this geometry would match (the element must be shortened to reach it).
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
// Failures (BadInput): a non-finite input; freq, a diameter or the spacing
// <= 0; spacing <= (D + d) / 2 (the rod would touch the element); Ra <= 0;
// Zc <= 0.
Outcome<LineModel> lineModel(const DesignInput& in);

// The rod length and capacitor that make Zin = Zc.
//   14.3 MHz, Za 25 - j25, D 1.5 in, d 0.5 in, s 6 in, Zc 50, Whole
//     -> Z0 314.40, alpha 1.5220, L 38.90 in, C 96.14 pF
//   same, Half -> L 26.46 in, C 150.7 pF
//   144 MHz, Za 50, D = d = 12 mm, s 38 mm, Whole -> Z0 218.39, L 161.2 mm, C 12.76 pF
// A solution with 0 < L < lambda/4 and C > 0 exists exactly when
// Re Z2 > Zc, or Im Z2 < 0 and (Im Z2)^2 > Re Z2 (Zc - Re Z2). Otherwise
// NoMatch, with the reactance the element would need.
Outcome<Design> design(const DesignInput& in);

// The match at a given rod length (metres, > 0) and capacitance (pF, > 0;
// infinity for a shorted capacitor).
Outcome<Analysis> analyze(const DesignInput& in, double rodLength, double capacitancePf);

// Capacitance that cancels a reactance measured with the rod tapped and the
// capacitor shorted: C = 1 / (2 pi f X).   14.2 MHz, X 86 -> 130.3 pF
Outcome<double> capacitanceForReactance(double freqMhz, double reactance);

// Insertion length (metres) of a rod of diameter `rodDiameter` in a tube of
// inner diameter `tubeInnerDiameter` with a sleeve of relative permittivity
// `permittivity`, for `capacitancePf`: C per metre = 2 pi e0 er / ln(ID/d).
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
// With the feed impedance held at in.feedImpedance at every frequency.
Outcome<std::vector<SweepPoint>> sweepFrequency(
    const DesignInput& in, double rodLength, double capacitancePf, double fromMhz, double toMhz, int count);

} // namespace vostrel::design
