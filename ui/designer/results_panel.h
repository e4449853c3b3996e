// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "length_text.h"
#include "refine.h"

#include <QWidget>

#include <complex>

class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vostrel::study {
class MatchStudy;
}

namespace vostrel::designer {

using study::MatchStudy;
struct BuiltMatch;

// The design's figures in read-only fields, or the banner saying why this
// geometry cannot match and what to change. Marked stale while the inputs
// have a bad field: the figures are then those of the last good inputs.
// With an element to model, a second column beside the rod length and the
// capacitor gives NEC-2's refined match, and rows under them its checks.
class ResultsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPanel(QWidget* parent = nullptr);

    void showStudy(const MatchStudy& study);
    void setStale(bool stale);
    bool isStale() const { return m_stale; }

    // The full-wave column: hidden (no element to model), running, or
    // NEC-2's answer (or why there is none) for a line of `lineImpedance`.
    void hideFullWave();
    void showFullWaveBusy();
    // The run was stopped by a bad field: no longer "computing".
    void showFullWaveHeld();
    // `typedFeed`: the R and X the closed form uses, compared with NEC-2's;
    // `lineWithoutTube`: the line in the tube was asked for without a tube,
    // and NEC-2 modelled the rod's end instead.
    void showFullWave(const nec::Outcome<nec::Refined>& refined, design::Unit unit, std::complex<double> typedFeed = {},
        bool lineWithoutTube = false);
    bool fullWaveShown() const { return m_fullWaveShown; }
    // Marks the column of the match to build (NEC-2's, or the closed
    // form's when `built` is not NEC-2's or null) and gives NEC-2's
    // capacitor's insertion into the tube.
    void showBuilt(const BuiltMatch* built, design::Unit unit, bool tubeGiven);
    QString necHeading() const;
    // The full-wave column as plain text for Copy results, its rows left
    // out while NEC-2 runs (`waiting`: they hold the last inputs' answer);
    // empty without the column.
    QString fullWaveSummary(bool waiting) const;

    QLineEdit* rodLength() const { return m_rodLength; }
    QLineEdit* capacitance() const { return m_capacitance; }
    QLineEdit* lineZ0() const { return m_z0; }
    QLineEdit* stepUpRatio() const { return m_stepUp; }
    QLineEdit* capacitorReactance() const { return m_reactance; }
    QLineEdit* insertionLength() const { return m_insertion; }
    QLabel* banner() const { return m_banner; }
    QLineEdit* necRodLength() const { return m_necRodLength; }
    QLineEdit* necInsertionLength() const { return m_necInsertion; }
    QLineEdit* necCapacitance() const { return m_necCapacitance; }
    QLineEdit* necFeedImpedance() const { return m_necFeed; }
    QLineEdit* necClosedFormSwr() const { return m_necClosedFormSwr; }
    QLineEdit* necSwr() const { return m_necSwr; }
    QLineEdit* necAverageGain() const { return m_necAverageGain; }
    QLineEdit* necHalvedSegments() const { return m_necHalved; }
    QLineEdit* necCapacitorAllowance() const { return m_necCapacitorAllowance; }
    QLineEdit* necStrapAllowance() const { return m_necStrapAllowance; }
    QLabel* necStatus() const { return m_necStatus; }
    QPushButton* useNecFeedButton() const { return m_useNecFeed; }

signals:
    // "Use as R, X": the closed form is to be designed from NEC-2's feed
    // impedance of the bare element.
    void useNecFeedImpedance(std::complex<double> feed);
    // "What do these checks mean?" under the NEC-2 column.
    void explainNecChecks();

private:
    static QString lineWithoutTubeText(); // " The line in the tube needs ..."
    QLineEdit* addResult(QFormLayout* form, const QString& label, const char* name, QLineEdit* beside = nullptr);
    static QLineEdit* resultField(const char* name, const QString& accessibleName);
    void setFullWaveRowsVisible(bool visible);
    void setStatus(const QString& text);
    QString closedFormBuiltText(const nec::Refined& r, design::Unit unit) const;
    void clearFullWave();

    QLineEdit* m_rodLength;
    QLineEdit* m_capacitance;
    QLineEdit* m_z0;
    QLineEdit* m_stepUp;
    QLineEdit* m_reactance;
    QLineEdit* m_insertion;
    QLabel* m_banner;
    QLabel* m_staleNote;
    QList<QLineEdit*> m_all;
    bool m_stale = false;

    QFormLayout* m_form;
    QWidget* m_columnHeading;
    QLineEdit* m_necRodLength;
    QLineEdit* m_necCapacitance;
    QLineEdit* m_necInsertion;
    QLabel* m_closedHeading;
    QLabel* m_necHeading;
    QLineEdit* m_necFeed;
    QLineEdit* m_necClosedFormSwr;
    QLineEdit* m_necSwr;
    QLineEdit* m_necAverageGain;
    QLineEdit* m_necHalved;
    QLineEdit* m_necCapacitorAllowance;
    QLineEdit* m_necStrapAllowance;
    QLabel* m_necStatus;
    QPushButton* m_useNecFeed;
    QHBoxLayout* m_necFeedRow; // NEC-2's feed impedance and its button
    std::complex<double> m_necFeedValue;
    QList<QLineEdit*> m_necFields;
    QList<QWidget*> m_necRows; // the rows shown only with the column
    bool m_fullWaveShown = false;
};

} // namespace vostrel::designer
