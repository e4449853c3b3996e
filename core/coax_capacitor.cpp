// SPDX-License-Identifier: GPL-3.0-or-later
#include "coax_capacitor.h"

#include "physics.h"

#include <cmath>
#include <numbers>

namespace vostrel::coax {
namespace {

bool positive(double value)
{
    return std::isfinite(value) && value > 0;
}

// Where the per-metre estimate is worth showing beside the line's length.
constexpr double kLumpedShown = 0.02;

} // namespace

std::variant<OpenLineCapacitor, NoOpenLine> openLineCapacitor(const OpenLineInput& in)
{
    if (!positive(in.freqMhz)) {
        return NoOpenLine{OpenLineField::Frequency, "the frequency must be above 0 MHz"};
    }
    if (!positive(in.reactance)) {
        return NoOpenLine{OpenLineField::Reactance, "the capacitor's reactance must be above 0 ohms"};
    }
    if (!positive(in.pfPerMetre)) {
        return NoOpenLine{OpenLineField::PfPerMetre, "the line's capacitance must be above 0 pF per metre"};
    }
    if (!positive(in.velocityFactor) || in.velocityFactor > 1) {
        return NoOpenLine{OpenLineField::VelocityFactor, "the velocity factor must be above 0 and at most 1"};
    }
    const double perMetre = in.pfPerMetre * 1e-12;
    const double speed = in.velocityFactor * physics::kSpeedOfLight;
    const double omega = physics::kTwoPi * in.freqMhz * 1e6;
    const double beta = omega / speed;
    OpenLineCapacitor c;
    c.lineImpedance = 1 / (perMetre * speed);
    const double farads = 1 / (omega * in.reactance);
    c.capacitancePf = farads * 1e12;
    // X = Z0 cot(beta l): atan keeps beta l below a quarter wave, the
    // shortest piece, the one a builder cuts.
    const double angle = std::atan(c.lineImpedance / in.reactance);
    c.length = angle / beta;
    c.lumpedLength = farads / perMetre;
    c.electricalDegrees = angle * 180 / std::numbers::pi;
    c.lumpedDiffers = std::abs(c.lumpedLength - c.length) > kLumpedShown * c.length;
    // C(l) = tan(beta l) / (omega Z0), so dC/dl = beta / (omega Z0 cos^2(beta l)).
    const double cosine = std::cos(angle);
    const double faradsPerMetre = beta / (omega * c.lineImpedance * cosine * cosine);
    c.trimPerPf = 1e-12 / faradsPerMetre;
    return c;
}

OpenLineInput tubeLine(
    double freqMhz, double reactance, double tubeInnerDiameter, double rodDiameter, double permittivity)
{
    OpenLineInput in;
    in.freqMhz = freqMhz;
    in.reactance = reactance;
    in.pfPerMetre = physics::kTwoPi * physics::kVacuumPermittivity * permittivity
        / std::log(tubeInnerDiameter / rodDiameter) * 1e12;
    in.velocityFactor = 1 / std::sqrt(permittivity);
    return in;
}

} // namespace vostrel::coax
