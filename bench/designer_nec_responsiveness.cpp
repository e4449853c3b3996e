// How long the designer's GUI thread is busy at a time while NEC-2 checks
// a match: the README's 20 m dipole is shown with its element length, so
// that nec2c refines it away from the GUI thread; a 1 ms timer on the GUI
// thread measures every gap between its ticks until the answer is shown,
// including the drawing of the answer.
//
//   vostrel-designer-nec [--rounds N]
//
// Prints, per round and overall, the nec2c time, the longest and the 99th
// percentile gap (the target: the GUI thread never busy for more than 16 ms
// at a time). Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise; never touches the user's settings.
#include "designer_window.h"
#include "results_panel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Round {
    double seconds = 0;
    std::vector<double> gapsMs;
    QString status;
};

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
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        round.gapsMs.push_back(static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QEventLoop loop;
    QObject::connect(window.fullWave(), &vostrel::designer::FullWaveCheck::finished, &loop,
        [&loop] { QTimer::singleShot(50, &loop, &QEventLoop::quit); }); // and whatever the answer redraws
    clock.start();
    sinceTick.start();
    ticker.start();
    window.setInputs(texts); // the closed form at once, NEC-2 after the pause
    sinceTick.restart(); // the typed change's own recompute is the designer-big-change benchmark's
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
    const int rounds = std::max(1, parser.value("rounds").toInt());
    for (int i = 0; i < rounds; ++i) {
        const Round round = measure(window, i % 2 == 0 ? QStringLiteral("14.2") : QStringLiteral("14.25"));
        all.insert(all.end(), round.gapsMs.begin(), round.gapsMs.end());
        std::printf("round %d: NEC-2 answer after %.2f s; GUI thread gaps: longest %.1f ms, 99th percentile %.1f ms "
                    "(%zu ticks)\n  %s\n",
            i + 1, round.seconds, percentile(round.gapsMs, 1.0), percentile(round.gapsMs, 0.99), round.gapsMs.size(),
            qPrintable(round.status));
    }
    std::printf("overall: longest gap %.1f ms, 99th percentile %.1f ms (target: never above 16 ms)\n",
        percentile(all, 1.0), percentile(all, 0.99));
    return 0;
}
