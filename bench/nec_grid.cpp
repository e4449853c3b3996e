// SPDX-License-Identifier: GPL-3.0-or-later
// The full-wave model on a grid of the geometries builders use: for each,
// NEC-2's refined rod and capacitor with both checks (the average gain test
// and the halved run), the nec2c runs and their CPU time, and whether the
// model passes. Prints, never fails on a figure.
//
//   vostrel-nec-grid           the grid (free-space dipoles 1.85 to 432 MHz,
//                              element/rod 0.75 to 20, spacing 2.5 to 15
//                              rods, and a 28.5 MHz two-element beam)
//   vostrel-nec-grid --curves  the beam's refined rod and capacitor against
//                              the rod's diameter in 2 % steps at 2, 4 and
//                              6 in, without the checks, and the largest step
//                              between neighbours
#include "allowance.h"
#include "deck_reader.h"
#include "physics.h"
#include "refine.h"

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace vostrel;

namespace {

constexpr double kInch = 0.0254;

// CPU seconds of the children waited for so far (nec2c's runs).
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct Geometry {
    double freqMhz;
    double element; // metres
    double rod;
    double spacing;
    bool beam; // the two-element beam's driven element, else a free-space dipole 0.47 wavelength long
};

// The beam of the published MININEC study's geometry: 0.5 in elements,
// driven element 5.025 m, reflector 5.4 m, 0.4 m behind, 28.5 MHz.
const char* const kBeam = "CM two-element 28.5 MHz beam, 0.5 in elements\nCE\n"
                          "GW 1 41 0 -2.5125 0 0 2.5125 0 0.00635\n"
                          "GW 2 41 -0.4 -2.7 0 -0.4 2.7 0 0.00635\n"
                          "GE 0\nEX 0 1 21 0 1 0\nFR 0 1 0 0 28.5 0\nEN\n";

nec::NecJob jobFor(const Geometry& g, bool checks)
{
    nec::NecJob job;
    job.design.freqMhz = g.freqMhz;
    job.design.geometry = {g.element, g.rod, g.spacing};
    job.design.lineImpedance = 50;
    job.checks = checks;
    if (g.beam) {
        job.element = std::get<nec::UserDeck>(nec::readDeck(kBeam, "beam.nec"));
    } else {
        job.element = nec::DipoleElement{0.47 * physics::wavelengthMetres(g.freqMhz)};
    }
    return job;
}

std::vector<Geometry> grid()
{
    struct Band {
        double mhz;
        double element; // a usual tube there
    };
    const std::array<Band, 8> bands = {{{1.85, 0.050}, {3.6, 0.050}, {7.1, 0.040}, {14.2, 0.025}, {28.5, 0.019},
        {50.1, 0.012}, {144.3, 0.008}, {432.1, 0.005}}};
    // Element/rod and spacing in rods: rods thicker than the element,
    // either side of the 1.5 at which the cage starts, and down to a
    // twentieth of the element.
    const std::array<std::pair<double, double>, 9> shapes
        = {{{0.75, 2.5}, {1, 4}, {1.33, 4}, {1.45, 6}, {1.55, 6}, {2, 6}, {4, 8}, {10, 12}, {20, 15}}};
    std::vector<Geometry> all;
    for (const Band& band : bands) {
        for (const auto& [ratio, spacing] : shapes) {
            const double rod = band.element / ratio;
            all.push_back({band.mhz, band.element, rod, spacing * rod, false});
        }
    }
    for (const double spacing : {2.0, 4.0, 6.0}) {
        for (const double rod : {0.125, 0.25, 0.375, 0.5, 0.625}) {
            all.push_back({28.5, 0.5 * kInch, rod * kInch, spacing * kInch, true});
        }
    }
    return all;
}

void printGrid()
{
    std::printf("| element | MHz | D mm | d mm | s mm | D/d | s/d | element model | rod mm | C pF | AGT | halved rod | "
                "halved C | other model: rod mm, C pF | runs | CPU s | |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    int passed = 0;
    int answered = 0;
    int total = 0;
    double worstCpu = 0;
    for (const Geometry& g : grid()) {
        ++total;
        const double before = childCpuSeconds();
        const auto outcome = nec::refine(jobFor(g, true));
        const double cpu = childCpuSeconds() - before;
        worstCpu = std::max(worstCpu, cpu);
        std::printf("| %s | %.2f | %.2f | %.2f | %.1f | %.2f | %.1f | ", g.beam ? "beam" : "dipole", g.freqMhz,
            g.element * 1e3, g.rod * 1e3, g.spacing * 1e3, g.element / g.rod, g.spacing / g.rod);
        if (const auto* failure = std::get_if<nec::NecFailure>(&outcome)) {
            std::printf("| | | | | | | | %.2f | %s |\n", cpu, failure->message.c_str());
            continue;
        }
        const auto& r = std::get<nec::Refined>(outcome);
        ++answered;
        passed += r.doubtful ? 0 : 1;
        std::string other; // near a change of the element's model, the other's answer
        if (r.otherModel) {
            other = nec::modelName(r.otherModel->cageWires) + ": ";
            if (r.otherModel->rodLength > 0) {
                std::array<char, 64> figures{};
                std::snprintf(figures.data(), figures.size(), "%.1f, %.2f", r.otherModel->rodLength * 1e3,
                    r.otherModel->capacitancePf);
                other += figures.data();
            } else {
                other += "no match";
            }
        }
        std::printf("%s | %.1f | %.2f | %.3f | %+.1f %% | %+.1f %% | %s | %d | %.2f | %s |\n",
            g.beam ? "the deck's" : (r.cage ? "cage of " + std::to_string(r.cageWires) : "one wire").c_str(),
            r.rodLength * 1e3, r.capacitancePf, r.averageGain.value_or(0), r.rodChange * 100, r.capacitanceChange * 100,
            other.c_str(), r.runs, cpu, r.doubtful ? ("doubtful: " + r.doubt).c_str() : "passes");
    }
    std::printf("\n%d geometries: %d answered, %d pass both checks; the most CPU for one: %.2f s\n", total, answered,
        passed, worstCpu);
}

void printCurves()
{
    for (const double spacing : {2.0, 4.0, 6.0}) {
        std::printf("\nspacing %.0f in: rod diameter in, rod in, capacitor pF\n", spacing);
        double largestRodStep = 0;
        double largestCapStep = 0;
        double lastRod = 0;
        double lastCap = 0;
        for (int step = 0; step <= 98; ++step) { // 0.1 to 0.7 in, 2 % apart
            const double d = 0.1 * std::pow(1.02, step);
            const Geometry g{28.5, 0.5 * kInch, d * kInch, spacing * kInch, true};
            const auto outcome = nec::refine(jobFor(g, false));
            if (const auto* failure = std::get_if<nec::NecFailure>(&outcome)) {
                std::printf("%.4f failed: %s\n", d, failure->message.c_str());
                lastRod = 0;
                continue;
            }
            const auto& r = std::get<nec::Refined>(outcome);
            std::printf("%.4f %.3f %.2f\n", d, r.rodLength / kInch, r.capacitancePf);
            if (lastRod > 0) {
                largestRodStep = std::max(largestRodStep, std::abs(r.rodLength / lastRod - 1));
                largestCapStep = std::max(largestCapStep, std::abs(r.capacitancePf / lastCap - 1));
            }
            lastRod = r.rodLength;
            lastCap = r.capacitancePf;
        }
        std::printf("largest step between neighbours 2 %% apart: rod %.1f %%, capacitor %.1f %%\n",
            largestRodStep * 100, largestCapStep * 100);
    }
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc > 1 && std::string(argv[1]) == "--curves") {
            printCurves();
        } else {
            printGrid();
        }
    } catch (const std::exception& e) {
        static_cast<void>(std::fprintf(stderr, "vostrel-nec-grid: %s\n", e.what()));
        return 1;
    }
    return 0;
}
