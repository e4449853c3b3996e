// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "length_text.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace vostrel::options {

// The names and value forms that vostrel-design and vostrel-designer share,
// so that a command line written for one works in the other. Both programs
// generate their option help from this one table.

// Each option of the table, for a program to bind its own storage to: a
// name mistyped in code does not compile.
enum class OptionId {
    Freq,
    R,
    X,
    Element,
    Rod,
    Spacing,
    Line,
    Half,
    Textbook,
    Units,
    Length,
    Cap,
    TubeId,
    Dielectric,
    S1p,
    From,
    To,
    Step,
    Zin,
    ZinS1p,
    Through,
    ThroughLine,
    ElementLength,
    Nec,
    WriteNec,
    RodSide,
    CapAt,
    Power,
    SwrMargin,
    Coax,
    Design,
    Csv,
};
inline constexpr std::size_t kOptionCount = static_cast<std::size_t>(OptionId::Csv) + 1;

struct OptionInfo {
    OptionId id;
    std::string_view name; // "--freq"
    std::string_view value; // "MHZ"; empty for a flag
    std::string_view help; // one line, or lines joined by "\n"
};

// In the order the help lists them:
//   --freq MHZ, --r OHMS, --x OHMS, --element LEN, --rod LEN, --spacing LEN,
//   --line OHMS, --half, --units UNIT, --length LEN, --cap PF, --tube-id LEN,
//   --dielectric D, --s1p FILE, --from MHZ, --to MHZ, --step MHZ, --zin R,X,
//   --zin-s1p FILE, --through CABLE,LENGTH, --through-line Z0,VF,DB100M@MHZ,LENGTH,
//   --element-length LEN, --nec FILE, --write-nec FILE, --rod-side SIDE,
//   --cap-at WHERE, --power W, --swr-margin S, --coax NAME, --design FILE, --csv
std::span<const OptionInfo> designOptions();

// The entry for `name`, or nullptr.
//   "--freq" -> its entry    "--unit" -> nullptr
const OptionInfo* findOption(std::string_view name);

// The entry of `id`.
//   OptionId::TubeId -> the entry of "--tube-id"
const OptionInfo& optionInfo(OptionId id);

// A length unit in any case: "mm", "MM", "In" -> the unit; "yd", "" -> nothing.
std::optional<design::Unit> readUnit(std::string_view text);

// A capacitance in pF: a plain number, optionally followed by "pF" in any
// case with or without a blank, or "short" in any case (infinity: the
// capacitor shorted).
//   "96" -> 96    "96pF", "96 PF", "96pf" -> 96    "SHORT" -> infinity
//   "96 pX", "pF", "" -> nothing
std::optional<double> readCapacitance(std::string_view text);

// A sleeve's relative permittivity: a dielectric's name in any case (see
// design::dielectrics()) or a plain number.
//   "ptfe", "PTFE" -> 2.1     "3.5" -> 3.5     "glass" -> nothing
std::optional<double> readPermittivity(std::string_view text);

// A transmitter's power in watts: a plain number above 0.
//   "100" -> 100    "1.5e3" -> 1500    "0", "-5", "lots", "inf" -> nothing
std::optional<double> readPower(std::string_view text);

// The worst SWR the capacitor must stand while tuning: a plain number of
// 1 or more.
//   "2" -> 2    "1" -> 1    "0.9", "nan", "" -> nothing
std::optional<double> readSwrMargin(std::string_view text);

} // namespace vostrel::options
