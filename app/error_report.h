#pragma once

#include "result.h"

#include <QString>

namespace vostrel {

// A handler that failed: a calculation, or the launch of the web page.
struct Failure {
    enum class Kind { ConversionError, DivisionByZero, Overflow, Launch };

    Kind kind;
    QString detail; // what could not be launched, for Kind::Launch

    static Failure fromCalc(CalcFailure failure);
    static Failure launch(const QString& address);
};

// What the user is told: which action failed, and why.
QString failureText(const Failure& failure);

// The one place every failing handler ends in. The program goes on running
// afterwards; whatever the handler stored or wrote before failing stays.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    virtual void report(const Failure& failure) = 0;
};

// Tells the user in a modal message box over the active window.
class MessageBoxReport final : public ErrorReport {
public:
    void report(const Failure& failure) override;
};

} // namespace vostrel
