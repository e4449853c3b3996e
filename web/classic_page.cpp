// SPDX-License-Identifier: GPL-3.0-or-later
#include "classic_page.h"

#include "failure_message.h"
#include "number_text.h"
#include "shown_result.h"

namespace vostrel::web {

ClassicShown classicShown(std::string_view text, LengthUnit unit)
{
    const NumberFormat format{"."};
    ClassicShown shown;
    const Result<float> freq = parseSingle(text, format);
    if (!freq) {
        shown.message = failureMessage(freq.failure(), text, format);
        return shown;
    }
    GammaMatchValues values;
    values.freq = freq.value();
    if (const Result<void> computed = computeGammaMatch(values, unit); !computed) {
        shown.message = failureMessage(computed.failure(), text, format);
        return shown;
    }
    shown.ok = true;
    for (std::size_t i = 0; i < kResultFields.size(); ++i) {
        shown.results[i] = shownResult(values.*kResultFields[i].member, format);
    }
    shown.frequency = formatSingle(values.freq, format);
    return shown;
}

std::string classicLine(std::string_view text, LengthUnit unit)
{
    const ClassicShown shown = classicShown(text, unit);
    if (!shown.ok) {
        return "error\t" + shown.message;
    }
    std::string line = "ok";
    for (const std::string& result : shown.results) {
        line += '\t';
        line += result;
    }
    return line;
}

} // namespace vostrel::web
