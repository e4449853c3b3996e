// SPDX-License-Identifier: GPL-3.0-or-later
#include "refine.h"

#include "cards.h"
#include "interpolation.h"
#include "physics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <future>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

namespace vostrel::nec {
namespace {

constexpr double kStep = 1.3; // the bracketing step of the rod length search
constexpr double kResistanceTolerance = 0.005; // of the line impedance
constexpr double kLengthTolerance = 0.001; // of the rod length
constexpr double kMostReflection = 0.999; // an interpolated sweep's |reflection coefficient|, an SWR of 1999

NecFailure badInput(std::string message)
{
    return NecFailure{NecFailure::Kind::BadInput, std::move(message), {}};
}

// `value` with `decimals` decimals, a sign when `signed_`.
std::string fixed(double value, int decimals, bool signed_ = false)
{
    std::array<char, 64> buffer{};
    const auto written
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    const std::string text(buffer.data(), written.ptr);
    return signed_ && !(value < 0) && !std::isnan(value) ? "+" + text : text;
}

std::string metres(double value)
{
    return fixed(value, 3) + " m";
}

std::string ohms(double value)
{
    return fixed(value, 1) + " ohms";
}

// One job's runs: builds the decks, counts the runs.
// The job's match with this rod and capacitor, where the job puts them.
Match matchOf(const NecJob& job, double rodLength, double capacitancePf)
{
    const design::Geometry& g = job.design.geometry;
    return Match{g.elementDiameter, g.rodDiameter, g.spacing, rodLength, capacitancePf, job.rodSide, job.capacitorAt,
        job.tube, job.elementCorrection};
}

class Session {
public:
    explicit Session(const NecJob& job)
        : m_job(job)
    { }

    int runs() const { return m_runs; }

    double rodLimit() const { return nec::rodLimit(m_job).length; }

    Match match(double rodLength, double capacitancePf) const { return matchOf(m_job, rodLength, capacitancePf); }

    Outcome<std::string> deck(const Match* match, int scale, const Controls& controls, bool lossless) const
    {
        Match plain; // the average gain test's: without the element's correction
        if (lossless && match != nullptr) {
            plain = *match;
            plain.elementCorrection = {};
            match = &plain;
        }
        Segmentation cut{m_job.design.freqMhz, scale};
        cut.forcedCageWires = m_job.forcedCageWires;
        if (const auto* dipole = std::get_if<DipoleElement>(&m_job.element)) {
            if (match == nullptr) {
                return bareDipoleDeck(
                    dipole->length, m_job.design.geometry.elementDiameter, cut, controls, m_job.elementCorrection);
            }
            return dipoleMatchDeck(dipole->length, *match, cut, controls);
        }
        return userDeck(std::get<UserDeck>(m_job.element),
            UserDeckRun{match, controls, false, lossless, m_job.elementCorrection}, cut);
    }

    Outcome<Solution> solve(const Match* match, int scale, const Controls& controls, bool lossless = false)
    {
        if (m_job.run.cancel != nullptr && m_job.run.cancel->load()) {
            return NecFailure{NecFailure::Kind::Cancelled, "the NEC run was cancelled", {}};
        }
        auto text = deck(match, scale, controls, lossless);
        if (const auto* failure = std::get_if<NecFailure>(&text)) {
            return *failure;
        }
        // A deck just run is not run again (the confirming run at the rod's
        // end is the last Newton step's deck).
        if (m_last && m_last->first == std::get<std::string>(text)) {
            return m_last->second;
        }
        ++m_runs;
        auto solved = nec::run(std::get<std::string>(text), m_job.run);
        if (const auto* solution = std::get_if<Solution>(&solved)) {
            m_last.emplace(std::move(std::get<std::string>(text)), *solution);
        }
        return solved;
    }

