// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's behaviour: typing a frequency, pressing INCHES or CM,
// reading the five result boxes; failures and the frequency box refill.
#include "fakes.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "text_box.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using vostrel::MainWindow;
using vostrel::NumberFormat;
using vostrel::forms::ControlName;
using vostrel::forms::TextBox;
using Kind = vostrel::CalcFailure;

Q_DECLARE_METATYPE(Kind)

namespace {

using namespace vostrel::mainWindowControls;

// The result boxes in the order of the captions on screen.
constexpr ControlName<TextBox> kResultBoxes[]
    = {spacingResult, tapPointResult, tubeResult, capacitorResult, insertionResult};

struct Fixture {
    explicit Fixture(const char* separator = ".")
        : window(report, launcher, NumberFormat{separator})
    { }

    QLineEdit* frequency() const { return window.control(frequencyBox); }

    void type(const QString& text) const
    {
        frequency()->clear();
        QTest::keyClicks(frequency(), text);
    }
    void press(const char* button) const { QTest::mouseClick(window.control<QPushButton>(button), Qt::LeftButton); }
    void press(ControlName<QPushButton> button) const { QTest::mouseClick(window.control(button), Qt::LeftButton); }
    void clickFrequency() const { QTest::mouseClick(frequency(), Qt::LeftButton); }

    QStringList results() const
    {
        QStringList texts;
        for (const auto name : kResultBoxes) {
            texts << window.control(name)->text();
        }
        return texts;
    }

    RecordingReport report;
    RecordingLauncher launcher;
    MainWindow window;
};

const QStringList kInitialResults = {"00.0", "00.0", "00.0", "00.0  pf", "00.0"};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheInitialTexts()
    {
        Fixture f;
        QCOMPARE(f.frequency()->text(), QStringLiteral("00.0"));
        QCOMPARE(f.results(), kInitialResults);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Form1"));
    }

    void calculates_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("button");
        // spacing, tap point, tube, capacitor, insertion length
        QTest::addColumn<QStringList>("expected");

