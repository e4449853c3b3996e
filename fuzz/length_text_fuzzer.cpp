// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over numbers and lengths with units as the command line
// takes them. The first byte picks the default unit (or none); the rest is
// the text. A length read is finite and in the unit named or defaulted, and
// the number reader agrees with the length reader on a unit-less text.
#include "length_text.h"
#include "plain_number.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    using vostrel::design::Unit;
    const std::optional<Unit> defaultUnit
        = data[0] % 6 == 5 ? std::nullopt : std::optional<Unit>(static_cast<Unit>(data[0] % 6));
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto number = vostrel::plainNumber(text);
    check(!number || std::isfinite(*number));
    const auto length = vostrel::design::parseLength(text, defaultUnit);
    if (const auto* problem = std::get_if<std::string>(&length)) {
        check(!problem->empty());
        check(!number || !defaultUnit); // a plain number reads with a default unit
        return 0;
    }
    const auto& read = std::get<vostrel::design::Length>(length);
    check(std::isfinite(read.metres));
    check(!vostrel::design::unitSymbol(read.unit).empty());
    if (number) {
        check(defaultUnit && read.unit == *defaultUnit);
        check(read.metres == *number * vostrel::design::metresPer(*defaultUnit));
    }
    return 0;
}
