#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vostrel::chart {

// A plain decimal number held exactly: units * 10^-scale.
struct Decimal {
    std::int64_t units = 0;
    int scale = 0;
};

// Reads "-144", "0.5", "+28.125": an optional sign, digits with at most one
// "." and at most 9 digits after it, at most 15 digits in all. Returns
// nothing for anything else, so a range never starts from a rounded value.
//   "144.5" -> {1445, 1}    "-0.05" -> {-5, 2}    "1e3" -> nothing
std::optional<Decimal> parseDecimal(std::string_view text);

// Walks from `from` to `to` (included when a step lands on it) in steps of
// `step`, in exact decimal arithmetic: no drift however many steps.
//   144, 148, 0.5 -> "144", "144.5", ..., "148" (9 values)
//   1, 2, 0.3     -> "1", "1.3", "1.6", "1.9"
class DecimalRange {
public:
    // Nothing when step is not positive, to is below from, or a value needs
    // more than 18 digits at the finest of the three scales.
    static std::optional<DecimalRange> make(Decimal from, Decimal to, Decimal step);

    // The next value as text ("144.5", "-0.05"), or nothing past the end.
    std::optional<std::string> next();

private:
    DecimalRange(std::int64_t current, std::int64_t to, std::int64_t step, int scale);

    std::int64_t m_current;
    std::int64_t m_to;
    std::int64_t m_step;
    int m_scale;
};

} // namespace vostrel::chart
