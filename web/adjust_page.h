// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "designer_page.h"

#include <string>

namespace vostrel::web {

// The designer page's "Adjust from a reading" form: what was built and what
// the analyser read, as typed, into adjust::adjust() (or adjustSweep() for a
// Touchstone file), and its answer as the page shows it.
struct AdjustPageInput {
    DesignerInput design; // the design shown: frequency, geometry, line, share, closed form, R and X
    std::string rodLength; // as built, feed point to strap; the design's unit unless it names its own
    std::string capacitance; // as set, pF ("91.33" or "91.33 pF"); "short" for a shorted capacitor
    std::string r; // the reading, ohms; not read when a file is given
    std::string x;
    std::string cable; // a name from coax::cables(); empty: read at the match's connector
    std::string cableLength; // metres unless it names its unit
    bool fromFile = false; // the reading is a Touchstone file, not R and X
    std::string fileName; // empty: none chosen yet
    std::string fileText; // its contents, as the page read them
};

// The answer as JSON:
//   {"status":"ok","results":{"elementZ":..,"nextRod":..,"strapMove":..,
//      "nextCapacitor":..,"expectedSwr":..,"reading":..,"compared":..,
//      "cableLoss":..,"lowestNow":..,"lowestNext":..},
//    "warning":"..","next":{"rod":"42.11 in","capacitance":"80.17"}}
//   {"status":"bad","field":"read-r","message":"Reading R: \"abc\" is not a number."}
//   {"status":"refused","message":"The reading has a negative resistance ..."}
//   {"status":"waiting","message":"Type the R and X ..."}
// "bad" names the form's field at fault (built-rod, built-cap, read-r,
// read-x, cable, cable-length, s1p; design for the design's own fields);
// "refused" is a reading no element impedance explains, or a next step the
// rod cannot take; "waiting" a form with no reading yet (R and X both
// blank, or no file chosen). Results not given are empty ("" for cableLoss without a
// cable, for lowestNow and lowestNext without a file); "warning" is empty
// unless the cable is lossy. "next" holds the suggestion as the built
// fields take it, for "Use as built".
//   the ARRL example (textbook, 38.90 in, 96.14 pF), read 40 + j10
//     -> elementZ "23.23 - j32.41 ohms", nextRod "42.11 in",
//        strapMove "3.21 in further from the feed point",
//        nextCapacitor "80.17 pF (-15.97 pF)", expectedSwr "1.000"
std::string adjustJson(const AdjustPageInput& input);

// The cables of coax::cables() as a JSON array of
// {"name":"RG-213","label":"RG-213 (50 ohms, VF 0.66)"}.
std::string cablesJson();

} // namespace vostrel::web
