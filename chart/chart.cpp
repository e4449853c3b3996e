// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart.h"

#include "ascii.h"
#include "csv.h"
#include "decimal_range.h"
#include "failure_message.h"
#include "gamma_match.h"
#include "number_text.h"
#include "shown_result.h"
#include "utf8.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <utility>
#include <variant>
#include <vector>

#ifndef VOSTREL_VERSION
#define VOSTREL_VERSION "unknown"
#endif

namespace vostrel::chart {
namespace {

// Edges of the amateur bands as allocated in ITU Region 2 (the widest
// where the regions differ; 2200m and 630m as the ITU allocated them in
// 2007 and 2012, 33cm as the FCC allocates it), with a step of 1, 2 or 5
// times a power of ten that lands on the upper edge.
struct Band {
    std::string_view name;
    std::string_view from;
    std::string_view to;
    std::string_view step;
};

constexpr std::array kBands = {
    Band{"2200m", "0.1357", "0.1378", "0.0001"},
    Band{"630m", "0.472", "0.479", "0.001"},
    Band{"160m", "1.8", "2", "0.05"},
    Band{"80m", "3.5", "4", "0.1"},
    Band{"60m", "5.3515", "5.3665", "0.005"},
    Band{"40m", "7", "7.3", "0.05"},
    Band{"30m", "10.1", "10.15", "0.01"},
    Band{"20m", "14", "14.35", "0.05"},
    Band{"17m", "18.068", "18.168", "0.02"},
    Band{"15m", "21", "21.45", "0.05"},
    Band{"12m", "24.89", "24.99", "0.02"},
    Band{"10m", "28", "29.7", "0.1"},
    Band{"6m", "50", "54", "0.5"},
    Band{"2m", "144", "148", "0.5"},
    Band{"1.25m", "222", "225", "0.5"},
    Band{"70cm", "420", "450", "2"},
    Band{"33cm", "902", "928", "2"},
    Band{"23cm", "1240", "1300", "5"},
};

constexpr std::size_t kMaxLine = 1 << 20; // longer input lines are refused
constexpr std::size_t kShownInput = 40; // bytes of a failed input echoed back
constexpr std::int64_t kDefaultMaxRows = 10'000'000;

constexpr std::string_view kTryHelp = "Try 'vostrel-chart --help' for more information.\n";

constexpr std::string_view kUsage
    = "Usage: vostrel-chart [--inches | --cm] [--csv] [FREQUENCY... | -]\n"
      "       vostrel-chart [--inches | --cm] [--csv] [--max-rows N] --from MHZ --to MHZ --step MHZ\n"
      "       vostrel-chart [--inches | --cm] [--csv] --band BAND\n"
      "\n"
      "Prints gamma match starting values, one row per frequency in MHz, exactly\n"
      "as the calculator window shows them after INCHES or CM. Frequencies come\n"
      "from the arguments (\"-\" reads standard input there), a range (the end\n"
      "included when a step lands on it), a band, or else from standard input,\n"
      "one per line (blank lines are skipped). Frequencies are written with \".\"\n"
      "as the decimal separator.\n"
      "\n"
      "  --inches       lengths in inches (the default)\n"
      "  --cm           lengths in centimetres\n"
      "  --csv          comma-separated values with a header line; an echoed input\n"
      "                 that starts with = + - @ gets a leading '\n"
      "  --from, --to, --step   a range of frequencies, plain decimals; the step\n"
      "                 must tell the frequencies apart in seven digits\n"
      "  --max-rows N   allow a range of up to N rows (default 10000000)\n"
      "  --band BAND    a whole amateur band: 2200m 630m 160m 80m 60m 40m 30m 20m\n"
      "                 17m 15m 12m 10m 6m 2m 1.25m 70cm 33cm 23cm\n"
      "  --help         this text\n"
      "  --version      the program's version\n"
      "\n"
      "Exit status: 0 when every row computed, 1 when a row failed, 2 for bad\n"
      "options, 3 when the output could not be written, 4 when standard input\n"
      "could not be read (the rows before are written), 5 when the program\n"
      "itself failed.\n";

constexpr std::string_view kPrompt = "vostrel-chart: reading frequencies in MHz, one per line; Ctrl-D ends\n";

struct Options {
    LengthUnit unit = LengthUnit::Inches;
    bool csv = false;
    std::vector<std::string_view> frequencies;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> step;
    std::optional<std::string> band;
    std::optional<std::string> maxRows;
};

struct Row {
    std::string frequency; // the computed frequency, or the failed input echoed
    std::array<std::string, kResultFields.size()> values; // in the order of kResultFields
    std::optional<std::string> failure; // what to do about a failed row
};

// Columns a terminal gives a character: none for combining marks, two for
// the wide East Asian characters and emoji, one for the rest (a short
// stand-in for wcwidth that needs no locale).
std::size_t columns(char32_t c)
{
    constexpr std::array<std::pair<char32_t, char32_t>, 8> kCombining = {{
        {0x0300, 0x036F},
        {0x0483, 0x0489},
        {0x0591, 0x05BD},
        {0x0610, 0x061A},
        {0x064B, 0x065F},
        {0x1AB0, 0x1AFF},
        {0x1DC0, 0x1DFF},
        {0x20D0, 0x20FF},
    }};
    constexpr std::array<std::pair<char32_t, char32_t>, 12> kWide = {{
        {0x1100, 0x115F},
        {0x2E80, 0x303E},
        {0x3041, 0x33FF},
        {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},
        {0xA000, 0xA4CF},
        {0xAC00, 0xD7A3},
        {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},
        {0xFF00, 0xFF60},
        {0xFFE0, 0xFFE6},
        {0x1F300, 0x3FFFD},
    }};
    const auto within = [c](const auto& ranges) {
        return std::any_of(ranges.begin(), ranges.end(), [c](const auto& r) { return c >= r.first && c <= r.second; });
    };
    if (c >= 0x0300 && within(kCombining)) {
        return 0;
    }
    return c >= 0x1100 && within(kWide) ? 2 : 1;
}

std::size_t columns(std::string_view text)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = decodeUtf8(text, i);
        width += columns(c.codePoint);
        i += c.length;
    }
    return width;
}

