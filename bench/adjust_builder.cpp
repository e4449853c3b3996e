// SPDX-License-Identifier: GPL-3.0-or-later
// The builder at the mast, simulated: NEC-2 stands in for the real antenna.
// Each antenna's first match is designed from a deliberately wrong element
// impedance (R 20 % high, X 15 ohms high), as a builder's guess would be;
// its "reading" is nec2c's Zin of that build, at the connector or through
// 20 m of RG-58; `adjust` turns the reading into the next rod and capacitor,
// and the next build is read again. Prints the SWR in NEC after each step,
// as markdown tables: adjusted by the closed form (the real antenna exactly
// NEC's model), and adjusted in NEC-2's model of the match (nec/reading.h)
// where the real antenna's driven element is 3 % longer than the model's,
// so that the model itself is wrong as well as the first guess.
// Takes a few minutes of nec2c runs.
#include "adjust.h"
#include "coax_cable.h"
#include "deck_reader.h"
#include "deck_writer.h"
#include "line_transform.h"
#include "physics.h"
#include "reading.h"
#include "refine.h"
#include "runner.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

using namespace vostrel;

namespace {

struct Antenna {
    const char* name;
    double freqMhz;
    double element, rod, spacing; // metres
    double dipoleLength; // 0: a beam instead
    std::vector<std::pair<double, double>> parasitics; // the beam's, in wavelengths
    double drivenLength = 0; // the beam's driven element, in wavelengths
};

// The real antenna of the second table: the driven element this much longer.
constexpr double kLonger = 1.03;

// A beam in free space: the driven element (tag 1, fed at its centre)
// and a reflector behind it (and directors ahead), lengths in wavelengths.
std::string beamDeck(
    double freqMhz, double element, const std::vector<std::pair<double, double>>& parasitics, double drivenLength)
{
    const double wavelength = physics::wavelengthMetres(freqMhz);
    auto gw = [&](int tag, double x, double length) {
        return "GW " + std::to_string(tag) + " 41 " + std::to_string(x * wavelength) + " "
            + std::to_string(-length * wavelength / 2) + " 0 " + std::to_string(x * wavelength) + " "
            + std::to_string(length * wavelength / 2) + " 0 " + std::to_string(element / 2) + "\n";
    };
    std::string deck = "CM beam\nCE\n" + gw(1, 0, drivenLength);
    int tag = 2;
    for (const auto& [x, length] : parasitics) {
        deck += gw(tag++, x, length);
    }
    return deck + "GE 0\nEX 0 1 21 0 1 0\nFR 0 1 0 0 " + std::to_string(freqMhz) + " 0\nEN\n";
}

nec::NecJob jobOf(const Antenna& a, double longer = 1)
{
    nec::NecJob job;
    job.design.freqMhz = a.freqMhz;
    job.design.geometry = {a.element, a.rod, a.spacing};
    job.design.lineImpedance = 50;
    job.checks = false;
    if (a.dipoleLength > 0) {
        job.element = nec::DipoleElement{a.dipoleLength * longer};
    } else {
        auto read = nec::readDeck(beamDeck(a.freqMhz, a.element, a.parasitics, a.drivenLength * longer), a.name);
        if (const auto* failure = std::get_if<nec::NecFailure>(&read)) {
            std::fprintf(stderr, "%s: %s\n", a.name, failure->message.c_str());
            std::exit(1);
        }
        job.element = std::get<nec::UserDeck>(read);
    }
    return job;
}

// nec2c's Zin of the match as built, at the design frequency.
std::optional<std::complex<double>> necZin(const nec::NecJob& job, double rod, double pf)
{
    const auto deck = nec::writeMatchedDeck(job, rod, std::isinf(pf) ? 0 : pf);
    if (!std::holds_alternative<std::string>(deck)) {
        return std::nullopt;
    }
    const auto solved = nec::run(std::get<std::string>(deck), job.run);
    if (const auto* s = std::get_if<nec::Solution>(&solved); s != nullptr && !s->points.empty()) {
        return s->points.front().impedance;
    }
    return std::nullopt;
}

std::optional<std::complex<double>> bareZin(const nec::NecJob& job)
{
    const nec::Segmentation cut{job.design.freqMhz, 1};
    const nec::Controls controls{{job.design.freqMhz}, false};
    const auto deck = std::holds_alternative<nec::DipoleElement>(job.element)
        ? nec::Outcome<std::string>(nec::bareDipoleDeck(
            std::get<nec::DipoleElement>(job.element).length, job.design.geometry.elementDiameter, cut, controls))
        : nec::userDeck(std::get<nec::UserDeck>(job.element), nec::UserDeckRun{nullptr, controls}, cut);
    const auto solved = nec::run(std::get<std::string>(deck), job.run);
    if (const auto* s = std::get_if<nec::Solution>(&solved); s != nullptr && !s->points.empty()) {
        return s->points.front().impedance;
    }
    return std::nullopt;
}

std::string ohms(std::complex<double> z)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %c j%.1f", z.real(), z.imag() < 0 ? '-' : '+', std::abs(z.imag()));
    return text;
}

} // namespace

