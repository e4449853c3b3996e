// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_options.h"

#include "ascii.h"
#include "design_options.h"
#include "utf8.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <vector>

namespace vostrel::design::cli {
namespace {

using Id = OptionId;

// The options of the line model, which every command but capacitor reads.
constexpr std::array kModel = {Id::Freq, Id::R, Id::X, Id::Element, Id::Rod, Id::Spacing, Id::Line, Id::Half,
    Id::Textbook, Id::Units, Id::Csv, Id::Design};

template <std::size_t... Sizes> constexpr auto joined(const std::array<Id, Sizes>&... lists)
{
    std::array<Id, (Sizes + ...)> all{};
    std::size_t next = 0;
    ((std::copy(lists.begin(), lists.end(), all.begin() + static_cast<std::ptrdiff_t>(next)), next += lists.size()),
        ...);
    return all;
}

// The ratings at a power, and the coaxial capacitor whose gap they check.
constexpr std::array kRatings = {Id::Power, Id::SwrMargin, Id::TubeId, Id::Dielectric};
// The capacitor as a piece of cable instead of a rod in a tube.
constexpr auto kDesign = joined(kModel, std::array{Id::ElementLength, Id::Nec, Id::WriteNec, Id::RodSide, Id::CapAt},
    kRatings, std::array{Id::Coax});
constexpr auto kAnalyze = joined(kModel, std::array{Id::Length, Id::Cap}, kRatings, std::array{Id::Coax});
// The reading of a built match, and the build: --r and --x optional (the
// model's estimate); with --element-length or --nec the step is NEC-2's.
constexpr auto kAdjust = joined(kModel,
    std::array{Id::Length, Id::Cap, Id::Zin, Id::ZinS1p, Id::Through, Id::ThroughLine, Id::ElementLength, Id::Nec,
        Id::RodSide, Id::CapAt},
    kRatings);
constexpr std::array kCapacitor = {Id::Freq, Id::X, Id::TubeId, Id::Rod, Id::Dielectric, Id::Coax, Id::Units, Id::Csv};
constexpr auto kSweepCap = joined(kModel, std::array{Id::Length});
constexpr auto kSweepLength = joined(kModel, std::array{Id::Cap});
constexpr auto kSweepFreq = joined(kModel,
    std::array{Id::Length, Id::Cap, Id::S1p, Id::From, Id::To, Id::Step, Id::ElementLength, Id::Nec, Id::RodSide,
        Id::CapAt, Id::TubeId, Id::Dielectric});

std::string shown(std::string_view text)
{
    return shownText(text, 40);
}

// The command words; returns how many arguments they took.
std::variant<std::size_t, CommandLineError> parseCommand(std::span<const std::string_view> args, Options& options)
{
    if (args.empty()) {
        return usage("give a command: design, analyze, adjust, capacitor or sweep");
    }
    const std::string_view command = args[0];
    constexpr std::array<std::pair<std::string_view, Command>, 5> single
        = {{{"design", Command::Design}, {"analyze", Command::Analyze}, {"analyse", Command::Analyze},
            {"adjust", Command::Adjust}, {"capacitor", Command::Capacitor}}};
    for (const auto& [word, which] : single) {
        if (command == word) {
            options.command = which;
            options.commandName = std::string(word);
            return std::size_t{1};
        }
    }
    if (command != "sweep") {
        return usage("unknown command " + shown(command) + ": design, analyze, adjust, capacitor or sweep");
    }
    const std::string_view what = args.size() > 1 ? args[1] : std::string_view();
    if (what == "cap") {
        options.command = Command::SweepCap;
    } else if (what == "length") {
        options.command = Command::SweepLength;
    } else if (what == "freq") {
        options.command = Command::SweepFreq;
    } else {
        return usage("sweep what: cap, length or freq");
    }
    options.commandName = "sweep " + std::string(what);
    return std::size_t{2};
}

// What CLI11 leaves to us: a value option with nothing after it or after
// its "=" (CLI11 would take the next option's name as missing or as a
// stray), a flag given a value (CLI11 would read "--csv=yes" as true).
std::optional<CommandLineError> checkValues(std::span<const std::string_view> args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const std::size_t equals = arg.find('=');
        const options::OptionInfo* option = options::findOption(arg.substr(0, equals));
        if (option == nullptr) {
            continue;
        }
        if (option->value.empty() && equals != std::string_view::npos) {
            return usage(std::string(option->name) + " takes no value");
        }
        const bool nextIsValue = i + 1 < args.size() && !args[i + 1].starts_with("--");
        const bool valueGiven = equals == std::string_view::npos ? nextIsValue : equals + 1 < arg.size();
        if (!option->value.empty() && !valueGiven) { // "--freq --r 25", "--freq=", "--freq" last
            return usage(std::string(option->name) + " needs a value");
        }
    }
    return std::nullopt;
}

// A word CLI11 did not take: an option of another command, an unknown one
// or a stray argument.
CommandLineError leftOver(const std::string& word, const Options& options)
{
    const std::string name = word.substr(0, word.find('='));
    if (options::findOption(name) != nullptr) {
        return usage(name + " is not an option of " + options.commandName);
    }
    return usage((word.starts_with("-") ? "unknown option " : "unexpected argument ") + shown(name));
}

} // namespace

