// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_cli.h"

#include <exception>
#include <iostream>
#include <new>
#include <string_view>
#include <vector>

int main(int argc, char* argv[])
{
    using vostrel::design::ExitStatus;
    try {
        std::ios::sync_with_stdio(false);
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        return vostrel::design::runDesignCli(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << "vostrel-design: out of memory\n";
    } catch (const std::exception& failure) {
        std::cout.flush();
        std::cerr << "vostrel-design: " << failure.what() << "\n";
    } catch (...) {
        std::cout.flush();
        std::cerr << "vostrel-design: an unknown failure\n";
    }
    return static_cast<int>(ExitStatus::InternalError);
}
