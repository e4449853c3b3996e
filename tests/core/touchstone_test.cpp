// SPDX-License-Identifier: GPL-3.0-or-later
// Touchstone version 1 one-port files: every option line form, what real
// files contain, and damaged files refused with their line.
#include "touchstone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace vostrel::touchstone;
using Complex = std::complex<double>;

namespace {

OnePort parsed(std::string_view text)
{
    auto result = parseOnePort(text);
    if (const auto* error = std::get_if<ParseError>(&result)) {
        ADD_FAILURE() << "line " << error->line << ": " << error->message << "\n" << text;
        return {};
    }
    return std::get<OnePort>(result);
}

ParseError errorOf(std::string_view text)
{
    auto result = parseOnePort(text);
    if (const auto* error = std::get_if<ParseError>(&result)) {
        return *error;
    }
    ADD_FAILURE() << "accepted:\n" << text;
    return {};
}

void expectNear(Complex actual, Complex expected)
{
    EXPECT_NEAR(actual.real(), expected.real(), 1e-9 * (1 + std::abs(expected)));
    EXPECT_NEAR(actual.imag(), expected.imag(), 1e-9 * (1 + std::abs(expected)));
}

} // namespace

TEST(Touchstone, HeaderExamples)
{
    OnePort file = parsed("# MHz Z RI R 50\n14 1 0\n");
    ASSERT_EQ(file.points.size(), 1U);
    EXPECT_EQ(file.points[0].freqHz, 14e6);
    expectNear(file.points[0].impedance, {50, 0});

    file = parsed("# Hz S RI R 50\n1e6 0 0\n");
    EXPECT_EQ(file.points[0].freqHz, 1e6);
    expectNear(file.points[0].impedance, {50, 0});

    file = parsed("!x\n2 0.5 90\n");
    EXPECT_EQ(file.points[0].freqHz, 2e9);
    expectNear(file.points[0].impedance, {30, 40});

    file = parsed("# mhz r 75 z ri\n14 1 -1\n");
    EXPECT_EQ(file.referenceOhms, 75);
    expectNear(file.points[0].impedance, {75, -75});

    file = parsed("# MHz Z RI\n14 1 0\n15 2 4\n");
    expectNear(*impedanceAt(file, 14.25e6), {62.5, 50});
    expectNear(*impedanceAt(file, 15e6), {100, 200});
    EXPECT_FALSE(impedanceAt(file, 13.99e6));
    EXPECT_FALSE(impedanceAt(file, 15.01e6));
    EXPECT_FALSE(impedanceAt(file, std::nan("")));
}

TEST(Touchstone, EveryOptionLineForm)
{
    // The same point, 50 ohm reference, as S = 0.2 - j0.4 (Z = 40 - j40 / ... worked
    // out below), written in each frequency unit, parameter and pair format.
    const Complex s(0.2, -0.4);
    const Complex z = 50.0 * (1.0 + s) / (1.0 - s);
    const double magnitude = std::abs(s);
    const double degrees = std::arg(s) * 180 / std::numbers::pi;
    struct Case {
        std::string text;
        double freqHz;
        Complex impedance;
    };
    const auto pair = [](double a, double b) { return std::to_string(a) + " " + std::to_string(b); };
    const Case cases[] = {
        {"# Hz S RI R 50\n14000000 0.2 -0.4\n", 14e6, z}, {"# kHz S RI R 50\n14000 0.2 -0.4\n", 14e6, z},
        {"# MHz S RI R 50\n14 0.2 -0.4\n", 14e6, z}, {"# GHz S RI R 50\n0.014 0.2 -0.4\n", 14e6, z},
        {"# MHz S MA R 50\n14 " + pair(magnitude, degrees) + "\n", 14e6, z},
        {"# MHz S DB R 50\n14 " + pair(20 * std::log10(magnitude), degrees) + "\n", 14e6, z},
        {"# MHz Z RI R 50\n14 " + pair(z.real() / 50, z.imag() / 50) + "\n", 14e6, z},
        {"# MHz Z MA R 50\n14 " + pair(std::abs(z) / 50, std::arg(z) * 180 / std::numbers::pi) + "\n", 14e6, z},
        {"# MHz Y RI R 50\n14 " + pair((50.0 / z).real(), (50.0 / z).imag()) + "\n", 14e6, z},
        {"# MHz S RI\n14 0.2 -0.4\n", 14e6, z}, // R left out: 50
        {"# ri s mhz\n14 0.2 -0.4\n", 14e6, z}, // odd order and case
        {"#MHz S RI R 50\n14 0.2 -0.4\n", 14e6, z}, // the first option joined to '#'
        {"# R 50 MHz RI\n14 0.2 -0.4\n", 14e6, z},
        {"#\n14e-3 " + pair(magnitude, degrees) + "\n", 14e6, z}, // all defaults: GHz S MA
        {"14e-3 " + pair(magnitude, degrees) + "\n", 14e6, z}, // no option line at all
        {"# MHz S RI R 25\n14 0.2 -0.4\n", 14e6, z * 0.5}, // another reference
        // What analysers write: comments, blank lines, CRLF, exponents, tabs.
        {"! NanoVNA\r\n# Hz S RI R 50\r\n\r\n1.4E+07\t2.0E-01\t-4.0E-01 ! the only point\r\n", 14e6, z},
        {"  # MHz S RI R 50 ! trailing comment\n  14  +0.2  -.4  \n", 14e6, z},
        {"\xEF\xBB\xBF# MHz S RI R 50\r\n14 0.2 -0.4\r\n", 14e6, z}, // a byte order mark
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const OnePort file = parsed(c.text);
        ASSERT_EQ(file.points.size(), 1U);
        EXPECT_NEAR(file.points[0].freqHz, c.freqHz, 1e-6);
        EXPECT_NEAR(file.points[0].impedance.real(), c.impedance.real(), 1e-4);
        EXPECT_NEAR(file.points[0].impedance.imag(), c.impedance.imag(), 1e-4);
    }
    // A reactive S on the unit circle is a pure reactance, kept as measured;
    // |S| > 1 gives a negative resistance, kept too (the model refuses it).
    expectNear(parsed("# MHz S RI\n14 0 1\n").points[0].impedance, {0, 50});
    EXPECT_LT(parsed("# MHz S MA\n14 1.01 0.5\n").points[0].impedance.real(), 0);
    // Each point remembers its line, for messages about its value.
    const OnePort numbered = parsed("! x\n# MHz S RI\n\n14 0 1\n15 0 1\n");
    ASSERT_EQ(numbered.points.size(), 2U);
    EXPECT_EQ(numbered.points[0].line, 4);
    EXPECT_EQ(numbered.points[1].line, 5);
}

