// SPDX-License-Identifier: GPL-3.0-or-later
// WEB SITE and the link window: one window for the run, the address handed
// to the launcher, a launcher that cannot start, and the hand cursor.
#include "fakes.h"
#include "label.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "text_box.h"
#include "web_window_controls.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace mainWindowControls = vostrel::mainWindowControls;
namespace webWindowControls = vostrel::webWindowControls;
using vostrel::MainWindow;
using vostrel::NumberFormat;
using vostrel::forms::Label;

namespace {

struct Fixture {
    Fixture()
        : window(report, launcher, NumberFormat{"."})
    {
        window.show();
    }

    void pressWebSite() const { QTest::mouseClick(window.control(mainWindowControls::webSiteButton), Qt::LeftButton); }

    // The link windows that exist, shown or not.
    QList<QWidget*> webWindows() const
    {
        QList<QWidget*> found;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String(webWindowControls::kWindowName)) {
                found << top;
            }
        }
        return found;
    }
    QWidget* web() const { return webWindows().value(0); }
    Label* label(const char* name) const { return web()->findChild<Label*>(QLatin1String(name)); }
    Label* label(vostrel::forms::ControlName<Label> name) const { return label(name.objectName); }
    void clickLink() const
    {
        QTest::mouseClick(label(webWindowControls::homePageLink), Qt::LeftButton, {}, QPoint(5, 5));
    }

    RecordingReport report;
    RecordingLauncher launcher;
    MainWindow window;
};

} // namespace

class WebWindowTest : public QObject {
    Q_OBJECT

private slots:
    void doesNotExistBeforeTheFirstClick()
    {
        Fixture f;
        QVERIFY(f.webWindows().isEmpty());
    }

    void opensOneWindowHoweverOftenClicked()
    {
        Fixture f;
        for (int i = 0; i < 4; ++i) {
            f.pressWebSite();
        }
        QCOMPARE(f.webWindows().size(), 1);
        QWidget* web = f.web();
        QVERIFY(web->isVisible());
        QVERIFY(web->isWindow());
        QVERIFY(!web->isModal());
        QCOMPARE(web->parentWidget(), nullptr); // no owner
        QCOMPARE(web->windowTitle(), QStringLiteral("Web Page Link"));
        QCOMPARE(web->size(), QSize(221, 123));
        QVERIFY(f.window.isEnabled()); // the main window stays usable
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<Qt::Alignment>("alignment");
        QTest::newRow("Label1") << "Label1" << QRect(525, 75, 2265, 390) << Qt::Alignment(Qt::AlignHCenter);
        QTest::newRow("Label2") << "Label2" << QRect(450, 750, 2490, 345) << Qt::Alignment(Qt::AlignHCenter);
        QTest::newRow("lblWebPage") << "lblWebPage" << QRect(525, 1335, 2205, 255) << Qt::Alignment(Qt::AlignLeft);
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(Qt::Alignment, alignment);
        Fixture f;
        f.pressWebSite();
        Label* label = f.label(qPrintable(name));
        QVERIFY(label != nullptr);
        QCOMPARE(label->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, alignment);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QCOMPARE(label->font().pixelSize(), 11);
    }

    void texts()
    {
        Fixture f;
        f.pressWebSite();
        QCOMPARE(f.label(webWindowControls::openedInBrowser)->text(),
            QStringLiteral("The link will be opened in your default browser."));
        QVERIFY(f.label(webWindowControls::openedInBrowser)->wordWrap());
        QCOMPARE(f.label(webWindowControls::clickBelow)->text(), QStringLiteral("Click Link Below to "));
        Label* link = f.label(webWindowControls::homePageLink);
        QVERIFY(link->text().startsWith(QLatin1String("http://")));
        QVERIFY(link->text().endsWith(QLatin1String("/zorvik")));
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        // The whole address is visible.
        QVERIFY(link->fontMetrics().horizontalAdvance(link->text()) <= link->width());
    }

