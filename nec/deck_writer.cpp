// SPDX-License-Identifier: GPL-3.0-or-later
#include "deck_writer.h"

#include "cards.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

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

std::string bareDipoleDeck(double length, double diameter, const Segmentation& cut, const Controls& controls)
{
    const Wire wire = tubeWire(length, diameter, cut);
    return "CM straight tube, centre fed\nCE\n" + gwLine(wire, 1) + "\nGE 0\nEK\n"
        + sourceCards(1, wire.segments / 2 + 1, 0) + controlCards(controls) + "EN\n";
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
            break;
        case CardWriting::GeometryEnd:
            text += run.freeSpace ? "GE 0\n" : card.text + "\n";
            text += "EK\n";
            break;
        case CardWriting::Source:
            text += sourceCards(driven.sourceTag, driven.sourceSegment, capacitance);
            break;
        case CardWriting::Environment:
            // The user's network at the feed point is replaced by the match.
            if (!run.freeSpace && !isSourceLoad(deck, card)) {
                text += card.text + "\n";
            }
            break;
        case CardWriting::UserControl:
            if (run.keepUserControls) {
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
    }
    return text + "EN\n";
}

} // namespace vostrel::nec
