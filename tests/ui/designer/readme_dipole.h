// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_inputs.h"

// The 20 m dipole of the README: 10.1 m of 25 mm tube, a 12.7 mm rod at
// 150 mm, R and X as NEC-2 gives them for the bare element; the textbook
// closed form.
inline vostrel::designer::InputTexts readmeDipole()
{
    vostrel::designer::InputTexts texts;
    texts.frequency = QStringLiteral("14.2");
    texts.resistance = QStringLiteral("72.25");
    texts.reactance = QStringLiteral("1.92");
    texts.elementDiameter = QStringLiteral("25");
    texts.rodDiameter = QStringLiteral("12.7");
    texts.spacing = QStringLiteral("150");
    texts.unit = vostrel::design::Unit::Millimetre;
    texts.elementLength = QStringLiteral("10.1 m");
    texts.model = vostrel::design::Model::Textbook;
    return texts;
}
