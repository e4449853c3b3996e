// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "error_report.h"

namespace vostrel {

// Tells the user in a modal message box over the active window; its text
// can be selected and copied (an address that could not be opened, say).
class MessageBoxReport final : public ErrorReport {
public:
    void report(const Failure& failure) override;
};

} // namespace vostrel
