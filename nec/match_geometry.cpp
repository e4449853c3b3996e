// SPDX-License-Identifier: GPL-3.0-or-later
#include "match_geometry.h"

#include "coax_capacitor.h"
#include "physics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

namespace vostrel::nec {
namespace {

// Segment lengths, after the NEC-2 user's guide, section II.1 ("Wire
// Modeling"; see cards.h for the guide):
// - no segment longer than a twentieth of a wavelength in a critical
//   region; we use a fortieth on the element, and a quarter of the rod
//   spacing near the match, so that the rod and element, a close two-wire
//   line, are cut into aligned segments several to the spacing;
// - segment length over radius above 2 with the extended thin-wire kernel
//   (EK) for 1 % accuracy (above 8 without it): we keep 4, so that the
//   halved convergence run still keeps 2;
// - segments meeting at a junction of about equal length: the feed
//   connection, rod and strap share the segment length of the element's
//   match region, which grows by doubling only away from the junctions
//   (along the middle of a long rod too, the element beside it cut alike).
constexpr double kWavelengthsPerSegment = 40;
constexpr double kSegmentsPerSpacing = 4;
constexpr double kMinLengthOverRadius = 4;
// The part of a rod side asked for that lies across the element must be
// most of it (the side at least 30 degrees off the element's line): a side
// nearer the element's line would be turned too far to be the one meant.
constexpr double kMostlyAcross = 0.5;

NecFailure badInput(std::string message)
{
    return NecFailure{NecFailure::Kind::BadInput, std::move(message), {}};
}

// A direction in words: "+x" for an axis (with `signed_`; "x" without),
// else its unit vector to three decimals, "(0.707, 0.707, 0)".
std::string directionText(const Point& direction, bool signed_)
{
    const double length = norm(direction);
    const Point unit = length > 0 ? scaled(direction, 1 / length) : direction;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::abs(std::abs(unit[i]) - 1) < 1e-12) {
            const std::string axis(1, static_cast<char>('x' + i));
            return signed_ ? (unit[i] > 0 ? "+" : "-") + axis : axis;
        }
    }
    std::string text = "(";
    for (std::size_t i = 0; i < 3; ++i) {
        std::array<char, 32> buffer{};
        const double rounded = std::round(unit[i] * 1000) / 1000;
        const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded == 0 ? 0 : rounded);
        text += (i > 0 ? ", " : "") + std::string(buffer.data(), written.ptr);
    }
    return text + ")";
}

int segmentsFor(double length, double segment)
{
    return std::max(1, static_cast<int>(std::lround(length / segment)));
}

// Pieces from `from` to `to` (distances along the element, from < to) whose
// segments start at `first` and double, three to a piece, up to `longest`.
struct Piece {
    double from, to;
    int segments;
};
std::vector<Piece> gradedPieces(double from, double to, double first, double longest)
{
    std::vector<Piece> pieces;
    double at = from;
    double segment = first;
    while (to - at > 1e-9) {
        const double remaining = to - at;
        if (2 * segment >= longest || remaining <= 6 * 2 * segment) {
            pieces.push_back({at, to, segmentsFor(remaining, std::min(std::max(segment, remaining / 6), longest))});
            break;
        }
        segment *= 2;
        pieces.push_back({at, at + 3 * segment, 3});
        at += 3 * segment;
    }
    return pieces;
}

double firstSegment(const Match& match, const Segmentation& cut)
{
    const double wavelength = physics::wavelengthMetres(cut.freqMhz);
    const double segment = std::max(std::min(wavelength / kWavelengthsPerSegment, match.spacing / kSegmentsPerSpacing),
        kMinLengthOverRadius * match.rodDiameter / 2);
    return segment / cut.segmentScale;
}

