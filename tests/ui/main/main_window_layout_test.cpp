// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as laid out: every control at its place with its text,
// colours, font and place in the tab order, checked against the layout
// drawn up for the window (twips, 15 to a pixel), not against the table the
// window is built from.
#include "fakes.h"
#include "main_window.h"
#include "multi_line_text_box.h"
#include "picture_box.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using vostrel::MainWindow;
using vostrel::NumberFormat;
using vostrel::forms::MultiLineTextBox;
using vostrel::forms::PictureBox;

namespace {

enum class Ground { Default, ActiveBorder, InactiveBorder, LightYellow };
enum class Ink { Default, Highlight, Blue };

struct Expected {
    const char* name;
    int left, top, width, height; // twips
    const char* text;
    int tabIndex;
    bool isStatic;
    Ground ground;
    Ink ink;
    Qt::Alignment alignment;
    int fontPixels; // at 96 dpi: 8.25 pt 11, 9.75 pt 13, 12 pt 16, 13.5 pt 18, 24 pt 32
};

const char* const kNotes = "This program will give you a starting \r\npoint for matching your home-brew\r\n"
                           "antenna when you do not have the\r\nmeans to measure or calculate the\r\n"
                           "resistance and reactance.\r\nThe gamma tube should be 1/4 the\r\n"
                           "diameter of the element. In 'A' the\r\ncapacitor is a piece of coax with the \r\n"
                           "coating and braid removed. 'B' allows\r\nmore freedom in the size of the tube\r\n"
                           "Fit the tube, sleeve and rod snug \r\n'C' uses a variable capacitor. After\r\n"
                           "adjustment, waterproof everything.\r\nNOTE. Quads have been made with \r\n"
                           "tube gammas but decrease the\r\ntap length by 25%. Decrease \r\n"
                           "the capacitance and tube length by \r\n10% and divide the spacing distance by \r\n"
                           "2.5. A proper quad gamma should be \r\nmade of stiff wire but this usually limits \r\n"
                           "you to the 'C' style gamma.\r\n";

const Qt::Alignment kCentre = Qt::AlignHCenter;
const Qt::Alignment kLeft = Qt::AlignLeft;

// Positions of the letter boxes are within the picture's inner area.
const Expected kControls[] = {
    {"Text15", 5040, 120, 5295, 375, "VOSTREL    by    ZORVIK", 17, true, Ground::ActiveBorder, Ink::Blue, kCentre, 18},
    {"Text1", 4920, 600, 3615, 5535, kNotes, 10, true, Ground::InactiveBorder, Ink::Default, kLeft, 13},
    {"Text2", 8520, 480, 1695, 615, "FREQUENCY \r\nIN MHZ\r\n", 0, true, Ground::ActiveBorder, Ink::Default, kCentre,
        16},
    {"Text3", 8520, 1200, 1575, 375, "00.0", 1, false, Ground::Default, Ink::Highlight, kCentre, 16},
    {"Command1", 8520, 1680, 855, 495, "INCHES", 2, false, Ground::Default, Ink::Default, {}, 11},
    {"Command2", 9480, 1680, 735, 495, "CM", 3, false, Ground::Default, Ink::Default, {}, 11},
    {"Text16", 8640, 2400, 1575, 285, "SPACING", 18, true, Ground::ActiveBorder, Ink::Default, kCentre, 11},
    {"Text17", 9000, 2760, 855, 285, "00.0", 19, false, Ground::Default, Ink::Highlight, kLeft, 11},
    {"Text4", 8640, 3120, 1695, 285, "TAP POINT LENGTH", 4, true, Ground::ActiveBorder, Ink::Default, kCentre, 11},
    {"Text5", 9000, 3480, 855, 285, "00.0", 5, false, Ground::Default, Ink::Highlight, kLeft, 11},
    {"Text6", 8520, 3840, 1695, 285, "TUBE LENGTH", 6, true, Ground::ActiveBorder, Ink::Default, kCentre, 11},
    {"Text9", 9000, 4200, 855, 285, "00.0", 9, false, Ground::Default, Ink::Highlight, kLeft, 11},
    {"Text7", 8520, 4680, 1695, 285, "CAPACITOR VALUE", 7, true, Ground::ActiveBorder, Ink::Default, kCentre, 11},
    {"Text8", 9000, 5040, 855, 285, "00.0  pf", 8, false, Ground::Default, Ink::Highlight, kLeft, 11},
    {"Text10", 8520, 5640, 1815, 495, "Capacitor (gamma rod) \r\ninsertion length\r\n", 11, true, Ground::ActiveBorder,
        Ink::Default, kCentre, 11},
    {"Text11", 9000, 6240, 855, 285, "00.0", 12, false, Ground::Default, Ink::Highlight, kLeft, 11},
    {"Command3", 5160, 6360, 1575, 255, "WEB SITE", 20, false, Ground::Default, Ink::Default, {}, 11},
    {"Picture1", 0, 240, 4815, 6495, "", 13, false, Ground::Default, Ink::Default, {}, 11},
    {"Text12", 3840, 240, 495, 615, "A", 14, true, Ground::LightYellow, Ink::Highlight, kCentre, 32},
    {"Text13", 3840, 2640, 495, 615, "B", 15, true, Ground::LightYellow, Ink::Highlight, kCentre, 32},
    {"Text14", 3840, 5040, 495, 615, "C", 16, true, Ground::LightYellow, Ink::Highlight, kCentre, 32},
};

QColor expectedGround(Ground ground)
{
    const QPalette desktop = QApplication::palette();
    switch (ground) {
    case Ground::ActiveBorder:
        return desktop.color(QPalette::Midlight);
    case Ground::InactiveBorder:
        return desktop.color(QPalette::AlternateBase);
    case Ground::LightYellow:
        return QColor(0xFF, 0xFF, 0xC0);
    case Ground::Default:
        break;
    }
    return {};
}

QColor expectedInk(Ink ink)
{
    switch (ink) {
    case Ink::Highlight:
        return QApplication::palette().color(QPalette::Highlight);
    case Ink::Blue:
        return QColor(0, 0, 255);
    case Ink::Default:
        break;
    }
    return {};
}

QString textOf(QWidget* widget)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        return line->text();
    }
    if (auto* box = qobject_cast<MultiLineTextBox*>(widget)) {
        return box->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        return button->text();
    }
    return {};
}

