// SPDX-License-Identifier: GPL-3.0-or-later
// vostrel-chart as a command: options, ranges, bands, CSV, failing rows,
// standard input and exit statuses.
#include "chart.h"
#include "decimal_range.h"
#include "tool_output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

using vostrel::DecimalRange;
using vostrel::finestStep;
using vostrel::largestMagnitude;
using vostrel::parseDecimal;
using vostrel::toText;
using vostrel::chart::runChart;

namespace {

struct ChartRun {
    int status;
    std::string out;
    std::string err;
};

ChartRun run(std::vector<std::string_view> args, const std::string& input = {})
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = static_cast<int>(runChart(args, in, out, err));
    return {status, out.str(), err.str()};
}

using toolOutput::fields;
using toolOutput::lines;

// The frequencies of a CSV chart, first column after the header.
std::vector<std::string> frequencies(const std::string& csv)
{
    std::vector<std::string> result;
    const auto all = lines(csv);
    for (std::size_t i = 1; i < all.size(); ++i) {
        result.push_back(fields(all[i]).front());
    }
    return result;
}

} // namespace

TEST(DecimalRange, HeaderExamples)
{
    EXPECT_EQ(parseDecimal("144.5")->units, 1445);
    EXPECT_EQ(parseDecimal("144.5")->scale, 1);
    EXPECT_EQ(parseDecimal("-0.05")->units, -5);
    EXPECT_EQ(parseDecimal("-0.05")->scale, 2);
    EXPECT_FALSE(parseDecimal("1e3"));

    using vostrel::Decimal;
    EXPECT_EQ(toText(Decimal{1445, 1}), "144.5");
    EXPECT_EQ(toText(Decimal{-5, 2}), "-0.05");
    EXPECT_EQ(toText(Decimal{1000, 0}), "1000");
    EXPECT_EQ(toText(Decimal{10, 5}), "0.0001");
    EXPECT_EQ(toText(largestMagnitude(Decimal{-5, 0}, Decimal{3, 0})), "5");
    EXPECT_EQ(toText(largestMagnitude(Decimal{1445, 1}, Decimal{148, 0})), "148");
    const auto finest
        = [](const char* from, const char* to) { return toText(finestStep(*parseDecimal(from), *parseDecimal(to))); };
    EXPECT_EQ(finest("144", "148"), "0.0001");
    EXPECT_EQ(finest("1", "1000000000"), "1000");
    EXPECT_EQ(finest("0.1357", "0.1378"), "0.0000001");
    EXPECT_EQ(finest("-7", "7"), "0.000001");
    EXPECT_EQ(finest("0", "0"), "0");

    auto twoMetres = DecimalRange::make(*parseDecimal("144"), *parseDecimal("148"), *parseDecimal("0.5"));
    EXPECT_EQ(twoMetres->size(), 9);
    std::vector<std::string> values;
    while (auto value = twoMetres->next()) {
        values.push_back(*value);
    }
    EXPECT_EQ(values.size(), 9U);
    EXPECT_EQ(values[1], "144.5");
    EXPECT_EQ(values.back(), "148");

    auto uneven = DecimalRange::make(*parseDecimal("1"), *parseDecimal("2"), *parseDecimal("0.3"));
    values.clear();
    while (auto value = uneven->next()) {
        values.push_back(*value);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"1", "1.3", "1.6", "1.9"}));
}

TEST(DecimalRange, RefusesWhatItCannotHoldExactly)
{
    for (const char* text : {"", ".", "-", "1e3", "1,5", "0x10", "1.2.3", "1.0000000001", "1234567890123456", " 1"}) {
        EXPECT_FALSE(parseDecimal(text)) << text;
    }
    // Leading zeros do not count towards the fifteen digits.
    EXPECT_EQ(parseDecimal("00000000000000001")->units, 1);
    EXPECT_EQ(parseDecimal("0")->units, 0);
    EXPECT_EQ(parseDecimal("-0.0")->units, 0);
    const auto one = *parseDecimal("1");
    EXPECT_FALSE(DecimalRange::make(one, one, *parseDecimal("0")));
    EXPECT_FALSE(DecimalRange::make(one, one, *parseDecimal("-1")));
    EXPECT_FALSE(DecimalRange::make(*parseDecimal("2"), one, one));
    // 10^14 at a scale of 10^-9 would need 23 digits.
    EXPECT_FALSE(DecimalRange::make(one, *parseDecimal("100000000000000"), *parseDecimal("0.000000001")));
}

