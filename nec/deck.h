#pragma once

#include "failure.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vostrel::nec {

// NEC-2 card decks: the wires of a gamma match and the reading of a user's
// antenna model. Lengths in metres, frequencies in MHz, capacitance in pF.
// Card formats from the NEC-2 user's guide, part III (G. J. Burke and
// A. J. Poggio, Lawrence Livermore National Laboratory, 1981;
// http://nec2.org/part_3/), fields free-format as nec2c reads them.

using Point = std::array<double, 3>;

// A GW card.
struct Wire {
    int tag = 0;
    int segments = 0;
    Point from{};
    Point to{};
    double radius = 0;
};

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

// Reads a deck as modelling programs write it: CM/CE comments, GW, GS, GE,
// GN, GD, EK, EX, LD, FR, RP, XQ, NE, NH, PQ, PT, KH, EN; fields separated by
// blanks or commas; missing trailing fields are 0.
//   "GW 1 21 0 0 -5.2 0 0 5.2 0.001\nGE 0\nEX 0 1 11 0 1 0\nEN"
//     -> one wire, driven, source segment 11
// Refused (BadDeck, "FILE:LINE: why"): a card it does not know, a field that
// is not a number, a GW with too few fields, segments or radius <= 0, a wire
// of tag 0, no EX type 0 or more than one, a source not on a GW, a source
// wire made of several GW cards (bent) or tapered (radius 0, GC), a source
// more than a tenth of the wire's length from its centre, a load on given
// segments of the source wire other than the source segment alone. A load on
// the source segment itself (a matching network, such as our capacitor in a
// deck we wrote) is dropped from every deck written from this one: the
// match replaces it.
Outcome<UserDeck> readDeck(std::string_view text, std::string_view fileName);

// The physical gamma match.
struct Match {
    double elementDiameter = 0;
    double rodDiameter = 0;
    double spacing = 0; // centre to centre
    double rodLength = 0; // feed point to strap
    double capacitancePf = 0; // 0: the capacitor is shorted (no LD card)
    // The side the rod lies on, a direction in the deck's own coordinates
    // (its part across the element is used, see sideAcross); none: away
    // from the other wires (rodSide), upwards (+z) for the lone tube.
    std::optional<Point> side = std::nullopt;
};

// How finely to cut the wires. `segmentScale` 2 halves every segment, for
// the convergence run.
struct Segmentation {
    double freqMhz = 0;
    int segmentScale = 1;
    // false: the element a single tube wire throughout, with a radius step
    // where the rod's wires meet it (only to show why the cage is used).
    bool cage = true;
};

// The wires of an element with a gamma match. The element runs from
// `elementFrom` to `elementTo`, fed at `feed` on it; the rod lies towards
// `elementTo` at `spacing` in direction `side` (a unit vector at right
// angles to the element). The element's wires all get `elementTag` (so that
// a load on that tag covers them); the feed connection, rod and strap get
// `firstMatchTag` and the two after it. The source is on wire `sourceWire`,
// segment `sourceSegment` (the middle of the feed connection).
struct MatchWires {
    std::vector<Wire> wires;
    int sourceWire = 0;
    int sourceSegment = 0;
    bool cage = false; // the element is modelled as a cage of rod-radius wires
    int cageWires = 0;
    double cageRadius = 0;
};
Outcome<MatchWires> matchWires(const Match& match, const Point& elementFrom, const Point& elementTo, const Point& feed,
    const Point& side, const Segmentation& cut, int elementTag, int firstMatchTag);

// What a deck asks NEC to compute.
struct Controls {
    std::vector<double> freqsMhz; // evenly spaced, given as an FR card
    bool averageGain = false; // an RP card over the whole sphere
};

// A lone straight tube of `length` and `diameter` along x, fed at its centre.
std::string bareDipoleDeck(double length, double diameter, const Segmentation& cut, const Controls& controls);
// The same tube with the gamma match; BadInput when the match does not fit
// or its side runs along x.
Outcome<std::string> dipoleMatchDeck(
    double length, const Match& match, const Segmentation& cut, const Controls& controls);

// The user's deck as run by us: ground, loads and the other wires kept, our
// EX, FR and RP. `match` null: the bare element, as the user modelled it.
// `keepUserControls` keeps the user's FR, RP and XQ cards (the deck written
// for the user's own program); `freeSpace` drops ground and loads (the
// average gain test of the lossless model).
struct UserDeckRun {
    const Match* match = nullptr;
    Controls controls;
    bool keepUserControls = false;
    bool freeSpace = false;
};
Outcome<std::string> userDeck(const UserDeck& deck, const UserDeckRun& run, const Segmentation& cut);

// The centre-to-centre offset direction of the rod for a user's deck: at
// right angles to the driven element, away from the centroid of the other
// wires (or upwards when there are none).
Point rodSide(const UserDeck& deck);

// The rod's side as asked, for an element running along `along`: the part
// of `asked` across the element, of unit length. BadInput when that part
// is not most of `asked` (a side within 30 degrees of the element's line),
// naming both.
//   along (1, 0, 0): (0, 0, 1) -> (0, 0, 1)    (0.5, 0, -1) -> (0, 0, -1)
//                    (1, 0, 0), (-1, 0, 0.5) -> BadInput, "the rod side +x
//                    runs along the driven element, which lies along x; ..."
Outcome<Point> sideAcross(const Point& along, const Point& asked);

// The driven element's direction in a user's deck (not of unit length).
Point drivenAxis(const UserDeck& deck);

} // namespace vostrel::nec
