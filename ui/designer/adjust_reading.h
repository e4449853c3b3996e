// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adjust.h"
#include "design_inputs.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>

#include <optional>
#include <variant>

namespace vostrel::designer {

// The "Adjust from a reading" step without its widgets: what was built and
// what the analyser read, as typed, into adjust::adjust(), and its answer
// as the panel shows it.

// What the panel's fields hold.
struct AdjustTexts {
    QString rodLength; // as built, feed point to strap; in the design's unit unless it names its own
    QString capacitance; // as set, pF; "short" for a shorted capacitor
    QString resistance; // the reading, ohms
    QString reactance;
    QString cable; // a name from coax::cables(); empty: read at the match's connector
    QString cableLength; // metres unless it names its unit

    bool operator==(const AdjustTexts&) const = default;
};

// The field a refusal is about, for the panel to mark.
enum class AdjustField { RodLength, Capacitance, Resistance, Reactance, CableLength, Design };

struct AdjustRefusal {
    QString message; // a sentence, capitalised
    std::optional<AdjustField> field; // none: the reading as a whole
};

// The answer, each line as the panel shows it.
struct AdjustAnswer {
    QString feedImpedance; // "37.53 - j13.76 Ω"
    QString nextRod; // "44.11 in"
    QString strapMove; // "5.21 in further from the feed point"
    QString nextCapacitor; // "92.14 pF (+7.50 pF)"
    QString expectedSwr; // "1.000"
    QString cableLoss; // "1.43 dB at 14.3 MHz"; empty without a cable
    QString warning; // the core's sentence, to follow "Warning: "; empty when there is none
    adjust::Adjustment step; // the figures, for "Use as built"
};

using AdjustOutcome = std::variant<AdjustAnswer, AdjustRefusal>;

class AdjustReading {
    Q_DECLARE_TR_FUNCTIONS(AdjustReading)
public:
    // The built fields as the results show the design: its rod and capacitor.
    //   the worked example (closed form) -> "38.90 in", "84.64"
    static AdjustTexts builtFrom(const design::Design& design, design::Unit unit, const QLocale& locale);
    // The same for a match to build (NEC-2's refined one, say): its rod and
    // capacitor, an infinite capacitance shown as "short".
    //   1.2626 m, 79.16 pF, mm -> "1263 mm", "79.16"
    static AdjustTexts builtFrom(const Tuning& built, design::Unit unit, const QLocale& locale);

    // Reads `texts` and adjusts the match of `inputs` (its frequency,
    // geometry, line, share and closed form; its R and X are the model's
    // estimate, to compare the reading with).
    static AdjustOutcome adjust(const ValidInputs& inputs, const AdjustTexts& texts, const QLocale& locale);

    // The next built state: `texts` with the rod and capacitor of `answer`,
    // the reading cleared (it was of the build before).
    static AdjustTexts usedAsBuilt(
        AdjustTexts texts, const AdjustAnswer& answer, design::Unit unit, const QLocale& locale);
};

} // namespace vostrel::designer
