// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the conversions the calculator runs on whatever is
// typed: text to float, rounding to three decimals, float to text, and the
// formulas in between. The first byte picks the decimal separator ("," a
// comma, "a" the Arabic one, "e" an unusable one that falls back to a point,
// anything else a point); the rest is the frequency text.
#include "gamma_match.h"
#include "number_text.h"
#include "shown_result.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

const vostrel::NumberFormat& formatFor(std::uint8_t selector)
{
    static const vostrel::NumberFormat point{"."};
    static const vostrel::NumberFormat comma{","};
    static const vostrel::NumberFormat arabic{"\xD9\xAB"};
    static const vostrel::NumberFormat unusable{""};
    switch (selector) {
    case ',':
        return comma;
    case 'a':
        return arabic;
    case 'e':
        return unusable;
    default:
        return point;
    }
}

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool isShownCharacter(char c, std::string_view separator)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == 'E' || separator.find(c) != std::string_view::npos;
}

void checkShown(float value, const vostrel::NumberFormat& format)
{
    const std::string text = vostrel::formatSingle(value, format);
    check(!text.empty() && text.size() <= 16);
    const std::string_view separator
        = format.decimalSeparator.empty() ? std::string_view(".") : std::string_view(format.decimalSeparator);
    for (const char c : text) {
        check(isShownCharacter(c, separator));
    }
    // What is shown reads back as a number within a seventh digit of it.
    const auto back = vostrel::parseSingle(text, format);
    check(back.ok());
    check(std::fabs(static_cast<double>(back.value()) - static_cast<double>(value))
        <= 1e-6 * std::fabs(static_cast<double>(value)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const vostrel::NumberFormat& format = formatFor(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto freq = vostrel::parseSingle(text, format);
    if (!freq.ok()) {
        check(freq.failure() == vostrel::CalcFailure::ConversionError
            || freq.failure() == vostrel::CalcFailure::Overflow);
        return 0;
    }
    check(std::isfinite(freq.value()));
    checkShown(freq.value(), format);

    for (const auto unit : {vostrel::LengthUnit::Inches, vostrel::LengthUnit::Centimetres}) {
        vostrel::GammaMatchValues values;
        values.freq = freq.value();
        const auto computed = vostrel::computeGammaMatch(values, unit);
        check(values.freq == freq.value() || (std::isnan(values.freq) && std::isnan(freq.value())));
        if (!computed.ok()) {
            check(freq.value() == 0.0F ? computed.failure() == vostrel::CalcFailure::DivisionByZero
                                       : computed.failure() == vostrel::CalcFailure::Overflow);
            continue;
        }
        for (const vostrel::ResultField& field : vostrel::kResultFields) {
            const float result = values.*field.member;
            check(std::isfinite(result));
            const float rounded = vostrel::roundDecimals(result, 3);
            // Within half a thousandth, give or take the float step.
            const double step = std::fabs(static_cast<double>(std::nextafter(rounded, 0.0F)) - rounded);
            check(std::fabs(static_cast<double>(rounded) - result) <= 0.0005 + step);
            checkShown(rounded, format);
            // The text the window and the chart show is that rounded value's.
            check(vostrel::shownResult(result, format) == vostrel::formatSingle(rounded, format));
        }
    }
    return 0;
}
