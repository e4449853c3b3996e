#pragma once

#include "launcher.h"

#include <QObject>

namespace vostrel {

// The desktop's own launcher: xdg-open where there is one, watched for its
// exit status without blocking the window; elsewhere whatever Qt uses.
class DesktopLauncher final : public Launcher {
public:
    DesktopLauncher() = default;
    DesktopLauncher(const DesktopLauncher&) = delete;
    DesktopLauncher& operator=(const DesktopLauncher&) = delete;
    ~DesktopLauncher() override;

    void open(const QString& address, FailureHandler failed) override;
    // Whether a launch is still waiting for its exit status.
    bool busy() const { return !m_running.children().isEmpty(); }

private:
    QObject m_running; // parent of the launches still under way
};

} // namespace vostrel
