// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "built_match.h"
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

    // The sweeps of the match to build about its tuned point, for the
    // study's inputs. The frequency plot is NEC-2's sweep of the refined
    // match when the match is NEC-2's; the sliders do not move that.
    void showBuilt(const study::MatchStudy& study, const BuiltMatch& built);
    // What the frequency plot is of: NEC-2's sweep, R and X measured at
    // each frequency, or the typed R and X held fixed.
    void showFrequencySource(bool fromNec, bool measured) const;
    void setLengthUnit(design::Unit unit) const; // the strap plot's
    void clear();
    void setStale(bool stale);
    bool isStale() const;

    // The page as drawn now, with `caption` (what the plots are of, a
    // line each) under it and, in the SVG, as its description; false when
    // it cannot be drawn or written.
    bool writePng(QIODevice& device, const QStringList& caption = {});
    bool writeSvg(QIODevice& device, const QStringList& caption = {});

private:
    std::array<SweepChart*, 3> m_charts{};
    SmithChartView* m_smith;
};

// Fades a widget to show it is of the last good inputs, or gives it back.
void setFaded(QWidget* widget, bool faded);
bool isFaded(const QWidget* widget);

} // namespace vostrel::designer
