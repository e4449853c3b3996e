// SPDX-License-Identifier: GPL-3.0-or-later
#include "smith_chart_view.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace vostrel::designer {

namespace {

const QColor kGridColour(0xc8, 0xcc, 0xd4);
const QColor kLabelColour(0x60, 0x66, 0x70);
const QColor kLocusColour(0x1f, 0x5f, 0xa8);
const QColor kDesignColour(0x2e, 0x8b, 0x3e);
const QColor kTunedColour(0xd9, 0x48, 0x1c);

constexpr std::array kResistances = {0.2, 0.5, 1.0, 2.0, 5.0};
constexpr std::array kReactances = {0.2, 0.5, 1.0, 2.0, 5.0};

} // namespace

SmithChartView::SmithChartView(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(200, 200);
    setAccessibleName(tr("Smith chart"));
    setAccessibleDescription(tr("Input impedance as the capacitor is swept, with the SWR 2 circle"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

design::Complex SmithChartView::reflection(design::Complex z, double referenceOhms)
{
    return (z - referenceOhms) / (z + referenceOhms);
}

void SmithChartView::showLocus(
    double referenceOhms, const std::vector<design::SweepPoint>& sweep, design::Complex designZ, design::Complex tunedZ)
{
    if (referenceOhms != m_reference) {
        m_reference = referenceOhms;
        m_grid = QPixmap(); // the legend names the reference
    }
    m_locus.resize(sweep.size());
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        m_locus[i] = sweep[i].zin;
    }
    m_designZ = designZ;
    m_tunedZ = tunedZ;
    update();
}

void SmithChartView::clearLocus()
{
    m_locus.clear();
    m_designZ.reset();
    m_tunedZ.reset();
    update();
}

QRectF SmithChartView::chartCircle() const
{
    // Room for the title above, the key below and the rim's labels around.
    const double line = fontMetrics().height();
    // Under the title, with room for the +j1 label above the rim.
    const double top = titleRect().bottom() + QFontMetricsF(labelFont()).ascent() + 3 + 4;
    const double bottom = line * (keyRows() == 2 ? 3.4 : 2.4);
    const double side = fontMetrics().horizontalAdvance(QStringLiteral("+j0.2")) + 8;
    const double diameter = std::max(10.0, std::min(width() - 2 * side, height() - top - bottom));
    return {(width() - diameter) / 2, top + (height() - top - bottom - diameter) / 2, diameter, diameter};
}

QPointF SmithChartView::toPoint(design::Complex gamma, const QRectF& circle)
{
    const double radius = circle.width() / 2;
    return {circle.center().x() + radius * gamma.real(), circle.center().y() - radius * gamma.imag()};
}

void SmithChartView::resizeEvent(QResizeEvent* event)
{
    m_grid = QPixmap();
    QWidget::resizeEvent(event);
}

void SmithChartView::drawGrid(QPainter& painter) const
{
    const QRectF circle = chartCircle();
    const double radius = circle.width() / 2;
    const QPointF centre = circle.center();
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(circle);

    QPainterPath inside;
    inside.addEllipse(circle);
    painter.save();
    painter.setClipPath(inside);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kGridColour, 1));
    for (double r : kResistances) {
        const double c = r / (1 + r);
        const double rr = 1 / (1 + r);
        painter.drawEllipse(toPoint({c, 0}, circle), rr * radius, rr * radius);
    }
    for (double x : kReactances) {
        for (double sign : {1.0, -1.0}) {
            const double rr = 1 / x;
            painter.drawEllipse(toPoint({1, sign / x}, circle), rr * radius, rr * radius);
        }
    }
    painter.drawLine(QPointF(circle.left(), centre.y()), QPointF(circle.right(), centre.y()));
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kLabelColour, 1.2));
    painter.drawEllipse(circle);

    // The circle of SWR 2: |reflection| = 1/3.
    QPen dashed(QColor(0x88, 0x88, 0x88), 1.2, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawEllipse(centre, radius / 3, radius / 3);

    painter.setFont(labelFont());
    painter.setPen(kLabelColour);
    for (double r : kResistances) {
        const QPointF at = toPoint({(r - 1) / (r + 1), 0}, circle);
        painter.drawText(at + QPointF(2, -3), QLocale().toString(r));
    }
    for (double x : kReactances) {
        for (double sign : {1.0, -1.0}) {
            const QRectF box = reactanceLabelRect(sign * x);
            painter.drawText(box.bottomLeft() + QPointF(0, -1), reactanceLabel(sign * x));
        }
    }

    QFont titleFont = font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(titleRect(), Qt::AlignHCenter | Qt::AlignVCenter,
        tr("Smith chart, normalised to %1 Ω").arg(QLocale().toString(m_reference)));
}

QString SmithChartView::reactanceLabel(double normalisedReactance)
{
    return (normalisedReactance > 0 ? QStringLiteral("+j") : QStringLiteral("−j"))
        + QLocale().toString(std::fabs(normalisedReactance));
}

