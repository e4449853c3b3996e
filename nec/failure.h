// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <variant>

namespace vostrel::nec {

// Why NEC gave no answer. Nothing in this library throws; every failure is
// returned as one of these, with a sentence for the builder in `message`.
struct NecFailure {
    enum class Kind {
        BadInput, // a geometry that cannot be modelled
        BadDeck, // the user's deck is refused: message names file and line
        MissingProgram, // nec2c is not on PATH
        Crashed, // nec2c ended with a signal or a non-zero status
        Garbage, // nec2c's output holds no input impedance
        Timeout, // nec2c ran past the time limit and was killed
        Cancelled, // the caller's cancel flag was set
        NoMatch, // NEC finds no rod length whose Re Zin reaches the line impedance,
                 // or its best match leaves an SWR above kMatchedSwr
        Invalid, // the model fails its checks too badly to build from: message
                 // says why and what to change
    };
    Kind kind = Kind::BadInput;
    std::string message;
    std::string outputTail; // the last lines nec2c wrote, for Crashed/Garbage/Timeout
    // For NoMatch: the Re Zin nearest the line impedance NEC reached, and at
    // what rod length (metres).
    double reachedResistance = 0;
    double reachedRodLength = 0;
    // For NoMatch where the search stopped at the rod's limit: what limits
    // it ("a quarter wave", "the element's half length, 5.050 m, ...").
    std::string reachedLimit = {};
};

template <typename T> using Outcome = std::variant<T, NecFailure>;

} // namespace vostrel::nec
