// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "number_text.h"
#include "result.h"

#include <QString>

#include <optional>
#include <variant>

namespace vostrel {

// INCHES or CM could not compute: the failure, with the text it was given,
// so that the report can say what in it was wrong.
struct CalculationFailure {
    CalcFailure kind = CalcFailure::ConversionError;
    QString frequencyText;
    NumberFormat format;
};

// The web page could not be opened: the launcher did not start, or it
// started and then ended with a non-zero status.
struct LaunchFailure {
    QString address;
    std::optional<int> exitStatus; // empty when it could not start
};

// A handler that failed.
using Failure = std::variant<CalculationFailure, LaunchFailure>;

// What the user is told: which action failed, why, and what to do.
QString failureText(const Failure& failure);

// The one place every failing handler ends in. The program goes on running
// afterwards; whatever the handler stored or wrote before failing stays.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    virtual void report(const Failure& failure) = 0;
};

} // namespace vostrel
