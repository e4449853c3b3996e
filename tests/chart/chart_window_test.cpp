// SPDX-License-Identifier: GPL-3.0-or-later
// The chart and the window show the same texts for the same frequency: one
// test drives both.
#include "chart.h"
#include "fakes.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "text_box.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sstream>

class ChartWindowTest : public QObject {
    Q_OBJECT

private slots:
    void chartRowsMatchTheWindow_data()
    {
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<bool>("centimetres");
        for (const char* frequency : {"14.2", "28.5", "3.6", "-7.1", "0.07", "144.3", "1296", "0.0001", "1e-35"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 in").arg(frequency))) << frequency << false;
            QTest::newRow(qPrintable(QStringLiteral("%1 cm").arg(frequency))) << frequency << true;
        }
    }

    void chartRowsMatchTheWindow()
    {
        QFETCH(QString, frequency);
        QFETCH(bool, centimetres);

        using namespace vostrel::mainWindowControls;
        RecordingReport report;
        RecordingLauncher launcher;
        vostrel::MainWindow window(report, launcher, vostrel::NumberFormat{"."});
        window.control(frequencyBox)->setText(frequency);
        QTest::mouseClick(window.control(centimetres ? cmButton : inchesButton), Qt::LeftButton);
        QVERIFY(report.failures.empty());
        QStringList shown;
        for (const auto box : resultBoxes) {
            shown << window.control(box)->text();
        }
        QTest::mouseClick(window.control(frequencyBox), Qt::LeftButton);
        const QString shownFrequency = window.control(frequencyBox)->text();

        const std::string text = frequency.toStdString();
        const std::vector<std::string_view> args = {"--csv", centimetres ? "--cm" : "--inches", text};
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        QCOMPARE(static_cast<int>(vostrel::chart::runChart(args, in, out, err)), 0);
        const QStringList csv = QString::fromStdString(out.str()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(csv.size(), 2);
        const QStringList row = csv[1].split(',');
        QCOMPARE(row.mid(1, 5), shown);
        QCOMPARE(row[0], shownFrequency);
    }
};

QTEST_MAIN(ChartWindowTest)
#include "chart_window_test.moc"
