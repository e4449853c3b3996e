// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "length_text.h"

#include <QStringList>
#include <QWidget>

#include <optional>

namespace vostrel::study {
class MatchStudy;
}

namespace vostrel::designer {

using study::MatchStudy;

// The match as designed, seen from the side: the element, the rod under it,
// the shorting strap, the series capacitor where it sits (beside the feed
// point, or inside the rod's end as NEC-2's model may have it), with dimension
// lines carrying the computed values in the chosen unit. Diameters and the
// spacing are drawn in proportion to each other; the rod's length is not.
struct BuiltMatch;

class MatchDrawing : public QWidget {
    Q_OBJECT
public:
    explicit MatchDrawing(QWidget* parent = nullptr);

    // `built`: the match to build, when it is not the study's closed form
    // (NEC-2's refined match, marked as such); null: the study's design.
    void showStudy(const MatchStudy& study, const BuiltMatch* built = nullptr);

    // The texts on the dimension lines, in drawing order: D, d, s, L, C and
    // the insertion when given. L and C are absent without a design.
    const QStringList& dimensionTexts() const { return m_texts; }
    const QString& title() const { return m_title; }

    QSize sizeHint() const override { return {560, 230}; }
    QSize minimumSizeHint() const override { return {360, 190}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_element = 0; // metres
    double m_rod = 0;
    double m_spacing = 0;
    bool m_designed = false;
    bool m_capacitorInRod = false; // at the rod's end, not beside the feed point
    QString m_title;
    QString m_elementText;
    QString m_rodText;
    QString m_spacingText;
    QString m_lengthText;
    QString m_capacitorText;
    QString m_insertionText;
    QStringList m_texts;
};

} // namespace vostrel::designer
