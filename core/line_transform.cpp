// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_transform.h"

#include "physics.h"

#include <cmath>
#include <numbers>

namespace vostrel::coax {
namespace {

// 20 log10(e): decibels per neper.
const double kDbPerNeper = 20 / std::numbers::ln10;

// e^(-2 gamma l): what the line does to a reflection coefficient on its
// way there and back. The reflection form stays finite where the tanh form
// meets tan(pi/2) (a lossless quarter wave), which some C libraries give
// as NaN (emscripten's).
Complex roundTrip(const Line& line, double freqMhz)
{
    return std::exp(-2.0 * propagation(line, freqMhz) * line.length);
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
    const double z0 = line.impedance;
    const Complex rho = physics::reflection(load, z0) * roundTrip(line, freqMhz);
    return z0 * (1.0 + rho) / (1.0 - rho);
}

std::optional<Complex> loadImpedance(const Line& line, double freqMhz, Complex measured)
{
    if (line.length == 0) {
        return measured;
    }
    const double z0 = line.impedance;
    const Complex rho = physics::reflection(measured, z0) / roundTrip(line, freqMhz);
    // A load a million million times the line's impedance is an open.
    if (!(std::abs(1.0 + rho) < 1e12 * std::abs(1.0 - rho))) {
        return std::nullopt;
    }
    const Complex load = z0 * (1.0 + rho) / (1.0 - rho);
    if (!std::isfinite(load.real()) || !std::isfinite(load.imag())) {
        return std::nullopt;
    }
    return load;
}

} // namespace vostrel::coax
