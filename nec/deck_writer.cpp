// SPDX-License-Identifier: GPL-3.0-or-later
#include "deck_writer.h"

#include "cards.h"
#include "physics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace vostrel::nec {
namespace {

std::string number(double value)
{
    std::array<char, 32> buffer{};
    const auto written
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 9);
    return {buffer.data(), written.ptr};
}

// A GW card of `wire`, its lengths divided by `unit` (the deck's GS factor).
std::string gwLine(const Wire& wire, double unit)
{
    std::string line = "GW ";
    line += std::to_string(wire.tag);
    line += " ";
    line += std::to_string(wire.segments);
    for (const Point* p : {&wire.from, &wire.to}) {
        for (double c : *p) {
            line += " ";
            line += number(c / unit);
        }
    }
    line += " ";
    line += number(wire.radius / unit);
    return line;
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

// A series RLC load (LD type 0) with only C: the capacitor in series on
// its segment (the source's, or the rod's first); "" for none.
std::string capacitorCard(int tag, int segment, double capacitancePf)
{
    if (!(capacitancePf > 0)) {
        return {};
    }
    return "LD 0 " + std::to_string(tag) + " " + std::to_string(segment) + " " + std::to_string(segment) + " 0 0 "
        + number(capacitancePf * 1e-12) + "\n";
}

// The match's capacitor as cards: `wire` a GW card to add to the geometry,
// `loads` LD cards for the structure's loading, `network` after them.
struct CapacitorCards {
    std::string wire;
    std::string loads;
    std::string network;
};

// A capacitor of `match` on segment `segment` of tag `tag`: a series C, or
// with CapacitorAt::Tube the rod in its tube as a line open at the rod's
// tip: a TL card from that segment to a one-segment wire of tag
// `spareTag` at `far` (metres, clear of the model), loaded with 1e12 ohms.
// NEC-2 connects a line's end only to a segment, and the load keeps that
// segment's current below a millionth of a microampere per volt: the line
// sees an open end (on a dipole at 14.2 MHz its Zin agrees with the series
// C's of the same reactance to the 0.01 ohm nec2c prints; without the load,
// the spare wire's own impedance left it 0.01 ohm off). `unit` is the deck's
// GS factor.
Outcome<CapacitorCards> capacitorCards(
    const Match& match, int tag, int segment, int spareTag, const Point& far, double unit, double freqMhz)
{
    if (match.capacitorAt != CapacitorAt::Tube || !(match.capacitancePf > 0)) {
        return CapacitorCards{{}, capacitorCard(tag, segment, match.capacitancePf), {}};
    }
    const auto section = tubeSection(match.tube, match.rodDiameter, match.capacitancePf, freqMhz);
    if (const auto* failure = std::get_if<NecFailure>(&section)) {
        return *failure;
    }
    const auto& line = std::get<TubeSection>(section);
    const double length = physics::wavelengthMetres(freqMhz) / 100;
    const Wire spare{spareTag, 1, far, add(far, {length, 0, 0}), length / 100};
    CapacitorCards cards;
    cards.wire = gwLine(spare, unit) + "\n";
    cards.loads = "LD 0 " + std::to_string(spareTag) + " 1 1 1e+12 0 0\n";
    // The line's length on the card is in metres whatever the GS card, and
    // electrical: NEC-2's lines have the speed of light.
    cards.network = "TL " + std::to_string(tag) + " " + std::to_string(segment) + " " + std::to_string(spareTag) + " 1 "
        + number(line.lineImpedance) + " " + number(line.insertion / line.velocityFactor) + " 0 0 0 0\n";
    return cards;
}

// A tag after every tag of the deck and the match's three wires.
int spareTag(const UserDeck& deck)
{
    int maxTag = 0;
    for (const Wire& w : deck.wires) {
        maxTag = std::max(maxTag, w.tag);
    }
    return maxTag + 4;
}

// A point ten times the model's size or ten wavelengths, whichever is
// more, above its highest point.
Point farPoint(const UserDeck& deck, double freqMhz)
{
    Point low = deck.wires.empty() ? Point{} : deck.wires.front().from;
    Point high = low;
    for (const Wire& w : deck.wires) {
        for (const Point* p : {&w.from, &w.to}) {
            for (std::size_t k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], (*p)[k]);
                high[k] = std::max(high[k], (*p)[k]);
            }
        }
    }
    const double size = norm(sub(high, low));
    return {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2,
        high[2] + 10 * std::max(size, physics::wavelengthMetres(freqMhz))};
}