    // Zin at the design frequency; with `gain` the run gives the average gain too.
    Outcome<std::complex<double>> impedance(const Match* match, int scale, bool gain = false)
    {
        auto solved = solve(match, scale, Controls{{m_job.design.freqMhz}, gain});
        if (const auto* failure = std::get_if<NecFailure>(&solved)) {
            return *failure;
        }
        return std::get<Solution>(solved).points.front().impedance;
    }

private:
    const NecJob& m_job;
    int m_runs = 0;
    std::optional<std::pair<std::string, Solution>> m_last;
};

using Sample = RodSample;

// The crossing: both parts of Zin interpolated linearly between the two
// samples either side of it, to where Re Zin is `zc` exactly. The search
// stops once a sample is within the tolerance of `zc`; taking that sample
// as it is would leave its Re Zin up to the tolerance off, and Im Zin with
// it (on the 28.5 MHz beam of docs/nec-validation.md the refined rod then
// stepped by up to 0.17 % between rods 2 % apart in diameter; 0.06 % at the
// crossing). `best` only when the bracket does not straddle `zc`.
Sample closest(const Sample& best, const Sample& low, const Sample& high, double zc)
{
    const double below = zc - low.z.real();
    const double above = high.z.real() - zc;
    if (!(below >= 0 && above >= 0 && below + above > 0)) {
        return best;
    }
    const double t = below / (below + above);
    return Sample{low.length + t * (high.length - low.length), low.z + t * (high.z - low.z)};
}

// Where the search for the capacitor at the rod's end stands: the rod and
// the capacitor's reactance, and Zin's change with each (Broyden's estimate,
// the rod's per `perMetre` metres).
struct Placement {
    double length = 0;
    double reactance = 0;
    double perMetre = 1;
    std::complex<double> byLength;
    std::complex<double> byReactance;
};

struct Found {
    double rodLength = 0;
    double capacitancePf = 0;
    int runs = 0;
    std::optional<Placement> placement; // with the capacitor at the rod's end
};

// Zin with the capacitor shorted at one rod length; a negative input
// resistance, which no passive antenna has, makes NEC's model invalid.
Outcome<Sample> sampleAt(Session& session, const NecJob& job, double length, int scale)
{
    const Match m = session.match(length, 0);
    auto z = session.impedance(&m, scale);
    if (const auto* failure = std::get_if<NecFailure>(&z)) {
        return *failure;
    }
    const auto impedance = std::get<std::complex<double>>(z);
    if (impedance.real() < 0) {
        const design::Geometry& g = job.design.geometry;
        const double gap = g.spacing - (g.rodDiameter + g.elementDiameter) / 2;
        return NecFailure{NecFailure::Kind::Invalid,
            "NEC-2 gives a negative input resistance (" + ohms(impedance.real()) + " with a rod of " + metres(length)
                + "), so its model of this match is invalid: the rod is " + fixed(1000 * gap, 1)
                + " mm from the element's surface; space it further (at least two rod diameters of gap) or check the "
                  "deck's segments",
            {}};
    }
    return Sample{length, impedance};
}

// Where the parabola in Re Zin through three samples (the length as a
// quadratic in Re Zin: inverse quadratic interpolation, as in Brent's
// method) reaches `zc`; nothing when two of them share a resistance.
//   {21.986 m, 42.772}, {22.554, 47.320}, {26.531, 100.58}; 50 -> 22.872 m
std::optional<double> inverseQuadratic(const Sample& a, const Sample& b, const Sample& c, double zc)
{
    const double fa = a.z.real() - zc;
    const double fb = b.z.real() - zc;
    const double fc = c.z.real() - zc;
    if (!(fa != fb && fb != fc && fa != fc)) {
        return std::nullopt;
    }
    return a.length * fb * fc / ((fa - fb) * (fa - fc)) + b.length * fa * fc / ((fb - fa) * (fb - fc))
        + c.length * fa * fb / ((fc - fa) * (fc - fb));
}

// The crossing of Re Zin through `zc` between `low` (below it) and `high`
// (above), from the nearest sample so far, in the manner of Brent's method
// (R. P. Brent, Algorithms for Minimization without Derivatives, 1973,
// ch. 4): the parabola through the bracket's ends and the end the last
// step replaced, where it falls inside the bracket, else regula falsi,
// Illinois variant (halving the weight of an end kept twice); and the
// bracket halved whenever a step is not under half the one before the
// last, so that a jump in Re Zin (a model whose segments change with the
// rod) is closed in on within a few runs of bisection. Re Zin curving in
// the rod length left regula falsi alone creeping up on the crossing from
// one side: on a 160 m cage of six 5 mm wires it took 4 runs from 21.99 /
// 26.53 m to 22.86 m, the parabola 2.
template <typename SampleAt>
Outcome<Sample> narrowDown(SampleAt& sample, Sample low, Sample high, const Sample& nearest, double zc)
{
    // The nearest sample may lie inside the bracket (a walk up from a
    // quarter of the start passes the start): it closes that side, so that
    // the crossing is read between the samples nearest it (across the whole
    // walk's step a convex Re Zin put it 1.4 % short on a 20 m dipole).
    // Outside it (a start within the tolerance beyond a hump, the walk from
    // a quarter bracketing the shorter crossing) it says nothing of this
    // crossing: the nearer end starts the narrowing.
    Sample best = std::abs(low.z.real() - zc) < std::abs(high.z.real() - zc) ? low : high;
    if (nearest.length > std::min(low.length, high.length) && nearest.length < std::max(low.length, high.length)) {
        (nearest.z.real() < zc ? low : high) = nearest;
        best = nearest;
    }
    double weightLow = 1;
    double weightHigh = 1;
    int side = 0;
    std::optional<Sample> replaced;
    double last = best.length; // the rod the latest step went from, then to
    std::array<double, 2> steps{0, 0}; // the last two steps' lengths, the latest first
    // `low` may be the longer rod (a halved run's Re Zin falling in it).
    auto width = [&] { return std::abs(high.length - low.length); };
    for (int step = 0; std::abs(best.z.real() - zc) > kResistanceTolerance * zc
         && width() > kLengthTolerance * std::min(low.length, high.length);
         ++step) {
        const double fLow = (low.z.real() - zc) * weightLow;
        const double fHigh = (high.z.real() - zc) * weightHigh;
        double length = low.length + (high.length - low.length) * fLow / (fLow - fHigh);
        if (replaced) {
            const auto parabola = inverseQuadratic(low, high, *replaced, zc);
            if (parabola && *parabola > std::min(low.length, high.length)
                && *parabola < std::max(low.length, high.length)) {
                length = *parabola;
            }
        }
        if (!std::isfinite(length) || (step >= 2 && !(std::abs(length - last) < steps[1] / 2))) {
            length = (low.length + high.length) / 2;
        }
        steps = {std::abs(length - last), steps[0]};
        last = length;
        auto next = sample(length);
        if (const auto* failure = std::get_if<NecFailure>(&next)) {
            return *failure;
        }
        const Sample s = std::get<Sample>(next);
        if (std::abs(s.z.real() - zc) < std::abs(best.z.real() - zc)) {
            best = s;
        }
        if (s.z.real() < zc) {
            replaced = low;
            low = s;
            weightLow = 1;
            weightHigh = side == -1 ? weightHigh / 2 : 1;
            side = -1;
        } else {
            replaced = high;
            high = s;
            weightHigh = 1;
            weightLow = side == 1 ? weightLow / 2 : 1;
            side = 1;
        }
    }
    return closest(best, low, high, zc);
}

// The rod length where Re Zin (capacitor shorted) is the line impedance, and
// the capacitor cancelling Im Zin there. Re Zin against the rod length is
// not monotonic: for a beam's 10 + j8 ohm element (rod 12.7 mm at 100 mm,
// 28.5 MHz) it rises from 1 ohm at 0.05 m through 50 ohms near 0.37 m to
// 164 ohms near 0.85 m, and falls back to 69 ohms at 2.1 to 2.4 m. The
// builder wants the shortest rod, the crossing nearest below a start whose
// Re Zin is too high. A start whose Re Zin is too low may lie beyond such a
// hump, where walking up finds no crossing (on that beam, a 100 ohm line and
// a start past 1.5 m), so then `shortestRod` walks up from a quarter of it
// instead, unless the start lies in the first half of the rod's range and
// one step up brackets a crossing. That takes the first crossing for the
// shortest: a hump, a dip below the line impedance and a rise again all
// below the start, in the first half of the range, would hide a shorter
// rod (not met on the grid's 87 geometries; on the beam the dip lies past
// four fifths of the limit).
Outcome<Found> search(Session& session, const NecJob& job, double start, int scale, bool shortestRod,
    std::vector<Sample>* samples = nullptr)
{
    const double zc = job.design.lineImpedance;
    const double limit = session.rodLimit();
    const double shortest = limit / 50;
    const int before = session.runs();
    auto sample = [&](double length) {
        auto s = sampleAt(session, job, length, scale);
        if (const auto* made = std::get_if<Sample>(&s); made != nullptr && samples != nullptr) {
            samples->push_back(*made);
        }
        return s;
    };
    Sample nearest{0, {}};
    auto keepNearest = [&](const Sample& s) {
        if (nearest.length == 0 || std::abs(s.z.real() - zc) < std::abs(nearest.z.real() - zc)) {
            nearest = s;
        }
    };
    auto noMatch = [&](std::string why) {
        NecFailure failure{NecFailure::Kind::NoMatch, std::move(why), {}};
        failure.reachedResistance = nearest.z.real();
        failure.reachedRodLength = nearest.length;
        return failure;
    };
    // The capacitor cancelling Im Zin at the crossing found.
    auto foundAt = [&](const Sample& best) -> Outcome<Found> {
        if (!(best.z.imag() > 0)) {
            nearest = best;
            return noMatch("at the rod length where NEC's Re Zin matches, its reactance is "
                + std::to_string(best.z.imag()) + " ohms: no series capacitor cancels that");
        }
        const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
        return Found{best.length, 1e12 / (omega * best.z.imag()), session.runs() - before, std::nullopt};
    };

    // Bracket: step from the start towards the crossing.
    auto first = sample(std::clamp(start, shortest, limit));
    if (const auto* failure = std::get_if<NecFailure>(&first)) {
        return *failure;
    }
    Sample low = std::get<Sample>(first);
    keepNearest(low);
    // Too low in the first half of the rod's range: one step up first. Re Zin
    // rising through the line impedance there is the first crossing (a hump
    // and the dip after it, which a rise could also follow, take more of the
    // range: on the beam above the dip lies past four fifths of the limit),
    // and the walk from a quarter (on a 160 m dipole from 4.0 to 19.2 m in
    // seven runs) is not needed.
    bool bracketed = false;
    Sample probe = low;
    if (shortestRod && low.z.real() < zc && low.length <= limit / 2) {
        auto next = sample(std::min(low.length * kStep, limit));
        if (const auto* failure = std::get_if<NecFailure>(&next)) {
            return *failure;
        }
        probe = std::get<Sample>(next);
        keepNearest(probe);
        bracketed = probe.z.real() >= zc;
    }
    if (bracketed) {
        auto narrowed = narrowDown(sample, low, probe, nearest, zc);
        if (const auto* failure = std::get_if<NecFailure>(&narrowed)) {
            return *failure;
        }
        return foundAt(std::get<Sample>(narrowed));
    }
    bool quartered = false;
    if (shortestRod && low.z.real() < zc && low.length / 4 > shortest) {
        auto lower = sample(low.length / 4);
        if (const auto* failure = std::get_if<NecFailure>(&lower)) {
            return *failure;
        }
        low = std::get<Sample>(lower);
        keepNearest(low);
        quartered = true;
    }
    // Walk towards the crossing: up while Re Zin is too low, down while too high.
    const bool up = low.z.real() < zc;
    Sample behind = low;
    Sample after = low;
    if (!quartered && probe.length > low.length) {
        after = probe; // the step up was taken already: walk on from it
    }
    while ((after.z.real() < zc) == up) {
        if (up ? after.length >= limit : after.length <= shortest) {
            NecFailure failure = noMatch(up ? "NEC finds no match up to the rod's limit of " + metres(limit) + " ("
                        + rodLimit(job).why + "): Re Zin reaches at most " + ohms(nearest.z.real()) + ", at a rod of "
                        + metres(nearest.length)
                                            : "NEC's Re Zin is above the line impedance even with the shortest rod ("
                        + ohms(nearest.z.real()) + " at " + metres(nearest.length) + ")");
            failure.reachedLimit = up ? rodLimit(job).why : "";
            return failure;
        }
        behind = after;
        auto next = sample(up ? std::min(after.length * kStep, limit) : std::max(after.length / kStep, shortest));
        if (const auto* failure = std::get_if<NecFailure>(&next)) {
            return *failure;
        }
        after = std::get<Sample>(next);
        keepNearest(after);
    }
    low = up ? behind : after;
    Sample high = up ? after : behind;
    auto narrowed = narrowDown(sample, low, high, nearest, zc);
    if (const auto* failure = std::get_if<NecFailure>(&narrowed)) {
        return *failure;
    }
    return foundAt(std::get<Sample>(narrowed));
}

// Solves j1 a + j2 b = -r for real a and b (the two parts of a complex
// equation); false when j1 and j2 are parallel.
bool newtonStep(std::complex<double> j1, std::complex<double> j2, std::complex<double> r, double& a, double& b)
{
    const double det = j1.real() * j2.imag() - j2.real() * j1.imag();
    if (!(std::abs(det) > 0)) {
        return false;
    }
    a = (-r.real() * j2.imag() + r.imag() * j2.real()) / det;
    b = (-j1.real() * r.imag() + j1.imag() * r.real()) / det;
    return true;
}

// The halved run's rod and capacitor, in as few of its runs (each several
// times dearer than a refining run) as will do. Its first run is at the
// refined rod; the refining search's own slope of Zin in the rod length,
// between its samples either side, gives the step to the halved model's
// crossing. A step under kLinearStep of the rod, whose capacitor moves by
// under kLinearCapacitorChange, is taken as it is: the halved model's slope
// differs from the refining one's, which on the grid put the movement up to
// 0.3 points of the rod's and 0.4 of the capacitor's off what the runs
// give, well clear of the doubtful limits (3 and 5 %) that far below them,
// and it saves a halved run (on a 160 m cage of six 1.5 s of nec2c's CPU).
// A longer step is run, and the two runs narrowed down like the search's
// bracket. Without samples either side, or when the two runs do not
// bracket the crossing, the search itself from the refined rod.
constexpr double kLinearStep = 0.015;
constexpr double kLinearCapacitorChange = 0.03;

Outcome<Found> halvedFound(
    Session& session, const NecJob& job, double rodLength, double capacitancePf, const std::vector<Sample>& samples)
{
    const double zc = job.design.lineImpedance;
    const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
    const int before = session.runs();
    const auto above = std::upper_bound(
        samples.begin(), samples.end(), rodLength, [](double length, const Sample& s) { return length < s.length; });
    if (above == samples.begin() || above == samples.end()) {
        return search(session, job, rodLength, 2, false);
    }
    const Sample& lowSample = *(above - 1);
    const Sample& highSample = *above;
    const std::complex<double> slope = (highSample.z - lowSample.z) / (highSample.length - lowSample.length);
    if (!(std::abs(slope.real()) > 0) || !std::isfinite(slope.real()) || !std::isfinite(slope.imag())) {
        return search(session, job, rodLength, 2, false);
    }
    auto sample = [&](double length) { return sampleAt(session, job, length, 2); };
    auto first = sample(rodLength);
    if (const auto* failure = std::get_if<NecFailure>(&first)) {
        return *failure;
    }
    const Sample at = std::get<Sample>(first);
    const double step = (zc - at.z.real()) / slope.real();
    Sample crossing{rodLength + step, at.z + slope * step};
    const double linearCapacitance = 1e12 / (omega * crossing.z.imag());
    const bool straight = std::abs(step) <= kLinearStep * rodLength && crossing.z.imag() > 0
        && std::abs(linearCapacitance / capacitancePf - 1) <= kLinearCapacitorChange;
    if (!straight) {
        // Secant steps from the halved runs themselves until two of them
        // bracket the crossing (or one is within the tolerance).
        Sample previous = at;
        double length = rodLength + step;
        for (int steps = 0;; ++steps) {
            auto run = sample(length);
            if (const auto* failure = std::get_if<NecFailure>(&run)) {
                return *failure;
            }
            const Sample next = std::get<Sample>(run);
            const Sample nearer = std::abs(previous.z.real() - zc) < std::abs(next.z.real() - zc) ? previous : next;
            if ((previous.z.real() - zc) * (next.z.real() - zc) <= 0
                || std::abs(nearer.z.real() - zc) <= kResistanceTolerance * zc) {
                const bool rising = previous.z.real() < next.z.real();
                auto narrowed = narrowDown(sample, rising ? previous : next, rising ? next : previous, nearer, zc);
                if (const auto* failure = std::get_if<NecFailure>(&narrowed)) {
                    return *failure;
                }
                crossing = std::get<Sample>(narrowed);
                break;
            }
            const double rise = next.z.real() - previous.z.real();
            if (steps == 2 || !(std::abs(rise) > 0)) {
                return search(session, job, next.length, 2, false);
            }
            length = next.length + (zc - next.z.real()) * (next.length - previous.length) / rise;
            if (!(length > 0)) {
                return search(session, job, next.length, 2, false);
            }
            previous = next;
        }
    }
    if (!(crossing.z.imag() > 0) || !(crossing.length > 0)) {
        return search(session, job, rodLength, 2, false);
    }
    return Found{crossing.length, 1e12 / (omega * crossing.z.imag()), session.runs() - before, std::nullopt};
}

// Newton's step from `p` for a Zin `off` the line impedance, into `p`; `a`
// and `b` the step in the Jacobian's coordinates (the rod's scaled to
// ohms). It keeps a capacitor and a rod: at most it halves the reactance or
// the rod. False, `p` as it was, when the Jacobian gives no step.
bool stepped(Placement& p, std::complex<double> off, double& a, double& b)
{
    if (!newtonStep(p.byLength, p.byReactance, off, a, b)) {
        return false;
    }
    a = std::max(a, -0.5 * p.length * p.perMetre);
    b = std::max(b, -0.5 * p.reactance);
    p.length += a / p.perMetre;
    p.reactance += b;
    return true;
}

// With the capacitor at the rod's end it is not simply in series with the
// source: NEC's Zin holding it is not the shorted Zin less its reactance.
// From the search's answer, rod length and reactance move together by
// Newton steps on Zin - Zc: the Jacobian starts from the shorted Zin's
// slope in the rod length (from the search's samples, else one more run)
// and -j in the reactance, and takes Broyden's update after each step
// (J += (dZ - J dx) dx^T / dx^T dx, in coordinates scaled to ohms). placedFrom() takes those steps from `from`
// (for the halved run, the refined answer and the Jacobian it ended with).
// With `gain` each run asks for the average gain too (some 3 % more of
// nec2c's time on a 160 m cage), so that the confirming run with the
// checks is the last step's, not one more.
Outcome<Placement> placedFrom(Session& session, const NecJob& job, Placement from, int scale, bool gain = false)
{
    const double zc = job.design.lineImpedance;
    const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
    auto zinAt = [&](double l, double x) -> Outcome<std::complex<double>> {
        const Match m = session.match(l, 1e12 / (omega * x));
        return session.impedance(&m, scale, gain);
    };
    Placement p = from;
    auto zin = zinAt(p.length, p.reactance);
    for (int step = 0;; ++step) {
        if (const auto* failure = std::get_if<NecFailure>(&zin)) {
            return *failure;
        }
        const std::complex<double> z = std::get<std::complex<double>>(zin);
        const std::complex<double> off = z - zc;
        if (std::abs(off) <= kResistanceTolerance * zc) {
            return p;
        }
        double a = 0;
        double b = 0;
        if (step == kCapacitorSteps || !stepped(p, off, a, b)) {
            NecFailure failure{NecFailure::Kind::NoMatch,
                "with the capacitor at the rod's end NEC's Zin stays at " + ohms(z.real())
                    + (z.imag() < 0 ? " - j" : " + j") + ohms(std::abs(z.imag())) + " (rod " + metres(p.length) + ")",
                {}};
            failure.reachedResistance = z.real();
            failure.reachedRodLength = p.length;
            return failure;
        }
        zin = zinAt(p.length, p.reactance);
        if (const auto* next = std::get_if<std::complex<double>>(&zin)) {
            const std::complex<double> predicted = p.byLength * a + p.byReactance * b;
            const std::complex<double> correction = ((*next - z) - predicted) / (a * a + b * b);
            p.byLength += correction * a;
            p.byReactance += correction * b;
        }
    }
}

// The shorted Zin's slope in the rod length at `length`: the secant of the
// search's sample nearest it and the next nearest at least kSlopeBase from
// that one (closer, a jump in Re Zin where the rod's segments change would
// weigh the more), when both lie within kSlopeSpan of it (the narrowing's
// last bracket may be far wider than the step into the tolerance that
// ended it: on a 50.1 MHz dipole 0.489 to 0.546 m, with 0.483 and 0.489 m
// beside the answer), else nothing.
constexpr double kSlopeSpan = 0.1;
constexpr double kSlopeBase = 0.005;

std::optional<std::complex<double>> sampledSlope(std::vector<Sample> samples, double length)
{
    std::sort(samples.begin(), samples.end(), [length](const Sample& a, const Sample& b) {
        return std::abs(a.length - length) < std::abs(b.length - length);
    });
    if (samples.empty()) {
        return std::nullopt;
    }
    const Sample& nearest = samples.front();
    const auto other = std::find_if(samples.begin() + 1, samples.end(),
        [&](const Sample& s) { return std::abs(s.length - nearest.length) >= kSlopeBase * length; });
    if (other == samples.end() || std::abs(other->length - length) > kSlopeSpan * length) {
        return std::nullopt;
    }
    return (other->z - nearest.z) / (other->length - nearest.length);
}

// The search's answer moved to the capacitor's place (beside the feed
// point: `found` as it is), with the Jacobian it ended with. The shorted
// Zin's slope in the rod length comes from the search's own `samples`
// where two of them lie close to the answer; else from one more run, 1 %
// longer. `gain` as for placedFrom().
Outcome<Found> placedCapacitor(Session& session, const NecJob& job, Found found, int scale,
    const std::vector<Sample>& samples = {}, bool gain = false)
{
    if (job.capacitorAt == CapacitorAt::Feed) {
        return found;
    }
    const double zc = job.design.lineImpedance;
    const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
    const int before = session.runs();
    Placement start;
    start.length = found.rodLength;
    start.reactance = 1e12 / (omega * found.capacitancePf);
    std::complex<double> slope;
    if (const auto sampled = sampledSlope(samples, start.length)) {
        slope = *sampled;
    } else {
        const double nudge = 0.01 * start.length;
        auto further = sampleAt(session, job, start.length + nudge, scale);
        if (const auto* failure = std::get_if<NecFailure>(&further)) {
            return *failure;
        }
        // The shorted Zin at the found length is Zc + jX, within the search's tolerance.
        slope = (std::get<Sample>(further).z - std::complex<double>(zc, start.reactance)) / nudge;
    }
    start.perMetre = std::max(std::abs(slope), 1e-9); // ohms per metre: the length's scale
    start.byLength = slope / start.perMetre;
    start.byReactance = {0, -1};
    auto placed = placedFrom(session, job, start, scale, gain);
    if (const auto* failure = std::get_if<NecFailure>(&placed)) {
        return *failure;
    }
    const Placement& p = std::get<Placement>(placed);
    found.rodLength = p.length;
    found.capacitancePf = 1e12 / (omega * p.reactance);
    found.runs += session.runs() - before;
    found.placement = p;
    return found;
}

// The halved run's rod and capacitor at the rod's end, from the refined
// answer and the Jacobian its steps ended with: one halved run there, and
// Newton's step from its Zin (taken even when that Zin is within the
// search's tolerance: the step is what the halved model moves the answer
// by). A step under kLinearStep of the rod and kLinearCapacitorChange of
// the capacitor is taken as it is, as halvedFound() takes its own; a longer
// one is walked on in halved runs, each step at most halving the rod or the
// reactance as stepped() does. When those steps find no match (or leave
// the rod's range), a search of its own (on the 20 m dipole that took 8
// halved runs where this takes 1).
Outcome<Found> halvedPlaced(Session& session, const NecJob& job, const Found& refined)
{
    const int before = session.runs();
    const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
    auto foundOf = [&](const Placement& p) {
        return Found{p.length, 1e12 / (omega * p.reactance), session.runs() - before, p};
    };
    // A model's failure sends the halved run to its own search; the
    // runner's (nec2c missing, crashed, timed out) ends it.
    auto searchAgain = [](const NecFailure& failure) {
        using Kind = NecFailure::Kind;
        return failure.kind == Kind::NoMatch || failure.kind == Kind::Invalid || failure.kind == Kind::BadInput;
    };
    if (refined.placement) {
        Placement p = *refined.placement;
        const Match m = session.match(p.length, 1e12 / (omega * p.reactance));
        auto zin = session.impedance(&m, 2);
        if (const auto* failure = std::get_if<NecFailure>(&zin)) {
            return *failure;
        }
        double a = 0;
        double b = 0;
        const std::complex<double> off = std::get<std::complex<double>>(zin) - job.design.lineImpedance;
        if (stepped(p, off, a, b)) {
            const double rodStep = p.length - refined.placement->length;
            const double capacitorChange = refined.placement->reactance / p.reactance - 1;
            if (std::abs(rodStep) <= kLinearStep * refined.rodLength
                && std::abs(capacitorChange) <= kLinearCapacitorChange) {
                return foundOf(p);
            }
            if (p.length <= session.rodLimit()) {
                auto placed = placedFrom(session, job, p, 2);
                if (const auto* walked = std::get_if<Placement>(&placed)) {
                    return foundOf(*walked);
                }
                if (!searchAgain(std::get<NecFailure>(placed))) {
                    return std::get<NecFailure>(placed);
                }
            }
        }
    }
    auto searched = search(session, job, refined.rodLength, 2, false);
    if (const auto* found = std::get_if<Found>(&searched)) {
        auto placed = placedCapacitor(session, job, *found, 2);
        if (auto* moved = std::get_if<Found>(&placed)) {
            moved->runs = session.runs() - before;
        }
        return placed;
    }
    return searched;
}

// The closed form for the job's own step-up convention and model, from
// NEC's feed impedance of the bare element: result.closedForm, or
// result.closedFormMessage saying why there is none.
void closedFormOf(const NecJob& job, Refined& result)
{
    result.closedForm.reset();
    result.closedFormMessage.clear();
    result.closedFormSwr.reset();
    result.closedFormZin = {};
    design::DesignInput input = job.design;
    input.feedImpedance = result.feedImpedance;
    const auto closed = design::design(input);
    if (const auto* problem = std::get_if<design::Problem>(&closed)) {
        result.closedFormMessage = problem->message;
    } else if (const RodLimit limit = rodLimit(job); std::get<design::Design>(closed).rodLength > limit.length) {
        result.closedFormMessage = "its rod of " + metres(std::get<design::Design>(closed).rodLength)
            + " is longer than the rod's limit of " + metres(limit.length) + " (" + limit.why + ")";
    } else {
        result.closedForm = std::get<design::Design>(closed);
    }
}

// Where the rod length search starts: the closed form's rod in the whole
// step-up convention (the textbook and corrected models share it), so that
// the refined match, its samples and its runs are the same whichever
// convention and model the job shows its closed form in; the shortest rod
// when that finds no match.
double searchStart(const NecJob& job, std::complex<double> feedImpedance)
{
    NecJob canonical = job;
    canonical.design.stepUp = design::StepUp::Whole;
    canonical.design.model = design::Model::Corrected;
    Refined start;
    start.feedImpedance = feedImpedance;
    closedFormOf(canonical, start);
    return start.closedForm ? start.closedForm->rodLength : rodLimit(job).length / 25;
}

// The closed form as built. Beside the feed point the capacitor, a series
// load on the source segment, adds exactly its reactance in series: a
// sample of the search at its rod (the first, in the whole convention)
// needs no run of its own. At the rod's end it does not, and another
// convention's rod was not sampled: a run holding it.
std::optional<NecFailure> closedFormAsBuilt(Session& session, const NecJob& job, Refined& result)
{
    if (!result.closedForm) {
        return std::nullopt;
    }
    const design::Design& closed = *result.closedForm;
    const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
    const double reactance = closed.capacitorShorted ? 0 : 1e12 / (omega * closed.capacitancePf);
    const auto sampled = std::find_if(
        result.samples.begin(), result.samples.end(), [&](const Sample& s) { return s.length == closed.rodLength; });
    if (sampled != result.samples.end() && (job.capacitorAt == CapacitorAt::Feed || closed.capacitorShorted)) {
        result.closedFormZin = sampled->z - std::complex<double>(0, reactance);
    } else {
        const Match built = session.match(closed.rodLength, closed.capacitorShorted ? 0 : closed.capacitancePf);
        auto zin = session.impedance(&built, 1);
        if (const auto* failure = std::get_if<NecFailure>(&zin)) {
            return *failure;
        }
        result.closedFormZin = std::get<std::complex<double>>(zin);
    }
    result.closedFormSwr = physics::swr(result.closedFormZin, job.design.lineImpedance);
    return std::nullopt;
}

// The rod and capacitor found leave the line mismatched (a load or a
// coupling the search's linear steps do not follow): no match.
NecFailure mismatched(const Refined& result)
{
    NecFailure failure{NecFailure::Kind::NoMatch,
        "NEC-2's best match, a rod of " + metres(result.rodLength) + " and " + fixed(result.capacitancePf, 2)
            + " pF, leaves an SWR of " + fixed(result.swr, 2) + " (Zin " + fixed(result.zin.real(), 2) + " "
            + (result.zin.imag() < 0 ? "- j" : "+ j") + fixed(std::abs(result.zin.imag()), 2) + " ohms), above "
            + fixed(kMatchedSwr, 1),
        {}};
    failure.reachedResistance = result.zin.real();
    failure.reachedRodLength = result.rodLength;
    return failure;
}

// The average gain test of the matched antenna: from the confirming run
// when it gave one (free space, no loads), else from a run without losses.
Outcome<double> averageGainOf(
    Session& session, const Match& matched, const Solution& confirmed, bool lossless, double freqMhz)
{
    if (!confirmed.averageGains.empty()) {
        return confirmed.averageGains.front();
    }
    if (lossless) {
        return NecFailure{NecFailure::Kind::Garbage, "nec2c's output has no average gain", {}};
    }
    auto agt = session.solve(&matched, 1, Controls{{freqMhz}, true}, true);
    if (const auto* failure = std::get_if<NecFailure>(&agt)) {
        return *failure;
    }
    const Solution& s = std::get<Solution>(agt);
    if (s.averageGains.empty()) {
        return NecFailure{NecFailure::Kind::Garbage, "nec2c's output has no average gain", {}};
    }
    return s.averageGains.front();
}

// An antenna in free space without loads: its confirming run can give the
// average gain test too (nothing else differs then).
bool withoutLosses(const NecJob& job)
{
    if (job.elementCorrection != std::complex<double>()) {
        return false; // a correction's resistance is a loss (or a gain)
    }
    const auto* deck = std::get_if<UserDeck>(&job.element);
    return deck == nullptr
        || (!deck->hasGround && std::none_of(deck->cards.begin(), deck->cards.end(), [](const Card& c) {
               return cardReading(c.name) == CardReading::Load;
           }));
}

} // namespace

std::optional<std::string> elementLengthRefusal(double length, double freqMhz)
{
    const double wavelength = physics::wavelengthMetres(freqMhz);
    const double share = length / wavelength;
    if (share >= kShortestElement && share <= kLongestElement) {
        return std::nullopt;
    }
    // Figures as they are, in the fewest digits: "14.2", "0.0005".
    auto shortest = [](double value, int digits) {
        std::array<char, 32> buffer{};
        const auto written
            = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, digits);
        return std::string(buffer.data(), written.ptr);
    };
    return "the element is " + metres(length) + " long, " + shortest(share, 3) + " wavelengths at "
        + shortest(freqMhz, 9) + " MHz: an element a gamma match feeds is 0.05 to 3 wavelengths ("
        + metres(kShortestElement * wavelength) + " to " + metres(kLongestElement * wavelength)
        + ") long; check the length and its unit";
}

