// SPDX-License-Identifier: GPL-3.0-or-later
// Asks the main window for a control its layout does not have. The program
// must stop, saying which name it looked for, in every build type.
#include "fakes.h"
#include "main_window.h"
#include "text_box.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    RecordingReport report;
    RecordingLauncher launcher;
    vostrel::MainWindow window(report, launcher, vostrel::NumberFormat{"."});
    constexpr vostrel::forms::ControlName<vostrel::forms::TextBox> misspelt{"Text99"};
    window.control(misspelt)->setText(QStringLiteral("never reached"));
    return 0;
}
