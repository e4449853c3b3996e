// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_transform.h"

#include "physics.h"

#include <cmath>
#include <numbers>

namespace vostrel::coax {
namespace {

// 20 log10(e): decibels per neper.
const double kDbPerNeper = 20 / std::numbers::ln10;

Complex tanhOfLength(const Line& line, double freqMhz)
{
    return std::tanh(propagation(line, freqMhz) * line.length);
}

} // namespace

Complex propagation(const Line& line, double freqMhz)
{
    const double alpha = line.lossDbPer100m(freqMhz) / 100 / kDbPerNeper;
    const double beta = physics::kTwoPi * freqMhz * 1e6 / (line.velocityFactor * physics::kSpeedOfLight);
    return {alpha, beta};
}

double matchedLossDb(const Line& line, double freqMhz)
{
    return line.lossDbPer100m(freqMhz) * line.length / 100;
}

double roundTripLossDb(const Line& line, double freqMhz)
{
    return 2 * matchedLossDb(line, freqMhz);
}

Complex inputImpedance(const Line& line, double freqMhz, Complex load)
{
    if (line.length == 0) {
        return load;
    }
    const Complex t = tanhOfLength(line, freqMhz);
    const double z0 = line.impedance;
    return z0 * (load + z0 * t) / (z0 + load * t);
}

std::optional<Complex> loadImpedance(const Line& line, double freqMhz, Complex measured)
{
    if (line.length == 0) {
        return measured;
    }
    const Complex t = tanhOfLength(line, freqMhz);
    const double z0 = line.impedance;
    const Complex numerator = measured - z0 * t;
    const Complex denominator = z0 - measured * t;
    // A load a million million times the line's impedance is an open.
    if (!(std::abs(numerator) < 1e12 * std::abs(denominator))) {
        return std::nullopt;
    }
    const Complex load = z0 * numerator / denominator;
    if (!std::isfinite(load.real()) || !std::isfinite(load.imag())) {
        return std::nullopt;
    }
    return load;
}

} // namespace vostrel::coax