TEST(DecimalRange, TakesTenThousandStepsWithoutDrift)
{
    auto range = DecimalRange::make(*parseDecimal("0"), *parseDecimal("1000"), *parseDecimal("0.1"));
    int count = 0;
    std::string last;
    while (auto value = range->next()) {
        ++count;
        last = *value;
        const auto point = value->find('.');
        ASSERT_TRUE(point == std::string::npos || value->size() - point == 2) << *value; // never 0.30000000000000004
    }
    EXPECT_EQ(count, 10001);
    EXPECT_EQ(last, "1000");
}

TEST(Chart, BandsRunEdgeToEdge)
{
    struct Expected {
        const char* band;
        std::size_t rows;
        const char* first;
        const char* last;
    };
    const Expected bands[] = {
        {"2200m", 22, "0.1357", "0.1378"},
        {"630m", 8, "0.472", "0.479"},
        {"160m", 5, "1.8", "2"},
        {"80m", 6, "3.5", "4"},
        {"60m", 4, "5.3515", "5.3665"},
        {"40m", 7, "7", "7.3"},
        {"30m", 6, "10.1", "10.15"},
        {"20m", 8, "14", "14.35"},
        {"17m", 6, "18.068", "18.168"},
        {"15m", 10, "21", "21.45"},
        {"12m", 6, "24.89", "24.99"},
        {"10m", 18, "28", "29.7"},
        {"6m", 9, "50", "54"},
        {"2m", 9, "144", "148"},
        {"1.25m", 7, "222", "225"},
        {"70cm", 16, "420", "450"},
        {"33cm", 14, "902", "928"},
        {"23cm", 13, "1240", "1300"},
    };
    for (const Expected& band : bands) {
        SCOPED_TRACE(band.band);
        const ChartRun result = run({"--csv", "--band", band.band});
        ASSERT_EQ(result.status, 0);
        const auto listed = frequencies(result.out);
        ASSERT_EQ(listed.size(), band.rows);
        EXPECT_EQ(listed.front(), band.first);
        EXPECT_EQ(listed.back(), band.last);
    }
    EXPECT_EQ(run({"--band", "11m"}).status, 2);
    EXPECT_EQ(run({"--csv", "--band", "20M"}).out, run({"--csv", "--band", "20m"}).out);
}

TEST(Chart, RangesIncludeTheEndOnlyWhenAStepLandsOnIt)
{
    EXPECT_EQ(frequencies(run({"--csv", "--from", "144", "--to", "148", "--step", "0.5"}).out).size(), 9U);
    EXPECT_EQ(frequencies(run({"--csv", "--from=144", "--to=147.9", "--step=0.5"}).out).back(), "147.5");
    const auto fine = frequencies(run({"--csv", "--from", "7", "--to", "7.001", "--step", "0.0001"}).out);
    EXPECT_EQ(fine.size(), 11U);
    EXPECT_EQ(fine[3], "7.0003");
    EXPECT_EQ(fine.back(), "7.001");
}

TEST(Chart, CsvHasSevenFieldsOnEveryLine)
{
    const ChartRun result = run({"--csv", "--cm", "14.2", "abc", "28.5", "0"});
    EXPECT_EQ(result.status, 1);
    const auto all = lines(result.out);
    ASSERT_EQ(all.size(), 5U);
    EXPECT_EQ(all[0], "frequency_mhz,spacing_cm,tap_point_cm,tube_cm,capacitor_pf,insertion_length_cm,error");
    for (const std::string& line : all) {
        EXPECT_EQ(fields(line).size(), 7U) << line;
    }
    EXPECT_EQ(all[1], "14.2,15.492,120.423,27.465,126.761,21.465,");
    EXPECT_EQ(all[2],
        "abc,,,,,,\"Type the operating frequency in MHz, for example 14.2: the character \"\"a\"\" makes the text "
        "not a number (conversion error).\"");
    EXPECT_EQ(fields(all[4]).back(),
        "Type the operating frequency in MHz, for example 14.2: the frequency is 0 (division by zero).");
    // A field with a comma is quoted, and its quotes doubled.
    const auto odd = lines(run({"--csv", "1,\"5"}).out);
    EXPECT_EQ(odd[1].substr(0, 8), "\"1,\"\"5\",");
    EXPECT_EQ(fields(odd[1]).size(), 7U);
}

