// SPDX-License-Identifier: GPL-3.0-or-later
// The smallest Qt Widgets program that shows a window like the calculator's:
// one plain widget of the main window's client size and caption, nothing in
// it. bench/startup starts it beside vostrel to see what the calculator adds
// to Qt's own start-up time and memory.
//
//   vostrel-bare-window              an empty window
//   vostrel-bare-window --text-box   the same with one text box in it: the
//                                    least a window one can type into costs
//                                    (a font and the input method)
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Form1"));
    window.setFixedSize(695, 456);
    if (QApplication::arguments().contains(QStringLiteral("--text-box"))) {
        auto* box = new QLineEdit(QStringLiteral("00.0"), &window);
        box->setGeometry(568, 80, 105, 25);
    }
    window.show();
    return QApplication::exec();
}
