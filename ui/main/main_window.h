// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form.h"
#include "gamma_match.h"
#include "number_text.h"

#include <memory>

namespace vostrel {

class ErrorReport;
class Launcher;
class WebWindow;

// The calculator's main window. It keeps the six values between clicks;
// INCHES and CM read the frequency box, compute and write the five result
// boxes; a click in the frequency box shows the frequency last converted;
// WEB SITE opens the one link window.
class MainWindow : public forms::Form {
    Q_OBJECT
public:
    MainWindow(ErrorReport& report, Launcher& launcher, NumberFormat format, QWidget* parent = nullptr);
    ~MainWindow() override;

private:
    void calculate(LengthUnit unit);
    void refillFrequency();
    void showWebWindow();

    ErrorReport& m_report;
    Launcher& m_launcher;
    const NumberFormat m_format;
    GammaMatchValues m_values;
    std::unique_ptr<WebWindow> m_web; // created by the first WEB SITE click
};

} // namespace vostrel
