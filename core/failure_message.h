// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "number_text.h"
#include "result.h"

#include <string>
#include <string_view>

namespace vostrel {

// What the user should do about a failure and why, in one sentence every
// front end shows alike. `text` is what was typed (the frequency text that
// was converted), `format` the number format it was read with. Every
// message starts by saying what to type, with an example in the format's
// own notation, then names the cause and, in brackets, the kind of failure.
// Characters from `text` appear only when printable: an invisible one (see
// isInvisible) is named by its code point, a byte that is not UTF-8 by its
// value.
//
// With format "." (L stands for "Type the operating frequency in MHz, for
// example 14.2"):
//   ConversionError, "" or "  "  -> "L: nothing is typed (conversion error)."
//   ConversionError, "14k2"      -> "L: the character \"k\" makes the text not a number (conversion error)."
//   ConversionError, "14\u200B"  -> "L: the invisible character U+200B (zero-width space) makes the text not
//                                    a number (conversion error)."
//   ConversionError, "14\u00A0"  -> "... U+00A0 (no-break space) ..."
//   ConversionError, "14µ"       -> "L: the character \"µ\" (U+00B5) makes the text not a number (conversion error)."
//   ConversionError, "14\xFF"    -> "L: the byte 0xFF, which is not UTF-8 text, makes the text not a number
//                                    (conversion error)."
//   ConversionError, "14 2"      -> "L: a blank inside the number makes the text not a number (conversion error)."
//   ConversionError, "1e", "-"   -> "L: the number ends too early (conversion error)."
//   ConversionError, "14,2"      -> "Type the frequency with a point, for example 14.2: decimals are written with
//                                    a point here (conversion error)."
//   DivisionByZero, "0", "-0.0"  -> "L: the frequency is 0 (division by zero)."
//   DivisionByZero, "1e-50"      -> "L: the number is too small; it becomes 0 (division by zero)."
//   Overflow, "1E39"             -> "L: the number is too large (overflow)."
//   Overflow, "1e-37"            -> "L: the frequency is so close to 0 that the results are too large (overflow)."
// With format ",":
//   ConversionError, "14.2"      -> "Type the frequency with a comma, for example 14,2: this system writes
//                                    decimals with a comma (conversion error)."
//   DivisionByZero, "0"          -> "Type the operating frequency in MHz, for example 14,2: the frequency is 0
//                                    (division by zero)."
// Another separator is quoted: with "\u066B", "14.2" -> "Type the frequency with \"\u066B\" as the decimal
// separator, for example 14\u066B2: this system writes decimals with \"\u066B\" (conversion error)."
//
// A failure that `text` does not explain (an Overflow for "14.2") gives the
// kind's general cause:
//   ConversionError -> "L: the text is not a number (conversion error)."
//   DivisionByZero  -> "L: the frequency is 0 (division by zero)."
//   Overflow        -> "L: the frequency is too close to 0, or the number is too large (overflow)."
std::string failureMessage(CalcFailure failure, std::string_view text, const NumberFormat& format);

} // namespace vostrel
