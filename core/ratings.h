// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coax_cable.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::ratings {

// What a gamma match's parts must stand at a transmitter's power: the line
// current, the series capacitor's voltage, the losses, and whether a
// coaxial capacitor's gap holds. SI units throughout: metres, amperes,
// volts (rms unless named peak), watts, MHz for the frequency.
//
// The model:
//   I      = sqrt(P / Zc), the line current at the match (SWR 1)
//   Imax   = sqrt(P S / Zc), the current maximum on the line when the load
//            is mismatched to SWR S and P is still delivered (the standard
//            standing-wave result: Imax = (1 + |rho|) I+, P = |I+|^2 Zc
//            (1 - |rho|^2)). The capacitor is taken as sitting at that
//            worst phase while tuning, so S is a margin, not a measurement.
//   Vc     = I Xc; peak = sqrt(2) rms (a sine)
//   The rod and strap carry the line current: the capacitor is in series
//   with the rod, so its current is the rod's at the feed end. The current
//   division alpha splits the antenna-mode current between rod and element
//   and does not scale this series current, so it is not applied; the
//   standing wave along the rod line is not modelled (an estimate).
//   Pcap   = I^2 Xc / Q
//   Rrod   = length rho / (pi d delta), delta = sqrt(rho / (pi f mu0)): the
//            skin-effect resistance of a round conductor (Terman, Radio
//            Engineers' Handbook, 1943, skin effect in round wires), the
//            strap taken as the rod's diameter and the spacing's length
//   Rating = 2 Vpeak(S): the safety factor of two builders use for RF
//   capacitors (sources in ratings.cpp)
//   Coaxial gap, rod radius r in a tube of inner radius R, the sleeve (if
//   any) filling it: E = V / (r ln(R / r)) at the rod's surface, the
//   highest field of the gap; breakdown at Vbd = Estrength r ln(R / r).
//   Where a sleeve ends (at the rod's end, or the tube's mouth when the
//   sleeve stops short of it) the same gap is air: 3 kV/mm r ln(R / r).
//   A piece of coax cable, inner conductor radius a in a dielectric of
//   outer radius b: the same E = V / (a ln(b / a)) at the conductor's
//   surface; the dielectric breaks down at Estrength a ln(b / a)
//   (coax::dielectricStrength()), and the air at the cut end of the braid,
//   where that field leaves the dielectric (the braid cut flush with it,
//   the worst case), at 3 kV/mm a ln(b / a). Its Q is that of its
//   dielectric: PE (solid or foam) as polyethylene, PTFE as PTFE.

enum class Capacitor { AirVariable, PtfeCoax, PolyethyleneCoax };
enum class Metal { Copper, Aluminium };

struct CapacitorKind {
    Capacitor kind;
    std::string_view name; // "air variable"
    std::string_view dielectric; // "air", "ptfe", "polyethylene" (design::dielectrics()' names)
    double q; // typical
    double strengthVoltsPerMetre; // typical breakdown field of the dielectric
};
// AirVariable: Q 2500, 3 kV/mm; PtfeCoax: Q 500, 20 kV/mm;
// PolyethyleneCoax: Q 300, 20 kV/mm (typical figures: sources in ratings.cpp).
std::span<const CapacitorKind> capacitorKinds();
const CapacitorKind& capacitorKind(Capacitor kind);
// By the dielectric's name: "ptfe" -> PtfeCoax, "air" -> AirVariable,
// "glass" -> nothing.
std::optional<Capacitor> capacitorOfDielectric(std::string_view dielectric);
// A piece of that cable: RG-213 (solid PE), RG-8X (foam PE) ->
// PolyethyleneCoax; RG-142 (PTFE) -> PtfeCoax.
Capacitor capacitorOfCable(const coax::Cable& cable);

struct MetalKind {
    Metal metal;
    std::string_view name; // "copper"
    double resistivity; // ohm metres at 20 C
};
// Copper 1.68e-8, aluminium 2.65e-8 ohm m.
std::span<const MetalKind> metals();
const MetalKind& metal(Metal which);

// The skin depth of a conductor, metres.
//   copper at 14.2 MHz -> 17.3 um;  aluminium at 144 MHz -> 6.83 um
double skinDepth(double resistivity, double freqMhz);
// The RF resistance of a round conductor whose diameter is many skin depths.
//   1 m of 10 mm copper at 14.2 MHz -> 0.0309 ohms
double skinResistance(double length, double diameter, double resistivity, double freqMhz);

