// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_files.h"

#include "utf8.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::optional<std::string> checkTarget(const std::string& path)
{
    struct stat existing { };
    if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return quotedInput(path) + " is not a regular file";
    }
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    errno = 0;
    if (stat(folder.c_str(), &existing) != 0 || !S_ISDIR(existing.st_mode)) {
        return "cannot write in the folder of " + quotedInput(path) + ": "
            + std::strerror(errno != 0 ? errno : ENOTDIR);
    }
    return std::nullopt;
}

std::optional<std::string> writeWhole(const std::string& path, const std::string& text)
{
    if (auto refused = checkTarget(path)) {
        return refused;
    }
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    errno = 0;
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return "cannot write in the folder of " + quotedInput(path) + ": " + std::strerror(errno);
    }
    std::size_t done = 0;
    int error = 0;
    while (done < text.size() && error == 0) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR) {
            error = errno;
        } else if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
        }
    }
    if (error == 0 && fchmod(fd, 0644) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return "cannot write " + quotedInput(path) + ": " + std::strerror(error);
    }
    return std::nullopt;
}

} // namespace vostrel::design::cli