const std::optional<std::string>& Options::valueOf(OptionId id) const
{
    static const std::optional<std::string> kFlag; // a flag has no value
    const auto member = memberOf(id);
    const auto* value = std::get_if<ValueMember>(&member);
    return value != nullptr ? this->**value : kFlag;
}

std::variant<ValueMember, FlagMember> memberOf(OptionId id)
{
    switch (id) {
    case Id::Freq:
        return &Options::freq;
    case Id::R:
        return &Options::r;
    case Id::X:
        return &Options::x;
    case Id::Element:
        return &Options::element;
    case Id::Rod:
        return &Options::rod;
    case Id::Spacing:
        return &Options::spacing;
    case Id::Line:
        return &Options::line;
    case Id::Half:
        return &Options::half;
    case Id::Textbook:
        return &Options::textbook;
    case Id::Units:
        return &Options::units;
    case Id::Length:
        return &Options::length;
    case Id::Cap:
        return &Options::cap;
    case Id::TubeId:
        return &Options::tubeId;
    case Id::Dielectric:
        return &Options::dielectric;
    case Id::S1p:
        return &Options::s1p;
    case Id::From:
        return &Options::from;
    case Id::To:
        return &Options::to;
    case Id::Step:
        return &Options::step;
    case Id::Zin:
        return &Options::zin;
    case Id::ZinS1p:
        return &Options::zinS1p;
    case Id::Through:
        return &Options::through;
    case Id::ThroughLine:
        return &Options::throughLine;
    case Id::ElementLength:
        return &Options::elementLength;
    case Id::Nec:
        return &Options::nec;
    case Id::WriteNec:
        return &Options::writeNec;
    case Id::RodSide:
        return &Options::rodSide;
    case Id::CapAt:
        return &Options::capAt;
    case Id::Power:
        return &Options::power;
    case Id::SwrMargin:
        return &Options::swrMargin;
    case Id::Coax:
        return &Options::coax;
    case Id::Design:
        return &Options::design;
    case Id::Csv:
        return &Options::csv;
    }
    return &Options::csv; // not reached: every id has its case
}

std::span<const OptionId> optionsOf(Command command)
{
    switch (command) {
    case Command::Design:
        return kDesign;
    case Command::Analyze:
        return kAnalyze;
    case Command::Adjust:
        return kAdjust;
    case Command::Capacitor:
        return kCapacitor;
    case Command::SweepCap:
        return kSweepCap;
    case Command::SweepLength:
        return kSweepLength;
    case Command::SweepFreq:
        return kSweepFreq;
    }
    return kDesign;
}

