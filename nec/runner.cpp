// SPDX-License-Identifier: GPL-3.0-or-later
#include "runner.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vostrel::nec {
namespace {

std::optional<double> numberAt(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(start);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || (end != text.data() + text.size() && *end != ' ' && *end != '\n')) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> result;
    while (true) {
        const std::size_t from = line.find_first_not_of(" \t");
        if (from == std::string_view::npos) {
            return result;
        }
        line.remove_prefix(from);
        const std::size_t to = std::min(line.find_first_of(" \t"), line.size());
        result.push_back(line.substr(0, to));
        line.remove_prefix(to);
    }
}

std::string_view lineAt(std::string_view text, std::size_t& at)
{
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    at = end < text.size() ? end + 1 : end;
    return line;
}

NecFailure failure(NecFailure::Kind kind, std::string message, std::string_view output)
{
    return NecFailure{kind, std::move(message), tail(output)};
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string tail(std::string_view text, int lines)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    std::size_t at = text.size();
    for (int i = 0; i < lines && at > 0; ++i) {
        const std::size_t newline = text.rfind('\n', at - 1);
        at = newline == std::string_view::npos ? 0 : newline;
    }
    if (at > 0) {
        ++at;
    }
    return std::string(text.substr(at));
}

Outcome<Solution> parseOutput(std::string_view output)
{
    Solution solution;
    double freq = 0;
    std::size_t at = 0;
    while (at < output.size()) {
        const std::string_view line = lineAt(output, at);
        if (const std::size_t f = line.find("FREQUENCY :"); f != std::string_view::npos) {
            const auto value = numberAt(line.substr(f + 11, line.find("MHz") - f - 11));
            if (!value) {
                return failure(NecFailure::Kind::Garbage, "nec2c's output has an unreadable frequency", output);
            }
            freq = *value;
        } else if (line.find("ANTENNA INPUT PARAMETERS") != std::string_view::npos) {
            lineAt(output, at);
            lineAt(output, at);
            const auto fields = words(lineAt(output, at));
            std::optional<double> r;
            std::optional<double> x;
            if (fields.size() >= 8) {
                r = numberAt(fields[6]);
                x = numberAt(fields[7]);
            }
            if (!r || !x) {
                return failure(NecFailure::Kind::Garbage, "nec2c's output has an unreadable input impedance", output);
            }
            solution.points.push_back({freq, {*r, *x}});
        } else if (const std::size_t g = line.find("AVERAGE POWER GAIN:"); g != std::string_view::npos) {
            const auto fields = words(line.substr(g + 19));
            const auto value = fields.empty() ? std::nullopt : numberAt(fields.front());
            if (!value) {
                return failure(NecFailure::Kind::Garbage, "nec2c's output has an unreadable average gain", output);
            }
            solution.averageGains.push_back(*value);
        }
    }
    if (solution.points.empty()) {
        return failure(NecFailure::Kind::Garbage, "nec2c's output holds no input impedance", output);
    }
    return solution;
}

Outcome<Solution> run(std::string_view deck, const RunOptions& options)
{
    std::error_code error;
    const auto base = std::filesystem::temp_directory_path(error);
    std::string pattern = ((error ? std::filesystem::path("/tmp") : base) / "vostrel-nec-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return NecFailure{NecFailure::Kind::Crashed, "no temporary directory for nec2c's files", {}};
    }
    const std::filesystem::path dir(pattern);
    struct Cleanup {
        std::filesystem::path dir;
        ~Cleanup()
        {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    } cleanup{dir};
    const std::string input = (dir / "in.nec").string();
    const std::string output = (dir / "out.txt").string();
    const std::string log = (dir / "log").string();
    {
        std::ofstream file(input, std::ios::binary);
        file << deck;
        if (!file.flush()) {
            return NecFailure{NecFailure::Kind::Crashed, "nec2c's input could not be written", {}};
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that a kill reaches whatever it started.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::string program = options.program;
    std::string i = "-i";
    std::string o = "-o";
    std::string in = input;
    std::string out = output;
    std::array<char*, 6> argv{program.data(), i.data(), in.data(), o.data(), out.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        return NecFailure{NecFailure::Kind::MissingProgram,
            "nec2c could not be started (" + options.program + ": " + std::strerror(spawned)
                + "); install the nec2c package",
            {}};
    }

    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    auto pause = std::chrono::microseconds(200);
    int status = 0;
    std::optional<NecFailure::Kind> stopped;
    while (true) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            break;
        }
        const bool cancelled = options.cancel != nullptr && options.cancel->load();
        if (cancelled || std::chrono::steady_clock::now() >= deadline) {
            kill(-pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
            stopped = cancelled ? NecFailure::Kind::Cancelled : NecFailure::Kind::Timeout;
            break;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
    const std::string printed = readAll(log) + readAll(output);
    if (stopped == NecFailure::Kind::Cancelled) {
        return failure(NecFailure::Kind::Cancelled, "the NEC run was cancelled", printed);
    }
    if (stopped == NecFailure::Kind::Timeout) {
        return failure(NecFailure::Kind::Timeout,
            "nec2c took longer than " + std::to_string(options.timeout.count()) + " ms and was stopped", printed);
    }
    if (WIFSIGNALED(status)) {
        return failure(
            NecFailure::Kind::Crashed, "nec2c ended with signal " + std::to_string(WTERMSIG(status)), printed);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return failure(
            NecFailure::Kind::Crashed, "nec2c failed with status " + std::to_string(WEXITSTATUS(status)), printed);
    }
    auto parsed = parseOutput(readAll(output));
    if (auto* garbage = std::get_if<NecFailure>(&parsed)) {
        garbage->outputTail = tail(printed);
    }
    return parsed;
}

} // namespace vostrel::nec
