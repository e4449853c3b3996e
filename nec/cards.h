// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

namespace vostrel::nec {

// The NEC-2 card types, each with what it is, how readDeck() takes it and
// how a deck written from the user's treats it: the one place a card's
// meaning is written down. Card formats from the NEC-2 user's guide
// (G. J. Burke and A. J. Poggio, Numerical Electromagnetics Code (NEC),
// Method of Moments, the user's guide volume, Lawrence Livermore National
// Laboratory, 1981; online at nec2.org).

// Where the card stands in a deck.
enum class CardRole {
    Comment, // CM, CE: before the geometry
    Geometry, // up to and including GE
    ProgramControl, // after GE: ground, sources, loads, frequencies, output
    End, // EN
};

// What readDeck() does with a card.
enum class CardReading {
    Comment, // kept as text, no fields
    Wire, // a GW: a wire of the model
    Scale, // GS: scales every wire before it
    Move, // GM: moves or copies wires
    Rotate, // GR: repeats the structure about Z
    Reflect, // GX: reflects the structure
    Arc, // GA: a wire arc
    Helix, // GH: a helix
    Taper, // GC: the taper of the GW of radius 0 before it
    GeometryEnd, // GE
    Ground, // GN: ground unless its type is -1
    Source, // EX: marks the driven element
    Load, // LD: checked against the source's wire
    Fields, // its numbers read, nothing else
    End, // EN: the rest of the text is not read
    Refused, // the deck is refused, saying `refusal`
};

// How a deck written from the user's treats the card.
enum class CardWriting {
    Kept, // as the user wrote it
    Scale, // GS: kept, except where the wires are written out in metres
    Generator, // GM, GR, GX, GA, GH, GC: the deck's wires are written out
               // as GW cards in metres instead (see Wire)
    Comment, // kept; a CE is added when the user's deck has none
    Wire, // the driven element's replaced by ours (with the match), the
          // others kept, cut finer for the halved run
    GeometryEnd, // kept (GE 0 in free space), our EK after it
    Environment, // kept, except in free space (ground, loads); a load on
                 // the source segment is dropped: the match replaces it
    Dropped, // dropped: ours follows GE (EK)
    Source, // ours in its place (EX), the capacitor with it
    UserControl, // kept in the deck for the user's own program; in our
                 // runs dropped, our FR and RP or XQ at the end instead
    End, // ends the deck
    Never, // a refused card is never in a deck that was read
};

struct CardType {
    std::string_view name; // upper case
    CardRole role;
    CardReading reading;
    CardWriting writing;
    std::string_view refusal; // why the card is refused ("" when it is not)
};

// Every card type readDeck() knows, accepted or refused with a reason.
std::span<const CardType> cardTypes();

// The type of a card by its name, in any case; null for a name that is no
// card of NEC-2's we know.
//   "gw" -> GW (Geometry, Wire, Wire);  "GX" -> GX (Refused);  "QQ" -> null
const CardType* cardType(std::string_view name);

// How the card of that name is read and written; Refused and Never for a
// name that is no card we know (a Card made by hand, not by readDeck()).
CardReading cardReading(std::string_view name);
CardWriting cardWriting(std::string_view name);

} // namespace vostrel::nec
