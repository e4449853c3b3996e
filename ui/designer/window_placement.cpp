// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vostrel::designer {

void placeOnScreen(QWidget& window, QSize wanted)
{
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    // The frame the window manager adds: unknown until shown, guessed.
    const QSize frame(16, 40);
    const QSize room = (available.size() - frame).expandedTo(window.minimumSizeHint().boundedTo(QSize(320, 240)));
    wanted = wanted.boundedTo(room);
    window.setMinimumSize(QSize(320, 240).boundedTo(room));
    window.resize(wanted);
    const QPoint topLeft = available.topLeft()
        + QPoint(std::max(0, (available.width() - wanted.width() - frame.width()) / 2),
            std::max(0, (available.height() - wanted.height() - frame.height()) / 2));
    window.move(topLeft);
}

} // namespace vostrel::designer
