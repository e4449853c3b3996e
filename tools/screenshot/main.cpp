// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the calculator's windows to PNG files without a display:
//
//   vostrel-screenshot [--scale N] [--out DIR] [--frequency TEXT] [--inches|--cm]
//
// writes DIR/main-window@Nx.png and DIR/web-window@Nx.png, optionally after
// typing a frequency and pressing a unit button.
#include "error_report.h"
#include "launcher.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "offscreen_setup.h"
#include "text_box.h"
#include "web_window_controls.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QWidget>

#include <cstdio>

namespace {

class PrintingReport final : public vostrel::ErrorReport {
public:
    void report(const vostrel::Failure& failure) override
    {
        std::fprintf(stderr, "report: %s\n", qPrintable(vostrel::failureText(failure)));
    }
};

class NoLauncher final : public vostrel::Launcher {
public:
    void open(const QString&, FailureHandler) override { }
};

bool save(QWidget& window, const QString& path)
{
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char* argv[])
{
    prepareOffscreenRendering(argc, argv);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"scale", "Device pixel ratio of the pictures.", "N", "1"});
    parser.addOption({"out", "Folder for the pictures.", "DIR", "."});
    parser.addOption({"frequency", "Text to type into the frequency box.", "TEXT"});
    parser.addOption({"inches", "Press INCHES after typing."});
    parser.addOption({"cm", "Press CM after typing."});
    parser.process(app);

    using namespace vostrel::mainWindowControls;
    PrintingReport report;
    NoLauncher launcher;
    vostrel::MainWindow window(report, launcher, vostrel::NumberFormat{"."});
    if (parser.isSet("frequency")) {
        window.control(frequencyBox)->setText(parser.value("frequency"));
    }
    if (parser.isSet("inches")) {
        window.control(inchesButton)->click();
    } else if (parser.isSet("cm")) {
        window.control(cmButton)->click();
    }

    const QDir out(parser.value("out"));
    const QString suffix = QStringLiteral("@%1x.png").arg(parser.value("scale"));
    bool ok = save(window, out.filePath("main-window" + suffix));
    window.control(webSiteButton)->click();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top != &window && top->objectName() == QLatin1String(vostrel::webWindowControls::kWindowName)
            && top->isVisible()) {
            ok = save(*top, out.filePath("web-window" + suffix)) && ok;
        }
    }
    return ok ? 0 : 1;
}