// A failed input as it is echoed: what a terminal or a CSV reader could
// take for a command becomes "?", and a long text is cut (see shownText).
std::string shownInput(std::string_view text)
{
    return shownText(text, kShownInput);
}

void fail(Row& row, std::string_view text, CalcFailure failure)
{
    row.frequency = shownInput(text);
    row.failure = failureMessage(failure, text, NumberFormat{"."});
}

Row failedRow(std::string_view text, CalcFailure failure)
{
    Row row;
    fail(row, text, failure);
    return row;
}

// One row; every path returns `row`, so it is built in place.
Row computeRow(std::string_view text, LengthUnit unit)
{
    const NumberFormat point{"."};
    Row row;
    const Result<float> freq = parseSingle(text, point);
    if (!freq) {
        fail(row, text, freq.failure());
        return row;
    }
    GammaMatchValues values;
    values.freq = freq.value();
    if (const Result<void> computed = computeGammaMatch(values, unit); !computed) {
        fail(row, text, computed.failure());
        return row;
    }
    row.frequency = formatSingle(values.freq, point);
    for (std::size_t i = 0; i < kResultFields.size(); ++i) {
        row.values[i] = shownResult(values.*kResultFields[i].member, point);
    }
    return row;
}

class Writer {
public:
    Writer(std::ostream& out, bool csv, LengthUnit unit)
        : m_out(out)
        , m_csv(csv)
    {
        const std::string_view length = unit == LengthUnit::Inches ? "in" : "cm";
        std::string names = m_csv ? "frequency_mhz" : padded("Frequency");
        std::string units = padded("MHz");
        for (const ResultField& field : kResultFields) {
            const std::string_view fieldUnit = field.unit == ResultUnit::Length ? length : "pF";
            if (m_csv) {
                names.append(",").append(field.key).append("_").append(fieldUnit == "pF" ? "pf" : length);
            } else {
                names += padded(field.name);
                units += padded(fieldUnit);
            }
        }
        m_out << (m_csv ? names + ",error\n" : names + "\n" + units + "\n");
    }

    void write(const Row& row)
    {
        std::string line;
        if (m_csv) {
            line = row.failure ? csv::echoed(row.frequency) : csv::field(row.frequency);
            for (const std::string& value : row.values) {
                line += "," + value;
            }
            line += ",";
            if (row.failure) {
                line += csv::field(*row.failure);
            }
        } else {
            line = row.failure ? padded(row.frequency, columns(row.frequency)) : padded(row.frequency);
            if (row.failure) {
                line += "  ";
                line += *row.failure;
            } else {
                for (const std::string& value : row.values) {
                    line += padded(value);
                }
            }
        }
        line.push_back('\n');
        m_out << line;
    }

private:
    // Right-aligned in 14 columns: wide enough for "-3.402823E+38". The
    // width is the text's size for the ASCII texts the chart computes.
    static std::string padded(std::string_view text) { return padded(text, text.size()); }

