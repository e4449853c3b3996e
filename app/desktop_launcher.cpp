// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop_launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <chrono>

namespace vostrel {

DesktopLauncher::~DesktopLauncher()
{
    // A launch still running when the program ends only waits for the
    // browser it started, which goes on without it; its handler belongs to
    // a window that is gone.
    for (auto* process : m_running.findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        process->disconnect();
        process->kill();
        process->waitForFinished(1000);
    }
}

void DesktopLauncher::open(const QString& address, FailureHandler failed)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid()) {
        failed({address, {}});
        return;
    }
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        if (!QDesktopServices::openUrl(url)) {
            failed({address, {}});
        }
        return;
    }

    // xdg-open says whether a browser took the address only through its
    // exit status, which may come seconds later.
    auto* process = new QProcess(&m_running);
    const auto watchUntil = std::chrono::steady_clock::now() + m_watchFor;
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(
        process, &QProcess::errorOccurred, process, [process, address, failed](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                failed({address, {}});
                process->deleteLater();
            }
        });
    QObject::connect(process, &QProcess::finished, process,
        [process, address, failed, watchUntil](int exitCode, QProcess::ExitStatus status) {
            const bool watched = std::chrono::steady_clock::now() < watchUntil;
            if (watched && (status != QProcess::NormalExit || exitCode != 0)) {
                failed({address, exitCode});
            }
            process->deleteLater();
        });
    process->start(xdgOpen, {url.toString(QUrl::FullyEncoded)});
}

} // namespace vostrel