        struct Row {
            const char* name;
            const char* frequency;
            const char* button;
            QStringList expected;
        };
        const Row rows[] = {
            {"14.2 inches", "14.2", "Command1", {"6.099", "47.687", "10.876", "126.761", "8.451"}},
            {"14.2 cm", "14.2", "Command2", {"15.492", "120.423", "27.465", "126.761", "21.465"}},
            {"28.5 inches", "28.5", "Command1", {"4.067", "23.76", "5.419", "63.158", "4.211"}},
            {"28.5 cm", "28.5", "Command2", {"10.331", "60", "13.684", "63.158", "10.695"}},
            {"-7.1 inches", "-7.1", "Command1", {"-6.048", "-95.375", "-21.752", "-253.521", "-16.901"}},
            {"0.07 inches", "0.07", "Command1", {"823.45", "9673.714", "2206.286", "25714.29", "1714.286"}},
            {"3.6 inches", "3.6", "Command1", {"18.022", "188.1", "42.9", "500", "33.333"}},
            {"-100 inches", "-100", "Command1", {"1.475", "-6.772", "-1.544", "-18", "-1.2"}},
            {"14.20 with blanks", "  14.20 ", "Command1", {"6.099", "47.687", "10.876", "126.761", "8.451"}},
            {"exponent notation", "1.42e1", "Command2", {"15.492", "120.423", "27.465", "126.761", "21.465"}},
        };
        for (const Row& row : rows) {
            QTest::newRow(row.name) << "." << row.frequency << row.button << row.expected;
        }
        // The same rows in a locale that writes a decimal comma.
        for (const Row& row : rows) {
            QStringList expected = row.expected;
            expected.replaceInStrings(".", ",");
            QTest::newRow(qPrintable(QStringLiteral("%1, comma").arg(row.name)))
                << "," << QString::fromLatin1(row.frequency).replace('.', ',') << row.button << expected;
        }
    }

    void calculates()
    {
        QFETCH(QString, separator);
        QFETCH(QString, frequency);
        QFETCH(QString, button);
        QFETCH(QStringList, expected);

        Fixture f(qPrintable(separator));
        f.type(frequency);
        f.press(qPrintable(button));
        QCOMPARE(f.results(), expected);
        QVERIFY(f.report.failures.empty());
        QCOMPARE(f.frequency()->text(), frequency); // the typed text stays until a click
    }

    void writesTheResultsInTheirFixedOrder()
    {
        Fixture f;
        QStringList order;
        for (const auto name : kResultBoxes) {
            connect(
                f.window.control(name), &QLineEdit::textChanged, this, [&order, name] { order << name.objectName; });
        }
        f.type("14.2");
        f.press(inchesButton);
        QCOMPARE(order, QStringList({"Text11", "Text8", "Text9", "Text5", "Text17"}));
    }

    void switchingUnitsRecomputesFromTheSameText()
    {
        Fixture f;
        f.type("14.2");
        f.press(inchesButton);
        f.press(cmButton);
        QCOMPARE(f.results(), QStringList({"15.492", "120.423", "27.465", "126.761", "21.465"}));
        f.press(inchesButton);
        QCOMPARE(f.results(), QStringList({"6.099", "47.687", "10.876", "126.761", "8.451"}));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("button");
        QTest::addColumn<Kind>("kind");
        // What a click in the frequency box shows afterwards.
        QTest::addColumn<QString>("refill");

        // Every row starts after a good calculation at 14.2 MHz.
        QTest::newRow("empty") << "."
                               << ""
                               << "Command1" << Kind::ConversionError << "14.2";
        QTest::newRow("blanks") << "."
                                << "   "
                                << "Command2" << Kind::ConversionError << "14.2";
        QTest::newRow("letters") << "."
                                 << "abc"
                                 << "Command1" << Kind::ConversionError << "14.2";
        QTest::newRow("unit typed") << "."
                                    << "14.2 MHz"
                                    << "Command1" << Kind::ConversionError << "14.2";
        QTest::newRow("comma, point locale") << "."
                                             << "14,2"
                                             << "Command1" << Kind::ConversionError << "14.2";
        QTest::newRow("point, comma locale") << ","
                                             << "14.2"
                                             << "Command1" << Kind::ConversionError << "14,2";
        QTest::newRow("too large") << "."
                                   << "1E39"
                                   << "Command2" << Kind::Overflow << "14.2";
        QTest::newRow("too large, comma") << ","
                                          << "4,5E38"
                                          << "Command2" << Kind::Overflow << "14,2";
        QTest::newRow("zero") << "."
                              << "0"
                              << "Command1" << Kind::DivisionByZero << "0";
        QTest::newRow("minus zero") << "."
                                    << "-0.0"
                                    << "Command2" << Kind::DivisionByZero << "0";
        QTest::newRow("too small to round") << "."
                                            << "1e-50"
                                            << "Command1" << Kind::DivisionByZero << "0";
        QTest::newRow("too close to 0, inches") << "."
                                                << "1E-37"
                                                << "Command1" << Kind::Overflow << "1E-37";
        QTest::newRow("too close to 0, cm") << "."
                                            << "1E-37"
                                            << "Command2" << Kind::Overflow << "1E-37";
        QTest::newRow("cm fails at cap") << "."
                                         << "5.1e-36"
                                         << "Command2" << Kind::Overflow << "5.1E-36";
        QTest::newRow("too close, comma") << ","
                                          << "-1E-37"
                                          << "Command1" << Kind::Overflow << "-1E-37";
    }

    void failures()
    {
        QFETCH(QString, separator);
        QFETCH(QString, frequency);
        QFETCH(QString, button);
        QFETCH(Kind, kind);
        QFETCH(QString, refill);

        Fixture f(qPrintable(separator));
        f.type(separator == "." ? "14.2" : "14,2");
        f.press(inchesButton);
        const QStringList before = f.results();

        f.type(frequency);
        f.press(qPrintable(button));
        QCOMPARE(f.report.failures.size(), std::size_t{1});
        QCOMPARE(f.report.calculationKind(), kind);
        QCOMPARE(f.results(), before);
        QCOMPARE(f.frequency()->text(), frequency);

        f.clickFrequency();
        QCOMPARE(f.frequency()->text(), refill);

        // The program goes on: the next good calculation overwrites all five.
        f.type(separator == "." ? "28.5" : "28,5");
        f.press(cmButton);
        QCOMPARE(f.results().join(' '),
            separator == "." ? QStringLiteral("10.331 60 13.684 63.158 10.695")
                             : QStringLiteral("10,331 60 13,684 63,158 10,695"));
    }

    void untouchedFrequencyIsDivisionByZero()
    {
        Fixture f;
        f.press(inchesButton);
        QCOMPARE(f.report.failures.size(), std::size_t{1});
        QCOMPARE(f.report.calculationKind(), Kind::DivisionByZero);
        QCOMPARE(f.results(), kInitialResults);
    }

    void clickInTheFrequencyBoxShowsTheStoredFrequency()
    {
        Fixture f;
        f.clickFrequency();
        QCOMPARE(f.frequency()->text(), QStringLiteral("0"));

        f.type("14.20");
        f.press(inchesButton);
        f.clickFrequency();
        QCOMPARE(f.frequency()->text(), QStringLiteral("14.2"));

        // Every click, whatever was typed in between.
        QTest::keyClicks(f.frequency(), "99");
        f.clickFrequency();
        QCOMPARE(f.frequency()->text(), QStringLiteral("14.2"));

        f.type("0.0001");
        f.press(cmButton);
        f.clickFrequency();
        QCOMPARE(f.frequency()->text(), QStringLiteral("1E-04"));
        QVERIFY(f.report.failures.empty());
    }

    void enterDoesNotCalculate()
    {
        Fixture f;
        f.window.show();
        f.type("14.2");
        QTest::keyClick(f.frequency(), Qt::Key_Return);
        QTest::keyClick(f.frequency(), Qt::Key_Enter);
        QCOMPARE(f.results(), kInitialResults);
        QVERIFY(f.report.failures.empty());
        for (const auto name : {inchesButton, cmButton, webSiteButton}) {
            QVERIFY(!f.window.control(name)->isDefault());
            QVERIFY(!f.window.control(name)->autoDefault());
        }
    }

    void spaceOnAFocusedButtonCalculates()
    {
        Fixture f;
        f.window.show();
        f.type("28.5");
        auto* cm = f.window.control(cmButton);
        cm->setFocus();
        QTest::keyClick(cm, Qt::Key_Space);
        QCOMPARE(f.results(), QStringList({"10.331", "60", "13.684", "63.158", "10.695"}));
    }

    void resultBoxesAreOrdinaryEditableBoxes()
    {
        Fixture f;
        QLineEdit* tap = f.window.control(tapPointResult);
        QVERIFY(!tap->isReadOnly());
        tap->setText("my note");
        f.type("14.2");
        f.press(inchesButton);
        QCOMPARE(tap->text(), QStringLiteral("47.687"));
    }

    // The window opens with the frequency box focused and its placeholder
    // selected: what the user types first is the frequency, not "1400.0".
    void firstTypingReplacesThePlaceholder()
    {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClicks(QApplication::focusWidget(), "14");
        QCOMPARE(f.frequency()->text(), QStringLiteral("14"));
        f.press(inchesButton);
        QCOMPARE(f.results().first(), QStringLiteral("6.157"));
    }

    // A result too long for its box shows its beginning: "5.7498E+31", not
    // the misleading tail "7498E+31".
    void longResultsShowTheirBeginning()
    {
        Fixture f;
        f.window.show();
        f.type("1e-30");
        f.press(inchesButton);
        QCOMPARE(f.results().first(), QStringLiteral("5.7498E+31"));
        for (const auto name : kResultBoxes) {
            QLineEdit* box = f.window.control(name);
            QCOMPARE(box->cursorPosition(), 0);
            QVERIFY(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < box->width() / 4);
        }
    }

    // A value copied from a spreadsheet cell or a terminal brings its line
    // break; the box keeps what it can show, up to the first break.
    void pastedTextStopsAtTheFirstLineBreak_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("caret"); // -1: all selected
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        QTest::newRow("no break") << "00.0" << -1 << "14.2"
                                  << "14.2";
        QTest::newRow("LF") << "00.0" << -1 << "14.2\n"
                            << "14.2";
        QTest::newRow("CR LF") << "00.0" << -1 << "14.2\r\n"
                               << "14.2";
        QTest::newRow("two lines") << "00.0" << -1 << "14.2\n28.5\n"
                                   << "14.2";
        QTest::newRow("at the caret") << "1.2" << 1 << "4\r\n"
                                      << "14.2";
        QTest::newRow("only a break") << "14.2" << 4 << "\n"
                                      << "14.2";
    }

    void pastedTextStopsAtTheFirstLineBreak()
    {
        QFETCH(QString, before);
        QFETCH(int, caret);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        Fixture f;
        f.window.show();
        f.frequency()->setText(before);
        if (caret < 0) {
            f.frequency()->selectAll();
        } else {
            f.frequency()->setCursorPosition(caret);
        }
        QApplication::clipboard()->setText(pasted);
        QTest::keySequence(f.frequency(), QKeySequence::Paste);
        QCOMPARE(f.frequency()->text(), after);
        f.press(inchesButton);
        QVERIFY(f.report.failures.empty());
        QCOMPARE(f.results().first(), QStringLiteral("6.099"));
    }

    void hugeAndStrangeInputIsReportedNotFatal_data()
    {
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("a megabyte of digits") << QString(1 << 20, '7') << Kind::Overflow;
        QTest::newRow("control characters") << QStringLiteral("\x01\x02 14.2") << Kind::ConversionError;
        QTest::newRow("non-ASCII digits") << QStringLiteral("\u0661\u0664.\u0662") << Kind::ConversionError;
        QTest::newRow("fullwidth digits") << QStringLiteral("\uFF11\uFF14.\uFF12") << Kind::ConversionError;
    }

    void hugeAndStrangeInputIsReportedNotFatal()
    {
        QFETCH(QString, frequency);
        QFETCH(Kind, kind);
        Fixture f;
        f.frequency()->setMaxLength(std::numeric_limits<int>::max());
        f.frequency()->setText(frequency);
        f.press(inchesButton);
        QCOMPARE(f.report.failures.size(), std::size_t{1});
        QCOMPARE(f.report.calculationKind(), kind);
        QCOMPARE(f.results(), kInitialResults);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
