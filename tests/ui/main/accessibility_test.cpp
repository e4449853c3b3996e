// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the windows: a name for every box and
// button, result boxes linked to their captions, and their values as
// editable text.
#include "fakes.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "text_box.h"
#include "web_window_controls.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace mainWindowControls = vostrel::mainWindowControls;
namespace webWindowControls = vostrel::webWindowControls;

namespace {

struct Fixture {
    Fixture()
        : window(report, launcher, vostrel::NumberFormat{"."})
    { }
    QAccessibleInterface* accessible(const char* name) const
    {
        return QAccessible::queryAccessibleInterface(window.control<QWidget>(name));
    }
    RecordingReport report;
    RecordingLauncher launcher;
    vostrel::MainWindow window;
};

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        const char* const rows[][2] = {
            {"Text3", "Frequency in MHz entry"},
            {"Text2", "Frequency in MHz"},
            {"Command1", "Calculate in inches"},
            {"Command2", "Calculate in centimetres"},
            {"Command3", "Open the web page link window"},
            {"Text17", "Spacing result"},
            {"Text5", "Tap point length result"},
            {"Text9", "Tube length result"},
            {"Text8", "Capacitor value result"},
            {"Text11", "Capacitor insertion length result"},
            {"Text16", "Spacing"},
            {"Text4", "Tap point length"},
            {"Text6", "Tube length"},
            {"Text7", "Capacitor value"},
            {"Text10", "Capacitor (gamma rod) insertion length"},
            {"Text15", "Vostrel by Zorvik"},
            {"Text1", "Building notes"},
            {"Picture1", "Diagram of gamma match styles A, B and C"},
            {"Text12", "Style A"},
            {"Text13", "Style B"},
            {"Text14", "Style C"},
        };
        for (const auto& row : rows) {
            QTest::newRow(row[0]) << row[0] << row[1];
        }
    }

    void everyControlHasAName()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        Fixture f;
        QAccessibleInterface* accessible = f.accessible(qPrintable(control));
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->text(QAccessible::Name), name);
    }

    void resultBoxesAreLabelledByTheirCaptions_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("caption");
        QTest::newRow("frequency") << "Text3"
                                   << "Text2";
        QTest::newRow("spacing") << "Text17"
                                 << "Text16";
        QTest::newRow("tap point") << "Text5"
                                   << "Text4";
        QTest::newRow("tube") << "Text9"
                              << "Text6";
        QTest::newRow("capacitor") << "Text8"
                                   << "Text7";
        QTest::newRow("insertion length") << "Text11"
                                          << "Text10";
    }

    void resultBoxesAreLabelledByTheirCaptions()
    {
        QFETCH(QString, result);
        QFETCH(QString, caption);
        Fixture f;
        const auto relations = f.accessible(qPrintable(result))->relations(QAccessible::Label);
        QCOMPARE(relations.size(), 1);
        QCOMPARE(relations.front().second, QAccessible::Label);
        QCOMPARE(relations.front().first->object(), f.window.control<QWidget>(qPrintable(caption)));
        // Captions themselves have no label.
        QVERIFY(f.accessible(qPrintable(caption))->relations(QAccessible::Label).isEmpty());
    }

    void resultsReadAsEditableText()
    {
        Fixture f;
        f.window.control(mainWindowControls::frequencyBox)->setText("14.2");
        f.window.control(mainWindowControls::inchesButton)->click();

        QAccessibleInterface* tap = f.accessible("Text5");
        QCOMPARE(tap->role(), QAccessible::EditableText);
        QCOMPARE(tap->text(QAccessible::Value), QStringLiteral("47.687"));
        QVERIFY(tap->state().editable);
        QVERIFY(tap->state().focusable);

        QAccessibleTextInterface* text = tap->textInterface();
        QVERIFY(text != nullptr);
        QCOMPARE(text->characterCount(), 6);
        QCOMPARE(text->text(0, 2), QStringLiteral("47"));

        QAccessibleEditableTextInterface* editable = tap->editableTextInterface();
        QVERIFY(editable != nullptr);
        editable->replaceText(0, 2, QStringLiteral("99"));
        QCOMPARE(f.window.control(mainWindowControls::tapPointResult)->text(), QStringLiteral("99.687"));

        // Offsets outside the text are brought inside it, never read past it.
        QCOMPARE(text->text(-5, 2), QStringLiteral("99"));
        QCOMPARE(text->text(4, 100), QStringLiteral("87"));
        QVERIFY(text->characterRect(-1).isValid());
        QVERIFY(text->characterRect(1000).isValid());
        editable->insertText(-3, QStringLiteral("1"));
        QCOMPARE(f.window.control(mainWindowControls::tapPointResult)->text(), QStringLiteral("199.687"));
        text->setSelection(0, -4, 1000);
        QCOMPARE(f.window.control(mainWindowControls::tapPointResult)->selectedText(), QStringLiteral("199.687"));

        // A screen reader can type a frequency too.
        f.accessible("Text3")->setText(QAccessible::Value, QStringLiteral("28.5"));
        f.accessible("Command2")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(
            f.window.control(mainWindowControls::tapPointResult)->text(), QStringLiteral("60")); // an animated click
    }

    void linkIsNamed()
    {
        Fixture f;
        f.window.control(mainWindowControls::webSiteButton)->click();
        QWidget* link = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String(webWindowControls::kWindowName)) {
                link = top->findChild<QWidget*>(QString::fromLatin1(webWindowControls::homePageLink.objectName));
            }
        }
        QVERIFY(link != nullptr);
        QCOMPARE(
            QAccessible::queryAccessibleInterface(link)->text(QAccessible::Name), QStringLiteral("Home page link"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
