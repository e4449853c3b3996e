// SPDX-License-Identifier: GPL-3.0-or-later
#include "maa_reader.h"

#include "ascii.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>
#include <variant>
#include <vector>

namespace vostrel::nec {
namespace {

constexpr double kSpeedOfLight = 299792458.0;

// Windows-1251 bytes 0x80..0xBF as Unicode (0x98 is unassigned); 0xC0..0xFF
// are U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kCp1251High = {0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1,
    0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = decodeUtf8(text, at);
        if (!c.valid) {
            return false;
        }
        at += c.length;
    }
    return true;
}

// The file as UTF-8: kept when it is UTF-8 (a byte order mark dropped),
// else read as Windows-1251.
std::string asUtf8(std::string_view text)
{
    if (isUtf8(text)) {
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        return std::string(text);
    }
    std::string out;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            out += ch;
        } else if (byte < 0xC0) {
            appendUtf8(out, kCp1251High[byte - 0x80]);
        } else {
            appendUtf8(out, static_cast<char32_t>(0x0410 + (byte - 0xC0)));
        }
    }
    return out;
}

struct Line {
    std::string_view text;
    int number = 0;
};

std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    int number = 1;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back({line, number++});
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

std::string_view trimmed(std::string_view s)
{
    const std::size_t from = s.find_first_not_of(" \t");
    if (from == std::string_view::npos) {
        return {};
    }
    return s.substr(from, s.find_last_not_of(" \t") - from + 1);
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t from = line.find_first_not_of(" \t,"); from != std::string_view::npos;
         from = line.find_first_not_of(" \t,")) {
        line.remove_prefix(from);
        const std::size_t to = std::min(line.find_first_of(" \t,"), line.size());
        fields.push_back(line.substr(0, to));
        line.remove_prefix(to);
    }
    return fields;
}

std::optional<double> number(std::string_view token)
{
    if (token.starts_with('+')) {
        token.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

enum class Section { None, Wires, Source, Load, Segmentation, Ground, Comment };

// The section a header line opens, if it is one. Headers are written
// "*** Wires ***" (stars and blanks around the name vary) or "###Comment###".
std::optional<Section> sectionOf(std::string_view line)
{
    const std::string_view t = trimmed(line);
    const bool stars = t.starts_with("***");
    const bool hashes = t.starts_with("###");
    if (!stars && !hashes) {
        return std::nullopt;
    }
    const char mark = stars ? '*' : '#';
    const std::size_t from = t.find_first_not_of(std::string{mark, ' ', '\t'});
    const std::size_t to = t.find_last_not_of(std::string{mark, ' ', '\t'});
    const std::string name = from == std::string_view::npos ? "" : ascii::lowered(t.substr(from, to - from + 1));
    struct Name {
        std::string_view text;
        Section section;
    };
    static constexpr std::array<Name, 17> kNames = {{{"wires", Section::Wires}, {"провода", Section::Wires},
        {"провод", Section::Wires}, {"source", Section::Source}, {"sources", Section::Source},
        {"источник", Section::Source}, {"источники", Section::Source}, {"load", Section::Load},
        {"loads", Section::Load}, {"нагрузка", Section::Load}, {"нагрузки", Section::Load},
        {"segmentation", Section::Segmentation}, {"сегментация", Section::Segmentation}, {"comment", Section::Comment},
        {"comments", Section::Comment}, {"комментарий", Section::Comment}, {"комментарии", Section::Comment}}};
    for (const auto& n : kNames) {
        // Russian headers may start with a capital letter.
        const std::string_view tail = name.size() >= 2 ? std::string_view(name).substr(2) : std::string_view();
        if (name == n.text
            || (static_cast<unsigned char>(name.front()) >= 0x80 && n.text.size() >= 2 && tail == n.text.substr(2)
                && name.size() == n.text.size())) {
            return n.section;
        }
    }
    if (name.starts_with("g/h/m/r")) {
        return Section::Ground;
    }
    return std::nullopt;
}

struct MaaWire {
    std::array<double, 6> ends{};
    double radius = 0;
    int segmentCode = 0;
    int line = 0;
};

struct Place {
    int wire = 0; // 1-based
    char anchor = 'c'; // b, c, e
    int offset = 0;
    int line = 0;
};

struct MaaSource {
    Place place;
    double phaseDeg = 0;
    double volts = 1;
};

struct MaaLoad {
    Place place;
    int type = 0;
    std::array<double, 3> values{};
};

struct MaaModel {
    std::vector<std::string> comments; // title first
    std::optional<double> freqMhz;
    std::vector<MaaWire> wires;
    std::vector<MaaSource> sources;
    std::vector<MaaLoad> loads;
    double dm2 = 40;
    int groundType = 0;
};

// Parses "w12c", "w3b", "w1e-2", "w2c+1": a wire, its anchor and an offset.
std::optional<Place> parsePlace(std::string_view token, int line)
{
    if (token.size() < 3 || (token[0] != 'w' && token[0] != 'W')) {
        return std::nullopt;
    }
    token.remove_prefix(1);
    Place place;
    place.line = line;
    const auto [afterWire, wireError] = std::from_chars(token.data(), token.data() + token.size(), place.wire);
    if (wireError != std::errc() || afterWire == token.data() + token.size()) {
        return std::nullopt;
    }
    token.remove_prefix(static_cast<std::size_t>(afterWire - token.data()));
    place.anchor = static_cast<char>(ascii::lowered(token.substr(0, 1)).front());
    if (place.anchor != 'b' && place.anchor != 'c' && place.anchor != 'e') {
        return std::nullopt;
    }
    token.remove_prefix(1);
    if (token.starts_with('+')) {
        token.remove_prefix(1);
    }
    if (!token.empty()) {
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), place.offset);
        if (error != std::errc() || end != token.data() + token.size()) {
            return std::nullopt;
        }
    }
    return place;
}

