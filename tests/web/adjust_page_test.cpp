// SPDX-License-Identifier: GPL-3.0-or-later
#include "adjust_page.h"

#include "coax_cable.h"
#include "gamma_design.h"
#include "line_transform.h"

#include <gtest/gtest.h>

#include <array>
#include <complex>
#include <cstdio>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

using vostrel::web::adjustJson;
using vostrel::web::AdjustPageInput;

namespace {

using Complex = std::complex<double>;

// The ARRL example with the textbook closed form, built as designed:
// 38.90 in, 96.14 pF.
AdjustPageInput built()
{
    AdjustPageInput input;
    input.design.freq = "14.3";
    input.design.r = "25";
    input.design.x = "-25";
    input.design.element = "1.5in";
    input.design.rod = "0.5in";
    input.design.spacing = "6in";
    input.design.model = "textbook";
    input.rodLength = "38.90 in";
    input.capacitance = "96.14";
    return input;
}

AdjustPageInput read(AdjustPageInput input, const std::string& r, const std::string& x)
{
    input.r = r;
    input.x = x;
    return input;
}

// The string value of "key" in `json`, its escapes read; "(none)" without it.
std::string value(const std::string& json, const std::string& key)
{
    const std::string start = "\"" + key + "\":\"";
    std::size_t at = json.find(start);
    if (at == std::string::npos) {
        return "(none)";
    }
    at += start.size();
    std::string out;
    for (; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] == '\\') {
            ++at;
        }
        out.push_back(json[at]);
    }
    return out;
}

vostrel::design::DesignInput arrlModel(Complex za)
{
    vostrel::design::DesignInput in;
    in.freqMhz = 14.3;
    in.feedImpedance = za;
    in.geometry = {1.5 * 0.0254, 0.5 * 0.0254, 6 * 0.0254};
    in.model = vostrel::design::Model::Textbook;
    return in;
}

// What the model reads at `freqMhz` with element impedance `za`, built
// with `rod` metres and `pf`.
Complex modelReading(Complex za, double freqMhz, double rod, double pf)
{
    vostrel::design::DesignInput in = arrlModel(za);
    in.freqMhz = freqMhz;
    return std::get<vostrel::design::Analysis>(vostrel::design::analyze(in, rod, pf)).zin;
}

std::string number(double value)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.9g", value);
    return text.data();
}

// The core's worked example, as the form shows it: the build typed as the
// results show it (to 0.01 in and 0.01 pF), so the element impedance is a
// hundredth of an ohm from the core's 23.24 - j32.42.
TEST(AdjustPage, GoodReadingGivesTheNextCutAndCapacitor)
{
    const std::string json = adjustJson(read(built(), "40", "10"));
    EXPECT_EQ(value(json, "status"), "ok") << json;
    EXPECT_EQ(value(json, "elementZ"), "23.23 - j32.41 ohms");
    EXPECT_EQ(value(json, "nextRod"), "42.11 in");
    EXPECT_EQ(value(json, "strapMove"), "3.21 in further from the feed point");
    EXPECT_EQ(value(json, "nextCapacitor"), "80.17 pF (-15.97 pF)");
    EXPECT_EQ(value(json, "expectedSwr"), "1.000");
    EXPECT_EQ(value(json, "reading"), "40.00 + j10.00 ohms (SWR 1.37)");
    EXPECT_EQ(value(json, "compared"), "49.99 - j0.01 ohms (SWR 1.00), from the design's Za 25.00 - j25.00 ohms");
    EXPECT_EQ(value(json, "cableLoss"), "");
    EXPECT_EQ(value(json, "warning"), "");
    // "Use as built" takes these into the built fields.
    EXPECT_NE(json.find(R"("next":{"rod":"42.11 in","capacitance":"80.17"})"), std::string::npos) << json;
}

// The build in millimetres, the capacitor typed with its unit: the same
// figures; a reading the model itself makes from a known element impedance
// gives it back, and the next build from "next" then reads SWR 1.
TEST(AdjustPage, ReadingOfTheModelGivesItsElementBackAndNextBuildMatches)
{
    const Complex za(31, -12);
    AdjustPageInput input = built();
    input.design.unit = "mm";
    input.rodLength = "988.1"; // the design's unit
    input.capacitance = "96.14 pF";
    const Complex zin = modelReading(za, 14.3, 0.9881, 96.14);
    const std::string json = adjustJson(read(input, number(zin.real()), number(zin.imag())));
    EXPECT_EQ(value(json, "elementZ"), "31.00 - j12.00 ohms") << json;
    EXPECT_NE(value(json, "strapMove").find(" mm "), std::string::npos) << value(json, "strapMove");

    const std::string nextRod = value(json, "nextRod");
    ASSERT_EQ(nextRod.substr(nextRod.size() - 3), " mm") << nextRod;
    const double rod = std::stod(nextRod) / 1000;
    const double pf = std::stod(value(json, "capacitance"));
    const vostrel::design::DesignInput model = arrlModel(za);
    const auto after = std::get<vostrel::design::Analysis>(vostrel::design::analyze(model, rod, pf));
    EXPECT_LT(after.swr, 1.01) << nextRod << ", " << pf << " pF";
}

