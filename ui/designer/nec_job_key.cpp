// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec_job_key.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace vostrel::designer {

double sixFigures(double value)
{
    std::array<char, 32> text{};
    if (std::snprintf(text.data(), text.size(), "%.6g", value) <= 0) {
        return value;
    }
    return std::strtod(text.data(), nullptr);
}

bool differsOnlyInClosedForm(NecJobKey a, const NecJobKey& b)
{
    a.stepUp = b.stepUp;
    a.model = b.model;
    return a == b;
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
