// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "design_document.h"
#include "designer_window.h"

#include "design_options.h"
#include "plain_number.h"
#include "utf8.h"

#include <QCommandLineParser>
#include <QDir>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>

namespace vostrel::designer {
namespace {

// The options of vostrel-design that fill this form.
constexpr std::array kFormOptions = {"--freq", "--r", "--x", "--element", "--rod", "--spacing", "--line", "--half",
    "--textbook", "--units", "--tube-id", "--dielectric", "--s1p", "--element-length", "--nec", "--power",
    "--swr-margin", "--rod-side", "--cap-at"};

struct OlderSpelling {
    const char* name;
    const char* valueName;
    const char* now;
};
constexpr std::array kOlderSpellings
    = {OlderSpelling{"unit", "unit", "--units"}, OlderSpelling{"step-up", "whole|half", "--half"},
        OlderSpelling{"tube", "length", "--tube-id"}, OlderSpelling{"file", "path", "--s1p"}};

QString bare(std::string_view name)
{
    return QString::fromLatin1(name.substr(2).data(), static_cast<qsizetype>(name.size() - 2));
}

QString quoted(const QString& text)
{
    return QStringLiteral("\"%1\"").arg(QString::fromStdString(shownText(text.toStdString(), 40)));
}

class Reader {
public:
    Reader(const QCommandLineParser& parser, const QLocale& locale)
        : m_parser(parser)
        , m_locale(locale)
    { }

    bool isSet(const char* name) const { return m_parser.isSet(QString::fromLatin1(name)); }
    QString value(const char* name) const { return m_parser.value(QString::fromLatin1(name)); }

    // A number as vostrel-design reads it, written for the form.
    std::optional<QString> number(const char* name, QString& message) const
    {
        const QString text = value(name);
        const auto read = readPlainNumber(text.toStdString(), {});
        if (const auto* why = std::get_if<NumberRefusal>(&read)) {
            const NumberRefusal reason = *why == NumberRefusal::Empty ? NumberRefusal::NotANumber : *why;
            message = QStringLiteral("--%1: %2 %3")
                          .arg(QLatin1String(name), quoted(text), QString::fromStdString(refusalText(reason, {})));
            return std::nullopt;
        }
        return localised(text);
    }

    // A length with its unit or none, written for the form; `metres` what
    // it reads as.
    std::optional<QString> length(
        const char* name, std::optional<design::Unit>& ownUnit, double& metres, QString& message) const
    {
        const std::string text = value(name).toStdString();
        const auto parsed = design::parseLength(text, design::Unit::Metre);
        if (const auto* why = std::get_if<std::string>(&parsed)) {
            message = QStringLiteral("--%1: %2").arg(QLatin1String(name), QString::fromStdString(*why));
            return std::nullopt;
        }
        const auto& read = std::get<design::Length>(parsed);
        metres = read.metres;
        const bool named = std::holds_alternative<design::Length>(design::parseLength(text, std::nullopt));
        ownUnit = named ? std::optional(read.unit) : std::nullopt;
        return localised(value(name));
    }

private:
    // The text as given, in the form's notation: exactly the value typed.
    QString localised(QString text) const { return text.replace(QLatin1Char('.'), m_locale.decimalPoint()); }