// The rod and the element beside it, cut alike so that their segments stay
// aligned: one spacing at each end in the match region's segments (where the
// current turns into the feed connection and the strap), graded by doubling
// towards the middle and mirrored. Along the middle the two wires carry the
// line's current, which changes over a wavelength, not over the spacing.
// The pieces are those of the model as it is, their segments multiplied by
// the segmentation's scale: the halved run halves every segment.
std::vector<Piece> rodPieces(double rod, double spacing, const Match& match, const Segmentation& cut)
{
    const Segmentation unscaled{cut.freqMhz, 1, cut.cage};
    const double segment = firstSegment(match, unscaled);
    const double longest = std::max(segment, physics::wavelengthMetres(cut.freqMhz) / kWavelengthsPerSegment);
    const double end = std::max(spacing, 4 * segment);
    const auto scaled = [&cut](int segments) { return segments * cut.segmentScale; };
    if (rod <= 2 * end + 12 * segment) {
        return {{0, rod, scaled(segmentsFor(rod, segment))}};
    }
    std::vector<Piece> half{{0, end, scaled(segmentsFor(end, segment))}};
    for (const Piece& piece : gradedPieces(end, rod / 2, segment, longest)) {
        half.push_back({piece.from, piece.to, scaled(piece.segments)});
    }
    std::vector<Piece> pieces = half;
    for (std::size_t i = half.size(); i-- > 0;) { // mirrored, from the middle out
        pieces.push_back({rod - half[i].to, rod - half[i].from, half[i].segments});
    }
    return pieces;
}

// The element's wires' offsets from its axis: one wire on the axis, or the
// cage (see matchWires()), which `result` then records.
std::vector<Point> cageOffsets(
    const Match& match, const Segmentation& cut, const Point& side, const Point& along, MatchWires& result)
{
    const double rodRadius = match.rodDiameter / 2;
    const double elementRadius = match.elementDiameter / 2;
    const Point p2 = cross(along, side);
    const auto cageOf = [&](int n, double cageRadius) {
        std::vector<Point> offsets;
        for (int k = 0; k < n; ++k) {
            const double angle = physics::kTwoPi * k / n;
            offsets.push_back(
                add(scaled(side, cageRadius * std::cos(angle)), scaled(p2, cageRadius * std::sin(angle))));
        }
        result.cage = true;
        result.cageWires = n;
        result.cageRadius = cageRadius;
        return offsets;
    };
    const auto radiusOf = [&](int n) { return std::pow(std::pow(elementRadius, n) / (n * rodRadius), 1.0 / (n - 1)); };
    const auto apartOf = [](int n, double cageRadius) {
        return n == 2 ? 2 * cageRadius : 2 * cageRadius * std::sin(std::numbers::pi / n);
    };
    if (cut.forcedCageWires >= 0) {
        const int n = cut.forcedCageWires;
        if (n >= 2 && cut.cage && elementRadius > rodRadius * 1.0001) {
            // Closer than the geometry would pick, so long as no wire
            // touches another or the rod.
            const double cageRadius = radiusOf(n);
            if (apartOf(n, cageRadius) >= 2.05 * rodRadius && match.spacing - cageRadius >= 2.05 * rodRadius) {
                return cageOf(n, cageRadius);
            }
        }
        return {Point{0, 0, 0}};
    }
    for (const double apart : {2.5, 2.2}) {
        for (int n = 6; n >= 2 && cut.cage && elementRadius > rodRadius * 1.0001; --n) {
            const double cageRadius = radiusOf(n);
            if (apartOf(n, cageRadius) >= apart * rodRadius && match.spacing - cageRadius >= 2.5 * rodRadius) {
                return cageOf(n, cageRadius);
            }
        }
    }
    return {Point{0, 0, 0}};
}

} // namespace

int elementModel(const Match& match, const Segmentation& cut)
{
    MatchWires made;
    cageOffsets(match, cut, {0, 0, 1}, {1, 0, 0}, made);
    return made.cage ? made.cageWires : 0;
}

