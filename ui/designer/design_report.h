// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ratings.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

class QIODevice;

namespace vostrel::study {
class MatchStudy;
}

namespace vostrel::designer {

using study::MatchStudy;
struct BuiltMatch;

// The plain-text summary Edit > Copy results puts on the clipboard: every
// input with its unit, the convention, every result with its unit, or why
// there is no match, and the match to build when it is NEC-2's (`built`).
// `measurement` names the file R and X came from. Impedances in "ohm".
QString summaryText(const MatchStudy& study, const QString& measurement, const BuiltMatch* built = nullptr);

// The ratings at the power typed, for Copy results to add after the
// summary: a "Ratings at 1500 W, margin SWR 2 (air variable, aluminium rod
// and strap)" block with the Ratings group's figures and the rod's and
// strap's losses, the gap's field with a tube, and each warning on a line
// of its own; the core's refusal in place of the figures.
QString ratingsSummaryText(
    const ratings::Input& input, const std::variant<ratings::Ratings, ratings::NoRating>& answer);

// What an export is of, besides the study's inputs.
struct ExportSource {
    QString measurement; // the file R and X came from, if any
    QString antennaModel; // the NEC-2 deck's file name, if any
    std::optional<double> elementLength; // metres: the lone tube NEC-2 models
};

// The lines that say what an export is of: the frequency, R and X, the
// sizes, the line, the convention and the closed form, the tube, what
// NEC-2 modelled (or that it did not), and the match shown, NEC-2's or the
// closed form's, as tuned. Numbers in `locale`'s notation.
//   the ARRL example, no NEC-2 -> "Gamma match at 14.3 MHz: feed 25 - j25 ohm, ..."
QStringList exportCaption(
    const MatchStudy& study, const BuiltMatch& built, const ExportSource& source, const QLocale& locale);

// The plotted sweeps of the match to build, at its tuned setting, as CSV:
// `caption`'s lines as leading "# " comments, then one row a point,
//   sweep,x,x_unit,r_ohm,x_ohm,swr
// lengths in the chosen unit; the frequency rows are the frequency plot's
// curve (NEC-2's sweep for its match). False when the device refuses the
// text.
bool writeSweepsCsv(const MatchStudy& study, const BuiltMatch& built, const QStringList& caption, QIODevice& device);

} // namespace vostrel::designer
