// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure_message.h"

#include "utf8.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace vostrel {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the text stops following parseSingle's notation: the index of the
// first byte that cannot stand where it is, text.size() when the text ends
// before a number is complete, or npos when the whole text is a number.
std::size_t firstUnreadable(std::string_view text, std::string_view sep)
{
    std::size_t i = 0;
    const auto skipDigits = [&] {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        return i > start;
    };
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    bool anyDigit = skipDigits();
    if (text.substr(i).starts_with(sep)) {
        i += sep.size();
        anyDigit = skipDigits() || anyDigit;
    }
    if (!anyDigit) {
        return i;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (!skipDigits()) {
            return i;
        }
    }
    const std::size_t blanks = i;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i == text.size()) {
        return std::string_view::npos;
    }
    return i > blanks ? blanks : i; // "14 2" stops at the blank
}

// Upper-case hexadecimal with at least `digits` digits.
std::string hex(std::uint32_t value, std::size_t digits)
{
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value % 16]);
        value /= 16;
    } while (value != 0 || text.size() < digits);
    return text;
}

std::string codePointName(char32_t c)
{
    return "U+" + hex(c, 4);
}

std::string_view invisibleName(char32_t c)
{
    constexpr std::array<std::pair<char32_t, std::string_view>, 10> kNames = {{
        {0x0009, "tab"},
        {0x00A0, "no-break space"},
        {0x00AD, "soft hyphen"},
        {0x2009, "thin space"},
        {0x200B, "zero-width space"},
        {0x200C, "zero-width non-joiner"},
        {0x200D, "zero-width joiner"},
        {0x202F, "narrow no-break space"},
        {0x2060, "word joiner"},
        {0xFEFF, "zero-width no-break space"},
    }};
    for (const auto& [code, name] : kNames) {
        if (code == c) {
            return name;
        }
    }
    return {};
}

// Why the text is not a number, from the byte where reading stops.
std::string unreadableCause(std::string_view text, std::size_t at)
{
    if (at >= text.size()) {
        return "the number ends too early";
    }
    if (isBlank(text[at])) {
        return "a blank inside the number makes the text not a number";
    }
    const Utf8Char c = decodeUtf8(text, at);
    std::string what;
    if (!c.valid) {
        what = "the byte 0x" + hex(static_cast<unsigned char>(text[at]), 2) + ", which is not UTF-8 text,";
    } else if (isInvisible(c.codePoint)) {
        what = "the invisible character " + codePointName(c.codePoint);
        if (const std::string_view name = invisibleName(c.codePoint); !name.empty()) {
            what += " (" + std::string(name) + ")";
        }
    } else {
        what = "the character \"" + std::string(text.substr(at, c.length)) + "\"";
        if (c.codePoint >= 0x80) {
            what += " (" + codePointName(c.codePoint) + ")";
        }
    }
    return what + " makes the text not a number";
}

// "a comma", "a point" or the separator in quotes.
std::string separatorName(std::string_view sep)
{
    if (sep == ",") {
        return "a comma";
    }
    if (sep == ".") {
        return "a point";
    }
    std::string quoted = "\"";
    quoted.append(sep).append("\"");
    return quoted;
}

std::string conversionCause(std::string_view text, std::string_view sep)
{
    if (text.find_first_not_of(" \t") == std::string_view::npos) {
        return "nothing is typed";
    }
    const std::size_t at = firstUnreadable(text, sep);
    if (at == std::string_view::npos) {
        return "the text is not a number";
    }
    return unreadableCause(text, at);
}

// The first separator in the text that is the other usual one: ',' where
// the format writes '.', '.' where it writes anything else.
bool usesOtherSeparator(std::string_view text, std::string_view sep)
{
    const std::size_t at = firstUnreadable(text, sep);
    if (at >= text.size()) {
        return false;
    }
    return sep == "." ? text[at] == ',' : text[at] == '.';
}

// Whether the digits before any exponent hold anything but zeros: such a
// text that parses to 0 was too small, not 0.
bool hasNonZeroDigit(std::string_view text)
{
    for (const char c : text) {
        if (c == 'e' || c == 'E') {
            break;
        }
        if (c >= '1' && c <= '9') {
            return true;
        }
    }
    return false;
}

} // namespace

std::string failureMessage(CalcFailure failure, std::string_view text, const NumberFormat& format)
{
    const std::string_view sep = usableSeparator(format);
    const std::string example = "14" + std::string(sep) + "2";
    const std::string lead = "Type the operating frequency in MHz, for example " + example + ": ";
    const Result<float> parsed = parseSingle(text, format);
    switch (failure) {
    case CalcFailure::ConversionError:
        if (parsed.ok() || parsed.failure() != CalcFailure::ConversionError) {
            return lead + "the text is not a number (conversion error).";
        }
        if (usesOtherSeparator(text, sep)) {
            const std::string name = separatorName(sep);
            if (sep == ".") {
                return "Type the frequency with a point, for example " + example
                    + ": decimals are written with a point here (conversion error).";
            }
            const std::string with = sep == "," ? name : name + " as the decimal separator";
            return "Type the frequency with " + with + ", for example " + example
                + ": this system writes decimals with " + name + " (conversion error).";
        }
        return lead + conversionCause(text, sep) + " (conversion error).";
    case CalcFailure::DivisionByZero:
        if (parsed.ok() && parsed.value() == 0.0F && hasNonZeroDigit(text)) {
            return lead + "the number is too small; it becomes 0 (division by zero).";
        }
        return lead + "the frequency is 0 (division by zero).";
    case CalcFailure::Overflow:
        if (!parsed.ok() && parsed.failure() == CalcFailure::Overflow) {
            return lead + "the number is too large (overflow).";
        }
        // Results overflow only below about 5.3e-36 MHz.
        if (parsed.ok() && parsed.value() != 0.0F && std::fabs(parsed.value()) < 1e-30F) {
            return lead + "the frequency is so close to 0 that the results are too large (overflow).";
        }
        return lead + "the frequency is too close to 0, or the number is too large (overflow).";
    }
    return lead + "the calculation failed.";
}

} // namespace vostrel