QFont SmithChartView::labelFont() const
{
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

QRectF SmithChartView::titleRect() const
{
    return {0, 4, static_cast<double>(width()), fontMetrics().height() * 1.3};
}

QRectF SmithChartView::reactanceLabelRect(double normalisedReactance) const
{
    // Just outside the rim, along the radius.
    const QRectF circle = chartCircle();
    const double radius = circle.width() / 2;
    const QPointF rim = toPoint(reflection({0, normalisedReactance}, 1), circle);
    const QPointF outward = (rim - circle.center()) / radius;
    const QFontMetricsF metrics(labelFont());
    const QSizeF box(metrics.horizontalAdvance(reactanceLabel(normalisedReactance)), metrics.ascent());
    const QPointF middle = rim + QPointF(outward.x() * (box.width() / 2 + 3), outward.y() * (box.height() / 2 + 3));
    return {middle - QPointF(box.width() / 2, box.height() / 2), box};
}

void SmithChartView::paintEvent(QPaintEvent* /*event*/)
{
    const qreal ratio = devicePixelRatioF();
    if (m_grid.isNull() || m_grid.size() != size() * ratio) {
        m_grid = QPixmap(size() * ratio);
        m_grid.setDevicePixelRatio(ratio);
        m_grid.fill(palette().color(QPalette::Window));
        QPainter gridPainter(&m_grid);
        drawGrid(gridPainter);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_grid);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF circle = chartCircle();
    QPainterPath inside;
    inside.addEllipse(circle.adjusted(-1, -1, 1, 1));
    painter.setClipPath(inside);
    if (m_locus.size() > 1) {
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(m_locus.size()));
        for (const design::Complex& z : m_locus) {
            line << toPoint(reflection(z, m_reference), circle);
        }
        painter.setPen(QPen(kLocusColour, 2));
        painter.drawPolyline(line);
    }
    const double mark = fontMetrics().height() * 0.35;
    if (m_designZ) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(kDesignColour);
        const QPointF at = toPoint(reflection(*m_designZ, m_reference), circle);
        painter.drawRect(QRectF(at.x() - mark, at.y() - mark, 2 * mark, 2 * mark));
    }
    if (m_tunedZ) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(kTunedColour);
        painter.drawEllipse(toPoint(reflection(*m_tunedZ, m_reference), circle), mark * 1.1, mark * 1.1);
    }
    painter.setClipping(false);

    // The key, centred under the chart: on one line, or on two when the
    // chart is too narrow for one.
    const QFontMetricsF metrics(font());
    const std::array keys = keyTexts();
    const int rows = keyRows();
    const double lineHeight = metrics.height();
    double x = 0;
    double y = 0;
    const auto startRow = [&](std::size_t from, std::size_t to, int row) {
        x = std::max(4.0, (width() - keyWidth(from, to)) / 2);
        y = height() - lineHeight * 0.7 - (rows - 1 - row) * lineHeight;
    };
    auto key = [&](const QColor& colour, bool square, bool line, const QString& text) {
        painter.setPen(line ? QPen(colour, 2, square ? Qt::SolidLine : Qt::DashLine) : QPen(Qt::white, 1));
        painter.setBrush(line ? QBrush(Qt::NoBrush) : QBrush(colour));
        if (line) {
            painter.drawLine(QPointF(x, y - metrics.ascent() / 3), QPointF(x + 16, y - metrics.ascent() / 3));
            x += 20;
        } else {
            const QRectF box(x, y - metrics.ascent() / 3 - mark, 2 * mark, 2 * mark);
            square ? painter.drawRect(box) : painter.drawEllipse(box);
            x += 2 * mark + 4;
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPointF(x, y), text);
        x += metrics.horizontalAdvance(text) + 12;
    };
    startRow(0, rows == 2 ? 2 : 4, 0);
    key(kLocusColour, true, true, keys[0]);
    key(QColor(0x88, 0x88, 0x88), false, true, keys[1]);
    if (rows == 2) {
        startRow(2, 4, 1);
    }
    key(kDesignColour, true, false, keys[2]);
    key(kTunedColour, false, false, keys[3]);
}

std::array<QString, 4> SmithChartView::keyTexts()
{
    return {tr("Zin, C swept"), tr("SWR 2"), tr("design"), tr("tuned")};
}

double SmithChartView::keyWidth(std::size_t from, std::size_t to) const
{
    // The first two keys are lines (20 px), the last two marks; 12 px apart.
    const QFontMetricsF metrics(font());
    const double mark = metrics.height() * 0.35;
    const std::array<QString, 4> keys = keyTexts();
    double total = 0;
    for (std::size_t i = from; i < to; ++i) {
        total += (i < 2 ? 20 : 2 * mark + 4) + metrics.horizontalAdvance(keys[i]) + (i + 1 < to ? 12 : 0);
    }
    return total;
}

int SmithChartView::keyRows() const
{
    return keyWidth(0, 4) + 8 > width() ? 2 : 1;
}

} // namespace vostrel::designer
