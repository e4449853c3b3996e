// SPDX-License-Identifier: GPL-3.0-or-later
#include "touchstone.h"

#include "ascii.h"
#include "double_chars.h"
#include "length_text.h"
#include "number_text.h"
#include "plain_number.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vostrel::touchstone {
namespace {

using Complex = std::complex<double>;

enum class Format { RI, MA, DB };

struct Options {
    double hzPerUnit = 1e9;
    Parameter parameter = Parameter::S;
    Format format = Format::MA;
    double reference = 50;
};

// The blank-separated words of a line, its comment already cut off.
std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

// A word as shown in a message: short and printable.
std::string shown(std::string_view word)
{
    std::string result = "\"";
    result += shownText(word, 24);
    return result + "\"";
}

std::optional<std::string> readOptions(const std::vector<std::string_view>& words, Options& options, bool& unitSeen)
{
    bool parameterSeen = false;
    bool formatSeen = false;
    bool referenceSeen = false;
    const auto once = [](bool& seen, std::string_view what) -> std::optional<std::string> {
        if (seen) {
            return "the option line gives the " + std::string(what) + " twice";
        }
        seen = true;
        return std::nullopt;
    };
    constexpr std::array<std::pair<std::string_view, double>, 4> kUnits
        = {{{"HZ", 1.0}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}}};
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string word = ascii::uppered(words[i]);
        std::optional<std::string> twice;
        bool known = true;
        if (const auto* unit
            = std::find_if(kUnits.begin(), kUnits.end(), [&](const auto& row) { return row.first == word; });
            unit != kUnits.end()) {
            twice = once(unitSeen, "frequency unit");
            options.hzPerUnit = unit->second;
        } else if (word == "S" || word == "Y" || word == "Z") {
            twice = once(parameterSeen, "parameter");
            options.parameter = word == "S" ? Parameter::S : word == "Y" ? Parameter::Y : Parameter::Z;
        } else if (word == "RI" || word == "MA" || word == "DB") {
            twice = once(formatSeen, "number format");
            options.format = word == "RI" ? Format::RI : word == "MA" ? Format::MA : Format::DB;
        } else if (word == "R") {
            twice = once(referenceSeen, "reference resistance");
            const auto value = i + 1 < words.size() ? plainNumber(words[i + 1]) : std::nullopt;
            if (!value || *value <= 0) {
                return "R needs a reference resistance above 0 ohms after it";
            }
            options.reference = *value;
            ++i;
        } else if (word == "H" || word == "G") {
            return "the parameter " + word + " exists only for two-ports: a one-port file has S, Y or Z";
        } else {
            known = false;
        }
        if (twice) {
            return twice;
        }
        if (!known) {
            return "unknown option " + shown(words[i]) + ": expected Hz, kHz, MHz, GHz, S, Y, Z, RI, MA, DB or R";
        }
    }
    return std::nullopt;
}

// The value of one data line's pair, as an impedance in ohms.
std::variant<Complex, std::string> impedanceOf(const Options& options, double first, double second)
{
    Complex value;
    if (options.format == Format::RI) {
        value = Complex(first, second);
    } else {
        const double magnitude = options.format == Format::MA ? first : std::pow(10.0, first / 20);
        if (magnitude < 0) {
            return std::string("a magnitude cannot be negative");
        }
        const double radians = second * std::numbers::pi / 180;
        value = Complex(magnitude * std::cos(radians), magnitude * std::sin(radians));
    }
    Complex impedance;
    switch (options.parameter) {
    case Parameter::S:
        if (value == Complex(1, 0)) {
            return std::string("S = 1 is an open circuit: the impedance is infinite");
        }
        impedance = options.reference * (1.0 + value) / (1.0 - value);
        break;
    case Parameter::Y:
        if (value == Complex(0, 0)) {
            return std::string("Y = 0 is an open circuit: the impedance is infinite");
        }
        impedance = options.reference / value;
        break;
    case Parameter::Z:
        impedance = options.reference * value;
        break;
    }
    if (!std::isfinite(impedance.real()) || !std::isfinite(impedance.imag())) {
        return std::string("the value gives an impedance too large to hold");
    }
    return impedance;
}

// The first line of `text`, taken off it. A line ends at LF, CR LF or a
// CR alone (classic Mac OS).
std::string_view nextLine(std::string_view& text)
{
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
    } else {
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
    return line;
}

} // namespace

