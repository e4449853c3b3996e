// SPDX-License-Identifier: GPL-3.0-or-later
#include "plain_number.h"

#include "double_chars.h"

#include <algorithm>
#include <cmath>

namespace vostrel {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t& i)
{
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i - start;
}

// The number rewritten for readDouble(): no "+", "." for the separator. Empty
// when the text is not of the grammar; `exponentStart` is where the
// exponent begins in the rewritten text (its size without one).
struct Normalised {
    std::string text;
    std::size_t exponentStart = 0;
};

std::optional<Normalised> normalise(std::string_view text, std::string_view separator)
{
    Normalised out;
    std::size_t i = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        if (text[0] == '-') {
            out.text += '-';
        }
        ++i;
    }
    std::size_t start = i;
    std::size_t digits = skipDigits(text, i);
    out.text.append(text.substr(start, i - start));
    if (text.substr(i).starts_with(separator)) {
        i += separator.size();
        out.text += '.';
        start = i;
        digits += skipDigits(text, i);
        out.text.append(text.substr(start, i - start));
    }
    if (digits == 0) {
        return std::nullopt;
    }
    out.exponentStart = out.text.size();
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        start = i;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (skipDigits(text, i) == 0) {
            return std::nullopt;
        }
        out.text.append(text.substr(start, i - start));
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    return out;
}

// For a number out of the double range: whether it is beyond the largest
// (true) or below the smallest (false), from the decimal order of its
// first non-zero digit. Only called for texts with a non-zero digit.
bool beyondLargest(const Normalised& number)
{
    const std::string_view text = number.text;
    const std::string_view mantissa = text.substr(0, number.exponentStart);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    long long order
        = first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point);
    if (number.exponentStart < text.size()) {
        std::string_view exponent = text.substr(number.exponentStart + 1);
        const bool negative = exponent.starts_with('-');
        if (exponent.starts_with('-') || exponent.starts_with('+')) {
            exponent.remove_prefix(1);
        }
        long long value = 0;
        for (const char c : exponent) {
            value = std::min(value * 10 + (c - '0'), 1'000'000'000LL); // saturates: only its side matters
        }
        order += negative ? -value : value;
    }
    return order > 0;
}

} // namespace

std::variant<double, NumberRefusal> readPlainNumber(std::string_view text, const NumberFormat& format)
{
    if (text.empty()) {
        return NumberRefusal::Empty;
    }
    const std::string_view separator = usableSeparator(format);
    const auto number = normalise(text, separator);
    if (!number) {
        const std::string_view other = separator == "," ? "." : ",";
        if (text.find(other) != std::string_view::npos) {
            // "1.000" in a comma locale, "1,5" on a command line: a thousands
            // separator or the other notation, never to be guessed.
            std::string without(text);
            std::erase(without, other[0]);
            if (normalise(without, separator)) {
                return NumberRefusal::GroupSeparator;
            }
        }
        return NumberRefusal::NotANumber;
    }
    const auto value = readDouble(number->text);
    if (!value) { // the grammar is checked: only the range is left to refuse
        return beyondLargest(*number) ? NumberRefusal::TooLarge : NumberRefusal::TooSmall;
    }
    return *value;
}

std::optional<double> plainNumber(std::string_view text, const NumberFormat& format)
{
    const auto read = readPlainNumber(text, format);
    if (const auto* value = std::get_if<double>(&read)) {
        return *value;
    }
    return std::nullopt;
}

std::string refusalText(NumberRefusal why, const NumberFormat& format)
{
    switch (why) {
    case NumberRefusal::Empty:
        return "is empty";
    case NumberRefusal::NotANumber:
        break;
    case NumberRefusal::GroupSeparator: {
        const std::string separator(usableSeparator(format));
        return "is not a number here: decimals take \"" + separator + "\" and numbers have no thousands separator (1"
            + separator + "5 or 1500)";
    }
    case NumberRefusal::TooLarge:
        return "is too large";
    case NumberRefusal::TooSmall:
        return "is too close to 0";
    }
    return "is not a number";
}

} // namespace vostrel
