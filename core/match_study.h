// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_design.h"
#include "length_text.h"
#include "touchstone.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vostrel::study {

// A design and everything around it: the inputs, the design or why there
// is none, where the builder has set the strap and capacitor, and the sweeps
// about that setting. The designer window and vostrel-design both work
// through it. Lengths in metres, capacitances in pF, frequencies in MHz.

// Every input once read.
struct Inputs {
    design::DesignInput design;
    design::Unit unit = design::Unit::Inch; // lengths are shown in this unit
    std::optional<double> tubeInnerDiameter; // a coaxial capacitor's tube, metres
    double permittivity = 1; // of its sleeve
};

// Where the strap and the capacitor are set.
struct Tuning {
    double rodLength = 0; // metres
    double capacitancePf = 0; // infinite: shorted
};

// The tuning sliders of the window and the web page: kTuningSteps either
// way of the design, each step a share of the design's rod length or
// capacitance.
inline constexpr int kTuningSteps = 100;
inline constexpr double kStrapStep = 0.0025; // 0.25 % of the rod length
inline constexpr double kCapacitorStep = 0.005; // 0.5 % of the capacitance

// The strap and capacitor `strapSteps` and `capacitorSteps` from `design`.
//   {1 m, 100 pF}, 4, -2 -> {1.01 m, 99 pF}    {1 m, 100 pF}, 0, 0 -> {1 m, 100 pF}
Tuning tunedBySteps(Tuning design, int strapSteps, int capacitorSteps);

enum class Swept { Capacitance, RodLength, Frequency };

// The rod length and capacitance to hold while sweeping `swept`: the ones
// given, and only a missing one from the design (the swept one is not
// needed). Failures: design()'s, when it is needed.
//   ARRL example, rod 30 in given, sweeping Capacitance -> {0.762 m, (unused)}
//   ARRL example, nothing given, sweeping Frequency     -> {38.90 in, 96.14 pF}
//   Za 5 + j10 on the 1.5/0.5/6 in geometry, nothing given -> NoMatch
design::Outcome<Tuning> heldTuning(
    const design::DesignInput& in, std::optional<double> rodLength, std::optional<double> capacitancePf, Swept swept);

// Every point of a measurement as the model takes it, in MHz.
//   a file with 14 and 14.1 MHz points -> two points, same impedances
std::vector<design::MeasuredPoint> measuredPoints(const touchstone::OnePort& file);

// `count` frequencies evenly spaced across the file's span, both ends
// included, each with the impedance interpolated as impedanceAt() does.
// Fewer than `count` only where the file has fewer than two points: a
// one-point file gives that point alone; an empty file nothing.
//   points at 14 and 15 MHz, count 3 -> 14, 14.5, 15 MHz
std::vector<design::MeasuredPoint> measuredAcross(const touchstone::OnePort& file, int count);

// The design for the inputs, the match as tuned, and the three sweeps a
// window plots about the tuning.
class MatchStudy {
public:
    static constexpr int kDefaultPoints = 500;

    // The sweeps' spans around the design (the tuning sliders stay inside).
    static constexpr std::array kCapacitanceSpan = {0.4, 1.6}; // times the design capacitance
    static constexpr std::array kRodLengthSpan = {0.7, 1.3}; // times the design rod length
    static constexpr double kFrequencySpan = 0.05; // +-5 % of the frequency without a file

    explicit MatchStudy(int points = kDefaultPoints);

    // Designs afresh and puts the tuning on the design. With a measurement
    // file, the frequency sweep uses its impedances across its span; the
    // study shares the file, so it outlives the caller forgetting it.
    void setInputs(const Inputs& inputs, std::shared_ptr<const touchstone::OnePort> measured);
    // Re-analyses the tuned point and redoes the sweeps. Only with a design.
    void setTuning(Tuning tuning);

    const Inputs& inputs() const { return m_inputs; }
    bool hasDesign() const { return m_design.has_value(); }
    const design::Design& design() const { return *m_design; } // only with hasDesign()
    const design::Problem& problem() const { return m_problem; } // only without
    Tuning designTuning() const;
    Tuning tuning() const { return m_tuning; }
    const design::Analysis& atDesign() const { return m_atDesign; } // the match at the design's values
    const design::Analysis& tuned() const { return m_tuned; }
    std::optional<double> insertionLength() const { return m_insertionLength; } // metres

    const std::vector<design::SweepPoint>& byCapacitance() const { return m_byCapacitance; }
    const std::vector<design::SweepPoint>& byRodLength() const { return m_byRodLength; }
    const std::vector<design::SweepPoint>& byFrequency() const { return m_byFrequency; }
    bool measuredFrequencySweep() const { return m_measured != nullptr; }

private:
    void sweepFrequency();

    int m_points;
    Inputs m_inputs;
    std::shared_ptr<const touchstone::OnePort> m_measured;
    std::optional<design::Design> m_design;
    design::Problem m_problem;
    Tuning m_tuning;
    design::Analysis m_atDesign;
    design::Analysis m_tuned;
    std::optional<double> m_insertionLength;
    std::vector<design::SweepPoint> m_byCapacitance;
    std::vector<design::SweepPoint> m_byRodLength;
    std::vector<design::SweepPoint> m_byFrequency;
};

} // namespace vostrel::study
