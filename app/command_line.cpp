// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include <string_view>

namespace vostrel {
namespace {

constexpr std::string_view kUsage = "Usage: vostrel [Qt options]\n"
                                    "Gamma match calculator: type the operating frequency in MHz, press INCHES or CM\n"
                                    "and read the starting dimensions of a gamma match.\n"
                                    "\n"
                                    "  -h, --help     show this help and exit\n"
                                    "  -v, --version  show the version and exit\n"
                                    "\n"
                                    "Qt's own options (-platform, -style, -reverse, ...) work as in every Qt program.\n"
                                    "Whole bands from a terminal: vostrel-chart --help\n";

constexpr std::string_view kVersion = "vostrel " VOSTREL_VERSION "\n";

// 0 when all of `text` reached `out`, 1 when it did not (a closed pipe, a
// full disk).
int print(std::string_view text, std::FILE* out)
{
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return written && std::fflush(out) == 0 ? 0 : 1;
}

} // namespace

std::optional<int> earlyExit(int argc, char** argv, std::FILE* out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return print(kUsage, out);
        }
        if (arg == "--version" || arg == "-v") {
            return print(kVersion, out);
        }
    }
    return std::nullopt;
}

std::optional<int> refuseLeftOverArguments(const QStringList& arguments, std::FILE* err)
{
    if (arguments.size() <= 1) {
        return std::nullopt;
    }
    const QString message
        = QStringLiteral("vostrel: unknown argument '%1'\nTry 'vostrel --help'.\n").arg(arguments.at(1));
    print(message.toStdString(), err);
    return 2;
}

} // namespace vostrel