Outcome<MatchWires> matchWires(const Match& match, const Point& elementFrom, const Point& elementTo, const Point& feed,
    const Point& side, const Segmentation& cut, int elementTag, int firstMatchTag)
{
    const double rodRadius = match.rodDiameter / 2;
    const double elementRadius = match.elementDiameter / 2;
    const double s = match.spacing;
    const double rod = match.rodLength;
    if (!(cut.freqMhz > 0) || !(rodRadius > 0) || !(elementRadius > 0) || !(rod > 0) || !(cut.segmentScale >= 1)) {
        return badInput("the frequency, diameters and rod length must be above 0");
    }
    if (!(s > rodRadius + elementRadius)) {
        return badInput("the rod would touch the element");
    }
    const double ahead = norm(sub(elementTo, feed));
    const double behind = norm(sub(feed, elementFrom));
    const Point along = scaled(sub(elementTo, elementFrom), 1 / norm(sub(elementTo, elementFrom)));
    if (!(rod < ahead)) {
        return badInput("the rod is longer than the element beyond the feed point");
    }
    const double wavelength = physics::wavelengthMetres(cut.freqMhz);
    const double segment = firstSegment(match, cut);
    const double longest = std::max(segment, wavelength / kWavelengthsPerSegment / cut.segmentScale);

    MatchWires result;
    // The element as a cage of rod-radius wires of the tube's equivalent
    // radius, over its whole length (closed by spokes at its tips, so no
    // radius step anywhere): N wires of radius r on a circle of radius R act
    // as a tube of radius (N r R^(N-1))^(1/N) (S. A. Schelkunoff and
    // H. T. Friis, Antennas: Theory and Practice, 1952, the equivalent
    // radius of a cage; the same used for bundled line conductors). Rod,
    // feed connection and strap then meet wires of their own radius. The
    // NEC-2 user's guide (section II.1) warns that the current expansion
    // misjudges the charge where wires of different radii meet; in our runs
    // (docs/nec-validation.md) a single tube wire with that radius step put
    // the average gain at 0.72 to 7.2 on eleven dipoles, the cage at 1.01 to
    // 1.04. The most wires (6 down to 2) whose neighbours stay 2.5 rod radii
    // apart, centre to centre (else 2.2: closer cages fared worse in the
    // average gain test), and clear of the rod by 2.5 rod radii; a
    // single tube wire when none fits (an element less than about 1.5 times
    // the rod: then the average gain test tells whether to trust it).
    const std::vector<Point> offsets = cageOffsets(match, cut, side, along, result);
    const double radius = result.cage ? rodRadius : elementRadius;
    const double feedOffset = result.cage ? result.cageRadius : 0;

    // The match region, cut at the feed point and the strap, with a margin of
    // one spacing either side; graded segments beyond it.
    const double back = std::min(s, behind / 2);
    const double front = std::min(rod + s, ahead);
    auto at = [&](double distance, const Point& offset) { return add(add(feed, scaled(along, distance)), offset); };
    const std::vector<Piece> rodCut = rodPieces(rod, s, match, cut); // the rod's, and the element's beside it
    for (const Point& offset : offsets) {
        auto wire = [&](double from, double to, int segments) {
            result.wires.push_back(Wire{elementTag, segments, at(from, offset), at(to, offset), radius});
        };
        result.feedSideWires.push_back(static_cast<int>(result.wires.size()));
        wire(-back, 0, segmentsFor(back, segment));
        for (const Piece& piece : rodCut) {
            wire(piece.from, piece.to, piece.segments);
        }
        if (front > rod + 1e-9) {
            wire(rod, front, segmentsFor(front - rod, segment));
        }
        for (const Piece& piece : gradedPieces(front, ahead, segment, longest)) {
            wire(piece.from, piece.to, piece.segments);
        }
        for (const Piece& piece : gradedPieces(back, behind, segment, longest)) {
            wire(-piece.from, -piece.to, piece.segments);
        }
    }
    if (result.cage) {
        // Spokes from every cage wire to the element's axis at both ends and
        // at every break between its pieces. Joined only at the ends, the
        // cage wires form a shorted two-wire line as long as the element,
        // which resonates near the half-wave element's own frequency (a
        // spike in the SWR sweep of a 20 m dipole at 14.5 MHz in our runs);
        // a tube has no such mode. Joined at every break, the line's pieces
        // are a few segments long and resonate far above.
        std::vector<double> breaks{-behind, -back, 0, rod, front, ahead};
        for (const Piece& piece : gradedPieces(front, ahead, segment, longest)) {
            breaks.push_back(piece.to);
        }
        for (const Piece& piece : gradedPieces(back, behind, segment, longest)) {
            breaks.push_back(-piece.to);
        }
        std::sort(breaks.begin(), breaks.end());
        breaks.erase(
            std::unique(breaks.begin(), breaks.end(), [](double x, double y) { return std::abs(x - y) < 1e-9; }),
            breaks.end());
        for (const double at_ : breaks) {
            for (const Point& offset : offsets) {
                result.wires.push_back(Wire{elementTag, 1, at(at_, offset), at(at_, {}), radius});
            }
        }
    }

    const Point elementSide = scaled(side, feedOffset);
    const Point rodSide = scaled(side, s);
    int feedSegments = segmentsFor(s - feedOffset, segment);
    if (feedSegments % 2 == 0) {
        ++feedSegments;
    }
    result.sourceWire = static_cast<int>(result.wires.size());
    result.sourceSegment = feedSegments / 2 + 1;
    const bool atRodEnd = match.capacitorAt != CapacitorAt::Feed;
    result.capacitorWire = result.sourceWire + (atRodEnd ? 1 : 0);
    result.capacitorSegment = atRodEnd ? 1 : result.sourceSegment;
    // Without a cage the feed connection and the strap take the radius of
    // the thicker of the element and the rod, so that the radius step sits
    // where they meet the thinner: on the grid's free-space dipoles with an
    // element 1.33 rods thick, the rod's radius let the halved run move the
    // rod by 23 to 30 % (invalid), the element's by at most 2.3 %; with a rod
    // 1.33 elements thick the element's radius put the average gain at 0.79,
    // the rod's at 0.89 (docs/nec-validation.md).
    const double linkRadius = result.cage ? rodRadius : std::max(rodRadius, elementRadius);
    result.wires.push_back(Wire{firstMatchTag, feedSegments, at(0, elementSide), at(0, rodSide), linkRadius});
    for (const Piece& piece : rodCut) {
        result.wires.push_back(
            Wire{firstMatchTag + 1, piece.segments, at(piece.from, rodSide), at(piece.to, rodSide), rodRadius});
    }
    result.wires.push_back(Wire{firstMatchTag + 2, feedSegments, at(rod, rodSide), at(rod, elementSide), linkRadius});
    return result;
}

