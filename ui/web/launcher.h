// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "error_report.h"

#include <QString>

#include <functional>

namespace vostrel {

// Hands an address to the desktop, which opens it in the default browser.
class Launcher {
public:
    using FailureHandler = std::function<void(const LaunchFailure&)>;

    virtual ~Launcher() = default;
    // Starts the launch and returns at once. If the launch cannot start,
    // `failed` is called before open returns; if it starts and later ends
    // in failure, `failed` is called from the event loop.
    virtual void open(const QString& address, FailureHandler failed) = 0;
};

} // namespace vostrel