bool feedDiffersFromNec(std::complex<double> given, std::complex<double> nec)
{
    return std::abs(given - nec) > kFeedDifference * std::abs(nec);
}

std::string doubtOf(double averageGain, double rodChange, double capacitanceChange)
{
    std::string doubt;
    auto add = [&doubt](const std::string& text) { doubt += (doubt.empty() ? "" : "; ") + text; };
    if (!(averageGain >= kAverageGainLow && averageGain <= kAverageGainHigh)) {
        add("the average gain is " + fixed(averageGain, 3) + ", not about 1");
    }
    if (!(std::abs(rodChange) <= kRodTolerance)) {
        add("the rod moves " + fixed(rodChange * 100, 1, true) + " % with halved segments");
    }
    if (!(std::abs(capacitanceChange) <= kCapacitanceTolerance)) {
        add("the capacitor moves " + fixed(capacitanceChange * 100, 1, true) + " % with halved segments");
    }
    return doubt;
}

// Why a job cannot be refined at all: inputs out of range, an element no
// gamma match feeds, a rod side that cannot be.
std::optional<NecFailure> refusedJob(const NecJob& job)
{
    const design::Geometry& g = job.design.geometry;
    if (!(job.design.freqMhz > 0) || !(g.elementDiameter > 0) || !(g.rodDiameter > 0) || !(g.spacing > 0)
        || !(job.design.lineImpedance > 0)) {
        return badInput("the frequency, diameters, spacing and line impedance must be above 0");
    }
    if (const auto* dipole = std::get_if<DipoleElement>(&job.element); dipole != nullptr && !(dipole->length > 0)) {
        return badInput("the element length must be above 0");
    }
    const double elementLength = std::holds_alternative<DipoleElement>(job.element)
        ? std::get<DipoleElement>(job.element).length
        : std::get<UserDeck>(job.element).elementLength;
    if (auto why = elementLengthRefusal(elementLength, job.design.freqMhz)) {
        return badInput(*why);
    }
    if (const auto side = rodSideOf(job); std::holds_alternative<NecFailure>(side)) {
        return std::get<NecFailure>(side);
    }
    return std::nullopt;
}

