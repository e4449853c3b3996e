// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv.h"

#include "number_text.h"

namespace vostrel::csv {

std::string field(std::string_view text)
{
    const bool plain = text.find_first_of(",\"\r\n") == std::string_view::npos
        && (text.empty() || (text.front() != ' ' && text.back() != ' '));
    if (plain) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') {
            quoted.push_back('"');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string echoed(std::string_view text)
{
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    return field(formula ? "'" + std::string(text) : std::string(text));
}

std::string number(double value)
{
    return doubleText(value, std::nullopt);
}

std::string record(std::span<const std::string> fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line.push_back(',');
        }
        line += fields[i];
    }
    line.push_back('\n');
    return line;
}

std::string record(std::initializer_list<std::string> fields)
{
    return record(std::span<const std::string>(fields.begin(), fields.size()));
}

} // namespace vostrel::csv
