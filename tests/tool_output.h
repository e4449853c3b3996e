// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading what the command-line tools print, and output that fails, in
// their tests.

#include <array>
#include <sstream>
#include <streambuf>
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

// Output that takes a few bytes into its buffer and then fails to write them
// anywhere, like a full disk.
class FullDevice : public std::streambuf {
public:
    FullDevice() { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }

protected:
    int_type overflow(int_type /*ch*/) override { return traits_type::eof(); }
    int sync() override { return -1; }

private:
    std::array<char, 64> m_buffer{};
};

} // namespace toolOutput
