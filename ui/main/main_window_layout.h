// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "layout.h"

namespace vostrel {

// The main window "Form1": the diagram on the left, the building notes in
// the middle under the title, the frequency entry, the two unit buttons and
// the five results on the right, WEB SITE at the bottom of the middle.
const forms::FormLayout& mainWindowForm();

} // namespace vostrel
