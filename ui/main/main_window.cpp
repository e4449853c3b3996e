#include "main_window.h"

#include "error_report.h"
#include "main_window_layout.h"
#include "text_box.h"
#include "web_window.h"

#include <QPushButton>

namespace vostrel {

MainWindow::MainWindow(ErrorReport& report, Launcher& launcher, NumberFormat format, QWidget* parent)
    : forms::Form(mainWindowForm(), parent)
    , m_report(report)
    , m_launcher(launcher)
    , m_format(std::move(format))
{
    connect(control<QPushButton>("Command1"), &QPushButton::clicked, this, [this] { calculate(LengthUnit::Inches); });
    connect(
        control<QPushButton>("Command2"), &QPushButton::clicked, this, [this] { calculate(LengthUnit::Centimetres); });
    connect(control<QPushButton>("Command3"), &QPushButton::clicked, this, &MainWindow::showWebWindow);
    connect(control<forms::TextBox>("Text3"), &forms::TextBox::clicked, this, &MainWindow::refillFrequency);
    control<forms::TextBox>("Text3")->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::calculate(LengthUnit unit)
{
    const Result<float> freq = parseSingle(control<forms::TextBox>("Text3")->text().toStdString(), m_format);
    if (!freq) {
        m_report.report(Failure::fromCalc(freq.failure()));
        return;
    }
    m_values.freq = freq.value();
    if (const Result<void> computed = computeGammaMatch(m_values, unit); !computed) {
        m_report.report(Failure::fromCalc(computed.failure()));
        return;
    }

    // Written in this order: insertion length, capacitor, tube, tap, spacing.
    const std::pair<const char*, float> results[] = {
        {"Text11", m_values.capl},
        {"Text8", m_values.cap},
        {"Text9", m_values.tube},
        {"Text5", m_values.tap},
        {"Text17", m_values.spac},
    };
    for (const auto& [box, value] : results) {
        control<forms::TextBox>(box)->setText(QString::fromStdString(formatSingle(roundDecimals(value, 3), m_format)));
    }
}

void MainWindow::refillFrequency()
{
    control<forms::TextBox>("Text3")->setText(QString::fromStdString(formatSingle(m_values.freq, m_format)));
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