namespace {

// The element's model that a rod kModelReach thinner or thicker would get,
// where it differs from the matched one's (`here`); -1 where neither does.
int modelNearby(const NecJob& job, const Match& matched, int& here)
{
    const Segmentation cut{job.design.freqMhz, 1};
    here = elementModel(matched, cut);
    for (const double factor : {1 - kModelReach, 1 + kModelReach}) {
        Match nearby = matched;
        nearby.rodDiameter *= factor;
        if (const int there = elementModel(nearby, cut); there != here) {
            return there;
        }
    }
    return -1;
}

// The refinement in the job's model of the element (see refine()).
Outcome<Refined> refinedInModel(const NecJob& job)
{
    if (auto refused = refusedJob(job)) {
        return *refused;
    }
    Session session(job);
    Refined result;
    const auto invalid = [&](const std::string& why) {
        return NecFailure{NecFailure::Kind::Invalid,
            "NEC-2's model of this match is invalid: " + why
                + "; change the geometry NEC-2 cannot model closely (a rod nearer the element's diameter, a wider "
                  "spacing) or the deck's segments",
            {}};
    };

    auto bare = session.impedance(nullptr, 1);
    if (const auto* failure = std::get_if<NecFailure>(&bare)) {
        return *failure;
    }
    result.feedImpedance = std::get<std::complex<double>>(bare);

    closedFormOf(job, result);
    const double start = searchStart(job, result.feedImpedance);

    auto found = search(session, job, start, 1, true, &result.samples);
    if (const auto* failure = std::get_if<NecFailure>(&found)) {
        return *failure;
    }
    std::sort(result.samples.begin(), result.samples.end(),
        [](const Sample& a, const Sample& b) { return a.length < b.length; });
    if (auto failure = closedFormAsBuilt(session, job, result)) {
        return *failure;
    }
    // The confirming run below; in free space without loads it also gives
    // the average gain (nothing else differs then). At the rod's end the
    // last Newton step's run is that run.
    const bool lossless = withoutLosses(job);
    const bool confirmingGain = job.checks && lossless;
    found = placedCapacitor(session, job, std::get<Found>(found), 1, result.samples, confirmingGain);
    if (const auto* failure = std::get_if<NecFailure>(&found)) {
        return *failure;
    }
    const Found& f = std::get<Found>(found);
    result.rodLength = f.rodLength;
    result.capacitancePf = f.capacitancePf;
    result.capacitorAt = job.capacitorAt;
    if (job.capacitorAt == CapacitorAt::Tube && result.capacitancePf > 0) {
        auto section = tubeSection(job.tube, job.design.geometry.rodDiameter, result.capacitancePf, job.design.freqMhz);
        if (const auto* failure = std::get_if<NecFailure>(&section)) {
            return *failure;
        }
        result.tube = std::get<TubeSection>(section);
    }
    result.searchRuns = f.runs;

    const Match matched = session.match(result.rodLength, result.capacitancePf);
    auto confirmed = session.solve(&matched, 1, Controls{{job.design.freqMhz}, confirmingGain});
    if (const auto* failure = std::get_if<NecFailure>(&confirmed)) {
        return *failure;
    }
    const Solution& solution = std::get<Solution>(confirmed);
    result.zin = solution.points.front().impedance;
    result.swr = physics::swr(result.zin, job.design.lineImpedance);
    if (!(result.swr <= kMatchedSwr)) {
        return mismatched(result);
    }
    if (job.capacitorAt != CapacitorAt::Feed) {
        const double omega = physics::kTwoPi * job.design.freqMhz * 1e6;
        const std::complex<double> reactance(0, 1e12 / (omega * result.capacitancePf));
        const std::complex<double> shorted
            = zinNear(result.samples, result.rodLength, std::numeric_limits<double>::infinity(), job.design.freqMhz);
        result.capacitorGain = (shorted - result.zin) / reactance;
    }
    if (job.onMatched) {
        job.onMatched(result.rodLength, result.capacitancePf);
    }

    if (job.checks) {
        auto gain = averageGainOf(session, matched, solution, lossless, job.design.freqMhz);
        if (const auto* failure = std::get_if<NecFailure>(&gain)) {
            return *failure;
        }
        result.averageGain = std::get<double>(gain);
        if (!(*result.averageGain >= kInvalidGainLow && *result.averageGain <= kInvalidGainHigh)) {
            return invalid("its average gain test gives " + fixed(*result.averageGain, 3) + ", far from 1");
        }
        auto halved = job.capacitorAt == CapacitorAt::Feed
            ? halvedFound(session, job, result.rodLength, result.capacitancePf, result.samples)
            : halvedPlaced(session, job, f);
        if (const auto* failure = std::get_if<NecFailure>(&halved)) {
            if (failure->kind != NecFailure::Kind::NoMatch && failure->kind != NecFailure::Kind::Invalid) {
                return *failure;
            }
            return invalid("with every segment halved " + failure->message);
        }
        const Found& h = std::get<Found>(halved);
        result.halvedRodLength = h.rodLength;
        result.halvedCapacitancePf = h.capacitancePf;
        result.rodChange = (h.rodLength - result.rodLength) / result.rodLength;
        result.capacitanceChange = (h.capacitancePf - result.capacitancePf) / result.capacitancePf;
        if (!(std::abs(result.rodChange) <= kInvalidRodChange)) {
            return invalid("the rod moves " + fixed(result.rodChange * 100, 1, true) + " % with halved segments");
        }
        const std::string doubt = doubtOf(*result.averageGain, result.rodChange, result.capacitanceChange);
        if (!doubt.empty()) {
            result.doubtful = true;
            result.doubt += (result.doubt.empty() ? "" : "; ") + doubt;
        }
    }
    Segmentation cut{job.design.freqMhz, 1};
    cut.forcedCageWires = job.forcedCageWires;
    if (const auto* dipole = std::get_if<DipoleElement>(&job.element)) {
        auto wires = matchWires(
            matched, {-dipole->length / 2, 0, 0}, {dipole->length / 2, 0, 0}, {0, 0, 0}, {0, 0, 1}, cut, 1, 2);
        if (const auto* made = std::get_if<MatchWires>(&wires)) {
            result.cage = made->cage;
            result.cageWires = made->cageWires;
        }
    }
    result.runs = session.runs();
    return result;
}

} // namespace

