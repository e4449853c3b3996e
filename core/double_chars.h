// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vostrel {

// Reading and writing floating-point numbers as std::from_chars and
// std::to_chars do, bit for bit and character for character, without them:
// the standard library of some targets (emscripten 3.1.6's libc++) has no
// floating-point <charconv>. One implementation serves every target.
//
// Reading rounds the exact decimal value once, to nearest with ties to
// even: small cases in one exact floating-point operation (Clinger's fast
// path), the rest by exact big-integer division (Clinger, "How to Read
// Floating Point Numbers Accurately", PLDI 1990, Algorithm M). Writing takes
// the exact decimal expansion of the double (every double is a finite
// decimal) and rounds its digits; the shortest form tries 1 to 17 digits
// and keeps the first that reads back as the same double, the nearest to it
// when two do (the shortest-uniquely-identifying output of Steele & White,
// "How to Print Floating-Point Numbers Accurately", PLDI 1990).

// Reads the whole of `text` as std::from_chars(first, last, value) with
// chars_format::general reads it: an optional "-", digits with at most one
// ".", at least one digit, an optional exponent "e" or "E" with an optional
// sign and digits. Nothing when the text has anything else (blanks, "+" in
// front, "inf", "nan", hexadecimal), or when the value does not fit: beyond
// the largest finite number once rounded, or non-zero but rounding to zero.
//   "14.3"    -> 14.3           "-2.5e-3" -> -0.0025
//   ".5"      -> 0.5            "0e999"   -> 0
//   "4e-324"  -> 4.9406564584124654e-324 (the smallest subnormal)
//   "1e309", "2e-324", "", "1e", "+1", " 1", "1.2.3" -> nothing
std::optional<double> readDouble(std::string_view text);

// The same for a float, rounded once from the decimal digits (never through
// a double): "1e-45" -> 1.40129846e-45f; "3.5e38", "7e-46" -> nothing.
std::optional<float> readFloat(std::string_view text);

// std::to_chars(first, last, value): the fewest significant digits that read
// back as `value`, the nearest such when two qualify, in plain or exponent
// form, whichever is shorter (plain on a tie).
//   14.3 -> "14.3"   1e21 -> "1e+21"   0.001 -> "0.001"   1e-5 -> "1e-05"
//   -0.0 -> "-0"     infinity -> "inf"   NaN -> "nan" ("-nan" with the sign bit)
std::string shortestText(double value);

// std::to_chars(first, last, value, chars_format::fixed, precision): the
// exact value rounded to `precision` (0 or more) decimals, ties to even.
//   2.5, 2 -> "2.50"   0.125, 2 -> "0.12"   -0.004, 2 -> "-0.00"
std::string fixedText(double value, int precision);

// std::to_chars(first, last, value, chars_format::scientific, precision):
// one digit, `precision` (0 or more) more after ".", "e", a sign and at
// least two exponent digits.
//   126.7605, 6 -> "1.267605e+02"   1e300, 3 -> "1.000e+300"   0.0, 0 -> "0e+00"
std::string scientificText(double value, int precision);

} // namespace vostrel
