// SPDX-License-Identifier: GPL-3.0-or-later
// vostrel-designer: the gamma match designer window.
//   vostrel-designer [--freq MHz] [--r OHMS] [--x OHMS] [--element LEN] ... [file.s1p]
#include "command_line.h"
#include "designer_settings.h"
#include "designer_window.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <optional>

namespace {

void describe(QCommandLineParser& parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("vostrel-designer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VOSTREL_VERSION));
    QCoreApplication::setOrganizationName(QString::fromLatin1(vostrel::designer::settings::kOrganisation));
    parser.setApplicationDescription(QStringLiteral("Designs a gamma match from the element's feed impedance."));
    parser.addHelpOption();
    parser.addVersionOption();
    vostrel::designer::addInputOptions(parser);
}

// One line on standard error, named for the program.
void say(const QString& line)
{
    static_cast<void>(std::fprintf(stderr, "vostrel-designer: %s\n", qPrintable(line)));
}

// Reads the options: --help and --version print and exit 0; an option it
// does not know is one line and status 2, as for the other programs.
std::optional<int> readOptions(QCommandLineParser& parser)
{
    if (!parser.parse(QCoreApplication::arguments())) {
        say(parser.errorText() + QStringLiteral("; try 'vostrel-designer --help'"));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(); // exits 0
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion(); // exits 0
    }
    return std::nullopt;
}

// --help and --version print and exit; they need no display.
bool onlyPrints(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    try {
        if (onlyPrints(argc, argv)) {
            QCoreApplication app(argc, argv);
            QCommandLineParser parser;
            describe(parser);
            return readOptions(parser).value_or(0);
        }
        QApplication app(argc, argv);
        QApplication::setApplicationDisplayName(QStringLiteral("Gamma Match Designer"));
        QApplication::setDesktopFileName(QStringLiteral(VOSTREL_APP_ID ".Designer"));
        QCommandLineParser parser;
        describe(parser);
        if (const auto status = readOptions(parser)) {
            return *status;
        }

        namespace settings = vostrel::designer::settings;
        vostrel::designer::DesignerWindow window; // shows the last session's inputs
        const auto started
            = vostrel::designer::startWindow(window, parser, settings::readAntennaModel(settings::userSettings()));
        if (const auto* refused = std::get_if<vostrel::designer::StartRefusal>(&started)) {
            say(refused->message);
            return 2;
        }
        for (const QString& line : std::get<QStringList>(started)) {
            say(line);
        }
        window.show();
        return QApplication::exec();
    } catch (const std::bad_alloc&) {
        static_cast<void>(std::fputs("vostrel-designer: out of memory\n", stderr));
    } catch (const std::exception& error) {
        static_cast<void>(std::fprintf(stderr, "vostrel-designer: %s\n", error.what()));
    } catch (...) {
        static_cast<void>(std::fputs("vostrel-designer: an unexpected error ended the program\n", stderr));
    }
    return 5; // the program itself failed, as the command-line tools say it
}