// A reading taken at the shack end of a cable is taken back to the match:
// the element impedance is the one the connector's reading shows.
TEST(AdjustPage, CableIsTakenOutOfTheReading)
{
    const Complex atMatch(40, 10);
    const auto& cable = *std::get<const vostrel::coax::Cable*>(vostrel::coax::findCable("RG-213"));
    const Complex atShack = vostrel::coax::inputImpedance(vostrel::coax::lineOf(cable, 30 * 0.3048), 14.3, atMatch);
    AdjustPageInput input = read(built(), number(atShack.real()), number(atShack.imag()));
    input.cable = "RG-213";
    input.cableLength = "30 ft";
    const std::string json = adjustJson(input);
    EXPECT_EQ(value(json, "elementZ"), "23.23 - j32.41 ohms") << json;
    EXPECT_EQ(value(json, "nextRod"), "42.11 in");
    EXPECT_NE(
        value(json, "reading").find("through 9.144 m of RG-213; at the match 40.00 + j10.00 ohms"), std::string::npos)
        << value(json, "reading");
    EXPECT_NE(value(json, "cableLoss").find(" dB there and back at 14.3 MHz"), std::string::npos);
    EXPECT_EQ(value(json, "warning"), ""); // under 1 dB: nothing to warn of
}

// 30 m of RG-174 at 14.3 MHz loses about 8 dB there and back: the answer
// comes with how little the reading says.
TEST(AdjustPage, LossyCableWarns)
{
    AdjustPageInput input = read(built(), "45", "5");
    input.cable = "rg174";
    input.cableLength = "30";
    const std::string json = adjustJson(input);
    EXPECT_EQ(value(json, "status"), "ok") << json;
    const std::string warning = value(json, "warning");
    EXPECT_EQ(warning.rfind("The cable loses ", 0), 0U) << warning;
    EXPECT_NE(warning.find("read at the connector"), std::string::npos) << warning;
    const double loss = std::stod(value(json, "cableLoss"));
    EXPECT_GT(loss, 6);
    EXPECT_LT(loss, 10);
}

struct Refusal {
    const char* name;
    AdjustPageInput input;
    std::string status;
    std::string field; // for "bad"
    std::string message; // the start of the message
};

void PrintTo(const Refusal& row, std::ostream* out)
{
    *out << row.name;
}

class AdjustPageRefuses : public testing::TestWithParam<Refusal> { };

TEST_P(AdjustPageRefuses, SaysWhyInPlainText)
{
    const std::string json = adjustJson(GetParam().input);
    EXPECT_EQ(value(json, "status"), GetParam().status) << json;
    if (GetParam().status == "bad") {
        EXPECT_EQ(value(json, "field"), GetParam().field) << json;
    } else {
        EXPECT_EQ(json.find("\"field\""), std::string::npos) << json;
    }
    EXPECT_EQ(value(json, "message").rfind(GetParam().message, 0), 0U) << value(json, "message");
}

AdjustPageInput withFile(const std::string& text)
{
    AdjustPageInput input = built();
    input.fromFile = true;
    input.fileName = "mast.s1p";
    input.fileText = text;
    return input;
}

AdjustPageInput withFileName(AdjustPageInput input, const std::string& name)
{
    input.fileName = name;
    return input;
}

AdjustPageInput withCable(AdjustPageInput input, const std::string& cable, const std::string& length)
{
    input.cable = cable;
    input.cableLength = length;
    return input;
}

AdjustPageInput withRod(AdjustPageInput input, const std::string& rod)
{
    input.rodLength = rod;
    return input;
}

AdjustPageInput withDesignRod(AdjustPageInput input, const std::string& rod)
{
    input.design.rod = rod;
    return input;
}