    const QCommandLineParser& m_parser;
    const QLocale& m_locale;
};

bool isFormUnit(design::Unit unit)
{
    return std::find(std::begin(kFormUnits), std::end(kFormUnits), unit) != std::end(kFormUnits);
}

} // namespace

void addInputOptions(QCommandLineParser& parser)
{
    for (const char* name : kFormOptions) {
        const options::OptionInfo* info = options::findOption(name);
        QString help = QString::fromLatin1(info->help.data(), static_cast<qsizetype>(info->help.size()));
        help.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (info->id == options::OptionId::Dielectric) {
            help = QStringLiteral("its sleeve: air, ptfe or polyethylene (ptfe)"); // the form's choices, no number
        }
        if (info->value.empty()) {
            parser.addOption(QCommandLineOption(bare(info->name), help));
        } else {
            parser.addOption(QCommandLineOption(bare(info->name), help,
                QString::fromLatin1(info->value.data(), static_cast<qsizetype>(info->value.size()))));
        }
    }
    for (const OlderSpelling& older : kOlderSpellings) {
        QCommandLineOption option(QString::fromLatin1(older.name),
            QStringLiteral("The older spelling of %1.").arg(QLatin1String(older.now)),
            QString::fromLatin1(older.valueName));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.addPositionalArgument(
        QStringLiteral("file"), QStringLiteral("The same as --s1p."), QStringLiteral("[file.s1p]"));
}

namespace {

// Each option once, the older spellings counted as their new names; a note
// for each older spelling used. Returns the refusal, or nothing.
std::optional<QString> checkRepeats(const QCommandLineParser& parser, QStringList& notes)
{
    QStringList seen;
    for (const QString& name : parser.optionNames()) {
        QString now = QStringLiteral("--") + name;
        for (const OlderSpelling& older : kOlderSpellings) {
            if (name == QLatin1String(older.name)) {
                now = QString::fromLatin1(older.now);
                const QString note = QStringLiteral("--%1 is now %2").arg(name, now);
                if (!notes.contains(note)) {
                    notes.append(note);
                }
            }
        }
        if (seen.contains(now)) {
            return QStringLiteral("%1 is given twice").arg(now);
        }
        seen.append(now);
    }
    return std::nullopt;
}

const char* either(const Reader& read, const char* name, const char* older)
{
    return read.isSet(name) ? name : older;
}

std::optional<QString> readNumbers(const Reader& read, InputTexts& texts)
{
    QString message;
    for (const auto& [name, into] : {std::pair{"freq", &texts.frequency}, std::pair{"r", &texts.resistance},
             std::pair{"x", &texts.reactance}, std::pair{"line", &texts.lineImpedance},
             std::pair{"power", &texts.power}, std::pair{"swr-margin", &texts.swrMargin}}) {
        if (read.isSet(name)) {
            const auto number = read.number(name, message);
            if (!number) {
                return message;
            }
            *into = *number;
        }
    }
    return std::nullopt;
}

std::optional<QString> readFile(const QCommandLineParser& parser, const Reader& read, QString& file)
{
    const char* fileOption = either(read, "s1p", "file");
    file = read.value(fileOption);
    if (file.isEmpty() && !parser.positionalArguments().isEmpty()) {
        file = parser.positionalArguments().front();
    }
    if (parser.positionalArguments().size() > 1
        || (read.isSet(fileOption) && !parser.positionalArguments().isEmpty())) {
        return QStringLiteral("one measurement file at most");
    }
    return std::nullopt;
}

// The form's unit (--units, or the first length given with its own) and
// the lengths: those not given meant the old unit and are converted.
std::optional<QString> readLengths(const Reader& read, InputTexts& texts, const QLocale& locale)
{
    std::optional<design::Unit> unit;
    if (const char* unitOption = either(read, "units", "unit"); read.isSet(unitOption)) {
        unit = options::readUnit(read.value(unitOption).toStdString());
        if (!unit || !isFormUnit(*unit)) {
            return QStringLiteral("--%1 takes mm, cm or in, not %2")
                .arg(QLatin1String(unitOption), quoted(read.value(unitOption)));
        }
    }
    const std::array lengths = {std::pair{"element", &texts.elementDiameter}, std::pair{"rod", &texts.rodDiameter},
        std::pair{"spacing", &texts.spacing}, std::pair{either(read, "tube-id", "tube"), &texts.tubeInnerDiameter},
        std::pair{"element-length", &texts.elementLength}};
    std::array<std::optional<QString>, lengths.size()> given;
    std::array<std::optional<design::Unit>, lengths.size()> ownUnits;
    std::array<double, lengths.size()> metres{};
    QString message;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (!read.isSet(lengths[i].first)) {
            continue;
        }
        std::optional<design::Unit>& own = ownUnits[i];
        given[i] = read.length(lengths[i].first, own, metres[i], message);
        if (!given[i]) {
            return message;
        }
        if (!unit && own && isFormUnit(*own)) {
            unit = own;
        }
    }
    if (unit) {
        convertLengths(texts, texts.unit, *unit, locale);
        texts.unit = *unit;
    }
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (given[i]) {
            // "25mm" in a form whose unit is mm reads "25" beside its "mm".
            const bool formUnit = ownUnits[i] && *ownUnits[i] == texts.unit;
            *lengths[i].second = formUnit ? formatInput(metres[i] / design::metresPer(texts.unit), locale) : *given[i];
        }
    }
    return std::nullopt;
}

std::optional<QString> readChoices(const Reader& read, InputTexts& texts)
{
    if (read.isSet("half")) {
        texts.stepUp = design::StepUp::Half;
    }
    if (read.isSet("textbook")) {
        texts.model = design::Model::Textbook;
    }
    if (read.isSet("step-up")) {
        const QString value = read.value("step-up").toLower();
        if (value != QLatin1String("whole") && value != QLatin1String("half")) {
            return QStringLiteral("--step-up takes whole or half, not %1").arg(quoted(read.value("step-up")));
        }
        texts.stepUp = value == QLatin1String("half") ? design::StepUp::Half : design::StepUp::Whole;
    }
    if (read.isSet("rod-side")) {
        const QString value = read.value("rod-side").toLower();
        if (std::find(kRodSides.begin(), kRodSides.end(), value.toStdString()) == kRodSides.end()) {
            return QStringLiteral("--rod-side: %1 is not a side: away, +x, -x, +y, -y, +z or -z")
                .arg(quoted(read.value("rod-side")));
        }
        texts.rodSide = value;
    }
    if (read.isSet("cap-at")) {
        const QString value = read.value("cap-at").toLower();
        if (std::find(kCapacitorPlaces.begin(), kCapacitorPlaces.end(), value.toStdString())
            == kCapacitorPlaces.end()) {
            return QStringLiteral("--cap-at: %1 is not a place: feed, rod-end or tube")
                .arg(quoted(read.value("cap-at")));
        }
        texts.capAt = value;
    }
    if (read.isSet("dielectric")) {
        const QString value = read.value("dielectric").toLower();
        bool known = false;
        for (const design::Dielectric& dielectric : design::dielectrics()) {
            known = known || value == QLatin1String(dielectric.name);
        }
        if (!known) {
            return QStringLiteral("--dielectric: %1 is not one of air, ptfe or polyethylene")
                .arg(quoted(read.value("dielectric")));
        }
        texts.dielectric = value;
    }
    return std::nullopt;
}

} // namespace