TEST(Chart, AlignedTableHasAHeaderAndAColumnPerValue)
{
    const ChartRun result = run({"28.5"});
    EXPECT_EQ(result.status, 0);
    const auto all = lines(result.out);
    ASSERT_EQ(all.size(), 3U);
    EXPECT_NE(all[0].find("Frequency"), std::string::npos);
    EXPECT_NE(all[1].find("pF"), std::string::npos);
    EXPECT_EQ(all[2], "          28.5         4.067         23.76         5.419        63.158         4.211");
    EXPECT_EQ(all[0].size(), all[2].size());
    EXPECT_NE(run({"--cm", "28.5"}).out.find("cm"), std::string::npos);
}

TEST(Chart, FailingRowsNameTheFailureAndTheOthersStillPrint)
{
    const ChartRun result = run({"1e-37", "14.2", "1E39", "-7.1"});
    EXPECT_EQ(result.status, 1);
    const auto all = lines(result.out);
    ASSERT_EQ(all.size(), 6U);
    EXPECT_NE(all[2].find("so close to 0 that the results are too large (overflow)."), std::string::npos);
    EXPECT_NE(all[3].find("126.761"), std::string::npos);
    EXPECT_NE(all[4].find("the number is too large (overflow)."), std::string::npos);
    EXPECT_NE(all[5].find("-253.521"), std::string::npos);
    EXPECT_TRUE(result.err.empty());
}

TEST(Chart, ReadsStandardInputLineByLine)
{
    const ChartRun result = run({"--csv"}, "14.2\r\n\n   \n3.6\n-7.1");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(frequencies(result.out), (std::vector<std::string>{"14.2", "3.6", "-7.1"}));

    // "-" among the arguments reads standard input there.
    EXPECT_EQ(frequencies(run({"--csv", "14.2", "-", "28.5"}, "3.6\n7.1\n").out),
        (std::vector<std::string>{"14.2", "3.6", "7.1", "28.5"}));

    // Echoed inputs cannot carry control characters to a terminal.
    const ChartRun hostile = run({}, "\x1b]0;owned\x07\n");
    EXPECT_EQ(hostile.status, 1);
    EXPECT_EQ(hostile.out.find('\x1b'), std::string::npos);
    EXPECT_NE(hostile.out.find("?]0;owned?"), std::string::npos);

    // A line of more than a megabyte is refused, not read in part.
    const ChartRun huge = run({"--csv"}, "1" + std::string(2 << 20, '0') + "\n14.2\n");
    EXPECT_EQ(huge.status, 1);
    const auto all = lines(huge.out);
    ASSERT_EQ(all.size(), 3U);
    EXPECT_LT(all[1].size(), 200U);
    EXPECT_NE(all[1].find("(conversion error)"), std::string::npos);
    EXPECT_EQ(fields(all[2]).front(), "14.2");
}

TEST(Chart, OptionsAndExitStatuses)
{
    const ChartRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: vostrel-chart"), std::string::npos);
    const ChartRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("vostrel-chart ", 0), 0U);

    for (const std::vector<std::string_view>& bad : std::vector<std::vector<std::string_view>>{
             {"--bogus"},
             {"--from", "1", "--to", "2"},
             {"--from", "2", "--to", "1", "--step", "1"},
             {"--from", "1", "--to", "2", "--step", "0"},
             {"--from", "1e1", "--to", "20", "--step", "1"},
             {"--band"},
             {"--band", "20m", "14.2"},
             {"--band", "20m", "--from", "1", "--to", "2", "--step", "1"},
             {"--csv=yes"},
             // Steps finer than the frequencies can be told apart, and ranges
             // of more rows than allowed.
             {"--from", "144", "--to", "144.00005", "--step", "0.00001"},
             {"--from", "-9999999", "--to", "9999999", "--step", "1"},
             {"--band", "2m", "--max-rows", "8"},
             {"--band", "2m", "--max-rows", "0"},
             // An option given twice, or two that exclude each other.
             {"--band", "20m", "--band", "40m"},
             {"--inches", "--cm", "14.2"},
             {"--cm", "--cm", "14.2"},
         }) {
        const ChartRun result = run(bad);
        EXPECT_EQ(result.status, 2) << bad.front();
        EXPECT_TRUE(result.out.empty());
        // One line naming the problem and where to read more.
        ASSERT_EQ(lines(result.err).size(), 2U) << result.err;
        EXPECT_EQ(lines(result.err)[1], "Try 'vostrel-chart --help' for more information.");
    }
    EXPECT_NE(
        run({"--from", "144", "--to", "144.00005", "--step", "0.00001"}).err.find("smallest sensible step is 0.0001"),
        std::string::npos);
    EXPECT_EQ(lines(run({"--band", "20m", "--band=40m"}).err)[0], "vostrel-chart: --band is given twice");
    EXPECT_EQ(lines(run({"--cm", "--inches", "14.2"}).err)[0], "vostrel-chart: --inches and --cm exclude each other");
    EXPECT_EQ(lines(run({"--csv=yes"}).err)[0], "vostrel-chart: --csv takes no value");
    EXPECT_EQ(lines(run({"--inches=1", "14.2"}).err)[0], "vostrel-chart: --inches takes no value");
    EXPECT_EQ(run({"--band", "2m", "--max-rows", "9"}).status, 0);
    EXPECT_EQ(lines(run({"--from", "144", "--to", "144.0005", "--step", "0.0001"}).out).size(), 8U);

    // Negative frequencies are frequencies, not options; "--" ends options.
    EXPECT_EQ(run({"-7.1", "-.5"}).status, 0);
    EXPECT_EQ(run({"--", "--cm"}).status, 1);
}

