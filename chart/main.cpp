// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart.h"

#include <unistd.h>

#include <exception>
#include <iostream>
#include <new>
#include <string_view>
#include <vector>

int main(int argc, char* argv[])
{
    using vostrel::chart::ExitStatus;
    try {
        std::ios::sync_with_stdio(false);
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        const auto input
            = isatty(STDIN_FILENO) == 1 ? vostrel::chart::InputKind::Terminal : vostrel::chart::InputKind::FileOrPipe;
        return static_cast<int>(vostrel::chart::runChart(args, std::cin, std::cout, std::cerr, input));
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << "vostrel-chart: out of memory\n";
    } catch (const std::exception& failure) {
        std::cout.flush();
        std::cerr << "vostrel-chart: " << failure.what() << "\n";
    } catch (...) {
        std::cout.flush();
        std::cerr << "vostrel-chart: an unknown failure\n";
    }
    return static_cast<int>(ExitStatus::InternalError);
}
