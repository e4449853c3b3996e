#pragma once

#include "gamma_design.h"

#include <QChartView>

#include <vector>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace vostrel::designer {

// One SWR plot (Qt Charts): the sweep at the tuned setting as a line, the
// design point and the tuned point as markers. The x values are the
// sweep's, divided by `xScale` (metres to the length unit, say).
class SweepChart : public QChartView {
    Q_OBJECT
public:
    // The SWR axis shows 1 to this; higher values run off the top.
    static constexpr double kSwrTop = 5;

    SweepChart(const QString& title, QWidget* parent = nullptr);

    void setXTitle(const QString& title);
    // An empty sweep clears the plot, as clearSweep() does.
    void showSweep(
        const std::vector<design::SweepPoint>& sweep, double xScale, QPointF designPoint, QPointF tunedPoint);
    void clearSweep();

    QLineSeries* curve() const { return m_curve; }
    QScatterSeries* designMarker() const { return m_design; }
    QScatterSeries* tunedMarker() const { return m_tuned; }
    QValueAxis* xAxis() const { return m_x; }
    QValueAxis* yAxis() const { return m_y; }

private:
    QLineSeries* m_curve;
    QLineSeries* m_twoToOne;
    QScatterSeries* m_design;
    QScatterSeries* m_tuned;
    QValueAxis* m_x;
    QValueAxis* m_y;
    QList<QPointF> m_buffer;
};

} // namespace vostrel::designer
