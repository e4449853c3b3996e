// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "result.h"

#include <optional>
#include <string>
#include <string_view>

namespace vostrel {

// How numbers are written for the user. The decimal separator comes from
// the caller (the window passes its locale's); the core never looks up a
// locale itself. No thousands separators are read or written.
struct NumberFormat {
    // UTF-8, e.g. "." or ",". An empty separator, or one that begins with a
    // digit, a sign, a blank or an exponent letter, is taken as ".".
    std::string decimalSeparator = ".";
};

// The separator the conversions below read and write for `format`: its
// own, or "." when it cannot be used.
//   "," -> ","    "" -> "."    "e" -> "."
std::string_view usableSeparator(const NumberFormat& format);

// Converts the frequency text to the float nearest to its decimal value,
// rounding once, straight from the digits (ties to even).
//
// Accepted: blanks (space, tab) before and after; an optional "+" or "-";
// ASCII digits with at most one decimal separator and at least one digit;
// an optional exponent "E" or "e" with an optional sign and at least one
// digit. Leading zeros are fine. Nothing else is accepted: no thousands
// separators, no other separator than format's, no "inf", "nan" or hex.
// Texts of any length are read in time linear in their length.
//
//   "14.2"    -> 14.1999998f
//   " -7.1 "  -> -7.0999999f
//   "00.0"    -> 0
//   "1.8E+07" -> 18000000
//   "14,2" with separator ","  -> 14.1999998f
//   "1e-50"   -> 0 (too small for a float: rounds to zero)
//
// Failures:
//   "", "   ", "abc", "14,2" with separator ".", "1.2.3", "1e" -> ConversionError
//   "1E39", "-3.5e38" (beyond the largest float once rounded)   -> Overflow
Result<float> parseSingle(std::string_view text, const NumberFormat& format);

// Rounds the exact value of `value` to `places` decimal places, a tie going
// to the even last digit, and narrows the result to the nearest float.
// Negative values round symmetrically. `places` is taken in 0..8 (values
// outside are clamped to that range); the calculator always passes 3.
//
//   126.760567f, 3 -> 126.761f (the float nearest to 126.761)
//   0.0625f, 3     -> 0.062f (an exact tie: the even digit)
//   -47.6873245f, 3 -> -47.687f
//
// Never fails. Infinities and NaN come back unchanged.
float roundDecimals(float value, int places);

// Writes a float with at most seven significant digits, rounded from its
// exact value (a tie at the seventh digit goes to the even digit).
//   - magnitude 10,000,000 or more, or below 0.001 (after that rounding):
//     exponent form, the mantissa without trailing zeros, "E", a sign and
//     at least two exponent digits;
//   - otherwise plain form without trailing zeros, and without the
//     separator when no fraction remains; "0" before the separator below 1.
// Negative values start with "-"; zero (of either sign) is "0".
//
//   126.761f   -> "126.761"      25714.2852f -> "25714.29"
//   18000000.f -> "1.8E+07"      1200000.f   -> "1200000"
//   0.0001f    -> "1E-04"        -0.832f     -> "-0.832"
//   0.832f with separator ","   -> "0,832"
//
// Never fails. Infinities and NaN, which the calculator never shows, are
// written "Infinity", "-Infinity" and "NaN".
std::string formatSingle(float value, const NumberFormat& format);

// Writes a double with "." and no exponent, with `decimals` digits after
// the point (clamped to 0..17), or with none given the shortest text that
// reads back as the same double (which may have an exponent). Never "-0":
// a negative value that shows only zeros loses its sign. Infinities and NaN
// are written as std::to_chars writes them ("inf", "-inf", "nan").
//   2.5, 2         -> "2.50"      -1.25, 1   -> "-1.2" (ties to even)
//   -0.004, 2      -> "0.00"      -0.0, none -> "0"
//   14.3, none     -> "14.3"      1e300, none -> "1e+300"
std::string doubleText(double value, std::optional<int> decimals);

} // namespace vostrel

namespace vostrel {

// Results as the command-line reports write them.
//
// `value` with `decimals` decimals as doubleText() writes it; infinity as
// "inf" or "-inf"; from 1e15 up, too long to read in this form, with four
// significant digits and an exponent.
//   96.1437, 2 -> "96.14"     1e300, 2 -> "1.000e+300"     -0.001, 2 -> "0.00"
std::string decimalsText(double value, int decimals);

// A length or capacitance: as decimalsText(), but a value too small to show
// in `decimals` as anything but 0 gets an exponent, never a false 0.
//   3.2e-296, 2 -> "3.200e-296"     0.004, 2 -> "4.000e-03"     0.005, 2 -> "0.01"
std::string quantityText(double value, int decimals);

// A value as the designer window shows it: four significant figures and at
// most `maxDecimals` after the separator, in `format`'s notation, no group
// separators; beyond a billion, or too small to show a figure in
// `maxDecimals`, four figures with an exponent ("1,235e+12", "3.183e-30").
// Not finite: an em dash.
//   38.9037, 3 -> "38.90"     314.4, 3 -> "314.4"     0.0123456, 3 -> "0.012"
//   1.5, 3 with "," -> "1,500"  (four figures)      1e-30, 3 -> "1.000e-30"
std::string figuresText(double value, int maxDecimals, const NumberFormat& format);

} // namespace vostrel