    static std::string padded(std::string_view text, std::size_t width)
    {
        constexpr std::size_t kWidth = 14;
        std::string cell(width < kWidth ? kWidth - width : 1, ' ');
        cell += text;
        return cell;
    }

    std::ostream& m_out;
    bool m_csv;
};

ExitStatus usageError(std::ostream& err, std::string_view problem)
{
    err << "vostrel-chart: " << problem << "\n" << kTryHelp;
    return ExitStatus::Usage;
}

// One line on `err` for output that could not be written, with the
// system's reason when the failing write left one in errno.
ExitStatus outputError(std::ostream& err)
{
    const int error = errno;
    err << "vostrel-chart: the output could not be written";
    if (error != 0) {
        err << ": " << std::strerror(error);
    }
    err << "\n";
    return ExitStatus::OutputError;
}

bool isOption(std::string_view arg)
{
    // "-7.1" and "-.5" are negative frequencies, not options; "-" is
    // standard input.
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9') && arg[1] != '.';
}

enum class LineRead { Line, End, Error };

// Reads one line into `line` without keeping more than kMaxLine bytes of it.
// A failing input ends reading with its reason in `error`. `ended` tells
// that the line ended at the end of the input rather than at a '\n'.
LineRead readLine(std::streambuf& in, std::string& line, bool& tooLong, bool& ended, std::string& error)
{
    line.clear();
    tooLong = false;
    ended = false;
    try {
        int c = in.sbumpc();
        if (c == std::char_traits<char>::eof()) {
            return LineRead::End;
        }
        for (; c != std::char_traits<char>::eof() && c != '\n'; c = in.sbumpc()) {
            if (line.size() < kMaxLine) {
                line.push_back(static_cast<char>(c));
            } else {
                tooLong = true;
            }
        }
        ended = c == std::char_traits<char>::eof();
    } catch (const std::ios_base::failure& failure) {
        // A std::filebuf throws when read() fails; its code names errno.
        error = failure.code().message();
        return LineRead::Error;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return LineRead::Line;
}

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Writes text for --help or --version.
ExitStatus writeInfo(std::ostream& out, std::ostream& err, std::string_view text)
{
    errno = 0;
    out << text << std::flush;
    return out ? ExitStatus::Ok : outputError(err);
}

// The options that take a value, and where it goes.
struct ValueOption {
    std::string_view name;
    std::optional<std::string> Options::*slot;
};
constexpr std::array kValueOptions
    = {ValueOption{"--from", &Options::from}, ValueOption{"--to", &Options::to}, ValueOption{"--step", &Options::step},
        ValueOption{"--band", &Options::band}, ValueOption{"--max-rows", &Options::maxRows}};

bool takesValue(std::string_view name)
{
    return std::any_of(
        kValueOptions.begin(), kValueOptions.end(), [&](const ValueOption& option) { return option.name == name; });
}

// Reads the arguments into `options`. Returns an exit status when the
// command ends here: --help, --version or a usage error. Frequencies are
// sorted out first (a negative one is no option, "--" ends the options);
// CLI11 reads the options: "--name=value", repeats, unknown names.
std::optional<ExitStatus> parseArguments(
    std::span<const std::string_view> args, Options& options, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> optionArgs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!isOption(args[i])) {
            options.frequencies.push_back(args[i]);
            continue;
        }
        const std::string_view name = args[i].substr(0, args[i].find('='));
        if (name == "--") {
            options.frequencies.insert(
                options.frequencies.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (name == "--help" || name == "-h") {
            return writeInfo(out, err, kUsage);
        }
        if (name == "--version") {
            return writeInfo(out, err, "vostrel-chart " VOSTREL_VERSION "\n");
        }
        optionArgs.emplace_back(args[i]);
        if (takesValue(name) && name.size() == args[i].size()) {
            if (i + 1 >= args.size()) {
                return usageError(err, std::string(name) + " needs a value");
            }
            optionArgs.emplace_back(args[++i]);
        } else if (!takesValue(name) && name.size() != args[i].size()) {
            return usageError(err,
                (name == "--inches" || name == "--cm" || name == "--csv") ? std::string(name) + " takes no value"
                                                                          : "unknown option " + shownInput(args[i]));
        }
    }

    CLI::App app("vostrel-chart");
    app.allow_extras();
    app.set_help_flag();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    std::array<std::string, kValueOptions.size()> values;
    for (std::size_t i = 0; i < kValueOptions.size(); ++i) {
        app.add_option(std::string(kValueOptions[i].name), values[i]);
    }
    bool inches = false;
    bool cm = false;
    app.add_flag("--inches", inches)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app.add_flag("--cm", cm)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app.add_flag("--csv", options.csv)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    std::reverse(optionArgs.begin(), optionArgs.end()); // CLI11 takes them last first
    try {
        app.parse(optionArgs);
    } catch (const CLI::ArgumentMismatch& mismatch) {
        const std::string what = mismatch.what();
        return usageError(err, what.substr(0, what.find(':')) + " is given twice");
    } catch (const CLI::ParseError& error) {
        return usageError(err, error.what());
    }
    if (const auto extras = app.remaining(); !extras.empty()) {
        return usageError(err, "unknown option " + shownInput(extras.front()));
    }
    if (inches && cm) {
        return usageError(err, "--inches and --cm exclude each other");
    }
    options.unit = cm ? LengthUnit::Centimetres : LengthUnit::Inches;
    for (std::size_t i = 0; i < kValueOptions.size(); ++i) {
        if (app.count(std::string(kValueOptions[i].name)) > 0) {
            options.*kValueOptions[i].slot = std::move(values[i]);
        }
    }
    return std::nullopt;
}

// A range's refusal as a usage error, or nothing when it may be walked.
std::optional<ExitStatus> refuseRange(
    const Options& options, const DecimalRange& range, Decimal from, Decimal to, Decimal step, std::ostream& err)
{
    const Decimal finest = finestStep(from, to);
    if (toDouble(step) < toDouble(finest)) {
        return usageError(err,
            "the step " + toText(step) + " is finer than frequencies up to " + toText(largestMagnitude(from, to))
                + " can be told apart in seven digits; the smallest sensible step is " + toText(finest));
    }
    std::int64_t maxRows = kDefaultMaxRows;
    if (options.maxRows) {
        const auto given = parseDecimal(*options.maxRows);
        if (!given || given->scale != 0 || given->units < 1) {
            return usageError(err, "--max-rows takes a whole number of rows such as 20000000");
        }
        maxRows = given->units;
    }
    if (range.size() > maxRows) {
        return usageError(err,
            "the range has " + std::to_string(range.size()) + " rows, more than " + std::to_string(maxRows)
                + "; give --max-rows " + std::to_string(range.size()) + " to print them all");
    }
    return std::nullopt;
}

using RangeOrStatus = std::variant<std::optional<DecimalRange>, ExitStatus>;

// The frequencies of --from/--to/--step or --band if given, or the exit
// status of a usage error.
RangeOrStatus chooseRange(const Options& options, std::ostream& err)
{
    const bool wantsRange = options.from || options.to || options.step;
    const int sources = (wantsRange ? 1 : 0) + (options.band ? 1 : 0) + (options.frequencies.empty() ? 0 : 1);
    if (sources > 1) {
        return usageError(err, "give frequencies, a range or a band, not more than one of them");
    }
    std::optional<Decimal> from;
    std::optional<Decimal> to;
    std::optional<Decimal> step;
    if (wantsRange) {
        if (!options.from || !options.to || !options.step) {
            return usageError(err, "a range needs --from, --to and --step");
        }
        from = parseDecimal(*options.from);
        to = parseDecimal(*options.to);
        step = parseDecimal(*options.step);
        if (!from || !to || !step) {
            return usageError(err, "--from, --to and --step take plain decimals such as 144.5");
        }
    } else if (options.band) {
        const auto* const band = std::find_if(
            kBands.begin(), kBands.end(), [&](const Band& b) { return ascii::equalFolded(b.name, *options.band); });
        if (band == kBands.end()) {
            return usageError(err, "unknown band " + shownInput(*options.band) + " (--help lists the bands)");
        }
        from = parseDecimal(band->from);
        to = parseDecimal(band->to);
        step = parseDecimal(band->step);
    } else {
        return std::optional<DecimalRange>();
    }
    auto range = DecimalRange::make(*from, *to, *step);
    if (!range) {
        return usageError(err,
            "the range needs a positive step, --to no lower than --from, and no more "
            "than 18 digits at the step's precision");
    }
    if (const auto refused = refuseRange(options, *range, *from, *to, *step, err)) {
        return *refused;
    }
    return range;
}

// Computes and writes one row per frequency as it goes.
class RowWriter {
public:
    RowWriter(const Options& options, std::ostream& out, std::ostream& err, InputKind inputKind)
        : m_options(options)
        , m_out(out)
        , m_err(err)
        , m_terminal(inputKind == InputKind::Terminal)
        , m_writer(out, options.csv, options.unit)
    { }

    // False when the output failed.
    bool emit(const Row& row)
    {
        m_anyFailed = m_anyFailed || row.failure.has_value();
        errno = 0;
        m_writer.write(row);
        return static_cast<bool>(m_out);
    }

    // Rows for the lines of `in` until its end. False when the output
    // failed or `in` could not be read (m_inputError).
    bool emitLines(std::istream& in)
    {
        if (m_terminal) {
            if (!flush()) {
                return false;
            }
            if (!m_prompted) {
                m_err << kPrompt << std::flush;
                m_prompted = true;
            }
        }
        std::string line;
        bool tooLong = false;
        // The end of the input is kept once seen: a std::filebuf on a
        // terminal (std::cin after sync_with_stdio(false)) asks read() again
        // after Ctrl-D, unlike glibc's stdio whose end-of-file sticks. So a
        // Ctrl-D that ends a partial line would need two more to end input;
        // here, as with cat, the next Ctrl-D at the start of a line ends it.
        bool ended = false;
        for (;;) {
            if (ended) {
                return true;
            }
            const LineRead read = readLine(*in.rdbuf(), line, tooLong, ended, m_inputError);
            if (read == LineRead::End) {
                return true;
            }
            if (read == LineRead::Error) {
                return false;
            }
            if (isBlank(line) && !tooLong) {
                continue;
            }
            // An over-long line is refused whole rather than read in part.
            const Row row = tooLong ? failedRow(line, CalcFailure::ConversionError) : computeRow(line, m_options.unit);
            if (!emit(row) || (m_terminal && !flush())) {
                return false;
            }
        }
    }

    // The exit status once writing stopped, early or not; the rows written
    // so far reach the output before an error is named on `err`.
    ExitStatus finish()
    {
        if (!flush()) {
            return outputError(m_err);
        }
        if (!m_inputError.empty()) {
            m_err << "vostrel-chart: standard input could not be read: " << m_inputError << "\n";
            return ExitStatus::InputError;
        }
        return m_anyFailed ? ExitStatus::RowFailed : ExitStatus::Ok;
    }

private:
    bool flush()
    {
        errno = 0;
        return static_cast<bool>(m_out.flush());
    }

    const Options& m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_terminal;
    Writer m_writer;
    bool m_anyFailed = false;
    bool m_prompted = false;
    std::string m_inputError;
};

ExitStatus writeRows(const Options& options, std::optional<DecimalRange>& range, std::istream& in, std::ostream& out,
    std::ostream& err, InputKind inputKind)
{
    RowWriter rows(options, out, err, inputKind);
    if (range) {
        while (const auto frequency = range->next()) {
            if (!rows.emit(computeRow(*frequency, options.unit))) {
                return rows.finish();
            }
        }
    } else if (!options.frequencies.empty()) {
        for (const std::string_view frequency : options.frequencies) {
            const bool written = frequency == "-" ? rows.emitLines(in) : rows.emit(computeRow(frequency, options.unit));
            if (!written) {
                return rows.finish();
            }
        }
    } else {
        rows.emitLines(in);
    }
    return rows.finish();
}

} // namespace

ExitStatus runChart(
    std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err, InputKind inputKind)
{
    Options options;
    if (const auto status = parseArguments(args, options, out, err)) {
        return *status;
    }
    auto chosen = chooseRange(options, err);
    if (const auto* status = std::get_if<ExitStatus>(&chosen)) {
        return *status;
    }
    return writeRows(options, std::get<std::optional<DecimalRange>>(chosen), in, out, err, inputKind);
}

} // namespace vostrel::chart
