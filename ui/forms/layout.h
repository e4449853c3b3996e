// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "colour.h"

#include <Qt>

#include <optional>
#include <span>

namespace vostrel::forms {

// Twips are 1/1440 inch; 15 make one pixel at 96 dots per inch. Sizes in
// pixels here are Qt's device-independent pixels, so a high-DPI screen
// scales the whole window.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

enum class ControlKind {
    TextBox, // single-line, editable, with a Click event
    MultiLineTextBox, // editable, word-wrapped, CR LF line ends
    Button,
    PictureBox, // shows a picture at its top-left; holds child controls
    Label, // static text with a Click event
};

constexpr double kDefaultFontPoints = 8.25;

// One control of a window's layout table. Positions are twips within the
// parent's inner area: the window's client area, or the picture box named
// by `parent`.
struct ControlLayout {
    const char* name = nullptr;
    ControlKind kind = ControlKind::TextBox;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const char* text = ""; // UTF-8; CR LF ends a line
    int tabIndex = 0;
    // Left out of the tab order (captions, title, notes, letter boxes).
    bool isStatic = false;
    std::optional<ColourValue> background = std::nullopt;
    std::optional<ColourValue> foreground = std::nullopt;
    Qt::Alignment alignment = Qt::AlignLeft;
    double fontPoints = kDefaultFontPoints;
    bool underline = false;
    bool wordWrap = false; // labels only; multi-line boxes always wrap
    const char* parent = nullptr; // a PictureBox of the same table
    const char* picture = nullptr; // PictureBox: resource path of an SVG drawing
    const char* cursor = nullptr; // resource path of a .cur file shown over the control
    const char* accessibleName = nullptr;
    const char* labelledBy = nullptr; // the caption box that names this control
};

struct FormLayout {
    const char* name = nullptr; // the window's object name
    const char* caption = "";
    int clientWidth = 0; // twips
    int clientHeight = 0;
    std::optional<ColourValue> background = std::nullopt;
    std::span<const ControlLayout> controls;
};

} // namespace vostrel::forms
