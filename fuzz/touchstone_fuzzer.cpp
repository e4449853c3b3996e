// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the Touchstone one-port reader: whatever the bytes,
// it returns a file or an error with a line number in the text, and a file
// it returns holds what the reader promises.
#include "touchstone.h"

#include <algorithm>
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

// Lines as the reader counts them: each ends at LF, CR LF or a lone CR.
int linesOf(std::string_view text)
{
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++lines;
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = vostrel::touchstone::parseOnePort(text);
    if (const auto* error = std::get_if<vostrel::touchstone::ParseError>(&parsed)) {
        check(error->line >= 0 && error->line <= linesOf(text));
        check(!error->message.empty());
        return 0;
    }
    const auto& file = std::get<vostrel::touchstone::OnePort>(parsed);
    check(!file.points.empty());
    check(file.referenceOhms > 0 && std::isfinite(file.referenceOhms));
    for (std::size_t i = 0; i < file.points.size(); ++i) {
        const auto& point = file.points[i];
        check(std::isfinite(point.freqHz) && point.freqHz >= 0);
        check(std::isfinite(point.impedance.real()) && std::isfinite(point.impedance.imag()));
        check(i == 0 || point.freqHz > file.points[i - 1].freqHz);
        const auto at = vostrel::touchstone::impedanceAt(file, point.freqHz);
        check(at.has_value() && *at == point.impedance);
    }
    check(!vostrel::touchstone::impedanceAt(file, std::nextafter(file.points.front().freqHz, -1.0)));
    if (const auto refused = vostrel::touchstone::checkImpedances(file)) {
        check(refused->line >= 1 && refused->line <= linesOf(text) && !refused->message.empty());
    }
    return 0;
}
