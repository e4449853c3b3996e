// SPDX-License-Identifier: GPL-3.0-or-later
#include "sweep_chart.h"
#include "design_inputs.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QValueAxis>

#include <QGraphicsSimpleTextItem>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace vostrel::designer {

namespace {

// The range, with ticks on round values: 1, 2 or 5 times a power of ten,
// about `ticks` of them, never more than kMaxTicks.
void setRangeWithTicks(QValueAxis* axis, double from, double to, int ticks)
{
    // Five fixed ticks first: the last range's dynamic interval laid over
    // this one (14 pF steps over a range of 2000 pF, after a big change in
    // frequency) would make a label for every interval at once.
    // The labels likewise: "%.0f" of the last range would write every
    // digit of a new one at 1e16.
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(5);
    axis->setLabelFormat(QStringLiteral("%.4g"));
    axis->setRange(from, to);
    if (!drawableRange(from, to)) {
        return;
    }
    const double span = to - from;
    const double rough = span / ticks;
    const double power = std::pow(10, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {2.0, 5.0, 10.0}) {
        if (std::fabs(power * factor - rough) < std::fabs(step - rough)) {
            step = power * factor;
        }
    }
    if (!(step > 0)) {
        return;
    }
    axis->setTickAnchor(std::ceil(from / step) * step);
    axis->setTickInterval(step);
    // As many figures as the step needs: fixed decimals near 1, an exponent
    // for values so large or small that fixed ones would run long.
    const double largest = std::max(std::fabs(from), std::fabs(to));
    const int stepPower = static_cast<int>(std::floor(std::log10(step)));
    if (largest >= 1e7 || stepPower < -6) {
        const int figures = std::clamp(static_cast<int>(std::floor(std::log10(largest))) - stepPower + 1, 1, 15);
        axis->setLabelFormat(QStringLiteral("%.%1g").arg(figures));
    } else {
        axis->setLabelFormat(QStringLiteral("%.%1f").arg(std::max(0, -stepPower)));
    }
    axis->setTickType(QValueAxis::TicksDynamic);
}

} // namespace

SweepChart::SweepChart(const QString& title, QWidget* parent)
    : QChartView(new QChart, parent)
{
    // The chart goes to the view as the view is made: a view made without
    // one builds a default chart of its own (left over once replaced), and
    // setChart() lays the new one out at once at the view's provisional size,
    // then again for each range set before the window shows. Given here, the
    // chart is first laid out when the view gets its real size.
    QChart* chart = this->chart();
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    // Axis numbers in the locale's notation, as the fields and results show
    // them: its decimal separator, never a group separator (1400, not 1,400).
    QLocale axisLocale;
    axisLocale.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(axisLocale);
    chart->setLocalizeNumbers(true);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The window's own font throughout: the theme's would be other faces and
    // sizes, each one more font to find and load at start-up.
    const QFont plain = font();
    QFont bold = plain;
    bold.setBold(true);
    chart->setTitleFont(bold);
    chart->legend()->setFont(plain);

    m_curve = new QLineSeries;
    m_curve->setName(tr("SWR"));
    QPen pen(QColor(0x1f, 0x5f, 0xa8));
    pen.setWidthF(2);
    m_curve->setPen(pen);

    m_twoToOne = new QLineSeries;
    m_twoToOne->setName(tr("SWR 2"));
    QPen dashed(QColor(0x88, 0x88, 0x88));
    dashed.setStyle(Qt::DashLine);
    m_twoToOne->setPen(dashed);

    m_design = new QScatterSeries;
    m_design->setName(tr("design"));
    m_design->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    m_design->setMarkerSize(9);
    m_design->setColor(QColor(0x2e, 0x8b, 0x3e));
    m_design->setBorderColor(QColor(0x2e, 0x8b, 0x3e));

    m_tuned = new QScatterSeries;
    m_tuned->setName(tr("tuned"));
    m_tuned->setMarkerSize(10);
    m_tuned->setColor(QColor(0xd9, 0x48, 0x1c));
    m_tuned->setBorderColor(Qt::white);

    m_offScale = new QScatterSeries;
    m_offScale->setName(tr("tuned, SWR off scale"));
    m_offScale->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    m_offScale->setMarkerSize(11);
    m_offScale->setColor(QColor(0xd9, 0x48, 0x1c));
    m_offScale->setBorderColor(Qt::white);

    for (QAbstractSeries* series :
        std::initializer_list<QAbstractSeries*>{m_twoToOne, m_curve, m_design, m_tuned, m_offScale}) {
        chart->addSeries(series);
    }
    m_x = new QValueAxis;
    m_y = new QValueAxis;
    m_y->setTitleText(tr("SWR"));
    m_y->setRange(1, kSwrTop);
    m_y->setTickCount(5);
    m_y->setLabelFormat(QStringLiteral("%.0f"));
    for (QValueAxis* axis : {m_x, m_y}) {
        axis->setLabelsFont(plain);
        axis->setTitleFont(plain);
    }
    chart->addAxis(m_x, Qt::AlignBottom);
    chart->addAxis(m_y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(m_x);
        series->attachAxis(m_y);
    }
    chart->legend()->markers(m_twoToOne).first()->setVisible(false);
    chart->legend()->markers(m_offScale).first()->setVisible(false);

    m_note = new QGraphicsSimpleTextItem(chart);
    m_note->setBrush(QColor(0x8a, 0x4b, 0x08));
    QFont noteFont = plain;
    noteFont.setItalic(true);
    m_note->setFont(noteFont);
    m_note->setZValue(10);
    m_note->hide();
    connect(chart, &QChart::plotAreaChanged, this,
        [this](const QRectF& area) { m_note->setPos(area.topLeft() + QPointF(6, 4)); });

    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(240, 200); // two side by side beside the inputs on a 1024 x 768 screen
    setAccessibleName(title);
}

