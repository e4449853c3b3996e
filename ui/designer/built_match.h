// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "full_wave_check.h"
#include "match_study.h"

#include <complex>
#include <optional>
#include <vector>

namespace vostrel::designer {

using study::MatchStudy;
using study::Tuning;

// Where the match to build comes from: the closed form, or NEC-2's refined
// match (then the closed form is only shown beside it, for comparison).
enum class BuildSource { ClosedForm, Nec };

// The one match the window offers to build: what the tuning sliders centre
// on, the SWR line, the plots about the tuned point, the drawing, the coax
// capacitor's insertion, Copy results and the exports. NEC-2's refined
// match when NEC-2 found one, else the closed form's design.
struct BuiltMatch {
    BuildSource source = BuildSource::ClosedForm;
    Tuning design; // the match itself
    Tuning tuning; // where the sliders have set the strap and capacitor
    std::complex<double> zinAtDesign;
    double swrAtDesign = 0;
    std::complex<double> zinTuned;
    double swrTuned = 0;
    // Metres, of the design's capacitor in the tube given: the closed form's
    // per metre of its capacitance; NEC-2's as a piece of open coaxial line.
    std::optional<double> insertionLength;
    // Where the capacitor sits: NEC-2's model's place; the closed form's is
    // beside the feed point.
    nec::CapacitorAt capacitorAt = nec::CapacitorAt::Feed;
    // About the tuned point, over the study's spans: SWR against the
    // capacitance and the rod length; against frequency, the closed form's
    // at the tuned point or NEC-2's sweep of its refined match (which the
    // sliders do not move; empty when NEC-2 gave none).
    std::vector<design::SweepPoint> byCapacitance;
    std::vector<design::SweepPoint> byRodLength;
    std::vector<design::SweepPoint> byFrequency;

    bool fromNec() const { return source == BuildSource::Nec; }
};

// Points of the sweeps of NEC-2's model (see nec::zinNear()).
inline constexpr int kNecModelPoints = 201;

// The match to build for `study` (tuned as the study is) and NEC-2's answer
// `nec` (null: none yet), tuned at `tuning` when given, else at its design.
// With NEC-2's refined match, its SWR comes from NEC-2's runs near it: Zin
// with the capacitor shorted interpolated between the search's rod
// lengths, the capacitor's reactance added exactly. Nothing when neither
// the closed form nor NEC-2 matches.
//   the README's dipole, no answer   -> ClosedForm, 1388 mm, 78.75 pF
//   the same with NEC-2's 1263 mm    -> Nec, 1263 mm, its capacitor, SWR about 1
//   no closed form, NEC-2 matches    -> Nec
//   no closed form, NEC-2 no match   -> nothing
std::optional<BuiltMatch> builtMatch(
    const MatchStudy& study, const FullWaveResult* nec, std::optional<Tuning> tuning = std::nullopt);

} // namespace vostrel::designer
