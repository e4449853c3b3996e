// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "full_wave_check.h"
#include "match_study.h"

#include <QWidget>

#include <array>

class QIODevice;

namespace vostrel::designer {

class SmithChartView;
class SweepChart;

// The three SWR plots and the Smith chart in a two-by-two grid, faded
// while they show the last good inputs, and written out as PNG or SVG.
class PlotsPage : public QWidget {
    Q_OBJECT
public:
    enum class Plot { Capacitance, RodLength, Frequency };

    explicit PlotsPage(QWidget* parent = nullptr);

    SweepChart* chart(Plot plot) const { return m_charts[static_cast<std::size_t>(plot)]; }
    const std::array<SweepChart*, 3>& charts() const { return m_charts; }
    SmithChartView* smithChart() const { return m_smith; }

    // The study's sweeps about its tuned point. The frequency plot is
    // NEC-2's sweep of the refined match when `nec` holds one; the sliders
    // do not move that.
    void showStudy(const study::MatchStudy& study, const FullWaveResult* nec);
    void showNecFrequencyPlot(double freqMhz, const FullWaveResult& nec) const;
    // What the frequency plot is of: NEC-2's sweep, R and X measured at
    // each frequency, or the typed R and X held fixed.
    void showFrequencySource(bool fromNec, bool measured) const;
    void setLengthUnit(design::Unit unit) const; // the strap plot's
    void clear();
    void setStale(bool stale);
    bool isStale() const;

    // The page as drawn now; false when it cannot be drawn or written.
    bool writePng(QIODevice& device);
    bool writeSvg(QIODevice& device);

private:
    std::array<SweepChart*, 3> m_charts{};
    SmithChartView* m_smith;
};

// Fades a widget to show it is of the last good inputs, or gives it back.
void setFaded(QWidget* widget, bool faded);
bool isFaded(const QWidget* widget);

} // namespace vostrel::designer