TEST(Touchstone, DamagedFilesNameTheirLine)
{
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"# MHz S RI\n# MHz S RI\n14 0 0\n", 2, "second option line"},
        {"14 0 0\n# MHz S RI\n", 2, "after the data"},
        {"# MHz S RI XX\n14 0 0\n", 1, "unknown option \"XX\""},
        {"# MHz S RI R\n14 0 0\n", 1, "R needs"},
        {"# MHz S RI R abc\n14 0 0\n", 1, "R needs"},
        {"# MHz S RI R 0\n14 0 0\n", 1, "R needs"},
        {"# MHz S RI R 50 75\n14 0 0\n", 1, "unknown option \"75\""},
        {"# MHz S RI \xC2\xB5\x1B\n14 0 0\n", 1, "unknown option \"\xC2\xB5?\""},
        {"# MHz GHz S RI\n14 0 0\n", 1, "frequency unit twice"},
        {"# MHz S Z RI\n14 0 0\n", 1, "parameter twice"},
        {"# MHz S RI MA\n14 0 0\n", 1, "number format twice"},
        {"# MHz H RI\n14 0 0\n", 1, "two-ports"},
        {"[Version] 2.0\n", 1, "Touchstone 2"},
        {"# MHz S RI\n14 0\n", 2, "this one has 2 fields"},
        {"# MHz S RI\n14 0 0 0 0\n", 2, "this one has 5 fields"},
        {"# MHz S RI\n14 0 0\n15 0.1 abc\n", 3, "\"abc\" is not a number"},
        {"# MHz S RI\n14 0 0\n15 0.1 0x1\n", 3, "not a number"},
        {"# MHz S RI\n14 0 nan\n", 2, "not a number"},
        {"# MHz S RI\n14 0 0\n13 0 0\n", 3, "not above the previous"},
        {"# MHz S RI\n14 0 0\n14 0 0\n", 3, "not above the previous"},
        {"# MHz S RI\n-1 0 0\n", 2, "negative"},
        {"# MHz S MA\n14 -0.5 0\n", 2, "magnitude cannot be negative"},
        {"# MHz S RI\n14 1 0\n", 2, "infinite"},
        {"# MHz S MA\n14 1 0\n", 2, "infinite"},
        {"# MHz S DB\n14 0 0\n", 2, "infinite"}, // 0 dB at 0 degrees is S = 1
        {"# MHz Y RI\n14 0 0\n", 2, "infinite"},
        {"# MHz Z RI\n14 1e308 0\n", 2, "too large"},
        {"# MHz S RI\n", 0, "no data"},
        {"! only comments\n\n", 0, "no data"},
        {"", 0, "no data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ParseError error = errorOf(c.text);
        EXPECT_EQ(error.line, c.line);
        EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
    }
}

