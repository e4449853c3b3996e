// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_inputs.h"
#include "match_geometry.h"
#include "runner.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <optional>

namespace vostrel::designer {

// Everything NEC-2's answer depends on, compared field by field: equal keys
// mean the answer shown (or on its way) still holds. The step-up convention
// and the closed-form model choose only the closed form shown beside the
// refined match (see differsOnlyInClosedForm()). Not the feed
// impedance typed (NEC computes the element's own), nor the coax
// capacitor's tube and dielectric unless the model has the rod in the tube
// (CapacitorAt::Tube), nor the unit the lengths are shown in.
// Lengths and ohms are kept to six significant figures: another unit
// writes the lengths back to that many, and a millionth is nothing to NEC-2.
struct NecJobKey {
    double freqMhz = 0;
    double elementDiameter = 0; // metres
    double rodDiameter = 0;
    double spacing = 0;
    double lineImpedance = 0;
    design::StepUp stepUp = design::StepUp::Whole;
    design::Model model = design::Model::Corrected;
    // The element: a straight wire of this length (metres), or the antenna
    // model by its content (a SHA-256 of the file's bytes).
    std::optional<double> elementLength;
    QByteArray antennaModelHash;
    QString rodSide = QStringLiteral("away"); // InputTexts::rodSide, "away" for any it does not read
    nec::CapacitorAt capacitorAt = nec::CapacitorAt::Feed; // InputTexts::capAt, feed for any it does not read
    double tubeInnerDiameter = 0; // with CapacitorAt::Tube, else 0
    double permittivity = 0; // likewise
    QString program; // the nec2c that runs it
    std::chrono::milliseconds timeout{0};

    bool operator==(const NecJobKey&) const = default;
};

// The value to six significant figures, as "%.6g" would print it.
//   1.0000004 -> 1;  0.0381 -> 0.0381;  14.2000001 -> 14.2
double sixFigures(double value);

// Whether `a` and `b` differ in nothing but the step-up convention and the
// closed-form model: the refined match holds for both, and only the closed
// form beside it is redone (nec::withClosedForm()).
//   a key, the same with StepUp::Half -> true;  equal keys -> true
//   a key, the same with StepUp::Half and another frequency -> false
bool differsOnlyInClosedForm(NecJobKey a, const NecJobKey& b);

// The key of a job for `inputs` on a straight element of `elementLength`
// or the antenna model whose bytes hash to `antennaModelHash` (non-empty
// wins).
NecJobKey necJobKey(const ValidInputs& inputs, std::optional<double> elementLength, const QByteArray& antennaModelHash,
    const nec::RunOptions& run);

} // namespace vostrel::designer
