// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "launcher.h"

#include <QObject>

#include <chrono>

namespace vostrel {

// The desktop's own launcher: xdg-open where there is one, watched for its
// exit status without blocking the window; elsewhere whatever Qt uses.
class DesktopLauncher final : public Launcher {
public:
    // xdg-open finds out within moments that no browser can be started.
    // When it is still running after `watchFor`, it has started one and only
    // waits for it: how that browser ends, perhaps hours later, says nothing
    // about opening the page.
    explicit DesktopLauncher(std::chrono::milliseconds watchFor = std::chrono::seconds(10))
        : m_watchFor(watchFor)
    { }
    DesktopLauncher(const DesktopLauncher&) = delete;
    DesktopLauncher& operator=(const DesktopLauncher&) = delete;
    ~DesktopLauncher() override;

    void open(const QString& address, FailureHandler failed) override;
    // Whether a launch is still waiting for its exit status.
    bool busy() const { return !m_running.children().isEmpty(); }

private:
    std::chrono::milliseconds m_watchFor;
    QObject m_running; // parent of the launches still under way
};

} // namespace vostrel