class Reader {
public:
    Reader(std::string_view fileName)
        : m_fileName(fileName)
    { }

    std::optional<NecFailure> read(const std::vector<Line>& lines)
    {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i == 0) {
                m_model.comments.emplace_back(trimmed(lines[i].text));
            } else if (auto failure = readLine(lines[i])) {
                return failure;
            }
        }
        if (m_counted && m_expected > 0) {
            return NecFailure{NecFailure::Kind::BadDeck,
                m_fileName + ":" + std::to_string(lines.empty() ? 1 : lines.back().number) + ": the file ends with "
                    + std::to_string(m_expected) + " line(s) of its last section missing",
                {}};
        }
        return std::nullopt;
    }

    const MaaModel& model() const { return m_model; }

    NecFailure fail(const Line& line, const std::string& why) const
    {
        return failAt(line.number, why + ": \"" + shownText(line.text, 80) + "\"");
    }

    NecFailure failAt(int line, const std::string& why) const
    {
        return NecFailure{NecFailure::Kind::BadDeck, m_fileName + ":" + std::to_string(line) + ": " + why, {}};
    }

private:
    // One line after the title: a section's header, its count, one of its
    // lines, or a comment.
    std::optional<NecFailure> readLine(const Line& line)
    {
        if (const auto opened = sectionOf(line.text); opened && m_section != Section::Comment) {
            if (m_counted && m_expected > 0) {
                return fail(line, "the section above lists " + std::to_string(m_expected) + " more line(s)");
            }
            m_section = *opened;
            m_counted = m_section == Section::Segmentation || m_section == Section::Ground; // one line, no count
            m_expected = m_counted ? 1 : 0;
            return std::nullopt;
        }
        const std::string_view t = trimmed(line.text);
        if (m_section == Section::Comment) {
            m_model.comments.emplace_back(t);
            return std::nullopt;
        }
        if (t.empty() || t == "*") {
            return std::nullopt;
        }
        const auto fields = splitFields(t);
        if (m_section == Section::None) {
            return take(m_section, line, fields);
        }
        if (!m_counted) {
            const auto count = fields.empty() ? std::nullopt : number(fields[0]);
            if (!count || fields.size() > 2 || *count < 0 || *count != std::floor(*count)) {
                return fail(line, "a line count should start this section");
            }
            m_expected = static_cast<std::size_t>(*count);
            m_counted = true;
            return std::nullopt;
        }
        if (m_expected == 0) {
            return fail(line, "a line this reader cannot place");
        }
        --m_expected;
        return take(m_section, line, fields);
    }

    std::optional<NecFailure> take(Section section, const Line& line, const std::vector<std::string_view>& fields)
    {
        std::vector<double> values;
        const std::size_t first = section == Section::Source || section == Section::Load ? 1 : 0;
        for (std::size_t k = first; k < fields.size(); ++k) {
            const auto value = number(fields[k]);
            if (!value) {
                return fail(line, std::string(1, '"').append(shownText(fields[k], 40)).append("\" is not a number"));
            }
            values.push_back(*value);
        }
        switch (section) {
        case Section::None:
            if (m_model.freqMhz || values.size() != 1) {
                return fail(line, "a line this reader cannot place");
            }
            if (values[0] <= 0) {
                return fail(line, "the frequency must be above 0 MHz");
            }
            m_model.freqMhz = values[0];
            return std::nullopt;
        case Section::Wires:
            return takeWire(line, values);
        case Section::Source:
        case Section::Load:
            return takePlaced(section, line, fields, values);
        case Section::Segmentation:
            if (values.size() < 2 || values[1] <= 0) {
                return fail(line, "segmentation needs DM1, DM2 (above 0), SC and EC");
            }
            m_model.dm2 = values[1];
            return std::nullopt;
        case Section::Ground:
            if (values.empty() || values[0] < 0 || values[0] > 2 || values[0] != std::floor(values[0])) {
                return fail(line, "the ground type must be 0 (free space), 1 (perfect) or 2 (real)");
            }
            m_model.groundType = static_cast<int>(values[0]);
            return std::nullopt;
        case Section::Comment:
            break;
        }
        return std::nullopt;
    }

    std::optional<NecFailure> takeWire(const Line& line, const std::vector<double>& values)
    {
        if (values.size() != 8) {
            return fail(line, "a wire needs X1, Y1, Z1, X2, Y2, Z2, R and Seg");
        }
        MaaWire wire;
        std::copy_n(values.begin(), 6, wire.ends.begin());
        wire.radius = values[6];
        wire.line = line.number;
        if (wire.radius <= 0) {
            return fail(line, "the wire's radius must be above 0 (a negative MMANA radius is not taken)");
        }
        if (values[7] != std::floor(values[7]) || values[7] < -3 || values[7] > 10000) {
            return fail(line, "the segment count must be 1 to 10000, or an auto code 0, -1, -2 or -3");
        }
        wire.segmentCode = static_cast<int>(values[7]);
        const auto& e = wire.ends;
        if (std::hypot(e[3] - e[0], e[4] - e[1], e[5] - e[2]) <= 0) {
            return fail(line, "the wire has no length");
        }
        m_model.wires.push_back(wire);
        return std::nullopt;
    }

    std::optional<NecFailure> takePlaced(Section section, const Line& line, const std::vector<std::string_view>& fields,
        const std::vector<double>& values)
    {
        const auto place = fields.empty() ? std::nullopt : parsePlace(fields[0], line.number);
        if (!place) {
            return fail(line, "a position such as w1c, w2b or w3e should start the line");
        }
        if (section == Section::Source) {
            if (values.size() < 2) {
                return fail(line, "a source needs its position, phase and voltage");
            }
            m_model.sources.push_back({*place, values[0], values[1]});
            return std::nullopt;
        }
        if (values.size() < 3 || (values[0] != 0 && values[0] != 1)) {
            return fail(line, "a load needs its position, type 0 (L uH, C pF, Q) or 1 (R, jX), and its values");
        }
        MaaLoad load{*place, static_cast<int>(values[0]), {}};
        std::copy_n(values.begin() + 1, std::min<std::size_t>(3, values.size() - 1), load.values.begin());
        m_model.loads.push_back(load);
        return std::nullopt;
    }

    std::string m_fileName;
    MaaModel m_model;
    Section m_section = Section::None;
    std::size_t m_expected = 0; // lines the section still owes
    bool m_counted = false; // the section's count line was read
};