// The element's correction (a series impedance, LD type 4) on each of
// `segments` of `tag`, side by side: each takes `segments.size()` times it,
// so that together they carry it; "" for none.
std::string correctionCards(int tag, const std::vector<int>& segments, std::complex<double> correction)
{
    if (correction == std::complex<double>() || segments.empty()) {
        return {};
    }
    const auto share = static_cast<double>(segments.size());
    std::string text;
    for (const int segment : segments) {
        text += "LD 4 " + std::to_string(tag) + " " + std::to_string(segment) + " " + std::to_string(segment) + " "
            + number(correction.real() * share) + " " + number(correction.imag() * share) + " 0\n";
    }
    return text;
}

// The segments, numbered within the element's tag from its first wire in
// `wires`, beside the feed point that take the element's correction.
std::vector<int> correctionSegments(const MatchWires& made)
{
    std::vector<int> segments;
    for (const int index : made.feedSideWires) {
        int number = 0;
        for (int i = 0; i <= index; ++i) {
            number += made.wires[static_cast<std::size_t>(i)].segments;
        }
        segments.push_back(number);
    }
    return segments;
}

std::string sourceCard(int tag, int segment)
{
    return "EX 0 " + std::to_string(tag) + " " + std::to_string(segment) + " 0 1 0\n";
}

// The GW cards standing for the driven element, and where the source goes;
// `wires` the match's element wires (of the section's tag, in the order
// written) and the direction the rod runs, for placing the user's loads.
struct DrivenCards {
    std::string text;
    int sourceTag = 0;
    int sourceSegment = 0;
    int capacitorTag = 0; // where the match's capacitor goes
    int capacitorSegment = 0;
    std::vector<Wire> wires;
    Point along{};
    double parallel = 1; // the element's wires side by side (a cage's)
    // Where the element's correction goes: segments of the section's tag
    // numbered from the first of `wires` (the source's for the bare element).
    std::vector<int> correctionSegments;
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
        return DrivenCards{
            gwLine(w, deck.wireScale[driven]) + "\n", wire.tag, segment, wire.tag, segment, {}, {}, 1, {segment}};
    }
    int maxTag = 0;
    for (const Wire& w : deck.wires) {
        maxTag = std::max(maxTag, w.tag);
    }
    const ElementSection section = elementSection(deck);
    const Point axis = sub(section.to, section.from);
    const auto side = sideOf(*run.match, axis, rodSide(deck));
    if (const auto* failure = std::get_if<NecFailure>(&side)) {
        return *failure;
    }
    // The rod runs towards the longer side of the feed point (`to`).
    auto made = matchWires(
        *run.match, section.from, section.to, section.feed, std::get<Point>(side), cut, section.tag, maxTag + 1);
    if (const auto* failure = std::get_if<NecFailure>(&made)) {
        return *failure;
    }
    const auto& wires = std::get<MatchWires>(made);
    DrivenCards cards;
    for (const Wire& w : wires.wires) {
        cards.text += gwLine(w, deck.wireScale[driven]) + "\n";
        if (w.tag == section.tag) {
            cards.wires.push_back(w);
        }
    }
    cards.sourceTag = wires.wires[static_cast<std::size_t>(wires.sourceWire)].tag;
    cards.sourceSegment = wires.sourceSegment;
    cards.capacitorTag = wires.wires[static_cast<std::size_t>(wires.capacitorWire)].tag;
    cards.capacitorSegment = wires.capacitorSegment;
    cards.along = scaled(axis, 1 / norm(axis));
    cards.parallel = wires.cage ? wires.cageWires : 1;
    cards.correctionSegments = correctionSegments(wires);
    return cards;
}

