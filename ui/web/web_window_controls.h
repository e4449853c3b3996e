// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control_name.h"

namespace vostrel::forms {
class Label;
} // namespace vostrel::forms

// The web page link window's controls, each named once.
namespace vostrel::webWindowControls {

using forms::ControlName;

inline constexpr const char* kWindowName = "web";

inline constexpr ControlName<forms::Label> openedInBrowser{"Label1"};
inline constexpr ControlName<forms::Label> clickBelow{"Label2"};
inline constexpr ControlName<forms::Label> homePageLink{"lblWebPage"};

} // namespace vostrel::webWindowControls
