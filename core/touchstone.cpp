#include "touchstone.h"

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

enum class Parameter { S, Y, Z };
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

std::string upper(std::string_view word)
{
    std::string result(word);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

// A word as shown in a message: short and printable.
std::string shown(std::string_view word)
{
    std::string result = "\"";
    result += shownText(word, 24);
    return result + "\"";
}

std::optional<std::string> readOptions(const std::vector<std::string_view>& words, Options& options)
{
    bool unitSeen = false;
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
        const std::string word = upper(words[i]);
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
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
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
            if (auto problem = readOptions(fields, options)) {
                return fail(std::move(*problem));
            }
            file.referenceOhms = options.reference;
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
        if (z.real() > 0) {
            continue;
        }
        if (z == Complex(0, 0)) {
            return ParseError{point.line, "S = -1 is a short circuit: the feed resistance there is 0 ohms"};
        }
        if (z.real() == 0) {
            return ParseError{point.line, "|S| = 1 is a pure reactance: the feed resistance there is 0 ohms"};
        }
        const double reflection = std::abs((z - file.referenceOhms) / (z + file.referenceOhms));
        return ParseError{point.line,
            "|S| = " + decimalsText(reflection, 3) + " is above 1: the feed resistance there is " + decimalsText(z.real(), 2)
                + " ohms, and an antenna's is above 0"};
    }
    return std::nullopt;
}

} // namespace vostrel::touchstone
