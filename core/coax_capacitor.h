// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <variant>

namespace vostrel::coax {

// A coaxial capacitor taken as what it is: a piece of line open at its far
// end (a coax cable with the braid trimmed back, or a rod in a tube), not a
// lumped capacitance. Its input reactance is
//   Zin = -j Z0 cot(beta l),  beta = 2 pi f / (VF c),
// so the length giving a reactance X is l = atan(Z0 / X) / beta, shorter
// than the per-metre estimate C / C' (C = 1 / (2 pi f X)) by a share that
// grows with the line's electrical length: a long piece shows more than
// its per-metre capacitance. The line's own figures are taken from its
// capacitance per metre C' and velocity factor VF, Z0 = 1 / (C' VF c), so
// that a short piece agrees with the per-metre estimate exactly in the
// limit. Lengths in metres, reactance in ohms (the capacitor's, > 0),
// frequency in MHz.
struct OpenLineInput {
    double freqMhz = 0;
    double reactance = 0; // the capacitor's |X|
    double pfPerMetre = 0;
    double velocityFactor = 0;
};

struct OpenLineCapacitor {
    double lineImpedance = 0; // Z0 of the line, ohms
    double capacitancePf = 0; // 1 / (2 pi f X)
    double length = 0; // as a line
    double lumpedLength = 0; // C / C'
    double electricalDegrees = 0; // beta l
    bool lumpedDiffers = false; // by more than 2 % of the line's length
    double trimPerPf = 0; // metres of line per pF at that length: 1 / (dC/dl)
};

enum class OpenLineField { Frequency, Reactance, PfPerMetre, VelocityFactor };
struct NoOpenLine {
    OpenLineField field = OpenLineField::Frequency;
    std::string message;
};

// The length of line whose input reactance is the capacitor's.
//   RG-213 (101 pF/m, VF 0.66, Z0 50.04), 1.83 MHz, 434.85 ohms (200 pF)
//       -> 1.9715 m as a line, 1.9802 m per metre (0.44 %: they agree),
//          6.56 degrees, trim 9.77 mm per pF
//   RG-213, 3.6 MHz, 44.21 ohms (1000 pF)
//       -> 7.411 m as a line, 9.901 m per metre (33.6 %: differs),
//          48.54 degrees, trim 4.34 mm per pF
//   RG-213, 14.2 MHz, 86 ohms (130.33 pF) -> 1.1687 m, 1.2904 m per metre
// Failures (the first bad input in OpenLineField's order): a frequency,
// reactance or capacitance per metre <= 0 or not finite; a velocity factor
// not in (0, 1].
std::variant<OpenLineCapacitor, NoOpenLine> openLineCapacitor(const OpenLineInput& in);

// A rod of diameter d in a tube of inner diameter D filled with a
// dielectric of relative permittivity er, as a line: C' = 2 pi e0 er /
// ln(D / d) and VF = 1 / sqrt(er).
//   6.35 mm rod, 10.2 mm tube, PTFE (2.1) -> 246.5 pF/m, VF 0.690
// The caller sees to D > d > 0 and er >= 1.
OpenLineInput tubeLine(
    double freqMhz, double reactance, double tubeInnerDiameter, double rodDiameter, double permittivity);

} // namespace vostrel::coax
