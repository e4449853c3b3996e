// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_design.h"
#include "length_text.h"
#include "ratings.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::web {

// The designer page's inputs as typed. Lengths carry a unit or take
// `unit`'s ("mm", "cm" or "in"); `share` is "whole" or "half"; `model`
// "corrected" (the default closed form) or "textbook". The tuning
// moves the strap by 0.25 % of the design length a step (-100..100) and the
// capacitor by 0.5 % a step (-100..100), as the designer window's sliders.
struct DesignerInput {
    std::string freq;
    std::string r;
    std::string x;
    std::string element;
    std::string rod;
    std::string spacing;
    std::string line = "50";
    std::string unit = "in";
    std::string share = "whole";
    std::string model = "corrected"; // or "textbook": the line model alone
    int strapSteps = 0;
    int capacitorSteps = 0;
    // The ratings at a power: none while `power` is empty. `dielectric` is
    // "air" (a variable, or air in the tube), "ptfe" or "polyethylene";
    // `tube` the coaxial capacitor's tube inner diameter, empty for none.
    std::string power;
    std::string swrMargin = "2";
    std::string dielectric = "air";
    std::string tube;
};

// The design, the tuned match and the three SWR sweeps around it (500
// points each: capacitance 0.4 to 1.6 times the design's at the tuned rod
// length, rod length 0.7 to 1.3 times at the tuned capacitor, frequency
// +-5 % at both), as JSON for the page:
//   {"status":"ok","results":{...},"sweeps":[{"name":"capacitance",...},...]}
//   {"status":"bad","field":"rod","message":"\"abc\" is not a number"}
//   {"status":"nomatch","message":"no gamma match of this geometry can match: ..."}
// The ARRL example (14.3 MHz, 25 - j25 ohms, 1.5 in, 0.5 in, 6 in, textbook), strap
// +12 steps and capacitor -10 -> rod "38.90 in", capacitor "96.14 pF",
// tuned "40.07 in" and "91.33 pF", SWR "1.09".
// With a power, "ratings" after "results": the design's rod and capacitor
// at that power, as ratingsJson() gives them; a bad power, margin or tube
// is {"status":"bad","field":"power"|"swrMargin"|"dielectric"|"tube",...}.
std::string designerJson(const DesignerInput& input);

// The design's inputs read as designerJson() reads them, or the field at
// fault ("freq", "rod", ...) and why.
struct ReadDesign {
    design::DesignInput input;
    design::Unit unit = design::Unit::Inch;
};
struct BadField {
    std::string field;
    std::string message;
};
std::variant<ReadDesign, BadField> readDesignerInput(const DesignerInput& input);

// The ratings fields read, the design's figures still to fill in; nothing
// while the power is empty.
//   power "100" -> 100 W, margin 2, an air variable, no tube
//   power "-5"  -> BadField{"power", "\"-5\" is not a power in watts above 0"}
std::variant<std::optional<ratings::Input>, BadField> readRatingsInput(const DesignerInput& input, design::Unit unit);

// The ratings of `in` as a JSON object of display texts:
//   {"heading":"At 100 W, margin SWR 2 (air variable, aluminium rod and strap)",
//    "lineCurrent":"1.414 A rms","lineCurrentAtMargin":"2.000 A rms",
//    "capacitorVoltage":"121.6 V rms, 172.0 V peak", "capacitorVoltageAtMargin":...,
//    "recommended":"344 V peak", "rodCurrent", "capacitorLoss", "rodLoss",
//    "strapLoss", "matchLoss", "gapField" ("" without a tube),
//    "warnings":[{"level":"breakdown"|"third","message":"..."}]}
// or the core's refusal as BadField (field "tube" for the tube's diameter).
std::variant<std::string, BadField> ratingsJson(const ratings::Input& in);

// `text` as a JSON string, quoted, with '"', '\\' and control characters escaped.
std::string jsonString(std::string_view text);

} // namespace vostrel::web
