// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the NEC-2 check: the time to refine a lone dipole with and
// without the checks, and the nec2c runs each takes. Prints, never fails on
// a time.
#include "refine.h"

#include <sys/resource.h>

#include <chrono>
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
}
