#include "match_study.h"

#include <cmath>
#include <utility>
#include <variant>

namespace vostrel::designer {

namespace {

template <typename T> std::vector<T> valueOr(design::Outcome<std::vector<T>> outcome)
{
    if (auto* value = std::get_if<std::vector<T>>(&outcome)) {
        return std::move(*value);
    }
    return {};
}

} // namespace

MatchStudy::MatchStudy(int points)
    : m_points(points)
{ }

void MatchStudy::setInputs(const ValidInputs& inputs, std::shared_ptr<const touchstone::OnePort> measured)
{
    m_inputs = inputs;
    m_measured = std::move(measured);
    m_insertionLength.reset();
    auto outcome = design::design(inputs.design);
    if (auto* problem = std::get_if<design::Problem>(&outcome)) {
        m_problem = *problem;
        m_design.reset();
        m_byCapacitance.clear();
        m_byRodLength.clear();
        m_byFrequency.clear();
        return;
    }
    m_design = std::get<design::Design>(outcome);
    const auto designed = design::analyze(inputs.design, m_design->rodLength, m_design->capacitancePf);
    m_designed = std::holds_alternative<design::Analysis>(designed) ? std::get<design::Analysis>(designed)
                                                                    : design::Analysis{};
    if (inputs.tubeInnerDiameter && !m_design->capacitorShorted) {
        const auto length = design::insertionLength(m_design->capacitancePf, *inputs.tubeInnerDiameter,
            inputs.design.geometry.rodDiameter, inputs.permittivity);
        if (const auto* metres = std::get_if<double>(&length)) {
            m_insertionLength = *metres;
        }
    }
    setTuning(designTuning());
}

Tuning MatchStudy::designTuning() const
{
    return {m_design->rodLength, m_design->capacitancePf};
}

void MatchStudy::setTuning(Tuning tuning)
{
    m_tuning = tuning;
    const design::DesignInput& in = m_inputs.design;
    const auto analysis = design::analyze(in, tuning.rodLength, tuning.capacitancePf);
    m_tuned = std::holds_alternative<design::Analysis>(analysis) ? std::get<design::Analysis>(analysis)
                                                                 : design::Analysis{};
    const double c = m_design->capacitancePf;
    if (std::isfinite(c)) {
        m_byCapacitance = valueOr(
            design::sweepCapacitance(in, tuning.rodLength, kCapacitanceSpan[0] * c, kCapacitanceSpan[1] * c, m_points));
    } else {
        m_byCapacitance.clear(); // a shorted capacitor has nothing to sweep
    }
    const double l = m_design->rodLength;
    m_byRodLength = valueOr(
        design::sweepRodLength(in, tuning.capacitancePf, kRodLengthSpan[0] * l, kRodLengthSpan[1] * l, m_points));
    sweepFrequency();
}

void MatchStudy::sweepFrequency()
{
    const design::DesignInput& in = m_inputs.design;
    if (m_measured == nullptr) {
        m_byFrequency = valueOr(design::sweepFrequency(in, m_tuning.rodLength, m_tuning.capacitancePf,
            in.freqMhz * (1 - kFrequencySpan), in.freqMhz * (1 + kFrequencySpan), m_points));
        return;
    }
    // The measured impedance, interpolated as for the R and X fields, at
    // evenly spaced frequencies across the file's span.
    m_byFrequency.clear();
    const auto& points = m_measured->points;
    if (points.size() < 2) {
        return;
    }
    const double from = points.front().freqHz;
    const double to = points.back().freqHz;
    std::vector<design::MeasuredPoint> measured;
    measured.reserve(static_cast<std::size_t>(m_points));
    for (int i = 0; i < m_points; ++i) {
        const double hz = i + 1 == m_points ? to : from + (to - from) * i / (m_points - 1);
        if (const auto za = touchstone::impedanceAt(*m_measured, hz)) {
            measured.push_back({hz / 1e6, *za});
        }
    }
    m_byFrequency = valueOr(design::sweepMeasured(in, m_tuning.rodLength, m_tuning.capacitancePf, measured));
}

} // namespace vostrel::designer
