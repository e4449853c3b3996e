#include "failure_message.h"

namespace vostrel {

std::string_view failureMessage(CalcFailure failure)
{
    switch (failure) {
    case CalcFailure::ConversionError:
        return "Conversion error: the frequency is not a number.";
    case CalcFailure::DivisionByZero:
        return "Division by zero: the frequency is 0.";
    case CalcFailure::Overflow:
        return "Overflow: the frequency is too close to 0, or the number is too large.";
    }
    return "The calculation failed.";
}

} // namespace vostrel
