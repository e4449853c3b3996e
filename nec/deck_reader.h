// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "failure.h"
#include "wire.h"

#include <string>
#include <string_view>
#include <vector>

namespace vostrel::nec {

// Reading a user's antenna model, a NEC-2 card deck. Lengths in metres.
// Card formats from the NEC-2 user's guide (see cards.h), fields free-format as
// nec2c reads them; which cards are taken, and how, is in cards.h.

// One line of a user's deck, kept as written.
struct Card {
    std::string name; // "GW", "EX", ... upper case
    std::string text; // the whole line, without its line end
    int line = 0; // 1-based
    std::vector<double> fields; // the numbers after the name, missing ones absent
};

// A user's antenna model, read by readDeck().
struct UserDeck {
    std::string fileName;
    std::vector<Card> cards;
    std::vector<Wire> wires; // every GW, coordinates in metres (GS applied)
    std::vector<int> wireCards; // index in `cards` of each wire's GW card
    std::vector<double> wireScale; // the GS factor applied to each wire
    int drivenWire = 0; // index in `wires` of the wire carrying the source
    int sourceSegment = 0; // 1-based on that wire
    bool hasGround = false; // a GN card other than GN -1
};

// Reads a deck as modelling programs write it: the cards cardTypes()
// accepts (CM/CE comments, GW, GS, GE, GN, GD, EK, EX, LD, FR, RP, XQ, NE,
// NH, PQ, PT, KH, EN), names in any case, fields separated by blanks or
// commas; missing trailing fields are 0.
//   "GW 1 21 0 0 -5.2 0 0 5.2 0.001\nGE 0\nEX 0 1 11 0 1 0\nEN"
//     -> one wire, driven, source segment 11
// Refused (BadDeck, "FILE:LINE: why"): a card it does not know, a card
// cardTypes() refuses (saying why), a field that is not a number, a GW with
// too few fields, segments or radius <= 0, a wire of tag 0, no EX type 0 or
// more than one, a source not on a GW, a source wire made of several GW
// cards (bent) or tapered (radius 0, GC), a source more than a tenth of the
// wire's length from its centre, a load on given segments of the source
// wire other than the source segment alone. A load on the source segment
// itself (a matching network, such as our capacitor in a deck we wrote) is
// dropped from every deck written from this one: the match replaces it.
Outcome<UserDeck> readDeck(std::string_view text, std::string_view fileName);

// An LD card on exactly the driven element's source segment.
bool isSourceLoad(const UserDeck& deck, const Card& card);

// The driven element's direction in a user's deck (not of unit length).
Point drivenAxis(const UserDeck& deck);

// The centre-to-centre offset direction of the rod for a user's deck: at
// right angles to the driven element, away from the centroid of the other
// wires (or upwards when there are none).
Point rodSide(const UserDeck& deck);

} // namespace vostrel::nec
