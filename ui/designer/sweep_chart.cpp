#include "sweep_chart.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>

namespace vostrel::designer {

namespace {

// Ticks on round values: 1, 2 or 5 times a power of ten, about five of them.
void roundTicks(QValueAxis* axis, double from, double to)
{
    const double span = to - from;
    if (!(span > 0)) {
        return;
    }
    const double rough = span / 5;
    const double power = std::pow(10, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {2.0, 5.0, 10.0}) {
        if (std::fabs(power * factor - rough) < std::fabs(step - rough)) {
            step = power * factor;
        }
    }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(std::ceil(from / step) * step);
    axis->setTickInterval(step);
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step))));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
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
    m_curve->setName(tr("SWR as tuned"));
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

    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{m_twoToOne, m_curve, m_design, m_tuned}) {
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

    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(300, 220);
    setAccessibleName(title);
}

void SweepChart::setXTitle(const QString& title)
{
    m_x->setTitleText(title);
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
    if (m_x->min() != from || m_x->max() != to) {
        m_x->setRange(from, to);
        roundTicks(m_x, from, to);
        m_twoToOne->replace(QList<QPointF>{{from, 2}, {to, 2}});
    }
    m_design->replace(QList<QPointF>{designPoint});
    m_tuned->replace(QList<QPointF>{tunedPoint});
}

void SweepChart::clearSweep()
{
    m_curve->clear();
    m_design->clear();
    m_tuned->clear();
    // The last range belongs to another design: numbers under an empty plot
    // would read as this one's.
    m_x->setVisible(false);
    m_twoToOne->setVisible(false);
}

} // namespace vostrel::designer
