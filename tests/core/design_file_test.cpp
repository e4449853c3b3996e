// SPDX-License-Identifier: GPL-3.0-or-later
// The design file: what the window writes reads back the same, every
// refusal names its line, and no input makes the reader do anything but
// answer.
#include "design_file.h"
#include "sha256.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vostrel::designfile {
namespace {

// The published test vectors (FIPS 180-2's and the empty message), and a
// message across the padding's block boundary (55, 56 and 64 bytes).
TEST(Sha256, GivesThePublishedDigests)
{
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
        "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256Hex(std::string(55, 'a')), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(sha256Hex(std::string(56, 'a')), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(sha256Hex(std::string(64, 'a')), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

Design everything()
{
    Design design;
    design[Key::Frequency] = "14.3";
    design[Key::Resistance] = "25";
    design[Key::Reactance] = "-25";
    design[Key::ElementDiameter] = "1.5 in";
    design[Key::RodDiameter] = "0.5in";
    design[Key::Spacing] = "6";
    design[Key::Unit] = "in";
    design[Key::LineImpedance] = "50";
    design[Key::StepUp] = "half";
    design[Key::ClosedForm] = "textbook";
    design[Key::TubeId] = "20 mm";
    design[Key::Dielectric] = "ptfe";
    design[Key::ElementLength] = "10.2 m";
    design[Key::Power] = "100";
    design[Key::SwrMargin] = "2";
    design[Key::AntennaModel] = "/home/ok1xyz/antennas/beam = 3 el.nec";
    design[Key::AntennaModelSha256] = sha256Hex("GW 1 21 0 -5 0 0 5 0 0.0125\n");
    design[Key::RodSide] = "-z";
    design[Key::CapAt] = "rod-end";
    design[Key::BuiltLength] = "38.9 in";
    design[Key::BuiltCapacitance] = "96.14 pF";
    return design;
}

TEST(DesignFile, WritesWhatItReadsBack)
{
    const Design design = everything();
    const auto written = writeDesign(design);
    ASSERT_TRUE(std::holds_alternative<std::string>(written));
    const std::string& text = std::get<std::string>(written);
    EXPECT_TRUE(text.starts_with("vostrel design 1\nfrequency = 14.3\nresistance = 25\n")) << text;
    const auto read = readDesign(text);
    ASSERT_TRUE(std::holds_alternative<Design>(read)) << std::get<ReadError>(read).message;
    EXPECT_EQ(std::get<Design>(read), design);

    // Only the values it has; a file with none is the first line alone.
    Design few;
    few[Key::Spacing] = "6 in";
    EXPECT_EQ(std::get<std::string>(writeDesign(few)), "vostrel design 1\nspacing = 6 in\n");
    EXPECT_EQ(std::get<std::string>(writeDesign(Design{})), "vostrel design 1\n");
    EXPECT_EQ(std::get<Design>(readDesign("vostrel design 1")), Design{});
}

TEST(DesignFile, ReadsWhatPeopleWrite)
{
    const auto read = readDesign("vostrel design 1\r\n"
                                 "# the 20 m dipole\r\n"
                                 "\r\n"
                                 "  frequency=14.2  \r\n"
                                 "\tspacing =\t6 in\r\n"
                                 "antenna-model = a=b.nec\n");
    ASSERT_TRUE(std::holds_alternative<Design>(read)) << std::get<ReadError>(read).message;
    const Design& design = std::get<Design>(read);
    EXPECT_EQ(design[Key::Frequency], "14.2");
    EXPECT_EQ(design[Key::Spacing], "6 in");
    EXPECT_EQ(design[Key::AntennaModel], "a=b.nec"); // the first "=" ends the key
    EXPECT_FALSE(design[Key::Resistance].has_value());
}

struct Refused {
    const char* name;
    std::string text;
    std::size_t line;
    const char* says;
};

class DesignFileRefuses : public testing::TestWithParam<Refused> { };

TEST_P(DesignFileRefuses, NamingTheLine)
{
    const auto read = readDesign(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<ReadError>(read));
    const ReadError& error = std::get<ReadError>(read);
    EXPECT_EQ(error.line, GetParam().line) << error.message;
    EXPECT_NE(error.message.find(GetParam().says), std::string::npos) << error.message;
}

const std::string kHead = "vostrel design 1\n";

INSTANTIATE_TEST_SUITE_P(Malformed, DesignFileRefuses,
    testing::Values(Refused{"Empty", "", 0, "empty"},
        // A byte over the limit, and the limit itself (read, refused for its
        // last line).
        Refused{
            "OneByteTooLarge", kHead + "# " + std::string(kMaxBytes - kHead.size() - 4, 'x') + "\nx\n", 0, "64 KiB"},
        Refused{"AtTheLimitIsRead", kHead + "# " + std::string(kMaxBytes - kHead.size() - 5, 'x') + "\nx\n", 3,
            "not \"key = value\""},
        Refused{"AnotherFormat", "GW 1 21 0 -5 0 0 5 0 0.0125\n", 1, "not a design file"},
        Refused{"ALaterVersion", "vostrel design 2\nfrequency = 14.3\n", 1, "version 2"},
        Refused{"NoEquals", kHead + "frequency 14.3\n", 2, "not \"key = value\""},
        Refused{"UnknownKey", kHead + "frequency = 14.3\nfreq = 14.3\n", 3, "unknown key \"freq\""},
        Refused{"KeyInCapitals", kHead + "Frequency = 14.3\n", 2, "unknown key"},
        Refused{"GivenTwice", kHead + "spacing = 6in\nrod-diameter = 0.5in\nspacing = 6in\n", 4, "given twice"},
        Refused{"EmptyValue", kHead + "power =\n", 2, "no value"},
        Refused{"NotANumber", kHead + "frequency = 14,3\n", 2, "frequency: \"14,3\""},
        Refused{"LengthUnknownUnit", kHead + "spacing = 6 yd\n", 2, "unknown unit"},
        Refused{"UnitNotKnown", kHead + "unit = furlong\n", 2, "not a unit"},
        Refused{"StepUpThird", kHead + "step-up = third\n", 2, "not whole or half"},
        Refused{"ClosedFormOther", kHead + "closed-form = exact\n", 2, "not corrected or textbook"},
        Refused{"DielectricGlass", kHead + "dielectric = glass\n", 2, "not air, ptfe"},
        Refused{"HashTooShort", kHead + "antenna-model-sha256 = " + std::string(63, 'a') + "\n", 2, "64 hex"},
        Refused{"HashNotHex", kHead + "antenna-model-sha256 = " + std::string(63, 'a') + "g\n", 2, "64 hex"},
        Refused{"RodSideW", kHead + "rod-side = +w\n", 2, "not a side"},
        Refused{"CapAtTheStrap", kHead + "cap-at = strap\n", 2, "not a place: feed, rod-end or tube"},
        Refused{"CapacitanceInNanofarads", kHead + "built-capacitance = 0.1 nF\n", 2, "not a capacitance"},
        Refused{"NotUtf8", kHead + "antenna-model = a\xFF.nec\n", 2, "UTF-8"},
        Refused{"AControlCharacter", kHead + "antenna-model = a\x1B[2J.nec\n", 2, "control"},
        Refused{"ABareCarriageReturn", kHead + "power = 100\rswr-margin = 2\n", 2, "control"}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

TEST(DesignFile, WritesNothingItCouldNotReadBack)
{
    for (const auto& [key, value] :
        {std::pair{Key::AntennaModel, "a\nfrequency = 7.1"}, std::pair{Key::AntennaModel, " padded.nec"},
            std::pair{Key::Unit, "yd"}, std::pair{Key::Frequency, ""}, std::pair{Key::AntennaModelSha256, "abc"}}) {
        Design design;
        design[Key::Frequency] = "14.3";
        design[key] = value;
        const auto written = writeDesign(design);
        ASSERT_TRUE(std::holds_alternative<WriteError>(written)) << value;
        EXPECT_EQ(std::get<WriteError>(written).key, key);
        EXPECT_TRUE(checkValue(key, value).has_value()) << value;
    }
}

// Files mutated at random from a good one (bytes changed, dropped, doubled,
// lines swapped): the reader answers each with a design or a refusal whose
// line lies inside the file, and a design it gives writes back to a file
// that reads as the same design.
TEST(DesignFile, AnswersRandomlyDamagedFiles)
{
    const std::string good = std::get<std::string>(writeDesign(everything()));
    std::mt19937 random(25); // seeded: a failure repeats
    std::uniform_int_distribution<int> byte(0, 255);
    std::size_t designs = 0;
    std::size_t refusals = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = good;
        const int edits = 1 + round % 4;
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size() - 1)(random);
            switch (random() % 4) {
            case 0:
                text[at] = static_cast<char>(byte(random));
                break;
            case 1:
                text.erase(at, 1 + random() % 8);
                break;
            case 2:
                text.insert(at, text.substr(at, 1 + random() % 30));
                break;
            default:
                text.insert(at, 1, "=\n#\r \t"[random() % 6]);
                break;
            }
        }
        const auto read = readDesign(text);
        if (const auto* error = std::get_if<ReadError>(&read)) {
            ++refusals;
            const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
            ASSERT_LE(error->line, lines) << text;
            ASSERT_FALSE(error->message.empty());
            continue;
        }
        ++designs;
        const auto again = writeDesign(std::get<Design>(read));
        ASSERT_TRUE(std::holds_alternative<std::string>(again)) << text;
        ASSERT_EQ(std::get<Design>(readDesign(std::get<std::string>(again))), std::get<Design>(read)) << text;
    }
    // Both answers came up often enough for the test to mean something.
    EXPECT_GT(designs, 300U);
    EXPECT_GT(refusals, 1000U);
}

} // namespace
} // namespace vostrel::designfile
