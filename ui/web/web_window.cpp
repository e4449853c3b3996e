#include "web_window.h"

#include "error_report.h"
#include "home_page.h"
#include "label.h"
#include "launcher.h"
#include "web_window_layout.h"

namespace vostrel {

WebWindow::WebWindow(Launcher& launcher, ErrorReport& report)
    : forms::Form(webWindowForm())
    , m_launcher(launcher)
    , m_report(report)
{
    connect(control<forms::Label>("lblWebPage"), &forms::Label::clicked, this, &WebWindow::openHomePage);
}

void WebWindow::openHomePage()
{
    const QString address = QString::fromUtf8(kHomePageAddress) + QLatin1Char('/');
    if (!m_launcher.open(address)) {
        m_report.report(Failure::launch(address));
    }
}

} // namespace vostrel
