// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vostrel::forms {

// A control of a layout table, named once: its object name (what screen
// readers and tests see) bound to the widget type the table makes of it.
// Windows, tests and tools reach controls through these, never by spelling
// the object name again.
template <typename T> struct ControlName {
    const char* objectName;
};

} // namespace vostrel::forms