std::string optionName(OptionId id)
{
    return std::string(options::optionInfo(id).name);
}

bool tubeAsked(const Options& options)
{
    return options.capAt && ascii::lowered(*options.capAt) == "tube";
}

CommandLineError usage(std::string message)
{
    return CommandLineError{ExitStatus::BadInput, std::move(message), true};
}

CommandLineError badInput(std::string message)
{
    return CommandLineError{ExitStatus::BadInput, std::move(message), false};
}

std::variant<Options, CommandLineError> parseArguments(std::span<const std::string_view> args)
{
    Options options;
    const auto taken = parseCommand(args, options);
    if (const auto* failure = std::get_if<CommandLineError>(&taken)) {
        return *failure;
    }
    const auto rest = args.subspan(std::get<std::size_t>(taken));
    if (auto failure = checkValues(rest)) {
        return *failure;
    }

    CLI::App app(options.commandName);
    app.allow_extras();
    app.set_help_flag(); // --help is ours, wherever it stands
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    // CLI11 writes into `texts`; only what was given reaches `options`.
    std::array<std::string, options::kOptionCount> texts;
    const std::span<const OptionId> allowed = optionsOf(options.command);
    for (const options::OptionInfo& option : options::designOptions()) {
        const OptionId id = option.id;
        if (std::find(allowed.begin(), allowed.end(), id) == allowed.end()) {
            continue;
        }
        const std::string name(option.name);
        const auto member = memberOf(id);
        if (const auto* flag = std::get_if<FlagMember>(&member)) {
            // Flags too: "--half --half" is refused.
            app.add_flag(name, options.*(*flag))->multi_option_policy(CLI::MultiOptionPolicy::Throw);
        } else {
            app.add_option(name, texts[static_cast<std::size_t>(id)])->allow_extra_args(false);
        }
    }
    std::string range;
    const bool sweep = options.command == Command::SweepCap || options.command == Command::SweepLength
        || options.command == Command::SweepFreq;
    if (sweep) {
        app.add_option("range", range);
    }
    std::vector<std::string> reversed(rest.rbegin(), rest.rend()); // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& mismatch) {
        const std::string what = mismatch.what();
        const std::string name = what.substr(0, what.find(':'));
        return usage(name + (what.find("At Most") != std::string::npos ? " is given twice" : " needs a value"));
    } catch (const CLI::ParseError& error) {
        return usage(error.what());
    }
    if (const auto extras = app.remaining(); !extras.empty()) {
        return leftOver(extras.front(), options);
    }
    for (const OptionId id : allowed) {
        const auto member = memberOf(id);
        if (const auto* value = std::get_if<ValueMember>(&member); value != nullptr && app.count(optionName(id)) > 0) {
            options.*(*value) = std::move(texts[static_cast<std::size_t>(id)]);
        }
    }
    if (sweep && app.count("range") > 0) {
        options.range = range;
    }
    return options;
}

