// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace vostrel::forms {

// A colour as the layout tables write it: 0x00BBGGRR is a plain colour (red
// in the low byte), 0x800000nn names system colour nn.
using ColourValue = std::uint32_t;

namespace SystemColour {
constexpr ColourValue ActiveBorder = 0x8000000A;
constexpr ColourValue InactiveBorder = 0x8000000B;
constexpr ColourValue Highlight = 0x8000000D;
constexpr ColourValue ButtonFace = 0x8000000F;
constexpr ColourValue WindowBackground = 0x80000005;
constexpr ColourValue WindowText = 0x80000008;
} // namespace SystemColour

constexpr bool isSystemColour(ColourValue value)
{
    return (value & 0xFF000000U) == 0x80000000U;
}

// The desktop palette role that stands for a system colour, so that the
// windows follow the user's colour scheme. The one place that maps them:
//   active border   -> Midlight   (the main window's and captions' ground)
//   inactive border -> AlternateBase (the building notes' ground)
//   highlight       -> Highlight  (entry, results and letter boxes' text)
//   button face     -> Button     (the picture box's own ground)
//   window          -> Base,  window text -> Text
// Any other system colour index falls back to Window.
QPalette::ColorRole paletteRole(ColourValue systemColour);

// The concrete colour of a colour value under `palette`.
QColor resolveColour(ColourValue value, const QPalette& palette);

} // namespace vostrel::forms