std::string numberText(double value)
{
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc() ? std::string(buffer.data(), end) : "0";
}

// A comment line as CM cards: controls shown as "?", cut into pieces of at
// most 70 bytes on character boundaries (nec2c reads 80-column cards).
void appendComment(std::string& deck, std::string_view text)
{
    const std::string shown = shownText(text, text.size() * 4 + 4);
    std::string_view rest = shown;
    do {
        std::size_t take = 0;
        while (take < rest.size()) {
            const std::size_t next = take + decodeUtf8(rest, take).length;
            if (next > 70) {
                break;
            }
            take = next;
        }
        deck += "CM " + std::string(rest.substr(0, take)) + "\n";
        rest.remove_prefix(take);
    } while (!rest.empty());
}

int segmentCount(const MaaWire& wire, const MaaModel& model, bool needsCentre)
{
    if (wire.segmentCode > 0) {
        return wire.segmentCode + (needsCentre && wire.segmentCode % 2 == 0 ? 1 : 0);
    }
    const auto& e = wire.ends;
    const double length = std::hypot(e[3] - e[0], e[4] - e[1], e[5] - e[2]);
    const double wavelength = kSpeedOfLight / (*model.freqMhz * 1e6);
    const int n = std::max(1, static_cast<int>(std::ceil(length * model.dm2 / wavelength - 1e-9)));
    return n % 2 == 0 ? n + 1 : n;
}

