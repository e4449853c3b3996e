// The functions the pages call, with C names and UTF-8 strings. The text a
// function returns stays valid until the next call.
#include "classic_page.h"

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

} // extern "C"
