#pragma once

// Reading what the command-line tools print, in their tests.

#include <sstream>
#include <string>
#include <vector>

namespace toolOutput {

// The lines of `text`, without their line ends.
inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

// The fields of one CSV line; a quoted field may hold commas.
inline std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            result.emplace_back();
        } else {
            result.back().push_back(c);
        }
    }
    return result;
}

} // namespace toolOutput
