// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec_checks_help.h"

#include "refine.h"

#include <QCoreApplication>
#include <QLocale>

namespace vostrel::designer {

namespace {
QString tr(const char* text)
{
    return QCoreApplication::translate("NecChecksHelp", text);
}
} // namespace

QString necChecksExplanation()
{
    const QLocale locale;
    const auto number = [&locale](double value) { return locale.toString(value, 'g', 4); };
    const auto percent
        = [&locale](double share) { return locale.toString(share * 100, 'g', 3) + QStringLiteral(" %"); };
    return tr("Average gain test. NEC-2 adds up the power the antenna radiates in every direction, for the model "
              "without losses and without ground, and divides it by the power fed in. A sound model gives 1: from "
              "%1 to %2 is good. Further off, the model itself is wrong somewhere, so its impedances are too: "
              "wires cut into too few segments or segments too short for their thickness, wires meeting at sharp "
              "angles, or the rod too close to the element for its segments. What to do: give the wires more "
              "segments (about ten a half wave at least, none shorter than a few times its radius), check where "
              "wires join, and look at the rod's spacing. Beyond %3 to %4 the window gives no match at all.")
               .arg(number(nec::kAverageGainLow), number(nec::kAverageGainHigh), number(nec::kInvalidGainLow),
                   number(nec::kInvalidGainHigh))
        + QStringLiteral("\n\n")
        + tr("Halved run. The whole refinement is done again with every segment cut in two. A model fine enough "
             "gives nearly the same rod and capacitor; the column shows how far they move. Up to %1 for the rod "
             "and %2 for the capacitor is good. More means the answer still depends on how the wires are cut: "
             "what to do is more segments, until the rod stops moving. A beam's match converges more slowly than "
             "a lone dipole's. Beyond %3 for the rod the window gives no match at all.")
              .arg(percent(nec::kRodTolerance), percent(nec::kCapacitanceTolerance), percent(nec::kInvalidRodChange))
        + QStringLiteral("\n\n")
        + tr("Doubtful. Either test is outside its good range (the status says which). The rod and capacitor may "
             "still be near, but do not cut to them blindly: make the model finer as above, or cut the rod a "
             "little long, set the capacitor to the figure shown, and trim with an antenna analyser from the "
             "Adjust tab. \"Not doubtful\" means both tests passed: the model is as good as NEC-2 can tell.");
}

} // namespace vostrel::designer
