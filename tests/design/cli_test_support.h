// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of vostrel-design's commands share: reading its numbers,
// writing exact ones, and the temporary files they give it.

#include "design_cli.h"
#include "tool_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace cliTest {

// One run of vostrel-design's commands, as the program would make it.
struct CliRun {
    vostrel::design::ExitStatus status;
    std::string out;
    std::string err;
};

inline CliRun run(const std::vector<std::string>& args)
{
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream out;
    std::ostringstream err;
    const int status = vostrel::design::runDesignCli(views, out, err);
    return {static_cast<vostrel::design::ExitStatus>(status), out.str(), err.str()};
}

// Arguments: `head`, then `tail`.
inline std::vector<std::string> joined(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A CSV number: written in the shortest form that reads back as the
// computed double, so compared with the rounded value shown to a person.
inline double number(const std::string& field)
{
    std::size_t used = 0;
    const double value = std::stod(field, &used);
    EXPECT_EQ(used, field.size()) << field;
    return value;
}

// A double as text that reads back as the same double.
inline std::string exact(double value)
{
    std::ostringstream text;
    text.precision(17);
    text << value;
    return text.str();
}

inline bool contains(const std::string& text, std::string_view part)
{
    return text.find(part) != std::string::npos;
}

// The one row of a CSV with a header, by column name.
inline std::map<std::string, std::string> csvRow(const std::string& csv)
{
    const auto all = toolOutput::lines(csv);
    std::map<std::string, std::string> result;
    if (all.size() != 2) {
        ADD_FAILURE() << "not a header and one row:\n" << csv;
        return result;
    }
    const auto names = toolOutput::fields(all[0]);
    const auto values = toolOutput::fields(all[1]);
    EXPECT_EQ(names.size(), values.size()) << csv;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        result[names[i]] = values[i];
    }
    return result;
}

// A file holding `text` for as long as the object lives.
class TempFile {
public:
    explicit TempFile(const std::string& text)
        // ctest runs each test as a process of its own, side by side: the
        // name is this process's too, or one test removes another's file.
        : m_path(::testing::TempDir() + "vostrel-design-" + std::to_string(processTag()) + "-"
            + std::to_string(++s_count) + ".s1p")
    {
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    static unsigned processTag()
    {
        static const unsigned tag = std::random_device{}();
        return tag;
    }
    static inline int s_count = 0;
    std::string m_path;
};

} // namespace cliTest