// A user's wire the match's element wires stand in for.
bool replaced(const UserDeck& deck, const DrivenCards& driven, std::size_t wire)
{
    return !driven.wires.empty()
        && std::find(deck.elementWires.begin(), deck.elementWires.end(), static_cast<int>(wire))
        != deck.elementWires.end();
}

// The wires of the deck as written, tag and segments, for numbering the
// segments of a tag as NEC does: the user's, cut `scale` times finer, with
// the match's element wires in the driven wire's place.
struct Written {
    int tag;
    int segments;
    int userWire; // -1: the match's
};

std::vector<Written> writtenWires(const UserDeck& deck, const DrivenCards& driven, int scale)
{
    std::vector<Written> written;
    for (std::size_t i = 0; i < deck.wires.size(); ++i) {
        if (static_cast<int>(i) == deck.drivenWire && !driven.wires.empty()) {
            for (const Wire& w : driven.wires) {
                written.push_back({w.tag, w.segments, -1});
            }
        } else if (!replaced(deck, driven, i)) {
            written.push_back({deck.wires[i].tag, deck.wires[i].segments * scale, static_cast<int>(i)});
        }
    }
    return written;
}

// The number within its tag of the first segment of the written wire
// `index`, less one.
int tagOffset(const std::vector<Written>& written, std::size_t index)
{
    int offset = 0;
    for (std::size_t i = 0; i < index && i < written.size(); ++i) {
        offset += written[i].tag == written[index].tag ? written[i].segments : 0;
    }
    return offset;
}

// The same for the first of the match's element wires.
int matchOffset(const std::vector<Written>& written)
{
    const auto ours = std::find_if(written.begin(), written.end(), [](const Written& x) { return x.userWire < 0; });
    return tagOffset(written, static_cast<std::size_t>(ours - written.begin()));
}

// An LD card on one segment, its impedance `share` times the card's: R and
// L (or R and X) multiplied, C divided; a conductivity (type 5) as it is.
std::string loadLine(const Card& card, int tag, int segment, double share)
{
    const int type = static_cast<int>(std::lround(card.fields.empty() ? 0 : card.fields[0]));
    std::array<double, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        values[i] = i + 4 < card.fields.size() ? card.fields[i + 4] : 0;
    }
    if (type != 5) {
        values[0] *= share;
        values[1] *= share;
        if (type != 4 && values[2] != 0) {
            values[2] /= share;
        }
    }
    return "LD " + std::to_string(type) + " " + std::to_string(tag) + " " + std::to_string(segment) + " "
        + std::to_string(segment) + " " + number(values[0]) + " " + number(values[1]) + " " + number(values[2]) + "\n";
}

// The segments of the match's element, numbered within its tag after
// `offset`, that take a user's load whose segment is centred at `centre`:
// a lumped load the one segment holding that point on each wire along the
// element (not the spokes), a load per metre every segment within
// `halfSpan` of it.
std::vector<int> elementSegmentsAt(
    const DrivenCards& driven, const Point& centre, double halfSpan, bool lumped, int offset)
{
    std::vector<int> hits;
    int number = offset;
    for (const Wire& e : driven.wires) {
        const Point direction = sub(e.to, e.from);
        const double length = norm(direction);
        if (std::abs(dot(direction, driven.along)) > 0.99 * length) { // not a spoke
            const double sign = dot(direction, driven.along) > 0 ? 1 : -1;
            const double start = dot(sub(centre, e.from), driven.along) * sign; // centre, from e.from
            for (int k = 0; k < e.segments; ++k) {
                const double from = length * k / e.segments;
                const double to = length * (k + 1) / e.segments;
                const bool inside
                    = lumped ? (start >= from && start < to) : std::abs((from + to) / 2 - start) < halfSpan;
                if (inside) {
                    hits.push_back(number + k + 1);
                }
            }
        }
        number += e.segments;
    }
    return hits;
}