struct Fixture {
    Fixture()
        : window(report, launcher, NumberFormat{"."})
    { }
    QWidget* control(const char* name) const { return window.control<QWidget>(name); }
    RecordingReport report;
    RecordingLauncher launcher;
    MainWindow window;
};

// The lines a multi-line box shows once laid out at its width.
int shownLines(MultiLineTextBox* box)
{
    box->document()->setTextWidth(box->viewport()->width());
    box->document()->documentLayout()->documentSize(); // lays the text out
    int lines = 0;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.text().isEmpty()) {
            lines += block.layout()->lineCount();
        }
    }
    return lines;
}

} // namespace

class MainWindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void window()
    {
        Fixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(f.window.size(), QSize(695, 456));
        QCOMPARE(f.window.minimumSize(), f.window.maximumSize()); // not resizable
        QCOMPARE(f.window.palette().color(QPalette::Window), expectedGround(Ground::ActiveBorder));
        QVERIFY(f.window.autoFillBackground());
        QCOMPARE(QFontInfo(f.window.font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(f.window.font().pixelSize(), 11);
    }

    void controls_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < static_cast<int>(std::size(kControls)); ++i) {
            QTest::newRow(kControls[i].name) << i;
        }
    }

    void controls()
    {
        QFETCH(int, row);
        const Expected& e = kControls[row];
        Fixture f;
        QWidget* widget = f.control(e.name);

        QPoint origin;
        if (auto* picture = qobject_cast<PictureBox*>(widget->parentWidget())) {
            origin = picture->contentsRect().topLeft();
        } else {
            QCOMPARE(widget->parentWidget(), &f.window);
        }
        QCOMPARE(
            widget->geometry(), QRect(origin + QPoint(e.left / 15, e.top / 15), QSize(e.width / 15, e.height / 15)));
        QCOMPARE(textOf(widget), QString::fromUtf8(e.text));
        QCOMPARE(widget->font().pixelSize(), e.fontPixels);
        QCOMPARE(widget->font().weight(), QFont::Normal);
        QVERIFY(!widget->font().italic() && !widget->font().underline());

        // A static box stays out of the tab order but can still be clicked
        // into and edited; every other control is a tab stop.
        QCOMPARE(bool(widget->focusPolicy() & Qt::TabFocus), !e.isStatic);
        QVERIFY(widget->focusPolicy() & Qt::ClickFocus);

        if (e.ground != Ground::Default) {
            QCOMPARE(widget->palette().color(QPalette::Base), expectedGround(e.ground));
        }
        if (e.ink != Ink::Default) {
            const QPalette::ColorRole role = qobject_cast<QPushButton*>(widget) ? QPalette::ButtonText : QPalette::Text;
            QCOMPARE(widget->palette().color(role), expectedInk(e.ink));
        }
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            QCOMPARE(line->alignment() & Qt::AlignHorizontal_Mask, e.alignment);
            QVERIFY(!line->isReadOnly());
            QVERIFY(line->hasFrame());
        }
        if (auto* box = qobject_cast<MultiLineTextBox*>(widget)) {
            QCOMPARE(box->document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask, e.alignment);
            QVERIFY(!box->isReadOnly());
        }
    }

    void onlyTheListedControlsExist()
    {
        Fixture f;
        QStringList names;
        for (QWidget* child : f.window.findChildren<QWidget*>()) {
            if (child->objectName().startsWith("Text") || child->objectName().startsWith("Command")
                || child->objectName().startsWith("Picture")) {
                names << child->objectName();
            }
        }
        QCOMPARE(names.size(), static_cast<qsizetype>(std::size(kControls)));
    }

    void tabWalksTheTabStopsInTabIndexOrder()
    {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(QApplication::focusWidget(), f.control("Text3")); // focus on opening

        const QStringList forward
            = {"Command1", "Command2", "Text5", "Text8", "Text9", "Text11", "Picture1", "Text17", "Command3", "Text3"};
        QStringList visited;
        for (int i = 0; i < forward.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, forward);

        QStringList backward;
        for (int i = 0; i < forward.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            backward << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(backward,
            QStringList({"Command3", "Text17", "Picture1", "Text11", "Text9", "Text8", "Text5", "Command2", "Command1",
                "Text3"}));
    }

    void captionsFitTheirBoxes_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"Text15", "Text16", "Text4", "Text6", "Text7", "Text3", "Text8", "Text12"}) {
            QTest::newRow(name) << name;
        }
    }

    void captionsFitTheirBoxes()
    {
        QFETCH(QString, name);
        Fixture f;
        f.window.show();
        auto* line = f.window.control<QLineEdit>(qPrintable(name));
        const int room = line->width() - 2 * line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
        QVERIFY2(line->fontMetrics().horizontalAdvance(line->text()) <= room,
            qPrintable(QStringLiteral("%1 px of text in %2 px")
                           .arg(line->fontMetrics().horizontalAdvance(line->text()))
                           .arg(room)));
    }

    void multiLineBoxesShowTheirHardLinesUnbroken_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::newRow("notes") << "Text1" << 21;
        QTest::newRow("frequency caption") << "Text2" << 2;
        QTest::newRow("insertion length caption") << "Text10" << 2;
    }

    void multiLineBoxesShowTheirHardLinesUnbroken()
    {
        QFETCH(QString, name);
        QFETCH(int, lines);
        Fixture f;
        f.window.show();
        auto* box = f.window.control<MultiLineTextBox>(qPrintable(name));
        QCOMPARE(shownLines(box), lines);
        // And every line with text is inside the box, none cut off at the
        // bottom (the empty line after the last CR LF may be).
        QTextBlock last = box->document()->lastBlock();
        while (last.text().isEmpty()) {
            last = last.previous();
        }
        const QRectF lastLine = box->document()->documentLayout()->blockBoundingRect(last);
        QVERIFY2(lastLine.bottom() <= box->viewport()->height() + 1,
            qPrintable(
                QStringLiteral("text ends at %1, box shows %2").arg(lastLine.bottom()).arg(box->viewport()->height())));
    }

    void notesAreTheWholeText()
    {
        Fixture f;
        const QString notes = f.window.control<MultiLineTextBox>("Text1")->text();
        QCOMPARE(notes.size(), 752);
        QCOMPARE(notes.count(QStringLiteral("\r\n")), 21);
    }

    void coloursFollowTheDesktopScheme()
    {
        Fixture f;
        const QPalette original = QApplication::palette();
        QPalette dark = original;
        dark.setColor(QPalette::Highlight, QColor(200, 40, 40));
        dark.setColor(QPalette::Midlight, QColor(60, 60, 60));
        QApplication::setPalette(dark);
        QApplication::processEvents(); // the change reaches the windows as a posted event
        QCOMPARE(f.control("Text3")->palette().color(QPalette::Text), QColor(200, 40, 40));
        QCOMPARE(f.control("Text16")->palette().color(QPalette::Base), QColor(60, 60, 60));
        QCOMPARE(f.window.palette().color(QPalette::Window), QColor(60, 60, 60));
        QCOMPARE(f.control("Text15")->palette().color(QPalette::Text), QColor(0, 0, 255)); // a plain colour stays
        QApplication::setPalette(original);
        QApplication::processEvents();
        QCOMPARE(f.control("Text3")->palette().color(QPalette::Text), original.color(QPalette::Highlight));
    }

    void diagramIsShownUnscaledWithTheBoxGroundAround()
    {
        Fixture f;
        auto* picture = f.window.control<PictureBox>("Picture1");
        QCOMPARE(picture->pictureSize(), QSize(316, 426));
        QCOMPARE(picture->contentsRect().size(), QSize(317, 429)); // inside a 2-pixel sunken border

        // Device pixels: the same at 1x, twice as many each way at 2x.
        const QImage shot = picture->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const auto device = [ratio](QPoint logical) { return (QPointF(logical) * ratio).toPoint(); };
        QCOMPARE(shot.size(), QSize(321, 433) * ratio);
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        const QPoint inner = picture->contentsRect().topLeft();
        // One column at the right and three rows at the bottom show the box.
        for (int y = 0; y < 429; y += 7) {
            QCOMPARE(shot.pixelColor(device(inner + QPoint(316, y))), buttonFace);
        }
        for (int x = 0; x < 317; x += 7) {
            for (int row = 426; row < 429; ++row) {
                QCOMPARE(shot.pixelColor(device(inner + QPoint(x, row))), buttonFace);
            }
        }
        // The drawing is shown unscaled: its own pixels, corners included,
        // drawn for the screen's pixel ratio.
        const QImage drawing = picture->pictureAt(ratio).toImage();
        for (const QPoint p : {QPoint(0, 0), QPoint(315, 0), QPoint(0, 425), QPoint(315, 425), QPoint(150, 80)}) {
            QCOMPARE(shot.pixelColor(device(inner + p)), drawing.pixelColor(device(p)));
        }
    }

    void diagramGroundCoversAboutSixtyTwoPercent()
    {
        Fixture f;
        auto* picture = f.window.control<PictureBox>("Picture1");
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = picture->pictureAt(ratio).toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(image.size(), QSize(316, 426) * ratio);
            qsizetype ground = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    ground += image.pixel(x, y) == qRgb(224, 233, 131) ? 1 : 0;
                }
            }
            const double share
                = 100.0 * static_cast<double>(ground) / static_cast<double>(image.width() * image.height());
            QVERIFY2(share > 57.0 && share < 67.0, qPrintable(QString::number(share)));
        }
    }

    void letterBoxesStandOnPlainGround()
    {
        // The drawing leaves the corners of the letter boxes free, so no line
        // of it disappears under a box.
        Fixture f;
        const QImage drawing = f.window.control<PictureBox>("Picture1")->pictureAt(1.0).toImage();
        for (const char* name : {"Text12", "Text13", "Text14"}) {
            const QRect box = f.control(name)->geometry().translated(-QPoint(2, 2));
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    QCOMPARE(drawing.pixel(x, y), qRgb(224, 233, 131));
                }
            }
        }
    }

    void clicksOnTheDiagramChangeNothing()
    {
        Fixture f;
        f.window.show();
        QTest::mouseClick(f.control("Picture1"), Qt::LeftButton, {}, QPoint(100, 100));
        auto* letter = f.window.control<QLineEdit>("Text13");
        QTest::mouseClick(letter, Qt::LeftButton);
        QTest::keyClicks(letter, "x");
        QCOMPARE(letter->text(), QStringLiteral("Bx"));
        QCOMPARE(f.window.control<QLineEdit>("Text12")->text(), QStringLiteral("A"));
        QCOMPARE(f.window.control<QLineEdit>("Text3")->text(), QStringLiteral("00.0"));
        QVERIFY(f.report.failures.empty());
    }
};

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
