// SPDX-License-Identifier: GPL-3.0-or-later
#include "coax_cable.h"

#include "ascii.h"
#include "length_text.h"
#include "plain_number.h"

#include <cmath>
#include <limits>

namespace vostrel::coax {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Matched loss in dB per 100 m. Where a maker gives dB per 100 ft the
// figure is multiplied by 3.281 and rounded to the digits the sheet's own
// figure had; figures marked typical are the values these cables are
// commonly sold with, good to about a tenth: check the maker's current
// sheet when a long run makes the loss matter.
constexpr std::array<Cable, 10> kCables = {{
    // Belden 8240 (RG-58/U) datasheet: VF 0.66, 30.8 pF/ft; loss 1.4, 4.9
    // and 10.5 dB/100 ft at 10, 100 and 400 MHz; 20 AWG solid conductor
    // 0.032 in, PE 0.116 in. Typical of RG-58 from any maker.
    {"RG-58", 50, 0.66, 101, Dielectric::SolidPe, {{{10, 4.6}, {100, 16}, {400, 34}}}, 3, 0.81e-3, 2.95e-3},
    // Belden 9258 (RG-8X) datasheet: VF 0.82, 25.3 pF/ft; loss 1.0, 3.7 and
    // 8.0 dB/100 ft at 10, 100 and 400 MHz; 16 AWG (19x29) conductor about
    // 0.057 in, foam PE 0.155 in. Typical.
    {"RG-8X", 50, 0.82, 83, Dielectric::FoamPe, {{{10, 3.3}, {100, 12}, {400, 26}}}, 3, 1.44e-3, 3.94e-3},
    // Belden 8267 (RG-213/U) datasheet: VF 0.66, 30.8 pF/ft; loss 0.6, 1.9
    // and 4.1 dB/100 ft at 10, 100 and 400 MHz; 13 AWG (7x21) conductor
    // 0.089 in, PE 0.285 in. Typical of RG-213.
    {"RG-213", 50, 0.66, 101, Dielectric::SolidPe, {{{10, 2.0}, {100, 6.2}, {400, 13}}}, 3, 2.26e-3, 7.24e-3},
    // Times Microwave LMR-400 datasheet: VF 0.85, 78.4 pF/m; loss 2.2, 5.0,
    // 8.9 and 12.8 dB/100 m at 30, 150, 450 and 900 MHz; solid conductor
    // 0.108 in (2.74 mm), foam PE 0.285 in (7.24 mm).
    {"LMR-400", 50, 0.85, 78.4, Dielectric::FoamPe, {{{30, 2.2}, {150, 5.0}, {450, 8.9}, {900, 12.8}}}, 4, 2.74e-3,
        7.24e-3},
    // SSB-Electronic Aircell 7 datasheet: VF 0.83, 74 pF/m; loss 7.9, 14.1
    // and 26.1 dB/100 m at 144, 432 and 1296 MHz; stranded conductor
    // 1.85 mm (19 x 0.37 mm), foam PE about 5.0 mm. Typical.
    {"Aircell 7", 50, 0.83, 74, Dielectric::FoamPe, {{{144, 7.9}, {432, 14.1}, {1296, 26.1}}}, 3, 1.85e-3, 5.0e-3},
    // SSB-Electronic Ecoflex 10 datasheet: VF 0.85, 78 pF/m; loss 4.8, 8.9
    // and 16.5 dB/100 m at 144, 432 and 1296 MHz; stranded conductor
    // 2.85 mm (7 x 0.95 mm), foam PE about 7.5 mm. Typical.
    {"Ecoflex 10", 50, 0.85, 78, Dielectric::FoamPe, {{{144, 4.8}, {432, 8.9}, {1296, 16.5}}}, 3, 2.85e-3, 7.5e-3},
    // SSB-Electronic Ecoflex 15 datasheet: VF 0.86, 77 pF/m; loss 3.4, 6.1
    // and 11.4 dB/100 m at 144, 432 and 1296 MHz; stranded conductor
    // 4.5 mm (7 x 1.5 mm), foam PE about 11.3 mm. Typical.
    {"Ecoflex 15", 50, 0.86, 77, Dielectric::FoamPe, {{{144, 3.4}, {432, 6.1}, {1296, 11.4}}}, 3, 4.5e-3, 11.3e-3},
    // H-155 (Belden H155 and its copies): VF 0.79, about 82 pF/m; loss
    // about 11 and 35 dB/100 m at 100 and 1000 MHz; stranded conductor
    // about 1.4 mm, foam PE about 3.9 mm. Typical.
    {"H-155", 50, 0.79, 82, Dielectric::FoamPe, {{{100, 11}, {1000, 35}}}, 2, 1.4e-3, 3.9e-3},
    // Belden 8216 (RG-174/U) datasheet: VF 0.66, 30.8 pF/ft; loss 3.3, 8.4
    // and 19 dB/100 ft at 10, 100 and 400 MHz; 26 AWG (7x34) conductor
    // 0.019 in, PE 0.060 in. Typical of RG-174.
    {"RG-174", 50, 0.66, 101, Dielectric::SolidPe, {{{10, 11}, {100, 28}, {400, 62}}}, 3, 0.48e-3, 1.52e-3},
    // RG-142 (silver-plated, PTFE): VF 0.70, 96 pF/m (29.4 pF/ft); loss
    // about 14, 29 and 47 dB/100 m at 100, 400 and 1000 MHz; conductor
    // 0.039 in, PTFE 0.116 in. Typical.
    {"RG-142", 50, 0.70, 96, Dielectric::Ptfe, {{{100, 14}, {400, 29}, {1000, 47}}}, 3, 0.99e-3, 2.95e-3},
}};

// 75 ohms: RG-6 television drop cable, foam PE, quad or dual shield: VF
// 0.85, 53 pF/m (16.2 pF/ft); loss 1.60, 3.05, 4.45 and 6.55 dB/100 ft at
// 55, 211, 450 and 1000 MHz, as the CATV makers' (CommScope, Belden) sheets
// give it; 18 AWG conductor 0.040 in, foam PE 0.180 in. Typical.
constexpr Cable kRg6 = {"RG-6", 75, 0.85, 53, Dielectric::FoamPe, {{{55, 5.2}, {211, 10.0}, {450, 14.6}, {1000, 21.5}}},
    4, 1.02e-3, 4.57e-3};

constexpr std::array<Cable, kCables.size() + 1> kAll = [] {
    std::array<Cable, kCables.size() + 1> all{};
    for (std::size_t i = 0; i < kCables.size(); ++i) {
        all[i] = kCables[i];
    }
    all[kCables.size()] = kRg6;
    return all;
}();

// Lower case without '-', '_' and ' '.
std::string folded(std::string_view name)
{
    std::string out;
    for (const char c : name) {
        if (c != '-' && c != '_' && c != ' ') {
            out.push_back(ascii::lower(c));
        }
    }
    return out;
}

std::string knownNames()
{
    std::string names;
    for (const Cable& cable : kAll) {
        if (!names.empty()) {
            names += ", ";
        }
        names += cable.name;
    }
    return names;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> fields(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        out.push_back(trimmed(text.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos) {
            return out;
        }
        start = comma + 1;
    }
}

// A number from a field, or the sentence why not.
std::variant<double, std::string> number(std::string_view text, std::string_view what)
{
    const auto read = readPlainNumber(text, NumberFormat{});
    if (const auto* why = std::get_if<NumberRefusal>(&read)) {
        return "the " + std::string(what) + " \"" + std::string(text) + "\" " + refusalText(*why, NumberFormat{});
    }
    return std::get<double>(read);
}

constexpr std::string_view kShape = "a line is NAME,LENGTH or Z0,VF,DB100M@MHZ,LENGTH (e.g. RG-213,12m or "
                                    "50,0.66,16@100,12m)";

} // namespace

std::string_view dielectricName(Dielectric dielectric)
{
    switch (dielectric) {
    case Dielectric::SolidPe:
        return "solid PE";
    case Dielectric::FoamPe:
        return "foam PE";
    case Dielectric::Ptfe:
        return "PTFE";
    }
    return "";
}

// Solid PE and PTFE as core/ratings.cpp takes them for a sleeve (its
// sources there): 20 kV/mm. Foam PE: no maker gives a figure; its cells are
// gas, so air's 3 kV/mm is taken, the cautious figure.
double dielectricStrength(Dielectric dielectric)
{
    switch (dielectric) {
    case Dielectric::SolidPe:
    case Dielectric::Ptfe:
        return 20e6;
    case Dielectric::FoamPe:
        return 3e6;
    }
    return 3e6;
}

double lossAt(std::span<const LossPoint> points, double freqMhz)
{
    if (!(std::isfinite(freqMhz) && freqMhz > 0)) {
        return kNaN;
    }
    if (points.empty()) {
        return 0;
    }
    if (points.size() == 1) {
        return points[0].dbPer100m * std::sqrt(freqMhz / points[0].freqMhz);
    }
    // The segment [lower, upper] and the point the loss is taken from: the
    // lower end within the table, the nearer end outside it, so that every
    // listed frequency gives its own figure exactly.
    std::size_t lower = 0;
    while (lower + 2 < points.size() && freqMhz >= points[lower + 1].freqMhz) {
        ++lower;
    }
    const LossPoint& a = points[lower];
    const LossPoint& b = points[lower + 1];
    const double n = std::log(b.dbPer100m / a.dbPer100m) / std::log(b.freqMhz / a.freqMhz);
    const LossPoint& anchor = freqMhz >= b.freqMhz ? b : a;
    return anchor.dbPer100m * std::pow(freqMhz / anchor.freqMhz, n);
}

std::span<const Cable> cables()
{
    return kAll;
}

std::variant<const Cable*, std::string> findCable(std::string_view name)
{
    const std::string wanted = folded(name);
    if (wanted.empty()) {
        return "no cable named: the known cables are " + knownNames();
    }
    for (const Cable& cable : kAll) {
        if (folded(cable.name) == wanted) {
            return &cable;
        }
    }
    return "unknown cable \"" + std::string(name) + "\": the known cables are " + knownNames();
}

Line lineOf(const Cable& cable, double length)
{
    return Line{std::string(cable.name), cable.impedance, cable.velocityFactor,
        std::vector<LossPoint>(cable.loss.begin(), cable.loss.begin() + static_cast<std::ptrdiff_t>(cable.lossCount)),
        length};
}

std::variant<Line, std::string> parseLine(std::string_view text)
{
    const std::vector<std::string_view> parts = fields(text);
    if (parts.size() != 2 && parts.size() != 4) {
        return std::string(kShape);
    }
    const auto length = design::parseLength(parts.back(), design::Unit::Metre);
    if (const auto* problem = std::get_if<std::string>(&length)) {
        return "the line's length: " + *problem;
    }
    const double metres = std::get<design::Length>(length).metres;
    if (!(metres >= 0)) {
        return std::string("the line's length must be 0 or more");
    }
    if (parts.size() == 2) {
        const auto found = findCable(parts[0]);
        if (const auto* problem = std::get_if<std::string>(&found)) {
            return *problem;
        }
        return lineOf(*std::get<const Cable*>(found), metres);
    }

    Line line;
    line.length = metres;
    const auto z0 = number(parts[0], "line impedance");
    if (const auto* problem = std::get_if<std::string>(&z0)) {
        return *problem;
    }
    line.impedance = std::get<double>(z0);
    if (!(line.impedance >= 1 && line.impedance <= 1e6)) {
        return std::string("the line impedance must be between 1 and 1000000 ohms");
    }
    const auto vf = number(parts[1], "velocity factor");
    if (const auto* problem = std::get_if<std::string>(&vf)) {
        return *problem;
    }
    line.velocityFactor = std::get<double>(vf);
    // Below 0.01 no cable is made, and the line's electrical length would
    // run past what tan and tanh keep digits for.
    if (!(line.velocityFactor >= 0.01 && line.velocityFactor <= 1)) {
        return std::string("the velocity factor must be between 0.01 and 1");
    }
    const std::size_t at = parts[2].find('@');
    if (at == std::string_view::npos) {
        return "the loss \"" + std::string(parts[2]) + "\" needs its frequency: dB per 100 m @ MHz, e.g. 16@100";
    }
    const auto db = number(trimmed(parts[2].substr(0, at)), "loss");
    if (const auto* problem = std::get_if<std::string>(&db)) {
        return *problem;
    }
    const auto mhz = number(trimmed(parts[2].substr(at + 1)), "loss's frequency");
    if (const auto* problem = std::get_if<std::string>(&mhz)) {
        return *problem;
    }
    if (!(std::get<double>(db) >= 0)) {
        return std::string("the loss must be 0 dB per 100 m or more");
    }
    if (!(std::get<double>(mhz) > 0)) {
        return std::string("the loss's frequency must be above 0 MHz");
    }
    line.loss.push_back(LossPoint{std::get<double>(mhz), std::get<double>(db)});
    return line;
}

} // namespace vostrel::coax