// Every wire's NEC segment count.
std::vector<int> segmentCounts(const MaaModel& model)
{
    const int wireCount = static_cast<int>(model.wires.size());
    std::vector<bool> centreNeeded(model.wires.size(), false);
    for (const auto& s : model.sources) {
        if (s.place.wire >= 1 && s.place.wire <= wireCount && s.place.anchor == 'c') {
            centreNeeded[static_cast<std::size_t>(s.place.wire - 1)] = true;
        }
    }
    std::vector<int> segments;
    for (std::size_t w = 0; w < model.wires.size(); ++w) {
        segments.push_back(segmentCount(model.wires[w], model, centreNeeded[w]));
    }
    return segments;
}

// The LD card of a load on `segment`: series L, C and the coil's loss at
// angular frequency `omega`, or R + jX.
std::string loadCard(const MaaLoad& load, int segment, double omega)
{
    std::string where(1, ' ');
    where.append(std::to_string(load.place.wire)).append(" ").append(std::to_string(segment));
    where.append(" ").append(std::to_string(segment)).append(" ");
    if (load.type == 0) {
        const double henries = load.values[0] * 1e-6;
        const double farads = load.values[1] * 1e-12;
        const double q = load.values[2];
        const double ohms = q > 0 && henries > 0 ? omega * henries / q : 0.0;
        return "LD 0" + where + numberText(ohms) + " " + numberText(henries) + " " + numberText(farads) + "\n";
    }
    return "LD 4" + where + numberText(load.values[0]) + " " + numberText(load.values[1]) + "\n";
}

// The EX card of a source on `segment`, its voltage at its phase.
std::string sourceCard(const MaaSource& source, int segment)
{
    const double phase = source.phaseDeg * std::numbers::pi / 180;
    // cos and sin of 90 degrees and the like are 0 to rounding: written as 0.
    const auto part = [&](double x) { return std::abs(x) < 1e-12 ? 0.0 : source.volts * x; };
    return "EX 0 " + std::to_string(source.place.wire) + " " + std::to_string(segment) + " 0 "
        + numberText(part(std::cos(phase))) + " " + numberText(part(std::sin(phase))) + "\n";
}

} // namespace

