// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"
#include "desktop_launcher.h"
#include "main_window.h"
#include "message_box_report.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <exception>

int main(int argc, char* argv[])
{
    // --help and --version need no window, and no display either.
    if (const auto early = vostrel::earlyExit(argc, argv, stdout)) {
        return *early;
    }
    try {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("vostrel"));
        QApplication::setApplicationVersion(QStringLiteral(VOSTREL_VERSION));
        QApplication::setDesktopFileName(QStringLiteral(VOSTREL_APP_ID));
        if (const auto refused = vostrel::refuseLeftOverArguments(QApplication::arguments(), stderr)) {
            return *refused;
        }

        vostrel::MessageBoxReport report;
        vostrel::DesktopLauncher launcher;
        const vostrel::NumberFormat format{QLocale::system().decimalPoint().toStdString()};
        vostrel::MainWindow window(report, launcher, format);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        static_cast<void>(std::fprintf(stderr, "vostrel: %s\n", error.what()));
    } catch (...) {
        static_cast<void>(std::fputs("vostrel: an unexpected error ended the program\n", stderr));
    }
    return 70; // EX_SOFTWARE
}
