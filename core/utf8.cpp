// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vostrel {

Utf8Char decodeUtf8(std::string_view text, std::size_t at)
{
    constexpr Utf8Char kInvalid{U'\uFFFD', 1, false};
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80U) {
        return {lead, 1, true};
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0; // below this the form is overlong
    if ((lead & 0xE0U) == 0xC0U) {
        length = 2;
        value = lead & 0x1FU;
        smallest = 0x80;
    } else if ((lead & 0xF0U) == 0xE0U) {
        length = 3;
        value = lead & 0x0FU;
        smallest = 0x800;
    } else if ((lead & 0xF8U) == 0xF0U) {
        length = 4;
        value = lead & 0x07U;
        smallest = 0x10000;
    } else {
        return kInvalid;
    }
    if (text.size() - at < length) {
        return kInvalid;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0U) != 0x80U) {
            return kInvalid;
        }
        value = (value << 6U) | (next & 0x3FU);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return kInvalid;
    }
    return {value, length, true};
}

bool isInvisible(char32_t c)
{
    // Unicode's Cc, Zs (but U+0020), Zl, Zp and Cf characters, and the
    // fillers and selectors that show nothing.
    constexpr std::array<std::pair<char32_t, char32_t>, 19> kRanges = {{
        {0x0000, 0x001F},
        {0x007F, 0x00A0},
        {0x00AD, 0x00AD},
        {0x034F, 0x034F},
        {0x061C, 0x061C},
        {0x115F, 0x1160},
        {0x1680, 0x1680},
        {0x180E, 0x180E},
        {0x2000, 0x200F},
        {0x2028, 0x202F},
        {0x205F, 0x206F},
        {0x3000, 0x3000},
        {0x3164, 0x3164},
        {0xFE00, 0xFE0F},
        {0xFEFF, 0xFEFF},
        {0xFFA0, 0xFFA0},
        {0xFFF9, 0xFFFB},
        {0x1D173, 0x1D17A},
        {0xE0000, 0xE0FFF},
    }};
    return std::any_of(kRanges.begin(), kRanges.end(), [c](const auto& r) { return c >= r.first && c <= r.second; });
}

std::string shownText(std::string_view text, std::size_t maxBytes)
{
    std::string shown;
    std::size_t i = 0;
    while (i < text.size()) {
        const Utf8Char c = decodeUtf8(text, i);
        if (i + c.length > maxBytes) {
            break;
        }
        if (c.valid && !isInvisible(c.codePoint)) {
            shown.append(text.substr(i, c.length));
        } else {
            shown.push_back('?');
        }
        i += c.length;
    }
    if (i < text.size()) {
        shown += "...";
    }
    return shown;
}

} // namespace vostrel
