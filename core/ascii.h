// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Case folding of ASCII letters only, the same under every locale: option
// names, unit symbols, NEC-2 card names and Touchstone keywords are ASCII,
// and a locale's rules (Turkish dotless i) must not touch them.
namespace vostrel::ascii {

//   lower('A') -> 'a';  lower('z') -> 'z';  lower('1') -> '1';  lower('\xC4') -> '\xC4'
constexpr char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

//   upper('a') -> 'A';  upper('Z') -> 'Z';  upper('-') -> '-'
constexpr char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

//   isLetter('q') -> true;  isLetter('Q') -> true;  isLetter('"') -> false
constexpr bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

//   lowered("GS 0 0") -> "gs 0 0"
inline std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = lower(c);
    }
    return out;
}

//   uppered("gs") -> "GS"
inline std::string uppered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = upper(c);
    }
    return out;
}

//   equalFolded("FR", "fr") -> true;  equalFolded("FR", "FRX") -> false
constexpr bool equalFolded(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace vostrel::ascii
