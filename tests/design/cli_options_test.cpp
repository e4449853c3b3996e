// SPDX-License-Identifier: GPL-3.0-or-later
// vostrel-design's command line read into options: each row one argument
// list and what it gives, or the one-line refusal.
#include "cli_options.h"
#include "design_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
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
    if (options.textbook) {
        text += "--textbook;";
    }
    if (options.csv) {
        text += "--csv;";
    }
    // Each member by hand, not through the parser's own binding, so that an
    // option bound to the wrong member shows.
    const std::map<std::string, const std::optional<std::string>*> values
        = {{"--freq", &options.freq}, {"--r", &options.r}, {"--x", &options.x}, {"--element", &options.element},
            {"--rod", &options.rod}, {"--spacing", &options.spacing}, {"--line", &options.line},
            {"--units", &options.units}, {"--length", &options.length}, {"--cap", &options.cap},
            {"--tube-id", &options.tubeId}, {"--dielectric", &options.dielectric}, {"--s1p", &options.s1p},
            {"--from", &options.from}, {"--to", &options.to}, {"--step", &options.step},
            {"--element-length", &options.elementLength}, {"--nec", &options.nec}, {"--write-nec", &options.writeNec},
            {"--rod-side", &options.rodSide}, {"--cap-at", &options.capAt}, {"--zin", &options.zin},
            {"--zin-s1p", &options.zinS1p}, {"--through", &options.through}, {"--through-line", &options.throughLine},
            {"--power", &options.power}, {"--swr-margin", &options.swrMargin}, {"--coax", &options.coax}};
    for (const auto& [name, value] : values) {
        if (*value) {
            text += name + "=" + **value + ";";
        }
    }
    return text;
}

class CliOptions : public testing::TestWithParam<OptionsRow> { };