Outcome<Refined> refine(const NecJob& job)
{
    auto outcome = refinedInModel(job);
    auto* result = std::get_if<Refined>(&outcome);
    if (result == nullptr || !job.checks || job.forcedCageWires >= 0) {
        return outcome;
    }
    // Near a change of the element's model, the other model's match too.
    int here = 0;
    const int other = modelNearby(job, matchOf(job, result->rodLength, result->capacitancePf), here);
    if (other < 0) {
        return outcome;
    }
    NecJob there = job;
    there.checks = false;
    there.forcedCageWires = other;
    there.onMatched = {};
    const auto answer = refinedInModel(there);
    if (const auto* failure = std::get_if<NecFailure>(&answer)) {
        if (failure->kind == NecFailure::Kind::Cancelled) {
            return *failure;
        }
        result->otherModel = Refined::OtherModel{here, other, 0, 0};
    } else {
        const auto& r = std::get<Refined>(answer);
        result->otherModel = Refined::OtherModel{here, other, r.rodLength, r.capacitancePf};
        result->runs += r.runs;
    }
    return outcome;
}

std::complex<double> zinNear(const std::vector<RodSample>& samples, double rodLength, double capacitancePf,
    double freqMhz, std::complex<double> capacitorGain)
{
    if (samples.empty()) {
        return {};
    }
    std::complex<double> shorted = samples.front().z;
    if (samples.size() > 1) {
        // The pair either side, or the end pair nearest beyond the samples.
        auto above = std::upper_bound(samples.begin(), samples.end(), rodLength,
            [](double length, const RodSample& s) { return length < s.length; });
        above = std::clamp(above, samples.begin() + 1, samples.end() - 1);
        const RodSample& low = *(above - 1);
        const RodSample& high = *above;
        const double span = high.length - low.length;
        const double t = span > 0 ? (rodLength - low.length) / span : 0;
        shorted = low.z + t * (high.z - low.z);
    }
    if (!std::isfinite(capacitancePf)) {
        return shorted;
    }
    const double omega = physics::kTwoPi * freqMhz * 1e6;
    return shorted - capacitorGain * std::complex<double>(0, 1e12 / (omega * capacitancePf));
}

