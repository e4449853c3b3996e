// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_files.h"

#include "utf8.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace vostrel::design::cli {
namespace {

constexpr std::size_t kMaxFileBytes = 64U << 20U; // a Touchstone file
constexpr std::size_t kMaxLineBytes = 64U << 10U; // one of its lines

} // namespace

Refusal readFileText(OptionId option, std::string_view path, std::string_view kind, std::string& text)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(std::filesystem::path(path), ignored)) {
        return badInput(optionName(option) + ": " + quotedInput(path) + " is a directory");
    }
    errno = 0;
    std::ifstream stream{std::string(path), std::ios::binary};
    if (!stream) {
        return badInput(optionName(option) + ": cannot open " + quotedInput(path)
            + (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""));
    }
    std::array<char, 65536> chunk{};
    std::size_t lineBytes = 0;
    int line = 1;
    while (stream.read(chunk.data(), chunk.size()) || stream.gcount() > 0) {
        const std::string_view read(chunk.data(), static_cast<std::size_t>(stream.gcount()));
        for (const char c : read) {
            if (c == '\n' || c == '\r') {
                line += c == '\n' ? 1 : 0;
                lineBytes = 0;
            } else if (++lineBytes > kMaxLineBytes) {
                return badInput(shownText(path, 40) + ":" + std::to_string(line) + ": a line longer than 64 KB: not "
                    + std::string(kind));
            }
        }
        text.append(read);
        if (text.size() > kMaxFileBytes) {
            return badInput(optionName(option) + ": " + quotedInput(path) + " is larger than 64 MB");
        }
    }
    if (stream.bad()) {
        return CommandLineError{ExitStatus::InputUnreadable,
            optionName(option) + ": cannot read " + quotedInput(path)
                + (errno != 0 ? ": " + std::string(std::strerror(errno)) : ""),
            false};
    }
    return std::nullopt;
}

Refusal readTouchstone(OptionId option, std::string_view path, touchstone::OnePort& file)
{
    std::string text;
    if (auto failure = readFileText(option, path, "a Touchstone file", text)) {
        return failure;
    }
    auto parsed = touchstone::parseOnePort(text);
    if (const auto* error = std::get_if<touchstone::ParseError>(&parsed)) {
        return badInput(shownText(path, 40) + (error->line > 0 ? ":" + std::to_string(error->line) : std::string())
            + ": " + error->message);
    }
    file = std::move(std::get<touchstone::OnePort>(parsed));
    if (const auto refused = touchstone::checkImpedances(file)) {
        return badInput(shownText(path, 40) + ":" + std::to_string(refused->line) + ": " + refused->message);
    }
    return std::nullopt;
}

} // namespace vostrel::design::cli
