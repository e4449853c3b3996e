#pragma once

#include <QString>

namespace vostrel {

// Hands an address to the desktop, which opens it in the default browser.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the launch and returns at once; false if it could not start.
    [[nodiscard]] virtual bool open(const QString& address) = 0;
};

// The desktop's own launcher (xdg-open on Linux, through Qt).
class DesktopLauncher final : public Launcher {
public:
    bool open(const QString& address) override;
};

} // namespace vostrel
