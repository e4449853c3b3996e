// SPDX-License-Identifier: GPL-3.0-or-later
#include "ratings.h"

#include "number_text.h"
#include "physics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vostrel::ratings {
namespace {

// Typical figures, not guarantees: a builder's part may differ by a factor.
// Q: Tom Rauch, W8JI, on TowerTalk (September 2001), "long conventional air
// variable capacitors typically have Q = 2500", coaxial capacitors "Q ~ 50
// to 500 typically" (their long thin conductors, not the dielectric: PTFE's
// loss tangent, 0.0002 to 0.0004, alone would allow 2500 or more). A PTFE
// sleeve is taken at the top of that range, polyethylene (loss tangent
// about 0.0003 against PTFE's 0.0002) a little lower.
// Breakdown: air 3 kV/mm, the usual figure for a uniform field at sea
// level; PTFE in thick sections and tubes 10 to 30 kV/mm (ASTM D1710
// grades; thin films reach far more), so 20; polyethylene tables give 20
// to 40 kV/mm, so 20.
// The rating of twice the peak: Han Higasa, JE1BMJ, on the Amps mailing
// list (December 2012, "Air Variable Spacing Question"): "using a safety
// factor of 200 %" an air variable with a 1 mm gap stands 1 kV peak.
constexpr std::array kCapacitorKinds = {
    CapacitorKind{Capacitor::AirVariable, "air variable", "air", 2500, 3e6},
    CapacitorKind{Capacitor::PtfeCoax, "PTFE coaxial", "ptfe", 500, 20e6},
    CapacitorKind{Capacitor::PolyethyleneCoax, "polyethylene coaxial", "polyethylene", 300, 20e6},
};

// Resistivity at 20 C (CRC Handbook of Chemistry and Physics).
constexpr std::array kMetals = {
    MetalKind{Metal::Copper, "copper", 1.68e-8},
    MetalKind{Metal::Aluminium, "aluminium", 2.65e-8},
};

bool positive(double value)
{
    return std::isfinite(value) && value > 0;
}

std::string kilovolts(double volts)
{
    return decimalsText(volts / 1000, 2) + " kV";
}

// A gap that may break down: what it holds, V peak, and how a warning
// names it and its remedy.
struct Gap {
    double holds = 0;
    std::string breakdown; // "the air gap's breakdown of 4.51 kV"
    std::string instead; // what to use instead
};

void warnOf(Ratings& r, const Gap& gap)
{
    const double peak = r.capacitorVoltagePeakAtMargin;
    const std::string what = "the capacitor's peak of " + kilovolts(peak) + " at the SWR margin";
    if (peak > gap.holds) {
        r.warnings.push_back(
            {Warning::Kind::AboveBreakdown, what + " is above " + gap.breakdown + ": it will arc; " + gap.instead});
    } else if (peak > gap.holds / 3) {
        r.warnings.push_back({Warning::Kind::AboveThirdOfBreakdown,
            what + " is above a third of " + gap.breakdown + ": too little margin for dirt and damp; " + gap.instead});
    }
}

// A sleeved tube: where the sleeve ends first, its air gives way long
// before the sleeve.
void warnOfTube(Ratings& r, const CapacitorKind& kind)
{
    if (r.airGapBreakdownVoltage > 0) {
        warnOf(r,
            {r.airGapBreakdownVoltage,
                "the breakdown of the air where the " + std::string(kind.dielectric) + " sleeve ends, "
                    + kilovolts(r.airGapBreakdownVoltage),
                "let the sleeve run well past the rod's end and out of the tube's mouth, or use a thicker gap (a "
                "wider tube) or a vacuum or wide-spaced air variable"});
    }
    warnOf(r,
        {r.breakdownVoltage,
            "the " + std::string(kind.dielectric) + " gap's breakdown of " + kilovolts(r.breakdownVoltage),
            kind.kind == Capacitor::AirVariable
                ? "slide a PTFE sleeve into the gap, or use a thicker gap"
                : "use a thicker gap (a wider tube) or a vacuum or wide-spaced air variable"});
}

// The cut end first: its air gives way long before the dielectric.
void warnOfCable(Ratings& r, const coax::Cable& cable)
{
    const std::string name(cable.name);
    warnOf(r,
        {r.airGapBreakdownVoltage,
            "the breakdown of the air at the braid's cut end, " + kilovolts(r.airGapBreakdownVoltage),
            "trim the braid back well clear of the cut end and seal it, or use a thicker cable or a vacuum or "
            "wide-spaced air variable"});
    const std::string_view otherCable
        = cable.dielectric == coax::Dielectric::Ptfe ? "use a thicker cable" : "use a PTFE cable or a thicker one";
    warnOf(r,
        {r.breakdownVoltage,
            "the breakdown of " + name + "'s " + std::string(coax::dielectricName(cable.dielectric)) + ", "
                + kilovolts(r.breakdownVoltage),
            std::string(otherCable) + ", or a vacuum or wide-spaced air variable"});
}

// The gap of a rod in a tube or of a cable, r ln(R / r) at the rod's
// (inner conductor's) surface, from their diameters.
double gapGeometry(double innerDiameter, double outerDiameter)
{
    return innerDiameter / 2 * std::log(outerDiameter / innerDiameter);
}

} // namespace

std::span<const CapacitorKind> capacitorKinds()
{
    return kCapacitorKinds;
}

const CapacitorKind& capacitorKind(Capacitor kind)
{
    return kCapacitorKinds[static_cast<std::size_t>(kind)];
}

