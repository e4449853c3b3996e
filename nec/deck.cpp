#include "deck.h"

#include "physics.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace vostrel::nec {
namespace {

// Segment lengths, after the NEC-2 user's guide, part III, section II.1
// ("Wire Modeling", http://nec2.org/part_3/secii.html):
// - no segment longer than a twentieth of a wavelength in a critical
//   region; we use a fortieth on the element, and a quarter of the rod
//   spacing near the match, so that the rod and element, a close two-wire
//   line, are cut into aligned segments several to the spacing;
// - segment length over radius above 2 with the extended thin-wire kernel
//   (EK) for 1 % accuracy (above 8 without it): we keep 4, so that the
//   halved convergence run still keeps 2;
// - segments meeting at a junction of about equal length: the feed
//   connection, rod and strap share the segment length of the element's
//   match region, which grows by doubling only away from the match.
constexpr double kWavelengthsPerSegment = 40;
constexpr double kSegmentsPerSpacing = 4;
constexpr double kMinLengthOverRadius = 4;
// The part of a rod side asked for that lies across the element must be
// most of it (the side at least 30 degrees off the element's line): a side
// nearer the element's line would be turned too far to be the one meant.
constexpr double kMostlyAcross = 0.5;

Point add(const Point& p, const Point& q)
{
    return {p[0] + q[0], p[1] + q[1], p[2] + q[2]};
}
Point scaled(const Point& p, double k)
{
    return {p[0] * k, p[1] * k, p[2] * k};
}
Point sub(const Point& p, const Point& q)
{
    return {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
}
double dot(const Point& p, const Point& q)
{
    return p[0] * q[0] + p[1] * q[1] + p[2] * q[2];
}
double norm(const Point& p)
{
    return std::sqrt(dot(p, p));
}
Point cross(const Point& p, const Point& q)
{
    return {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
}

NecFailure badInput(std::string message)
{
    return NecFailure{NecFailure::Kind::BadInput, std::move(message), {}};
}

std::string number(double value)
{
    std::array<char, 32> buffer{};
    const auto written
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 9);
    return {buffer.data(), written.ptr};
}

std::string gwLine(const Wire& w, double unit)
{
    std::string line = "GW " + std::to_string(w.tag) + " " + std::to_string(w.segments);
    for (const Point* p : {&w.from, &w.to}) {
        for (double c : *p) {
            line += " " + number(c / unit);
        }
    }
    return line + " " + number(w.radius / unit);
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

std::string controlCards(const Controls& controls)
{
    std::string text;
    if (!controls.freqsMhz.empty()) {
        const auto count = controls.freqsMhz.size();
        const double step = count > 1 ? (controls.freqsMhz.back() - controls.freqsMhz.front()) / double(count - 1) : 0;
        text += "FR 0 " + std::to_string(count) + " 0 0 " + number(controls.freqsMhz.front()) + " " + number(step)
            + "\n";
    }
    // The whole sphere in 10 degree steps; the last digit of XNDA asks for
    // the average power gain (user's guide, RP card).
    text += controls.averageGain ? "RP 0 19 37 0001 0 0 10 10 0 0\n" : "XQ\n";
    return text;
}

std::string sourceCards(int tag, int segment, double capacitancePf)
{
    std::string text = "EX 0 " + std::to_string(tag) + " " + std::to_string(segment) + " 0 1 0\n";
    // A series RLC load (LD type 0) with only C: the capacitor in series
    // with the source on the same segment.
    if (capacitancePf > 0) {
        text += "LD 0 " + std::to_string(tag) + " " + std::to_string(segment) + " " + std::to_string(segment) + " 0 0 "
            + number(capacitancePf * 1e-12) + "\n";
    }
    return text;
}

double firstSegment(const Match& match, const Segmentation& cut)
{
    const double wavelength = physics::wavelengthMetres(cut.freqMhz);
    const double segment = std::max(std::min(wavelength / kWavelengthsPerSegment, match.spacing / kSegmentsPerSpacing),
        kMinLengthOverRadius * match.rodDiameter / 2);
    return segment / cut.segmentScale;
}

// The side the match's rod lies on along an element running along
// `along`: the side asked for, across the element, or `otherwise`.
Outcome<Point> sideOf(const Match& match, const Point& along, const Point& otherwise)
{
    return match.side ? sideAcross(along, *match.side) : Outcome<Point>(otherwise);
}

} // namespace

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
    Point p1 = side;
    Point p2 = cross(along, side);
    std::vector<Point> offsets{Point{0, 0, 0}};
    double radius = elementRadius;
    double feedOffset = 0;
    for (const double apart : {2.5, 2.2}) {
        for (int n = 6; n >= 2 && cut.cage && !result.cage && elementRadius > rodRadius * 1.0001; --n) {
            const double cageRadius = std::pow(std::pow(elementRadius, n) / (n * rodRadius), 1.0 / (n - 1));
            const double neighbours = n == 2 ? 2 * cageRadius : 2 * cageRadius * std::sin(std::numbers::pi / n);
            if (neighbours >= apart * rodRadius && s - cageRadius >= 2.5 * rodRadius) {
                offsets.clear();
                for (int k = 0; k < n; ++k) {
                    const double angle = physics::kTwoPi * k / n;
                    offsets.push_back(
                        add(scaled(p1, cageRadius * std::cos(angle)), scaled(p2, cageRadius * std::sin(angle))));
                }
                radius = rodRadius;
                feedOffset = cageRadius;
                result.cage = true;
                result.cageWires = n;
                result.cageRadius = cageRadius;
            }
        }
    }

    // The match region, cut at the feed point and the strap, with a margin of
    // one spacing either side; graded segments beyond it.
    const double back = std::min(s, behind / 2);
    const double front = std::min(rod + s, ahead);
    auto at = [&](double distance, const Point& offset) { return add(add(feed, scaled(along, distance)), offset); };
    for (const Point& offset : offsets) {
        auto wire = [&](double from, double to, int segments) {
            result.wires.push_back(Wire{elementTag, segments, at(from, offset), at(to, offset), radius});
        };
        wire(-back, 0, segmentsFor(back, segment));
        wire(0, rod, segmentsFor(rod, segment));
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
    result.wires.push_back(Wire{firstMatchTag, feedSegments, at(0, elementSide), at(0, rodSide), rodRadius});
    result.wires.push_back(
        Wire{firstMatchTag + 1, segmentsFor(rod, segment), at(0, rodSide), at(rod, rodSide), rodRadius});
    result.wires.push_back(Wire{firstMatchTag + 2, feedSegments, at(rod, rodSide), at(rod, elementSide), rodRadius});
    return result;
}

std::string bareDipoleDeck(double length, double diameter, const Segmentation& cut, const Controls& controls)
{
    const double wavelength = physics::wavelengthMetres(cut.freqMhz);
    int segments = segmentsFor(length, wavelength / kWavelengthsPerSegment / cut.segmentScale);
    segments += segments % 2 == 0 ? 1 : 0;
    const Wire wire{1, segments, {-length / 2, 0, 0}, {length / 2, 0, 0}, diameter / 2};
    return "CM straight tube, centre fed\nCE\n" + gwLine(wire, 1) + "\nGE 0\nEK\n" + sourceCards(1, segments / 2 + 1, 0)
        + controlCards(controls) + "EN\n";
}

Outcome<std::string> dipoleMatchDeck(
    double length, const Match& match, const Segmentation& cut, const Controls& controls)
{
    const auto side = sideOf(match, {1, 0, 0}, {0, 0, 1});
    if (const auto* failure = std::get_if<NecFailure>(&side)) {
        return *failure;
    }
    auto wires
        = matchWires(match, {-length / 2, 0, 0}, {length / 2, 0, 0}, {0, 0, 0}, std::get<Point>(side), cut, 1, 2);
    if (const auto* failure = std::get_if<NecFailure>(&wires)) {
        return *failure;
    }
    const auto& made = std::get<MatchWires>(wires);
    std::string text = "CM straight tube with a gamma match\nCE\n";
    for (const Wire& wire : made.wires) {
        text += gwLine(wire, 1) + "\n";
    }
    const Wire& source = made.wires[static_cast<std::size_t>(made.sourceWire)];
    return text + "GE 0\nEK\n" + sourceCards(source.tag, made.sourceSegment, match.capacitancePf)
        + controlCards(controls) + "EN\n";
}

namespace {

bool knownCard(std::string_view name)
{
    static constexpr std::array<std::string_view, 19> kKnown{"CM", "CE", "GW", "GS", "GE", "GN", "GD", "EK", "EX", "LD",
        "FR", "RP", "XQ", "NE", "NH", "PQ", "PT", "KH", "EN"};
    return std::find(kKnown.begin(), kKnown.end(), name) != kKnown.end();
}

std::optional<double> parseNumber(std::string_view token)
{
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int intField(const Card& card, std::size_t index)
{
    return index < card.fields.size() ? static_cast<int>(std::lround(card.fields[index])) : 0;
}

double field(const Card& card, std::size_t index)
{
    return index < card.fields.size() ? card.fields[index] : 0.0;
}

} // namespace

namespace {

// A card from one line, or why the line is refused.
std::variant<Card, std::string> parseCard(std::string_view line, int lineNumber)
{
    Card card;
    card.text = std::string(line);
    card.line = lineNumber;
    const std::string_view rest = line.substr(line.find_first_not_of(" \t"));
    std::string name(rest.substr(0, 2));
    std::transform(name.begin(), name.end(), name.begin(),
        [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    card.name = name;
    if (!knownCard(name)) {
        return "unknown card \"" + std::string(rest.substr(0, rest.find_first_of(" \t,"))) + "\"";
    }
    if (name == "CM" || name == "CE") {
        return card;
    }
    std::string_view fields = rest.substr(std::min<std::size_t>(2, rest.size()));
    for (std::size_t from = fields.find_first_not_of(" \t,"); from != std::string_view::npos;
         from = fields.find_first_not_of(" \t,")) {
        fields.remove_prefix(from);
        const std::size_t to = std::min(fields.find_first_of(" \t,"), fields.size());
        const auto value = parseNumber(fields.substr(0, to));
        if (!value) {
            return "malformed " + name + " card: \"" + std::string(fields.substr(0, to)) + "\" is not a number";
        }
        card.fields.push_back(*value);
        fields.remove_prefix(to);
    }
    return card;
}

// Adds a GW card's wire, or says why it is refused.
std::optional<std::string> addWire(UserDeck& deck, const Card& card)
{
    if (card.fields.size() < 9) {
        return "malformed GW card: it needs tag, segments, two ends and a radius";
    }
    const Wire wire{intField(card, 0), intField(card, 1), {field(card, 2), field(card, 3), field(card, 4)},
        {field(card, 5), field(card, 6), field(card, 7)}, field(card, 8)};
    if (wire.tag <= 0) {
        return "a GW card needs a tag above 0";
    }
    if (wire.segments <= 0) {
        return "a GW card needs at least one segment";
    }
    if (wire.radius <= 0) {
        return "tapered wires (radius 0, GC cards) are not supported";
    }
    if (!(norm(sub(wire.to, wire.from)) > 0)) {
        return "a GW card whose two ends are the same point";
    }
    deck.wireCards.push_back(static_cast<int>(deck.cards.size()));
    deck.wires.push_back(wire);
    deck.wireScale.push_back(1);
    return std::nullopt;
}

// GS scales everything defined before it.
void scaleWires(UserDeck& deck, double factor)
{
    for (std::size_t i = 0; i < deck.wires.size(); ++i) {
        Wire& wire = deck.wires[i];
        wire.from = scaled(wire.from, factor);
        wire.to = scaled(wire.to, factor);
        wire.radius *= factor;
        deck.wireScale[i] *= factor;
    }
}

// The card's effect on the deck read so far, or why it is refused.
std::optional<std::string> applyCard(UserDeck& deck, const Card& card, bool geometryEnded)
{
    const std::string& name = card.name;
    if ((name == "GW" || name == "GS") && geometryEnded) {
        return "a " + name + " card after GE";
    }
    if (name == "GW") {
        return addWire(deck, card);
    }
    if (name == "GS") {
        if (!(field(card, 2) > 0)) {
            return "a GS card needs a scale factor above 0";
        }
        scaleWires(deck, field(card, 2));
    } else if (name == "GN") {
        deck.hasGround = intField(card, 0) != -1;
    } else if (name == "EX" && intField(card, 0) != 0) {
        return "only a voltage source (EX type 0) can feed the match";
    }
    return std::nullopt;
}

// The wire index and segment of the source card, or why there is none.
std::variant<std::pair<int, int>, std::string> sourceWire(const UserDeck& deck, const Card& source)
{
    const int tag = intField(source, 1);
    int segment = intField(source, 2);
    int driven = -1;
    for (std::size_t i = 0; i < deck.wires.size(); ++i) {
        if (tag == 0) {
            // An absolute segment number, counted over the wires in order.
            if (segment <= deck.wires[i].segments) {
                driven = static_cast<int>(i);
                break;
            }
            segment -= deck.wires[i].segments;
        } else if (deck.wires[i].tag == tag) {
            if (driven >= 0) {
                return "the source is on a bent wire: tag " + std::to_string(tag) + " has several GW cards";
            }
            driven = static_cast<int>(i);
        }
    }
    if (driven < 0 || segment < 1 || segment > deck.wires[static_cast<std::size_t>(driven)].segments) {
        return std::string("the source is on no segment of a GW wire");
    }
    const Wire& wire = deck.wires[static_cast<std::size_t>(driven)];
    if (std::abs((segment - 0.5) / wire.segments - 0.5) > 0.1) {
        return std::string("the source is not at or near the centre of its wire");
    }
    return std::pair{driven, segment};
}

// A load the match would move: on given segments of the driven element
// (other than the source segment alone), or on absolute segment numbers.
std::optional<std::string> misplacedLoad(const Card& card, int tag, int segment)
{
    const int loadTag = intField(card, 1);
    const bool segments = intField(card, 2) != 0 || intField(card, 3) != 0;
    const bool atSource = loadTag == tag && intField(card, 2) == segment && intField(card, 3) == segment;
    if (!segments || atSource || (loadTag != tag && loadTag != 0)) {
        return std::nullopt;
    }
    return loadTag == 0 ? "a load on absolute segment numbers, which the match would shift"
                        : "a load on given segments of the driven element, which the match replaces";
}

} // namespace

Outcome<UserDeck> readDeck(std::string_view text, std::string_view fileName)
{
    UserDeck deck;
    deck.fileName = std::string(fileName);
    auto refuse = [&](int line, const std::string& why) {
        return NecFailure{NecFailure::Kind::BadDeck, deck.fileName + ":" + std::to_string(line) + ": " + why, {}};
    };
    int lineNumber = 0;
    bool geometryEnded = false;
    std::vector<std::size_t> sources;
    for (bool ended = false; !text.empty() && !ended;) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        auto parsed = parseCard(line, lineNumber);
        if (const auto* why = std::get_if<std::string>(&parsed)) {
            return refuse(lineNumber, *why);
        }
        Card& card = std::get<Card>(parsed);
        if (const auto why = applyCard(deck, card, geometryEnded)) {
            return refuse(lineNumber, *why);
        }
        geometryEnded = geometryEnded || card.name == "GE";
        ended = card.name == "EN";
        if (card.name == "EX") {
            sources.push_back(deck.cards.size());
        }
        deck.cards.push_back(std::move(card));
    }
    if (sources.empty()) {
        return refuse(lineNumber, "no voltage source (EX 0 card) marks the driven element");
    }
    if (sources.size() > 1) {
        return refuse(deck.cards[sources[1]].line, "several sources: the match needs one driven element");
    }
    const Card& source = deck.cards[sources.front()];
    const auto found = sourceWire(deck, source);
    if (const auto* why = std::get_if<std::string>(&found)) {
        return refuse(source.line, *why);
    }
    const auto [driven, segment] = std::get<std::pair<int, int>>(found);
    const int tag = deck.wires[static_cast<std::size_t>(driven)].tag;
    for (const Card& card : deck.cards) {
        if (card.name != "LD") {
            continue;
        }
        if (const auto why = misplacedLoad(card, tag, segment)) {
            return refuse(card.line, *why);
        }
    }
    deck.drivenWire = driven;
    deck.sourceSegment = segment;
    return deck;
}

Point drivenAxis(const UserDeck& deck)
{
    const Wire& wire = deck.wires[static_cast<std::size_t>(deck.drivenWire)];
    return sub(wire.to, wire.from);
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

Point rodSide(const UserDeck& deck)
{
    const Wire& wire = deck.wires[static_cast<std::size_t>(deck.drivenWire)];
    const Point axis = drivenAxis(deck);
    const Point along = scaled(axis, 1 / norm(axis));
    const Point feed = add(wire.from, scaled(axis, (deck.sourceSegment - 0.5) / wire.segments));
    auto across = [&](const Point& v) { return sub(v, scaled(along, dot(v, along))); };
    Point centroid{0, 0, 0};
    int others = 0;
    for (std::size_t i = 0; i < deck.wires.size(); ++i) {
        if (static_cast<int>(i) != deck.drivenWire) {
            centroid = add(centroid, scaled(add(deck.wires[i].from, deck.wires[i].to), 0.5));
            ++others;
        }
    }
    if (others > 0) {
        const Point away = across(sub(feed, scaled(centroid, 1.0 / others)));
        if (norm(away) > 1e-9 * norm(axis)) {
            return scaled(away, 1 / norm(away));
        }
    }
    for (const Point& up : {Point{0, 0, 1}, Point{0, 1, 0}}) {
        const Point side = across(up);
        if (norm(side) > 0.1) {
            return scaled(side, 1 / norm(side));
        }
    }
    return {1, 0, 0};
}

namespace {

// A load on exactly the driven element's source segment.
bool isSourceLoad(const UserDeck& deck, const Card& card)
{
    const Wire& wire = deck.wires[static_cast<std::size_t>(deck.drivenWire)];
    return intField(card, 1) == wire.tag && intField(card, 2) == deck.sourceSegment
        && intField(card, 3) == deck.sourceSegment;
}

} // namespace

namespace {

// The GW cards standing for the driven element, and where the source goes.
struct DrivenCards {
    std::string text;
    int sourceTag = 0;
    int sourceSegment = 0;
};

Outcome<DrivenCards> drivenCards(const UserDeck& deck, const UserDeckRun& run, const Segmentation& cut)
{
    const auto driven = static_cast<std::size_t>(deck.drivenWire);
    const Wire& wire = deck.wires[driven];
    if (run.match == nullptr) {
        // The bare element, cut like the user cut it (finer for the
        // convergence run, keeping a segment at the source's place).
        Wire w = wire;
        w.segments = w.segments * cut.segmentScale + (cut.segmentScale > 1 && w.segments % 2 == 1 ? 1 : 0);
        const int segment
            = static_cast<int>(std::lround((deck.sourceSegment - 0.5) / wire.segments * w.segments + 0.5));
        return DrivenCards{gwLine(w, deck.wireScale[driven]) + "\n", wire.tag, segment};
    }
    int maxTag = 0;
    for (const Wire& w : deck.wires) {
        maxTag = std::max(maxTag, w.tag);
    }
    const Point axis = sub(wire.to, wire.from);
    const Point feed = add(wire.from, scaled(axis, (deck.sourceSegment - 0.5) / wire.segments));
    const auto side = sideOf(*run.match, axis, rodSide(deck));
    if (const auto* failure = std::get_if<NecFailure>(&side)) {
        return *failure;
    }
    // The rod runs towards the longer side of the feed point.
    const bool forward = norm(sub(wire.to, feed)) >= norm(sub(feed, wire.from));
    auto made = matchWires(*run.match, forward ? wire.from : wire.to, forward ? wire.to : wire.from, feed,
        std::get<Point>(side), cut, wire.tag, maxTag + 1);
    if (const auto* failure = std::get_if<NecFailure>(&made)) {
        return *failure;
    }
    const auto& wires = std::get<MatchWires>(made);
    DrivenCards cards;
    for (const Wire& w : wires.wires) {
        cards.text += gwLine(w, deck.wireScale[driven]) + "\n";
    }
    cards.sourceTag = wires.wires[static_cast<std::size_t>(wires.sourceWire)].tag;
    cards.sourceSegment = wires.sourceSegment;
    return cards;
}

} // namespace

Outcome<std::string> userDeck(const UserDeck& deck, const UserDeckRun& run, const Segmentation& cut)
{
    auto made = drivenCards(deck, run, cut);
    if (const auto* failure = std::get_if<NecFailure>(&made)) {
        return *failure;
    }
    const DrivenCards& driven = std::get<DrivenCards>(made);
    std::string text;
    bool commented = false;
    std::size_t wireIndex = 0;
    const double capacitance = run.match != nullptr ? run.match->capacitancePf : 0;
    for (const Card& card : deck.cards) {
        const std::string& name = card.name;
        if (name == "CM" || name == "CE") {
            commented = true;
            text += card.text + "\n";
            continue;
        }
        if (!commented) {
            text += "CE\n";
            commented = true;
        }
        if (name == "GW") {
            if (wireIndex == static_cast<std::size_t>(deck.drivenWire)) {
                text += driven.text;
            } else if (cut.segmentScale > 1) {
                Wire w = deck.wires[wireIndex];
                w.segments *= cut.segmentScale;
                text += gwLine(w, deck.wireScale[wireIndex]) + "\n";
            } else {
                text += card.text + "\n";
            }
            ++wireIndex;
        } else if (name == "GE") {
            text += run.freeSpace ? "GE 0\n" : card.text + "\n";
            text += "EK\n";
        } else if (name == "EK" || (name == "LD" && isSourceLoad(deck, card))) {
            // Our EK follows GE; the user's network at the feed point is
            // replaced by the match.
            continue;
        } else if (name == "EX") {
            text += sourceCards(driven.sourceTag, driven.sourceSegment, capacitance);
        } else if (name == "GN" || name == "GD" || name == "LD") {
            if (!run.freeSpace) {
                text += card.text + "\n";
            }
        } else if (name == "EN") {
            break;
        } else if (run.keepUserControls) {
            text += card.text + "\n";
        }
    }
    if (!run.keepUserControls) {
        text += controlCards(run.controls);
    }
    return text + "EN\n";
}

} // namespace vostrel::nec
