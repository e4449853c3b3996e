#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::touchstone {

// Touchstone version 1 one-port files (.s1p), as NanoVNA, antenna analysers
// and network analysers write them:
//   ! comment            (anywhere; the rest of a line after "!" too)
//   # MHz S RI R 50      (the option line: fields in any order and case;
//                         left out: GHz, S, MA, R 50)
//   14.0 0.21 -0.33      (frequency, then the pair in the option line's form)
// Format reference: Touchstone File Format Specification 1.1 (IBIS), and
// scikit-rf's documentation of what real files contain.

struct Point {
    double freqHz = 0;
    std::complex<double> impedance; // ohms, de-normalised
};

struct OnePort {
    std::vector<Point> points; // in the file's order: strictly increasing frequency
    double referenceOhms = 50;
};

// Where and why a file was refused; nothing is guessed.
struct ParseError {
    int line = 0; // 1-based; 0 for the file as a whole
    std::string message;
};

//   "# MHz Z RI R 50\n14 1 0\n"  -> one point, 14 MHz, 50 + j0 ohms
//   "!x\n14000000 0 0\n"          -> GHz? no: 14e6 GHz; S MA R 50 defaults
// Failures: a second option line, an unknown option, a data line before the
// option line is fine (defaults), a line with other than three numbers, a
// frequency not above the previous one, S with |S| >= 1 for... see .cpp.
std::variant<OnePort, ParseError> parseOnePort(std::string_view text);

// The feed impedance at `freqHz`, linearly interpolated in R and X between
// the two nearest points; nullopt outside the file's span.
std::optional<std::complex<double>> impedanceAt(const OnePort& file, double freqHz);

} // namespace vostrel::touchstone