// The header's examples: a file that reads, but cannot be a feed point.
TEST(Touchstone, PointsNoAntennaFeedsAreRefusedWithTheirLine)
{
    EXPECT_FALSE(checkImpedances(parsed("# MHz S RI R 50\n14 0.2 0.1\n")).has_value());
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"# Hz S RI R 50\n0 0 0\n", 2, "a frequency of 0 Hz: the gamma match needs one above 0"},
        {"# MHz S RI R 50\n14 -1 0\n", 2, "S = -1 is a short circuit: the feed resistance there is 0 ohms"},
        {"# MHz S RI R 50\n14 0.2 0\n14.5 1.2 0\n", 3,
            "|S| = 1.200 is above 1: the feed resistance there is -550.00 ohms, and an antenna's is above 0"},
        // Each fault in the file's own terms: a short circuit written in
        // polar form lands a rounding error away from S = -1.
        {"# MHz S MA R 50\n14 1.0 180\n", 2, "S = -1 is a short circuit: the feed resistance there is 0 ohms"},
        {"# MHz S DB R 50\n14 0 90\n", 2, "|S| = 1.000 is a pure reactance: the feed resistance there is 0 ohms"},
        {"# MHz S MA R 50\n14 1.0004 90\n", 2, "|S| = 1.000 is a pure reactance: the feed resistance there is 0 ohms"},
        {"# MHz S MA R 50\n14 1.001 90\n", 2,
            "|S| = 1.001 is above 1: the feed resistance there is -0.05 ohms, and an antenna's is above 0"},
        {"# MHz Z RI R 50\n14 0 0\n", 2, "Z = 0 is a short circuit: the feed resistance there is 0 ohms"},
        {"# MHz Z RI R 50\n14 0 1\n", 2, "R = 0 ohms is a pure reactance: an antenna's feed resistance is above 0"},
        {"# MHz Z RI R 50\n14 -0.1 1\n", 2, "R = -5.00 ohms is negative: an antenna's feed resistance is above 0"},
        {"# MHz Z MA R 75\n14 2 120\n", 2, "R = -75.00 ohms is negative: an antenna's feed resistance is above 0"},
        {"# MHz Y RI R 50\n14 0 1\n", 2, "G = 0 siemens is a pure susceptance: the feed resistance there is 0 ohms"},
        {"# MHz Y RI R 50\n14 -1 0\n", 2,
            "G = -0.02000 siemens is negative: the feed resistance there is -50.00 ohms, and an antenna's is above 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto refused = checkImpedances(parsed(c.text));
        ASSERT_TRUE(refused.has_value());
        EXPECT_EQ(refused->line, c.line);
        EXPECT_EQ(refused->message, c.message);
    }
}

// Classic Mac OS files end their lines with a carriage return alone; Windows
// files with both. Every form numbers its lines alike.
TEST(Touchstone, EveryLineEndReads)
{
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"LF", "! a\n# MHz Z RI R 50\n14 1 0\n\n15 2 0\n"},
        {"CR LF", "! a\r\n# MHz Z RI R 50\r\n14 1 0\r\n\r\n15 2 0\r\n"},
        {"CR", "! a\r# MHz Z RI R 50\r14 1 0\r\r15 2 0\r"},
        {"CR, no last line end", "! a\r# MHz Z RI R 50\r14 1 0\r\r15 2 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OnePort file = parsed(c.text);
        ASSERT_EQ(file.points.size(), 2U);
        EXPECT_EQ(file.points[0].line, 3);
        EXPECT_EQ(file.points[1].line, 5);
        expectNear(file.points[1].impedance, {100, 0});
    }
    const ParseError error = errorOf("# MHz Z RI\r14 1 0\r15 x 0\r");
    EXPECT_EQ(error.line, 3);
}

// A file without an option line is read in GHz: a frequency in MHz then
// misses the file by a factor of a thousand, and the hint says why.
TEST(Touchstone, AMissingOptionLineIsHinted)
{
    EXPECT_EQ(frequencyUnitHint(parsed("# MHz S RI R 50\n14 0 0\n")), "");
    EXPECT_EQ(frequencyUnitHint(parsed("# GHz S RI R 50\n14 0 0\n")), "");
    const std::string none = frequencyUnitHint(parsed("! no options\n14 0 0\n14.1 0 0\n"));
    EXPECT_NE(none.find("no option line"), std::string::npos) << none;
    EXPECT_NE(none.find("GHz"), std::string::npos) << none;
    const std::string noUnit = frequencyUnitHint(parsed("# S RI R 50\n14 0 0\n"));
    EXPECT_NE(noUnit.find("names no frequency unit"), std::string::npos) << noUnit;
    EXPECT_NE(noUnit.find("GHz"), std::string::npos) << noUnit;
}
