// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control_name.h"

#include <array>

class QPushButton;

namespace vostrel::forms {
class MultiLineTextBox;
class PictureBox;
class TextBox;
} // namespace vostrel::forms

// The main window's controls, each named once. The object names are the
// window's public face: screen readers and tests see them.
namespace vostrel::mainWindowControls {

using forms::ControlName;

inline constexpr const char* kWindowName = "Form1";

inline constexpr ControlName<forms::TextBox> title{"Text15"};
inline constexpr ControlName<forms::PictureBox> diagram{"Picture1"};
inline constexpr ControlName<forms::TextBox> styleALetter{"Text12"};
inline constexpr ControlName<forms::TextBox> styleBLetter{"Text13"};
inline constexpr ControlName<forms::TextBox> styleCLetter{"Text14"};
inline constexpr ControlName<forms::MultiLineTextBox> notes{"Text1"};

inline constexpr ControlName<forms::MultiLineTextBox> frequencyCaption{"Text2"};
inline constexpr ControlName<forms::TextBox> frequencyBox{"Text3"};
inline constexpr ControlName<QPushButton> inchesButton{"Command1"};
inline constexpr ControlName<QPushButton> cmButton{"Command2"};
inline constexpr ControlName<QPushButton> webSiteButton{"Command3"};

inline constexpr ControlName<forms::TextBox> spacingCaption{"Text16"};
inline constexpr ControlName<forms::TextBox> spacingResult{"Text17"};
inline constexpr ControlName<forms::TextBox> tapPointCaption{"Text4"};
inline constexpr ControlName<forms::TextBox> tapPointResult{"Text5"};
inline constexpr ControlName<forms::TextBox> tubeCaption{"Text6"};
inline constexpr ControlName<forms::TextBox> tubeResult{"Text9"};
inline constexpr ControlName<forms::TextBox> capacitorCaption{"Text7"};
inline constexpr ControlName<forms::TextBox> capacitorResult{"Text8"};
inline constexpr ControlName<forms::MultiLineTextBox> insertionCaption{"Text10"};
inline constexpr ControlName<forms::TextBox> insertionResult{"Text11"};

// The result boxes top to bottom, in the order of the core's kResultFields.
inline constexpr std::array resultBoxes = {spacingResult, tapPointResult, tubeResult, capacitorResult, insertionResult};

} // namespace vostrel::mainWindowControls
