// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_options.h"

#include "ascii.h"
#include "gamma_design.h"
#include "plain_number.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace vostrel::options {
namespace {

constexpr std::array kDesignOptions = {
    OptionInfo{OptionId::Freq, "--freq", "MHZ", "the frequency"},
    OptionInfo{OptionId::R, "--r", "OHMS", "the feed resistance at the element's centre"},
    OptionInfo{
        OptionId::X, "--x", "OHMS", "the feed reactance (negative: capacitive, an element\nshorter than resonance)"},
    OptionInfo{OptionId::Element, "--element", "LEN",
        "the element's diameter. Lengths take a unit: mm, cm, m,\nin or ft (38.9in, 12mm); without one, the unit of "
        "--element"},
    OptionInfo{OptionId::Rod, "--rod", "LEN", "the rod's diameter"},
    OptionInfo{OptionId::Spacing, "--spacing", "LEN", "rod to element, centre to centre"},
    OptionInfo{OptionId::Line, "--line", "OHMS", "the feed line's impedance (50)"},
    OptionInfo{OptionId::Half, "--half", "",
        "step up half the feed impedance, k = 1/2 (Balanis); the\ndefault steps up the whole of it, k = 1 (ARRL, Owen "
        "Duffy)"},
    OptionInfo{OptionId::Textbook, "--textbook", "",
        "the textbook line model alone; the default adds the\nself-inductance of the feed connection and the strap,\n"
        "which NEC-2 shows the line model leaves out"},
    OptionInfo{OptionId::Units, "--units", "UNIT", "lengths shown in mm, cm, m, in or ft (the unit of --element)"},
    OptionInfo{OptionId::Length, "--length", "LEN", "the rod length, feed point to strap"},
    OptionInfo{OptionId::Cap, "--cap", "PF",
        "the capacitor: 96, 96pF or short. A sweep takes what it\nlacks from the design at --freq"},
    OptionInfo{OptionId::TubeId, "--tube-id", "LEN",
        "a coaxial capacitor: the inner diameter of the tube the\nrod slides into"},
    OptionInfo{OptionId::Dielectric, "--dielectric", "D",
        "its sleeve: air, ptfe, polyethylene or a relative\npermittivity (air)"},
    OptionInfo{OptionId::S1p, "--s1p", "FILE", "a Touchstone one-port file of the feed impedance"},
    OptionInfo{OptionId::From, "--from", "MHZ", "a frequency range's start; --to its end, --step its step"},
    OptionInfo{OptionId::To, "--to", "MHZ", ""},
    OptionInfo{OptionId::Step, "--step", "MHZ", ""},
    OptionInfo{OptionId::Zin, "--zin", "R,X", "what the analyser reads at the match at --freq, ohms\n(38.5,-21.2)"},
    OptionInfo{
        OptionId::ZinS1p, "--zin-s1p", "FILE", "or its sweep: a Touchstone one-port file, as a NanoVNA\nsaves it"},
    OptionInfo{OptionId::Through, "--through", "CABLE,LENGTH",
        "read at the far end of a feed line: a known cable and\nits length (rg213,15m; m without a unit)"},
    OptionInfo{OptionId::ThroughLine, "--through-line", "Z0,VF,DB100M@MHZ,LENGTH",
        "or any line by its figures: impedance, velocity\nfactor, dB per 100 m at a frequency (50,0.66,16@100,12m)"},
    OptionInfo{OptionId::ElementLength, "--element-length", "LEN",
        "check and refine in NEC-2 (nec2c): a straight tube of this\ntip-to-tip length and the --element diameter, "
        "free\nspace, centre-fed; --r and --x become optional"},
    OptionInfo{OptionId::Nec, "--nec", "FILE",
        "check and refine in NEC-2: the antenna's NEC-2 deck or\nMMANA-GAL .maa model, its one source on the driven\n"
        "element (which gives the element's diameter: leave out\n--element)"},
    OptionInfo{OptionId::WriteNec, "--write-nec", "FILE", "write the matched antenna's NEC-2 deck to FILE"},
    OptionInfo{OptionId::RodSide, "--rod-side", "SIDE",
        "where the NEC-2 model's rod lies: away (from the other\n"
        "elements, upwards for a lone tube; the default), +x, -x,\n"
        "+y, -y, +z or -z (the deck's axes, across the element)"},
    OptionInfo{OptionId::CapAt, "--cap-at", "WHERE",
        "where the NEC-2 model's capacitor sits: feed (beside the\n"
        "feed point, in the feed connection; the default),\n"
        "rod-end (in series at the rod's feed end: a coax\n"
        "capacitor inside the rod's tube) or tube (there, and\n"
        "the rod sliding into the --tube-id tube modelled as the\n"
        "line it is: NEC-2's TL card, open at the rod's tip)"},
    OptionInfo{OptionId::Power, "--power", "W",
        "the ratings at this transmitter power: the line current,\nthe capacitor's voltage and the match's losses"},
    OptionInfo{OptionId::SwrMargin, "--swr-margin", "S",
        "the worst SWR the capacitor must stand while tuning (2):\nits voltage at the current maximum of that SWR"},
    OptionInfo{OptionId::Coax, "--coax", "NAME",
        "the capacitor as a piece of this cable, open at its far end\n(RG-213, RG-58, Aircell 7, ...): its length as a "
        "line;\nwith --power, what its dielectric and cut end stand"},
    OptionInfo{OptionId::Design, "--design", "FILE",
        "the inputs from a design file the designer window saved\n(docs/design-file-format.md); the options given\n"
        "replace the file's"},
    OptionInfo{OptionId::Csv, "--csv", "", "comma-separated values with a header line"},
};

constexpr bool inIdOrder()
{
    for (std::size_t i = 0; i < kDesignOptions.size(); ++i) {
        if (static_cast<std::size_t>(kDesignOptions[i].id) != i) {
            return false;
        }
    }
    return kDesignOptions.size() == kOptionCount;
}
static_assert(inIdOrder(), "kDesignOptions lists each OptionId once, in order");

} // namespace

