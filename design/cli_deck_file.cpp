// SPDX-License-Identifier: GPL-3.0-or-later
// Writing --write-nec's deck: POSIX calls, so with the NEC-2 check only
// (Linux), as nec2c itself.
#include "cli_deck_file.h"

#include "cli_inputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vostrel::design::cli {

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

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first { };
    struct stat second { };
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

std::optional<std::string> checkSource(const std::string& path)
{
    struct stat existing { };
    if (stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
        return quotedInput(path) + " is not a regular file (a FIFO, a device or a socket): give the deck's file";
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
