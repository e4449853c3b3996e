// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::designfile {

// A design as a text file that the designer window saves and opens and
// vostrel-design reads with --design: one "key = value" a line under a
// first line naming the format and its version. docs/design-file-format.md
// describes it for people; this is the one reader and writer.
//
//   vostrel design 1
//   # comments and blank lines are skipped
//   frequency = 14.3
//   element-diameter = 1.5 in

inline constexpr std::string_view kFirstLine = "vostrel design 1";
// Larger files are refused before they are read: a design is a few lines.
inline constexpr std::size_t kMaxBytes = std::size_t{64} * 1024;

enum class Key {
    Frequency,
    Resistance,
    Reactance,
    ElementDiameter,
    RodDiameter,
    Spacing,
    Unit,
    LineImpedance,
    StepUp,
    ClosedForm,
    TubeId,
    Dielectric,
    ElementLength,
    Power,
    SwrMargin,
    AntennaModel,
    AntennaModelSha256,
    RodSide,
    CapAt,
    BuiltLength,
    BuiltCapacitance,
};
inline constexpr std::size_t kKeyCount = static_cast<std::size_t>(Key::BuiltCapacitance) + 1;

enum class ValueKind {
    Number, // a plain number: "14.3", "-25", "1e3"
    Length, // a number with or without a unit symbol: "1.5 in", "12mm", "6"
    Unit, // mm, cm, m, in or ft
    StepUp, // whole or half
    ClosedForm, // corrected or textbook
    Dielectric, // air, ptfe, polyethylene or a permittivity
    Path, // any text
    Sha256, // 64 hexadecimal digits
    RodSide, // away, +x, -x, +y, -y, +z or -z
    CapAt, // feed, rod-end or tube
    Capacitance, // pF: "96", "96 pF" or "short"
};

struct KeyInfo {
    Key key;
    std::string_view name; // in the file: "element-diameter"
    ValueKind kind;
    // The vostrel-design option that takes the same value ("--element"),
    // empty for the choices that are flags there (step-up, closed-form)
    // and for the model's hash.
    std::string_view option;
};

// Every key, in the order the writer writes them.
std::span<const KeyInfo> keys();
const KeyInfo& keyInfo(Key key);

// The values a file holds, each as written (blanks around it trimmed);
// a key not in the file has none.
struct Design {
    std::array<std::optional<std::string>, kKeyCount> values;

    const std::optional<std::string>& operator[](Key key) const { return values[static_cast<std::size_t>(key)]; }
    std::optional<std::string>& operator[](Key key) { return values[static_cast<std::size_t>(key)]; }
    bool operator==(const Design&) const = default;
};

// Why a file was refused: `line` counts from 1; 0 for the file as a whole
// (too large, empty).
struct ReadError {
    std::size_t line = 0;
    std::string message;
};

// Reads a whole file. Refused, with the line: a first line other than
// kFirstLine (another format, or a later version of this one), a line that
// is not "key = value", a key it does not know (a later version's, or a
// slip: never silently dropped), a key given twice, an empty value, a value
// that does not read as its kind, text that is not UTF-8 or holds control
// characters, a file over kMaxBytes. Lines end in "\n" or "\r\n".
//   "vostrel design 1\nfrequency = 14.3\n" -> frequency "14.3"
//   "vostrel design 2\n"                   -> line 1, "... version 2 ..."
//   "vostrel design 1\nfreq = 14.3\n"      -> line 2, "unknown key \"freq\""
std::variant<Design, ReadError> readDesign(std::string_view text);

// Why a value cannot be written, or read: nothing when it is one of its
// key's kind.
//   Key::Unit, "in" -> nothing    Key::Unit, "yd" -> "unit: \"yd\" is ..."
std::optional<std::string> checkValue(Key key, std::string_view value);

struct WriteError {
    Key key;
    std::string message;
};

// The file for `design`: kFirstLine, then each value it has in keys()'
// order, so that readDesign() gives `design` back. A value checkValue()
// refuses (a line break in a path, an unknown unit) is not written: the
// refusal names its key.
std::variant<std::string, WriteError> writeDesign(const Design& design);

} // namespace vostrel::designfile
