// SPDX-License-Identifier: GPL-3.0-or-later
#include "web_window.h"

#include "error_report.h"
#include "home_page.h"
#include "label.h"
#include "launcher.h"
#include "web_window_controls.h"
#include "web_window_layout.h"

#include <QPointer>

namespace vostrel {

WebWindow::WebWindow(Launcher& launcher, ErrorReport& report)
    : forms::Form(webWindowForm())
    , m_launcher(launcher)
    , m_report(report)
{
    connect(control(webWindowControls::homePageLink), &forms::Label::clicked, this, &WebWindow::openHomePage);
}

void WebWindow::openHomePage()
{
    const QString address = QString::fromUtf8(kHomePageAddress) + QLatin1Char('/');
    m_launcher.open(address, [window = QPointer<WebWindow>(this)](const LaunchFailure& failure) {
        if (!window.isNull()) {
            window->m_report.report(failure);
        }
    });
}

} // namespace vostrel
