// SPDX-License-Identifier: GPL-3.0-or-later
#include "web_window_layout.h"

#include "home_page.h"

#include "web_window_controls.h"

#include <array>

namespace vostrel {
namespace {

using namespace webWindowControls;

using forms::ControlKind;
using forms::ControlLayout;

// clang-format off
// The window's one layout table. Positions and sizes in twips (15 to a
// pixel); all three are labels, which never take the focus.
constexpr std::array kControls = {
    ControlLayout{.name = openedInBrowser.objectName, .kind = ControlKind::Label,
                .left = 525, .top = 75, .width = 2265, .height = 390,
                .text = "The link will be opened in your default browser.", .tabIndex = 0,
                .alignment = Qt::AlignHCenter, .wordWrap = true},
    ControlLayout{.name = clickBelow.objectName, .kind = ControlKind::Label,
                .left = 450, .top = 750, .width = 2490, .height = 345,
                .text = "Click Link Below to ", .tabIndex = 1,
                .alignment = Qt::AlignHCenter},
    ControlLayout{.name = homePageLink.objectName, .kind = ControlKind::Label,
                .left = 525, .top = 1335, .width = 2205, .height = 255,
                .text = kHomePageAddress, .tabIndex = 2,
                .foreground = 0x00FF0000 /* blue */, .alignment = Qt::AlignLeft, .underline = true,
                .cursor = ":/assets/hand.cur", .accessibleName = "Home page link"},
};
// clang-format on

const forms::FormLayout kForm{
    .name = kWindowName,
    .caption = "Web Page Link",
    .clientWidth = 3315,
    .clientHeight = 1845,
    .controls = kControls,
};

} // namespace

const forms::FormLayout& webWindowForm()
{
    return kForm;
}

} // namespace vostrel
