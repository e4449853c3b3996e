// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coax_cable.h"

#include <complex>
#include <optional>

namespace vostrel::coax {

// What a length of lossy line does to an impedance: the load at one end as
// the other end sees it, and back. The line's impedance Z0 is taken as real
// (a low-loss line: below a GHz the imaginary part of a coax's Z0 is well
// under an ohm), its propagation constant per metre as
//   gamma = alpha + j beta, alpha = (dB per 100 m) / 100 / (20 log10 e)
//   nepers per metre, beta = 2 pi f / (VF c)
// with the matched loss from Line::lossDbPer100m(). Frequencies in MHz,
// lengths in metres, impedances in ohms.

using Complex = std::complex<double>;

// gamma per metre at `freqMhz`.
//   lossless line, VF 1, 299.792458 MHz -> 0 + j 2 pi
//   8.685889638 dB/100 m (1 neper/100 m) at that frequency, VF 0.5 -> 0.01 + j 4 pi
Complex propagation(const Line& line, double freqMhz);

// The matched loss of the whole length, dB, and twice it: what a reflection
// loses on its way to the load and back (the analyser sees |rho_L| times
// 10^(-roundTrip / 20)).
//   RG-213, 30 m, 100 MHz -> 1.86 dB one way, 3.72 dB round trip
double matchedLossDb(const Line& line, double freqMhz);
double roundTripLossDb(const Line& line, double freqMhz);

// The impedance at the line's input with `load` at its far end:
//   Zin = Z0 (ZL + Z0 tanh(gamma l)) / (Z0 + ZL tanh(gamma l)),
// computed in its reflection form, rho_in = rho_L e^(-2 gamma l), which
// stays finite at a lossless quarter wave:
//   50 ohms, lossless, a quarter wave, 100 ohms -> 25
//   50 ohms, lossless, a half wave, 30 + j40    -> 30 + j40
//   50 ohms, any loss and length, 50            -> 50
//   0 m of line                                 -> the load itself
// `load` is finite; an infinite result (a load of -Z0 / tanh(gamma l),
// which needs a negative resistance) comes back with infinite or NaN parts.
Complex inputImpedance(const Line& line, double freqMhz, Complex load);

// The inverse, for taking the line out of a reading (de-embedding): the
// load whose input impedance is `measured`,
//   ZL = Z0 (Zin - Z0 tanh(gamma l)) / (Z0 - Zin tanh(gamma l)),
// likewise as rho_L = rho_in e^(2 gamma l):
//   50 ohms, lossless, a quarter wave, 25 -> 100
//   loadImpedance(l, f, inputImpedance(l, f, z)) -> z (to rounding)
// nullopt when the load would be infinite (an open at the far end explains
// the reading: Zin = Z0 / tanh(gamma l); a load above 1e12 Z0 is taken as
// one) or not finite.
std::optional<Complex> loadImpedance(const Line& line, double freqMhz, Complex measured);

} // namespace vostrel::coax