std::span<const OptionInfo> designOptions()
{
    return kDesignOptions;
}

const OptionInfo* findOption(std::string_view name)
{
    const auto* found = std::find_if(
        kDesignOptions.begin(), kDesignOptions.end(), [&](const OptionInfo& option) { return option.name == name; });
    return found != kDesignOptions.end() ? &*found : nullptr;
}

const OptionInfo& optionInfo(OptionId id)
{
    // The table lists the options in the order of OptionId.
    return kDesignOptions[static_cast<std::size_t>(id)];
}

std::optional<design::Unit> readUnit(std::string_view text)
{
    return design::unitFromSymbol(ascii::lowered(text));
}

std::optional<double> readCapacitance(std::string_view text)
{
    const std::string lower = ascii::lowered(text);
    if (lower == "short") {
        return std::numeric_limits<double>::infinity();
    }
    std::string_view number = lower;
    if (number.ends_with("pf")) {
        number.remove_suffix(2);
        if (number.ends_with(' ')) { // "96 pF"
            number.remove_suffix(1);
        }
    }
    return plainNumber(number);
}

std::optional<double> readPermittivity(std::string_view text)
{
    const std::string lower = ascii::lowered(text);
    for (const design::Dielectric& dielectric : design::dielectrics()) {
        if (lower == dielectric.name) {
            return dielectric.permittivity;
        }
    }
    return plainNumber(text);
}

std::optional<double> readPower(std::string_view text)
{
    const auto power = plainNumber(text);
    return power && std::isfinite(*power) && *power > 0 ? power : std::nullopt;
}

std::optional<double> readSwrMargin(std::string_view text)
{
    const auto margin = plainNumber(text);
    return margin && std::isfinite(*margin) && *margin >= 1 ? margin : std::nullopt;
}

} // namespace vostrel::options
