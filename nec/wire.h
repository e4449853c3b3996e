// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cmath>

namespace vostrel::nec {

// Points and wires of a NEC-2 model, in metres, with the little vector
// arithmetic the decks need.

using Point = std::array<double, 3>;

// The most segments a user's deck may have: nec2c's matrix for the halved
// run (twice as many) then takes about 576 MB and minutes to solve.
inline constexpr int kMaxSegments = 3000;

// A GW card.
struct Wire {
    int tag = 0;
    int segments = 0;
    Point from{};
    Point to{};
    double radius = 0;
};

inline Point add(const Point& p, const Point& q)
{
    return {p[0] + q[0], p[1] + q[1], p[2] + q[2]};
}

inline Point sub(const Point& p, const Point& q)
{
    return {p[0] - q[0], p[1] - q[1], p[2] - q[2]};
}

inline Point scaled(const Point& p, double k)
{
    return {p[0] * k, p[1] * k, p[2] * k};
}

inline double dot(const Point& p, const Point& q)
{
    return p[0] * q[0] + p[1] * q[1] + p[2] * q[2];
}

inline double norm(const Point& p)
{
    return std::sqrt(dot(p, p));
}

inline Point cross(const Point& p, const Point& q)
{
    return {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
}

} // namespace vostrel::nec
