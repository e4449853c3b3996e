// SPDX-License-Identifier: GPL-3.0-or-later
#include "shown_result.h"

namespace vostrel {

std::string shownResult(float value, const NumberFormat& format)
{
    return formatSingle(roundDecimals(value, 3), format);
}

} // namespace vostrel
