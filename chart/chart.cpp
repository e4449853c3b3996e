#include "chart.h"

#include "decimal_range.h"
#include "failure_message.h"
#include "gamma_match.h"
#include "number_text.h"
#include "shown_result.h"

#include <array>
#include <istream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <vector>

#ifndef VOSTREL_VERSION
#define VOSTREL_VERSION "unknown"
#endif

namespace vostrel::chart {
namespace {

// Edges of the amateur bands as allocated in ITU Region 2 (the widest
// where the regions differ), with a step that lands on the upper edge.
struct Band {
    std::string_view name;
    std::string_view from;
    std::string_view to;
    std::string_view step;
};

constexpr std::array kBands = {
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
};

constexpr std::size_t kMaxLine = 1 << 20; // longer input lines are refused
constexpr std::size_t kShownInput = 40; // bytes of a failed input echoed back

constexpr std::string_view kUsage = "Usage: vostrel-chart [--inches | --cm] [--csv] [FREQUENCY...]\n"
                                    "       vostrel-chart [--inches | --cm] [--csv] --from MHZ --to MHZ --step MHZ\n"
                                    "       vostrel-chart [--inches | --cm] [--csv] --band BAND\n"
                                    "\n"
                                    "Prints gamma match starting values, one row per frequency in MHz, exactly\n"
                                    "as the calculator window shows them after INCHES or CM. Frequencies come\n"
                                    "from the arguments, a range (the end included when a step lands on it), a\n"
                                    "band, or else from standard input, one per line (blank lines are skipped).\n"
                                    "Frequencies are written with \".\" as the decimal separator.\n"
                                    "\n"
                                    "  --inches       lengths in inches (the default)\n"
                                    "  --cm           lengths in centimetres\n"
                                    "  --csv          comma-separated values with a header line\n"
                                    "  --from, --to, --step   a range of frequencies, plain decimals\n"
                                    "  --band BAND    a whole amateur band: 160m 80m 60m 40m 30m 20m 17m 15m\n"
                                    "                 12m 10m 6m 2m 1.25m 70cm\n"
                                    "  --help         this text\n"
                                    "  --version      the program's version\n"
                                    "\n"
                                    "Exit status: 0 when every row computed, 1 when a row failed, 2 for bad\n"
                                    "options, 3 when the output could not be written.\n";

struct Options {
    LengthUnit unit = LengthUnit::Inches;
    bool csv = false;
    std::vector<std::string_view> frequencies;
    std::optional<std::string_view> from;
    std::optional<std::string_view> to;
    std::optional<std::string_view> step;
    std::optional<std::string_view> band;
};

struct Row {
    std::string frequency;
    std::array<std::string, kResultFields.size()> values; // in the order of kResultFields
    std::optional<CalcFailure> failure;
};

// Control characters become "?" and long texts are cut (at a character
// boundary), so a failed input cannot upset a terminal or a CSV reader.
std::string shownInput(std::string_view text)
{
    std::string shown;
    for (const char c : text.substr(0, kShownInput)) {
        const auto byte = static_cast<unsigned char>(c);
        shown.push_back(byte < 0x20 || byte == 0x7F ? '?' : c);
    }
    if (text.size() > kShownInput) {
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0U) == 0x80U) {
            shown.pop_back();
        }
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0U) {
            shown.pop_back();
        }
        shown += "...";
    }
    return shown;
}

