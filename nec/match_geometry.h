// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "failure.h"
#include "wire.h"

#include <complex>
#include <optional>
#include <vector>

namespace vostrel::nec {

// The wires of an element with a gamma match, and of the lone tube. Lengths
// in metres, frequencies in MHz, capacitance in pF.

// Where the series capacitor sits: on the feed connection beside the
// source (a variable capacitor in a box at the feed point), or at the rod's
// feed end, in series between the feed connection and the rod (a coax
// capacitor inside the rod's tube, or a sleeve on the rod), or there and
// modelled as what a rod sliding into a tube is: a piece of coaxial line
// open at the rod's tip, in series at the rod's end (Tube, see TubeCapacitor).
enum class CapacitorAt { Feed, RodEnd, Tube };

// The tube the rod's end slides into for CapacitorAt::Tube: its inner
// diameter (metres, above the rod's) and the relative permittivity of the
// sleeve filling the gap (1 for air).
struct TubeCapacitor {
    double innerDiameter = 0;
    double permittivity = 1;
};

// That tube with the rod in it as a line (coax::tubeLine): Z0 = 60 /
// sqrt(er) ln(D / d), velocity factor 1 / sqrt(er), and the insertion
// whose open-line reactance is the capacitor's at `freqMhz`: l = atan(Z0 /
// X) / beta, X = 1 / (2 pi f C), beta = 2 pi f / (VF c). NEC-2's TL card
// takes a line in free space, so the card's length is l / VF.
//   ID 10.2 mm, rod 6.35 mm, PTFE 2.1, 130.33 pF at 14.2 MHz
//       -> Z0 19.61 ohms, VF 0.690, insertion 0.5198 m (0.5287 m per metre)
// Failures (BadInput): an inner diameter not above the rod's, a
// permittivity below 1, a capacitance or frequency not above 0.
struct TubeSection {
    double lineImpedance = 0;
    double velocityFactor = 0;
    double insertion = 0; // metres of rod inside the tube
    double freqMhz = 0; // the frequency it is for
};
Outcome<TubeSection> tubeSection(const TubeCapacitor& tube, double rodDiameter, double capacitancePf, double freqMhz);

// The insertion of the same line for another capacitance at its frequency
// (the range to allow for), 0 for none: atan(Z0 omega C) VF c / omega.
//   the example above, 100 pF -> 0.4016 m
double insertionFor(const TubeSection& line, double capacitancePf);

// The physical gamma match.
struct Match {
    double elementDiameter = 0;
    double rodDiameter = 0;
    double spacing = 0; // centre to centre
    double rodLength = 0; // feed point to strap
    double capacitancePf = 0; // 0: the capacitor is shorted (no LD card)
    // The side the rod lies on, a direction in the deck's own coordinates
    // (its part across the element is used, see sideAcross); none: away
    // from the other wires (rodSide), upwards (+z) for the lone tube.
    std::optional<Point> side = std::nullopt;
    CapacitorAt capacitorAt = CapacitorAt::Feed;
    TubeCapacitor tube{}; // with CapacitorAt::Tube
    // A series impedance in the element beside the feed point (ohms; 0: none):
    // what a reading of the built match says the element on the mast differs
    // by from the model (see reading.h).
    std::complex<double> elementCorrection{};
};

// How finely to cut the wires. `segmentScale` 2 halves every segment, for
// the convergence run.
struct Segmentation {
    double freqMhz = 0;
    int segmentScale = 1;
    // false: the element a single tube wire throughout, with a radius step
    // where the rod's wires meet it (only to show why the cage is used).
    bool cage = true;
    // The element's model as asked, not as the geometry picks it: 0 a
    // single tube wire, 2 to 6 a cage of that many wires (so long as none
    // touches another or the rod, else a single wire); -1 as
    // the geometry picks it (see ElementModel).
    int forcedCageWires = -1;
};

// How the element is modelled beside the match: a cage of `cageWires`
// rod-radius wires, or a single tube wire (cageWires 0). The geometry picks
// the most wires that stay 2.5 rod radii apart and clear of the rod (else
// 2.2 apart), and the single wire when none fits: an element less than about
// 1.5 rods thick.
//   25 mm element, 12.7 mm rod, 150 mm apart -> a cage of 3
//   0.5 in element, 0.375 in rod -> a single wire (0)
int elementModel(const Match& match, const Segmentation& cut);

// The wires of an element with a gamma match. The element runs from
// `elementFrom` to `elementTo`, fed at `feed` on it; the rod lies towards
// `elementTo` at `spacing` in direction `side` (a unit vector at right
// angles to the element). The element's wires all get `elementTag` (so that
// a load on that tag covers them); the feed connection, rod and strap get
// `firstMatchTag` and the two after it. The source is on wire `sourceWire`,
// segment `sourceSegment` (the middle of the feed connection); the
// capacitor's load on wire `capacitorWire`, segment `capacitorSegment`: the
// source's with CapacitorAt::Feed, the rod's first with RodEnd and Tube.
struct MatchWires {
    std::vector<Wire> wires;
    int sourceWire = 0;
    int sourceSegment = 0;
    int capacitorWire = 0;
    int capacitorSegment = 0;
    // The element's wires that end at the feed point from the side away from
    // the rod (one per cage wire): their last segment, beside the feed point,
    // takes the element's correction.
    std::vector<int> feedSideWires;
    bool cage = false; // the element is modelled as a cage of rod-radius wires
    int cageWires = 0;
    double cageRadius = 0;
};
Outcome<MatchWires> matchWires(const Match& match, const Point& elementFrom, const Point& elementTo, const Point& feed,
    const Point& side, const Segmentation& cut, int elementTag, int firstMatchTag);

// A lone straight tube of `length` and `diameter` along x, centred on the
// origin, of tag 1 and an odd number of segments (one at the centre for the
// source): a fortieth of a wavelength each, halved with segmentScale 2.
Wire tubeWire(double length, double diameter, const Segmentation& cut);

// The rod's side as asked, for an element running along `along`: the part
// of `asked` across the element, of unit length. BadInput when that part
// is not most of `asked` (a side within 30 degrees of the element's line),
// naming both.
//   along (1, 0, 0): (0, 0, 1) -> (0, 0, 1)    (0.5, 0, -1) -> (0, 0, -1)
//                    (1, 0, 0), (-1, 0, 0.5) -> BadInput, "the rod side +x
//                    runs along the driven element, which lies along x; ..."
Outcome<Point> sideAcross(const Point& along, const Point& asked);

// The side the match's rod lies on along an element running along
// `along`: match.side across the element (sideAcross), or `otherwise`.
Outcome<Point> sideOf(const Match& match, const Point& along, const Point& otherwise);

} // namespace vostrel::nec