TEST_P(CliOptions, ReadOrRefused)
{
    const auto parsed = cli::parseArguments(GetParam().args);
    if (const auto* failure = std::get_if<cli::CommandLineError>(&parsed)) {
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
        // A reading's reactance after the comma may be negative, and so
        // may its resistance (refused later, by the model, in words).
        OptionsRow{"readingNegativeReactance", {"adjust", "--zin", "38.5,-21.2"}, "adjust|--zin=38.5,-21.2;"},
        OptionsRow{"readingEquals", {"adjust", "--zin=38.5,-21.2"}, "adjust|--zin=38.5,-21.2;"},
        OptionsRow{"readingNegativeResistance", {"adjust", "--zin", "-5,3"}, "adjust|--zin=-5,3;"},
        OptionsRow{"readingThroughCable", {"adjust", "--through", "rg213,15m", "--zin-s1p", "a.s1p"},
            "adjust|--through=rg213,15m;--zin-s1p=a.s1p;"},
        OptionsRow{"britishAnalyse", {"analyse", "--length", "1in"}, "analyse|--length=1in;"},
        OptionsRow{"noCommand", {}, "error:give a command: design, analyze, adjust, capacitor or sweep"},
        OptionsRow{
            "unknownCommand", {"build"}, "error:unknown command build: design, analyze, adjust, capacitor or sweep"},
        OptionsRow{"sweepWhat", {"sweep", "volts"}, "error:sweep what: cap, length or freq"},
        OptionsRow{"valueGivenTwice", {"design", "--freq", "14", "--freq", "15"}, "error:--freq is given twice"},
        OptionsRow{"valueTwiceMixedForms", {"design", "--freq=14", "--freq", "15"}, "error:--freq is given twice"},
        OptionsRow{"flagGivenTwice", {"design", "--half", "--half"}, "error:--half is given twice"},
        OptionsRow{"csvGivenTwice", {"design", "--csv", "--csv"}, "error:--csv is given twice"},
        OptionsRow{"missingValueBeforeOption", {"design", "--freq", "--r", "25"}, "error:--freq needs a value"},
        OptionsRow{"missingValueAtEnd", {"design", "--freq"}, "error:--freq needs a value"},
        OptionsRow{"flagWithValue", {"design", "--csv=yes"}, "error:--csv takes no value"},
        OptionsRow{"otherCommandsOption", {"design", "--zin", "3,0"}, "error:--zin is not an option of design"},
        OptionsRow{"otherCommandsOptionEquals", {"capacitor", "--half"}, "error:--half is not an option of capacitor"},
        OptionsRow{"unknownOption", {"design", "--bogus"}, "error:unknown option --bogus"},
        OptionsRow{"strayArgument", {"design", "stray"}, "error:unexpected argument stray"},
        OptionsRow{"secondRange", {"sweep", "cap", "1:2:1", "3:4:1"}, "error:unexpected argument 3:4:1"},
        // A negative number is a value, after a blank or an "="; alone it
        // is no option.
        OptionsRow{"negativeFrequency", {"sweep", "freq", "--from", "-7.1", "--to=-7", "--step", "-0.1"},
            "sweep freq|--from=-7.1;--step=-0.1;--to=-7;"},
        OptionsRow{"negativeAlone", {"design", "-25"}, "error:unknown option -25"},
        OptionsRow{"singleDash", {"design", "-f", "14"}, "error:unknown option -f"},
        // A value option with nothing to take: before another option, last,
        // or after an empty "=" (then the next word is no value of it).
        OptionsRow{"valueBeforeFlag", {"design", "--line", "--half"}, "error:--line needs a value"},
        OptionsRow{"emptyEquals", {"design", "--freq=", "--r", "25"}, "error:--freq needs a value"},
        OptionsRow{"emptyEqualsAtEnd", {"design", "--freq="}, "error:--freq needs a value"},
        OptionsRow{"valueThatIsAnEquals", {"design", "--r", "=25"}, "design|--r==25;"},
        // A flag takes none, either way.
        OptionsRow{"flagBare", {"design", "--textbook"}, "design|--textbook;"},
        OptionsRow{"flagWithEmptyValue", {"design", "--half="}, "error:--half takes no value"},
        OptionsRow{"flagWithFalse", {"design", "--textbook=false"}, "error:--textbook takes no value"},
        // Each option once; different options each once are fine.
        OptionsRow{"valueTwiceEqualsLast", {"design", "--r", "1", "--r=2"}, "error:--r is given twice"},
        OptionsRow{"textbookTwice", {"design", "--textbook", "--textbook"}, "error:--textbook is given twice"},
        OptionsRow{
            "eachOnce", {"design", "--r", "1", "--x", "2", "--half", "--csv"}, "design|--half;--csv;--r=1;--x=2;"},
        // An option is taken by the commands that read it, refused by the
        // others by name; a name not in the table is unknown.
        OptionsRow{"tubeIdOfCapacitor", {"capacitor", "--tube-id", "12mm"}, "capacitor|--tube-id=12mm;"},
        OptionsRow{"lengthOfDesign", {"design", "--length", "1in"}, "error:--length is not an option of design"},
        OptionsRow{"sIpOfSweepCap", {"sweep", "cap", "--s1p=a.s1p"}, "error:--s1p is not an option of sweep cap"},
        OptionsRow{"unknownEquals", {"design", "--bogus=3"}, "error:unknown option --bogus"},
        OptionsRow{"caseMatters", {"design", "--Freq", "14"}, "error:unknown option --Freq"},
        // A range is for sweeps only, and one.
        OptionsRow{"rangeOfDesign", {"design", "1:2:1"}, "error:unexpected argument 1:2:1"},
        OptionsRow{"sweepWithoutRange", {"sweep", "freq", "--s1p", "a.s1p"}, "sweep freq|--s1p=a.s1p;"}),
    [](const testing::TestParamInfo<OptionsRow>& info) { return std::string(info.param.name); });

// Every value option lands in its own member: one run with all of a
// command's options, each given its own name as its value.
TEST(CliOptionsMembers, EachValueLandsInItsOwnMember)
{
    for (const auto& [command, names] : std::vector<std::pair<std::vector<std::string_view>, std::vector<std::string>>>{
             {{"design"},
                 {"--freq", "--r", "--x", "--element", "--rod", "--spacing", "--line", "--units", "--element-length",
                     "--nec", "--write-nec", "--rod-side", "--cap-at", "--power", "--swr-margin", "--coax"}},
             {{"analyze"}, {"--power", "--swr-margin", "--tube-id", "--dielectric", "--coax"}},
             {{"adjust"}, {"--power", "--swr-margin", "--tube-id", "--dielectric"}},
             {{"capacitor"}, {"--tube-id", "--dielectric", "--coax"}},
             {{"sweep", "freq"}, {"--length", "--cap", "--s1p", "--from", "--to", "--step"}},
         }) {
        std::vector<std::string_view> args = command;
        std::string expected
            = std::string(command[0]) + (command.size() > 1 ? " " + std::string(command[1]) : "") + "|";
        std::map<std::string, std::string> given; // "--freq" -> "freq"
        for (const std::string& name : names) {
            given[name] = name.substr(2);
        }
        for (const auto& [name, value] : given) {
            args.push_back(name);
            args.push_back(value);
            expected += name + "=" + value + ";";
        }
        const auto parsed = cli::parseArguments(args);
        ASSERT_TRUE(std::holds_alternative<cli::Options>(parsed)) << std::get<cli::CommandLineError>(parsed).message;
        EXPECT_EQ(described(std::get<cli::Options>(parsed)), expected);
    }
}

