// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_design.h"

#include <QChartView>

#include <vector>

class QGraphicsSimpleTextItem;
class QLineSeries;
class QPainter;
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

    // The most ticks an axis is given (the steps of 1, 2 and 5 give at
    // most eight): the labels are made one by one, and a range a thousand
    // times its tick interval would take seconds and hundreds of megabytes.
    static constexpr int kMaxTicks = 12;

    SweepChart(const QString& title, QWidget* parent = nullptr);

    void setXTitle(const QString& title);
    // A line inside the plot area, at its top left (empty: none).
    void setNote(const QString& note);
    QString note() const;
    // An empty sweep clears the plot, as clearSweep() does.
    void showSweep(
        const std::vector<design::SweepPoint>& sweep, double xScale, QPointF designPoint, QPointF tunedPoint);
    void clearSweep();

    QLineSeries* curve() const { return m_curve; }
    QScatterSeries* designMarker() const { return m_design; }
    QScatterSeries* tunedMarker() const { return m_tuned; }
    // The tuned point when its SWR is above the axis: at the top edge, an
    // arrow up.
    QScatterSeries* offScaleMarker() const { return m_offScale; }

    // `points` drawn as the chart draws its curve, clipped to the plot
    // area: for painters that keep no clipping (SVG). In the view's
    // coordinates.
    void paintCurveClipped(QPainter& painter, const QList<QPointF>& points) const;
    QValueAxis* xAxis() const { return m_x; }
    QValueAxis* yAxis() const { return m_y; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int ticksForWidth() const;

    QLineSeries* m_curve;
    QLineSeries* m_twoToOne;
    QScatterSeries* m_design;
    QScatterSeries* m_tuned;
    QScatterSeries* m_offScale;
    QGraphicsSimpleTextItem* m_note;
    QValueAxis* m_x;
    QValueAxis* m_y;
    QList<QPointF> m_buffer;
    int m_ticks = 5; // about this many ticks on the x axis, for the width
};

// The parts of a polyline inside `clip`, each a polyline of its own.
//   (0,0) (10,0) in (2,-1)-(8,1) -> one part, (2,0) (8,0)
QList<QPolygonF> clippedPolyline(const QPolygonF& line, const QRectF& clip);

} // namespace vostrel::designer
