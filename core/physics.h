// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

// The few physical constants and line formulas every part of the program
// uses, in one place.
namespace vostrel::physics {

// Exact by definition of the metre (SI, 1983).
inline constexpr double kSpeedOfLight = 299792458.0; // m/s
inline constexpr double kVacuumPermittivity = 8.8541878128e-12; // F/m, CODATA 2018
inline constexpr double kVacuumPermeability = 1.25663706212e-6; // H/m, CODATA 2018
inline constexpr double kTwoPi = 2 * std::numbers::pi;

// Free-space wavelength in metres at a frequency in MHz.
//   wavelengthMetres(299.792458) -> 1.0
inline double wavelengthMetres(double freqMhz)
{
    return kSpeedOfLight / (freqMhz * 1e6);
}

// The reflection coefficient of a load on a line.
//   reflection(50, 50) -> 0;  reflection(0, 50) -> -1;  reflection(100, 50) -> 1/3
inline std::complex<double> reflection(std::complex<double> load, double lineImpedance)
{
    return (load - lineImpedance) / (load + lineImpedance);
}

// The SWR of a reflection's magnitude: infinite for |rho| >= 1 (a short, an
// open, a pure reactance or a negative resistance).
//   swrOfMagnitude(0) -> 1;  swrOfMagnitude(1.0 / 3) -> 2;  swrOfMagnitude(1) -> infinity
inline double swrOfMagnitude(double magnitude)
{
    return magnitude >= 1 ? std::numeric_limits<double>::infinity() : (1 + magnitude) / (1 - magnitude);
}

// The SWR of a load on a line.
//   swr(100, 50) -> 2;  swr(25, 50) -> 2;  swr({50, 0}, 50) -> 1;  swr({0, 50}, 50) -> infinity
inline double swr(std::complex<double> load, double lineImpedance)
{
    return swrOfMagnitude(std::abs(reflection(load, lineImpedance)));
}

} // namespace vostrel::physics
