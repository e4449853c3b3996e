// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form.h"

namespace vostrel {

class ErrorReport;
class Launcher;

// The small window with the home page link. A click on the link hands the
// address, with a closing "/", to the launcher and returns at once.
class WebWindow : public forms::Form {
    Q_OBJECT
public:
    WebWindow(Launcher& launcher, ErrorReport& report);

private:
    void openHomePage();

    Launcher& m_launcher;
    ErrorReport& m_report;
};

} // namespace vostrel