RodLimit rodLimit(const NecJob& job)
{
    const double quarter = physics::wavelengthMetres(job.design.freqMhz) / 4;
    double ahead = 0;
    std::string what;
    if (const auto* dipole = std::get_if<DipoleElement>(&job.element)) {
        ahead = dipole->length / 2;
        what = "the element's half length, ";
    } else {
        const auto& deck = std::get<UserDeck>(job.element);
        const ElementSection section = elementSection(deck);
        ahead = section.ahead();
        what = "the element's straight part of its diameter at the feed, beyond the feed point, ";
        // A load on the element ahead of the feed point (a loading coil, a
        // trap) ends the part the rod may lie beside.
        const Point along = scaled(sub(section.to, section.feed), 1 / section.ahead());
        for (const Card& card : deck.cards) {
            const auto loaded = loadedSegments(card);
            if (!loaded) {
                continue;
            }
            for (int s = loaded->first; s <= loaded->last; ++s) {
                const auto at = segmentOfTag(deck, loaded->tag, s);
                if (!at
                    || std::find(deck.elementWires.begin(), deck.elementWires.end(), at->first)
                        == deck.elementWires.end()) {
                    continue;
                }
                const Wire& w = deck.wires[static_cast<std::size_t>(at->first)];
                const Point segment = scaled(sub(w.to, w.from), 1.0 / w.segments);
                // The load's segment begins this far ahead of the feed point.
                const double begins = dot(sub(add(w.from, scaled(segment, at->second - 1)), section.feed), along);
                const double ends = dot(sub(add(w.from, scaled(segment, at->second)), section.feed), along);
                const double nearer = std::min(begins, ends);
                if (nearer > 0 && nearer < ahead) {
                    ahead = nearer;
                    what = "the element's load on tag " + std::to_string(loaded->tag) + " segment " + std::to_string(s)
                        + " (a loading coil or trap), ";
                }
            }
        }
    }
    if (0.97 * ahead < quarter) {
        return {0.97 * ahead, what + metres(ahead) + ", less room for the strap"};
    }
    return {quarter, "a quarter wave"};
}

