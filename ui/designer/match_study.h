#pragma once

#include "design_inputs.h"
#include "gamma_design.h"
#include "touchstone.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vostrel::designer {

// Where the builder has set the strap and the capacitor.
struct Tuning {
    double rodLength = 0; // metres
    double capacitancePf = 0;
};

// The design for the inputs, the match as tuned, and the three sweeps the
// plots show, all from the core. Thin: the window asks, this computes.
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
    // study shares the file, so it outlives the window forgetting it.
    void setInputs(const ValidInputs& inputs, std::shared_ptr<const touchstone::OnePort> measured);
    // Re-analyses the tuned point and redoes the sweeps. Only with a design.
    void setTuning(Tuning tuning);

    const ValidInputs& inputs() const { return m_inputs; }
    bool hasDesign() const { return m_design.has_value(); }
    const design::Design& design() const { return *m_design; } // only with hasDesign()
    const design::Problem& problem() const { return m_problem; } // only without
    Tuning designTuning() const;
    Tuning tuning() const { return m_tuning; }
    const design::Analysis& designed() const { return m_designed; } // the match at the design values
    const design::Analysis& tuned() const { return m_tuned; }
    std::optional<double> insertionLength() const { return m_insertionLength; } // metres

    const std::vector<design::SweepPoint>& byCapacitance() const { return m_byCapacitance; }
    const std::vector<design::SweepPoint>& byRodLength() const { return m_byRodLength; }
    const std::vector<design::SweepPoint>& byFrequency() const { return m_byFrequency; }
    bool measuredFrequencySweep() const { return m_measured != nullptr; }

private:
    void sweepFrequency();

    int m_points;
    ValidInputs m_inputs;
    std::shared_ptr<const touchstone::OnePort> m_measured;
    std::optional<design::Design> m_design;
    design::Problem m_problem;
    Tuning m_tuning;
    design::Analysis m_designed;
    design::Analysis m_tuned;
    std::optional<double> m_insertionLength;
    std::vector<design::SweepPoint> m_byCapacitance;
    std::vector<design::SweepPoint> m_byRodLength;
    std::vector<design::SweepPoint> m_byFrequency;
};

} // namespace vostrel::designer
