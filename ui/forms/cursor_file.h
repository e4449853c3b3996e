// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QCursor>
#include <QImage>
#include <QPoint>

#include <optional>

namespace vostrel::forms {

// The first image of a Windows cursor file (.cur, icon file type 2) with a
// two-colour bitmap: black and white pixels from the colour mask, the
// rest transparent by the transparency mask.
struct CursorImage {
    QImage image; // ARGB32, transparent where the cursor shows the screen
    QPoint hotSpot;
};

// Reads a cursor file. Returns nothing for anything but a well-formed file
// whose first image is a 1-bit bitmap; a pixel that would invert the
// screen is drawn black.
std::optional<CursorImage> readCursorFile(QByteArrayView bytes);

// A mouse cursor from a cursor file in the resources (or on disk), drawn
// sharp at `devicePixelRatio` with its hot spot in device pixels; the
// pointing hand of the desktop if the file cannot be read.
QCursor loadCursor(const QString& path, qreal devicePixelRatio);

} // namespace vostrel::forms