std::string helpText()
{
    std::string text
        = "Usage: vostrel-design design  --freq MHZ --r OHMS --x OHMS --element LEN --rod LEN --spacing LEN\n"
          "                              [--line OHMS] [--half] [--textbook] [--units UNIT] [--csv]\n"
          "       vostrel-design design  (as above, --r and --x optional) --element-length LEN\n"
          "                              [--write-nec FILE] [--rod-side SIDE] [--cap-at PLACE]\n"
          "                              [--cap-at tube --tube-id LEN [--dielectric D]]\n"
          "       vostrel-design design  --nec FILE --freq MHZ --rod LEN --spacing LEN [--write-nec FILE]\n"
          "                              [--rod-side SIDE] [--cap-at PLACE ...]\n"
          "       vostrel-design design  (any of the above) --power W [--swr-margin S]\n"
          "                              [--tube-id LEN] [--dielectric D]\n"
          "       vostrel-design design  (the closed form) [--power W ...] --coax NAME\n"
          "       vostrel-design analyze   (the options of design) --length LEN --cap PF [--power W ...]\n"
          "                                [--coax NAME]\n"
          "       vostrel-design adjust    (the options of design, --r and --x optional) --length LEN --cap PF\n"
          "                                --zin R,X | --zin-s1p FILE  [--through CABLE,LENGTH | --through-line\n"
          "                                Z0,VF,DB100M@MHZ,LENGTH] [--element-length LEN | --nec FILE\n"
          "                                [--rod-side SIDE] [--cap-at PLACE]]\n"
          "                                [--tube-id LEN [--dielectric D]] [--power W [--swr-margin S]]\n"
          "       vostrel-design capacitor --freq MHZ --x OHMS [--tube-id LEN --rod LEN [--dielectric D]]\n"
          "                                [--coax NAME]\n"
          "       vostrel-design sweep cap FROM:TO:STEP     (the options of design) [--length LEN]\n"
          "       vostrel-design sweep length FROM:TO:STEP  (the options of design) [--cap PF]\n"
          "       vostrel-design sweep freq FROM:TO:STEP    (the options of design) [--length LEN --cap PF]\n"
          "       vostrel-design sweep freq --s1p FILE      (the options of design but --r and --x)\n"
          "       vostrel-design sweep freq FROM:TO:STEP    (the options of design) --element-length LEN\n"
          "       vostrel-design sweep freq FROM:TO:STEP    (the options of design but --element) --nec FILE\n"
          "                                 (with either) [--rod-side SIDE] [--cap-at PLACE ...]\n"
          "\n"
          "The gamma match for a measured or modelled feed impedance Za = R + jX at the\n"
          "element centre: the rod length (feed point to shorting strap) and the series\n"
          "capacitor that match the feed line, from the rod-to-element line and the\n"
          "folded-dipole step-up of the feed impedance. adjust takes a built match and\n"
          "what an analyser read at it: the element impedance that explains the reading,\n"
          "then the next strap position and capacitor; with --element-length or --nec,\n"
          "in NEC-2's model of the match (the closed form's step when nec2c cannot run).\n"
          "\n";
    for (const options::OptionInfo& option : options::designOptions()) {
        if (option.help.empty()) {
            continue;
        }
        std::string head = "  " + std::string(option.name);
        if (!option.value.empty()) {
            head += " " + std::string(option.value);
        }
        head.resize(std::max<std::size_t>(head.size() + 1, 20), ' ');
        std::string_view help = option.help;
        for (std::size_t end = help.find('\n'); !help.empty(); end = help.find('\n')) {
            text += head + std::string(help.substr(0, end)) + "\n";
            head = std::string(20, ' ');
            help = end == std::string_view::npos ? std::string_view() : help.substr(end + 1);
        }
    }
    text += "  --help, --version\n"
            "\n"
            "Options take their value after a blank or an \"=\" (--freq=14.3), each at most\n"
            "once. Ranges count in exact decimals, the end included when a step lands on\n"
            "it: capacitance in pF, rod length in the unit of --element (or with a unit:\n"
            "35in:42in:0.1in), frequency in MHz. At most 100000 values.\n"
            "\n"
            "The full-wave check runs nec2c (or the program VOSTREL_NEC2C names), each run\n"
            "stopped after VOSTREL_NEC2C_TIMEOUT seconds (20). When it cannot run, the\n"
            "closed-form answer is given, marked as not checked.\n"
            "\n"
            "Exit status: 0 solved, 1 no gamma match of these inputs matches, 2 bad options\n"
            "or input, 3 the output could not be written, 4 an input file could not be\n"
            "read, 5 the program itself failed (out of memory).\n";
    return text;
}

} // namespace vostrel::design::cli
