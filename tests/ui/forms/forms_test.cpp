// SPDX-License-Identifier: GPL-3.0-or-later
// The forms layer: colour values, the cursor file reader and the text
// boxes' own behaviour.
#include "colour.h"
#include "cursor_file.h"
#include "multi_line_text_box.h"
#include "text_box.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace vostrel::forms;

namespace {

QByteArray handCursorFile()
{
    QFile file(QStringLiteral(":/assets/hand.cur"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

} // namespace

class FormsTest : public QObject {
    Q_OBJECT

private slots:
    void plainColoursAreBlueGreenRed_data()
    {
        QTest::addColumn<uint>("value");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("blue") << 0x00FF0000U << QColor(0, 0, 255);
        QTest::newRow("red") << 0x000000FFU << QColor(255, 0, 0);
        QTest::newRow("light yellow") << 0x00C0FFFFU << QColor(255, 255, 192);
        QTest::newRow("ground") << 0x0083E9E0U << QColor(224, 233, 131);
    }

    void plainColoursAreBlueGreenRed()
    {
        QFETCH(uint, value);
        QFETCH(QColor, colour);
        QVERIFY(!isSystemColour(value));
        QCOMPARE(resolveColour(value, QApplication::palette()), colour);
    }

    void systemColoursComeFromThePalette()
    {
        QPalette palette;
        palette.setColor(QPalette::Midlight, QColor(1, 2, 3));
        palette.setColor(QPalette::AlternateBase, QColor(4, 5, 6));
        palette.setColor(QPalette::Highlight, QColor(7, 8, 9));
        palette.setColor(QPalette::Button, QColor(10, 11, 12));
        QCOMPARE(resolveColour(SystemColour::ActiveBorder, palette), QColor(1, 2, 3));
        QCOMPARE(resolveColour(SystemColour::InactiveBorder, palette), QColor(4, 5, 6));
        QCOMPARE(resolveColour(SystemColour::Highlight, palette), QColor(7, 8, 9));
        QCOMPARE(resolveColour(SystemColour::ButtonFace, palette), QColor(10, 11, 12));
        QCOMPARE(resolveColour(0x80000001U, palette), palette.color(QPalette::Window)); // unknown index
    }

    void handCursorFileHasItsLayout()
    {
        const QByteArray bytes = handCursorFile();
        QCOMPARE(bytes.size(), 326);
        const std::optional<CursorImage> cursor = readCursorFile(bytes);
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->image.size(), QSize(32, 32));
        QCOMPARE(cursor->hotSpot, QPoint(13, 9));

        // The hand lies in columns 8 to 23 and rows 9 to 26.
        QRect opaque;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (qAlpha(cursor->image.pixel(x, y)) != 0) {
                    opaque |= QRect(x, y, 1, 1);
                }
            }
        }
        QCOMPARE(opaque, QRect(QPoint(8, 9), QPoint(23, 26)));
        QCOMPARE(cursor->image.pixel(13, 9), qRgb(0, 0, 0)); // hot spot: outline at the finger tip
        QCOMPARE(qAlpha(cursor->image.pixel(14, 9)), 0); // nothing to its right
        QCOMPARE(cursor->image.pixel(13, 12), qRgb(255, 255, 255));
        for (int y = 24; y <= 26; ++y) { // the black cuff
            for (int x = 11; x <= 22; ++x) {
                QCOMPARE(cursor->image.pixel(x, y), qRgb(0, 0, 0));
            }
        }
    }

    void damagedCursorFilesAreRefused_data()
    {
        const QByteArray good = handCursorFile();
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.left(6);
        QTest::newRow("cut short") << good.left(200);
        QByteArray icon = good;
        icon[2] = 1; // an icon, not a cursor
        QTest::newRow("icon type") << icon;
        QByteArray farOffset = good;
        farOffset[18] = char(0x7F); // image offset far past the end
        QTest::newRow("offset past the end") << farOffset;
        QByteArray hugeSize = good;
        hugeSize[17] = char(0xFF); // image size past the end
        QTest::newRow("size past the end") << hugeSize;
        QByteArray colourful = good;
        colourful[22 + 14] = 8; // 8 bits per pixel
        QTest::newRow("not two colours") << colourful;
        QByteArray wrongHeight = good;
        wrongHeight[22 + 8] = 32; // bitmap height must count both masks
        QTest::newRow("one mask only") << wrongHeight;
    }

    void damagedCursorFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!readCursorFile(bytes).has_value());
    }

    void missingCursorFallsBackToTheDesktopHand()
    {
        QCOMPARE(loadCursor(QStringLiteral(":/no/such.cur"), 1.0).shape(), Qt::PointingHandCursor);
        const QCursor sharp = loadCursor(QStringLiteral(":/assets/hand.cur"), 2.0);
        QCOMPARE(sharp.pixmap().size(), QSize(64, 64));
        QCOMPARE(sharp.pixmap().devicePixelRatio(), 2.0);
        QCOMPARE(sharp.hotSpot(), QPoint(26, 18)); // still on the finger tip
    }

    void textBoxReportsLeftClicksInside()
    {
        TextBox box;
        box.resize(100, 20);
        box.show();
        QSignalSpy clicked(&box, &TextBox::clicked);
        QTest::mouseClick(&box, Qt::LeftButton);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(clicked.size(), 2);
        QTest::mouseClick(&box, Qt::RightButton);
        QCOMPARE(clicked.size(), 2);
    }

    void multiLineBoxKeepsCrLfLineEnds()
    {
        MultiLineTextBox box;
        box.setText(QStringLiteral("FREQUENCY \r\nIN MHZ\r\n"));
        QCOMPARE(box.toPlainText(), QStringLiteral("FREQUENCY \nIN MHZ\n"));
        QCOMPARE(box.text(), QStringLiteral("FREQUENCY \r\nIN MHZ\r\n"));
        QVERIFY(box.tabChangesFocus());
    }
};

QTEST_MAIN(FormsTest)
#include "forms_test.moc"