std::variant<CommandLineInputs, QString> readInputOptions(
    const QCommandLineParser& parser, const InputTexts& base, const QLocale& locale)
{
    CommandLineInputs result{base, {}, {}, {}};
    const Reader read(parser, locale);
    std::optional<QString> refusal = checkRepeats(parser, result.notes);
    if (!refusal) {
        refusal = readNumbers(read, result.texts);
    }
    if (!refusal) {
        refusal = readFile(parser, read, result.measurementFile);
    }
    if (!refusal && read.isSet("nec")) {
        result.antennaModel = read.value("nec");
        if (read.isSet("element-length")) {
            refusal = QStringLiteral("--element-length and --nec each give the element: give one");
        }
    }
    if (!refusal) {
        refusal = readLengths(read, result.texts, locale);
    }
    if (!refusal) {
        refusal = readChoices(read, result.texts);
    }
    if (refusal) {
        return *refusal;
    }
    return result;
}

namespace {

// Whether the command line says which antenna it is about.
bool namesTheAntenna(const QCommandLineParser& parser)
{
    for (const char* name : {"freq", "r", "x", "element", "element-length", "nec", "s1p", "file"}) {
        if (parser.isSet(QLatin1String(name))) {
            return true;
        }
    }
    return !parser.positionalArguments().isEmpty();
}

// The notice of a start: what came from the last session, what of it was
// left out. Empty when nothing did.
QString startNotice(bool anyOption, const QStringList& restored, const QStringList& leftOut)
{
    QString text;
    if (!restored.isEmpty()) {
        text = (anyOption ? DesignerWindow::tr("From the last session, not on the command line: %1.")
                          : DesignerWindow::tr("From the last session: %1."))
                   .arg(restored.join(QStringLiteral(", ")));
    }
    if (!leftOut.isEmpty()) {
        text += (text.isEmpty() ? QString() : QStringLiteral(" "))
            + DesignerWindow::tr("Not used, as the command line names another antenna: the last session's %1.")
                  .arg(leftOut.join(DesignerWindow::tr(" and ")));
    }
    return text;
}

} // namespace

