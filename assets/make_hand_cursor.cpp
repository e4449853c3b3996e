// SPDX-License-Identifier: GPL-3.0-or-later
// Writes hand.cur, the pointing-hand cursor shown over the home page link:
// a 32 x 32 two-colour cursor, black outline, white fill, a solid black
// cuff under the fingers, hot spot on the tip of the index finger.
//
//   make_hand_cursor > hand.cur
//
// The drawing below is the source; the file is a one-image cursor (icon
// file type 2) of 326 bytes: 6-byte header, 16-byte directory entry, then
// a 40-byte bitmap header, a black-and-white palette, the colour mask and
// the transparency mask (32 rows of 4 bytes each, bottom row first).
#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kLeft = 8; // the drawing's first column
constexpr int kTop = 9; // and first row
constexpr int kHotX = 13;
constexpr int kHotY = 9;

// X black, o white, . transparent; columns 8 to 23, rows 9 to 26.
constexpr std::array<std::string_view, 18> kHand = {
    "....XX..........", //  9
    "...XooX.........", // 10
    "...XooX.........", // 11
    "...XooX.........", // 12
    "...XooXXXX......", // 13
    "...XooXooXXXX...", // 14
    "...XooXooXooXXX.", // 15
    "XX.XooXooXooXooX", // 16
    "XoXXoooooooooooX", // 17
    "XooXoooooooooooX", // 18
    ".XoooooooooooooX", // 19
    "..XooooooooooooX", // 20
    "..XoooooooooooX.", // 21
    "...XooooooooooX.", // 22
    "...XooooooooooX.", // 23
    "...XXXXXXXXXXXX.", // 24 cuff
    "...XXXXXXXXXXXX.", // 25
    "...XXXXXXXXXXXX.", // 26
};

char pixelAt(int x, int y)
{
    const int row = y - kTop;
    const int column = x - kLeft;
    if (row < 0 || row >= static_cast<int>(kHand.size()) || column < 0 || column >= static_cast<int>(kHand[0].size())) {
        return '.';
    }
    return kHand[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFFU));
}

void put32(std::vector<std::uint8_t>& out, unsigned value)
{
    put16(out, value & 0xFFFFU);
    put16(out, (value >> 16) & 0xFFFFU);
}

// One mask, bottom row first, most significant bit leftmost.
void putMask(std::vector<std::uint8_t>& out, bool (*bitAt)(char))
{
    for (int y = kSize - 1; y >= 0; --y) {
        for (int byte = 0; byte < kSize / 8; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (bitAt(pixelAt(byte * 8 + bit, y))) {
                    bits |= 0x80U >> static_cast<unsigned>(bit);
                }
            }
            out.push_back(static_cast<std::uint8_t>(bits));
        }
    }
}

} // namespace

int main()
{
    constexpr unsigned kMaskBytes = kSize * kSize / 8;
    constexpr unsigned kImageBytes = 40 + 8 + 2 * kMaskBytes;
    std::vector<std::uint8_t> out;
    put16(out, 0); // reserved
    put16(out, 2); // type: cursor
    put16(out, 1); // one image
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(2); // colours
    out.push_back(0);
    put16(out, kHotX);
    put16(out, kHotY);
    put32(out, kImageBytes);
    put32(out, 22); // the image follows the directory
    put32(out, 40); // bitmap header size
    put32(out, kSize);
    put32(out, 2 * kSize); // both masks
    put16(out, 1); // planes
    put16(out, 1); // bits per pixel
    put32(out, 0); // no compression
    put32(out, 2 * kMaskBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 2); // colours used
    put32(out, 0);
    put32(out, 0x00000000); // black
    put32(out, 0x00FFFFFF); // white
    putMask(out, [](char c) { return c == 'o'; });
    putMask(out, [](char c) { return c == '.'; });
    std::fwrite(out.data(), 1, out.size(), stdout);
    return out.size() == 326 ? 0 : 1;
}
