// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "designer_session.h"
#include "ratings.h"

#include <QGroupBox>

#include <optional>
#include <variant>

class QFormLayout;
class QLabel;
class QLineEdit;

namespace vostrel::designer {

// What the design's capacitor, rod and strap must stand at the power typed:
// the command line's ratings block in read-only fields. Hidden without a
// power. A peak at the margin near or above what the dielectric holds is
// the warning under the fields and marks the margin's voltage as a problem.
class RatingsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit RatingsPanel(QWidget* parent = nullptr);

    // `input` is what was rated; clearRatings() hides the panel.
    void showRatings(const ratings::Input& input, const std::variant<ratings::Ratings, ratings::NoRating>& answer);
    void clearRatings();
    // The session's ratings, or none: the panel hidden.
    void showRated(const std::optional<DesignerSession::Rated>& rated);
    // Greyed while a field is bad: the figures are of the last good inputs.
    void setStale(bool stale);

    QLineEdit* lineCurrent() const { return m_lineCurrent; }
    QLineEdit* capacitorVoltage() const { return m_capacitorVoltage; }
    QLineEdit* capacitorVoltageAtMargin() const { return m_atMargin; }
    QLineEdit* recommendedVoltage() const { return m_recommended; }
    QLineEdit* rodCurrent() const { return m_rodCurrent; }
    QLineEdit* capacitorLoss() const { return m_capacitorLoss; }
    QLineEdit* matchLoss() const { return m_matchLoss; }
    QLabel* warning() const { return m_warning; }
    // The margin's voltage is marked as a problem.
    bool marked() const;

private:
    QLineEdit* addRow(const QString& label, const char* name);
    void mark(bool problem);

    QFormLayout* m_form;
    QLineEdit* m_lineCurrent;
    QLineEdit* m_capacitorVoltage;
    QLineEdit* m_atMargin;
    QLabel* m_atMarginCaption;
    QLineEdit* m_recommended;
    QLineEdit* m_rodCurrent;
    QLineEdit* m_capacitorLoss;
    QLabel* m_capacitorLossCaption;
    QLineEdit* m_matchLoss;
    QLabel* m_warning;
    QList<QLineEdit*> m_all;
};

} // namespace vostrel::designer
