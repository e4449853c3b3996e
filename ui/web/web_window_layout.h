#pragma once

#include "layout.h"

namespace vostrel {

// The "Web Page Link" window: two lines of explanation and the home page
// address as a link.
const forms::FormLayout& webWindowForm();

} // namespace vostrel
