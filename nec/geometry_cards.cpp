// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry_cards.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vostrel::nec {
namespace {

double at(const std::vector<double>& fields, std::size_t index)
{
    return index < fields.size() ? fields[index] : 0.0;
}

int intAt(const std::vector<double>& fields, std::size_t index)
{
    return static_cast<int>(std::lround(at(fields, index)));
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

int raisedTag(int tag, int increment)
{
    return tag == 0 ? 0 : tag + increment;
}

// A rotation and shift of points: rows of the matrix, then the shift.
struct Transform {
    std::array<Point, 3> rows{};
    Point shift{};
    Point operator()(const Point& p) const { return add({dot(rows[0], p), dot(rows[1], p), dot(rows[2], p)}, shift); }
};

// Rotation about X by a, then about Y by b, then about Z by c.
Transform rotation(double a, double b, double c, const Point& shift)
{
    const double sa = std::sin(a);
    const double ca = std::cos(a);
    const double sb = std::sin(b);
    const double cb = std::cos(b);
    const double sc = std::sin(c);
    const double cc = std::cos(c);
    return Transform{{{{cc * cb, cc * sb * sa - sc * ca, cc * sb * ca + sc * sa},
                         {sc * cb, sc * sb * sa + cc * ca, sc * sb * ca - cc * sa}, {-sb, cb * sa, cb * ca}}},
        shift};
}

Wire transformed(const Wire& wire, const Transform& transform, int tagIncrement)
{
    Wire moved = wire;
    moved.from = transform(wire.from);
    moved.to = transform(wire.to);
    moved.tag = raisedTag(wire.tag, tagIncrement);
    return moved;
}

long long segmentsOf(const std::vector<Wire>& wires, std::size_t from = 0)
{
    long long count = 0;
    for (std::size_t i = from; i < wires.size(); ++i) {
        count += wires[i].segments;
    }
    return count;
}

// Refused before a card makes more segments than a deck may have.
std::optional<std::string> tooMany(long long segments)
{
    if (segments <= kMaxSegments) {
        return std::nullopt;
    }
    return "the deck would have " + std::to_string(segments) + " segments, more than the "
        + std::to_string(kMaxSegments) + " the full-wave check takes";
}

} // namespace

std::optional<std::string> tooManySegments(const std::vector<Wire>& wires, long long adding)
{
    return tooMany(segmentsOf(wires) + adding);
}

std::optional<std::string> moveWires(const std::vector<double>& fields, std::vector<Wire>& wires)
{
    const int increment = intAt(fields, 0);
    const int repeats = intAt(fields, 1);
    const int firstTag = intAt(fields, 8);
    if (repeats < 0) {
        return std::string("a GM card needs a number of copies of 0 or more");
    }
    std::size_t first = 0;
    if (firstTag != 0) {
        const auto found = std::find_if(wires.begin(), wires.end(), [&](const Wire& w) { return w.tag == firstTag; });
        if (found == wires.end()) {
            return "a GM card moves the wires from tag " + std::to_string(firstTag) + " on, and no wire has it";
        }
        first = static_cast<std::size_t>(found - wires.begin());
    }
    if (auto refused = tooMany(segmentsOf(wires) + static_cast<long long>(repeats) * segmentsOf(wires, first))) {
        return refused;
    }
    const Transform transform = rotation(radians(at(fields, 2)), radians(at(fields, 3)), radians(at(fields, 4)),
        {at(fields, 5), at(fields, 6), at(fields, 7)});
    if (repeats == 0) {
        for (std::size_t i = first; i < wires.size(); ++i) {
            wires[i] = transformed(wires[i], transform, increment);
        }
        return std::nullopt;
    }
    // Each copy is made from the one before it.
    std::size_t from = first;
    for (int copy = 0; copy < repeats; ++copy) {
        const std::size_t to = wires.size();
        for (std::size_t i = from; i < to; ++i) {
            wires.push_back(transformed(wires[i], transform, increment));
        }
        from = to;
    }
    return std::nullopt;
}

std::optional<std::string> rotateWires(const std::vector<double>& fields, std::vector<Wire>& wires)
{
    const int increment = intAt(fields, 0);
    const int count = intAt(fields, 1);
    if (count < 1) {
        return std::string("a GR card needs the number of times the structure stands, 1 or more");
    }
    if (auto refused = tooMany(segmentsOf(wires) * count)) {
        return refused;
    }
    const double turn = 2 * std::numbers::pi / count;
    const Transform transform = rotation(0, 0, turn, {});
    const std::size_t cell = wires.size();
    for (int copy = 1; copy < count; ++copy) {
        for (std::size_t i = 0; i < cell; ++i) {
            wires.push_back(transformed(wires[wires.size() - cell], transform, increment));
        }
    }
    return std::nullopt;
}

std::optional<std::string> reflectWires(const std::vector<double>& fields, std::vector<Wire>& wires)
{
    int increment = intAt(fields, 0);
    const int planes = intAt(fields, 1);
    const int reflections
        = (planes % 10 != 0 ? 1 : 0) + (planes / 10 % 10 != 0 ? 1 : 0) + (planes / 100 % 10 != 0 ? 1 : 0);
    if (auto refused = tooMany(segmentsOf(wires) << reflections)) {
        return refused;
    }
    // Z first, then Y, then X, as NEC-2 reflects.
    for (const int axis : {2, 1, 0}) {
        const int digit = (planes / (axis == 2 ? 1 : axis == 1 ? 10 : 100)) % 10;
        if (digit == 0) {
            continue;
        }
        const std::size_t count = wires.size();
        for (std::size_t i = 0; i < count; ++i) {
            const double a = wires[i].from[static_cast<std::size_t>(axis)];
            const double b = wires[i].to[static_cast<std::size_t>(axis)];
            // NEC-2's own tolerances, in metres as the card's coordinates are.
            if (std::abs(a) + std::abs(b) <= 1e-5 || a * b < -1e-6) {
                return "a GX card reflects in a plane that wire " + std::to_string(i + 1)
                    + " lies in or crosses: NEC-2 cannot reflect it";
            }
            Wire copy = wires[i];
            copy.from[static_cast<std::size_t>(axis)] = -a;
            copy.to[static_cast<std::size_t>(axis)] = -b;
            copy.tag = raisedTag(copy.tag, increment);
            wires.push_back(copy);
        }
        increment *= 2;
    }
    return std::nullopt;
}

std::optional<std::string> appendArc(const std::vector<double>& fields, std::vector<Wire>& wires)
{
    const int tag = intAt(fields, 0);
    const int segments = intAt(fields, 1);
    const double radius = at(fields, 2);
    const double start = at(fields, 3);
    const double end = at(fields, 4);
    const double wireRadius = at(fields, 5);
    if (segments < 1 || !(radius > 0) || !(wireRadius > 0)) {
        return std::string("a GA card needs 1 segment or more, and an arc and wire radius above 0");
    }
    if (!(std::abs(end - start) < 360.00001)) {
        return std::string("a GA card's arc goes round more than once");
    }
    if (auto refused = tooMany(segmentsOf(wires) + segments)) {
        return refused;
    }
    const double step = radians(end - start) / segments;
    auto point = [&](int k) {
        const double angle = radians(start) + step * k;
        return Point{radius * std::cos(angle), 0, radius * std::sin(angle)};
    };
    for (int k = 0; k < segments; ++k) {
        wires.push_back(Wire{tag, 1, point(k), point(k + 1), wireRadius});
    }
    return std::nullopt;
}

std::optional<std::string> appendHelix(const std::vector<double>& fields, std::vector<Wire>& wires)
{
    const int tag = intAt(fields, 0);
    const int segments = intAt(fields, 1);
    const double spacing = at(fields, 2);
    const double length = at(fields, 3);
    double a1 = at(fields, 4);
    double b1 = at(fields, 5);
    double a2 = at(fields, 6);
    double b2 = at(fields, 7);
    const double wireRadius = at(fields, 8);
    if (segments < 1 || spacing == 0 || length == 0 || !(wireRadius > 0)) {
        return std::string("a GH card needs 1 segment or more, a turn spacing, a length and a wire radius");
    }
    if (a1 < 0 || b1 < 0 || a2 < 0 || b2 < 0) {
        return std::string("a GH card's helix radii cannot be below 0");
    }
    if (auto refused = tooMany(segmentsOf(wires) + segments)) {
        return refused;
    }
    // A helix of one radius takes only A1 and B1; a tapered one goes from
    // A1, B1 to A2, B2 along its length.
    const bool tapered = a2 != a1;
    if (!tapered && b1 == 0) {
        b1 = a1;
    }
    if (tapered && b2 == 0) {
        b2 = a2;
    }
    const double rise = std::abs(length) / segments;
    auto point = [&](int k) {
        const double z = rise * k;
        const double share = tapered ? z / std::abs(length) : 0;
        const double angle = 2 * std::numbers::pi * z / spacing;
        const double x = (a1 + (a2 - a1) * share) * std::cos(angle);
        const double y = (b1 + (b2 - b1) * share) * std::sin(angle);
        return length > 0 ? Point{x, y, z} : Point{y, x, z};
    };
    for (int k = 0; k < segments; ++k) {
        wires.push_back(Wire{tag, 1, point(k), point(k + 1), wireRadius});
    }
    return std::nullopt;
}

std::optional<std::string> appendTapered(const Wire& wire, const std::vector<double>& fields, std::vector<Wire>& wires)
{
    const double growth = at(fields, 2);
    const double firstRadius = at(fields, 3);
    const double lastRadius = at(fields, 4);
    if (wire.segments < 2 || !(growth > 0) || !(firstRadius > 0) || !(lastRadius > 0)) {
        return std::string(
            "a tapered wire (GW of radius 0 and its GC card) needs 2 segments or more, and a length ratio and "
            "radii above 0");
    }
    if (auto refused = tooMany(segmentsOf(wires) + wire.segments)) {
        return refused;
    }
    const Point along = sub(wire.to, wire.from);
    const double n = wire.segments;
    // Segment lengths in a geometric series summing to the wire's length.
    const bool even = std::abs(growth - 1) < 1e-6;
    const double firstShare = even ? 1 / n : (1 - growth) / (1 - std::pow(growth, n));
    const double radiusRatio = std::pow(lastRadius / firstRadius, 1 / (n - 1));
    double share = firstShare;
    double done = 0;
    double radius = firstRadius;
    for (int k = 0; k < wire.segments; ++k) {
        const double next = k + 1 == wire.segments ? 1.0 : done + share;
        wires.push_back(
            Wire{wire.tag, 1, add(wire.from, scaled(along, done)), add(wire.from, scaled(along, next)), radius});
        done = next;
        share *= even ? 1 : growth;
        radius *= radiusRatio;
    }
    return std::nullopt;
}

} // namespace vostrel::nec
