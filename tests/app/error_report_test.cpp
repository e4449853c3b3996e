// What the user is told for each kind of failure.
#include "error_report.h"

#include <QTest>

using vostrel::CalcFailure;
using vostrel::Failure;
using Kind = vostrel::Failure::Kind;

Q_DECLARE_METATYPE(Failure)

class ErrorReportTest : public QObject {
    Q_OBJECT

private slots:
    void namesWhatWentWrong_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("words");
        QTest::newRow("conversion") << Failure::fromCalc(CalcFailure::ConversionError)
                                    << "Conversion error: the frequency is not a number.";
        QTest::newRow("division by zero")
            << Failure::fromCalc(CalcFailure::DivisionByZero) << "Division by zero: the frequency is 0.";
        QTest::newRow("overflow") << Failure::fromCalc(CalcFailure::Overflow)
                                  << "Overflow: the frequency is too close to 0, or the number is too large.";
        QTest::newRow("launch") << Failure::launch("http://example.org/zorvik/")
                                << "could not be started for http://example.org/zorvik/";
    }

    void namesWhatWentWrong()
    {
        QFETCH(Failure, failure);
        QFETCH(QString, words);
        const QString text = vostrel::failureText(failure);
        QVERIFY2(text.contains(words), qPrintable(text));
        QVERIFY(text.contains(failure.kind == Kind::Launch ? "web page could not be opened" : "calculation failed"));
    }
};

QTEST_MAIN(ErrorReportTest)
#include "error_report_test.moc"
