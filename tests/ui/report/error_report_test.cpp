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
        QTest::newRow("conversion") << Failure(CalculationFailure{CalcFailure::ConversionError, "abc", {}})
                                    << calculation << "Conversion error: the frequency is not a number.";
        QTest::newRow("division by zero") << Failure(CalculationFailure{CalcFailure::DivisionByZero, "0", {}})
                                          << calculation << "Division by zero: the frequency is 0.";
        QTest::newRow("overflow") << Failure(CalculationFailure{CalcFailure::Overflow, "1e-37", {}}) << calculation
                                  << "Overflow: the frequency is too close to 0, or the number is too large.";
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
