// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "deck_reader.h"
#include "deck_writer.h"
#include "failure.h"
#include "gamma_design.h"
#include "runner.h"

#include <complex>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace vostrel::nec {

// Checking and refining a gamma match in NEC-2 (nec2c), from the element's
// length or the user's antenna model.
//
// The match as modelled: the element continuous at the feed point, the rod
// parallel at the centre-to-centre spacing, the shorting strap at the rod
// length, the feed connection from the element to the rod's end carrying
// the source, and the capacitor in series on the source segment (an LD
// card). Near the match the element is a cage of rod-radius wires with the
// tube's equivalent radius (see match_geometry.cpp for why).

// A lone straight tube in free space, fed at its centre.
struct DipoleElement {
    double length = 0; // tip to tip, metres
};

struct NecJob {
    // Frequency, element and rod diameters, spacing, line impedance, the
    // step-up convention and the closed-form model for the starting point.
    // The feed impedance is not used: NEC computes the bare element's.
    design::DesignInput design;
    std::variant<DipoleElement, UserDeck> element;
    RunOptions run;
    // The side the rod lies on, a direction in the deck's own coordinates
    // (see Match::side); none: away from the other wires, upwards for the
    // lone tube.
    std::optional<Point> rodSide;
    // The average gain test and the convergence run with halved segments.
    bool checks = true;
    // Where the capacitor sits (see CapacitorAt): the refined rod and
    // capacitor are for that build.
    CapacitorAt capacitorAt = CapacitorAt::Feed;
    TubeCapacitor tube{}; // the capacitor's tube, with CapacitorAt::Tube
    // A series impedance in the element beside its feed point, in every run
    // (the bare element's too): what a reading of the built match says the
    // element differs by from the model (see reading.h). 0: the model as it is.
    std::complex<double> elementCorrection{};
    // Called by refine() on its own thread once the confirming run has
    // matched, with the rod and capacitor it returns, before the checks
    // run: work that needs only the match (a sweep) can start beside them.
    // May be empty.
    std::function<void(double rodLength, double capacitancePf)> onMatched;
    // The element's model as asked (Segmentation::forcedCageWires); -1 as
    // the geometry picks it.
    int forcedCageWires = -1;
};

// NEC's Zin with the capacitor shorted at one rod length (metres).
struct RodSample {
    double length = 0;
    std::complex<double> z;
};

struct Refined {
    std::complex<double> feedImpedance; // NEC's, bare element
    // The closed form from NEC's feed impedance; null when it finds no
    // match (then closedFormMessage says why).
    std::optional<design::Design> closedForm;
    std::string closedFormMessage;
    // The closed form's rod and capacitor built as printed, in NEC (null
    // when there is none or the rod does not fit on the element).
    std::optional<double> closedFormSwr;
    std::complex<double> closedFormZin;

    double rodLength = 0; // metres, where NEC's Re Zin (capacitor shorted) is the line impedance
    double capacitancePf = 0; // from NEC's Im Zin there
    CapacitorAt capacitorAt = CapacitorAt::Feed; // where it sits in the model
    // With CapacitorAt::Tube, the rod in its tube as the model has it (none
    // when the capacitor is shorted).
    std::optional<TubeSection> tube;
    std::complex<double> zin; // the confirming run, capacitor in place
    double swr = 0;
    int searchRuns = 0; // nec2c runs of the rod length search
    // Every run of that search, by rod length: the tuning sliders' model
    // near the refined match (see zinNear()).
    std::vector<RodSample> samples;
    // How much of the capacitor's series reactance reaches Zin: exactly 1
    // beside the feed point; at the rod's end, fitted to the confirming run
    // (Zin = shorted Zin - gain jX, the first term of the load's bilinear
    // map, exact at the refined match).
    std::complex<double> capacitorGain = 1;

    // Checks (when asked for): the average gain of the lossless model in
    // free space (1 for a perfect model), and the refinement repeated with
    // every segment halved.
    std::optional<double> averageGain;
    std::optional<double> halvedRodLength;
    std::optional<double> halvedCapacitancePf;
    double rodChange = 0; // (halved - rodLength) / rodLength
    double capacitanceChange = 0; // likewise
    bool doubtful = false; // average gain outside 0.95..1.05, rod moved > 3 %, capacitor > 5 %
    std::string doubt; // why, for the report ("" when not doubtful)

    int runs = 0; // nec2c runs in all
    // The model's cage, for the report.
    bool cage = false;
    int cageWires = 0;