    void showsTheSameWindowAgainAfterClose()
    {
        Fixture f;
        f.pressWebSite();
        QWidget* first = f.web();
        const QString address = f.label(webWindowControls::homePageLink)->text();
        first->close();
        QVERIFY(!first->isVisible());
        QVERIFY(f.window.isVisible()); // closing it leaves the main window alone

        f.pressWebSite();
        QCOMPARE(f.webWindows().size(), 1);
        QVERIFY(f.web()->isVisible());
        QCOMPARE(f.label(webWindowControls::homePageLink)->text(), address);
        QCOMPARE(f.label(webWindowControls::clickBelow)->text(), QStringLiteral("Click Link Below to "));
    }

    void linkHandsTheAddressWithAClosingSlashToTheLauncher()
    {
        Fixture f;
        f.pressWebSite();
        f.clickLink();
        QCOMPARE(f.launcher.addresses, QStringList({f.label(webWindowControls::homePageLink)->text() + "/"}));
        QVERIFY(f.report.failures.empty());

        // Clicks elsewhere in the window do nothing.
        QTest::mouseClick(f.label(webWindowControls::openedInBrowser), Qt::LeftButton);
        QTest::mouseClick(f.label(webWindowControls::clickBelow), Qt::LeftButton);
        QTest::mouseClick(f.web(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(f.launcher.addresses.size(), 1);
    }

    void launcherThatCannotStartIsReportedAndTheWindowStays()
    {
        Fixture f;
        f.launcher.starts = false;
        f.pressWebSite();
        f.clickLink();
        QCOMPARE(f.report.failures.size(), std::size_t{1});
        const auto& failure = std::get<vostrel::LaunchFailure>(f.report.failures.front());
        QCOMPARE(failure.address, f.label(webWindowControls::homePageLink)->text() + "/");
        QVERIFY(!failure.exitStatus);
        QVERIFY(f.web()->isVisible());
    }

    // xdg-open starts, finds no browser and says so only by its exit status.
    void launcherThatEndsInFailureIsReported()
    {
        Fixture f;
        f.pressWebSite();
        f.clickLink();
        f.launcher.finish(0);
        QVERIFY(f.report.failures.empty());

        f.clickLink();
        f.launcher.finish(3);
        QCOMPARE(f.report.failures.size(), std::size_t{1});
        const auto& failure = std::get<vostrel::LaunchFailure>(f.report.failures.front());
        QCOMPARE(failure.exitStatus, std::optional<int>(3));
        QVERIFY(vostrel::failureText(failure).contains(failure.address));
        QVERIFY(f.web()->isVisible());
    }

    void linkLeavesTheMainWindowAlone()
    {
        Fixture f;
        auto* frequency = f.window.control(mainWindowControls::frequencyBox);
        frequency->setText("14.2");
        QTest::mouseClick(f.window.control(mainWindowControls::inchesButton), Qt::LeftButton);
        QStringList before;
        for (QLineEdit* box : f.window.findChildren<QLineEdit*>()) {
            before << box->objectName() + "=" + box->text();
        }
        f.pressWebSite();
        f.clickLink();
        QStringList after;
        for (QLineEdit* box : f.window.findChildren<QLineEdit*>()) {
            after << box->objectName() + "=" + box->text();
        }
        QCOMPARE(after, before);
        QVERIFY(after.contains("Text5=47.687"));
    }

    void linkShowsTheHandCursor()
    {
        Fixture f;
        f.pressWebSite();
        const QCursor cursor = f.label(webWindowControls::homePageLink)->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        // Drawn whole pixels larger on a high-DPI screen, so it stays sharp.
        const QPixmap pixmap = cursor.pixmap();
        const int scale = static_cast<int>(pixmap.devicePixelRatio());
        QCOMPARE(scale, static_cast<int>(std::lround(f.web()->devicePixelRatioF())));
        const QImage image = pixmap.toImage();
        QCOMPARE(image.size(), QSize(32, 32) * scale);
        QCOMPARE(cursor.hotSpot(), QPoint(13, 9) * scale); // the finger tip, in device pixels
        QCOMPARE(image.pixel(13 * scale, 9 * scale), qRgb(0, 0, 0)); // the tip of the finger
        QCOMPARE(image.pixel(12 * scale, 10 * scale), qRgb(255, 255, 255)); // inside the finger
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        // Elsewhere the ordinary arrow.
        QCOMPARE(f.label(webWindowControls::openedInBrowser)->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(f.web()->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(WebWindowTest)
#include "web_window_test.moc"