Outcome<Point> rodSideOf(const NecJob& job)
{
    if (const auto* deck = std::get_if<UserDeck>(&job.element)) {
        return job.rodSide ? sideAcross(drivenAxis(*deck), *job.rodSide) : Outcome<Point>(rodSide(*deck));
    }
    return job.rodSide ? sideAcross({1, 0, 0}, *job.rodSide) : Outcome<Point>(Point{0, 0, 1});
}

Outcome<Refined> withClosedForm(const NecJob& job, Refined refined)
{
    Session session(job);
    closedFormOf(job, refined);
    if (auto failure = closedFormAsBuilt(session, job, refined)) {
        return *failure;
    }
    refined.runs += session.runs();
    return refined;
}

Outcome<std::complex<double>> zinOfBuild(const NecJob& job, double rodLength, double capacitancePf)
{
    Session session(job);
    const Match m = session.match(rodLength, capacitancePf);
    return session.impedance(&m, 1);
}

Outcome<std::string> writeMatchedDeck(const NecJob& job, double rodLength, double capacitancePf)
{
    const Match m = matchOf(job, rodLength, capacitancePf);
    const Segmentation cut{job.design.freqMhz, 1};
    if (const auto* dipole = std::get_if<DipoleElement>(&job.element)) {
        return dipoleMatchDeck(dipole->length, m, cut, Controls{{job.design.freqMhz}, false});
    }
    return userDeck(std::get<UserDeck>(job.element), UserDeckRun{&m, {}, true, false}, cut);
}

