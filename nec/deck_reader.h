// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "failure.h"
#include "wire.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    std::vector<Wire> wires; // every wire, as NEC-2 builds them, in metres (GS applied)
    std::vector<int> wireCards; // index in `cards` of the card that made each wire
    std::vector<double> wireScale; // the GS factor applied to each wire (1 when written out)
    // Wires made or moved by GM, GR, GX, GA, GH or GC cards: a deck written
    // from this one gives every wire as a GW card in metres, without GS.
    bool wiresWrittenOut = false;
    int drivenWire = 0; // index in `wires` of the wire carrying the source
    int sourceSegment = 0; // 1-based on that wire
    // The driven element's straight centre section: the wires joined end to
    // end through the source wire, in line with it (within kInLine) and of
    // its radius, ordered from one end to the other. The match replaces
    // them; the rest of the element (thinner arms of a tapered element,
    // drooping or bent tips) stays as the user modelled it.
    std::vector<int> elementWires;
    // The driven element's length tip to tip along its line: the wires in
    // line with the source wire, of any radius (a tapered element's arms).
    double elementLength = 0;
    bool hasGround = false; // a GN card other than GN -1
};

// The largest deck readDeck() takes: some thirty times what a deck of
// kMaxSegments segments needs.
inline constexpr std::size_t kMaxDeckBytes = std::size_t{1} << 20U;

// Wires meeting at an angle below this (radians, 3 degrees) are one straight
// element: modelling programs write a straight element as several wires
// whose ends agree to their own rounding.
inline constexpr double kInLine = 0.0524;

// The straight centre section of the driven element: its ends (`to` on the
// feed point's longer side), the feed point (the source segment's centre,
// moved onto the line between the ends where the section bends a little),
// the radius and the tag of the source wire.
struct ElementSection {
    Point from{};
    Point to{};
    Point feed{};
    double radius = 0;
    int tag = 0;
    double ahead() const { return norm(sub(to, feed)); } // feed point to `to`, the longer side
    double behind() const { return norm(sub(feed, from)); }
};
//   the lone beam element (one wire of 5.025 m, source on segment 11 of 21)
//     -> from one tip to the other, feed at the centre, ahead 2.5125 m
//   a 3 m centre section of 32 mm and two 3.5 m arms of 20 mm -> the centre
//     section only, ahead 1.5 m
ElementSection elementSection(const UserDeck& deck);

// Reads a deck as modelling programs write it: the cards cardTypes()
// accepts (CM/CE comments, GW, GS, GM, GR, GX, GA, GH, GC, GE, GN, GD, EK,
// EX, LD, FR, RP, XQ, NE, NH, PQ, PT, KH, EN), names in any case, fields
// separated by blanks or commas; missing trailing fields are 0. Wires made
// by GM, GR, GX, GA, GH and GC are built as NEC-2 builds them
// (geometry_cards.h).
//   "GW 1 21 0 -2.6 0 0 0 0 0.001\nGX 0 010\nGE 0\nEX 0 1 21 0 1 0\nEN"
//     -> two wires of tag 1 (the half reflected), the source on the first
//   "GW 1 21 0 0 -5.2 0 0 5.2 0.001\nGE 0\nEX 0 1 11 0 1 0\nEN"
//     -> one wire, driven, source segment 11
// Refused (BadDeck, "FILE:LINE: why", a token of the deck shown with
// controls as "?"): a deck larger than kMaxDeckBytes ("FILE: ..."), more
// than kMaxSegments segments, a card it does not know, a card
// cardTypes() refuses (saying why), a field that is not a number, a GW with
// too few fields, segments <= 0 or radius < 0 (0 only for a tapered wire,
// its GC card right after it), a geometry card NEC-2 cannot apply (see
// geometry_cards.h), a wire of tag 0, no EX type 0 or
// more than one, a source on no segment of its tag, a source more than a
// tenth of the element's length from its centre (the element: the wires
// joined end to end in line with the source wire, of any radius), a load on the source segment
// itself (a matching network: the match replaces it), a load on absolute
// segment numbers. A driven element of several GW cards (split at the feed,
// tapered, drooping) is taken; loads along it (loading coils, traps,
// conductivity) are kept.
Outcome<UserDeck> readDeck(std::string_view text, std::string_view fileName);

// The segments an LD card loads by number: its tag (0: absolute segment
// numbers) and the first and last segment; none for a card that is no load
// or loads the whole structure or a whole tag (a material).
//   "LD 0 1 9 9 2 12e-6 0" -> tag 1, 9 to 9    "LD 4 1 10 12 5" -> tag 1, 10 to 12
//   "LD 0 1 11 0 0 0 1e-6" -> tag 1, 11 to 11  "LD 5 0 0 0 2.5E7", "LD 5 2 0 0 3.7E7" -> none
struct LoadedSegments {
    int tag = 0;
    int first = 0;
    int last = 0;
};
std::optional<LoadedSegments> loadedSegments(const Card& card);

// An LD card loading the driven element's source segment (among others).
bool isSourceLoad(const UserDeck& deck, const Card& card);

// The wire and its 1-based segment holding segment `segment` of tag `tag`,
// counted as NEC counts: over the tag's wires in the deck's order; null
// when the tag has fewer segments.
//   tag 1 of "GW 1 10 ...; GW 1 5 ...", segment 12 -> second wire, segment 2
std::optional<std::pair<int, int>> segmentOfTag(const UserDeck& deck, int tag, int segment);

// The driven element's direction in a user's deck (not of unit length).
Point drivenAxis(const UserDeck& deck);

// The centre-to-centre offset direction of the rod for a user's deck: at
// right angles to the driven element, away from the centroid of the other
// wires (or upwards when there are none).
Point rodSide(const UserDeck& deck);

} // namespace vostrel::nec
