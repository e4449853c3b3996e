// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <variant>

namespace vostrel::nec {
namespace {

using Complex = std::complex<double>;

// The probes' size, a share of the line impedance: large enough that the
// runs' rounding does not blur the map, small enough to stay near the build.
constexpr double kProbe = 0.2;

struct Point2 {
    Complex load; // dZ
    Complex zin; // NEC's Zin with it
};

// The dZ the bilinear map through the three points takes to `target`: the
// cross ratio (z, z1; z2, z3) = (z - z1)(z2 - z3) / ((z - z3)(z2 - z1)) is
// the same on both sides of a bilinear map.
Complex solveBilinear(const std::array<Point2, 3>& p, Complex target)
{
    const Complex w = target;
    const Complex& w1 = p[0].zin;
    const Complex& w2 = p[1].zin;
    const Complex& w3 = p[2].zin;
    if (w == w3) {
        return p[2].load;
    }
    const Complex k = ((w - w1) * (w2 - w3)) / ((w - w3) * (w2 - w1));
    const Complex a = p[1].load - p[2].load;
    const Complex b = p[1].load - p[0].load;
    return (p[0].load * a - k * b * p[2].load) / (a - k * b);
}

bool finite(Complex z)
{
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

std::string ohms(Complex z)
{
    std::array<char, 64> text{};
    (void)std::snprintf(
        text.data(), text.size(), "%.1f %s j%.1f ohms", z.real(), z.imag() < 0 ? "-" : "+", std::abs(z.imag()));
    return text.data();
}

} // namespace

Outcome<BuildRead> calibrateBuild(const NecJob& job, double rodLength, double capacitancePf, Complex reading)
{
    NecJob probe = job;
    BuildRead result;
    const double zc = job.design.lineImpedance;
    const auto zinWith = [&](Complex load) -> Outcome<Complex> {
        probe.elementCorrection = load;
        ++result.runs;
        return zinOfBuild(probe, rodLength, capacitancePf);
    };
    const auto close = [&](Complex zin) { return std::abs(zin - reading) <= kReadingTolerance * zc; };

    std::array<Point2, 3> points{};
    const std::array<Complex, 3> probes{Complex(0, 0), Complex(kProbe * zc, 0), Complex(0, kProbe * zc)};
    for (std::size_t i = 0; i < probes.size(); ++i) {
        auto zin = zinWith(probes[i]);
        if (const auto* failure = std::get_if<NecFailure>(&zin)) {
            return *failure;
        }
        points[i] = {probes[i], std::get<Complex>(zin)};
        if (i == 0) {
            result.modelZin = points[0].zin;
            if (close(result.modelZin)) {
                result.calibratedZin = result.modelZin;
                return result;
            }
        }
    }
    while (result.runs < kCalibrationRuns) {
        const Complex load = solveBilinear(points, reading);
        if (!finite(load)) {
            break;
        }
        auto zin = zinWith(load);
        if (const auto* failure = std::get_if<NecFailure>(&zin)) {
            return *failure;
        }
        const Complex z = std::get<Complex>(zin);
        if (close(z)) {
            result.correction = load;
            result.calibratedZin = z;
            return result;
        }
        points = {points[1], points[2], Point2{load, z}};
    }
    return NecFailure{NecFailure::Kind::NoMatch,
        "no change of the element in NEC-2's model gives the reading of " + ohms(reading)
            + " with the match as built (the model gives " + ohms(result.modelZin)
            + "): check the reading, the rod's length and the capacitor as built, and the frequency",
        {}};
}

Outcome<NextCut> nextCut(const NecJob& job, double rodLength, double capacitancePf, Complex reading)
{
    auto read = calibrateBuild(job, rodLength, capacitancePf, reading);
    if (const auto* failure = std::get_if<NecFailure>(&read)) {
        return *failure;
    }
    NextCut result;
    result.read = std::get<BuildRead>(read);
    NecJob calibrated = job;
    calibrated.elementCorrection = result.read.correction;
    calibrated.checks = false;
    auto next = refine(calibrated);
    if (const auto* failure = std::get_if<NecFailure>(&next)) {
        return *failure;
    }
    result.next = std::get<Refined>(std::move(next));
    result.runs = result.read.runs + result.next.runs;
    return result;
}

} // namespace vostrel::nec
