#include "launcher.h"

#include <QDesktopServices>
#include <QUrl>

namespace vostrel {

bool DesktopLauncher::open(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace vostrel
