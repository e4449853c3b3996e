// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "result.h"

namespace vostrel {

// The six values the calculator keeps between clicks, all single precision
// and all 0 to begin with.
struct GammaMatchValues {
    float freq = 0; // frequency in MHz
    float spac = 0; // spacing between gamma rod and element
    float tap = 0; // tap point length
    float tube = 0; // tube length
    float cap = 0; // capacitor value in pF (the same in both units)
    float capl = 0; // capacitor (gamma rod) insertion length
};

enum class LengthUnit { Inches, Centimetres };

// Computes cap, tap, spac, capl and tube from values.freq and stores each
// one in `values` as soon as it is known; freq itself is never changed.
//
// Every step runs in double precision, strictly left to right, and is
// narrowed to float when stored. Inches, in this order:
//   cap = 300 / freq * 6            tap  = 300 / freq * 0.057 * 39.6
//   spac = 300 / freq * 0.19166 + 2.05
//   capl = cap / 15 (the stored cap) tube = 300 / freq * 0.065 * 39.6 / 5
// Centimetres, in this order:
//   tap = 300 / freq * 0.057 * 100  spac = (300 / freq * 0.19166 + 2.05) * 2.54
//   cap = 300 / freq * 6            capl = cap / 15 * 2.54 (the stored cap)
//   tube = 300 / freq * 0.065 / 5 * 100
//
//   freq 14.2f, Inches      -> ok; cap 126.760567, tap 47.6873245,
//                              spac 6.09915495, capl 8.45070457, tube 10.8760567
//   freq 28.5f, Centimetres -> ok; cap 63.1578941, tap 60, spac 10.3313828,
//                              capl 10.6947365, tube 13.6842108
//   freq -7.1f, Inches      -> ok; spac -6.0483098 (negative values are valid)
//
// Failures:
//   freq == 0 (either sign) -> DivisionByZero; nothing is stored.
//   a result beyond the float range (|freq| below about 5.3e-36) -> Overflow.
//     The values stored before the failing step stay, and the failing value
//     itself is stored as an infinity of its sign: with Centimetres and
//     freq 5.1e-36, tap and spac are stored, cap becomes +infinity.
// A NaN freq (which parseSingle never gives) makes all five values NaN.
Result<void> computeGammaMatch(GammaMatchValues& values, LengthUnit unit);

} // namespace vostrel