bool isMaaModel(std::string_view text, std::string_view fileName)
{
    if (fileName.size() >= 4 && ascii::lowered(fileName.substr(fileName.size() - 4)) == ".maa") {
        return true;
    }
    const std::string utf8 = asUtf8(text);
    return std::ranges::any_of(splitLines(utf8), [](const Line& l) { return sectionOf(l.text) == Section::Wires; });
}

Outcome<std::string> maaToNecDeck(std::string_view text, std::string_view fileName)
{
    const std::string utf8 = asUtf8(text);
    const auto lines = splitLines(utf8);
    Reader reader(fileName);
    if (auto failure = reader.read(lines)) {
        return *failure;
    }
    const MaaModel& model = reader.model();
    const int lastLine = lines.empty() ? 1 : lines.back().number;
    if (!model.freqMhz) {
        return reader.failAt(lastLine, "no frequency: the line after the title's \"*\" gives it in MHz");
    }
    if (model.wires.empty()) {
        return reader.failAt(lastLine, "no wires: a \"*** Wires ***\" section lists them");
    }
    if (model.sources.empty()) {
        return reader.failAt(lastLine, "no source: a \"*** Source ***\" section places it");
    }
    const int wireCount = static_cast<int>(model.wires.size());
    const std::vector<int> segments = segmentCounts(model);
    // The NEC segment of a source or load, or 0 when it is off its wire.
    const auto segmentOf = [&](const Place& p) {
        if (p.wire < 1 || p.wire > wireCount) {
            return 0;
        }
        const int n = segments[static_cast<std::size_t>(p.wire - 1)];
        const int anchor = p.anchor == 'b' ? 1 : p.anchor == 'e' ? n : (n + 1) / 2;
        const int segment = anchor + p.offset;
        return segment >= 1 && segment <= n ? segment : 0;
    };
    const auto offWire = [&](const Place& p) {
        return reader.failAt(p.line,
            p.wire < 1 || p.wire > wireCount
                ? "wire " + std::to_string(p.wire) + " does not exist (the model has " + std::to_string(wireCount) + ")"
                : "the offset goes past the ends of wire " + std::to_string(p.wire) + " ("
                    + std::to_string(segments[static_cast<std::size_t>(p.wire - 1)]) + " segments)");
    };

    std::string deck;
    for (const auto& comment : model.comments) {
        appendComment(deck, comment);
    }
    deck += "CE\n";
    for (std::size_t w = 0; w < model.wires.size(); ++w) {
        const MaaWire& wire = model.wires[w];
        deck += "GW " + std::to_string(w + 1) + " " + std::to_string(segments[w]);
        for (const double c : wire.ends) {
            deck += ' ';
            deck += numberText(c);
        }
        deck += ' ';
        deck += numberText(wire.radius);
        deck += '\n';
    }
    deck += model.groundType == 0 ? "GE 0\n" : "GE 1\nGN 1\n";
    const double omega = 2 * std::numbers::pi * *model.freqMhz * 1e6;
    for (const auto& load : model.loads) {
        const int segment = segmentOf(load.place);
        if (segment == 0) {
            return offWire(load.place);
        }
        deck += loadCard(load, segment, omega);
    }
    for (const auto& source : model.sources) {
        const int segment = segmentOf(source.place);
        if (segment == 0) {
            return offWire(source.place);
        }
        deck += sourceCard(source, segment);
    }
    deck += "FR 0 1 0 0 " + numberText(*model.freqMhz) + " 0\nXQ\nEN\n";
    return deck;
}

Outcome<UserDeck> readModel(std::string_view text, std::string_view fileName)
{
    if (!isMaaModel(text, fileName)) {
        return readDeck(text, fileName);
    }
    auto converted = maaToNecDeck(text, fileName);
    if (const auto* failure = std::get_if<NecFailure>(&converted)) {
        return *failure;
    }
    auto read = readDeck(std::get<std::string>(converted), std::string(fileName) + " (as NEC-2)");
    if (auto* deck = std::get_if<UserDeck>(&read)) {
        deck->fileName = std::string(fileName);
    }
    return read;
}

} // namespace vostrel::nec
