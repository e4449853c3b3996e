// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vostrel {

// A plain decimal number held exactly: units * 10^-scale.
struct Decimal {
    std::int64_t units = 0;
    int scale = 0; // 0 or more: parseDecimal and finestStep never give less
};

// Reads "-144", "0.5", "+28.125": an optional sign, digits with at most one
// "." and at most 9 digits after it, at most 15 digits in all. Returns
// nothing for anything else, so a range never starts from a rounded value.
//   "144.5" -> {1445, 1}    "-0.05" -> {-5, 2}    "1e3" -> nothing
std::optional<Decimal> parseDecimal(std::string_view text);

// The decimal as plain text, without trailing zeros; `value.scale` >= 0.
//   {1445, 1} -> "144.5"    {-5, 2} -> "-0.05"    {1000, 0} -> "1000"    {10, 5} -> "0.0001"
std::string toText(Decimal value);

// The decimal's value, rounded once to a double.
double toDouble(Decimal value);

// The magnitude of whichever of the two is further from 0.
//   {-5, 0}, {3, 0} -> {5, 0}    {1445, 1}, {148, 0} -> {148, 0}
Decimal largestMagnitude(Decimal a, Decimal b);

// The finest step whose frequencies from `from` to `to` the chart can still
// tell apart: each row's frequency becomes the nearest single-precision
// number and is shown in seven significant digits, so neighbouring rows
// need the larger of the seventh digit's place and the float spacing at the
// largest magnitude of the range (rounded up to 1 or 2 in that place).
//   144, 148          -> 0.0001
//   1, 1000000000     -> 1000
//   0.1357, 0.1378    -> 0.0000001
//   -7, 7             -> 0.000001
//   0, 0              -> 0 (a single frequency: any step)
Decimal finestStep(Decimal from, Decimal to);

// Walks from `from` to `to` (included when a step lands on it) in steps of
// `step`, in exact decimal arithmetic: no drift however many steps.
//   144, 148, 0.5 -> "144", "144.5", ..., "148" (9 values)
//   1, 2, 0.3     -> "1", "1.3", "1.6", "1.9"
class DecimalRange {
public:
    // Nothing when step is not positive, to is below from, or a value needs
    // more than 18 digits at the finest of the three scales.
    static std::optional<DecimalRange> make(Decimal from, Decimal to, Decimal step);

    // How many values are left, the one next() gives first included.
    std::int64_t size() const;

    // The next value as text ("144.5", "-0.05"), or nothing past the end.
    std::optional<std::string> next();

private:
    DecimalRange(std::int64_t current, std::int64_t to, std::int64_t step, int scale);

    std::int64_t m_current;
    std::int64_t m_to;
    std::int64_t m_step;
    int m_scale;
};

} // namespace vostrel
