// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "deck_reader.h"
#include "failure.h"

#include <string>
#include <string_view>

namespace vostrel::nec {

// Reading MMANA-GAL's .maa antenna models by turning them into NEC-2 decks
// that readDeck() reads. The format as we read it, and what we leave out, is
// in docs/mmana-maa-format.md.

// The NEC-2 deck of an .maa model: CM cards with the title and the comment
// (UTF-8; a file that is not UTF-8 is read as Windows-1251, as the Russian
// MMANA writes it), then CE, one GW card per wire (tags 1, 2, ... in file
// order, metres, the radius column as the wire's radius), GE, GN 1 for a
// perfect or real ground (MMANA solves the currents over perfect ground; the
// real ground only shapes its far field), LD for each load (LD 0 for L, C and
// Q, LD 4 for R+jX), EX 0 for each source, FR at the file's frequency, XQ, EN.
// Segments: a positive count is kept (one added when the source is at the
// centre of a wire of an even count, so a centre segment exists); auto
// (0, -1, -2, -3) gives ceil(length * DM2 / wavelength) segments, odd,
// uniform (NEC-2 has no tapered segmentation on a straight GW).
// Sources and loads sit at "wNc" (centre segment), "wNb" (first), "wNe"
// (last), optionally followed by a signed segment offset ("w1c+1", "w2b2").
// Section names in English or Russian, lines ended by LF or CR LF, fields
// separated by commas and blanks.
//   "dipole\n*\n14.2\n*** Wires ***\n1\n0,-5,10,0,5,10,0.001,21\n*** Source ***\n1,1\nw1c,0,1\n"
//     -> "CM dipole\nCE\nGW 1 21 0 -5 10 0 5 10 0.001\nGE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 14.2 0\nXQ\nEN\n"
// Refused (BadDeck, "FILE:LINE: why", the line's text quoted with controls
// escaped): a line where a number, a wire, a source or a load should be and
// is not; no frequency or a frequency <= 0; a wire count that does not match
// the lines; a radius <= 0 (MMANA's negative radius is not taken); a
// segment code below -3; a zero-length wire; a source or load on a wire that
// does not exist or a segment beyond its wire; a load type other than 0 and
// 1; no wire or no source; a line after the sections it cannot place.
Outcome<std::string> maaToNecDeck(std::string_view text, std::string_view fileName);

// Whether a file is an .maa model: by its name's extension (any case), or by
// a "*** Wires ***" line (or its Russian twin) in its text.
//   "beam.MAA", "" -> true     "beam.nec", "CM\nGW 1 ..." -> false
bool isMaaModel(std::string_view text, std::string_view fileName);

// A user's model, .maa or NEC-2 deck, as readDeck() reads it. An .maa file
// is converted first; readDeck's refusals of the converted deck then name
// "FILE (as NEC-2):LINE" with the line of the converted deck.
//   a 20 m dipole .maa -> UserDeck with one wire, driven, source at its centre
Outcome<UserDeck> readModel(std::string_view text, std::string_view fileName);

} // namespace vostrel::nec
