// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::coax {

// The coaxial cables builders put between the match and the analyser, and
// any other line given by its figures. Lengths in metres, frequencies in
// MHz, impedances in ohms, loss in dB per 100 m (matched: the line
// terminated in its own impedance).

enum class Dielectric { SolidPe, FoamPe, Ptfe };

// "solid PE", "foam PE", "PTFE".
std::string_view dielectricName(Dielectric dielectric);

// The field a cable's dielectric stands, volts per metre peak (typical,
// sources in coax_cable.cpp): solid PE and PTFE 20 kV/mm, foam PE 3 kV/mm
// (taken as the air in its cells).
double dielectricStrength(Dielectric dielectric);

struct LossPoint {
    double freqMhz = 0;
    double dbPer100m = 0;
};

// The matched loss at `freqMhz` (> 0 and finite, otherwise NaN) from listed
// points in increasing frequency: one point scales as sqrt(f) from it
// (conductor loss, which rules below a GHz); two or more are interpolated in
// log-log between the two neighbours, loss = L1 (f / f1)^n with
// n = ln(L2 / L1) / ln(f2 / f1), and extrapolated from the end segment
// below the first point and above the last. A listed frequency gives its
// listed loss exactly. No points: 0 (a lossless line).
//   {{100, 10}}, 400             -> 20
//   {{10, 2}, {100, 6}}, 10      -> 2 (exact)
//   {{10, 2}, {100, 8}}, 1000    -> 32 (n = 0.602 from the end segment)
//   {{10, 2}, {100, 8}}, 1       -> 0.5
//   {{100, 10}}, 0 or -1 or NaN  -> NaN
double lossAt(std::span<const LossPoint> points, double freqMhz);

struct Cable {
    std::string_view name; // as the maker writes it: "RG-213", "Aircell 7"
    double impedance = 50; // ohms
    double velocityFactor = 0;
    double pfPerMetre = 0;
    Dielectric dielectric = Dielectric::SolidPe;
    std::array<LossPoint, 4> loss{}; // the first lossCount are listed
    std::size_t lossCount = 0;
    // The cross-section, for a piece used as a capacitor: the inner
    // conductor's diameter and the dielectric's outer one (the braid's
    // inside), metres.
    double innerDiameter = 0;
    double dielectricDiameter = 0;

    std::span<const LossPoint> lossPoints() const { return {loss.data(), lossCount}; }
};

// Every cable the program knows, in the order messages list them.
std::span<const Cable> cables();

// The cable called `name`, ignoring case, '-', '_' and ' '.
//   "rg213", "RG-213", "rg_213" -> RG-213;  "aircell7" -> Aircell 7
// Failure, a sentence listing the known names:
//   "RG-999" -> "unknown cable \"RG-999\": the known cables are RG-58, RG-8X, ..."
//   ""       -> "no cable named: the known cables are RG-58, ..."
std::variant<const Cable*, std::string> findCable(std::string_view name);

// A length of line: one of the table's cables or any other by its figures.
struct Line {
    std::string name; // the cable's name; empty for a line given by figures
    double impedance = 50; // ohms, taken as real (the low-loss line)
    double velocityFactor = 1;
    std::vector<LossPoint> loss; // as lossAt() reads them
    double length = 0; // metres

    double lossDbPer100m(double freqMhz) const { return lossAt(loss, freqMhz); }
};

// `length` metres of `cable`.
Line lineOf(const Cable& cable, double length);

// A line from text, blanks around each field ignored, "." as the decimal
// point:
//   "Z0,VF,DB100M@MHZ,LENGTH" -> "50,0.66,16@100,12m": 50 ohms, VF 0.66,
//       16 dB/100 m at 100 MHz (scaled with sqrt(f)), 12 m
//   "NAME,LENGTH"             -> "rg213, 30 ft": RG-213, 9.144 m
// The length takes a unit (mm, cm, m, in, ft), "m" when left out.
// Failures, a sentence each:
//   "50,0.66,16,12m"   -> "the loss \"16\" needs its frequency: dB per 100 m @ MHz, e.g. 16@100"
//   "50,1.2,16@100,12" -> "the velocity factor must be between 0.01 and 1"
//   "0,0.66,16@100,12" -> "the line impedance must be between 1 and 1000000 ohms"
//   "50,0.66,-1@100,1" -> "the loss must be 0 dB per 100 m or more"
//   "50,0.66,1@0,1"    -> "the loss's frequency must be above 0 MHz"
//   "rg999,10m"        -> findCable()'s sentence
//   "rg213"            -> "a line is NAME,LENGTH or Z0,VF,DB100M@MHZ,LENGTH (e.g. RG-213,12m or 50,0.66,16@100,12m)"
//   "rg213,-3m"        -> "the line's length must be 0 or more"
//   "rg213,3yd"        -> "the line's length: unknown unit \"yd\": use mm, cm, m, in or ft"
std::variant<Line, std::string> parseLine(std::string_view text);

} // namespace vostrel::coax
