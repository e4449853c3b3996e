// SPDX-License-Identifier: GPL-3.0-or-later
#include "error_report.h"

#include "failure_message.h"

namespace vostrel {
namespace {

QString describe(const CalculationFailure& failure)
{
    const std::string message = failureMessage(failure.kind, failure.frequencyText.toStdString(), failure.format);
    return QStringLiteral("The calculation failed.\n\n") + QString::fromStdString(message);
}

QString describe(const LaunchFailure& failure)
{
    if (!failure.exitStatus) {
        return QStringLiteral("The web page could not be opened.\n\n"
                              "Launch failed: the desktop's launcher could not be started for %1")
            .arg(failure.address);
    }
    return QStringLiteral("The web page could not be opened.\n\n"
                          "The desktop's launcher ended with status %1: perhaps no web browser is set up. "
                          "You can copy the address and open it yourself:\n\n%2")
        .arg(*failure.exitStatus)
        .arg(failure.address);
}

} // namespace

QString failureText(const Failure& failure)
{
    return std::visit([](const auto& what) { return describe(what); }, failure);
}

} // namespace vostrel
