// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour.h"

#include <array>
#include <utility>

namespace vostrel::forms {

QPalette::ColorRole paletteRole(ColourValue systemColour)
{
    static constexpr std::array<std::pair<ColourValue, QPalette::ColorRole>, 6> kRoles = {{
        {SystemColour::ActiveBorder, QPalette::Midlight},
        {SystemColour::InactiveBorder, QPalette::AlternateBase},
        {SystemColour::Highlight, QPalette::Highlight},
        {SystemColour::ButtonFace, QPalette::Button},
        {SystemColour::WindowBackground, QPalette::Base},
        {SystemColour::WindowText, QPalette::Text},
    }};
    for (const auto& [value, role] : kRoles) {
        if (value == systemColour) {
            return role;
        }
    }
    return QPalette::Window;
}

QColor resolveColour(ColourValue value, const QPalette& palette)
{
    if (isSystemColour(value)) {
        return palette.color(QPalette::Active, paletteRole(value));
    }
    return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
        static_cast<int>((value >> 16) & 0xFFU)};
}

} // namespace vostrel::forms
