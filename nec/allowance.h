// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "refine.h"

#include <string>

namespace vostrel::nec {

// What a builder should allow for around NEC-2's refined match: a range for
// the strap's position and for the capacitor, so that the rod they cut and
// the capacitor they buy or build cover the antenna they will measure.
//
// It comes from four things, and says which:
// - the model's known spread: two method-of-moments engines on the same
//   antenna differ; on the 30 two-element 28 MHz beams of a published
//   MININEC study (L. B. Cebik, W4RNL, "Some Further Notes on the Gamma
//   Match: What MININEC Models Report") our refined rods and the study's
//   differ by 4.0 % on average and the capacitors by 8.2 %. We allow
//   kRodSpread and kCapacitorSpread either side;
// - the halved run: its rod and capacitor, with the same spread;
// - the closed form, when it lies within kClosedFormReach of the refined
//   value (further off it is another answer, not a spread);
// - near a change of the element's model, the other model's match
//   (Refined::otherModel), with the same spread as the refined one.
inline constexpr double kRodSpread = 0.05;
inline constexpr double kCapacitorSpread = 0.10;
inline constexpr double kClosedFormReach = 0.25;

struct Span {
    double low = 0;
    double high = 0;
};

struct Allowance {
    Span rodLength; // metres, feed point to strap
    Span capacitancePf; // whole pF outward (tenths below 10 pF)
    bool fromHalvedRun = false; // the halved run widened it
    bool fromClosedForm = false; // the closed form's rod or capacitor widened it
    bool fromOtherModel = false; // Refined::otherModel's match widened it
    // In words, for the report: "the spread between engines (±5 % rod, ±10 %
    // capacitor), the halved run and the closed form".
    std::string basis;
};

// The allowance around `refined` (its halved run and closed form when it
// has them). The closed form's own capacitor and rod count separately: a
// rod within reach widens the rod's span even when its capacitor is not.
//   rod 1.2626 m, 79.2 pF, halved 1.2626 m / 78.4 pF, closed form
//   1.3879 m / 78.8 pF -> rod 1.1995 to 1.3879 m, 70 to 88 pF, from the
//   halved run and the closed form
//   rod 0.254 m, 82.5 pF, other model (one tube wire) 0.2466 m / 110.4 pF
//   -> rod 0.2343 to 0.2667 m, 74 to 122 pF, from the spread and the
//   element modelled as one tube wire
//   rod 0.370 m, 115.9 pF, no checks, no closed form -> rod 0.3515 to
//   0.3885 m, 104 to 128 pF, the spread alone
Allowance allowanceOf(const Refined& refined);

// The element's model in words: "a cage of 2 wires", "one tube wire" (0).
std::string modelName(int cageWires);

} // namespace vostrel::nec