struct Input {
    double freqMhz = 0;
    double lineImpedance = 50;
    double capacitorReactance = 0; // Xc, ohms; 0 for a shorted capacitor
    double rodLength = 0; // feed point to strap
    double rodDiameter = 0;
    double strapLength = 0; // the rod-to-element spacing
    double powerW = 0;
    double swrMargin = 2;
    Capacitor capacitor = Capacitor::AirVariable;
    Metal rodMetal = Metal::Aluminium;
    std::optional<double> tubeInnerDiameter; // a coaxial capacitor's tube
    // Or a piece of this cable (from coax::cables()): its dielectric, not
    // `capacitor`, then gives the Q and the strength.
    const coax::Cable* cable = nullptr;
};

enum class Field {
    Power,
    SwrMargin,
    Frequency,
    LineImpedance,
    CapacitorReactance,
    RodLength,
    RodDiameter,
    StrapLength,
    TubeInnerDiameter,
    Cable,
};

// Why there are no ratings: the first input that cannot be rated.
struct NoRating {
    Field field = Field::Power;
    std::string message;
};

// A warning is a value of the answer, not a failure.
struct Warning {
    enum class Kind {
        AboveBreakdown, // the peak at the margin exceeds what the dielectric holds
        AboveThirdOfBreakdown, // within a factor three of it
    };
    Kind kind = Kind::AboveBreakdown;
    std::string message; // says what to use instead
};

struct Ratings {
    double lineCurrent = 0; // I, A rms
    double lineCurrentAtMargin = 0; // Imax
    double capacitorVoltage = 0; // at the match, V rms
    double capacitorVoltagePeak = 0;
    double capacitorVoltageAtMargin = 0; // V rms
    double capacitorVoltagePeakAtMargin = 0;
    double rodCurrent = 0; // the line current, see above
    double capacitorQ = 0;
    double capacitorLoss = 0; // W, at the match
    double rodResistance = 0; // ohms
    double strapResistance = 0;
    double rodLoss = 0; // W, at the match
    double strapLoss = 0;
    double matchLoss = 0; // capacitor, rod and strap
    double recommendedVoltage = 0; // V peak
    double breakdownVoltage = 0; // V peak, the tube's gap or the cable's dielectric; 0 without either
    double surfaceFieldAtMargin = 0; // V/m at the rod's (inner conductor's) surface; 0 without either
    // V peak, the air at the cable's cut end or where a tube's sleeve ends;
    // 0 without either (an air gap is the gap itself).
    double airGapBreakdownVoltage = 0;
    std::vector<Warning> warnings;
};

// The ratings of a design at a power.
//   144 MHz, Zc 50, Xc 86, 100 W  -> I 1.414 A, Vc 121.6 V rms
//   same, 1500 W                  -> I 5.477 A, Vc 471.0 V rms, 666.1 V peak;
//                                    SWR 2: Imax 7.746 A, 942.1 V peak,
//                                    rating 1884 V peak
//   rod 6.35 mm in a 10.2 mm PTFE tube, 942 V peak -> E 0.627 kV/mm,
//   Vbd 30.1 kV, the air where the sleeve ends 4.51 kV: no warning; in an
//   air gap at 3 kV/mm Vbd 4.51 kV: none either; 3000 V peak in that air
//   gap (or where the PTFE sleeve ends) -> above a third of it.
//   RG-213 (2.26 mm in 7.24 mm of solid PE), 942 V peak -> E 0.716 kV/mm,
//   the PE holds 26.31 kV, the cut end's air 3.95 kV: no warning; 1.5 kV
//   peak -> above a third of the cut end's.
// Failures (NoRating, the first bad input in Field's order): power <= 0 or
// not finite; margin < 1 or not finite; frequency, line impedance, rod
// length, rod or strap length <= 0 or not finite; reactance < 0 or not
// finite; a tube inner diameter not above the rod's; a cable and a tube
// both, or a cable whose dielectric is not wider than its conductor.
std::variant<Ratings, NoRating> rate(const Input& in);

} // namespace vostrel::ratings
