// SPDX-License-Identifier: GPL-3.0-or-later
// The functions the pages call, with C names and UTF-8 strings. The text a
// function returns stays valid until the next call.
#include "classic_page.h"
#include "designer_page.h"
#include "match_study.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

std::string& answer()
{
    static std::string text;
    return text;
}

} // namespace

extern "C" {

// unit 0 inches, 1 centimetres. "ok\t" and five results, then "\t" and the
// frequency in normal form; or "error\t" and the message.
const char* vostrel_classic(const char* text, int unit)
{
    using vostrel::LengthUnit;
    const vostrel::web::ClassicShown shown
        = vostrel::web::classicShown(text, unit == 1 ? LengthUnit::Centimetres : LengthUnit::Inches);
    std::string& out = answer();
    if (!shown.ok) {
        out = "error\t" + shown.message;
    } else {
        out = "ok";
        for (const std::string& result : shown.results) {
            out += '\t';
            out += result;
        }
        out += '\t';
        out += shown.frequency;
    }
    return out.c_str();
}

// The designer page: its fields tab-separated in DesignerInput's order
// (freq, r, x, element, rod, spacing, line, unit, share, model), then the strap and
// capacitor steps. JSON as designerJson gives it.
const char* vostrel_designer(const char* fields, int strapSteps, int capacitorSteps)
{
    std::array<std::string, 10> parts;
    std::size_t part = 0;
    for (const char* c = fields; *c != '\0'; ++c) {
        if (*c == '\t') {
            part = std::min(part + 1, parts.size() - 1);
        } else {
            parts[part].push_back(*c);
        }
    }
    vostrel::web::DesignerInput input{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6], parts[7],
        parts[8], parts[9], std::clamp(strapSteps, -vostrel::study::kTuningSteps, vostrel::study::kTuningSteps),
        std::clamp(capacitorSteps, -vostrel::study::kTuningSteps, vostrel::study::kTuningSteps)};
    answer() = vostrel::web::designerJson(input);
    return answer().c_str();
}

// The tuning sliders, as the window has them: their reach either way, and
// one step's share of the design value in percent (0 the strap's, 1 the
// capacitor's).
int vostrel_tuning_steps()
{
    return vostrel::study::kTuningSteps;
}

double vostrel_tuning_step_percent(int capacitor)
{
    return 100 * (capacitor == 1 ? vostrel::study::kCapacitorStep : vostrel::study::kStrapStep);
}

} // extern "C"
