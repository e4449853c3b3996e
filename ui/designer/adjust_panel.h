// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adjust_reading.h"

#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vostrel::designer {

class WheelGuardedComboBox;
struct BuiltMatch;

// After the first cut: what was built (prefilled from the design shown) and
// what the analyser read, and from them the element impedance that explains
// the reading, the next strap position and capacitor, or why there is none.
// "Use as built" takes the suggestion as the build the next reading is of.
class AdjustPanel : public QWidget {
    Q_OBJECT
public:
    explicit AdjustPanel(QWidget* parent = nullptr);

    // The design the window shows and the match it builds (NEC-2's refined
    // match when there is one, else the closed form's; null: the study's
    // design); a new rod or capacitor refills the built fields, the same one
    // leaves what the user built.
    void showStudy(const MatchStudy& study, const BuiltMatch* built = nullptr);

    AdjustTexts texts() const;
    void setTexts(const AdjustTexts& texts); // recomputes

    QLineEdit* rodLength() const { return m_rodLength; }
    QLineEdit* capacitance() const { return m_capacitance; }
    QLineEdit* resistance() const { return m_resistance; }
    QLineEdit* reactance() const { return m_reactance; }
    WheelGuardedComboBox* cable() const { return m_cable; }
    QLineEdit* cableLength() const { return m_cableLength; }
    QPushButton* useAsBuilt() const { return m_useAsBuilt; }
    QString strapMoveText() const;
    QString nextCapacitorText() const;
    QString refusalText() const; // empty while there is an answer

private:
    void recompute();
    void showAnswer(const AdjustAnswer& answer);
    void useSuggestion();

    std::optional<ValidInputs> m_inputs;
    AdjustTexts m_prefilled;
    std::optional<AdjustAnswer> m_answer;
    QLineEdit* m_rodLength;
    QLineEdit* m_capacitance;
    QLineEdit* m_resistance;
    QLineEdit* m_reactance;
    WheelGuardedComboBox* m_cable;
    QLineEdit* m_cableLength;
    QLabel* m_feedImpedance;
    QLabel* m_nextRod;
    QLabel* m_strapMove;
    QLabel* m_nextCapacitor;
    QLabel* m_expectedSwr;
    QLabel* m_cableLoss;
    QLabel* m_warning;
    QLabel* m_refusal;
    QPushButton* m_useAsBuilt;
};

} // namespace vostrel::designer
