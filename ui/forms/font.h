// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace vostrel::forms {

// "MS Sans Serif" does not exist on Linux; Liberation Sans (Debian's
// fonts-liberation2) stands in for it: close in width and height, so the
// captions and the notes fit their boxes as laid out.
inline constexpr const char* kStandInFace = "Liberation Sans";

// The stand-in face at a point size of the layout tables, sized in pixels
// as at 96 dots per inch (8.25 pt -> 11 px), so the layout does not depend
// on the screen's reported DPI.
QFont standInFont(double points, bool underline = false);

} // namespace vostrel::forms
