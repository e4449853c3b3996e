// SPDX-License-Identifier: GPL-3.0-or-later
// The closed form against NEC-2 on free-space tubular dipoles from 7 to
// 432 MHz, element/rod ratios 1 to 4: prints the markdown tables of
// docs/nec-validation.md. Takes a minute or so (about 10 nec2c runs a row).
#include "physics.h"
#include "refine.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace vostrel;

namespace {

struct Row {
    double freq;
    double element; // mm
    double rod; // mm
    double spacing; // mm
};

const Row kRows[] = {
    {7.1, 50, 12.7, 300},
    {7.1, 38, 19, 250},
    {10.1, 32, 16, 200},
    {14.2, 25, 12.7, 150},
    {14.2, 38, 12.7, 150},
    {14.2, 19, 19, 150},
    {18.1, 25, 16, 120},
    {21.2, 25, 8, 100},
    {24.9, 22, 11, 90},
    {28.5, 25, 12.7, 80},
    {28.5, 19, 19, 80},
    {50.1, 16, 8, 60},
    {50.1, 20, 5, 50},
    {144.3, 12, 12, 38},
    {144.3, 12, 6, 30},
    {432.1, 6, 4, 12},
};

nec::NecJob jobFor(const Row& row)
{
    nec::NecJob job;
    job.design.freqMhz = row.freq;
    job.design.geometry = {row.element / 1e3, row.rod / 1e3, row.spacing / 1e3};
    job.design.lineImpedance = 50;
    job.element = nec::DipoleElement{0.47 * physics::wavelengthMetres(row.freq)};
    return job;
}

// The SWR of a closed-form design built as printed, in NEC; -1 when it
// cannot be built (no match, or the rod runs off the element).
double builtSwr(const nec::NecJob& job, const design::Design& d)
{
    const double length = std::get<nec::DipoleElement>(job.element).length;
    const design::Geometry& g = job.design.geometry;
    const nec::Match match{
        g.elementDiameter, g.rodDiameter, g.spacing, d.rodLength, d.capacitorShorted ? 0 : d.capacitancePf};
    auto deck
        = nec::dipoleMatchDeck(length, match, {job.design.freqMhz, 1}, nec::Controls{{job.design.freqMhz}, false});
    if (!std::holds_alternative<std::string>(deck)) {
        return -1;
    }
    auto solved = nec::run(std::get<std::string>(deck), job.run);
    if (!std::holds_alternative<nec::Solution>(solved)) {
        return -1;
    }
    return physics::swr(std::get<nec::Solution>(solved).points.front().impedance, 50);
}

struct Variant {
    const char* name;
    design::StepUp stepUp;
    design::Model model;
};

} // namespace

