// SPDX-License-Identifier: GPL-3.0-or-later
#include "deck_reader.h"

#include "ascii.h"
#include "cards.h"
#include "geometry_cards.h"
#include "utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>
#include <variant>

namespace vostrel::nec {
namespace {

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

// A card from one line, with its type, or why the line is refused.
struct Parsed {
    Card card;
    const CardType* type = nullptr;
};
std::variant<Parsed, std::string> parseCard(std::string_view line, int lineNumber)
{
    Parsed parsed;
    Card& card = parsed.card;
    card.text = std::string(line);
    card.line = lineNumber;
    const std::string_view rest = line.substr(line.find_first_not_of(" \t"));
    card.name = ascii::uppered(rest.substr(0, 2));
    parsed.type = cardType(card.name);
    if (parsed.type == nullptr) {
        return "unknown card \"" + shownText(rest.substr(0, rest.find_first_of(" \t,")), 40) + "\"";
    }
    if (parsed.type->reading == CardReading::Comment) {
        return parsed;
    }
    std::string_view fields = rest.substr(std::min<std::size_t>(2, rest.size()));
    for (std::size_t from = fields.find_first_not_of(" \t,"); from != std::string_view::npos;
         from = fields.find_first_not_of(" \t,")) {
        fields.remove_prefix(from);
        const std::size_t to = std::min(fields.find_first_of(" \t,"), fields.size());
        const auto value = parseNumber(fields.substr(0, to));
        if (!value) {
            return "malformed " + card.name + " card: \"" + shownText(fields.substr(0, to), 40) + "\" is not a number";
        }
        card.fields.push_back(*value);
        fields.remove_prefix(to);
    }
    return parsed;
}

// Adds a GW card's wire (or keeps a tapered one for its GC card), or says
// why it is refused.
std::optional<std::string> addWire(UserDeck& deck, const Card& card, std::optional<Wire>& taper)
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
    if (wire.radius < 0) {
        return "a GW card needs a radius above 0 (or 0 for a tapered wire, with a GC card after it)";
    }
    if (!(norm(sub(wire.to, wire.from)) > 0)) {
        return "a GW card whose two ends are the same point";
    }
    if (auto refused = tooManySegments(deck.wires, wire.segments)) {
        return refused;
    }
    if (wire.radius == 0) {
        taper = wire; // its GC card follows
        return std::nullopt;
    }
    deck.wires.push_back(wire);
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

// What reading has seen so far besides the deck.
struct Reading {
    bool geometryEnded = false;
    std::optional<Wire> taper; // a GW of radius 0, waiting for its GC card
    bool ended = false;
    std::vector<std::size_t> sources; // indices in deck.cards of the EX cards
};

// The card's effect on the deck read so far, or why it is refused.
std::optional<std::string> applyCard(UserDeck& deck, const Card& card, const CardType& type, Reading& reading)
{
    if (type.role == CardRole::Geometry && reading.geometryEnded) {
        return "a " + card.name + " card after GE";
    }
    if (reading.taper.has_value() != (type.reading == CardReading::Taper)) {
        return reading.taper ? "a GW card of radius 0 (a tapered wire) needs a GC card right after it"
                             : std::string("a GC card belongs right after a GW card of radius 0");
    }
    switch (type.reading) {
    case CardReading::Wire:
        return addWire(deck, card, reading.taper);
    case CardReading::Taper:
        return appendTapered(*std::exchange(reading.taper, std::nullopt), card.fields, deck.wires);
    case CardReading::Move:
        return moveWires(card.fields, deck.wires);
    case CardReading::Rotate:
        return rotateWires(card.fields, deck.wires);
    case CardReading::Reflect:
        return reflectWires(card.fields, deck.wires);
    case CardReading::Arc:
        return appendArc(card.fields, deck.wires);
    case CardReading::Helix:
        return appendHelix(card.fields, deck.wires);
    case CardReading::Scale:
        if (!(field(card, 2) > 0)) {
            return "a GS card needs a scale factor above 0";
        }
        scaleWires(deck, field(card, 2));
        break;
    case CardReading::GeometryEnd:
        reading.geometryEnded = true;
        break;
    case CardReading::Ground:
        deck.hasGround = intField(card, 0) != -1;
        break;
    case CardReading::Source:
        if (intField(card, 0) != 0) {
            return "only a voltage source (EX type 0) can feed the match";
        }
        reading.sources.push_back(deck.cards.size());
        break;
    case CardReading::End:
        reading.ended = true;
        break;
    case CardReading::Comment:
    case CardReading::Load: // checked once the source is known
    case CardReading::Fields:
        break;
    case CardReading::Refused:
        return std::string(type.refusal);
    }
    return std::nullopt;
}

// The wire index and segment of the source card, or why there is none.
std::variant<std::pair<int, int>, std::string> sourceWire(const UserDeck& deck, const Card& source)
{
    const int tag = intField(source, 1);
    const int segment = intField(source, 2);
    std::optional<std::pair<int, int>> found;
    if (tag == 0) {
        // An absolute segment number, counted over the wires in order.
        int left = segment;
        for (std::size_t i = 0; i < deck.wires.size() && left >= 1; ++i) {
            if (left <= deck.wires[i].segments) {
                found = std::pair{static_cast<int>(i), left};
            }
            left -= deck.wires[i].segments;
        }
    } else {
        found = segmentOfTag(deck, tag, segment);
    }
    if (!found) {
        return std::string("the source is on no segment of a GW wire");
    }
    return *found;
}

// Two wire ends NEC joins: closer than a thousandth of the shorter segment.
bool joined(const Point& p, const Wire& a, const Point& q, const Wire& b)
{
    const double shorter = std::min(norm(sub(a.to, a.from)) / a.segments, norm(sub(b.to, b.from)) / b.segments);
    return norm(sub(p, q)) < 1e-3 * shorter;
}

// The wire joined to `wire`'s end `end` and nothing else there, with the end
// of it that is not joined; none at a free end or a junction of three or
// more wires.
std::optional<std::pair<int, Point>> onlyNeighbour(const UserDeck& deck, int wire, const Point& end)
{
    const Wire& w = deck.wires[static_cast<std::size_t>(wire)];
    std::optional<std::pair<int, Point>> found;
    for (std::size_t i = 0; i < deck.wires.size(); ++i) {
        if (static_cast<int>(i) == wire) {
            continue;
        }
        const Wire& other = deck.wires[i];
        for (const bool fromEnd : {true, false}) {
            if (joined(end, w, fromEnd ? other.from : other.to, other)) {
                if (found) {
                    return std::nullopt;
                }
                found = std::pair{static_cast<int>(i), fromEnd ? other.to : other.from};
            }
        }
    }
    return found;
}

// The element through the source wire: from its end `end`, the path of wires
// joined one to one; `straight` collects the wires in line with the source
// wire and of its radius, up to the first that is not. The length of the
// path in line with the source wire (of any radius: a tapered element).
double followElement(const UserDeck& deck, int driven, const Point& end, std::vector<int>& straight)
{
    const Wire& source = deck.wires[static_cast<std::size_t>(driven)];
    const Point axis = scaled(sub(source.to, source.from), 1 / norm(sub(source.to, source.from)));
    double length = 0;
    bool inLine = true;
    std::vector<bool> seen(deck.wires.size(), false);
    seen[static_cast<std::size_t>(driven)] = true;
    int wire = driven;
    Point at = end;
    while (auto next = onlyNeighbour(deck, wire, at)) {
        const auto index = static_cast<std::size_t>(next->first);
        if (seen[index]) {
            break; // a loop
        }
        seen[index] = true;
        const Wire& w = deck.wires[index];
        const Point direction = sub(w.to, w.from);
        const double angle = std::acos(std::min(1.0, std::abs(dot(direction, axis)) / norm(direction)));
        const bool sameRadius = std::abs(w.radius - source.radius) <= 1e-6 * source.radius;
        if (!(angle < kInLine)) {
            break;
        }
        inLine = inLine && sameRadius;
        if (inLine) {
            straight.push_back(next->first);
        }
        length += norm(direction);
        wire = next->first;
        at = next->second;
    }
    return length;
}

// The source's segment number within its tag, as an LD card counts.
int sourceNumber(const UserDeck& deck)
{
    const int tag = deck.wires[static_cast<std::size_t>(deck.drivenWire)].tag;
    int number = deck.sourceSegment;
    for (std::size_t i = 0; i < static_cast<std::size_t>(deck.drivenWire); ++i) {
        number += deck.wires[i].tag == tag ? deck.wires[i].segments : 0;
    }
    return number;
}

// A load the match would misplace: on the source segment, or on absolute
// segment numbers.
std::optional<std::string> misplacedLoad(const UserDeck& deck, const Card& card)
{
    const auto loaded = loadedSegments(card);
    if (loaded && loaded->tag == 0) {
        return std::string("a load on absolute segment numbers, which the match would shift");
    }
    if (isSourceLoad(deck, card)) {
        return "a load on the source segment (tag " + std::to_string(loaded->tag) + " segment "
            + std::to_string(sourceNumber(deck))
            + "): the gamma match takes the place of whatever matches the element there; leave it out";
    }
    return std::nullopt;
}

} // namespace

Outcome<UserDeck> readDeck(std::string_view text, std::string_view fileName)
{
    UserDeck deck;
    deck.fileName = std::string(fileName);
    auto refuse = [&](int line, const std::string& why) {
        return NecFailure{NecFailure::Kind::BadDeck, deck.fileName + ":" + std::to_string(line) + ": " + why, {}};
    };
    if (text.size() > kMaxDeckBytes) {
        return NecFailure{NecFailure::Kind::BadDeck,
            deck.fileName + ": larger than " + std::to_string(kMaxDeckBytes >> 20U)
                + " MB, more than a NEC-2 deck the full-wave check takes (at most " + std::to_string(kMaxSegments)
                + " segments)",
            {}};
    }
    int lineNumber = 0;
    Reading reading;
    while (!text.empty() && !reading.ended) {
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
        auto& card = std::get<Parsed>(parsed);
        if (const auto why = applyCard(deck, card.card, *card.type, reading)) {
            return refuse(lineNumber, *why);
        }
        deck.wireCards.resize(deck.wires.size(), static_cast<int>(deck.cards.size()));
        deck.wireScale.resize(deck.wires.size(), 1.0);
        deck.wiresWrittenOut = deck.wiresWrittenOut || card.type->writing == CardWriting::Generator;
        deck.cards.push_back(std::move(card.card));
    }
    if (deck.wiresWrittenOut) {
        // Written out as GW cards in metres, without the deck's GS.
        std::fill(deck.wireScale.begin(), deck.wireScale.end(), 1.0);
    }
    if (reading.sources.empty()) {
        return refuse(lineNumber, "no voltage source (EX 0 card) marks the driven element");
    }
    if (reading.sources.size() > 1) {
        return refuse(deck.cards[reading.sources[1]].line, "several sources: the match needs one driven element");
    }
    const Card& source = deck.cards[reading.sources.front()];
    const auto found = sourceWire(deck, source);
    if (const auto* why = std::get_if<std::string>(&found)) {
        return refuse(source.line, *why);
    }
    const auto [driven, segment] = std::get<std::pair<int, int>>(found);
    deck.drivenWire = driven;
    deck.sourceSegment = segment;
    // The element: the wires joined end to end in line with the source wire.
    const Wire& wire = deck.wires[static_cast<std::size_t>(driven)];
    std::vector<int> before;
    std::vector<int> after;
    const double lengthBefore = followElement(deck, driven, wire.from, before);
    const double lengthAfter = followElement(deck, driven, wire.to, after);
    const double wireLength = norm(sub(wire.to, wire.from));
    const double feedAt = lengthBefore + wireLength * (segment - 0.5) / wire.segments;
    const double total = lengthBefore + wireLength + lengthAfter;
    if (std::abs(feedAt / total - 0.5) > 0.1) {
        return refuse(source.line, "the source is not at or near the centre of its element");
    }
    deck.elementLength = total;
    deck.elementWires.assign(before.rbegin(), before.rend());
    deck.elementWires.push_back(driven);
    deck.elementWires.insert(deck.elementWires.end(), after.begin(), after.end());
    for (const Card& card : deck.cards) {
        if (cardReading(card.name) != CardReading::Load) {
            continue;
        }
        if (const auto why = misplacedLoad(deck, card)) {
            return refuse(card.line, *why);
        }
    }
    return deck;
}

std::optional<std::pair<int, int>> segmentOfTag(const UserDeck& deck, int tag, int segment)
{
    int left = segment;
    for (std::size_t i = 0; i < deck.wires.size() && left >= 1; ++i) {
        if (deck.wires[i].tag == tag) {
            if (left <= deck.wires[i].segments) {
                return std::pair{static_cast<int>(i), left};
            }
            left -= deck.wires[i].segments;
        }
    }
    return std::nullopt;
}

ElementSection elementSection(const UserDeck& deck)
{
    const Wire& wire = deck.wires[static_cast<std::size_t>(deck.drivenWire)];
    const Point axis = sub(wire.to, wire.from);
    const Point along = scaled(axis, 1 / norm(axis));
    ElementSection section;
    section.feed = add(wire.from, scaled(axis, (deck.sourceSegment - 0.5) / wire.segments));
    section.radius = wire.radius;
    section.tag = wire.tag;
    // The section's ends: the farthest wire ends along the axis either way.
    double low = 0;
    double high = 0;
    for (const int i : deck.elementWires) {
        for (const Point& p :
            {deck.wires[static_cast<std::size_t>(i)].from, deck.wires[static_cast<std::size_t>(i)].to}) {
            const double at = dot(sub(p, section.feed), along);
            if (at < low) {
                low = at;
                section.from = p;
            }
            if (at > high) {
                high = at;
                section.to = p;
            }
        }
    }
    if (-low > high) {
        std::swap(section.from, section.to);
    }
    // A section bent by less than kInLine is modelled straight from end to
    // end, so that it still meets the rest of the element: the feed point
    // on that line.
    const Point line = sub(section.to, section.from);
    section.feed = add(section.from, scaled(line, dot(sub(section.feed, section.from), line) / dot(line, line)));
    return section;
}

std::optional<LoadedSegments> loadedSegments(const Card& card)
{
    if (cardReading(card.name) != CardReading::Load || intField(card, 2) == 0) {
        return std::nullopt;
    }
    return LoadedSegments{intField(card, 1), intField(card, 2), std::max(intField(card, 2), intField(card, 3))};
}

bool isSourceLoad(const UserDeck& deck, const Card& card)
{
    const auto loaded = loadedSegments(card);
    const int number = sourceNumber(deck);
    return loaded && loaded->tag == deck.wires[static_cast<std::size_t>(deck.drivenWire)].tag && loaded->first <= number
        && number <= loaded->last;
}

Point drivenAxis(const UserDeck& deck)
{
    const Wire& wire = deck.wires[static_cast<std::size_t>(deck.drivenWire)];
    return sub(wire.to, wire.from);
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
        if (std::find(deck.elementWires.begin(), deck.elementWires.end(), static_cast<int>(i))
            == deck.elementWires.end()) {
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

} // namespace vostrel::nec