// The user's LD card for the deck written. Loads on the whole structure or
// a whole tag as written; loads on given segments move with them: on the
// user's wires to the same place among finer segments (a series load split
// over them, a parallel one, a trap, whole on the first), and where the
// match's element replaced the user's wires, by position onto it. A lumped
// load goes on the segment beside the user's segment's centre; on a cage
// of n wires each wire gets n times the impedance, so that together they
// carry the user's. A load per metre covers the segments within the user's.
std::string placedLoads(const UserDeck& deck, const Card& card, const DrivenCards& driven, int scale)
{
    const auto loaded = loadedSegments(card);
    if (!loaded || loaded->tag == 0 || (driven.wires.empty() && scale == 1)) {
        return card.text + "\n";
    }
    const auto [tag, first, last] = *loaded;
    const int type = static_cast<int>(std::lround(card.fields.front()));
    const bool lumped = type == 0 || type == 1 || type == 4;
    const std::vector<Written> written = writtenWires(deck, driven, scale);
    const int elementTag = deck.wires[static_cast<std::size_t>(deck.drivenWire)].tag;
    const int ourOffset = matchOffset(written);
    std::string text;
    for (int s = first; s <= last; ++s) {
        const auto at = segmentOfTag(deck, tag, s);
        if (!at) {
            return card.text + "\n"; // beyond the tag: NEC's own complaint, as the user wrote it
        }
        const int wireIndex = at->first;
        const int local = at->second;
        const Wire& w = deck.wires[static_cast<std::size_t>(wireIndex)];
        if (!replaced(deck, driven, static_cast<std::size_t>(wireIndex))) {
            const auto index = static_cast<std::size_t>(
                std::find_if(written.begin(), written.end(), [&](const Written& x) { return x.userWire == wireIndex; })
                - written.begin());
            const int offset = tagOffset(written, index);
            const int pieces = type == 1 ? 1 : scale;
            for (int k = 0; k < pieces; ++k) {
                text += loadLine(card, w.tag, offset + (local - 1) * scale + k + 1, lumped ? 1.0 / pieces : 1.0);
            }
            continue;
        }
        // Along the match's element: the span of the user's segment.
        const Point segment = scaled(sub(w.to, w.from), 1.0 / w.segments);
        const Point centre = add(w.from, scaled(segment, local - 0.5));
        const double halfSpan = std::abs(dot(segment, driven.along)) / 2;
        const std::vector<int> hits = elementSegmentsAt(driven, centre, halfSpan, lumped, ourOffset);
        // The cage's wires side by side: as many as hit one place.
        const double share = lumped ? static_cast<double>(hits.size()) : (type == 5 ? 1.0 : driven.parallel);
        for (const int hit : hits) {
            text += loadLine(card, elementTag, hit, share);
        }
    }
    return text;
}

// The correction's segments numbered within the element's tag as written:
// after the user's wires of that tag before the match's element.
std::vector<int> correctionsOfTag(const UserDeck& deck, const DrivenCards& driven, int scale)
{
    if (driven.wires.empty()) {
        return driven.correctionSegments; // the bare element: the source's segment
    }
    const int offset = matchOffset(writtenWires(deck, driven, scale));
    std::vector<int> segments = driven.correctionSegments;
    for (int& segment : segments) {
        segment += offset;
    }
    return segments;
}

// The element's correction in the user's deck as run; none in free space.
std::string userCorrectionCards(const UserDeck& deck, const DrivenCards& driven, const UserDeckRun& run, int scale)
{
    if (run.freeSpace) {
        return {};
    }
    return correctionCards(deck.wires[static_cast<std::size_t>(deck.drivenWire)].tag,
        correctionsOfTag(deck, driven, scale),
        run.match != nullptr ? run.match->elementCorrection : run.bareCorrection);
}

