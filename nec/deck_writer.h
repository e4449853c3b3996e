// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "deck_reader.h"
#include "failure.h"
#include "match_geometry.h"

#include <complex>
#include <string>
#include <vector>

namespace vostrel::nec {

// Writing NEC-2 card decks: the lone tube, the tube with the match, and the
// user's deck with the match in place. Lengths in metres, frequencies in
// MHz; the user's deck keeps its own units (its GS card).

// What a deck asks NEC to compute.
struct Controls {
    std::vector<double> freqsMhz; // evenly spaced, given as an FR card
    bool averageGain = false; // an RP card over the whole sphere
};

// A lone straight tube of `length` and `diameter` along x, fed at its centre;
// `elementCorrection` in series on the source's segment (an LD type 4 card,
// none for 0).
std::string bareDipoleDeck(double length, double diameter, const Segmentation& cut, const Controls& controls,
    std::complex<double> elementCorrection = {});
// The same tube with the gamma match; BadInput when the match does not fit
// or its side runs along x.
Outcome<std::string> dipoleMatchDeck(
    double length, const Match& match, const Segmentation& cut, const Controls& controls);

// The user's deck as run by us: ground, loads and the other wires kept, our
// EX, FR and RP. `match` null: the bare element, as the user modelled it.
// `keepUserControls` keeps the user's FR, RP and XQ cards (the deck written
// for the user's own program), after a run at the design frequency (an FR
// card at `cut.freqMhz` and XQ: without it nec2c would compute at the
// user's frequencies only, or at 299.8 MHz when the deck has none); `freeSpace` drops ground and loads (the
// average gain test of the lossless model). Each card as its type's
// CardWriting says (cards.h).
// The element's correction (Match::elementCorrection; bareCorrection for the
// bare element, on the source's segment) goes with the loads, and not in
// free space.
struct UserDeckRun {
    const Match* match = nullptr;
    Controls controls;
    bool keepUserControls = false;
    bool freeSpace = false;
    std::complex<double> bareCorrection{};
};
Outcome<std::string> userDeck(const UserDeck& deck, const UserDeckRun& run, const Segmentation& cut);

// What the deck's own FR cards ask for, when that is not the design
// frequency alone; "" when it is or the deck has none.
//   "FR 0 2 0 0 14.0 0.35", 14.2 -> "the deck's own FR cards ask for 14 to 14.35 MHz"
//   "FR 0 1 0 0 14.2 0", 14.2 -> ""
std::string userFrequencies(const UserDeck& deck, double freqMhz);

} // namespace vostrel::nec
