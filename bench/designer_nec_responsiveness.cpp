// SPDX-License-Identifier: GPL-3.0-or-later
// How long the designer's GUI thread is busy at a time while NEC-2 checks
// a match: the README's 20 m dipole is shown with its element length, so
// that nec2c refines it away from the GUI thread; a 1 ms timer on the GUI
// thread measures every gap between its ticks until the answer is shown,
// including the drawing of the answer.
//
//   vostrel-designer-nec [--rounds N]
//
// Prints, per round and overall, the time to NEC-2's answer and, between
// ticks from the start of the nec2c runs to the answer drawn, the longest
// and the 99th percentile wall-clock gap and the GUI
// thread's own CPU time (the target: the GUI thread never busy for more
// than 16 ms at a time). On a loaded 2-core machine the wall-clock gaps
// also hold the time nec2c or another process kept the GUI thread off the
// CPU; its CPU time does not. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise; never touches the user's settings.
#include "designer_window.h"
#include "results_panel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Round {
    double seconds = 0;
    std::vector<double> gapsMs; // wall clock between ticks
    std::vector<double> busyMs; // the GUI thread's own CPU time between ticks
    std::vector<double> atMs; // when each tick came, from the change
    double beforeMs = 0; // the longest CPU gap before nec2c started: the change's own redraw
    QString status;
};

// The calling thread's CPU time: what it did itself, not the time another
// process (nec2c, on a 2-core machine) kept it waiting.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Round measure(vostrel::designer::DesignerWindow& window, const QString& frequency)
{
    vostrel::designer::InputTexts texts = window.inputs();
    texts.frequency = frequency;
    Round round;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(1);
    ticker.setTimerType(Qt::PreciseTimer);
    double cpuAtTick = 0;
    bool necStarted = false;
    QObject::connect(window.fullWave(), &vostrel::designer::FullWaveCheck::busyChanged, &ticker,
        [&necStarted](bool busy) { necStarted = necStarted || busy; });
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (necStarted) {
            round.gapsMs.push_back(static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        }
        sinceTick.restart();
        const double cpu = threadCpuMs();
        if (necStarted) { // before it: the typed change's own redraw
            round.busyMs.push_back(cpu - cpuAtTick);
            round.atMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        } else {
            round.beforeMs = std::max(round.beforeMs, cpu - cpuAtTick);
        }
        cpuAtTick = cpu;
    });
    QEventLoop loop;
    QObject::connect(window.fullWave(), &vostrel::designer::FullWaveCheck::finished, &loop,
        [&loop] { QTimer::singleShot(50, &loop, &QEventLoop::quit); }); // and whatever the answer redraws
    clock.start();
    sinceTick.start();
    ticker.start();
    window.setInputs(texts); // the closed form at once, NEC-2 after the pause
    sinceTick.restart(); // the typed change's own recompute is the designer-big-change benchmark's
    cpuAtTick = threadCpuMs();
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    ticker.stop();
    round.seconds = static_cast<double>(clock.elapsed()) / 1000;
    round.status = window.results()->necStatus()->text();
    return round;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"rounds", "How many NEC-2 checks to time.", "N", "3"});
    parser.process(app);

    vostrel::designer::InputTexts texts;
    texts.resistance = QStringLiteral("72.25");
    texts.reactance = QStringLiteral("1.92");
    texts.elementDiameter = QStringLiteral("25");
    texts.rodDiameter = QStringLiteral("12.7");
    texts.spacing = QStringLiteral("150");
    texts.unit = vostrel::design::Unit::Millimetre;
    texts.frequency = QStringLiteral("14.1");
    vostrel::designer::DesignerWindow window;
    window.setInputs(texts);
    window.resize(1320, 900);
    window.show();
    texts.elementLength = QStringLiteral("10.1 m");
    window.setInputs(texts);

    std::vector<double> all;
    std::vector<double> allBusy;
    const int rounds = std::max(1, parser.value("rounds").toInt());
    for (int i = 0; i < rounds; ++i) {
        const Round round = measure(window, i % 2 == 0 ? QStringLiteral("14.2") : QStringLiteral("14.25"));
        all.insert(all.end(), round.gapsMs.begin(), round.gapsMs.end());
        allBusy.insert(allBusy.end(), round.busyMs.begin(), round.busyMs.end());
        std::printf("round %d: NEC-2 answer after %.2f s, %zu ticks; between ticks: wall clock longest %.1f ms "
                    "(99th percentile %.1f ms), GUI thread CPU longest %.1f ms (99th percentile %.1f ms)\n  %s\n",
            i + 1, round.seconds, round.gapsMs.size(), percentile(round.gapsMs, 1.0), percentile(round.gapsMs, 0.99),
            percentile(round.busyMs, 1.0), percentile(round.busyMs, 0.99), qPrintable(round.status));
        const auto longest = std::max_element(round.busyMs.begin(), round.busyMs.end()) - round.busyMs.begin();
        if (!round.busyMs.empty()) {
            std::printf("  the longest CPU gap while NEC-2 ran ended %.0f ms after the change; before it started, "
                        "the change's own redraw took %.1f ms at most\n",
                round.atMs[static_cast<std::size_t>(longest)], round.beforeMs);
        }
    }
    std::printf("overall: wall clock longest gap %.1f ms (99th percentile %.1f ms); GUI thread CPU between ticks "
                "longest %.1f ms (99th percentile %.1f ms); target: never above 16 ms\n",
        percentile(all, 1.0), percentile(all, 0.99), percentile(allBusy, 1.0), percentile(allBusy, 0.99));
    return 0;
}
