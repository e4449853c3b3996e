// SPDX-License-Identifier: GPL-3.0-or-later
// What the user is told for each kind of failure.
#include "error_report.h"

#include <QTest>

using vostrel::CalcFailure;
using vostrel::CalculationFailure;
using vostrel::Failure;
using vostrel::LaunchFailure;

Q_DECLARE_METATYPE(Failure)

class ErrorReportTest : public QObject {
    Q_OBJECT

private slots:
    void namesWhatWentWrong_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("words");
        const QString calculation = "The calculation failed.";
        const QString launch = "The web page could not be opened.";
        // The typed text and the window's number format say what to do.
        const vostrel::NumberFormat point{"."};
        const vostrel::NumberFormat comma{","};
        QTest::newRow("letter") << Failure(CalculationFailure{CalcFailure::ConversionError, "14k2", point})
                                << calculation << "the character \"k\" makes the text not a number";
        QTest::newRow("invisible") << Failure(CalculationFailure{CalcFailure::ConversionError, "14.2\u200B", point})
                                   << calculation << "U+200B";
        QTest::newRow("point in a comma locale")
            << Failure(CalculationFailure{CalcFailure::ConversionError, "14.2", comma}) << calculation
            << "for example 14,2: this system writes decimals with a comma";
        QTest::newRow("zero") << Failure(CalculationFailure{CalcFailure::DivisionByZero, "00.0", point}) << calculation
                              << "Type the operating frequency in MHz, for example 14.2: the frequency is 0";
        QTest::newRow("becomes zero") << Failure(CalculationFailure{CalcFailure::DivisionByZero, "1e-50", point})
                                      << calculation << "too small; it becomes 0 (division by zero)";
        QTest::newRow("overflow") << Failure(CalculationFailure{CalcFailure::Overflow, "1e-37", point}) << calculation
                                  << "(overflow)";
        QTest::newRow("launch not started") << Failure(LaunchFailure{"http://example.org/zorvik/", std::nullopt})
                                            << launch << "could not be started for http://example.org/zorvik/";
        QTest::newRow("launcher failed") << Failure(LaunchFailure{"http://example.org/zorvik/", 3}) << launch
                                         << "ended with status 3";
    }

    void namesWhatWentWrong()
    {
        QFETCH(Failure, failure);
        QFETCH(QString, action);
        QFETCH(QString, words);
        const QString text = vostrel::failureText(failure);
        QVERIFY2(text.startsWith(action), qPrintable(text));
        QVERIFY2(text.contains(words), qPrintable(text));
    }
};

QTEST_MAIN(ErrorReportTest)
#include "error_report_test.moc"