    // With the checks, where a rod kModelReach thinner or thicker would
    // change the element's model (elementModel: the cage's count of wires,
    // or cage and single wire), the match refined in that other model at
    // this geometry, without its checks: the two answers may differ by far
    // more than either's checks say (a 0.335 in rod beside a 0.5 in element,
    // 4 in apart: a cage of 2 gives 82.5 pF, a single wire 110.4 pF), and the
    // allowance covers both. rodLength 0 when NEC-2 gave no match there.
    struct OtherModel {
        int matchedCageWires = 0; // the refined match's element model (0: a single tube wire)
        int cageWires = 0; // the other's
        double rodLength = 0;
        double capacitancePf = 0;
    };
    std::optional<OtherModel> otherModel;
};

// How far the rod's diameter may be from one at which the element's model
// changes before the other model is refined too (Refined::otherModel).
inline constexpr double kModelReach = 0.05;

// Newton steps at most that move rod and capacitor together when the
// capacitor sits at the rod's end; still off after them: NoMatch.
inline constexpr int kCapacitorSteps = 8;
// Zin near the refined match without another run: Zin with the capacitor
// shorted interpolated linearly in the rod length between the two samples
// either side (beyond them, from the two nearest), and the capacitor's
// reactance added in series, exactly as NEC's load on the source segment
// adds it (times `capacitorGain`, Refined::capacitorGain, for a capacitor
// elsewhere). An infinite capacitance is a shorted capacitor. Zero without
// samples.
//   samples {1 m, 40 + j100}, {1.2 m, 60 + j120}; 1.1 m, shorted -> 50 + j110
//   the same at 1.1 m with C for 110 ohms at freqMhz            -> 50 + j0
//   the same with capacitorGain 0.9                             -> 50 + j11
std::complex<double> zinNear(const std::vector<RodSample>& samples, double rodLength, double capacitancePf,
    double freqMhz, std::complex<double> capacitorGain = 1);

// Thresholds of "doubtful".
inline constexpr double kAverageGainLow = 0.95;
inline constexpr double kAverageGainHigh = 1.05;
inline constexpr double kRodTolerance = 0.03;
inline constexpr double kCapacitanceTolerance = 0.05;

// Past these the model is not doubtful but invalid (NecFailure::Invalid, no
// numbers): the average gain outside kInvalidGainLow..kInvalidGainHigh, the
// rod moving more than kInvalidRodChange with halved segments (or no match
// with them), a negative input resistance anywhere in the search.
inline constexpr double kInvalidGainLow = 0.8;
inline constexpr double kInvalidGainHigh = 1.25;
inline constexpr double kInvalidRodChange = 0.10;

// The element lengths a gamma match is built on, in wavelengths: from a
// short loaded element to a long wire; outside them the length is a slip
// (a unit, a band) rather than an antenna.
inline constexpr double kShortestElement = 0.05;
inline constexpr double kLongestElement = 3;

// Why an element `length` metres long (tip to tip along its line) is no
// element for a gamma match at `freqMhz`; nothing when it is one.
//   10.1, 14.2 -> nothing
//   0.0102, 14.2 -> "the element is 0.010 m long, 0.000483 wavelengths at
//     14.2 MHz: an element a gamma match feeds is 0.05 to 3 wavelengths
//     (1.056 m to 63.336 m) long; check the length and its unit"
std::optional<std::string> elementLengthRefusal(double length, double freqMhz);

// A refined match whose confirming run leaves an SWR above this is no match
// (NecFailure::NoMatch, with the Re Zin and rod it reached).
inline constexpr double kMatchedSwr = 1.5;

// The rod's length limit for the job: the element's straight centre section
// beyond the feed point on its longer side (97 % of it, leaving room for the
// strap), at most a quarter wave; `why` names it for messages.
struct RodLimit {
    double length = 0;
    std::string why; // "the element's straight 1.500 m beyond the feed point"
};
RodLimit rodLimit(const NecJob& job);

// Why a model is doubtful, "" when it is not: the average gain outside
// kAverageGainLow..kAverageGainHigh, the rod moving more than kRodTolerance
// or the capacitor more than kCapacitanceTolerance (relative) with halved
// segments; the limits themselves pass.
//   1.0, +0.01, -0.02 -> ""
//   0.9, +0.04, 0     -> "the average gain is 0.900, not about 1; the rod moves +4.0 % with halved segments"
std::string doubtOf(double averageGain, double rodChange, double capacitanceChange);

// The R and X given for the closed form and NEC-2's feed impedance of the
// bare element differ "largely" past this share of NEC-2's magnitude: the
// closed form beside NEC-2's answer is then another element's.
inline constexpr double kFeedDifference = 0.10;
//   against NEC's 72.25 + j1.92 (a tenth of it is 7.23 ohms):
//   72.25 + j1.92 -> false    66 + j1.92 -> false (6.25 ohms off)
//   65 + j1.92 -> true (7.25 ohms off)    25 - j25 -> true
bool feedDiffersFromNec(std::complex<double> given, std::complex<double> nec);