using toolOutput::FullDevice;

TEST(Chart, UnwritableOutputIsStatusThree)
{
    for (const std::vector<std::string_view>& args :
        std::vector<std::vector<std::string_view>>{{"14.2"}, {"--version"}, {"--help"}, {"--band", "2m"}}) {
        std::istringstream in;
        FullDevice device;
        std::ostream out(&device);
        std::ostringstream err;
        EXPECT_EQ(static_cast<int>(runChart(args, in, out, err)), 3) << args.front();
        EXPECT_EQ(err.str().rfind("vostrel-chart: the output could not be written", 0), 0U) << err.str();
        EXPECT_EQ(lines(err.str()).size(), 1U);
    }
    std::istringstream in("14.2\n3.6\n");
    FullDevice device;
    std::ostream out(&device);
    std::ostringstream err;
    EXPECT_EQ(static_cast<int>(runChart({}, in, out, err)), 3);
}

namespace {

// Input that gives its text and then fails to read, as std::filebuf does
// when read() fails: it throws.
class FailingInput : public std::streambuf {
public:
    explicit FailingInput(std::string text)
        : m_text(std::move(text))
    {
        setg(m_text.data(), m_text.data(), m_text.data() + m_text.size());
    }

protected:
    int_type underflow() override
    {
        throw std::ios_base::failure("read failed", std::error_code(EIO, std::generic_category()));
    }

private:
    std::string m_text;
};

} // namespace

TEST(Chart, FailingInputKeepsTheRowsAndNamesTheError)
{
    for (const std::vector<std::string_view>& args :
        std::vector<std::vector<std::string_view>>{{"--csv"}, {"--csv", "28.5", "-"}}) {
        FailingInput input("14.2\n3.6\n7.1\n");
        std::istream in(&input);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(static_cast<int>(runChart(args, in, out, err)), 4);
        EXPECT_EQ(frequencies(out.str()).back(), "7.1");
        EXPECT_EQ(err.str(), "vostrel-chart: standard input could not be read: Input/output error\n");
    }
}

TEST(Chart, EchoedInputIsInertInSpreadsheetsAndTerminals)
{
    const ChartRun csv = run({"--csv", "--", "=1+1", "+cmd|' /C calc'!A0", "@SUM(A1)", "-abc", "\t=2", "-7.1", "0"});
    EXPECT_EQ(frequencies(csv.out),
        (std::vector<std::string>{"'=1+1", "'+cmd|' /C calc'!A0", "'@SUM(A1)", "'-abc", "?=2", "-7.1", "0"}));

    // Bytes that are not UTF-8, C1 controls (CSI is U+009B) and
    // bidirectional overrides become "?"; other characters stay.
    const auto echoed = lines(run({"--csv",
                                      "\xff"
                                      "1",
                                      "\xc2\x9b"
                                      "31m",
                                      "\xe2\x80\xae"
                                      "1",
                                      "14\xc2\xb5"})
                                  .out);
    EXPECT_EQ(fields(echoed[1]).front(), "?1");
    EXPECT_EQ(fields(echoed[2]).front(), "?31m");
    EXPECT_EQ(fields(echoed[3]).front(), "?1");
    EXPECT_EQ(fields(echoed[4]).front(), "14\xc2\xb5");

    // The echo is right-aligned by the columns a terminal gives it, not by
    // its bytes: "14µ" takes three columns, "中" two, "e" and a combining
    // acute one.
    const auto table = lines(run({"14\xc2\xb5", "\xe4\xb8\xad", "e\xcc\x81", "abc"}).out);
    const std::size_t padding[] = {11, 12, 13, 11};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(table[i + 2].find_first_not_of(' '), padding[i]) << table[i + 2];
    }
}
