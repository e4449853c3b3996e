// SPDX-License-Identifier: GPL-3.0-or-later
#include "double_chars.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

namespace vostrel {
namespace {

// A non-negative whole number of any size, 32 bits a limb, least
// significant first, without leading zero limbs (zero has none).
class BigNumber {
public:
    explicit BigNumber(std::uint64_t value = 0)
    {
        while (value != 0) {
            m_limbs.push_back(static_cast<std::uint32_t>(value));
            value >>= 32U;
        }
    }

    bool isZero() const { return m_limbs.empty(); }

    std::size_t bitLength() const
    {
        if (m_limbs.empty()) {
            return 0;
        }
        std::size_t bits = 32 * (m_limbs.size() - 1);
        for (std::uint32_t top = m_limbs.back(); top != 0; top >>= 1U) {
            ++bits;
        }
        return bits;
    }

    // *this = *this * factor + addend
    void multiplyAdd(std::uint32_t factor, std::uint32_t addend)
    {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : m_limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32U;
        }
        if (carry != 0) {
            m_limbs.push_back(static_cast<std::uint32_t>(carry));
        }
    }

    void multiplyPower(std::uint32_t base, std::uint32_t chunkPower, int chunkExponent, int exponent)
    {
        for (; exponent >= chunkExponent; exponent -= chunkExponent) {
            multiplyAdd(chunkPower, 0);
        }
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent) {
            rest *= base;
        }
        multiplyAdd(rest, 0);
    }
    void multiplyPowerOfTen(int exponent) { multiplyPower(10, 1'000'000'000, 9, exponent); }
    void multiplyPowerOfFive(int exponent) { multiplyPower(5, 1'220'703'125, 13, exponent); }

    // Divides by `divisor` and returns the remainder.
    std::uint32_t divide(std::uint32_t divisor)
    {
        std::uint64_t remainder = 0;
        for (std::size_t i = m_limbs.size(); i-- > 0;) { // most significant first
            const std::uint64_t current = (remainder << 32U) | m_limbs[i];
            m_limbs[i] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        trim();
        return static_cast<std::uint32_t>(remainder);
    }

    void shiftLeft(std::size_t bits)
    {
        if (isZero() || bits == 0) {
            return;
        }
        const std::size_t whole = bits / 32;
        const auto part = static_cast<unsigned>(bits % 32);
        if (part != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : m_limbs) {
                const std::uint32_t next = limb >> (32U - part);
                limb = (limb << part) | carry;
                carry = next;
            }
            if (carry != 0) {
                m_limbs.push_back(carry);
            }
        }
        m_limbs.insert(m_limbs.begin(), whole, 0);
    }

    void shiftRightOne()
    {
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            const std::uint32_t high = i + 1 < m_limbs.size() ? m_limbs[i + 1] << 31U : 0;
            m_limbs[i] = (m_limbs[i] >> 1U) | high;
        }
        trim();
    }

    // *this -= other, other <= *this
    void subtract(const BigNumber& other)
    {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            std::int64_t difference = std::int64_t{m_limbs[i]} - borrow;
            if (i < other.m_limbs.size()) {
                difference -= other.m_limbs[i];
            }
            borrow = difference < 0 ? 1 : 0;
            m_limbs[i] = static_cast<std::uint32_t>(difference + (borrow << 32U));
        }
        trim();
    }

    friend int compare(const BigNumber& a, const BigNumber& b)
    {
        if (a.m_limbs.size() != b.m_limbs.size()) {
            return a.m_limbs.size() < b.m_limbs.size() ? -1 : 1;
        }
        for (std::size_t i = a.m_limbs.size(); i-- > 0;) {
            if (a.m_limbs[i] != b.m_limbs[i]) {
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
            }
        }
        return 0;
    }

    // The decimal digits, most significant first ("" for zero).
    std::string decimalDigits() const
    {
        BigNumber rest = *this;
        std::string reversed;
        while (!rest.isZero()) {
            std::uint32_t chunk = rest.divide(1'000'000'000);
            for (int i = 0; i < 9; ++i) {
                reversed.push_back(static_cast<char>('0' + chunk % 10));
                chunk /= 10;
            }
        }
        while (!reversed.empty() && reversed.back() == '0') {
            reversed.pop_back(); // the leading zeros of the top chunk
        }
        return {reversed.rbegin(), reversed.rend()};
    }

private:
    void trim()
    {
        while (!m_limbs.empty() && m_limbs.back() == 0) {
            m_limbs.pop_back();
        }
    }

    std::vector<std::uint32_t> m_limbs;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Every double and every midpoint between two neighbouring doubles has at
// most 768 significant decimal digits, so past the first 800 digits only
// whether any is non-zero counts: keeping 800 and a final 1 for "something
// non-zero followed" leaves the number on the same side of every midpoint.
constexpr std::size_t kKeptDigits = 800;
// A written exponent beyond this is held at it: the result is long since
// out of range either way, and adding the digits' scale cannot overflow.
constexpr std::int64_t kExponentLimit = 1'000'000'000'000;

// The significant digits of a decimal number and where its point goes:
// value = digits * 10^scale.
struct Decimal {
    std::string digits;
    std::int64_t scale = 0;
    bool negative = false;
};

// An exponent's optional sign and its digits from text[i], just after the
// "e"; nothing without a digit. Leaves i after them.
std::optional<std::int64_t> scanExponent(std::string_view text, std::size_t& i)
{
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || !isDigit(text[i])) {
        return std::nullopt;
    }
    std::int64_t exponent = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentLimit);
    }
    return negative ? -exponent : exponent;
}

std::optional<Decimal> scanDecimal(std::string_view text)
{
    Decimal number;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        number.negative = true;
        ++i;
    }
    bool anyDigit = false;
    bool afterPoint = false;
    bool droppedNonZero = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            anyDigit = true;
            if (number.digits.empty() && c == '0') {
                number.scale -= afterPoint ? 1 : 0;
            } else if (number.digits.size() < kKeptDigits) {
                number.digits.push_back(c);
                number.scale -= afterPoint ? 1 : 0;
            } else {
                droppedNonZero = droppedNonZero || c != '0';
                number.scale += afterPoint ? 0 : 1;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const std::optional<std::int64_t> exponent = scanExponent(text, ++i);
        if (!exponent) {
            return std::nullopt;
        }
        number.scale += *exponent;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    if (droppedNonZero) {
        number.digits.push_back('1');
        number.scale -= 1;
    }
    while (!number.digits.empty() && number.digits.back() == '0') {
        number.digits.pop_back();
        number.scale += 1;
    }
    return number;
}

// What differs between float and double for reading.
template <typename Float> struct Format {
    static constexpr int kPrecision = std::numeric_limits<Float>::digits; // bits, the leading one included
    static constexpr int kMinUlpExponent = std::numeric_limits<Float>::min_exponent - kPrecision;
    // Decimal magnitudes (value in [10^(m-1), 10^m)) certainly out of range.
    static constexpr std::int64_t kTooLarge = std::numeric_limits<Float>::max_exponent10 + 2;
    static constexpr std::int64_t kTooSmall = std::numeric_limits<Float>::min_exponent10 - kPrecision / 3 - 3;
    // Clinger's fast path: digits and powers of ten exact in Float.
    static constexpr std::size_t kFastDigits = std::numeric_limits<Float>::digits10;
    static constexpr std::int64_t kFastScale = std::is_same_v<Float, float> ? 10 : 22;
};

template <typename Float> std::optional<Float> nearest(const Decimal& number)
{
    using F = Format<Float>;
    const Float zero = number.negative ? -Float{0} : Float{0};
    if (number.digits.empty()) {
        return zero;
    }
    const std::int64_t magnitude = static_cast<std::int64_t>(number.digits.size()) + number.scale;
    if (magnitude > F::kTooLarge || magnitude < F::kTooSmall) {
        return std::nullopt;
    }

    if (number.digits.size() <= F::kFastDigits && number.scale >= -F::kFastScale && number.scale <= F::kFastScale) {
        std::uint64_t whole = 0;
        for (const char c : number.digits) {
            whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
        }
        Float power = 1;
        for (std::int64_t i = 0; i < std::abs(number.scale); ++i) {
            power *= 10;
        }
        // Both operands are exact, so the one operation rounds once.
        const auto digits = static_cast<Float>(whole);
        const Float value = number.scale >= 0 ? digits * power : digits / power;
        return number.negative ? -value : value;
    }

    // value = numerator / denominator exactly.
    BigNumber numerator;
    for (const char c : number.digits) {
        numerator.multiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
    }
    BigNumber denominator(1);
    if (number.scale >= 0) {
        numerator.multiplyPowerOfTen(static_cast<int>(number.scale));
    } else {
        denominator.multiplyPowerOfTen(static_cast<int>(-number.scale));
    }

    // 2^binary <= value < 2^(binary + 1)
    auto binary = static_cast<std::int64_t>(numerator.bitLength()) - static_cast<std::int64_t>(denominator.bitLength());
    {
        BigNumber a = numerator;
        BigNumber b = denominator;
        if (binary >= 0) {
            b.shiftLeft(static_cast<std::size_t>(binary));
        } else {
            a.shiftLeft(static_cast<std::size_t>(-binary));
        }
        if (compare(a, b) < 0) {
            --binary;
        }
    }

    // The last bit kept is worth 2^ulp: fewer bits below the normal range.
    const std::int64_t ulp = std::max<std::int64_t>(binary - (F::kPrecision - 1), F::kMinUlpExponent);
    if (ulp < 0) {
        numerator.shiftLeft(static_cast<std::size_t>(-ulp));
    } else {
        denominator.shiftLeft(static_cast<std::size_t>(ulp));
    }

    // quotient = floor(value / 2^ulp) < 2^precision, one bit at a time.
    std::uint64_t quotient = 0;
    BigNumber step = denominator;
    step.shiftLeft(F::kPrecision - 1);
    for (int bit = F::kPrecision - 1; bit >= 0; --bit) {
        if (compare(numerator, step) >= 0) {
            numerator.subtract(step);
            quotient |= std::uint64_t{1} << static_cast<unsigned>(bit);
        }
        step.shiftRightOne();
    }
    numerator.shiftLeft(1); // twice the remainder against the divisor
    const int half = compare(numerator, denominator);
    if (half > 0 || (half == 0 && (quotient & 1U) != 0)) {
        ++quotient;
    }

    const Float value = std::ldexp(static_cast<Float>(quotient), static_cast<int>(ulp));
    if (value == 0 || std::isinf(value)) {
        return std::nullopt;
    }
    return number.negative ? -value : value;
}

// The exact decimal expansion of a positive finite double:
// value = 0.d1 d2 d3 ... * 10^(point), d1 non-zero, no trailing zeros.
struct Expansion {
    std::string digits;
    int point = 0;
};

Expansion expand(double value)
{
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53; // value = mantissa * 2^exponent
    BigNumber whole(mantissa);
    int scale = 0; // value = whole * 10^scale
    if (exponent >= 0) {
        whole.shiftLeft(static_cast<std::size_t>(exponent));
    } else {
        whole.multiplyPowerOfFive(-exponent); // m / 2^k = m * 5^k / 10^k
        scale = exponent;
    }
    Expansion result;
    result.digits = whole.decimalDigits();
    result.point = static_cast<int>(result.digits.size()) + scale;
    while (result.digits.back() == '0') {
        result.digits.pop_back();
    }
    return result;
}

// `kept` digits of the expansion (kept may be 0 or less), rounded to
// nearest with ties to even; a carry out of the first digit moves the point.
Expansion roundTo(const Expansion& exact, int kept)
{
    Expansion result;
    result.point = exact.point;
    if (kept < 0) {
        return result;
    }
    const auto keep = static_cast<std::size_t>(kept);
    result.digits = exact.digits.substr(0, std::min(keep, exact.digits.size()));
    result.digits.resize(keep, '0');
    if (keep >= exact.digits.size()) {
        return result;
    }
    const char next = exact.digits[keep];
    const bool moreAfter = keep + 1 < exact.digits.size(); // no trailing zeros: any digit after is non-zero
    const bool lastOdd = keep > 0 && (result.digits.back() - '0') % 2 != 0;
    if (next > '5' || (next == '5' && (moreAfter || lastOdd))) {
        std::size_t i = keep;
        while (i > 0 && result.digits[i - 1] == '9') {
            result.digits[--i] = '0';
        }
        if (i == 0) { // all nines: 10...0 with one digit more before the point
            result.digits.assign(std::max<std::size_t>(keep, 1), '0');
            result.digits.front() = '1';
            result.point += 1;
        } else {
            ++result.digits[i - 1];
        }
    }
    return result;
}

std::string specialText(double value)
{
    if (std::isnan(value)) {
        return std::signbit(value) ? "-nan" : "nan";
    }
    return value > 0 ? "inf" : "-inf";
}

std::string exponentText(int exponent)
{
    std::string text(1, exponent < 0 ? '-' : '+');
    const std::string digits = std::to_string(std::abs(exponent));
    if (digits.size() < 2) {
        text.push_back('0');
    }
    return text + digits;
}

// d1.d2d3...e+XX from significant digits and the decimal exponent of d1.
std::string scientificForm(const std::string& digits, int exponent)
{
    std::string text(1, digits.empty() ? '0' : digits[0]);
    if (digits.size() > 1) {
        text.push_back('.');
        text.append(digits, 1);
    }
    return text + "e" + exponentText(exponent);
}

// Plain form of 0.digits * 10^point.
std::string plainForm(const std::string& digits, int point)
{
    if (point <= 0) {
        return "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    }
    const auto integerDigits = static_cast<std::size_t>(point);
    if (digits.size() <= integerDigits) {
        return digits + std::string(integerDigits - digits.size(), '0');
    }
    return digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

std::string stripTrailingZeros(std::string digits)
{
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    return digits;
}

// The p-digit neighbour of `rounded` on the other side of the value: one
// unit in the last place less or more.
Expansion otherNeighbour(const Expansion& exact, const Expansion& rounded, int kept)
{
    Expansion truncated;
    truncated.point = exact.point;
    truncated.digits = exact.digits.substr(0, static_cast<std::size_t>(kept));
    truncated.digits.resize(static_cast<std::size_t>(kept), '0');
    if (truncated.digits != rounded.digits || truncated.point != rounded.point) {
        return truncated; // rounded went up; the other one is below
    }
    Expansion up = truncated; // rounded went down; add one unit
    std::size_t i = up.digits.size();
    while (i > 0 && up.digits[i - 1] == '9') {
        up.digits[--i] = '0';
    }
    if (i == 0) {
        up.digits.front() = '1'; // the rest are zeros already
        up.point += 1;
    } else {
        ++up.digits[i - 1];
    }
    return up;
}

} // namespace

std::optional<double> readDouble(std::string_view text)
{
    const std::optional<Decimal> number = scanDecimal(text);
    return number ? nearest<double>(*number) : std::nullopt;
}

std::optional<float> readFloat(std::string_view text)
{
    const std::optional<Decimal> number = scanDecimal(text);
    return number ? nearest<float>(*number) : std::nullopt;
}

std::string shortestText(double value)
{
    if (!std::isfinite(value)) {
        return specialText(value);
    }
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0) {
        return sign + "0";
    }
    const double magnitude = std::fabs(value);
    const Expansion exact = expand(magnitude);
    Expansion found = exact;
    for (int kept = 1; kept <= 17; ++kept) {
        const Expansion rounded = roundTo(exact, kept);
        const auto readsBack
            = [&](const Expansion& e) { return readDouble(scientificForm(e.digits, e.point - 1)) == magnitude; };
        if (readsBack(rounded)) {
            found = rounded;
            break;
        }
        const Expansion other = otherNeighbour(exact, rounded, kept);
        if (readsBack(other)) {
            found = other;
            break;
        }
    }
    const std::string digits = stripTrailingZeros(found.digits);
    const std::string scientific = scientificForm(digits, found.point - 1);
    if (found.point > static_cast<int>(digits.size()) && found.point == exact.point
        && exact.point >= static_cast<int>(exact.digits.size())) {
        // A whole number in plain form is written exactly, as to_chars
        // does, not with zeros in place of the digits it could drop.
        const std::string whole = plainForm(exact.digits, exact.point);
        return sign + (whole.size() <= scientific.size() ? whole : scientific);
    }
    const std::string plain = plainForm(digits, found.point);
    return sign + (plain.size() <= scientific.size() ? plain : scientific);
}

std::string fixedText(double value, int precision)
{
    if (!std::isfinite(value)) {
        return specialText(value);
    }
    precision = std::max(precision, 0);
    std::string units; // round(|value| * 10^precision) in decimal, "" for 0
    if (value != 0) {
        const Expansion exact = expand(std::fabs(value));
        const Expansion rounded = roundTo(exact, exact.point + precision);
        // A carry out of the first digit adds a digit before the point.
        const int count = rounded.point + precision;
        if (count > 0) {
            units = rounded.digits;
            units.resize(static_cast<std::size_t>(count), '0');
        }
    }
    const auto decimals = static_cast<std::size_t>(precision);
    if (units.size() <= decimals) {
        units.insert(0, decimals + 1 - units.size(), '0');
    }
    std::string text = std::signbit(value) ? "-" : "";
    text.append(units, 0, units.size() - decimals);
    if (decimals > 0) {
        text.push_back('.');
        text.append(units, units.size() - decimals);
    }
    return text;
}

std::string scientificText(double value, int precision)
{
    if (!std::isfinite(value)) {
        return specialText(value);
    }
    precision = std::max(precision, 0);
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0) {
        return sign + scientificForm(std::string(static_cast<std::size_t>(precision) + 1, '0'), 0);
    }
    const Expansion rounded = roundTo(expand(std::fabs(value)), precision + 1);
    return sign + scientificForm(rounded.digits, rounded.point - 1);
}

} // namespace vostrel