INSTANTIATE_TEST_SUITE_P(Rows, AdjustPageRefuses,
    testing::Values(Refusal{"negativeResistance", read(built(), "-5", "10"), "refused", "",
                        "The reading has a negative resistance (-5.00 ohms) at the connector: calibrate the analyser"},
        Refusal{"short", read(built(), "0.2", "0"), "refused", "",
            "The reading (0.20 + j0.00 ohms at the connector, |reflection| 0.992) is what a short or an open shows"},
        Refusal{"negativeThroughCable", withCable(read(built(), "-3", "2"), "RG-58", "10 m"), "refused", "",
            "The reading has a negative resistance"},
        Refusal{"readingNotANumber", read(built(), "4O", "10"), "bad", "read-r", "Reading R: \"4O\" is not a number."},
        Refusal{"noReadingYet", built(), "waiting", "", "Type the R and X the analyser shows"},
        Refusal{"noFileYet", withFileName(withFile(""), ""), "waiting", "", "Choose the .s1p file"},
        Refusal{"reactanceEmpty", read(built(), "40", ""), "bad", "read-x", "Reading X: \"\" is empty."},
        Refusal{"rodWithoutNumber", withRod(read(built(), "40", "10"), "x in"), "bad", "built-rod",
            "Rod as built: \"x\" is not a number."},
        Refusal{"rodEmpty", withRod(read(built(), "40", "10"), ""), "bad", "built-rod", "Rod as built: type it"},
        Refusal{"rodLongerThanQuarterWave", withRod(read(built(), "40", "10"), "6 m"), "refused", "",
            "The rod as built (6.000 m) is longer than a quarter wave"},
        Refusal{"capacitorNotANumber",
            [] {
                AdjustPageInput input = read(built(), "40", "10");
                input.capacitance = "lots";
                return input;
            }(),
            "bad", "built-cap", "Capacitor as set: \"lots\" is not a number"},
        Refusal{"unknownCable", withCable(read(built(), "40", "10"), "RG-999", "10"), "bad", "cable",
            "Unknown cable \"RG-999\""},
        Refusal{"cableWithoutLength", withCable(read(built(), "40", "10"), "RG-58", ""), "bad", "cable-length",
            "Cable length: type it, e.g. 15 m."},
        Refusal{"designField", withDesignRod(read(built(), "40", "10"), "abc"), "bad", "design",
            "The design above: \"abc\" is not a number."},
        Refusal{"fileBadLine", withFile("! NanoVNA\n# MHz S RI R 50\n14.0 0.1 0.1\n14.2 0.1 x\n14.4 0 0\n"), "bad",
            "s1p", "Line 4 of mast.s1p: \"x\" is not a number."},
        Refusal{"fileShortCircuit", withFile("# MHz S RI R 50\n14.0 0.1 0.1\n14.5 -1 0\n"), "bad", "s1p",
            "Line 3 of mast.s1p: S = -1 is a short circuit"},
        Refusal{"fileEmpty", withFile("! nothing\n"), "bad", "s1p", "mast.s1p: "},
        Refusal{"fileElsewhere", withFile("# MHz S RI R 50\n7.0 0.1 0.1\n7.2 0.1 0.1\n"), "refused", "",
            "The sweep runs from 7.000 to 7.200 MHz and does not reach the design frequency, 14.300 MHz"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// A sweep the model makes with an element impedance that changes with
// frequency: the reading at the design frequency between two points, the
// lowest SWR now and after the change.
TEST(AdjustPage, SweepFromAFile)
{
    std::string file = "! made by the model\n# MHz Z RI R 50\n";
    for (int i = 0; i <= 10; ++i) {
        const double f = 13.8 + 0.1 * i;
        const Complex za(18 + 2 * (f - 14.3), -25 + 40 * (f - 14.3));
        const Complex z = modelReading(za, f, 38.90 * 0.0254, 96.14) / 50.0;
        file += number(f) + " " + number(z.real()) + " " + number(z.imag()) + "\n";
    }
    const std::string json = adjustJson(withFile(file));
    EXPECT_EQ(value(json, "status"), "ok") << json;
    EXPECT_EQ(value(json, "elementZ"), "18.00 - j25.00 ohms");
    EXPECT_EQ(value(json, "reading").rfind("at 14.3 MHz, between the file's 11 points: ", 0), 0U)
        << value(json, "reading");
    EXPECT_EQ(value(json, "lowestNext"), "1.00 at 14.3 MHz");
    EXPECT_NE(value(json, "lowestNow"), "");
}

TEST(AdjustPage, ShortedCapacitorAndCableList)
{
    AdjustPageInput input = read(built(), "30", "45");
    input.capacitance = "Short";
    const std::string json = adjustJson(input);
    EXPECT_EQ(value(json, "status"), "ok") << json;
    EXPECT_NE(value(json, "nextCapacitor").find("(in place of the short)"), std::string::npos);

    const std::string cables = vostrel::web::cablesJson();
    EXPECT_EQ(cables.rfind(R"x([{"name":"RG-58","label":"RG-58 (50 ohms, VF 0.66)"},)x", 0), 0U) << cables;
    EXPECT_NE(cables.find(R"({"name":"Aircell 7",)"), std::string::npos);
}

} // namespace
