// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "layout.h"

namespace vostrel {

// The "Web Page Link" window: two lines of explanation and the home page
// address as a link.
const forms::FormLayout& webWindowForm();

} // namespace vostrel
