// SPDX-License-Identifier: GPL-3.0-or-later
// How long one step of a tuning slider takes to reach the screen in the
// designer window: from QSlider::setValue to the three SWR plots and the
// Smith chart having repainted, with the window's 500-point sweeps.
//
//   vostrel-designer-slider [--steps N]
//
// Steps the strap slider, then the capacitor slider, back and forth across
// their range, N steps each (200 by default, after 20 unmeasured), and prints
// the median, the 90th percentile and the largest time per step, and the
// same for MatchStudy::setTuning alone (the core's share). Runs on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise; it never reads
// or writes the user's settings.
#include "designer_window.h"
#include "full_wave_check.h"
#include "smith_chart_view.h"
#include "sweep_chart.h"
#include "tuning_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSlider>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using vostrel::designer::DesignerWindow;

// Counts the paint events of the widgets it watches.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted.push_back(watched);
        }
        return false;
    }
    bool allPainted(const std::vector<QObject*>& widgets) const
    {
        return std::all_of(widgets.begin(), widgets.end(),
            [this](QObject* widget) { return std::find(painted.begin(), painted.end(), widget) != painted.end(); });
    }
    std::vector<QObject*> painted;
};

struct Figures {
    double median = 0;
    double p90 = 0;
    double max = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    return {n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2, ms[(n * 9) / 10], ms.back()};
}

int argument(int argc, char* argv[], const char* name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return fallback;
}

// The slider's next value, bouncing between its ends.
int nextValue(QSlider* slider, int& direction)
{
    if (slider->value() + direction > slider->maximum() || slider->value() + direction < slider->minimum()) {
        direction = -direction;
    }
    return slider->value() + direction;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const int steps = std::max(2, argument(argc, argv, "--steps", 200));
    const int points = vostrel::study::MatchStudy::kDefaultPoints;

    // A common laptop screen's size, where every plot is wholly in view
    // (the offscreen screen is 800 x 600: there the right-hand plots are
    // mostly scrolled off, and a marker moving outside the part in view
    // rightly repaints nothing).
    DesignerWindow window;
    // The ARRL example with no element length, whatever an earlier run left
    // in the settings: an element length there had NEC-2 running beside
    // the measurement.
    window.setInputs(vostrel::designer::InputTexts{});
    window.resize(1024, 768);
    window.show();
    QApplication::processEvents();

    PaintCounter counter;
    const std::vector<QObject*> plots = {window.chart(DesignerWindow::Plot::Capacitance)->viewport(),
        window.chart(DesignerWindow::Plot::RodLength)->viewport(),
        window.chart(DesignerWindow::Plot::Frequency)->viewport(), window.smithChart()};
    for (QObject* plot : plots) {
        plot->installEventFilter(&counter);
    }

    std::printf("platform: %s, window %dx%d, %d-point sweeps, %d steps per slider\n",
        qPrintable(QApplication::platformName()), window.width(), window.height(), points, steps);
    std::printf("%-34s %10s %10s %10s\n", "", "median ms", "p90 ms", "max ms");
    int unpainted = 0;
    for (QSlider* slider : {window.tuning()->strap(), window.tuning()->capacitor()}) {
        std::vector<double> ms;
        int direction = 1;
        for (int i = -20; i < steps; ++i) {
            counter.painted.clear();
            QElapsedTimer timer;
            timer.start();
            slider->setValue(nextValue(slider, direction));
            while (!counter.allPainted(plots) && timer.elapsed() < 1000) {
                QApplication::processEvents();
            }
            const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            if (!counter.allPainted(plots)) {
                ++unpainted;
            }
            if (i >= 0) {
                ms.push_back(elapsed);
            }
        }
        const Figures f = figures(ms);
        std::printf("%-34s %10.2f %10.2f %10.2f\n",
            slider == window.tuning()->strap() ? "strap step to repainted plots" : "capacitor step to repainted plots",
            f.median, f.p90, f.max);
    }

    // The core's share: the design's tuned point and three sweeps.
    vostrel::study::MatchStudy study(points);
    study.setInputs(window.study().inputs(), nullptr);
    const vostrel::study::Tuning design = study.designTuning();
    std::vector<double> ms;
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer timer;
        timer.start();
        study.setTuning({design.rodLength * (1 + 0.001 * (i % 50)), design.capacitancePf});
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const Figures f = figures(ms);
    std::printf("%-34s %10.3f %10.3f %10.3f\n",
        QByteArray("MatchStudy::setTuning, ").append(QByteArray::number(points)).append(" points").constData(),
        f.median, f.p90, f.max);
    if (unpainted > 0) {
        std::printf("%d steps did not repaint all four plots within 1 s\n", unpainted);
    }
    const bool necRan = window.fullWave()->isWaiting() || window.session().fullWave().has_value();
    if (necRan) {
        std::printf("NEC-2 ran during the measurement: the figures are not the window's alone\n");
    }
    return unpainted > 0 || necRan ? 1 : 0;
}
