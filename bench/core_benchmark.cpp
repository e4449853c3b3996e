// SPDX-License-Identifier: GPL-3.0-or-later
// How long the calculator's work takes, from the core alone up to a real
// button click on the main window:
//
//   BM_CorePath          what one INCHES click computes: parseSingle("14.2"),
//                        computeGammaMatch and the five shownResult texts
//   BM_ParseLongText/N   parseSingle on "14." followed by N - 3 digits; the
//                        bytes per second should stay flat from 1 KiB to 1 MiB
//   BM_WindowClick       QPushButton::click() on INCHES or CM (by turns, so the
//                        five boxes change every time) until it returns, with
//                        the five boxes holding their new texts
//   BM_WindowClickPaint  the same click, then the event loop run until the
//                        window has repainted the changed boxes
//
// The windows run on Qt's offscreen platform: no display is needed.
//
//   build/release/bench/vostrel-core-benchmark --benchmark_repetitions=5
#include "error_report.h"
#include "gamma_match.h"
#include "launcher.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "number_text.h"
#include "shown_result.h"
#include "text_box.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <cstdint>
#include <random>
#include <string>

namespace {

const vostrel::NumberFormat kDot{"."};

// The result boxes, spacing to insertion length, and what they show after
// INCHES and after CM at 14.2 MHz.
using namespace vostrel::mainWindowControls;
constexpr std::array kResultBoxes = {spacingResult, tapPointResult, tubeResult, capacitorResult, insertionResult};
constexpr std::array<const char*, 5> kInches = {"6.099", "47.687", "10.876", "126.761", "8.451"};
constexpr std::array<const char*, 5> kCentimetres = {"15.492", "120.423", "27.465", "126.761", "21.465"};

void BM_CorePath(benchmark::State& state)
{
    std::array<std::string, 5> texts;
    for (auto _ : state) {
        const vostrel::Result<float> freq = vostrel::parseSingle("14.2", kDot);
        vostrel::GammaMatchValues values;
        values.freq = freq.value();
        const vostrel::Result<void> computed = vostrel::computeGammaMatch(values, vostrel::LengthUnit::Inches);
        benchmark::DoNotOptimize(computed.ok());
        for (std::size_t i = 0; i < vostrel::kResultFields.size(); ++i) {
            texts[i] = vostrel::shownResult(values.*vostrel::kResultFields[i].member, kDot);
        }
        benchmark::DoNotOptimize(texts.data());
        benchmark::ClobberMemory();
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] != kInches[i]) {
            state.SkipWithError(("wrong result: " + texts[i] + " instead of " + kInches[i]).c_str());
            return;
        }
    }
}
BENCHMARK(BM_CorePath);

void BM_ParseLongText(benchmark::State& state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    std::string text = "14.";
    std::mt19937 random(20240501);
    std::uniform_int_distribution<int> digit('0', '9');
    while (text.size() < length) {
        text.push_back(static_cast<char>(digit(random)));
    }
    for (auto _ : state) {
        const vostrel::Result<float> value = vostrel::parseSingle(text, kDot);
        benchmark::DoNotOptimize(value);
    }
    const vostrel::Result<float> value = vostrel::parseSingle(text, kDot);
    if (!value.ok() || value.value() < 14.0F || value.value() >= 15.0F) {
        state.SkipWithError("the long text did not parse to 14.something");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseLongText)->Arg(1 << 10)->Arg(1 << 15)->Arg(1 << 20)->Complexity(benchmark::oN);

// Failures are counted, not shown: a message box would stop the benchmark.
class CountingReport final : public vostrel::ErrorReport {
public:
    void report(const vostrel::Failure&) override { ++failures; }
    int failures = 0;
};

class NoLauncher final : public vostrel::Launcher {
public:
    void open(const QString&, FailureHandler) override { }
};

// Counts the paint events of one widget.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
    std::int64_t paints = 0;
};

// A shown main window with 14.2 typed in, and its two unit buttons.
struct ShownWindow {
    ShownWindow()
        : window(report, launcher, kDot)
    {
        window.control(frequencyBox)->setText(QStringLiteral("14.2"));
        window.show();
        QApplication::processEvents();
        inches = window.control(inchesButton);
        centimetres = window.control(cmButton);
    }

    // Checks what the boxes show after the last click; false after any
    // failure or a wrong text.
    bool showsResults(bool lastWasInches, benchmark::State& state) const
    {
        if (report.failures != 0) {
            state.SkipWithError("the click reported a failure");
            return false;
        }
        const auto& expected = lastWasInches ? kInches : kCentimetres;
        for (std::size_t i = 0; i < kResultBoxes.size(); ++i) {
            const QString shown = window.control(kResultBoxes[i])->text();
            if (shown != QLatin1String(expected[i])) {
                state.SkipWithError(
                    qPrintable(QStringLiteral("box %1 shows %2 instead of %3")
                                   .arg(QLatin1String(kResultBoxes[i].objectName), shown, QLatin1String(expected[i]))));
                return false;
            }
        }
        return true;
    }

    CountingReport report;
    NoLauncher launcher;
    vostrel::MainWindow window;
    QPushButton* inches = nullptr;
    QPushButton* centimetres = nullptr;
};

void BM_WindowClick(benchmark::State& state)
{
    ShownWindow w;
    std::int64_t clicks = 0;
    for (auto _ : state) {
        (clicks % 2 == 0 ? w.inches : w.centimetres)->click();
        ++clicks;
    }
    if (clicks > 0 && w.showsResults(clicks % 2 == 1, state)) {
        state.SetItemsProcessed(clicks);
    }
    // The repaints the clicks asked for are left to the next benchmark's
    // window set-up, outside any timing.
    QApplication::processEvents();
}
BENCHMARK(BM_WindowClick);

void BM_WindowClickPaint(benchmark::State& state)
{
    ShownWindow w;
    PaintCounter counter;
    QWidget* spacing = w.window.control(spacingResult);
    spacing->installEventFilter(&counter);
    std::int64_t clicks = 0;
    for (auto _ : state) {
        (clicks % 2 == 0 ? w.inches : w.centimetres)->click();
        QApplication::processEvents();
        ++clicks;
    }
    spacing->removeEventFilter(&counter);
    if (clicks > 0 && w.showsResults(clicks % 2 == 1, state)) {
        state.SetItemsProcessed(clicks);
        // 1 when every click repainted the spacing box before the next one.
        state.counters["spacing_paints_per_click"] = static_cast<double>(counter.paints) / static_cast<double>(clicks);
    }
}
BENCHMARK(BM_WindowClickPaint);

} // namespace

int main(int argc, char* argv[])
{
    // The offscreen platform whatever the environment says, so the figures
    // never depend on a display or a window manager.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