// The GW cards of the user's wire `wire` in a deck written: the match's
// element for the driven wire, nothing for a wire it replaces, the wire cut
// finer for a halved run, else the user's own card (`card`, when the wire
// is one GW card's) or the wire as NEC-2 built it.
std::string wireLines(
    const UserDeck& deck, const DrivenCards& driven, int segmentScale, std::size_t wire, const Card* card)
{
    if (wire == static_cast<std::size_t>(deck.drivenWire)) {
        return driven.text;
    }
    if (replaced(deck, driven, wire)) {
        return {}; // the match's element stands in for it
    }
    if (segmentScale == 1 && card != nullptr) {
        return card->text + "\n";
    }
    Wire w = deck.wires[wire];
    w.segments *= segmentScale;
    return gwLine(w, deck.wireScale[wire]) + "\n";
}

// The match's capacitor in the user's deck (none for the bare element).
Outcome<CapacitorCards> userCapacitorCards(
    const UserDeck& deck, const UserDeckRun& run, const DrivenCards& driven, const Segmentation& cut)
{
    if (run.match == nullptr) {
        return CapacitorCards{};
    }
    return capacitorCards(*run.match, driven.capacitorTag, driven.capacitorSegment, spareTag(deck),
        farPoint(deck, cut.freqMhz), deck.wireScale[static_cast<std::size_t>(deck.drivenWire)], cut.freqMhz);
}

} // namespace

std::string bareDipoleDeck(double length, double diameter, const Segmentation& cut, const Controls& controls,
    std::complex<double> elementCorrection)
{
    const Wire wire = tubeWire(length, diameter, cut);
    const int centre = wire.segments / 2 + 1;
    return "CM straight tube, centre fed\nCE\n" + gwLine(wire, 1) + "\nGE 0\nEK\n" + sourceCard(1, centre)
        + correctionCards(1, {centre}, elementCorrection) + controlCards(controls) + "EN\n";
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
    std::string text = "CM straight tube with a gamma match\n";
    if (match.capacitorAt == CapacitorAt::Tube && match.capacitancePf > 0) {
        text += "CM the capacitor: the rod in its tube, a line (TL) to the open end on tag 5\n";
    }
    text += "CE\n";
    for (const Wire& wire : made.wires) {
        text += gwLine(wire, 1) + "\n";
    }
    const Wire& source = made.wires[static_cast<std::size_t>(made.sourceWire)];
    const Wire& capacitor = made.wires[static_cast<std::size_t>(made.capacitorWire)];
    // Ten wavelengths or ten element lengths above the element.
    const Point far{0, 0, 10 * std::max(length, physics::wavelengthMetres(cut.freqMhz))};
    const auto cards = capacitorCards(match, capacitor.tag, made.capacitorSegment, 5, far, 1, cut.freqMhz);
    if (const auto* failure = std::get_if<NecFailure>(&cards)) {
        return *failure;
    }
    const auto& c = std::get<CapacitorCards>(cards);
    return text + c.wire + "GE 0\nEK\n" + sourceCard(source.tag, made.sourceSegment) + c.loads
        + correctionCards(1, correctionSegments(made), match.elementCorrection) + c.network + controlCards(controls)
        + "EN\n";
}

