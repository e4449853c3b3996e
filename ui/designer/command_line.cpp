#include "command_line.h"

#include <QCommandLineParser>
#include <QLocale>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>

namespace vostrel::designer {

void addInputOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {QStringLiteral("freq"), QStringLiteral("Frequency in MHz."), QStringLiteral("MHz")},
        {QStringLiteral("r"), QStringLiteral("Feed resistance in ohms."), QStringLiteral("ohms")},
        {QStringLiteral("x"), QStringLiteral("Feed reactance in ohms."), QStringLiteral("ohms")},
        {QStringLiteral("element"), QStringLiteral("Element diameter, e.g. 1.5in or 12mm."), QStringLiteral("length")},
        {QStringLiteral("rod"), QStringLiteral("Rod diameter."), QStringLiteral("length")},
        {QStringLiteral("spacing"), QStringLiteral("Rod to element, centre to centre."), QStringLiteral("length")},
        {QStringLiteral("unit"), QStringLiteral("Length unit of the form: mm, cm or in."), QStringLiteral("unit")},
        {QStringLiteral("line"), QStringLiteral("Feed line impedance in ohms (50)."), QStringLiteral("ohms")},
        {QStringLiteral("step-up"), QStringLiteral("whole (k = 1) or half (k = 1/2) of the feed impedance."),
            QStringLiteral("whole|half")},
        {QStringLiteral("tube"), QStringLiteral("Inner diameter of the coax capacitor's tube."),
            QStringLiteral("length")},
        {QStringLiteral("dielectric"), QStringLiteral("The capacitor's dielectric: air, ptfe, polyethylene."),
            QStringLiteral("name")},
        {QStringLiteral("file"), QStringLiteral("A Touchstone .s1p measurement for R and X."), QStringLiteral("path")},
    });
    parser.addPositionalArgument(
        QStringLiteral("file"), QStringLiteral("The same as --file."), QStringLiteral("[file.s1p]"));
}

std::variant<CommandLineInputs, QString> readInputOptions(const QCommandLineParser& parser, const InputTexts& base)
{
    CommandLineInputs result{base, {}};
    InputTexts& texts = result.texts;
    auto take = [&parser](const char* name, QString& into) {
        if (parser.isSet(QString::fromLatin1(name))) {
            into = parser.value(QString::fromLatin1(name));
        }
    };
    take("freq", texts.frequency);
    take("r", texts.resistance);
    take("x", texts.reactance);
    take("line", texts.lineImpedance);
    take("file", result.measurementFile);
    if (result.measurementFile.isEmpty() && !parser.positionalArguments().isEmpty()) {
        result.measurementFile = parser.positionalArguments().front();
    }
    if (parser.positionalArguments().size() > 1
        || (parser.isSet(QStringLiteral("file")) && !parser.positionalArguments().isEmpty())) {
        return QStringLiteral("one measurement file at most.");
    }

    // The form's unit: --unit, or the first length given with its own.
    std::optional<design::Unit> unit;
    if (parser.isSet(QStringLiteral("unit"))) {
        unit = design::unitFromSymbol(parser.value(QStringLiteral("unit")).toStdString());
        if (!unit || std::find(std::begin(kFormUnits), std::end(kFormUnits), *unit) == std::end(kFormUnits)) {
            return QStringLiteral("--unit takes mm, cm or in, not \"%1\".").arg(parser.value(QStringLiteral("unit")));
        }
    }
    const std::array lengths = {std::pair{"element", &texts.elementDiameter}, std::pair{"rod", &texts.rodDiameter},
        std::pair{"spacing", &texts.spacing}, std::pair{"tube", &texts.tubeInnerDiameter}};
    for (auto [name, into] : lengths) {
        if (unit || !parser.isSet(QString::fromLatin1(name))) {
            continue;
        }
        const auto length = design::parseLength(parser.value(QString::fromLatin1(name)).toStdString(), std::nullopt);
        if (const auto* parsed = std::get_if<design::Length>(&length)) {
            if (std::find(std::begin(kFormUnits), std::end(kFormUnits), parsed->unit) != std::end(kFormUnits)) {
                unit = parsed->unit;
            }
        }
    }
    // The lengths not given (the last ones or the defaults) meant the old
    // unit: the same lengths in the new one.
    if (unit) {
        convertLengths(texts, texts.unit, *unit, QLocale());
        texts.unit = *unit;
    }
    for (auto [name, into] : lengths) {
        if (parser.isSet(QString::fromLatin1(name))) {
            *into = parser.value(QString::fromLatin1(name));
        }
    }
    if (parser.isSet(QStringLiteral("step-up"))) {
        const QString value = parser.value(QStringLiteral("step-up"));
        if (value == QLatin1String("whole")) {
            texts.stepUp = design::StepUp::Whole;
        } else if (value == QLatin1String("half")) {
            texts.stepUp = design::StepUp::Half;
        } else {
            return QStringLiteral("--step-up takes whole or half, not \"%1\".").arg(value);
        }
    }
    if (parser.isSet(QStringLiteral("dielectric"))) {
        const QString value = parser.value(QStringLiteral("dielectric"));
        bool known = false;
        for (const design::Dielectric& dielectric : design::dielectrics()) {
            known = known || value == QLatin1String(dielectric.name);
        }
        if (!known) {
            return QStringLiteral("--dielectric: unknown \"%1\".").arg(value);
        }
        texts.dielectric = value;
    }
    return result;
}

} // namespace vostrel::designer
