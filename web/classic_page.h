// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_match.h"

#include <array>
#include <string>
#include <string_view>

namespace vostrel::web {

// What the classic window shows after INCHES or CM for a frequency text,
// read with "." as the decimal separator: the five result texts top to
// bottom, or the message its message box would show (the result boxes
// then keep what they showed).
struct ClassicShown {
    bool ok = false;
    std::array<std::string, 5> results; // spacing, tap point, tube, capacitor, insertion
    std::string message;
    std::string frequency; // the frequency converted, in its normal form ("14.20" -> "14.2")
};

//   "14.2", Inches     -> ok; "6.099", "47.687", "10.876", "126.761", "8.451"; frequency "14.2"
//   "28.5", Centimetres -> ok; "10.331", "60", "13.684", "63.158", "10.695"
//   "0", either        -> "Type the operating frequency in MHz, for example 14.2: the frequency is 0
//                          (division by zero)."
//   "14,2", either     -> "Type the frequency with a point, for example 14.2: decimals are written
//                          with a point here (conversion error)."
ClassicShown classicShown(std::string_view text, LengthUnit unit);

// The same as one line for the page and the comparison across builds:
// "ok" and the five results, or "error" and the message, tab-separated.
//   "14.2", Inches -> "ok\t6.099\t47.687\t10.876\t126.761\t8.451"
std::string classicLine(std::string_view text, LengthUnit unit);

} // namespace vostrel::web