// Which command takes which option: each pair of command and option,
// accepted or refused as "not an option of".
TEST(CliOptionsMembers, EachCommandTakesItsOptionsAndRefusesTheOthers)
{
    const std::vector<std::string> model = {"--freq", "--r", "--x", "--element", "--rod", "--spacing", "--line",
        "--half", "--textbook", "--units", "--csv", "--design"};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.end(), model.begin(), model.end());
        return more;
    };
    const std::vector<std::pair<std::vector<std::string_view>, std::vector<std::string>>> commands = {
        {{"design"},
            with({"--element-length", "--nec", "--write-nec", "--rod-side", "--cap-at", "--power", "--swr-margin",
                "--tube-id", "--dielectric", "--coax"})},
        {{"analyze"}, with({"--length", "--cap", "--power", "--swr-margin", "--tube-id", "--dielectric", "--coax"})},
        {{"adjust"},
            with({"--length", "--cap", "--zin", "--zin-s1p", "--through", "--through-line", "--element-length", "--nec",
                "--rod-side", "--cap-at", "--tube-id", "--dielectric", "--power", "--swr-margin"})},
        {{"capacitor"}, {"--freq", "--x", "--tube-id", "--rod", "--dielectric", "--coax", "--units", "--csv"}},
        {{"sweep", "cap"}, with({"--length"})},
        {{"sweep", "length"}, with({"--cap"})},
        {{"sweep", "freq"},
            with({"--length", "--cap", "--s1p", "--from", "--to", "--step", "--element-length", "--nec", "--rod-side",
                "--cap-at", "--tube-id", "--dielectric"})},
    };
    for (const auto& [command, taken] : commands) {
        const std::string commandName
            = std::string(command[0]) + (command.size() > 1 ? " " + std::string(command[1]) : "");
        for (const vostrel::options::OptionInfo& option : vostrel::options::designOptions()) {
            std::vector<std::string_view> args = command;
            args.push_back(option.name);
            if (!option.value.empty()) {
                args.push_back("1");
            }
            const auto parsed = cli::parseArguments(args);
            const bool takes = std::find(taken.begin(), taken.end(), option.name) != taken.end();
            if (takes) {
                EXPECT_TRUE(std::holds_alternative<cli::Options>(parsed)) << commandName << " " << option.name;
            } else {
                const auto* failure = std::get_if<cli::CommandLineError>(&parsed);
                ASSERT_NE(failure, nullptr) << commandName << " " << option.name;
                EXPECT_EQ(failure->message, std::string(option.name) + " is not an option of " + commandName);
            }
        }
    }
}

// The binding the parser reads and writes through: a flag of the table is
// a bool, a value option an optional string, and valueOf() reads the same.
TEST(CliOptionsMembers, EveryOptionOfTheTableIsBoundByItsKind)
{
    cli::Options options;
    for (const vostrel::options::OptionInfo& option : vostrel::options::designOptions()) {
        const auto member = cli::memberOf(option.id);
        EXPECT_EQ(std::holds_alternative<cli::FlagMember>(member), option.value.empty()) << option.name;
        EXPECT_EQ(cli::optionName(option.id), option.name);
        if (const auto* value = std::get_if<cli::ValueMember>(&member)) {
            options.*(*value) = std::string(option.name);
        }
    }
    for (const vostrel::options::OptionInfo& option : vostrel::options::designOptions()) {
        const std::optional<std::string>& value = options.valueOf(option.id);
        if (option.value.empty()) {
            EXPECT_FALSE(value.has_value()) << option.name;
        } else {
            EXPECT_EQ(value.value_or(""), option.name); // no two options share a member
        }
    }
}

TEST(CliHelp, ListsEveryOptionOfTheSharedTable)
{
    const std::string help = cli::helpText();
    for (const char* name : {"--freq MHZ", "--r OHMS", "--x OHMS", "--element LEN", "--rod LEN", "--spacing LEN",
             "--line OHMS", "--half", "--textbook", "--units UNIT", "--length LEN", "--cap PF", "--tube-id LEN",
             "--dielectric D", "--s1p FILE", "--from MHZ", "--element-length LEN", "--nec FILE", "--write-nec FILE",
             "--rod-side SIDE", "--zin R,X", "--zin-s1p FILE", "--through CABLE,LENGTH",
             "--through-line Z0,VF,DB100M@MHZ,LENGTH", "vostrel-design adjust", "in NEC-2's model of the match",
             "--csv", "--help, --version", "5 the program itself failed"}) {
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