namespace {

// The evenly spaced frequencies of a sweep, both ends included.
std::vector<double> evenly(double fromMhz, double toMhz, int count)
{
    std::vector<double> freqs;
    freqs.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        freqs.push_back(fromMhz + (toMhz - fromMhz) * i / (count - 1));
    }
    return freqs;
}

// Zin of the match at `freqs` (evenly spaced): from two nec2c runs at once,
// each with half of them, when there are four or more (each frequency is a
// whole solution in nec2c: the halves take the two cores), else one.
Outcome<std::vector<Solution::Point>> solvedAt(const NecJob& job, const Match& m, std::vector<double> freqs)
{
    const auto runOf = [&job, &m](std::vector<double> part) {
        Session session(job);
        return session.solve(&m, 1, Controls{std::move(part)});
    };
    const std::size_t asked = freqs.size();
    std::vector<Outcome<Solution>> parts;
    if (asked >= 4) {
        std::vector<double> second(freqs.begin() + static_cast<std::ptrdiff_t>((asked + 1) / 2), freqs.end());
        freqs.resize((asked + 1) / 2);
        std::future<Outcome<Solution>> other;
        try {
            other = std::async(std::launch::async, runOf, second);
        } catch (const std::system_error&) {
            // No thread to be had: the second half after the first.
        }
        parts.push_back(runOf(std::move(freqs)));
        parts.push_back(other.valid() ? other.get() : runOf(std::move(second)));
    } else {
        parts.push_back(runOf(std::move(freqs)));
    }
    std::vector<Solution::Point> points;
    for (auto& part : parts) {
        if (const auto* failure = std::get_if<NecFailure>(&part)) {
            return *failure;
        }
        const auto& solved = std::get<Solution>(part).points;
        points.insert(points.end(), solved.begin(), solved.end());
    }
    if (points.size() != asked) {
        return NecFailure{NecFailure::Kind::Garbage,
            "nec2c answered " + std::to_string(points.size()) + " of " + std::to_string(asked) + " frequencies", {}};
    }
    return points;
}

} // namespace

Outcome<std::vector<design::SweepPoint>> sweep(
    const NecJob& job, double rodLength, double capacitancePf, double fromMhz, double toMhz, int count, int fromNec)
{
    if (count < 2 || !(toMhz > fromMhz) || !(fromMhz > 0)) {
        return badInput("a sweep needs at least two frequencies, from a lower to a higher one");
    }
    const int nodes = fromNec <= 0 || fromNec >= count ? count : std::max(fromNec, 2);
    const Match m = matchOf(job, rodLength, capacitancePf);
    auto solved = solvedAt(job, m, evenly(fromMhz, toMhz, nodes));
    if (const auto* failure = std::get_if<NecFailure>(&solved)) {
        return *failure;
    }
    const auto& solution = std::get<std::vector<Solution::Point>>(solved);
    const double z0 = job.design.lineImpedance;
    std::vector<design::SweepPoint> points;
    const std::vector<double> freqs = evenly(fromMhz, toMhz, count);
    if (nodes == count) {
        // x as asked: nec2c prints the frequency to five figures
        for (std::size_t i = 0; i < freqs.size(); ++i) {
            points.push_back({freqs[i], solution[i].impedance, physics::swr(solution[i].impedance, z0)});
        }
        return points;
    }
    // Between NEC-2's frequencies, the reflection coefficient on the line
    // interpolated: bounded and smooth where Zin swings wide (a sharp
    // beam's ends run out to an SWR of hundreds), which Zin and its
    // admittance are not both.
    std::vector<std::complex<double>> gammas;
    gammas.reserve(solution.size());
    for (const auto& p : solution) {
        gammas.push_back((p.impedance - z0) / (p.impedance + z0));
    }
    const double step = (toMhz - fromMhz) / (nodes - 1);
    for (const double f : freqs) {
        std::complex<double> gamma = interpolateEvenly(fromMhz, step, gammas, f);
        if (std::abs(gamma) > kMostReflection) {
            gamma *= kMostReflection / std::abs(gamma); // passive: an overshoot is not past the circle's edge
        }
        const std::complex<double> zin = z0 * (1.0 + gamma) / (1.0 - gamma);
        points.push_back({f, zin, physics::swr(zin, z0)});
    }
    return points;
}

} // namespace vostrel::nec
