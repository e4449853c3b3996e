// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QIODevice;

namespace vostrel::study {
class MatchStudy;
}

namespace vostrel::designer {

using study::MatchStudy;

// The plain-text summary Edit > Copy results puts on the clipboard: every
// input with its unit, the convention, every result with its unit, or why
// there is no match. `measurement` names the file R and X came from.
QString summaryText(const MatchStudy& study, const QString& measurement);

// The three sweeps at the tuned setting as CSV: one row a point,
//   sweep,x,x_unit,r_ohm,x_ohm,swr
// lengths in the chosen unit. False when the device refuses the text.
bool writeSweepsCsv(const MatchStudy& study, QIODevice& device);

} // namespace vostrel::designer
