// SPDX-License-Identifier: GPL-3.0-or-later
#include "built_match.h"

#include "coax_capacitor.h"
#include "physics.h"

#include <cmath>

namespace vostrel::designer {

namespace {

BuiltMatch closedFormMatch(const MatchStudy& study)
{
    BuiltMatch built;
    built.design = study.designTuning();
    built.tuning = study.tuning();
    built.zinAtDesign = study.atDesign().zin;
    built.swrAtDesign = study.atDesign().swr;
    built.zinTuned = study.tuned().zin;
    built.swrTuned = study.tuned().swr;
    built.insertionLength = study.insertionLength();
    built.byCapacitance = study.byCapacitance();
    built.byRodLength = study.byRodLength();
    built.byFrequency = study.byFrequency();
    return built;
}

// NEC-2's model swept from `from` to `to`: `rodLength` or the capacitance
// (whichever is not held) runs over the span.
std::vector<design::SweepPoint> necSweep(
    const nec::Refined& refined, const study::Inputs& inputs, bool byRod, Tuning held, double from, double to)
{
    std::vector<design::SweepPoint> sweep;
    sweep.reserve(kNecModelPoints);
    const double mhz = inputs.design.freqMhz;
    for (int i = 0; i < kNecModelPoints; ++i) {
        const double x = from + (to - from) * i / (kNecModelPoints - 1);
        const std::complex<double> gain = refined.capacitorGain;
        const auto zin = byRod ? nec::zinNear(refined.samples, x, held.capacitancePf, mhz, gain)
                               : nec::zinNear(refined.samples, held.rodLength, x, mhz, gain);
        sweep.push_back({x, zin, physics::swr(zin, inputs.design.lineImpedance)});
    }
    return sweep;
}

BuiltMatch necMatch(
    const MatchStudy& study, const FullWaveResult& nec, const nec::Refined& refined, std::optional<Tuning> tuning)
{
    const study::Inputs& inputs = study.inputs();
    const double mhz = inputs.design.freqMhz;
    const double zc = inputs.design.lineImpedance;
    BuiltMatch built;
    built.source = BuildSource::Nec;
    built.design = {refined.rodLength, refined.capacitancePf};
    built.capacitorAt = refined.capacitorAt;
    built.tuning = tuning.value_or(built.design);
    // At the design itself, the confirming run's own Zin.
    built.zinAtDesign = refined.zin;
    built.swrAtDesign = refined.swr;
    const bool atDesign
        = built.tuning.rodLength == built.design.rodLength && built.tuning.capacitancePf == built.design.capacitancePf;
    built.zinTuned = atDesign
        ? refined.zin
        : nec::zinNear(refined.samples, built.tuning.rodLength, built.tuning.capacitancePf, mhz, refined.capacitorGain);
    built.swrTuned = physics::swr(built.zinTuned, zc);
    if (inputs.tubeInnerDiameter) {
        // The rod in the tube as what it is, a piece of coaxial line open at
        // its end, whose input reactance is the refined capacitor's at the
        // design frequency (the per-metre figure first, for its checks).
        const double rodDiameter = inputs.design.geometry.rodDiameter;
        const auto lumped = design::insertionLength(
            refined.capacitancePf, *inputs.tubeInnerDiameter, rodDiameter, inputs.permittivity);
        const double reactance = 1e12 / (physics::kTwoPi * mhz * 1e6 * refined.capacitancePf);
        if (std::holds_alternative<double>(lumped) && std::isfinite(reactance) && reactance > 0) {
            const auto line = coax::openLineCapacitor(
                coax::tubeLine(mhz, reactance, *inputs.tubeInnerDiameter, rodDiameter, inputs.permittivity));
            if (const auto* piece = std::get_if<coax::OpenLineCapacitor>(&line)) {
                built.insertionLength = piece->length;
            }
        }
    }
    const auto& capacitance = MatchStudy::kCapacitanceSpan;
    const auto& rod = MatchStudy::kRodLengthSpan;
    built.byCapacitance = necSweep(refined, inputs, false, built.tuning, capacitance[0] * refined.capacitancePf,
        capacitance[1] * refined.capacitancePf);
    built.byRodLength
        = necSweep(refined, inputs, true, built.tuning, rod[0] * refined.rodLength, rod[1] * refined.rodLength);
    built.byFrequency = nec.sweep;
    return built;
}

} // namespace

std::optional<BuiltMatch> builtMatch(const MatchStudy& study, const FullWaveResult* nec, std::optional<Tuning> tuning)
{
    if (nec != nullptr) {
        if (const auto* refined = std::get_if<nec::Refined>(&nec->refined);
            refined != nullptr && !refined->samples.empty()) {
            return necMatch(study, *nec, *refined, tuning);
        }
    }
    if (!study.hasDesign()) {
        return std::nullopt;
    }
    return closedFormMatch(study);
}

} // namespace vostrel::designer
