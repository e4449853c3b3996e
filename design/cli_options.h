#pragma once

#include "design_cli.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vostrel::design::cli {

enum class Command { Design, Analyze, Capacitor, SweepCap, SweepLength, SweepFreq };

// What the command line asks for, each value as typed.
struct Options {
    Command command = Command::Design;
    std::string commandName; // "design", "sweep cap", for messages
    std::optional<std::string> range; // a sweep's FROM:TO:STEP
    std::map<std::string, std::string, std::less<>> values; // "--freq" -> "14.3"
    bool half = false;
    bool textbook = false; // the line model alone, not the default corrected one
    bool csv = false;

    bool has(std::string_view name) const { return values.contains(name); }
    // Only when has(name).
    const std::string& value(std::string_view name) const { return values.find(name)->second; }
};

// A refusal before anything was computed; the status says whose fault.
struct Failure {
    ExitStatus status = ExitStatus::BadInput;
    std::string message;
    bool showUsage = false; // add "Try 'vostrel-design --help'"
};

Failure usage(std::string message);
Failure badInput(std::string message);

// The command words first ("design", "sweep cap"), then options in any
// order, "--name value" or "--name=value", each at most once, only those
// of the command.
//   {"design", "--freq=14.3", "--half"}   -> Design, values {"--freq": "14.3"}, half
//   {"sweep", "cap", "70:150:1", "--csv"} -> SweepCap, range "70:150:1", csv
// Failures (usage, the message first):
//   {}                          -> "give a command: design, analyze, capacitor or sweep"
//   {"design", "--freq", "14", "--freq", "15"} -> "--freq is given twice"
//   {"design", "--half", "--half"}             -> "--half is given twice"
//   {"design", "--freq", "--r", "25"}         -> "--freq needs a value"
//   {"design", "--csv=yes"}     -> "--csv takes no value"
//   {"design", "--tube-id", "3mm"} -> "--tube-id is not an option of design"
//   {"design", "--bogus"}       -> "unknown option --bogus"
//   {"design", "stray"}         -> "unexpected argument stray"
std::variant<Options, Failure> parseArguments(std::span<const std::string_view> args);

// The usage text --help prints, its option lines from the shared table.
std::string helpText();

} // namespace vostrel::design::cli
