// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ratings.h"

#include <QString>

#include <variant>

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

// The ratings at the power typed, for Copy results to add after the
// summary: a "Ratings at 1500 W, margin SWR 2 (air variable, aluminium rod
// and strap)" block with the Ratings group's figures and the rod's and
// strap's losses, the gap's field with a tube, and each warning on a line
// of its own; the core's refusal in place of the figures.
QString ratingsSummaryText(
    const ratings::Input& input, const std::variant<ratings::Ratings, ratings::NoRating>& answer);

// The three sweeps at the tuned setting as CSV: one row a point,
//   sweep,x,x_unit,r_ohm,x_ohm,swr
// lengths in the chosen unit. False when the device refuses the text.
bool writeSweepsCsv(const MatchStudy& study, QIODevice& device);

} // namespace vostrel::designer
