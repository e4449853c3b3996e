// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using vostrel::web::DesignerInput;
using vostrel::web::designerJson;

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

} // namespace
