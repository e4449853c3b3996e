// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop launcher watches xdg-open's exit status: a launcher that starts
// but finds no browser is a failure the user must hear of.
#include "desktop_launcher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using vostrel::DesktopLauncher;
using vostrel::LaunchFailure;

class DesktopLauncherTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_bin.isValid());
        qputenv("PATH", (m_bin.path() + ':').toUtf8() + qgetenv("PATH"));
    }

    void watchesTheExitStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("browser opened") << 0;
        QTest::newRow("no browser") << 3;
        QTest::newRow("bad syntax") << 1;
    }

    void watchesTheExitStatus()
    {
        QFETCH(int, status);
        writeXdgOpen(QStringLiteral("printf %s \"$1\" > '%1/opened'\nexit %2\n").arg(m_bin.path()).arg(status));

        DesktopLauncher launcher;
        std::optional<LaunchFailure> failure;
        launcher.open("http://example.org/zorvik/", [&](const LaunchFailure& f) { failure = f; });
        QTRY_VERIFY_WITH_TIMEOUT(!launcher.busy(), 10000);

        QFile opened(m_bin.filePath("opened"));
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(opened.readAll(), QByteArray("http://example.org/zorvik/"));
        QCOMPARE(failure.has_value(), status != 0);
        if (failure) {
            QCOMPARE(failure->exitStatus, std::optional<int>(status));
            QCOMPARE(failure->address, QStringLiteral("http://example.org/zorvik/"));
        }
    }

    // Still running after the watch: xdg-open has started a browser and only
    // waits for it; how the browser ends is no failure to open the page.
    void aBrowserThatEndsLaterIsNoLaunchFailure()
    {
        writeXdgOpen(QStringLiteral("sleep 1\nexit 3\n"));
        DesktopLauncher launcher(std::chrono::milliseconds(100));
        std::optional<LaunchFailure> failure;
        launcher.open("http://example.org/zorvik/", [&](const LaunchFailure& f) { failure = f; });
        QTRY_VERIFY_WITH_TIMEOUT(!launcher.busy(), 10000);
        QVERIFY(!failure);
    }

    void anAddressThatIsNoURLNeverStarts()
    {
        writeXdgOpen(QStringLiteral("exit 0\n"));
        DesktopLauncher launcher;
        std::optional<LaunchFailure> failure;
        launcher.open("http://exa mple.org/", [&](const LaunchFailure& f) { failure = f; });
        QVERIFY(failure.has_value());
        QVERIFY(!failure->exitStatus);
        QVERIFY(!launcher.busy());
    }

private:
    void writeXdgOpen(const QString& body)
    {
        QFile script(m_bin.filePath("xdg-open"));
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\n" + body.toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    QTemporaryDir m_bin;
};

QTEST_MAIN(DesktopLauncherTest)
#include "desktop_launcher_test.moc"
