// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_file.h"

#include "ascii.h"
#include "design_options.h"
#include "gamma_design.h"
#include "length_text.h"
#include "plain_number.h"
#include "utf8.h"

#include <algorithm>

namespace vostrel::designfile {
namespace {

constexpr std::array<KeyInfo, kKeyCount> kKeys = {{
    {Key::Frequency, "frequency", ValueKind::Number, "--freq"},
    {Key::Resistance, "resistance", ValueKind::Number, "--r"},
    {Key::Reactance, "reactance", ValueKind::Number, "--x"},
    {Key::ElementDiameter, "element-diameter", ValueKind::Length, "--element"},
    {Key::RodDiameter, "rod-diameter", ValueKind::Length, "--rod"},
    {Key::Spacing, "spacing", ValueKind::Length, "--spacing"},
    {Key::Unit, "unit", ValueKind::Unit, "--units"},
    {Key::LineImpedance, "line-impedance", ValueKind::Number, "--line"},
    {Key::StepUp, "step-up", ValueKind::StepUp, ""},
    {Key::ClosedForm, "closed-form", ValueKind::ClosedForm, ""},
    {Key::TubeId, "tube-id", ValueKind::Length, "--tube-id"},
    {Key::Dielectric, "dielectric", ValueKind::Dielectric, "--dielectric"},
    {Key::ElementLength, "element-length", ValueKind::Length, "--element-length"},
    {Key::Power, "power", ValueKind::Number, "--power"},
    {Key::SwrMargin, "swr-margin", ValueKind::Number, "--swr-margin"},
    {Key::AntennaModel, "antenna-model", ValueKind::Path, "--nec"},
    {Key::AntennaModelSha256, "antenna-model-sha256", ValueKind::Sha256, ""},
    {Key::RodSide, "rod-side", ValueKind::RodSide, "--rod-side"},
    {Key::CapAt, "cap-at", ValueKind::CapAt, "--cap-at"},
    {Key::BuiltLength, "built-rod-length", ValueKind::Length, "--length"},
    {Key::BuiltCapacitance, "built-capacitance", ValueKind::Capacitance, "--cap"},
}};

std::string quoted(std::string_view text)
{
    return "\"" + shownText(text, 40) + "\"";
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool isOneOf(std::string_view value, std::initializer_list<std::string_view> words)
{
    return std::find(words.begin(), words.end(), value) != words.end();
}

bool isSha256(std::string_view value)
{
    return value.size() == 64 && std::all_of(value.begin(), value.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// Why `value` is not of `kind`, or nothing.
std::optional<std::string> kindProblem(ValueKind kind, std::string_view value)
{
    switch (kind) {
    case ValueKind::Number:
        if (const auto read = readPlainNumber(value, {}); const auto* why = std::get_if<NumberRefusal>(&read)) {
            return quoted(value) + " " + refusalText(*why, {});
        }
        return std::nullopt;
    case ValueKind::Length:
        if (const auto read = design::parseLength(value, design::Unit::Metre);
            const auto* why = std::get_if<std::string>(&read)) {
            return *why;
        }
        return std::nullopt;
    case ValueKind::Unit:
        return options::readUnit(value) ? std::nullopt
                                        : std::optional(quoted(value) + " is not a unit: mm, cm, m, in or ft");
    case ValueKind::StepUp:
        return isOneOf(value, {"whole", "half"}) ? std::nullopt
                                                 : std::optional(quoted(value) + " is not whole or half");
    case ValueKind::ClosedForm:
        return isOneOf(value, {"corrected", "textbook"})
            ? std::nullopt
            : std::optional(quoted(value) + " is not corrected or textbook");
    case ValueKind::Dielectric:
        return options::readPermittivity(value)
            ? std::nullopt
            : std::optional(quoted(value) + " is not air, ptfe, polyethylene or a permittivity");
    case ValueKind::Path:
        return std::nullopt;
    case ValueKind::Sha256:
        return isSha256(value) ? std::nullopt : std::optional(quoted(value) + " is not 64 hexadecimal digits");
    case ValueKind::RodSide:
        return isOneOf(ascii::lowered(value), {"away", "+x", "-x", "+y", "-y", "+z", "-z"})
            ? std::nullopt
            : std::optional(quoted(value) + " is not a side: away, +x, -x, +y, -y, +z or -z");
    case ValueKind::CapAt:
        return isOneOf(ascii::lowered(value), {"feed", "rod-end", "tube"})
            ? std::nullopt
            : std::optional(quoted(value) + " is not a place: feed, rod-end or tube");
    case ValueKind::Capacitance:
        return options::readCapacitance(value) ? std::nullopt
                                               : std::optional(quoted(value) + " is not a capacitance in pF");
    }
    return std::nullopt;
}

// Text a line may hold: UTF-8, no control character but the tab.
bool printable(std::string_view line)
{
    for (std::size_t at = 0; at < line.size();) {
        const Utf8Char c = decodeUtf8(line, at);
        if (!c.valid || (c.codePoint < 0x20 && c.codePoint != '\t') || c.codePoint == 0x7F) {
            return false;
        }
        at += c.length;
    }
    return true;
}

const KeyInfo* findKey(std::string_view name)
{
    const auto* found
        = std::find_if(kKeys.begin(), kKeys.end(), [name](const KeyInfo& info) { return info.name == name; });
    return found == kKeys.end() ? nullptr : found;
}

// One "key = value" line into `design`, or why not.
std::optional<std::string> readLine(std::string_view line, Design& design)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return "not \"key = value\": " + quoted(line);
    }
    const std::string_view name = trimmed(line.substr(0, equals));
    const std::string_view value = trimmed(line.substr(equals + 1));
    const KeyInfo* info = findKey(name);
    if (info == nullptr) {
        return "unknown key " + quoted(name);
    }
    std::optional<std::string>& slot = design[info->key];
    if (slot) {
        return std::string(name) + " is given twice";
    }
    if (value.empty()) {
        return std::string(name) + " has no value (leave the line out instead)";
    }
    if (auto why = kindProblem(info->kind, value)) {
        return std::string(name) + ": " + *why;
    }
    slot = std::string(value);
    return std::nullopt;
}

} // namespace

std::span<const KeyInfo> keys()
{
    return kKeys;
}

const KeyInfo& keyInfo(Key key)
{
    return kKeys[static_cast<std::size_t>(key)];
}

std::optional<std::string> checkValue(Key key, std::string_view value)
{
    const KeyInfo& info = keyInfo(key);
    if (value.empty() || value != trimmed(value)) {
        return std::string(info.name) + ": " + quoted(value) + " is empty or has blanks around it";
    }
    if (!printable(value)) {
        return std::string(info.name) + ": " + quoted(value) + " holds a line break or a control character";
    }
    if (auto why = kindProblem(info.kind, value)) {
        return std::string(info.name) + ": " + *why;
    }
    return std::nullopt;
}

std::variant<Design, ReadError> readDesign(std::string_view text)
{
    if (text.size() > kMaxBytes) {
        return ReadError{0, "larger than " + std::to_string(kMaxBytes / 1024) + " KiB: not a design file"};
    }
    Design design;
    std::size_t number = 0;
    bool first = true;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!printable(line)) {
            return ReadError{number, "not UTF-8 text, or a control character"};
        }
        if (first) {
            first = false;
            if (trimmed(line) == kFirstLine) {
                continue;
            }
            if (trimmed(line).starts_with("vostrel design ")) {
                return ReadError{number,
                    "a design file of version " + shownText(trimmed(line).substr(15), 20)
                        + ": this program reads version 1"};
            }
            return ReadError{number, "not a design file: the first line is not \"" + std::string(kFirstLine) + "\""};
        }
        const std::string_view content = trimmed(line);
        if (content.empty() || content.starts_with('#')) {
            continue;
        }
        if (auto why = readLine(content, design)) {
            return ReadError{number, std::move(*why)};
        }
    }
    if (first) {
        return ReadError{0, "empty: not a design file"};
    }
    return design;
}

std::variant<std::string, WriteError> writeDesign(const Design& design)
{
    std::string text = std::string(kFirstLine) + "\n";
    for (const KeyInfo& info : kKeys) {
        const std::optional<std::string>& value = design[info.key];
        if (!value) {
            continue;
        }
        if (auto why = checkValue(info.key, *value)) {
            return WriteError{info.key, std::move(*why)};
        }
        text += std::string(info.name) + " = " + *value + "\n";
    }
    return text;
}

} // namespace vostrel::designfile
