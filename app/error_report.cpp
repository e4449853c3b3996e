#include "error_report.h"

#include "failure_message.h"

#include <QApplication>
#include <QMessageBox>

namespace vostrel {

Failure Failure::fromCalc(CalcFailure failure)
{
    switch (failure) {
    case CalcFailure::ConversionError:
        return {Kind::ConversionError, {}};
    case CalcFailure::DivisionByZero:
        return {Kind::DivisionByZero, {}};
    case CalcFailure::Overflow:
        return {Kind::Overflow, {}};
    }
    return {Kind::ConversionError, {}};
}

Failure Failure::launch(const QString& address)
{
    return {Kind::Launch, address};
}

QString failureText(const Failure& failure)
{
    const auto calculation = [](CalcFailure kind) {
        const std::string_view message = failureMessage(kind);
        return QStringLiteral("The calculation failed.\n\n")
            + QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    };
    switch (failure.kind) {
    case Failure::Kind::ConversionError:
        return calculation(CalcFailure::ConversionError);
    case Failure::Kind::DivisionByZero:
        return calculation(CalcFailure::DivisionByZero);
    case Failure::Kind::Overflow:
        return calculation(CalcFailure::Overflow);
    case Failure::Kind::Launch:
        return QStringLiteral("The web page could not be opened.\n\n"
                              "Launch failed: the desktop's launcher could not be started for %1")
            .arg(failure.detail);
    }
    return {};
}

void MessageBoxReport::report(const Failure& failure)
{
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Vostrel"), failureText(failure));
}

} // namespace vostrel
