// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the NEC-2 check: the time to refine a lone dipole with and
// without the checks, and the nec2c runs each takes; the window's frequency
// sweep (41 points over +-5 %) with every point from nec2c against 11 of
// them and the rest interpolated: time and the largest difference. Prints,
// never fails on a time.
#include "deck_reader.h"
#include "refine.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

using namespace vostrel;

namespace {

// CPU seconds of the children waited for so far (nec2c's runs).
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

nec::NecJob dipoleJob(double freq, double length, double element, double rod, double spacing, bool checks)
{
    nec::NecJob job;
    job.design.freqMhz = freq;
    job.design.geometry = {element, rod, spacing};
    job.design.lineImpedance = 50;
    job.element = nec::DipoleElement{length};
    job.checks = checks;
    return job;
}

// The window's sweep of `job`'s refined match, all from nec2c and 11 of 41.
void sweepFigures(const char* name, nec::NecJob job)
{
    job.checks = false;
    const auto refined = nec::refine(job);
    if (const auto* failure = std::get_if<nec::NecFailure>(&refined)) {
        std::printf("sweep, %s: the refinement failed: %s\n", name, failure->message.c_str());
        return;
    }
    const auto& r = std::get<nec::Refined>(refined);
    const double from = job.design.freqMhz * 0.95;
    const double to = job.design.freqMhz * 1.05;
    std::vector<design::SweepPoint> swept[2];
    for (int fromNec : {0, 11}) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuBefore = childCpuSeconds();
        auto outcome = nec::sweep(job, r.rodLength, r.capacitancePf, from, to, 41, fromNec);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = childCpuSeconds() - cpuBefore;
        if (const auto* failure = std::get_if<nec::NecFailure>(&outcome)) {
            std::printf("sweep, %s: failed: %s\n", name, failure->message.c_str());
            return;
        }
        swept[fromNec == 0 ? 0 : 1] = std::get<std::vector<design::SweepPoint>>(outcome);
        std::printf("sweep, %s, 41 points, %s: %.2f s (nec2c's CPU %.2f s)\n", name,
            fromNec == 0 ? "all from nec2c" : "11 from nec2c", seconds, cpu);
    }
    double worstSwr = 0;
    double worstGamma = 0;
    double highest = 0;
    const double z0 = job.design.lineImpedance;
    for (std::size_t i = 0; i < swept[0].size(); ++i) {
        const auto& exact = swept[0][i];
        const auto& between = swept[1][i];
        highest = std::max(highest, exact.swr);
        worstGamma = std::max(
            worstGamma, std::abs((exact.zin - z0) / (exact.zin + z0) - (between.zin - z0) / (between.zin + z0)));
        if (exact.swr < 3) {
            worstSwr = std::max(worstSwr, std::abs(exact.swr - between.swr));
        }
    }
    std::printf("  interpolated against nec2c: SWR within %.4f where below 3, reflection within %.4f (highest SWR "
                "%.1f)\n",
        worstSwr, worstGamma, highest);
}

// The published MININEC study's two-element 28.5 MHz beam: 0.5 in
// elements, driven 5.025 m, reflector 5.4 m 0.4 m behind.
nec::NecJob beamJob(double rod, double spacing)
{
    nec::NecJob job;
    job.design.freqMhz = 28.5;
    job.design.geometry = {0.0127, rod, spacing};
    job.design.lineImpedance = 50;
    job.element = std::get<nec::UserDeck>(nec::readDeck("CM two-element beam\nCE\n"
                                                        "GW 1 41 0 -2.5125 0 0 2.5125 0 0.00635\n"
                                                        "GW 2 41 -0.4 -2.7 0 -0.4 2.7 0 0.00635\n"
                                                        "GE 0\nEX 0 1 21 0 1 0\nFR 0 1 0 0 28.5 0\nEN\n",
        "beam.nec"));
    return job;
}

} // namespace

int main()
{
    struct Case {
        const char* name;
        double freq, length, element, rod, spacing;
    };
    const Case cases[] = {
        {"20 m dipole, 25 mm tube, 12.7 mm rod at 150 mm", 14.2, 10.1, 0.025, 0.0127, 0.15},
        {"2 m dipole, 12 mm tube and rod at 38 mm", 144.5, 0.98, 0.012, 0.012, 0.038},
    };
    for (const Case& c : cases) {
        for (bool checks : {false, true}) {
            const int repeats = 5;
            double best = 1e9;
            double bestCpu = 1e9;
            nec::Outcome<nec::Refined> outcome = nec::NecFailure{};
            for (int i = 0; i < repeats; ++i) {
                const auto start = std::chrono::steady_clock::now();
                const double cpuBefore = childCpuSeconds();
                outcome = nec::refine(dipoleJob(c.freq, c.length, c.element, c.rod, c.spacing, checks));
                const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                best = std::min(best, seconds);
                bestCpu = std::min(bestCpu, childCpuSeconds() - cpuBefore);
            }
            if (const auto* failure = std::get_if<nec::NecFailure>(&outcome)) {
                std::printf("%s: failed: %s\n%s\n", c.name, failure->message.c_str(), failure->outputTail.c_str());
                continue;
            }
            const auto& r = std::get<nec::Refined>(outcome);
            std::printf("%s, %s: best of %d %.3f s (nec2c's CPU %.3f s), %d nec2c runs (search %d)\n", c.name,
                checks ? "with checks" : "refinement alone", repeats, best, bestCpu, r.runs, r.searchRuns);
            std::printf(
                "  feed %.2f%+.2fj; closed form L %.1f mm C %.1f pF SWR in NEC %.2f; NEC L %.1f mm C %.1f pF SWR "
                "%.3f; AGT %.3f; halved L %.1f mm C %.1f pF%s%s\n",
                r.feedImpedance.real(), r.feedImpedance.imag(), r.closedForm ? r.closedForm->rodLength * 1e3 : 0.0,
                r.closedForm ? r.closedForm->capacitancePf : 0.0, r.closedFormSwr.value_or(0), r.rodLength * 1e3,
                r.capacitancePf, r.swr, r.averageGain.value_or(0), r.halvedRodLength.value_or(0) * 1e3,
                r.halvedCapacitancePf.value_or(0), r.doubtful ? "; doubtful: " : "", r.doubt.c_str());
        }
    }
    sweepFigures("20 m dipole", dipoleJob(14.2, 10.1, 0.025, 0.0127, 0.15, false));
    sweepFigures("160 m dipole, 50 mm tube, 12.5 mm rod at 100 mm (a cage of six)",
        dipoleJob(1.85, 76.2, 0.05, 0.0125, 0.1, false));
    sweepFigures("10 m two-element beam, 0.25 in rod at 4 in", beamJob(0.00635, 0.1016));
}
