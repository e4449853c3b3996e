// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "error_report.h"
#include "main_window_controls.h"
#include "main_window_layout.h"
#include "shown_result.h"
#include "text_box.h"
#include "web_window.h"

#include <QPushButton>

namespace vostrel {

using namespace mainWindowControls;

MainWindow::MainWindow(ErrorReport& report, Launcher& launcher, NumberFormat format, QWidget* parent)
    : forms::Form(mainWindowForm(), parent)
    , m_report(report)
    , m_launcher(launcher)
    , m_format(std::move(format))
{
    connect(control(inchesButton), &QPushButton::clicked, this, [this] { calculate(LengthUnit::Inches); });
    connect(control(cmButton), &QPushButton::clicked, this, [this] { calculate(LengthUnit::Centimetres); });
    connect(control(webSiteButton), &QPushButton::clicked, this, &MainWindow::showWebWindow);
    connect(control(frequencyBox), &forms::TextBox::clicked, this, &MainWindow::refillFrequency);

    // The window opens ready for a frequency: what is typed first replaces
    // the placeholder instead of joining it.
    control(frequencyBox)->setFocus();
    control(frequencyBox)->selectAll();
}

MainWindow::~MainWindow() = default;

void MainWindow::calculate(LengthUnit unit)
{
    const QString text = control(frequencyBox)->text();
    const Result<float> freq = parseSingle(text.toStdString(), m_format);
    if (!freq) {
        m_report.report(CalculationFailure{freq.failure(), text, m_format});
        return;
    }
    m_values.freq = freq.value();
    if (const Result<void> computed = computeGammaMatch(m_values, unit); !computed) {
        m_report.report(CalculationFailure{computed.failure(), text, m_format});
        return;
    }

    // Written bottom to top: insertion length, capacitor, tube, tap, spacing.
    static_assert(resultBoxes.size() == kResultFields.size());
    for (std::size_t i = resultBoxes.size(); i-- > 0;) {
        forms::TextBox* box = control(resultBoxes[i]);
        box->setText(QString::fromStdString(shownResult(m_values.*kResultFields[i].member, m_format)));
        box->setCursorPosition(0); // a long result shows its beginning, as the user reads it
    }
}

void MainWindow::refillFrequency()
{
    control(frequencyBox)->setText(QString::fromStdString(formatSingle(m_values.freq, m_format)));
}

void MainWindow::showWebWindow()
{
    if (!m_web) {
        m_web = std::make_unique<WebWindow>(m_launcher, m_report);
    }
    m_web->show();
    m_web->raise();
    m_web->activateWindow();
}

} // namespace vostrel
