// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using vostrel::web::BadField;
using vostrel::web::DesignerInput;
using vostrel::web::designerJson;
using vostrel::web::ratingsJson;

namespace {

DesignerInput arrlExample()
{
    DesignerInput input;
    input.freq = "14.3";
    input.r = "25";
    input.x = "-25";
    input.element = "1.5in";
    input.rod = "0.5in";
    input.spacing = "6in";
    input.model = "textbook"; // the published figures
    return input;
}

struct Row {
    const char* name;
    DesignerInput input;
    std::vector<std::string> contains;
};

class DesignerPage : public testing::TestWithParam<Row> { };

TEST_P(DesignerPage, ShowsWhatTheDesignerShows)
{
    const std::string json = designerJson(GetParam().input);
    for (const std::string& part : GetParam().contains) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " not in " << json.substr(0, 600);
    }
}

DesignerInput with(DesignerInput input, std::string DesignerInput::*field, std::string value)
{
    input.*field = std::move(value);
    return input;
}

DesignerInput tuned(int strap, int capacitor)
{
    DesignerInput input = arrlExample();
    input.strapSteps = strap;
    input.capacitorSteps = capacitor;
    return input;
}

// The README's worked example and the designer window's figures.
INSTANTIATE_TEST_SUITE_P(Examples, DesignerPage,
    testing::Values(
        Row{"whole", arrlExample(),
            {R"("status":"ok")", R"("rodLength":"38.90 in")", R"("capacitance":"96.14 pF")", R"("z0":"314.40 ohms")",
                R"("alpha":"1.5220")", R"("stepUp":"6.3606")", R"("reactance":"115.77 ohms")", R"("swr":"1.00")"}},
        Row{"half", with(arrlExample(), &DesignerInput::share, "half"),
            {R"("rodLength":"26.46 in")", R"("capacitance":"150.75 pF")"}},
        // The default closed form adds the feed connection's and strap's
        // 175 nH (15.73 ohms at 14.3 MHz): the rod stays, the capacitor falls.
        Row{"corrected", with(arrlExample(), &DesignerInput::model, "corrected"),
            {R"("rodLength":"38.90 in")", R"("capacitance":"84.64 pF")", R"("reactance":"131.49 ohms")",
                R"("model":"line model with the feed connection's and strap's inductance")"}},
        Row{"tuned", tuned(12, -10),
            {R"("tunedLength":"40.07 in")", R"("tunedCapacitance":"91.33 pF")", R"("swr":"1.09")"}},
        Row{"millimetres", with(arrlExample(), &DesignerInput::unit, "mm"), {R"("rodLength":"988.1 mm")"}},
        Row{"badRod", with(arrlExample(), &DesignerInput::rod, "abc"),
            {R"("status":"bad","field":"rod","message":"\"abc\" is not a number")"}},
        Row{"badFrequency", with(arrlExample(), &DesignerInput::freq, "1e400"),
            {R"("status":"bad","field":"freq","message":"\"1e400\" is too large")"}},
        Row{"rodTouchesElement", with(arrlExample(), &DesignerInput::spacing, "0.9in"),
            {R"("status":"bad","field":"spacing")"}},
        Row{"noMatch", with(with(arrlExample(), &DesignerInput::r, "5"), &DesignerInput::x, "10"),
            {R"("status":"nomatch")", "shorten it until its reactance is below -3.8 ohms"}}),
    [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// The three sweeps of 500 points, around the tuned setting.
TEST(DesignerPage, SweepsSpanTheWindowsRanges)
{
    const std::string json = designerJson(tuned(12, -10));
    for (const char* name : {R"({"name":"capacitance","unit":"pF","x":[38.456)",
             R"({"name":"strap","unit":"in","x":[27.2)", R"({"name":"frequency","unit":"MHz","x":[13.585)"}) {
        EXPECT_NE(json.find(name), std::string::npos) << name;
    }
    const std::size_t first = json.find(R"("swr":[)");
    const std::size_t end = json.find(']', first);
    const std::string swrs = json.substr(first, end - first);
    EXPECT_EQ(std::count(swrs.begin(), swrs.end(), ','), 499);
    EXPECT_NE(json.find(R"("tuned":[91.33)"), std::string::npos);
    // Each sweep ends where the window's does: 1.6 C, 1.3 L, +5 %.
    for (const auto& [name, last] :
        {std::pair{"capacitance", "153.8"}, std::pair{"strap", "50.5"}, std::pair{"frequency", "15.01"}}) {
        const std::size_t sweep = json.find(std::string(R"("name":")") + name);
        const std::size_t xEnd = json.find(R"(],"swr")", sweep);
        const std::size_t lastStart = json.rfind(',', xEnd) + 1;
        EXPECT_EQ(json.substr(lastStart, std::string(last).size()), last) << name;
    }
}

// The 144 MHz build: Xc 86 ohms on a 50 ohm line, a 6.35 mm rod.
vostrel::ratings::Input twoMetres(double watts)
{
    vostrel::ratings::Input in;
    in.freqMhz = 144;
    in.lineImpedance = 50;
    in.capacitorReactance = 86;
    in.rodLength = 0.3;
    in.rodDiameter = 6.35e-3;
    in.strapLength = 0.05;
    in.powerW = watts;
    return in;
}

std::string ratingsOf(const vostrel::ratings::Input& in)
{
    const auto json = ratingsJson(in);
    if (const auto* fault = std::get_if<BadField>(&json)) {
        return "bad " + fault->field + ": " + fault->message;
    }
    return std::get<std::string>(json);
}

void expectParts(const std::string& json, const std::vector<std::string>& parts)
{
    for (const std::string& part : parts) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " not in " << json;
    }
}

// By hand: I = sqrt(P / 50), V = 86 I, peak sqrt(2) V; at SWR 2 the current
// is sqrt(2) I; the rating twice the peak there.
TEST(DesignerRatings, VoltagesAndCurrentsByHand)
{
    // 100 W: 1.414 A, 121.6 V rms, 172.0 V peak.
    expectParts(ratingsOf(twoMetres(100)),
        {R"("lineCurrent":"1.414 A rms")", R"("lineCurrentAtMargin":"2.000 A rms")",
            R"("capacitorVoltage":"121.6 V rms, 172.0 V peak")", R"("capacitorVoltageAtMargin":"172.0 V rms)",
            R"x("heading":"At 100 W, margin SWR 2 (air variable, aluminium rod and strap)")x", R"("gapField":"")",
            R"("warnings":[])"});
    // 1500 W: 5.477 A, 471.0 V rms, 666.2 V peak; SWR 2: 7.746 A, 942.1 V peak, 1884 V.
    expectParts(ratingsOf(twoMetres(1500)),
        {R"("lineCurrent":"5.477 A rms")", R"("capacitorVoltage":"471.0 V rms, 666.2 V peak")",
            R"("lineCurrentAtMargin":"7.746 A rms")", R"("capacitorVoltageAtMargin":"666.2 V rms, 942.1 V peak")",
            R"("recommended":"1884 V peak")", R"("rodCurrent":"5.477 A rms")"});
    // SWR 3: sqrt(3) I = 9.487 A.
    vostrel::ratings::Input three = twoMetres(1500);
    three.swrMargin = 3;
    expectParts(ratingsOf(three), {R"("lineCurrentAtMargin":"9.487 A rms")", R"("margin":"SWR 3")"});
}

// The rod in a 10.2 mm tube of air breaks down at 3 kV/mm * r ln(R / r) =
// 4.514 kV, a third of it 1.505 kV; the peak at SWR 2 is 24.32 sqrt(P).
TEST(DesignerRatings, WarnsOnEitherSideOfTheThresholds)
{
    const auto inTube = [](double watts, const char* dielectric) {
        vostrel::ratings::Input in = twoMetres(watts);
        in.tubeInnerDiameter = 10.2e-3;
        in.capacitor = *vostrel::ratings::capacitorOfDielectric(dielectric);
        return ratingsOf(in);
    };
    const std::string below = inTube(3800, "air"); // 1.499 kV
    expectParts(below, {R"("warnings":[])", "air breaks down at 4.51 kV peak", "air-spaced coaxial"});
    const std::string third = inTube(3850, "air"); // 1.509 kV
    expectParts(third, {R"("warnings":[{"level":"third")", "above a third", "PTFE sleeve"});
    const std::string over = inTube(40000, "air"); // 4.865 kV
    expectParts(over, {R"("warnings":[{"level":"breakdown")", "it will arc"});
    EXPECT_EQ(over.find(R"("level":"third")"), std::string::npos) << over;
    // PTFE at 20 kV/mm holds the same 4.865 kV with room, but the air where
    // the sleeve ends is the same gap as the air tube's: it arcs there first.
    expectParts(inTube(40000, "ptfe"),
        {R"("warnings":[{"level":"breakdown")", "where the ptfe sleeve ends", "ptfe breaks down at 30."});
    expectParts(inTube(3800, "ptfe"), {R"("warnings":[])", "ptfe breaks down at 30."});
}

DesignerInput atPower(
    std::string power, std::string margin = "2", std::string dielectric = "air", std::string tube = "")
{
    DesignerInput input = arrlExample();
    input.power = std::move(power);
    input.swrMargin = std::move(margin);
    input.dielectric = std::move(dielectric);
    input.tube = std::move(tube);
    return input;
}

// The page's fields: no power, no ratings; the design's reactance (115.77
// ohms) rated, 163.7 V at 100 W; each bad field named.
TEST(DesignerRatings, ThePageRatesTheDesign)
{
    EXPECT_EQ(designerJson(atPower("")).find("ratings"), std::string::npos);
    EXPECT_EQ(designerJson(atPower("  ")).find("ratings"), std::string::npos);
    expectParts(designerJson(atPower("100")),
        {R"("status":"ok")", R"("ratings":{"heading":"At 100 W)", R"("capacitorVoltage":"163.7 V rms, 231.5 V peak")"});
    // The tube in the page's unit: 0.75 in around the 0.5 in rod.
    expectParts(designerJson(atPower("100", "2", "PTFE", "0.75")), {"PTFE coaxial", "ptfe breaks down at"});
    const std::vector<std::pair<DesignerInput, std::string>> refusals = {
        {atPower("-5"), R"("field":"power","message":"\"-5\" is not a power in watts above 0")"},
        {atPower("lots"), R"("field":"power","message":"\"lots\" is not a power in watts above 0")"},
        {atPower("100", "0.5"), R"("field":"swrMargin","message":"\"0.5\" is not an SWR of 1 or more")"},
        {atPower("100", "2", "glass"), R"("field":"dielectric")"},
        {atPower("100", "2", "air", "abc"), R"("field":"tube")"},
        {atPower("100", "2", "air", "0.4in"), R"("field":"tube")"}, // inside the rod
    };
    for (const auto& [input, part] : refusals) {
        const std::string json = designerJson(input);
        expectParts(json, {R"("status":"bad")", part});
    }
}

} // namespace
