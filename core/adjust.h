// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coax_cable.h"
#include "gamma_design.h"
#include "touchstone.h"

#include <complex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vostrel::adjust {

// The next adjustment of a gamma match already built, from what an analyser
// read: the model of gamma_design.h is taken as right about the rod, strap
// and capacitor, whose reactances follow from the build, and wrong only
// about the element's feed impedance Za. For a fixed build Zin is a
// bilinear map of Za,
//   Zp = Zin - j (omega Lc - 1 / (omega C)),  1/Z2 = 1/Zp - 1/Zs,
//   Za = Z2 / (k (1 + alpha)^2),  Zs = j Z0 tan(2 pi L / lambda)
// so the Za the reading shows comes in closed form; design() from that Za
// gives the next rod length and capacitor. Lengths in metres, frequencies
// in MHz, impedances in ohms, capacitances in pF.

using Complex = std::complex<double>;

// What an analyser's |S11| is taken to be good to, for the range a lossy
// cable leaves: a calibrated NanoVNA's typical figure below 500 MHz.
inline constexpr double kReadingUncertainty = 0.01;
// A reflection this close to 1 is what a short or an open shows.
inline constexpr double kShortOrOpenReflection = 0.98;
// Above this round-trip cable loss the result carries a CableWarning.
inline constexpr double kLossyCableDb = 6;

struct AdjustInput {
    double freqMhz = 0; // the design frequency
    design::Geometry geometry;
    double lineImpedance = 50; // Zc, the match's target
    design::StepUp stepUp = design::StepUp::Whole;
    design::Model model = design::Model::Corrected;
    std::optional<Complex> assumedFeedImpedance; // the Za the build was designed from
    std::optional<double> elementLength; // tip to tip, when known
    double rodLength = 0; // as built: feed point to strap
    double capacitancePf = 0; // as set; infinity for a shorted capacitor
    // Between the match's connector and the analyser; none: the reading is
    // at the connector.
    std::optional<coax::Line> cable;
};

// What was built from a design: its frequency, geometry, line, convention
// and closed form, and its Za as the model's estimate; the rod and
// capacitor as built, the element length and the cable left to the caller.
//   the ARRL example (14.3 MHz, Za 25 - j25, Textbook)
//     -> freq 14.3, its geometry, Zc 50, Whole, Textbook, assumed Za 25 - j25
AdjustInput builtFrom(const design::DesignInput& design);

// Why there is no adjustment, with a sentence saying what to do.
struct NoAdjustment {
    enum class Kind {
        BadInput, // a figure of the build the model cannot take; `field` names it
        BadCable, // the cable's figures
        BadReading, // a reading that is not a finite number
        NegativeResistance, // after the cable is taken out
        ShortOrOpen, // |reflection| within 0.02 of 1
        OutsideSweep, // the sweep does not reach the design frequency
        Unexplained, // no element impedance the model takes gives the reading
        NoMatch, // the Za the reading shows cannot be matched by this geometry
        RodTooLong, // beyond half the element, or a quarter wave when that is not known
    };
    Kind kind = Kind::BadInput;
    std::string message;
    std::optional<design::Field> field; // for BadInput
};

template <typename T> using Outcome = std::variant<T, NoAdjustment>;

// The Za that makes design::analyze(in, rodLength, capacitancePf) give
// `zin`; in.feedImpedance is not used.
//   14.3 MHz, D 1.5 in, d 0.5 in, s 6 in, Zc 50, Whole, Textbook, the
//     design for Za 25 - j25 (L 38.90 in, C 96.14 pF), zin 50 -> 25 - j25
//   same build, zin 40 + j10 -> 23.24 - j32.42
// Failures: those of analyze() (BadInput); Re zin <= 0, or a Za not finite
// (Unexplained: the rod a whole number of half waves, or Zp = Zs).
Outcome<Complex> calibrate(const design::DesignInput& in, double rodLength, double capacitancePf, Complex zin);

// The model's figures for a build beside the reading.
struct Expected {
    Complex zin;
    double swr = 0;
};

// With a lossy cable: how far the reading can be trusted.
struct CableWarning {
    double roundTripLossDb = 0;
    // |reflection| at the connector the reading allows, the analyser's
    // |S11| taken as good to kReadingUncertainty, in the cable's impedance.
    double lowestReflection = 0;
    double highestReflection = 0;
    double lowestSwr = 0;
    double highestSwr = 0;
    std::string message;
};

