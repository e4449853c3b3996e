// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

class QWidget;

namespace vostrel::designer {

// Sizes and centres a top-level window on its screen: `wanted`, never more
// than the screen's available area (the desktop's panels left out, the
// window manager's frame guessed), and a minimum size that still fits.
void placeOnScreen(QWidget& window, QSize wanted);

} // namespace vostrel::designer
