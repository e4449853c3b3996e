// SPDX-License-Identifier: GPL-3.0-or-later
#include "match_drawing.h"
#include "built_match.h"
#include "design_inputs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vostrel::designer {

namespace {

const QColor kMetalDark(0x7a, 0x82, 0x8c);
const QColor kMetalLight(0xe4, 0xe8, 0xec);
const QColor kDimension(0x1f, 0x5f, 0xa8);
const QColor kCapacitor(0xd9, 0x48, 0x1c);

void arrowHead(QPainter& painter, QPointF tip, QPointF from)
{
    const QPointF direction = tip - from;
    const double length = std::hypot(direction.x(), direction.y());
    if (length <= 0) {
        return;
    }
    const QPointF unit = direction / length;
    const QPointF normal(-unit.y(), unit.x());
    const double size = 7;
    const QPolygonF head{tip, tip - unit * size + normal * size * 0.4, tip - unit * size - normal * size * 0.4};
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(head);
}

// A dimension line between two points with its text beside its middle.
void dimension(QPainter& painter, QPointF a, QPointF b, const QString& text, bool textRight)
{
    painter.setPen(QPen(kDimension, 1.2));
    painter.drawLine(a, b);
    arrowHead(painter, a, b);
    arrowHead(painter, b, a);
    const QPointF middle = (a + b) / 2;
    const QFontMetricsF metrics(painter.font());
    const double w = metrics.horizontalAdvance(text);
    QPointF at;
    if (textRight) {
        at = middle + QPointF(6, metrics.ascent() / 2 - 1);
    } else {
        at = middle + QPointF(-w / 2, -5);
    }
    painter.setPen(kDimension);
    painter.drawText(at, text);
}

void tube(QPainter& painter, const QRectF& rect)
{
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    shade.setColorAt(0, kMetalLight);
    shade.setColorAt(0.45, Qt::white);
    shade.setColorAt(1, kMetalDark);
    painter.setPen(QPen(kMetalDark.darker(140), 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(rect, 2, 2);
}

} // namespace

MatchDrawing::MatchDrawing(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(tr("Drawing of the match"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void MatchDrawing::showStudy(const MatchStudy& study, const BuiltMatch* built)
{
    const QLocale locale;
    const ValidInputs& inputs = study.inputs();
    const design::Geometry& geometry = inputs.design.geometry;

    m_element = geometry.elementDiameter;
    m_rod = geometry.rodDiameter;
    m_spacing = geometry.spacing;
    const bool nec = built != nullptr && built->fromNec();
    m_designed = study.hasDesign() || nec;
    m_capacitorInRod = nec && built->capacitorAt != nec::CapacitorAt::Feed;
    m_elementText = tr("element Ø %1").arg(givenLengthText(m_element, inputs.unit, locale));
    m_rodText = tr("rod Ø %1").arg(givenLengthText(m_rod, inputs.unit, locale));
    m_spacingText = tr("s = %1").arg(givenLengthText(m_spacing, inputs.unit, locale));
    m_texts = QStringList{m_elementText, m_rodText, m_spacingText};
    m_lengthText.clear();
    m_capacitorText.clear();
    m_insertionText.clear();
    if (m_designed) {
        const Tuning match = nec ? built->design : study.designTuning();
        m_lengthText = tr("L = %1, feed point to strap").arg(lengthText(match.rodLength, inputs.unit, locale));
        m_capacitorText = !std::isfinite(match.capacitancePf)
            ? tr("C shorted")
            : (m_capacitorInRod ? tr("C = %1 pF, at the rod's end") : tr("C = %1 pF"))
                  .arg(formatNumber(match.capacitancePf, locale));
        m_texts << m_lengthText << m_capacitorText;
        if (const auto insertion = nec ? built->insertionLength : study.insertionLength()) {
            m_insertionText = tr("rod %1 into the tube").arg(lengthText(*insertion, inputs.unit, locale));
            m_texts << m_insertionText;
        }
        m_title = nec ? tr("NEC-2 refined, for %1 MHz (the closed form's is in the results)")
                            .arg(formatInput(inputs.design.freqMhz, locale))
                      : tr("As designed for %1 MHz").arg(formatInput(inputs.design.freqMhz, locale));
    } else {
        m_title = tr("No match with this geometry: the rod's length is not known");
    }
    setAccessibleDescription(m_texts.join(QStringLiteral("; ")));
    update();
}

void MatchDrawing::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (m_spacing <= 0) {
        return;
    }
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const double w = width();
    const double h = height();

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QPointF(8, line), m_title);
    painter.setFont(font());

    // Diameters and spacing to one scale, chosen so the spacing fills about
    // a third of the height.
    const double spacingPx = std::clamp(h * 0.34, 40.0, 160.0);
    const double scale = spacingPx / m_spacing;
    const double elementPx = std::clamp(m_element * scale, 4.0, spacingPx * 0.7);
    const double rodPx = std::clamp(m_rod * scale, 3.0, spacingPx * 0.5);
    const double elementY = line * 2.6 + elementPx / 2;
    const double rodY = elementY + spacingPx;
    const double feedX = w * 0.16;
    const double strapX = w * 0.74;
    const double capacitorFrom = feedX + 10;
    const double capacitorTo = feedX + std::min(70.0, (strapX - feedX) * 0.25);

    // The element, running on past both edges.
    tube(painter, QRectF(4, elementY - elementPx / 2, w - 8, elementPx));
    painter.setPen(QPen(kMetalDark, 1, Qt::DashDotLine));
    painter.drawLine(QPointF(feedX, elementY - elementPx / 2 - 6), QPointF(feedX, rodY + rodPx));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QPointF(feedX + 4, elementY - elementPx / 2 - 4), tr("element centre"));

    // The feed: the coax comes up to the element's centre; its braid is
    // bonded there, its inner conductor goes to the capacitor.
    const QRectF connector(feedX - 9, rodY - rodPx / 2 - 2, 18, rodPx + 4);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(0x55, 0x55, 0x55));
    painter.drawRect(connector);
    painter.drawLine(QPointF(feedX, connector.top()), QPointF(feedX, elementY + elementPx / 2));
    painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 4));
    painter.drawLine(QPointF(feedX, connector.bottom()), QPointF(feedX, h - 6));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QPointF(feedX - metrics.horizontalAdvance(tr("coax")) - 8, h - 8), tr("coax"));

    // The capacitor in series between the inner conductor and the rod:
    // beside the feed point, or inside the rod's end (a coax capacitor), the
    // rod then starting at the feed connection.
    const double plateGap = 6;
    const double capMiddle = (capacitorFrom + capacitorTo) / 2;
    const double rodFrom = m_capacitorInRod ? capacitorFrom : capacitorTo;
    painter.setPen(QPen(kCapacitor, 2));
    painter.drawLine(
        QPointF(connector.right(), rodY), QPointF(m_capacitorInRod ? rodFrom : capMiddle - plateGap / 2, rodY));
    // The rod, up to the strap; dashed when no design says how long.
    if (m_designed) {
        tube(painter, QRectF(rodFrom, rodY - rodPx / 2, strapX - rodFrom + 4, rodPx));
    } else {
        painter.setPen(QPen(kMetalDark, 1.5, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rodFrom, rodY - rodPx / 2, strapX - rodFrom, rodPx));
    }
    painter.setPen(QPen(kCapacitor, 2));
    if (m_capacitorInRod) {
        painter.drawLine(QPointF(rodFrom, rodY), QPointF(capMiddle - plateGap / 2, rodY));
    }
    painter.drawLine(QPointF(capMiddle - plateGap / 2, rodY - 9), QPointF(capMiddle - plateGap / 2, rodY + 9));
    painter.drawLine(QPointF(capMiddle + plateGap / 2, rodY - 9), QPointF(capMiddle + plateGap / 2, rodY + 9));
    painter.drawLine(QPointF(capMiddle + plateGap / 2, rodY), QPointF(capacitorTo, rodY));
    // The shorting strap.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(0xb8, 0x73, 0x33));
    painter.drawRect(QRectF(strapX - 4, elementY, 9, spacingPx + rodPx / 2 + 2));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QPointF(strapX + 10, rodY + rodPx / 2 + line), tr("strap"));

    // Dimensions.
    const double dimX = strapX + 0.45 * (w - strapX);
    dimension(painter, QPointF(dimX, elementY), QPointF(dimX, rodY), m_spacingText, true);
    painter.setPen(QPen(kDimension, 0.8, Qt::DotLine));
    painter.drawLine(QPointF(strapX + 6, rodY), QPointF(dimX + 4, rodY));
    if (m_designed) {
        const double dimY = rodY + rodPx / 2 + line * 1.9;
        painter.setPen(QPen(kDimension, 0.8));
        painter.drawLine(QPointF(feedX, rodY + rodPx), QPointF(feedX, dimY + 4));
        painter.drawLine(QPointF(strapX, rodY + rodPx / 2 + 2), QPointF(strapX, dimY + 4));
        dimension(painter, QPointF(feedX, dimY), QPointF(strapX, dimY), m_lengthText, false);
        painter.setPen(kCapacitor);
        painter.drawText(QPointF(capMiddle - 8, rodY - rodPx / 2 - 10), m_capacitorText);
        if (!m_insertionText.isEmpty()) {
            painter.drawText(QPointF(capMiddle - 8, dimY + line * 1.3), m_insertionText);
        }
    }
    // Diameters, with leaders.
    painter.setPen(kDimension);
    const double labelX = (capacitorTo + strapX) / 2;
    painter.drawText(QPointF(labelX, elementY + elementPx / 2 + line), m_elementText);
    painter.drawText(QPointF(labelX, rodY - rodPx / 2 - 6), m_rodText);
}

} // namespace vostrel::designer