int main()
{
    const std::vector<Antenna> antennas{
        {"7.1 MHz dipole", 7.1, 0.050, 0.0127, 0.300, 0.48 * physics::wavelengthMetres(7.1), {}},
        {"14.2 MHz dipole", 14.2, 0.025, 0.0127, 0.150, 0.47 * physics::wavelengthMetres(14.2), {}},
        {"28.5 MHz 2-el beam", 28.5, 0.025, 0.0127, 0.100, 0, {{-0.12, 0.50}}, 0.47},
        {"50.1 MHz 3-el Yagi", 50.1, 0.016, 0.008, 0.060, 0, {{-0.18, 0.495}, {0.15, 0.44}}, 0.465},
        {"144.3 MHz 2-el beam", 144.3, 0.012, 0.006, 0.030, 0, {{-0.08, 0.50}}, 0.465},
        {"432.1 MHz dipole", 432.1, 0.006, 0.004, 0.012, 0.47 * physics::wavelengthMetres(432.1), {}},
    };
    const auto* rg58 = std::get<const coax::Cable*>(coax::findCable("rg58"));
    for (const bool inNec : {false, true}) {
        std::printf(inNec ? "\nAdjusted in NEC-2's model of the match; the real driven element 3 %% longer than the "
                            "model's\n\n"
                          : "Adjusted by the closed form; the real antenna exactly NEC-2's model\n\n");
        std::printf(
            "| Antenna | NEC Za | Guessed Za | Read at | SWR first build | after 1 adjustment | after 2 | after 3 | "
            "nec2c runs per adjustment |\n|---|---|---|---|---|---|---|---|---|\n");
        for (const Antenna& a : antennas) {
            const nec::NecJob model = jobOf(a);
            const nec::NecJob truth = inNec ? jobOf(a, kLonger) : model;
            const auto za = bareZin(model);
            if (!za) {
                std::printf("| %s | nec2c failed | | | | | | |\n", a.name);
                continue;
            }
            const std::complex<double> guess(za->real() * 1.2, za->imag() + 15);
            design::DesignInput in{
                a.freqMhz, guess, model.design.geometry, 50, design::StepUp::Whole, design::Model::Corrected};
            const auto first = design::design(in);
            if (!std::holds_alternative<design::Design>(first)) {
                std::printf(
                    "| %s | %s | %s | no first design | | | | |\n", a.name, ohms(*za).c_str(), ohms(guess).c_str());
                continue;
            }
            for (const bool throughCable : {false, true}) {
                std::optional<coax::Line> cable;
                if (throughCable) {
                    cable = coax::lineOf(*rg58, 20);
                }
                double rod = std::get<design::Design>(first).rodLength;
                double pf = std::get<design::Design>(first).capacitancePf;
                std::string swrs;
                std::string said;
                int runs = 0;
                for (int step = 0; step <= 3; ++step) {
                    const auto zin = necZin(truth, rod, pf);
                    if (!zin) {
                        said = "nec2c failed";
                        break;
                    }
                    swrs += " " + std::to_string(physics::swr(*zin, 50)).substr(0, 5) + " |";
                    if (step == 3) {
                        break;
                    }
                    const std::complex<double> reading = cable ? coax::inputImpedance(*cable, a.freqMhz, *zin) : *zin;
                    adjust::AdjustInput built = adjust::builtFrom(in);
                    if (a.dipoleLength > 0) {
                        built.elementLength = a.dipoleLength;
                    }
                    built.rodLength = rod;
                    built.capacitancePf = pf;
                    built.cable = cable;
                    if (!inNec) {
                        const auto next = adjust::adjust(built, reading);
                        if (const auto* no = std::get_if<adjust::NoAdjustment>(&next)) {
                            said = no->message;
                            break;
                        }
                        rod = std::get<adjust::Adjustment>(next).next.rodLength;
                        pf = std::get<adjust::Adjustment>(next).next.capacitancePf;
                        continue;
                    }
                    const auto atConnector = adjust::readingAtConnector(built, reading);
                    if (const auto* no = std::get_if<adjust::NoAdjustment>(&atConnector)) {
                        said = no->message;
                        break;
                    }
                    const auto next = nec::nextCut(
                        model, rod, std::isinf(pf) ? 0 : pf, std::get<adjust::ConnectorReading>(atConnector).zin);
                    if (const auto* failure = std::get_if<nec::NecFailure>(&next)) {
                        said = failure->message;
                        break;
                    }
                    const nec::NextCut& cut = std::get<nec::NextCut>(next);
                    rod = cut.next.rodLength;
                    pf = cut.next.capacitancePf;
                    runs = std::max(runs, cut.runs);
                }
                std::printf("| %s | %s | %s | %s |%s %s |%s\n", a.name, ohms(*za).c_str(), ohms(guess).c_str(),
                    throughCable ? "20 m RG-58" : "connector", swrs.c_str(),
                    inNec ? ("up to " + std::to_string(runs)).c_str() : "none",
                    said.empty() ? "" : (" " + said).c_str());
            }
        }
    }
    return 0;
}
