#pragma once

#include "result.h"

#include <string_view>

namespace vostrel {

// What went wrong, in plain words for the user; every front end reports a
// failure in these same words.
//   ConversionError -> "Conversion error: the frequency is not a number."
//   DivisionByZero  -> "Division by zero: the frequency is 0."
//   Overflow        -> "Overflow: the frequency is too close to 0, or the number is too large."
std::string_view failureMessage(CalcFailure failure);

} // namespace vostrel