std::variant<QStringList, StartRefusal> startWindow(DesignerWindow& window, const QCommandLineParser& parser,
    const std::optional<settings::RememberedModel>& remembered, const QLocale& locale)
{
    const InputTexts saved = window.inputs();
    const auto options = readInputOptions(parser, saved, locale);
    if (const auto* problem = std::get_if<QString>(&options)) {
        return StartRefusal{*problem};
    }
    const auto& given = std::get<CommandLineInputs>(options);
    // The same options over a fresh start's inputs: where the two differ,
    // the last session speaks.
    const auto alone
        = std::get<CommandLineInputs>(readInputOptions(parser, localisedTexts(InputTexts{}, locale), locale));
    InputTexts texts = given.texts;
    QStringList leftOut;
    const bool otherAntenna = namesTheAntenna(parser);
    if (otherAntenna && !parser.isSet(QStringLiteral("element-length")) && !texts.elementLength.isEmpty()) {
        // As the last session had it, before any change of unit.
        const bool ownUnit = std::holds_alternative<design::Length>(
            design::parseLength(plainTexts(saved, locale).elementLength.toStdString(), std::nullopt));
        const QString unit = QString::fromStdString(std::string(design::unitSymbol(saved.unit)));
        leftOut << DesignerWindow::tr("element length %1")
                       .arg(ownUnit ? saved.elementLength : saved.elementLength + QLatin1Char(' ') + unit);
        texts.elementLength.clear();
    }
    const bool restoreModel = remembered && !otherAntenna;
    if (remembered && otherAntenna && !parser.isSet(QStringLiteral("nec"))) {
        leftOut << DesignerWindow::tr("antenna model %1").arg(QDir::toNativeSeparators(remembered->path));
    }
    QStringList restored = differingInputs(texts, alone.texts);
    if (texts != window.inputs()) {
        window.setInputs(texts);
    }
    QStringList lines = given.notes;
    if (restoreModel) {
        if (const auto problem = window.restoreAntennaModel(*remembered)) {
            lines << *problem;
        } else {
            restored << DesignerWindow::tr("antenna model %1").arg(QDir::toNativeSeparators(remembered->path));
        }
    }
    if (!given.antennaModel.isEmpty()) {
        if (const auto problem = window.openAntennaModel(given.antennaModel)) {
            lines << *problem;
        }
    }
    if (!given.measurementFile.isEmpty()) {
        if (const auto problem = window.openMeasurement(given.measurementFile)) {
            lines << *problem;
        }
    }
    if (lines.size() == given.notes.size()) { // no file's problem in the notice to cover
        if (const QString notice = startNotice(
                !parser.optionNames().isEmpty() || !parser.positionalArguments().isEmpty(), restored, leftOut);
            !notice.isEmpty()) {
            window.showNotice(notice, false, true);
        }
    }
    return lines;
}

} // namespace vostrel::designer