int SweepChart::ticksForWidth() const
{
    // A label such as "14.25" wants about 60 pixels; narrower, Qt Charts
    // elides every label to "...".
    return std::clamp(width() / 60, 2, 5);
}

void SweepChart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    if (m_x->isVisible() && ticksForWidth() != m_ticks) {
        m_ticks = ticksForWidth();
        setRangeWithTicks(m_x, m_x->min(), m_x->max(), m_ticks);
    }
}

void SweepChart::setXTitle(const QString& title)
{
    m_x->setTitleText(title);
}

void SweepChart::setNote(const QString& note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_note->setPos(chart()->plotArea().topLeft() + QPointF(6, 4));
}

QString SweepChart::note() const
{
    return m_note->isVisible() ? m_note->text() : QString();
}

void SweepChart::showSweep(
    const std::vector<design::SweepPoint>& sweep, double xScale, QPointF designPoint, QPointF tunedPoint)
{
    if (sweep.empty()) {
        clearSweep(); // no range of its own: the last one would read as this sweep's
        return;
    }
    m_buffer.resize(static_cast<qsizetype>(sweep.size()));
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        m_buffer[static_cast<qsizetype>(i)] = QPointF(sweep[i].x / xScale, sweep[i].swr);
    }
    m_curve->replace(m_buffer);
    m_x->setVisible(true);
    m_twoToOne->setVisible(true);
    const double from = sweep.front().x / xScale;
    const double to = sweep.back().x / xScale;
    if (!drawableRange(from, to)) {
        clearSweep(); // refused at its field; never drawn with runaway ticks
        return;
    }
    if (m_x->min() != from || m_x->max() != to) {
        m_ticks = ticksForWidth();
        setRangeWithTicks(m_x, from, to, ticksForWidth());
        m_twoToOne->replace(QList<QPointF>{{from, 2}, {to, 2}});
    }
    m_design->replace(QList<QPointF>{designPoint});
    // A tuned SWR above the axis would vanish off the top: an arrow at the
    // top edge, where the curve leaves, says it is there.
    const bool offScale = !(tunedPoint.y() <= kSwrTop);
    if (offScale) {
        m_tuned->clear();
        m_offScale->replace(QList<QPointF>{{tunedPoint.x(), kSwrTop - 0.04 * (kSwrTop - 1)}});
    } else {
        m_offScale->clear();
        m_tuned->replace(QList<QPointF>{tunedPoint});
    }
}

void SweepChart::paintCurveClipped(QPainter& painter, const QList<QPointF>& points) const
{
    QChart* chart = this->chart();
    // Scene to the viewport, then past the view's frame to the view itself.
    auto toView
        = [this, chart](QPointF at) { return QPointF(viewport()->mapToParent(mapFromScene(chart->mapToScene(at)))); };
    QPolygonF line;
    line.reserve(points.size());
    for (const QPointF& point : points) {
        line << toView(chart->mapToPosition(point, m_curve));
    }
    const QRectF area = chart->plotArea();
    const QRectF clip(toView(area.topLeft()), toView(area.bottomRight()));
    painter.save();
    painter.setPen(m_curve->pen());
    painter.setOpacity(chart->opacity());
    for (const QPolygonF& part : clippedPolyline(line, clip)) {
        painter.drawPolyline(part);
    }
    painter.restore();
}

QList<QPolygonF> clippedPolyline(const QPolygonF& line, const QRectF& clip)
{
    // Each segment cut to the rectangle (Liang and Barsky's parametric
    // clipping); consecutive pieces that meet make one part.
    QList<QPolygonF> parts;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const QPointF a = line[i];
        const QPointF d = line[i + 1] - a;
        double enter = 0;
        double leave = 1;
        const std::array<std::pair<double, double>, 4> edges = {{
            {-d.x(), a.x() - clip.left()},
            {d.x(), clip.right() - a.x()},
            {-d.y(), a.y() - clip.top()},
            {d.y(), clip.bottom() - a.y()},
        }};
        bool inside = true;
        for (const auto& [p, q] : edges) {
            if (p == 0) {
                if (q < 0) {
                    inside = false;
                }
                continue;
            }
            const double t = q / p;
            if (p < 0) {
                enter = std::max(enter, t);
            } else {
                leave = std::min(leave, t);
            }
        }
        if (!inside || enter > leave) {
            continue;
        }
        const QPointF from = a + enter * d;
        const QPointF to = a + leave * d;
        if (!parts.isEmpty() && enter == 0 && parts.back().back() == from) {
            parts.back() << to;
        } else {
            parts.append(QPolygonF{from, to});
        }
    }
    return parts;
}

void SweepChart::clearSweep()
{
    m_curve->clear();
    m_design->clear();
    m_tuned->clear();
    m_offScale->clear();
    // The last range belongs to another design: numbers under an empty plot
    // would read as this one's.
    m_x->setVisible(false);
    m_twoToOne->setVisible(false);
}

} // namespace vostrel::designer
