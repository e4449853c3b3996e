// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <utility>
#include <variant>

namespace vostrel {

// Why a conversion or a calculation gave no value.
enum class CalcFailure {
    ConversionError, // the text is not a number
    DivisionByZero, // a frequency of 0
    Overflow, // a value outside the range of a float
};

// A value or the reason there is none. The core reports every failure this
// way; nothing in it throws.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::move(value))
    { }
    Result(CalcFailure failure)
        : m_state(failure)
    { }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    const T& value() const { return std::get<0>(m_state); }
    // Only when !ok().
    CalcFailure failure() const { return std::get<1>(m_state); }

private:
    std::variant<T, CalcFailure> m_state;
};

// Success without a value, or a failure.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(CalcFailure failure)
        : m_failure(failure)
    { }

    bool ok() const { return !m_failure.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only when !ok().
    CalcFailure failure() const { return *m_failure; }

private:
    std::optional<CalcFailure> m_failure;
};

} // namespace vostrel
