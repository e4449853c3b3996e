// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the designer window to a PNG file without a display:
//
//   vostrel-designer-screenshot [--scale N] [--out DIR] [--size WxH] [--tab N] [--reading R,X]
//                               [designer options]
//
// writes DIR/designer-window@Nx.png (the window at WxH if given, as on a
// screen that size; 1320 x 900 otherwise) with the inputs the options give (the
// worked example without), never reading or writing the user's settings.
#include "adjust_panel.h"
#include "command_line.h"
#include "designer_window.h"
#include "full_wave_check.h"
#include "offscreen_setup.h"
#include "results_panel.h"
#include "tuning_panel.h"

#include <QSlider>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    prepareOffscreenRendering(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // the user's settings stay untouched

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"scale", "Device pixel ratio of the picture.", "N", "1"});
    parser.addOption({"out", "Folder for the picture.", "DIR", "."});
    parser.addOption({"strap", "Slider steps of the strap from the design.", "STEPS", "0"});
    parser.addOption({"capacitor", "Slider steps of the capacitor from the design.", "STEPS", "0"});
    parser.addOption({"size", "The window's size, e.g. 1004x700 for a 1024 x 768 screen.", "WxH"});
    parser.addOption({"tab", "The tab beside the tuning: 0 plots, 1 drawing, 2 adjust.", "N", "0"});
    parser.addOption({"reading", "What the analyser read, for the Adjust tab.", "R,X"});
    parser.addOption({"restart",
        "Start as vostrel-designer does, after the last picture's inputs: the notice names "
        "what came from that session."});
    parser.addOption({"open-design", "Open this design file, as File > Open design does.", "FILE"});
    parser.addOption({"results",
        "Wait for NEC-2 (at most 60 s), then also picture the results panel and the "
        "explanation of its checks."});
    vostrel::designer::addInputOptions(parser);
    parser.process(app);

    vostrel::designer::DesignerWindow window;
    if (parser.isSet("restart")) {
        namespace settings = vostrel::designer::settings;
        const auto started
            = vostrel::designer::startWindow(window, parser, settings::readAntennaModel(settings::userSettings()));
        if (const auto* refused = std::get_if<vostrel::designer::StartRefusal>(&started)) {
            static_cast<void>(std::fprintf(stderr, "vostrel-designer-screenshot: %s\n", qPrintable(refused->message)));
            return 2;
        }
    }
    const auto options = vostrel::designer::readInputOptions(
        parser, vostrel::designer::localisedTexts(vostrel::designer::InputTexts{}, QLocale()));
    if (const auto* problem = std::get_if<QString>(&options)) {
        std::fprintf(stderr, "vostrel-designer-screenshot: %s\n", qPrintable(*problem));
        return 2;
    }
    const auto& given = std::get<vostrel::designer::CommandLineInputs>(options);
    if (!parser.isSet("restart")) {
        window.setInputs(given.texts);
    }
    if (parser.isSet("open-design")) {
        window.openDesign(parser.value("open-design"));
    }
    if (!given.measurementFile.isEmpty() && !parser.isSet("restart")) {
        if (const auto problem = window.openMeasurement(given.measurementFile)) {
            std::fprintf(stderr, "vostrel-designer-screenshot: %s\n", qPrintable(*problem));
        }
    }
    if (parser.isSet("size")) {
        const QStringList wh = parser.value("size").split(QLatin1Char('x'));
        if (wh.size() != 2 || wh[0].toInt() <= 0 || wh[1].toInt() <= 0) {
            std::fprintf(stderr, "vostrel-designer-screenshot: --size takes WxH, e.g. 1004x700\n");
            return 2;
        }
        window.resize(wh[0].toInt(), wh[1].toInt());
    } else {
        window.resize(1320, 900); // the README's picture: the size on a large screen
    }
    window.show();
    // NEC-2's answer, when the inputs ask for one, before the picture: the
    // window then shows the match it builds (two minutes at most).
    QElapsedTimer waited;
    waited.start();
    while (window.fullWave()->isWaiting() && waited.elapsed() < 120000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    window.tuning()->strap()->setValue(parser.value("strap").toInt());
    window.tuning()->capacitor()->setValue(parser.value("capacitor").toInt());
    window.pictureTabs()->setCurrentIndex(parser.value("tab").toInt());
    if (const QStringList rx = parser.value("reading").split(QLatin1Char(',')); rx.size() == 2) {
        vostrel::designer::AdjustTexts texts = window.adjustPanel()->texts();
        texts.resistance = rx[0];
        texts.reactance = rx[1];
        window.adjustPanel()->setTexts(texts);
    }
    QApplication::processEvents();

    const QString path
        = QDir(parser.value("out")).filePath(QStringLiteral("designer-window@%1x.png").arg(parser.value("scale")));
    if (parser.isSet("results")) {
        const QString results = QDir(parser.value("out")).filePath(QStringLiteral("designer-results.png"));
        static_cast<void>(window.results()->grab().save(results));
        if (auto* explain = window.results()->findChild<QPushButton*>(QStringLiteral("explainNecChecks"))) {
            explain->click();
            QApplication::processEvents();
            if (auto* help = window.findChild<QMessageBox*>(QStringLiteral("necChecksHelp"))) {
                static_cast<void>(
                    help->grab().save(QDir(parser.value("out")).filePath(QStringLiteral("designer-checks-help.png"))));
            }
        }
    }
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved ? 0 : 1;
}
