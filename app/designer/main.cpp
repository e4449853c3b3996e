// vostrel-designer: the gamma match designer window.
//   vostrel-designer [--freq MHz] [--r OHMS] [--x OHMS] [--element LEN] ... [--file S1P]
#include "command_line.h"
#include "designer_window.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vostrel-designer"));
    QApplication::setApplicationDisplayName(QStringLiteral("Gamma Match Designer"));
    QApplication::setApplicationVersion(QStringLiteral(VOSTREL_VERSION));
    QApplication::setOrganizationName(QString::fromLatin1(vostrel::designer::DesignerWindow::kOrganisation));
    QApplication::setDesktopFileName(QStringLiteral(VOSTREL_APP_ID ".Designer"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Designs a gamma match from the element's feed impedance."));
    parser.addHelpOption();
    parser.addVersionOption();
    vostrel::designer::addInputOptions(parser);
    parser.process(app);

    vostrel::designer::DesignerWindow window;
    const auto options = vostrel::designer::readInputOptions(parser, window.inputs());
    if (const auto* problem = std::get_if<QString>(&options)) {
        std::fprintf(stderr, "vostrel-designer: %s\n", qPrintable(*problem));
        return 2;
    }
    const auto& given = std::get<vostrel::designer::CommandLineInputs>(options);
    window.setInputs(given.texts);
    if (!given.measurementFile.isEmpty()) {
        if (const auto problem = window.openMeasurement(given.measurementFile)) {
            std::fprintf(stderr, "vostrel-designer: %s\n", qPrintable(*problem));
        }
    }
    window.show();
    return QApplication::exec();
}