// The side the job's rod lies on, of unit length: its rodSide across the
// element (see sideAcross), else away from the other wires (rodSide), else
// upwards. BadInput when rodSide runs along the element.
//   the lone tube (along x), rodSide (0, 0, -1) -> (0, 0, -1)
//   beam.nec (element along y, reflector at -x), none -> (1, 0, 0)
Outcome<Point> rodSideOf(const NecJob& job);

// 0. the rod's side (refused before nec2c runs when it runs along the
//    element);
// 1. the bare element, for its feed impedance and the closed-form design;
// 2. the closed form as built: the search's first run, at its rod length,
//    with its capacitor's reactance added in series (in another step-up
//    convention, or with the capacitor at the rod's end, a run of its own);
// 3. the rod length search for the shortest rod that matches: from the
//    whole convention's closed-form length (so the convention and model
//    shown change nothing else; see withClosedForm()), steps of 30 % down
//    while Re Zin is above the line impedance; while below, one step up
//    when the start lies in the first half of the rod's range and that
//    step brackets the crossing, else steps up from a quarter of the start
//    (from a twenty-fifth of the limit when the closed form finds no
//    match); then, as in Brent's method, the parabola through three
//    samples (else regula falsi, Illinois; halving the bracket when the
//    steps stop shrinking) to 0.5 % of the line impedance;
//    within the rod's physical limit (the element beyond the feed point, or
//    a quarter wave);
// 4. the capacitor from Im Zin there; with the capacitor at the rod's end
//    (where it is not simply in series with the source), rod and capacitor
//    then moved together by Newton steps on Zin until it is within 0.5 % of
//    the line impedance (kCapacitorSteps at most); confirmed by a run
//    holding it;
// 5. the checks (the halved run places the capacitor the same way).
// Failures: BadInput (the geometry does not fit, an element length
// elementLengthRefusal() refuses), BadDeck, the runner's,
// NoMatch (with the nearest Re Zin and its rod length; a capacitive Im Zin
// at the matching length, which no capacitor cancels; a confirming run with
// an SWR above kMatchedSwr), Invalid (see kInvalidGainLow: why, and what to
// change). A closed-form rod longer than rodLimit() is no closed form: the
// search then starts from the shortest rod.
//   14.2 MHz, 10.1 m tube of 25 mm, rod 12.7 mm at 150 mm, Zc 50
//     -> a rod and capacitor whose confirming run has SWR below 1.05
Outcome<Refined> refine(const NecJob& job);

// `refined`, a refinement of the same job shown in another step-up
// convention or closed-form model, with its closed form redone for `job`'s
// (closedForm, closedFormMessage, closedFormSwr, closedFormZin; runs counts
// the run). The rest holds: the refinement does not depend on them, its
// search starting from the whole convention's rod whichever the job shows.
// At most one run, none when the search sampled the closed form's rod and
// the capacitor sits beside the feed point.
//   the 20 m dipole refined in the half convention, redone for the whole
//     -> refine() of the whole convention's job field by field (runs
//        aside), no run of its own
//   the whole one redone for the half -> one run; refine() of the half's job
// Failures: the runner's.
Outcome<Refined> withClosedForm(const NecJob& job, Refined refined);

// NEC's Zin of a build at the design frequency, the capacitor in place (0:
// shorted) and the job's element correction with it: one run.
// Failures: BadInput (the match does not fit), BadDeck, the runner's.
Outcome<std::complex<double>> zinOfBuild(const NecJob& job, double rodLength, double capacitancePf);

// The matched antenna's deck for the user's own modelling program: the
// user's deck with the match in place (their FR, RP and other controls
// kept), or the tube with the match.
Outcome<std::string> writeMatchedDeck(const NecJob& job, double rodLength, double capacitancePf);

// The match's SWR over `count` evenly spaced frequencies, both ends
// included; x is the frequency in MHz. nec2c computes `fromNec` of them,
// evenly spread with both ends (0, or count or more: every one); the rest
// are interpolated between them (interpolateEvenly(), degree 3, of the
// reflection coefficient on the line), exact where a point falls on one of
// NEC-2's. Four or more frequencies from NEC-2 take two runs at once, half
// of them each.
//   the 20 m dipole's match, 13.8 to 14.6 MHz, 9 points -> the middle one
//     the confirming run's Zin, the ends an SWR above it
//   41 points from 11: within 0.005 in SWR of the 41 from NEC-2 where the
//     SWR is below 3 (measured on the dipole, a 160 m cage of six and a
//     two-element beam whose ends reach an SWR of 330)
// Failures: BadInput for count < 2, to <= from; the runner's.
Outcome<std::vector<design::SweepPoint>> sweep(const NecJob& job, double rodLength, double capacitancePf,
    double fromMhz, double toMhz, int count, int fromNec = 0);

} // namespace vostrel::nec
