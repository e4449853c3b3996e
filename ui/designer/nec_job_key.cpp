// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec_job_key.h"

#include <cstdio>
#include <cstdlib>

namespace vostrel::designer {

double sixFigures(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return std::strtod(text, nullptr);
}

NecJobKey necJobKey(const ValidInputs& inputs, std::optional<double> elementLength, const QByteArray& antennaModelHash,
    const nec::RunOptions& run)
{
    const design::DesignInput& d = inputs.design;
    NecJobKey key;
    key.freqMhz = sixFigures(d.freqMhz);
    key.elementDiameter = sixFigures(d.geometry.elementDiameter);
    key.rodDiameter = sixFigures(d.geometry.rodDiameter);
    key.spacing = sixFigures(d.geometry.spacing);
    key.lineImpedance = sixFigures(d.lineImpedance);
    key.stepUp = d.stepUp;
    key.model = d.model;
    if (!antennaModelHash.isEmpty()) {
        key.antennaModelHash = antennaModelHash;
    } else if (elementLength) {
        key.elementLength = sixFigures(*elementLength);
    }
    key.program = QString::fromStdString(run.program);
    key.timeout = run.timeout;
    return key;
}

} // namespace vostrel::designer