int main(int argc, char** argv)
{
    const Variant variants[] = {
        {"textbook k = 1", design::StepUp::Whole, design::Model::Textbook},
        {"corrected k = 1", design::StepUp::Whole, design::Model::Corrected},
        {"textbook k = 1/2", design::StepUp::Half, design::Model::Textbook},
        {"corrected k = 1/2", design::StepUp::Half, design::Model::Corrected},
    };
    // --beam: only the beam's table.
    const bool beamOnly = argc > 1 && std::string(argv[1]) == "--beam";
    if (!beamOnly) {
        std::printf(
            "| MHz | D mm | d mm | s mm | NEC feed ohms | NEC rod mm | NEC C pF | SWR | AGT | halved rod | halved C | "
            "runs |\n|---|---|---|---|---|---|---|---|---|---|---|---|\n");
        struct Errors {
            std::vector<double> rod, cap, swr;
        };
        std::vector<Errors> errors(std::size(variants));
        std::vector<std::string> variantLines(std::size(variants));
        for (const Row& row : kRows) {
            const nec::NecJob job = jobFor(row);
            const auto outcome = nec::refine(job);
            if (const auto* failure = std::get_if<nec::NecFailure>(&outcome)) {
                std::printf("| %.1f | %.1f | %.1f | %.0f | failed: %s |\n", row.freq, row.element, row.rod, row.spacing,
                    failure->message.c_str());
                continue;
            }
            const auto& r = std::get<nec::Refined>(outcome);
            std::printf("| %.1f | %.1f | %.1f | %.0f | %.1f %+.1fj | %.1f | %.1f | %.3f | %.3f | %+.1f %% | %+.1f %% | "
                        "%d |%s\n",
                row.freq, row.element, row.rod, row.spacing, r.feedImpedance.real(), r.feedImpedance.imag(),
                r.rodLength * 1e3, r.capacitancePf, r.swr, r.averageGain.value_or(0), r.rodChange * 100,
                r.capacitanceChange * 100, r.runs, r.doubtful ? (" doubtful: " + r.doubt).c_str() : "");
            for (std::size_t v = 0; v < std::size(variants); ++v) {
                design::DesignInput in = job.design;
                in.feedImpedance = r.feedImpedance;
                in.stepUp = variants[v].stepUp;
                in.model = variants[v].model;
                const auto closed = design::design(in);
                char line[256];
                if (const auto* d = std::get_if<design::Design>(&closed)) {
                    const double rodError = (d->rodLength / r.rodLength - 1) * 100;
                    const double capError
                        = d->capacitorShorted ? INFINITY : (d->capacitancePf / r.capacitancePf - 1) * 100;
                    const double swr = builtSwr(job, *d);
                    errors[v].rod.push_back(rodError);
                    errors[v].cap.push_back(capError);
                    if (swr > 0) {
                        errors[v].swr.push_back(swr);
                    }
                    std::snprintf(line, sizeof line,
                        "| %.1f | %.1f/%.1f | %.1f | %.1f | %+.1f %% | %.1f | %+.1f %% | %.2f |\n", row.freq,
                        row.element, row.rod, d->rodLength * 1e3, r.rodLength * 1e3, rodError, d->capacitancePf,
                        capError, swr);
                } else {
                    std::snprintf(line, sizeof line, "| %.1f | %.1f/%.1f | no match | %.1f | | | | |\n", row.freq,
                        row.element, row.rod, r.rodLength * 1e3);
                }
                variantLines[v] += line;
            }
        }
        for (std::size_t v = 0; v < std::size(variants); ++v) {
            std::printf(
                "\n%s:\n\n| MHz | D/d mm | closed rod mm | NEC rod mm | rod error | closed C pF | C error | SWR as "
                "built |\n|---|---|---|---|---|---|---|---|\n%s",
                variants[v].name, variantLines[v].c_str());
            auto summary = [](const std::vector<double>& x, const char* what) {
                if (x.empty()) {
                    return;
                }
                double lo = x.front(), hi = x.front(), sum = 0;
                for (double value : x) {
                    lo = std::min(lo, value);
                    hi = std::max(hi, value);
                    sum += value;
                }
                std::printf("%s: mean %+.1f, range %+.1f to %+.1f\n", what, sum / double(x.size()), lo, hi);
            };
            std::printf("\n");
            summary(errors[v].rod, "rod error %");
            summary(errors[v].cap, "capacitor error %");
            summary(errors[v].swr, "SWR as built");
        }

        // Why the cage: the same matches with the element a single tube wire.
        std::printf("\n| MHz | D/d mm | AGT cage | AGT radius step |\n|---|---|---|---|\n");
        for (const Row& row : kRows) {
            if (row.element <= row.rod) {
                continue;
            }
            const nec::NecJob job = jobFor(row);
            const double length = std::get<nec::DipoleElement>(job.element).length;
            const design::Geometry& g = job.design.geometry;
            const nec::Match match{
                g.elementDiameter, g.rodDiameter, g.spacing, 0.6 * 0.25 * physics::wavelengthMetres(row.freq) * 0.2, 0};
            double agt[2] = {0, 0};
            for (int step = 0; step < 2; ++step) {
                auto deck
                    = nec::dipoleMatchDeck(length, match, {row.freq, 1, step == 0}, nec::Controls{{row.freq}, true});
                if (const auto* text = std::get_if<std::string>(&deck)) {
                    auto solved = nec::run(*text, job.run);
                    if (const auto* s = std::get_if<nec::Solution>(&solved); s != nullptr && !s->averageGains.empty()) {
                        agt[step] = s->averageGains.front();
                    }
                }
            }
            std::printf("| %.1f | %.1f/%.1f | %.3f | %.3f |\n", row.freq, row.element, row.rod, agt[0], agt[1]);
        }
    }

    // A two-element 10 m beam's driven element, about 10 + j8 ohms.
    const char* beam = "CM two-element 10 m beam\nCE\n"
                       "GW 1 21 0 -2.5125 0 0 2.5125 0 0.0125\n"
                       "GW 2 21 -0.4 -2.7 0 -0.4 2.7 0 0.0125\n"
                       "GE 0\nEX 0 1 11 0 1 0\nFR 0 1 0 0 28.5 0\nXQ\nEN\n";
    const auto deck = nec::readDeck(beam, "beam.nec");
    std::printf(
        "\n| beam, D/d/s mm | NEC feed ohms | closed form k = 1 | k = 1/2 | NEC rod mm | NEC C pF | SWR | AGT | "
        "halved rod | halved C | runs |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& row : {Row{28.5, 25, 20, 100}, Row{28.5, 25, 12.7, 100}, Row{28.5, 25, 12.7, 60}}) {
        nec::NecJob job = jobFor(row);
        job.element = std::get<nec::UserDeck>(deck);
        const auto outcome = nec::refine(job);
        if (const auto* failure = std::get_if<nec::NecFailure>(&outcome)) {
            std::printf(
                "| %.0f/%.1f/%.0f | failed: %s |\n", row.element, row.rod, row.spacing, failure->message.c_str());
            continue;
        }
        const auto& r = std::get<nec::Refined>(outcome);
        std::string closed[2];
        for (int k = 0; k < 2; ++k) {
            design::DesignInput in = job.design;
            in.feedImpedance = r.feedImpedance;
            in.stepUp = k == 0 ? design::StepUp::Whole : design::StepUp::Half;
            const auto d = design::design(in);
            char text[64];
            if (const auto* ok = std::get_if<design::Design>(&d)) {
                std::snprintf(text, sizeof text, "%.0f mm, %.0f pF", ok->rodLength * 1e3, ok->capacitancePf);
            } else {
                std::snprintf(text, sizeof text, "no match");
            }
            closed[k] = text;
        }
        std::printf(
            "| %.0f/%.1f/%.0f | %.1f %+.1fj | %s | %s | %.1f | %.1f | %.3f | %.3f | %+.1f %% | %+.1f %% | %d |%s\n",
            row.element, row.rod, row.spacing, r.feedImpedance.real(), r.feedImpedance.imag(), closed[0].c_str(),
            closed[1].c_str(), r.rodLength * 1e3, r.capacitancePf, r.swr, r.averageGain.value_or(0), r.rodChange * 100,
            r.capacitanceChange * 100, r.runs, r.doubtful ? (" doubtful: " + r.doubt).c_str() : "");
    }
}
