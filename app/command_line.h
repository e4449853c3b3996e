// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <cstdio>
#include <optional>

namespace vostrel {

// The calculator takes no arguments of its own; Qt's (-platform, -style,
// ...) are taken by QApplication.

// --help / -h and --version / -v, read before any window system is
// touched: prints to `out` and gives the exit status 0. An argument list
// with neither gives nothing. Qt's own options are never looked at here.
//   {"vostrel", "--version"} -> prints "vostrel 1.0.0", 0
//   {"vostrel", "-platform", "xcb"} -> nullopt
std::optional<int> earlyExit(int argc, char** argv, std::FILE* out);

// What QApplication left over: anything at all is refused with one line
// and a pointer to --help on `err`, exit status 2.
//   {"vostrel"} -> nullopt;  {"vostrel", "--bogus"} -> 2
std::optional<int> refuseLeftOverArguments(const QStringList& arguments, std::FILE* err);

} // namespace vostrel
