// Renders the designer window to a PNG file without a display:
//
//   vostrel-designer-screenshot [--scale N] [--out DIR] [designer options]
//
// writes DIR/designer-window@Nx.png with the inputs the options give (the
// worked example without), never reading or writing the user's settings.
#include "command_line.h"
#include "designer_window.h"
#include "offscreen_setup.h"
#include "tuning_panel.h"

#include <QSlider>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

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
    vostrel::designer::addInputOptions(parser);
    parser.process(app);

    vostrel::designer::DesignerWindow window;
    const auto options = vostrel::designer::readInputOptions(parser, vostrel::designer::InputTexts{});
    if (const auto* problem = std::get_if<QString>(&options)) {
        std::fprintf(stderr, "vostrel-designer-screenshot: %s\n", qPrintable(*problem));
        return 2;
    }
    const auto& given = std::get<vostrel::designer::CommandLineInputs>(options);
    window.setInputs(given.texts);
    if (!given.measurementFile.isEmpty()) {
        if (const auto problem = window.openMeasurement(given.measurementFile)) {
            std::fprintf(stderr, "vostrel-designer-screenshot: %s\n", qPrintable(*problem));
        }
    }
    window.show();
    window.tuning()->strap()->setValue(parser.value("strap").toInt());
    window.tuning()->capacitor()->setValue(parser.value("capacitor").toInt());
    QApplication::processEvents();

    const QString path
        = QDir(parser.value("out")).filePath(QStringLiteral("designer-window@%1x.png").arg(parser.value("scale")));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved ? 0 : 1;
}
