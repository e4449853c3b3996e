// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window_layout.h"

#include "main_window_controls.h"

#include <array>

namespace vostrel {
namespace {

using namespace mainWindowControls;

using forms::ControlKind;
using forms::ControlLayout;
namespace System = forms::SystemColour;

constexpr forms::ColourValue kBlue = 0x00FF0000;
constexpr forms::ColourValue kLightYellow = 0x00C0FFFF;

// The building notes: 21 hard lines, each ending in CR LF.
constexpr const char* kNotes = "This program will give you a starting \r\n"
                               "point for matching your home-brew\r\n"
                               "antenna when you do not have the\r\n"
                               "means to measure or calculate the\r\n"
                               "resistance and reactance.\r\n"
                               "The gamma tube should be 1/4 the\r\n"
                               "diameter of the element. In 'A' the\r\n"
                               "capacitor is a piece of coax with the \r\n"
                               "coating and braid removed. 'B' allows\r\n"
                               "more freedom in the size of the tube\r\n"
                               "Fit the tube, sleeve and rod snug \r\n"
                               "'C' uses a variable capacitor. After\r\n"
                               "adjustment, waterproof everything.\r\n"
                               "NOTE. Quads have been made with \r\n"
                               "tube gammas but decrease the\r\n"
                               "tap length by 25%. Decrease \r\n"
                               "the capacitance and tube length by \r\n"
                               "10% and divide the spacing distance by \r\n"
                               "2.5. A proper quad gamma should be \r\n"
                               "made of stiff wire but this usually limits \r\n"
                               "you to the 'C' style gamma.\r\n";

// clang-format off
// A caption: a static text box on the window's ground, centred.
constexpr ControlLayout caption(const char* name, int left, int top, int width, int height, const char* text,
                              int tabIndex, const char* accessibleName)
{
    return {.name = name, .kind = ControlKind::TextBox,
            .left = left, .top = top, .width = width, .height = height,
            .text = text, .tabIndex = tabIndex, .isStatic = true,
            .background = System::ActiveBorder, .alignment = Qt::AlignHCenter,
            .accessibleName = accessibleName};
}

// A result box: editable, highlight-coloured text, left-aligned, named for
// screen readers and linked to its caption.
constexpr ControlLayout result(const char* name, int top, const char* text, int tabIndex, const char* accessibleName,
                             const char* captionName)
{
    return {.name = name, .kind = ControlKind::TextBox,
            .left = 9000, .top = top, .width = 855, .height = 285,
            .text = text, .tabIndex = tabIndex,
            .foreground = System::Highlight, .alignment = Qt::AlignLeft,
            .accessibleName = accessibleName, .labelledBy = captionName};
}

// A letter box naming a style of the diagram, inside Picture1.
constexpr ControlLayout letter(const char* name, int top, const char* text, int tabIndex, const char* accessibleName)
{
    return {.name = name, .kind = ControlKind::TextBox,
            .left = 3840, .top = top, .width = 495, .height = 615,
            .text = text, .tabIndex = tabIndex, .isStatic = true,
            .background = kLightYellow, .foreground = System::Highlight, .alignment = Qt::AlignHCenter,
            .fontPoints = 24, .parent = diagram.objectName, .accessibleName = accessibleName};
}

// The window's one layout table. Positions and sizes in twips (15 to a
// pixel). The diagram comes before the letter boxes it holds.
constexpr std::array kControls = {
    ControlLayout{.name = title.objectName, .kind = ControlKind::TextBox,
                .left = 5040, .top = 120, .width = 5295, .height = 375,
                .text = "VOSTREL    by    ZORVIK", .tabIndex = 17, .isStatic = true,
                .background = System::ActiveBorder, .foreground = kBlue, .alignment = Qt::AlignHCenter,
                .fontPoints = 13.5, .accessibleName = "Vostrel by Zorvik"},
    ControlLayout{.name = diagram.objectName, .kind = ControlKind::PictureBox,
                .left = 0, .top = 240, .width = 4815, .height = 6495,
                .tabIndex = 13,
                .picture = ":/assets/diagram.svg", .accessibleName = "Diagram of gamma match styles A, B and C"},
    letter(styleALetter.objectName, 240, "A", 14, "Style A"),
    letter(styleBLetter.objectName, 2640, "B", 15, "Style B"),
    letter(styleCLetter.objectName, 5040, "C", 16, "Style C"),
    ControlLayout{.name = notes.objectName, .kind = ControlKind::MultiLineTextBox,
                .left = 4920, .top = 600, .width = 3615, .height = 5535,
                .text = kNotes, .tabIndex = 10, .isStatic = true,
                .background = System::InactiveBorder, .alignment = Qt::AlignLeft,
                .fontPoints = 9.75, .accessibleName = "Building notes"},
    ControlLayout{.name = frequencyCaption.objectName, .kind = ControlKind::MultiLineTextBox,
                .left = 8520, .top = 480, .width = 1695, .height = 615,
                .text = "FREQUENCY \r\nIN MHZ\r\n", .tabIndex = 0, .isStatic = true,
                .background = System::ActiveBorder, .alignment = Qt::AlignHCenter,
                .fontPoints = 12, .accessibleName = "Frequency in MHz"},
    ControlLayout{.name = frequencyBox.objectName, .kind = ControlKind::TextBox,
                .left = 8520, .top = 1200, .width = 1575, .height = 375,
                .text = "00.0", .tabIndex = 1,
                .foreground = System::Highlight, .alignment = Qt::AlignHCenter,
                .fontPoints = 12, .accessibleName = "Frequency in MHz entry", .labelledBy = frequencyCaption.objectName},
    ControlLayout{.name = inchesButton.objectName, .kind = ControlKind::Button,
                .left = 8520, .top = 1680, .width = 855, .height = 495,
                .text = "INCHES", .tabIndex = 2, .accessibleName = "Calculate in inches"},
    ControlLayout{.name = cmButton.objectName, .kind = ControlKind::Button,
                .left = 9480, .top = 1680, .width = 735, .height = 495,
                .text = "CM", .tabIndex = 3, .accessibleName = "Calculate in centimetres"},
    caption(spacingCaption.objectName, 8640, 2400, 1575, 285, "SPACING", 18, "Spacing"),
    result(spacingResult.objectName, 2760, "00.0", 19, "Spacing result", spacingCaption.objectName),
    caption(tapPointCaption.objectName, 8640, 3120, 1695, 285, "TAP POINT LENGTH", 4, "Tap point length"),
    result(tapPointResult.objectName, 3480, "00.0", 5, "Tap point length result", tapPointCaption.objectName),
    caption(tubeCaption.objectName, 8520, 3840, 1695, 285, "TUBE LENGTH", 6, "Tube length"),
    result(tubeResult.objectName, 4200, "00.0", 9, "Tube length result", tubeCaption.objectName),
    caption(capacitorCaption.objectName, 8520, 4680, 1695, 285, "CAPACITOR VALUE", 7, "Capacitor value"),
    result(capacitorResult.objectName, 5040, "00.0  pf", 8, "Capacitor value result", capacitorCaption.objectName),
    ControlLayout{.name = insertionCaption.objectName, .kind = ControlKind::MultiLineTextBox,
                .left = 8520, .top = 5640, .width = 1815, .height = 495,
                .text = "Capacitor (gamma rod) \r\ninsertion length\r\n", .tabIndex = 11, .isStatic = true,
                .background = System::ActiveBorder, .alignment = Qt::AlignHCenter,
                .accessibleName = "Capacitor (gamma rod) insertion length"},
    result(insertionResult.objectName, 6240, "00.0", 12, "Capacitor insertion length result", insertionCaption.objectName),
    ControlLayout{.name = webSiteButton.objectName, .kind = ControlKind::Button,
                .left = 5160, .top = 6360, .width = 1575, .height = 255,
                .text = "WEB SITE", .tabIndex = 20, .accessibleName = "Open the web page link window"},
};
// clang-format on

const forms::FormLayout kForm{
    .name = kWindowName,
    .caption = "Form1",
    .clientWidth = 10425,
    .clientHeight = 6840,
    .background = System::ActiveBorder,
    .controls = kControls,
};

} // namespace

const forms::FormLayout& mainWindowForm()
{
    return kForm;
}

} // namespace vostrel
