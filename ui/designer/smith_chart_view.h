// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_design.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

namespace vostrel::designer {

// A Smith chart drawn with QPainter, normalised to the feed line: the input
// impedance as the capacitor sweeps, the circle of SWR 2, the design point
// and the tuned point.
class SmithChartView : public QWidget {
    Q_OBJECT
public:
    explicit SmithChartView(QWidget* parent = nullptr);

    void showLocus(double referenceOhms, const std::vector<design::SweepPoint>& sweep, design::Complex designZ,
        design::Complex tunedZ);
    void clearLocus();

    // What is drawn, in ohms.
    const std::vector<design::Complex>& locus() const { return m_locus; }
    std::optional<design::Complex> designPoint() const { return m_designZ; }
    std::optional<design::Complex> tunedPoint() const { return m_tunedZ; }
    double referenceOhms() const { return m_reference; }

    // Where the impedance lies on the chart's plane: (z - Z0) / (z + Z0).
    static design::Complex reflection(design::Complex z, double referenceOhms);

    // The chart is drawn as large as the widget's shorter side allows: no
    // height asked for from the width, which would push the plots below a
    // 768-pixel screen's fold.
    QSize sizeHint() const override { return {320, 320}; }

    // Where the title and the rim's reactance labels ("+j1") are drawn.
    QRectF titleRect() const;
    QRectF reactanceLabelRect(double normalisedReactance) const;
    // The key's rows under the chart: 1, or 2 when one line is too wide.
    int keyRows() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static QString reactanceLabel(double normalisedReactance); // "+j1"
    static std::array<QString, 4> keyTexts();
    double keyWidth(std::size_t from, std::size_t to) const; // of keys [from, to) on one line
    QFont labelFont() const;
    QRectF chartCircle() const;
    // `circle`: chartCircle(), which lays out the key's text (taken once
    // per paint, not once per point of the locus).
    static QPointF toPoint(design::Complex gamma, const QRectF& circle);
    void drawGrid(QPainter& painter) const;

    double m_reference = 50;
    std::vector<design::Complex> m_locus;
    std::optional<design::Complex> m_designZ;
    std::optional<design::Complex> m_tunedZ;
    QPixmap m_grid; // the chart without the data, redrawn on resize
};

} // namespace vostrel::designer
