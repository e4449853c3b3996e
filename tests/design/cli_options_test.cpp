// vostrel-design's command line read into options: each row one argument
// list and what it gives, or the one-line refusal.
#include "cli_options.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vostrel::design;

namespace {

struct OptionsRow {
    const char* name;
    std::vector<std::string_view> args;
    const char* expected; // "command|key=value;..." or "error:message"
};

void PrintTo(const OptionsRow& row, std::ostream* out)
{
    *out << row.name;
}

// The options as one line: "sweep cap|range=70:150:1;--csv;--freq=14".
std::string described(const cli::Options& options)
{
    std::string text = options.commandName + "|";
    if (options.range) {
        text += "range=" + *options.range + ";";
    }
    if (options.half) {
        text += "--half;";
    }
    if (options.csv) {
        text += "--csv;";
    }
    for (const auto& [name, value] : options.values) {
        text += name + "=" + value + ";";
    }
    return text;
}

class CliOptions : public testing::TestWithParam<OptionsRow> { };

TEST_P(CliOptions, ReadOrRefused)
{
    const auto parsed = cli::parseArguments(GetParam().args);
    if (const auto* failure = std::get_if<cli::Failure>(&parsed)) {
        EXPECT_EQ("error:" + failure->message, GetParam().expected);
        EXPECT_TRUE(failure->showUsage);
        EXPECT_EQ(failure->status, ExitStatus::BadInput);
    } else {
        EXPECT_EQ(described(std::get<cli::Options>(parsed)), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CliOptions,
    testing::Values(OptionsRow{"equalsForm", {"design", "--freq=14.3", "--half"}, "design|--half;--freq=14.3;"},
        OptionsRow{"negativeValue", {"design", "--x", "-25"}, "design|--x=-25;"},
        OptionsRow{"negativeEqualsValue", {"design", "--x=-1e3"}, "design|--x=-1e3;"},
        OptionsRow{"sweepRange", {"sweep", "cap", "70:150:1", "--csv"}, "sweep cap|range=70:150:1;--csv;"},
        OptionsRow{"rangeAfterOptions", {"sweep", "length", "--cap", "50", "30in:40in:1in"},
            "sweep length|range=30in:40in:1in;--cap=50;"},
        OptionsRow{"britishAnalyse", {"analyse", "--length", "1in"}, "analyse|--length=1in;"},
        OptionsRow{"noCommand", {}, "error:give a command: design, analyze, capacitor or sweep"},
        OptionsRow{"unknownCommand", {"build"}, "error:unknown command build: design, analyze, capacitor or sweep"},
        OptionsRow{"sweepWhat", {"sweep", "volts"}, "error:sweep what: cap, length or freq"},
        OptionsRow{"valueGivenTwice", {"design", "--freq", "14", "--freq", "15"}, "error:--freq is given twice"},
        OptionsRow{"valueTwiceMixedForms", {"design", "--freq=14", "--freq", "15"}, "error:--freq is given twice"},
        OptionsRow{"flagGivenTwice", {"design", "--half", "--half"}, "error:--half is given twice"},
        OptionsRow{"csvGivenTwice", {"design", "--csv", "--csv"}, "error:--csv is given twice"},
        OptionsRow{"missingValueBeforeOption", {"design", "--freq", "--r", "25"}, "error:--freq needs a value"},
        OptionsRow{"missingValueAtEnd", {"design", "--freq"}, "error:--freq needs a value"},
        OptionsRow{"flagWithValue", {"design", "--csv=yes"}, "error:--csv takes no value"},
        OptionsRow{"otherCommandsOption", {"design", "--tube-id", "3mm"}, "error:--tube-id is not an option of design"},
        OptionsRow{"otherCommandsOptionEquals", {"capacitor", "--half"}, "error:--half is not an option of capacitor"},
        OptionsRow{"unknownOption", {"design", "--bogus"}, "error:unknown option --bogus"},
        OptionsRow{"strayArgument", {"design", "stray"}, "error:unexpected argument stray"},
        OptionsRow{"secondRange", {"sweep", "cap", "1:2:1", "3:4:1"}, "error:unexpected argument 3:4:1"}),
    [](const testing::TestParamInfo<OptionsRow>& info) { return std::string(info.param.name); });

TEST(CliHelp, ListsEveryOptionOfTheSharedTable)
{
    const std::string help = cli::helpText();
    for (const char* name : {"--freq MHZ", "--r OHMS", "--x OHMS", "--element LEN", "--rod LEN", "--spacing LEN",
             "--line OHMS", "--half", "--textbook", "--units UNIT", "--length LEN", "--cap PF", "--tube-id LEN",
             "--dielectric D", "--s1p FILE", "--from MHZ", "--element-length LEN", "--nec FILE", "--write-nec FILE",
             "--rod-side SIDE", "--csv", "--help, --version", "5 the program itself failed"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = help.find('\n', start);
        EXPECT_LE(help.substr(start, end - start).size(), 100U) << help.substr(start, end - start);
    }
}

// --rod-side's own lines, not only its place in the usage lines.
TEST(CliHelp, SaysWhichSidesTheRodTakes)
{
    const std::string help = cli::helpText();
    EXPECT_NE(
        help.find("\n  --rod-side SIDE   where the NEC-2 model's rod lies: away (from the other\n"), std::string::npos)
        << help;
    EXPECT_NE(
        help.find("\n                    +y, -y, +z or -z (the deck's axes, across the element)\n"), std::string::npos)
        << help;
}

} // namespace
