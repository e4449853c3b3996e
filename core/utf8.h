// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vostrel {

// One character read from UTF-8 text.
struct Utf8Char {
    char32_t codePoint = 0; // U+FFFD when the bytes are not valid UTF-8
    std::size_t length = 1; // bytes taken: 1 to 4, and 1 for an invalid byte
    bool valid = true;
};

// Reads the character that starts at text[at] (at < text.size()). Overlong
// forms, surrogates, values beyond U+10FFFF, stray continuation bytes and
// sequences cut short are invalid and take one byte, so reading goes on
// with the next byte.
//   "k", 0                -> {U+006B, 1, valid}
//   "\xC2\xA0", 0         -> {U+00A0, 2, valid}
//   "1\xE2\x80\x8B", 1    -> {U+200B, 3, valid}
//   "\xFF", 0             -> {U+FFFD, 1, invalid}
//   "\xC0\x80", 0         -> {U+FFFD, 1, invalid} (an overlong 0)
//   "\xE2\x80", 0         -> {U+FFFD, 1, invalid} (cut short)
Utf8Char decodeUtf8(std::string_view text, std::size_t at);

// Whether a character leaves no mark of its own on a screen, or steers the
// terminal or the text's direction: C0 and C1 controls, DEL, every blank
// but the space, zero-width and bidirectional formatting characters, the
// byte order mark, the soft hyphen, variation selectors and tags.
//   U+0041 -> false   U+0020 -> false   U+00B5 -> false
//   U+0009 -> true    U+0085 -> true    U+00A0 -> true
//   U+200B -> true    U+202E -> true    U+FEFF -> true
bool isInvisible(char32_t c);

// Text as it may be echoed to a terminal or a file: a printable UTF-8
// character stays; a byte that is not UTF-8 and a character isInvisible()
// holds for (controls, C1 controls such as the CSI U+009B, direction changes
// such as U+202E) each become one "?". Text longer than `maxBytes` is cut
// on a character boundary, keeping at most `maxBytes` bytes of it, and
// "..." follows.
//   "14.3", 40                -> "14.3"
//   "\x1B[2J", 40             -> "?[2J"
//   "14\u202E3\xC2\x9B", 40   -> "14?3?"
//   "5\xFF", 40               -> "5?"
//   "\xC2\xB5m", 40           -> "\xC2\xB5m" ("µm")
//   "ab\xC2\xB5", 3           -> "ab..." (the two-byte µ would go past 3)
std::string shownText(std::string_view text, std::size_t maxBytes);

} // namespace vostrel
