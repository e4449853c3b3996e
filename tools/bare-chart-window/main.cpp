// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's start-up baseline: a Qt Widgets window of the designer's
// size holding one empty chart view, so Qt Charts and its dependencies are
// loaded as in the designer. bench/designer-startup starts it beside
// vostrel-designer to see what the designer adds to that.
#include <QApplication>
#include <QChart>
#include <QChartView>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QChartView view(new QChart);
    view.setWindowTitle(QStringLiteral("Gamma Match Designer"));
    view.resize(1320, 900);
    view.show();
    return QApplication::exec();
}