std::variant<OnePort, ParseError> parseOnePort(std::string_view text)
{
    Options options;
    bool optionLineSeen = false;
    OnePort file;
    int lineNumber = 0;
    if (text.starts_with("\xEF\xBB\xBF")) { // a UTF-8 byte order mark
        text.remove_prefix(3);
    }
    while (!text.empty()) {
        ++lineNumber;
        std::string_view line = nextLine(text);
        line = line.substr(0, line.find('!'));
        const auto words = wordsOf(line);
        if (words.empty()) {
            continue;
        }
        const auto fail = [&](std::string message) { return ParseError{lineNumber, std::move(message)}; };
        if (words.front().starts_with('[')) {
            return fail("this is a Touchstone 2 keyword: only version 1 files are read");
        }
        if (words.front().starts_with('#')) {
            if (optionLineSeen) {
                return fail("a second option line: a file has one");
            }
            if (!file.points.empty()) {
                return fail("the option line comes after the data: it must come before");
            }
            optionLineSeen = true;
            std::vector<std::string_view> fields = words;
            if (fields.front().size() > 1) { // "#MHz": the first option is joined to the '#'
                fields.front().remove_prefix(1);
                fields.insert(fields.begin(), "#");
            }
            if (auto problem = readOptions(fields, options, file.unitGiven)) {
                return fail(std::move(*problem));
            }
            file.referenceOhms = options.reference;
            file.parameter = options.parameter;
            file.optionLine = true;
            continue;
        }
        if (words.size() != 3) {
            return fail("a data line has three numbers (frequency and a pair); this one has "
                + std::to_string(words.size()) + " fields");
        }
        std::array<double, 3> numbers{};
        for (std::size_t i = 0; i < 3; ++i) {
            const auto value = plainNumber(words[i]);
            if (!value) {
                return fail(shown(words[i]) + " is not a number");
            }
            numbers[i] = *value;
        }
        const double freqHz = numbers[0] * options.hzPerUnit;
        if (freqHz < 0 || !std::isfinite(freqHz)) {
            return fail("a frequency cannot be negative");
        }
        if (!file.points.empty() && !(freqHz > file.points.back().freqHz)) {
            return fail("the frequency is not above the previous line's: frequencies must increase");
        }
        auto impedance = impedanceOf(options, numbers[1], numbers[2]);
        if (auto* problem = std::get_if<std::string>(&impedance)) {
            return fail(std::move(*problem));
        }
        file.points.push_back(Point{freqHz, std::get<Complex>(impedance), lineNumber});
    }
    if (file.points.empty()) {
        return ParseError{0, "the file holds no data lines"};
    }
    return file;
}

std::optional<std::complex<double>> impedanceAt(const OnePort& file, double freqHz)
{
    const auto& points = file.points;
    if (points.empty() || !(freqHz >= points.front().freqHz) || !(freqHz <= points.back().freqHz)) {
        return std::nullopt;
    }
    const auto after = std::lower_bound(
        points.begin(), points.end(), freqHz, [](const Point& point, double f) { return point.freqHz < f; });
    if (after->freqHz == freqHz) {
        return after->impedance;
    }
    const Point& upperPoint = *after;
    const Point& lowerPoint = *(after - 1);
    const double share = (freqHz - lowerPoint.freqHz) / (upperPoint.freqHz - lowerPoint.freqHz);
    return lowerPoint.impedance + share * (upperPoint.impedance - lowerPoint.impedance);
}

std::optional<ParseError> checkImpedances(const OnePort& file)
{
    for (const Point& point : file.points) {
        const Complex z = point.impedance;
        if (!(point.freqHz > 0)) {
            return ParseError{point.line, "a frequency of 0 Hz: the gamma match needs one above 0"};
        }
        const double reference = file.referenceOhms;
        // A lossless load written in polar form keeps a rounding error's
        // resistance, of either sign: it is a pure reactance all the same.
        const bool lossless = std::abs(z.real()) <= 1e-9 * std::abs(z + reference);
        if (z.real() > 0 && !lossless) {
            continue;
        }
        const auto fail = [&point](std::string message) { return ParseError{point.line, std::move(message)}; };
        const std::string feed = "the feed resistance there is ";
        const std::string antenna = ", and an antenna's is above 0";
        switch (file.parameter) {
        case Parameter::S: {
            if (std::abs(z) < reference * 1e-6) {
                return fail("S = -1 is a short circuit: " + feed + "0 ohms");
            }
            // Three decimals are shown: what rounds to 1.000 is not "above 1".
            const std::string magnitude = decimalsText(std::abs((z - reference) / (z + reference)), 3);
            if (lossless || magnitude == "1.000") {
                return fail("|S| = 1.000 is a pure reactance: " + feed + "0 ohms");
            }
            std::string above = "|S| = " + magnitude;
            above += " is above 1: " + feed;
            above += decimalsText(z.real(), 2) + " ohms" + antenna;
            return fail(std::move(above));
        }
        case Parameter::Z:
            if (z == Complex(0, 0)) {
                return fail("Z = 0 is a short circuit: " + feed + "0 ohms");
            }
            if (lossless) {
                return fail("R = 0 ohms is a pure reactance: an antenna's feed resistance is above 0");
            }
            return fail(
                "R = " + decimalsText(z.real(), 2) + " ohms is negative: an antenna's feed resistance is above 0");
        case Parameter::Y: {
            const double conductance = (1.0 / z).real();
            if (lossless) {
                return fail("G = 0 siemens is a pure susceptance: " + feed + "0 ohms");
            }
            std::string negative = "G = " + decimalsText(conductance, 5);
            negative += " siemens is negative: " + feed;
            negative += decimalsText(z.real(), 2) + " ohms" + antenna;
            return fail(std::move(negative));
        }
        }
    }
    return std::nullopt;
}

std::string frequencyUnitHint(const OnePort& file)
{
    constexpr std::string_view kRest = ", Touchstone's default; a first line such as \"# MHz S MA R 50\" names another";
    if (!file.optionLine) {
        return "the file has no option line, so its frequencies are in GHz" + std::string(kRest);
    }
    if (!file.unitGiven) {
        return "its option line names no frequency unit, so its frequencies are in GHz" + std::string(kRest);
    }
    return {};
}

} // namespace vostrel::touchstone