std::optional<Capacitor> capacitorOfDielectric(std::string_view dielectric)
{
    for (const CapacitorKind& kind : kCapacitorKinds) {
        if (kind.dielectric == dielectric) {
            return kind.kind;
        }
    }
    return std::nullopt;
}

Capacitor capacitorOfCable(const coax::Cable& cable)
{
    return cable.dielectric == coax::Dielectric::Ptfe ? Capacitor::PtfeCoax : Capacitor::PolyethyleneCoax;
}

std::span<const MetalKind> metals()
{
    return kMetals;
}

const MetalKind& metal(Metal which)
{
    return kMetals[static_cast<std::size_t>(which)];
}

double skinDepth(double resistivity, double freqMhz)
{
    return std::sqrt(resistivity / (std::numbers::pi * freqMhz * 1e6 * physics::kVacuumPermeability));
}

double skinResistance(double length, double diameter, double resistivity, double freqMhz)
{
    return length * resistivity / (std::numbers::pi * diameter * skinDepth(resistivity, freqMhz));
}

std::variant<Ratings, NoRating> rate(const Input& in)
{
    if (!positive(in.powerW)) {
        return NoRating{Field::Power, "the power must be a number of watts above 0"};
    }
    if (!std::isfinite(in.swrMargin) || in.swrMargin < 1) {
        return NoRating{Field::SwrMargin, "the SWR margin must be a number of 1 or more"};
    }
    if (!positive(in.freqMhz)) {
        return NoRating{Field::Frequency, "the frequency must be above 0"};
    }
    if (!positive(in.lineImpedance)) {
        return NoRating{Field::LineImpedance, "the line impedance must be above 0"};
    }
    if (!std::isfinite(in.capacitorReactance) || in.capacitorReactance < 0) {
        return NoRating{Field::CapacitorReactance, "the capacitor's reactance must be 0 or more"};
    }
    if (!positive(in.rodLength)) {
        return NoRating{Field::RodLength, "the rod length must be above 0"};
    }
    if (!positive(in.rodDiameter)) {
        return NoRating{Field::RodDiameter, "the rod's diameter must be above 0"};
    }
    if (!positive(in.strapLength)) {
        return NoRating{Field::StrapLength, "the strap's length must be above 0"};
    }
    if (in.tubeInnerDiameter && !(std::isfinite(*in.tubeInnerDiameter) && *in.tubeInnerDiameter > in.rodDiameter)) {
        return NoRating{Field::TubeInnerDiameter, "the tube's inner diameter must be above the rod's"};
    }
    if (in.cable != nullptr && in.tubeInnerDiameter) {
        return NoRating{Field::Cable, "the capacitor is a rod in a tube or a piece of cable, not both"};
    }
    if (in.cable != nullptr
        && !(positive(in.cable->innerDiameter) && in.cable->dielectricDiameter > in.cable->innerDiameter)) {
        return NoRating{Field::Cable, "the cable's dielectric must be wider than its inner conductor"};
    }

    const CapacitorKind& kind = capacitorKind(in.cable != nullptr ? capacitorOfCable(*in.cable) : in.capacitor);
    const double rho = metal(in.rodMetal).resistivity;
    Ratings r;
    r.lineCurrent = std::sqrt(in.powerW / in.lineImpedance);
    r.lineCurrentAtMargin = std::sqrt(in.powerW * in.swrMargin / in.lineImpedance);
    r.capacitorVoltage = r.lineCurrent * in.capacitorReactance;
    r.capacitorVoltagePeak = std::numbers::sqrt2 * r.capacitorVoltage;
    r.capacitorVoltageAtMargin = r.lineCurrentAtMargin * in.capacitorReactance;
    r.capacitorVoltagePeakAtMargin = std::numbers::sqrt2 * r.capacitorVoltageAtMargin;
    r.rodCurrent = r.lineCurrent;
    r.capacitorQ = kind.q;
    const double currentSquared = r.lineCurrent * r.lineCurrent;
    r.capacitorLoss = currentSquared * in.capacitorReactance / kind.q;
    r.rodResistance = skinResistance(in.rodLength, in.rodDiameter, rho, in.freqMhz);
    r.strapResistance = skinResistance(in.strapLength, in.rodDiameter, rho, in.freqMhz);
    r.rodLoss = currentSquared * r.rodResistance;
    r.strapLoss = currentSquared * r.strapResistance;
    r.matchLoss = r.capacitorLoss + r.rodLoss + r.strapLoss;
    r.recommendedVoltage = 2 * r.capacitorVoltagePeakAtMargin;
    if (in.tubeInnerDiameter) {
        const double geometry = gapGeometry(in.rodDiameter, *in.tubeInnerDiameter);
        r.breakdownVoltage = kind.strengthVoltsPerMetre * geometry;
        if (kind.kind != Capacitor::AirVariable) {
            r.airGapBreakdownVoltage = capacitorKind(Capacitor::AirVariable).strengthVoltsPerMetre * geometry;
        }
        r.surfaceFieldAtMargin = r.capacitorVoltagePeakAtMargin / geometry;
        warnOfTube(r, kind);
    }
    if (const coax::Cable* cable = in.cable) {
        const double geometry = gapGeometry(cable->innerDiameter, cable->dielectricDiameter);
        r.breakdownVoltage = coax::dielectricStrength(cable->dielectric) * geometry;
        r.airGapBreakdownVoltage = capacitorKind(Capacitor::AirVariable).strengthVoltsPerMetre * geometry;
        r.surfaceFieldAtMargin = r.capacitorVoltagePeakAtMargin / geometry;
        warnOfCable(r, *cable);
    }
    return r;
}

} // namespace vostrel::ratings
