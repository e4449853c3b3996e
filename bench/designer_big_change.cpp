// SPDX-License-Identifier: GPL-3.0-or-later
// The CPU time and the peak memory of one big change in the designer
// window: started at one frequency, shown, then a new frequency typed over
// the old one, the window repainted.
//
//   vostrel-designer-big-change [--from MHz] [--to MHz] [--line OHMS]
//
// By default 1296 MHz (R 30, X -10, element 6 mm, rod 3 mm, 10 mm apart)
// to 1.83 MHz. Prints the CPU time (user + system) and the peak resident
// memory before the change and after it. Runs on Qt's offscreen platform
// unless QT_QPA_PLATFORM says otherwise; never touches the user's settings.
#include "design_inputs_form.h"
#include "designer_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QStandardPaths>

#include <sys/resource.h>

#include <cstdio>

namespace {

struct Usage {
    double cpuSeconds = 0;
    double peakMegabytes = 0;
};

Usage usageNow()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), static_cast<double>(usage.ru_maxrss) / 1024};
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
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
    parser.addOption({"from", "Frequency at the start (MHz).", "MHz", "1296"});
    parser.addOption({"to", "Frequency typed over it (MHz).", "MHz", "1.83"});
    parser.addOption({"field", "The field typed in: frequency or line.", "NAME", "frequency"});
    parser.process(app);

    vostrel::designer::InputTexts texts;
    texts.frequency = parser.value("from");
    texts.resistance = QStringLiteral("30");
    texts.reactance = QStringLiteral("-10");
    texts.elementDiameter = QStringLiteral("6");
    texts.rodDiameter = QStringLiteral("3");
    texts.spacing = QStringLiteral("10");
    texts.unit = vostrel::design::Unit::Millimetre;

    vostrel::designer::DesignerWindow window;
    window.setInputs(texts);
    window.resize(1320, 900);
    window.show();
    settle();
    const Usage before = usageNow();

    const auto which = parser.value("field") == QLatin1String("line") ? vostrel::design::Field::LineImpedance
                                                                      : vostrel::design::Field::Frequency;
    QLineEdit* field = window.form()->field(which);
    field->selectAll();
    field->del();
    for (const QChar c : parser.value("to")) { // as typed: one key at a time
        field->insert(QString(c));
        QApplication::processEvents();
    }
    settle();
    window.grab(); // every plot drawn
    const Usage after = usageNow();

    std::printf("shown at %s:  cpu %.2f s  peak RSS %.0f MB\n", qPrintable(parser.value("from")), before.cpuSeconds,
        before.peakMegabytes);
    std::printf("after typing %s: cpu %.2f s  peak RSS %.0f MB  (change: %.2f s)\n", qPrintable(parser.value("to")),
        after.cpuSeconds, after.peakMegabytes, after.cpuSeconds - before.cpuSeconds);
    std::printf("status: %s\n", qPrintable(window.statusText()));
    return 0;
}
