// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "refine.h"

#include <complex>

namespace vostrel::nec {

// The next cut of a built match from an analyser's reading, in NEC-2's
// model of the match.
//
// The reading is taken as right about the antenna, and NEC-2's model as
// right about the match (the rod, strap, feed connection and capacitor, as
// built) and wrong about the element by a series impedance dZ in the
// element beside the feed point (NecJob::elementCorrection): for a lone
// tube that is exactly a change of its feed impedance by dZ; booms, clamps,
// a mast and an element cut a little long or short move the real one so.
// The build's Zin is a bilinear map of a load on one segment (the rest of
// the structure is linear; nearly so for a cage's wires side by side), so
// three runs (dZ 0, a resistance, a reactance) place dZ by the cross ratio,
// and each further run refits the map through the three latest points
// until NEC's Zin is within kReadingTolerance of the reading. refine() with
// that dZ then gives the next rod and capacitor.

// The calibrated Zin within this share of the line impedance of the reading.
inline constexpr double kReadingTolerance = 0.002;
// Runs of the build at most, the first (the model as it is) included.
inline constexpr int kCalibrationRuns = 8;

struct BuildRead {
    std::complex<double> modelZin; // NEC's Zin of the build as modelled (dZ 0)
    std::complex<double> correction; // dZ, ohms
    std::complex<double> calibratedZin; // NEC's Zin of the build with dZ
    int runs = 0;
};

// dZ for a build (`capacitancePf` 0: shorted) read `reading` at the match's
// connector; the job's own elementCorrection is replaced.
//   the 20 m dipole of refine() built at 1.26 m and 79 pF, read as NEC's
//     Zin of that build with dZ 8 - j20 -> dZ 8 - j20 (to 5 %)
//   read as modelled -> dZ 0, in one run
// Failures: those of zinOfBuild(); NoMatch when no dZ within
// kCalibrationRuns gives the reading (its message says to check the
// reading and the build's figures).
Outcome<BuildRead> calibrateBuild(
    const NecJob& job, double rodLength, double capacitancePf, std::complex<double> reading);

struct NextCut {
    BuildRead read;
    // refine() of the job with dZ, checks off: its feedImpedance is the
    // element's the reading shows (NEC's bare element with dZ), its rod and
    // capacitor the next cut, its swr what the model then expects.
    Refined next;
    int runs = 0; // both together
};

// calibrateBuild() and then refine() with its dZ.
//   the dipole above, built at its refined match, read as NEC's Zin of it
//     with dZ 10 - j30 -> a next cut whose Zin, built on that antenna (NEC
//     with dZ), has SWR below 1.05
// Failures: calibrateBuild()'s and refine()'s.
Outcome<NextCut> nextCut(const NecJob& job, double rodLength, double capacitancePf, std::complex<double> reading);

} // namespace vostrel::nec
