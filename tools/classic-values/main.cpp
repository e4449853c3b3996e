// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the classic window shows for a fixed list of frequency texts
// in both units, one line each: the same list and the same lines on every
// build, so that the outputs of the native, WebAssembly and Windows builds
// can be compared byte for byte.
//
//   vostrel-classic-values [COUNT]   (default 10000 texts, each in inches and cm)
#include "classic_page.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A fixed 64-bit generator (Marsaglia's xorshift64): the same numbers on
// every target, unlike the standard distributions.
struct XorShift {
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    std::uint64_t next()
    {
        state ^= state << 13U;
        state ^= state >> 7U;
        state ^= state << 17U;
        return state;
    }
};

// Texts of every kind the box meets: everyday frequencies with up to six
// decimals, very small and very large ones with exponents, and a few that
// fail.
std::string frequencyText(XorShift& random, std::uint64_t index)
{
    static constexpr const char* kFixed[] = {"0", "-0.0", "14.2", "28.5", "-7.1", "1e-37", "1E39", "5.1e-36", "14,2",
        "abc", "", "1e", "0.07", "1.8E+07", "3.4028235e38", "1e-45"};
    if (index < std::size(kFixed)) {
        return kFixed[index];
    }
    const std::uint64_t r = random.next();
    switch (r % 4) {
    case 0: { // 0.1 to 3000 MHz, three decimals
        const std::uint64_t thousandths = 100 + (r >> 8U) % 3'000'000;
        const std::string fraction = std::to_string(1000 + thousandths % 1000).substr(1);
        return std::to_string(thousandths / 1000) + "." + fraction;
    }
    case 1: { // up to 6 decimals
        const std::uint64_t millionths = 1 + (r >> 8U) % 500'000'000;
        return std::to_string(millionths / 1'000'000) + "."
            + std::to_string(1'000'000 + millionths % 1'000'000).substr(1);
    }
    case 2: { // digits with an exponent from -40 to 40
        const auto exponent = static_cast<int>((r >> 8U) % 81) - 40;
        return std::to_string((r >> 16U) % 100'000'000) + "e" + std::to_string(exponent);
    }
    default: // negative and whole
        return std::string(1, '-').append(std::to_string((r >> 8U) % 100'000));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000;
    XorShift random;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::string text = frequencyText(random, i);
        for (const auto unit : {vostrel::LengthUnit::Inches, vostrel::LengthUnit::Centimetres}) {
            std::string line(1, '[');
            line.append(text).append("]\t").append(vostrel::web::classicLine(text, unit)).append("\n");
            std::fputs(line.c_str(), stdout);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
