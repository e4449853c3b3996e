#include "command_line.h"

#include <cstring>
#include <string_view>

namespace vostrel {
namespace {

constexpr const char* kUsage = "Usage: vostrel [Qt options]\n"
                               "Gamma match calculator: type the operating frequency in MHz, press INCHES or CM\n"
                               "and read the starting dimensions of a gamma match.\n"
                               "\n"
                               "  -h, --help     show this help and exit\n"
                               "  -v, --version  show the version and exit\n"
                               "\n"
                               "Qt's own options (-platform, -style, -reverse, ...) work as in every Qt program.\n"
                               "Whole bands from a terminal: vostrel-chart --help\n";

} // namespace

std::optional<int> earlyExit(int argc, char* argv[], std::FILE* out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, out);
            return std::fflush(out) == 0 && std::ferror(out) == 0 ? 0 : 1;
        }
        if (arg == "--version" || arg == "-v") {
            std::fputs("vostrel " VOSTREL_VERSION "\n", out);
            return std::fflush(out) == 0 && std::ferror(out) == 0 ? 0 : 1;
        }
    }
    return std::nullopt;
}

std::optional<int> refuseLeftOverArguments(const QStringList& arguments, std::FILE* err)
{
    if (arguments.size() <= 1) {
        return std::nullopt;
    }
    std::fprintf(err, "vostrel: unknown argument '%s'\nTry 'vostrel --help'.\n", qPrintable(arguments.at(1)));
    return 2;
}

} // namespace vostrel
