#include "error_report.h"
#include "launcher.h"
#include "main_window.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vostrel"));
    QApplication::setDesktopFileName(QStringLiteral(VOSTREL_APP_ID));

    vostrel::MessageBoxReport report;
    vostrel::DesktopLauncher launcher;
    const vostrel::NumberFormat format{QLocale::system().decimalPoint().toStdString()};
    vostrel::MainWindow window(report, launcher, format);
    window.show();
    return QApplication::exec();
}
