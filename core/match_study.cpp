// SPDX-License-Identifier: GPL-3.0-or-later
#include "match_study.h"

#include <cmath>
#include <utility>
#include <variant>

namespace vostrel::study {

namespace {

template <typename T> std::vector<T> valueOr(design::Outcome<std::vector<T>> outcome)
{
    if (auto* value = std::get_if<std::vector<T>>(&outcome)) {
        return std::move(*value);
    }
    return {};
}

} // namespace

design::Outcome<Tuning> heldTuning(
    const design::DesignInput& in, std::optional<double> rodLength, std::optional<double> capacitancePf, Swept swept)
{
    const bool needsLength = swept != Swept::RodLength && !rodLength;
    const bool needsCap = swept != Swept::Capacitance && !capacitancePf;
    if (!needsLength && !needsCap) {
        return Tuning{rodLength.value_or(0), capacitancePf.value_or(0)};
    }
    const auto designed = design::design(in);
    if (const auto* problem = std::get_if<design::Problem>(&designed)) {
        return *problem;
    }
    const auto& d = std::get<design::Design>(designed);
    return Tuning{rodLength.value_or(d.rodLength), capacitancePf.value_or(d.capacitancePf)};
}

std::vector<design::MeasuredPoint> measuredPoints(const touchstone::OnePort& file)
{
    std::vector<design::MeasuredPoint> points;
    points.reserve(file.points.size());
    for (const touchstone::Point& point : file.points) {
        points.push_back({point.freqHz / 1e6, point.impedance});
    }
    return points;
}

std::vector<design::MeasuredPoint> measuredAcross(const touchstone::OnePort& file, int count)
{
    const auto& points = file.points;
    if (points.size() < 2 || count < 2) {
        return points.empty() || count < 1
            ? std::vector<design::MeasuredPoint>{}
            : std::vector{design::MeasuredPoint{points.front().freqHz / 1e6, points.front().impedance}};
    }
    const double from = points.front().freqHz;
    const double to = points.back().freqHz;
    std::vector<design::MeasuredPoint> measured;
    measured.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double hz = i + 1 == count ? to : from + (to - from) * i / (count - 1);
        if (const auto za = touchstone::impedanceAt(file, hz)) {
            measured.push_back({hz / 1e6, *za});
        }
    }
    return measured;
}

MatchStudy::MatchStudy(int points)
    : m_points(points)
{ }

void MatchStudy::setInputs(const Inputs& inputs, std::shared_ptr<const touchstone::OnePort> measured)
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
    const auto atDesign = design::analyze(inputs.design, m_design->rodLength, m_design->capacitancePf);
    m_atDesign = std::holds_alternative<design::Analysis>(atDesign) ? std::get<design::Analysis>(atDesign)
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

Tuning tunedBySteps(Tuning design, int strapSteps, int capacitorSteps)
{
    return {
        design.rodLength * (1 + kStrapStep * strapSteps), design.capacitancePf * (1 + kCapacitorStep * capacitorSteps)};
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
    const auto measured = measuredAcross(*m_measured, m_points);
    if (measured.size() < 2) {
        m_byFrequency.clear();
        return;
    }
    m_byFrequency = valueOr(design::sweepMeasured(in, m_tuning.rodLength, m_tuning.capacitancePf, measured));
}

} // namespace vostrel::study
