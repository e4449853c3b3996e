// SPDX-License-Identifier: GPL-3.0-or-later
// The functions the pages call, with C names and UTF-8 strings. The text a
// function returns stays valid until the next call.
#include "adjust_page.h"
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

// `fields` cut at each tab into `parts`; what is beyond the last part stays in it.
template <std::size_t N> std::array<std::string, N> tabFields(const char* fields)
{
    std::array<std::string, N> parts;
    std::size_t part = 0;
    for (const char* c = fields; *c != '\0'; ++c) {
        if (*c == '\t') {
            part = std::min(part + 1, parts.size() - 1);
        } else {
            parts[part].push_back(*c);
        }
    }
    return parts;
}

// The designer's ten fields in DesignerInput's order; no tuning, no power.
vostrel::web::DesignerInput designerInput(const std::array<std::string, 10>& parts)
{
    vostrel::web::DesignerInput input;
    input.freq = parts[0];
    input.r = parts[1];
    input.x = parts[2];
    input.element = parts[3];
    input.rod = parts[4];
    input.spacing = parts[5];
    input.line = parts[6];
    input.unit = parts[7];
    input.share = parts[8];
    input.model = parts[9];
    return input;
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
// capacitor steps; the ratings fields tab-separated (power, SWR margin,
// dielectric, tube inner diameter). JSON as designerJson gives it.
const char* vostrel_designer(const char* fields, int strapSteps, int capacitorSteps, const char* ratingFields)
{
    const auto parts = tabFields<10>(fields);
    vostrel::web::DesignerInput input = designerInput(parts);
    input.strapSteps = std::clamp(strapSteps, -vostrel::study::kTuningSteps, vostrel::study::kTuningSteps);
    input.capacitorSteps = std::clamp(capacitorSteps, -vostrel::study::kTuningSteps, vostrel::study::kTuningSteps);
    const auto rating = tabFields<4>(ratingFields);
    input.power = rating[0];
    input.swrMargin = rating[1];
    input.dielectric = rating[2];
    input.tube = rating[3];
    answer() = vostrel::web::designerJson(input);
    return answer().c_str();
}

// The adjust form: the designer's fields as vostrel_designer takes them;
// the form's tab-separated (rod as built, capacitor as set, R, X, cable,
// cable length, "file" or "typed", the file's name); the file's text. JSON
// as adjustJson gives it. The page passes the file in memory it allocated,
// as a file can be larger than the stack.
const char* vostrel_adjust(const char* designFields, const char* adjustFields, const char* fileText)
{
    const auto d = tabFields<10>(designFields);
    const auto a = tabFields<8>(adjustFields);
    vostrel::web::AdjustPageInput input;
    input.design = designerInput(d);
    input.rodLength = a[0];
    input.capacitance = a[1];
    input.r = a[2];
    input.x = a[3];
    input.cable = a[4];
    input.cableLength = a[5];
    input.fromFile = a[6] == "file";
    input.fileName = a[7];
    input.fileText = fileText;
    answer() = vostrel::web::adjustJson(input);
    return answer().c_str();
}

// The cables the adjust form offers, as cablesJson gives them.
const char* vostrel_cables()
{
    answer() = vostrel::web::cablesJson();
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
