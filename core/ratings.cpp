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

void warn(Ratings& r, const CapacitorKind& kind, bool tube)
{
    const double peak = r.capacitorVoltagePeakAtMargin;
    const double holds = r.breakdownVoltage;
    if (!tube || holds <= 0) {
        return;
    }
    const std::string what = "the capacitor's peak of " + kilovolts(peak) + " at the SWR margin";
    const std::string instead = kind.kind == Capacitor::AirVariable
        ? "slide a PTFE sleeve into the gap, or use a thicker gap"
        : "use a thicker gap (a wider tube) or a vacuum or wide-spaced air variable";
    if (peak > holds) {
        r.warnings.push_back({Warning::Kind::AboveBreakdown,
            what + " is above the " + std::string(kind.dielectric) + " gap's breakdown of " + kilovolts(holds)
                + ": it will arc; " + instead});
    } else if (peak > holds / 3) {
        r.warnings.push_back({Warning::Kind::AboveThirdOfBreakdown,
            what + " is above a third of the " + std::string(kind.dielectric) + " gap's breakdown of "
                + kilovolts(holds) + ": too little margin for dirt and damp; " + instead});
    }
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

    const CapacitorKind& kind = capacitorKind(in.capacitor);
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
        const double radius = in.rodDiameter / 2;
        const double geometry = radius * std::log(*in.tubeInnerDiameter / in.rodDiameter);
        r.breakdownVoltage = kind.strengthVoltsPerMetre * geometry;
        r.surfaceFieldAtMargin = r.capacitorVoltagePeakAtMargin / geometry;
    }
    warn(r, kind, in.tubeInnerDiameter.has_value());
    return r;
}

} // namespace vostrel::ratings