Outcome<std::string> userDeck(const UserDeck& deck, const UserDeckRun& run, const Segmentation& cut)
{
    auto made = drivenCards(deck, run, cut);
    if (const auto* failure = std::get_if<NecFailure>(&made)) {
        return *failure;
    }
    auto& driven = std::get<DrivenCards>(made);
    auto cards = userCapacitorCards(deck, run, driven, cut);
    if (const auto* failure = std::get_if<NecFailure>(&cards)) {
        return *failure;
    }
    const auto& capacitor = std::get<CapacitorCards>(cards);
    driven.text += capacitor.wire;
    std::string text;
    bool commented = false;
    bool designRun = false;
    std::size_t wireIndex = 0;
    // NEC takes a run of LD cards as the structure's loading, and a later
    // run, after any other card, as a new loading in its place: the user's
    // loads, moved, and the capacitor go together in one run, where the
    // first of the user's LD cards or the source stood.
    std::string loads;
    for (const Card& card : deck.cards) {
        if (cardReading(card.name) == CardReading::Load && !run.freeSpace) {
            loads += placedLoads(deck, card, driven, cut.segmentScale);
        }
    }
    loads += capacitor.loads;
    loads += userCorrectionCards(deck, driven, run, cut.segmentScale);
    loads += capacitor.network;
    for (const Card& card : deck.cards) {
        const CardWriting writing = cardWriting(card.name);
        if (writing == CardWriting::Comment) {
            commented = true;
            text += card.text + "\n";
            continue;
        }
        if (!commented) {
            text += "CE\n";
            commented = true;
        }
        switch (writing) {
        case CardWriting::Wire:
        case CardWriting::Generator:
            if (!deck.wiresWrittenOut) {
                text += wireLines(deck, driven, cut.segmentScale, wireIndex, &card);
                ++wireIndex;
            } else if (wireIndex == 0) {
                // Every wire as NEC-2 built it, where the first geometry card stood.
                for (; wireIndex < deck.wires.size(); ++wireIndex) {
                    text += wireLines(deck, driven, cut.segmentScale, wireIndex, nullptr);
                }
            }
            break;
        case CardWriting::Scale:
            if (!deck.wiresWrittenOut) {
                text += card.text + "\n";
            }
            break;
        case CardWriting::GeometryEnd:
            text += run.freeSpace ? "GE 0\n" : card.text + "\n";
            text += "EK\n";
            break;
        case CardWriting::Source:
            text += std::exchange(loads, std::string()) + sourceCard(driven.sourceTag, driven.sourceSegment);
            break;
        case CardWriting::Environment:
            if (cardReading(card.name) == CardReading::Load) {
                text += std::exchange(loads, std::string());
            } else if (!run.freeSpace) {
                text += card.text + "\n";
            }
            break;
        case CardWriting::UserControl:
            if (run.keepUserControls) {
                // First a run at the design frequency, then the user's own.
                if (!designRun) {
                    text += controlCards(Controls{{cut.freqMhz}, false});
                    designRun = true;
                }
                text += card.text + "\n";
            }
            break;
        case CardWriting::Kept:
            text += card.text + "\n";
            break;
        case CardWriting::Comment:
        case CardWriting::Dropped:
        case CardWriting::End: // the deck read stops at EN
        case CardWriting::Never:
            break;
        }
    }
    if (!run.keepUserControls) {
        text += controlCards(run.controls);
    } else if (!designRun) {
        text += controlCards(Controls{{cut.freqMhz}, false});
    }
    return text + "EN\n";
}

} // namespace vostrel::nec

namespace vostrel::nec {

std::string userFrequencies(const UserDeck& deck, double freqMhz)
{
    std::string ranges;
    bool differs = false;
    for (const Card& card : deck.cards) {
        if (card.name != "FR") {
            continue;
        }
        const auto at = [&](std::size_t i) { return i < card.fields.size() ? card.fields[i] : 0.0; };
        const int count = std::max(1, static_cast<int>(std::lround(at(1))));
        const double from = at(4);
        // FR type 1 steps by multiplying, type 0 by adding.
        const double to = std::lround(at(0)) == 1 ? from * std::pow(at(5), count - 1) : from + at(5) * (count - 1);
        differs = differs || count > 1 || std::abs(from - freqMhz) > 1e-9 * freqMhz;
        ranges
            += (ranges.empty() ? "" : ", ") + number(from) + (count > 1 ? " to " + number(to) : std::string()) + " MHz";
    }
    return differs ? "the deck's own FR cards ask for " + ranges : std::string();
}

} // namespace vostrel::nec