Row computeRow(std::string_view text, LengthUnit unit)
{
    const NumberFormat point{"."};
    Row row;
    const Result<float> freq = parseSingle(text, point);
    if (!freq) {
        row.frequency = shownInput(text);
        row.failure = freq.failure();
        return row;
    }
    GammaMatchValues values;
    values.freq = freq.value();
    if (const Result<void> computed = computeGammaMatch(values, unit); !computed) {
        row.frequency = shownInput(text);
        row.failure = computed.failure();
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
            line = quoted(row.frequency);
            for (const std::string& value : row.values) {
                line += "," + value;
            }
            line += ",";
            if (row.failure) {
                line += quoted(failureMessage(*row.failure));
            }
        } else {
            line = padded(row.frequency);
            if (row.failure) {
                line += "  ";
                line += failureMessage(*row.failure);
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
    // Right-aligned in 14 columns: wide enough for "-3.402823E+38".
    static std::string padded(std::string_view text)
    {
        constexpr std::size_t kWidth = 14;
        std::string cell(text.size() < kWidth ? kWidth - text.size() : 1, ' ');
        cell += text;
        return cell;
    }

    // A CSV field, quoted when it holds a separator, a quote, a line end or
    // blanks at either end.
    static std::string quoted(std::string_view text)
    {
        const bool plain = text.find_first_of(",\"\r\n") == std::string_view::npos
            && (text.empty() || (text.front() != ' ' && text.back() != ' '));
        if (plain) {
            return std::string(text);
        }
        std::string field = "\"";
        for (const char c : text) {
            if (c == '"') {
                field.push_back('"');
            }
            field.push_back(c);
        }
        field.push_back('"');
        return field;
    }

    std::ostream& m_out;
    bool m_csv;
};

int usageError(std::ostream& err, std::string_view problem)
{
    err << "vostrel-chart: " << problem << "\n\n" << kUsage;
    return 2;
}

bool isOption(std::string_view arg)
{
    // "-7.1" and "-.5" are negative frequencies, not options.
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9') && arg[1] != '.';
}

// Reads one line into `line` without keeping more than kMaxLine bytes of it.
// Returns false at the end of the input.
bool readLine(std::streambuf& in, std::string& line, bool& tooLong)
{
    line.clear();
    tooLong = false;
    int c = in.sbumpc();
    if (c == std::char_traits<char>::eof()) {
        return false;
    }
    for (; c != std::char_traits<char>::eof() && c != '\n'; c = in.sbumpc()) {
        if (line.size() < kMaxLine) {
            line.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

bool isBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Where the value of --from, --to, --step or --band goes; null for any
// other option.
std::optional<std::string_view>* valueSlot(Options& options, std::string_view name)
{
    if (name == "--from") {
        return &options.from;
    }
    if (name == "--to") {
        return &options.to;
    }
    if (name == "--step") {
        return &options.step;
    }
    if (name == "--band") {
        return &options.band;
    }
    return nullptr;
}

// Reads the arguments into `options`. Returns an exit status when the
// command ends here: --help, --version or a usage error.
std::optional<int> parseArguments(
    std::span<const std::string_view> args, Options& options, std::ostream& out, std::ostream& err)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (optionsEnded || !isOption(args[i])) {
            options.frequencies.push_back(args[i]);
            continue;
        }
        // "--name=value" or "--name value".
        std::string_view name = args[i];
        std::optional<std::string_view> inlineValue;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string_view::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (auto* slot = valueSlot(options, name)) {
            if (!inlineValue && i + 1 >= args.size()) {
                return usageError(err, std::string(name) + " needs a value");
            }
            *slot = inlineValue ? *inlineValue : args[++i];
        } else if (inlineValue) {
            return usageError(err, "unknown option " + shownInput(args[i]));
        } else if (name == "--") {
            optionsEnded = true;
        } else if (name == "--help" || name == "-h") {
            out << kUsage << std::flush;
            return out ? 0 : 3;
        } else if (name == "--version") {
            out << "vostrel-chart " VOSTREL_VERSION "\n" << std::flush;
            return out ? 0 : 3;
        } else if (name == "--inches" || name == "--cm") {
            options.unit = name == "--cm" ? LengthUnit::Centimetres : LengthUnit::Inches;
        } else if (name == "--csv") {
            options.csv = true;
        } else {
            return usageError(err, "unknown option " + shownInput(name));
        }
    }
    return std::nullopt;
}

// The frequencies of --from/--to/--step or --band, if given. Returns an exit
// status for a usage error.
std::optional<int> chooseRange(const Options& options, std::optional<DecimalRange>& range, std::ostream& err)
{
    const bool wantsRange = options.from || options.to || options.step;
    const int sources = (wantsRange ? 1 : 0) + (options.band ? 1 : 0) + (options.frequencies.empty() ? 0 : 1);
    if (sources > 1) {
        return usageError(err, "give frequencies, a range or a band, not more than one of them");
    }
    if (wantsRange) {
        if (!options.from || !options.to || !options.step) {
            return usageError(err, "a range needs --from, --to and --step");
        }
        const auto from = parseDecimal(*options.from);
        const auto to = parseDecimal(*options.to);
        const auto step = parseDecimal(*options.step);
        if (!from || !to || !step) {
            return usageError(err, "--from, --to and --step take plain decimals such as 144.5");
        }
        range = DecimalRange::make(*from, *to, *step);
        if (!range) {
            return usageError(err,
                "the range needs a positive step, --to no lower than --from, and no more "
                "than 18 digits at the step's precision");
        }
    }
    if (options.band) {
        for (const Band& band : kBands) {
            if (band.name == *options.band) {
                range = DecimalRange::make(*parseDecimal(band.from), *parseDecimal(band.to), *parseDecimal(band.step));
            }
        }
        if (!range) {
            return usageError(err, "unknown band " + shownInput(*options.band));
        }
    }
    return std::nullopt;
}

// Computes and writes one row per frequency as it goes.
int writeRows(const Options& options, std::optional<DecimalRange>& range, std::istream& in, std::ostream& out)
{
    Writer writer(out, options.csv, options.unit);
    bool anyFailed = false;
    const auto emit = [&](const Row& row) {
        anyFailed = anyFailed || row.failure.has_value();
        writer.write(row);
        return static_cast<bool>(out);
    };

    if (range) {
        while (const auto frequency = range->next()) {
            if (!emit(computeRow(*frequency, options.unit))) {
                return 3;
            }
        }
    } else if (!options.frequencies.empty()) {
        for (const std::string_view frequency : options.frequencies) {
            if (!emit(computeRow(frequency, options.unit))) {
                return 3;
            }
        }
    } else {
        std::string line;
        bool tooLong = false;
        while (readLine(*in.rdbuf(), line, tooLong)) {
            if (isBlank(line) && !tooLong) {
                continue;
            }
            // An over-long line is refused whole rather than read in part.
            const Row row
                = tooLong ? Row{shownInput(line), {}, CalcFailure::ConversionError} : computeRow(line, options.unit);
            if (!emit(row)) {
                return 3;
            }
        }
    }
    out.flush();
    if (!out) {
        return 3;
    }
    return anyFailed ? 1 : 0;
}

} // namespace

int runChart(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err)
{
    Options options;
    if (const auto status = parseArguments(args, options, out, err)) {
        return *status;
    }
    std::optional<DecimalRange> range;
    if (const auto status = chooseRange(options, range, err)) {
        return *status;
    }
    return writeRows(options, range, in, out);
}

} // namespace vostrel::chart
