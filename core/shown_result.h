// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_match.h"
#include "number_text.h"

#include <array>
#include <string>
#include <string_view>

namespace vostrel {

// What a result is measured in: the length unit of the button pressed
// (inches or centimetres), or picofarads whatever the button.
enum class ResultUnit { Length, Picofarads };

// One of the five results the calculator shows.
struct ResultField {
    std::string_view name; // as a column heading: "Spacing", "Tap point", ...
    std::string_view key; // lower case with underscores, for CSV headers: "tap_point"
    float GammaMatchValues::*member;
    ResultUnit unit;
};

// The five results in the order the window shows them, top to bottom, and
// the chart prints them, left to right.
//   kResultFields[0] -> {"Spacing", "spacing", &GammaMatchValues::spac, Length}
//   kResultFields[3] -> {"Capacitor", "capacitor", &GammaMatchValues::cap, Picofarads}
//   kResultFields[4] -> {"Insertion", "insertion_length", &GammaMatchValues::capl, Length}
inline constexpr std::array<ResultField, 5> kResultFields = {{
    {"Spacing", "spacing", &GammaMatchValues::spac, ResultUnit::Length},
    {"Tap point", "tap_point", &GammaMatchValues::tap, ResultUnit::Length},
    {"Tube", "tube", &GammaMatchValues::tube, ResultUnit::Length},
    {"Capacitor", "capacitor", &GammaMatchValues::cap, ResultUnit::Picofarads},
    {"Insertion", "insertion_length", &GammaMatchValues::capl, ResultUnit::Length},
}};

// The text a result is shown as, in the window and in the chart alike: its
// value rounded to three decimals (roundDecimals), then written with at most
// seven significant digits (formatSingle).
//   126.760567f           -> "126.761"
//   25714.2852f           -> "25714.29"
//   0.0625f               -> "0.062" (a tie goes to the even digit)
//   8.45070457f with ","  -> "8,451"
//   18000000.f            -> "1.8E+07"
// Never fails; an infinity or NaN, which a successful calculation never
// leaves, is written as formatSingle writes it.
std::string shownResult(float value, const NumberFormat& format);

} // namespace vostrel
