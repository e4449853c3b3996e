#include "desktop_launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vostrel {

DesktopLauncher::~DesktopLauncher()
{
    // Launches still running when the program ends are nobody's business
    // any more: their handlers belong to windows that are gone.
    for (QObject* process : m_running.children()) {
        process->disconnect();
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
    QObject::connect(
        process, &QProcess::finished, process, [process, address, failed](int exitCode, QProcess::ExitStatus status) {
            if (status != QProcess::NormalExit || exitCode != 0) {
                failed({address, exitCode});
            }
            process->deleteLater();
        });
    process->start(xdgOpen, {url.toString(QUrl::FullyEncoded)});
}

} // namespace vostrel
