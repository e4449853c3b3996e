// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wire.h"

#include <optional>
#include <string>
#include <vector>

namespace vostrel::nec {

// The NEC-2 geometry cards that make or move wires besides GW, turned into
// plain wires as NEC-2 builds them (the NEC-2 user's guide, section on
// structure geometry input): the same wires, tags and segment order, so
// that every EX and LD card names the same segment. A curved wire (an
// arc, a helix) or a tapered one becomes one straight wire per segment of
// the same tag. Fields are a card's numbers after its name, as readDeck()
// reads them; angles in degrees. Each returns why the card is refused, or
// nothing when it was applied.

// Every card is refused, before it makes a wire, where the deck would have
// more than kMaxSegments segments ("the deck would have N segments, more
// than the 3000 the full-wave check takes").

// Why `adding` more segments would make too many; nothing when they fit.
//   3000 in `wires`, 1 -> "the deck would have 3001 segments, ..."
std::optional<std::string> tooManySegments(const std::vector<Wire>& wires, long long adding);

// GM ITGI NRPT ROX ROY ROZ XS YS ZS ITS: the wires from the first of tag
// ITS on (every wire when ITS is 0) rotated about X, then Y, then Z and
// shifted; moved in place when NRPT is 0, else NRPT copies appended, each
// from the one before, their tags (except 0) raised by ITGI each time.
//   wires {tag 1, (0,-1,0)-(0,1,0)}, "GM 1 2 0 0 0 1 0 0 0"
//     -> three wires: tags 1, 2, 3 at x = 0, 1, 2
// Refused: ITS names a tag no wire has; NRPT below 0.
std::optional<std::string> moveWires(const std::vector<double>& fields, std::vector<Wire>& wires);

// GR ITGI NOP: the whole structure repeated NOP times in all (NOP - 1 new
// copies) about the Z axis, each copy turned 360/NOP degrees from the one
// before, tags (except 0) raised by ITGI each time.
//   wires {tag 1, (1,0,0)-(2,0,0)}, "GR 1 4" -> four wires, the second
//     (0,1,0)-(0,2,0) of tag 2
// Refused: NOP below 1.
std::optional<std::string> rotateWires(const std::vector<double>& fields, std::vector<Wire>& wires);

// GX ITX XYZ: the structure reflected in the XY plane (units digit of XYZ
// set), then the XZ plane (tens), then the YZ plane (hundreds); each
// reflection doubles the wires, the copy's tags (except 0) raised by the
// increment, which doubles after each reflection.
//   wires {tag 1, (0,0,0)-(0,1,0)}, "GX 1 010" -> (0,0,0)-(0,-1,0) of tag 2 added
// Refused: a wire in the plane of reflection or crossing it.
std::optional<std::string> reflectWires(const std::vector<double>& fields, std::vector<Wire>& wires);

// GA ITG NS RADA ANG1 ANG2 RAD: an arc of radius RADA in the XZ plane,
// centred on the origin, from ANG1 to ANG2 (from the X axis towards Z), in
// NS segments of radius RAD, appended.
//   "GA 3 4 1 0 90 0.001" -> four wires of tag 3 from (1,0,0) to (0,0,1)
// Refused: NS below 1, RADA or RAD not above 0, an arc of more than 360
// degrees.
std::optional<std::string> appendArc(const std::vector<double>& fields, std::vector<Wire>& wires);

// GH ITG NS S HL A1 B1 A2 B2 RAD: a helix along Z from z = 0 of length
// |HL| with turns S apart, radius A1 (X) and B1 (Y, A1 when 0) at its
// start and A2, B2 at its end, in NS segments of radius RAD, appended; a
// negative HL winds the other way (X and Y exchanged).
//   "GH 4 8 1 1 0.5 0 0.5 0 0.001" -> eight wires of tag 4 from (0.5,0,0)
//     to (0.5,0,1), a full turn
// Refused: NS below 1, S, HL or RAD zero, a radius below 0.
std::optional<std::string> appendHelix(const std::vector<double>& fields, std::vector<Wire>& wires);

// A GW of radius 0 and the GC card after it (GC 0 0 RDEL RAD1 RAD2): a
// wire whose segments grow by RDEL one to the next and whose radius goes
// from RAD1 to RAD2 by a constant ratio; `wire` has the GW's tag, segments
// and ends.
//   GW 1 3 (0,0,0)-(0,7,0), "GC 0 0 2 0.001 0.004" -> wires of 1, 2 and 4 m,
//     radii 1, 2 and 4 mm
// Refused: fewer than 2 segments, RDEL, RAD1 or RAD2 not above 0.
std::optional<std::string> appendTapered(const Wire& wire, const std::vector<double>& fields, std::vector<Wire>& wires);

} // namespace vostrel::nec