Outcome<TubeSection> tubeSection(const TubeCapacitor& tube, double rodDiameter, double capacitancePf, double freqMhz)
{
    if (!(rodDiameter > 0 && tube.innerDiameter > rodDiameter && std::isfinite(tube.innerDiameter))) {
        return NecFailure{NecFailure::Kind::BadInput, "the capacitor's tube must be wider inside than the rod", {}};
    }
    if (!(tube.permittivity >= 1 && std::isfinite(tube.permittivity))) {
        return NecFailure{NecFailure::Kind::BadInput, "the sleeve's relative permittivity must be 1 or more", {}};
    }
    if (!(capacitancePf > 0 && freqMhz > 0)) {
        return NecFailure{
            NecFailure::Kind::BadInput, "a tube capacitor needs a capacitance and a frequency above 0", {}};
    }
    const double reactance = 1e12 / (physics::kTwoPi * freqMhz * 1e6 * capacitancePf);
    const auto line = coax::openLineCapacitor(
        coax::tubeLine(freqMhz, reactance, tube.innerDiameter, rodDiameter, tube.permittivity));
    if (const auto* failure = std::get_if<coax::NoOpenLine>(&line)) {
        return NecFailure{NecFailure::Kind::BadInput, "the tube capacitor: " + failure->message, {}};
    }
    const auto& made = std::get<coax::OpenLineCapacitor>(line);
    return TubeSection{made.lineImpedance, 1 / std::sqrt(tube.permittivity), made.length, freqMhz};
}

double insertionFor(const TubeSection& line, double capacitancePf)
{
    if (!(capacitancePf > 0 && line.freqMhz > 0)) {
        return 0;
    }
    const double omega = physics::kTwoPi * line.freqMhz * 1e6;
    return std::atan(line.lineImpedance * omega * capacitancePf * 1e-12) * line.velocityFactor * physics::kSpeedOfLight
        / omega;
}

Wire tubeWire(double length, double diameter, const Segmentation& cut)
{
    const double wavelength = physics::wavelengthMetres(cut.freqMhz);
    int segments = segmentsFor(length, wavelength / kWavelengthsPerSegment / cut.segmentScale);
    segments += segments % 2 == 0 ? 1 : 0;
    return Wire{1, segments, {-length / 2, 0, 0}, {length / 2, 0, 0}, diameter / 2};
}

Outcome<Point> sideAcross(const Point& along, const Point& asked)
{
    const Point unit = scaled(along, 1 / norm(along));
    const Point across = sub(asked, scaled(unit, dot(asked, unit)));
    if (!(norm(across) > kMostlyAcross * norm(asked))) {
        return badInput("the rod side " + directionText(asked, true)
            + " runs along the driven element, which lies along " + directionText(along, false)
            + "; choose a side across it");
    }
    return scaled(across, 1 / norm(across));
}

Outcome<Point> sideOf(const Match& match, const Point& along, const Point& otherwise)
{
    return match.side ? sideAcross(along, *match.side) : Outcome<Point>(otherwise);
}

} // namespace vostrel::nec