struct Adjustment {
    Complex reading; // Zin at the connector at the design frequency
    double readingSwr = 0; // on Zc
    std::optional<Expected> expected; // with assumedFeedImpedance, when given
    Complex feedImpedance; // the Za the reading shows
    design::Design next; // the rod and capacitor for that Za
    double strapMove = 0; // next - built, metres: positive = away from the feed point
    double capacitanceChangePf = 0; // next - built
    Expected nextExpected; // the next build with the calibrated Za
    std::optional<CableWarning> cableWarning;
};

// One reading at the design frequency, at the analyser (through in.cable
// when given, at the connector otherwise).
//   14.3 MHz, D 1.5 in, d 0.5 in, s 6 in, Zc 50, Whole, Textbook, built
//     L 38.90 in, C 96.14 pF, read 40 + j10
//     -> Za 23.24 - j32.42, next L 42.11 in (the strap 81.5 mm further
//        from the feed point), C 80.17 pF (-15.97 pF), next SWR 1.000;
//        assumed Za 25 - j25 -> expected 50 + j0, SWR 1.000
//   same through 30 m of RG-213 (1.43 dB round trip at 14.3 MHz), read at
//     the shack: the reading taken back to the connector first, the same Za
//   a reading through 60 m of RG-58 at 145 MHz (23.5 dB round trip) -> a
//     CableWarning: the reading's 0.01 is 0.15 in |reflection| at the connector
// Failures, in this order:
//   BadInput: the build (freq, geometry, Zc, rod, capacitor as analyze()
//     takes them), an assumed Za or an element length that is not > 0
//   RodTooLong: the rod as built beyond half the element (or a quarter wave)
//   BadCable: Z0 outside 1 to 1e6 ohms, VF outside 0.01 to 1, a length or
//     loss below 0 or not finite
//   BadReading: a reading that is not finite
//   ShortOrOpen: an open at the far end of the cable explains the reading
//   NegativeResistance: Re of the reading at the connector < 0
//   ShortOrOpen: |reflection| on Zc above kShortOrOpenReflection
//   Unexplained: see calibrate(); or a Za beyond what design() takes
//   NoMatch: design() finds none for that Za (its message says what to change)
//   RodTooLong: the next rod beyond half the element (or a quarter wave)
Outcome<Adjustment> adjust(const AdjustInput& in, Complex reading);

// The reading as adjust() takes it before any model looks at it: taken back
// to the connector (through in.cable when given), its SWR on Zc, and with a
// lossy cable the warning. For another model of the match (NEC-2's) to
// calibrate from.
//   the build above, read 40 + j10 at the connector -> 40 + j10, SWR 1.37
// Failures: adjust()'s up to and including ShortOrOpen on Zc (the build, the
// cable, the reading); none of the closed form's.
struct ConnectorReading {
    Complex zin;
    double swr = 0;
    std::optional<CableWarning> cableWarning;
};
Outcome<ConnectorReading> readingAtConnector(const AdjustInput& in, Complex reading);

struct SweepRow {
    double freqMhz = 0;
    Complex reading; // at the connector
    double swrNow = 0;
    double swrNext = 0; // the next build, with the Za calibrated at this frequency
};

struct SweepAdjustment {
    Adjustment atDesign; // from the sweep interpolated at the design frequency
    std::vector<SweepRow> rows; // the points the model could calibrate
    int skippedPoints = 0; // the rest: a short, an open, a negative resistance
    double bestNowMhz = 0; // lowest SWR of the reading, the sweep's point
    double bestNowSwr = 0;
    double bestNextMhz = 0; // lowest SWR the next build is expected to show
    double bestNextSwr = 0;
};

// A sweep at the analyser (through in.cable when given): each point taken
// back to the connector, the reading at the design frequency interpolated
// linearly in R and X between its neighbours there (touchstone::impedanceAt),
// then adjust()'s step from it; at every point Za calibrated with the build
// as it is and the next build evaluated with it.
//   a sweep of 13.8 to 14.8 MHz of the build above, made by analyze() with
//     Za (f) = 18 + 2 (f - 14.3) + j (-25 + 40 (f - 14.3))
//     -> best now near the SWR minimum of the reading, best next at 14.3 MHz
//        with SWR 1.00
// Failures: adjust()'s; OutsideSweep: no points, or the design frequency
// outside the sweep (with touchstone::frequencyUnitHint() when it applies).
Outcome<SweepAdjustment> adjustSweep(const AdjustInput& in, const touchstone::OnePort& sweep);

} // namespace vostrel::adjust
