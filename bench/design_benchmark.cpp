// SPDX-License-Identifier: GPL-3.0-or-later
// How long vostrel-design's sweeps take: 10,000 points of SWR and input
// impedance against capacitance, rod length and frequency, around the
// Antenna Book's 14.3 MHz example (the design itself, once, as well).
//
//   build/release/bench/vostrel-design-benchmark --benchmark_repetitions=5
#include "gamma_design.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace vostrel::design;

constexpr int kPoints = 10'000;
constexpr double kInch = 0.0254;

const DesignInput kBook{14.3, {25, -25}, {1.5 * kInch, 0.5 * kInch, 6 * kInch}, 50, StepUp::Whole};

const Design& bookDesign()
{
    static const Design designed = std::get<Design>(design(kBook));
    return designed;
}

// Fails the benchmark unless the sweep gave every point.
void checkSweep(benchmark::State& state, const Outcome<std::vector<SweepPoint>>& swept)
{
    const auto* points = std::get_if<std::vector<SweepPoint>>(&swept);
    if (points == nullptr || points->size() != static_cast<std::size_t>(kPoints)) {
        state.SkipWithError("the sweep did not give every point");
    }
}

void BM_Design(benchmark::State& state)
{
    for (auto _ : state) {
        auto designed = design(kBook);
        benchmark::DoNotOptimize(designed);
    }
}
BENCHMARK(BM_Design);

void BM_SweepCapacitance10k(benchmark::State& state)
{
    Outcome<std::vector<SweepPoint>> swept;
    for (auto _ : state) {
        swept = sweepCapacitance(kBook, bookDesign().rodLength, 70, 150, kPoints);
        benchmark::DoNotOptimize(swept);
    }
    checkSweep(state, swept);
}
BENCHMARK(BM_SweepCapacitance10k)->Unit(benchmark::kMicrosecond);

void BM_SweepRodLength10k(benchmark::State& state)
{
    Outcome<std::vector<SweepPoint>> swept;
    for (auto _ : state) {
        swept = sweepRodLength(kBook, bookDesign().capacitancePf, 30 * kInch, 45 * kInch, kPoints);
        benchmark::DoNotOptimize(swept);
    }
    checkSweep(state, swept);
}
BENCHMARK(BM_SweepRodLength10k)->Unit(benchmark::kMicrosecond);

void BM_SweepFrequency10k(benchmark::State& state)
{
    Outcome<std::vector<SweepPoint>> swept;
    for (auto _ : state) {
        swept = sweepFrequency(kBook, bookDesign().rodLength, bookDesign().capacitancePf, 13, 15.5, kPoints);
        benchmark::DoNotOptimize(swept);
    }
    checkSweep(state, swept);
}
BENCHMARK(BM_SweepFrequency10k)->Unit(benchmark::kMicrosecond);

void BM_SweepMeasured10k(benchmark::State& state)
{
    std::vector<MeasuredPoint> measured;
    for (int i = 0; i < kPoints; ++i) {
        measured.push_back({13 + 2.5 * i / (kPoints - 1), {20 + 0.001 * i, -35 + 0.002 * i}});
    }
    Outcome<std::vector<SweepPoint>> swept;
    for (auto _ : state) {
        swept = sweepMeasured(kBook, bookDesign().rodLength, bookDesign().capacitancePf, measured);
        benchmark::DoNotOptimize(swept);
    }
    checkSweep(state, swept);
}
BENCHMARK(BM_SweepMeasured10k)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
