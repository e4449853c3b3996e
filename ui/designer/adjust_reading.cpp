// SPDX-License-Identifier: GPL-3.0-or-later
#include "adjust_reading.h"

#include "coax_cable.h"
#include "line_transform.h"
#include "number_text.h"

#include <cmath>
#include <limits>

namespace vostrel::designer {

namespace {

// What shows as 0.00: no change to make.
bool roundsToZero(double value)
{
    return std::round(std::abs(value) * 100) == 0;
}

QString ohms(adjust::Complex z, const QLocale& locale)
{
    return QStringLiteral("%1 %2 j%3 Ω")
        .arg(formatNumber(z.real(), locale, 2), z.imag() < 0 ? QStringLiteral("-") : QStringLiteral("+"),
            formatNumber(std::fabs(z.imag()), locale, 2));
}

// Always two decimals, as the command line: "92.14 pF", "+7.50 pF".
QString picofarads(double pf, const QLocale& locale)
{
    return QString::fromStdString(quantityText(pf, 2)).replace(QLatin1Char('.'), locale.decimalPoint())
        + QStringLiteral(" pF");
}

QString strapMoveText(double move, design::Unit unit, const QLocale& locale)
{
    if (roundsToZero(move / design::metresPer(unit))) {
        return AdjustReading::tr("not at all");
    }
    return lengthText(std::abs(move), unit, locale) + QLatin1Char(' ')
        + (move > 0 ? AdjustReading::tr("further from the feed point") : AdjustReading::tr("nearer to the feed point"));
}

QString nextCapacitorText(const adjust::Adjustment& step, double built, const QLocale& locale)
{
    const double next = step.next.capacitancePf;
    if (std::isinf(next)) {
        return std::isinf(built) ? AdjustReading::tr("none: keep it shorted")
                                 : AdjustReading::tr("none: short it, the rod alone matches");
    }
    const QString text = picofarads(next, locale);
    if (std::isinf(built)) {
        return AdjustReading::tr("%1 (in place of the short)").arg(text);
    }
    const double change = step.capacitanceChangePf;
    if (roundsToZero(change)) {
        return AdjustReading::tr("%1 (as it is)").arg(text);
    }
    return QStringLiteral("%1 (%2%3)")
        .arg(text, change > 0 ? QStringLiteral("+") : QStringLiteral("-"), picofarads(std::abs(change), locale));
}

bool isShort(const QString& text)
{
    return text.trimmed().compare(QLatin1String("short"), Qt::CaseInsensitive) == 0;
}

AdjustRefusal refusal(const QString& message, std::optional<AdjustField> field)
{
    return AdjustRefusal{message, field};
}

std::optional<AdjustField> fieldOf(const adjust::NoAdjustment& problem)
{
    switch (problem.kind) {
    case adjust::NoAdjustment::Kind::BadInput:
        if (problem.field == design::Field::RodLength) {
            return AdjustField::RodLength;
        }
        if (problem.field == design::Field::Capacitance) {
            return AdjustField::Capacitance;
        }
        return AdjustField::Design;
    case adjust::NoAdjustment::Kind::BadCable:
        return AdjustField::CableLength;
    case adjust::NoAdjustment::Kind::BadReading:
        return AdjustField::Resistance;
    default:
        return std::nullopt; // the reading as a whole
    }
}

} // namespace

AdjustTexts AdjustReading::builtFrom(const design::Design& design, design::Unit unit, const QLocale& locale)
{
    AdjustTexts texts;
    texts.rodLength = lengthText(design.rodLength, unit, locale);
    texts.capacitance
        = design.capacitorShorted ? QStringLiteral("short") : formatNumber(design.capacitancePf, locale, 2);
    return texts;
}

AdjustTexts AdjustReading::builtFrom(const Tuning& built, design::Unit unit, const QLocale& locale)
{
    design::Design design;
    design.rodLength = built.rodLength;
    design.capacitorShorted = std::isinf(built.capacitancePf);
    design.capacitancePf = built.capacitancePf;
    return builtFrom(design, unit, locale);
}

AdjustOutcome AdjustReading::adjust(const ValidInputs& inputs, const AdjustTexts& texts, const QLocale& locale)
{
    const NumberFormat format = numberFormat(locale);
    adjust::AdjustInput in = adjust::builtFrom(inputs.design);

    const auto rod = design::parseLength(texts.rodLength.trimmed().toStdString(), inputs.unit, format);
    if (const auto* why = std::get_if<std::string>(&rod)) {
        return refusal(tr("Rod as built: %1.").arg(QString::fromStdString(*why)), AdjustField::RodLength);
    }
    in.rodLength = std::get<design::Length>(rod).metres;
    if (isShort(texts.capacitance)) {
        in.capacitancePf = std::numeric_limits<double>::infinity();
    } else if (const auto pf = parseNumber(texts.capacitance, locale)) {
        in.capacitancePf = *pf;
    } else {
        return refusal(tr("Capacitor as set: type it in pF, e.g. %1, or \"short\".").arg(formatInput(84.64, locale)),
            AdjustField::Capacitance);
    }
    const auto r = parseNumber(texts.resistance, locale);
    if (!r) {
        return refusal(
            tr("Reading R: type the resistance the analyser shows in ohms, e.g. %1.").arg(formatInput(38.5, locale)),
            AdjustField::Resistance);
    }
    const auto x = parseNumber(texts.reactance, locale);
    if (!x) {
        return refusal(
            tr("Reading X: type the reactance the analyser shows in ohms, e.g. %1.").arg(formatInput(-21.2, locale)),
            AdjustField::Reactance);
    }
    if (!texts.cable.isEmpty()) {
        const auto cable = coax::findCable(texts.cable.toStdString());
        if (const auto* why = std::get_if<std::string>(&cable)) {
            return refusal(capitalised(*why), AdjustField::CableLength);
        }
        const auto length = design::parseLength(texts.cableLength.trimmed().toStdString(), design::Unit::Metre, format);
        if (const auto* why = std::get_if<std::string>(&length)) {
            return refusal(tr("Cable length: %1.").arg(QString::fromStdString(*why)), AdjustField::CableLength);
        }
        in.cable = coax::lineOf(*std::get<const coax::Cable*>(cable), std::get<design::Length>(length).metres);
    }

    const auto outcome = adjust::adjust(in, {*r, *x});
    if (const auto* problem = std::get_if<adjust::NoAdjustment>(&outcome)) {
        return refusal(capitalised(problem->message), fieldOf(*problem));
    }
    AdjustAnswer answer;
    answer.step = std::get<adjust::Adjustment>(outcome);
    const adjust::Adjustment& step = answer.step;
    answer.feedImpedance = ohms(step.feedImpedance, locale);
    answer.nextRod = lengthText(step.next.rodLength, inputs.unit, locale);
    answer.strapMove = strapMoveText(step.strapMove, inputs.unit, locale);
    answer.nextCapacitor = nextCapacitorText(step, in.capacitancePf, locale);
    answer.expectedSwr = QString::fromStdString(decimalsText(step.nextExpected.swr, 3))
                             .replace(QLatin1Char('.'), locale.decimalPoint());
    if (in.cable) {
        answer.cableLoss = tr("%1 dB at %2 MHz")
                               .arg(formatNumber(coax::roundTripLossDb(*in.cable, in.freqMhz), locale, 2),
                                   formatInput(in.freqMhz, locale));
    }
    if (step.cableWarning) {
        answer.warning = QString::fromStdString(step.cableWarning->message);
    }
    return answer;
}

AdjustTexts AdjustReading::usedAsBuilt(
    AdjustTexts texts, const AdjustAnswer& answer, design::Unit unit, const QLocale& locale)
{
    const design::Design& next = answer.step.next;
    texts.rodLength = lengthText(next.rodLength, unit, locale);
    texts.capacitance
        = std::isinf(next.capacitancePf) ? QStringLiteral("short") : formatNumber(next.capacitancePf, locale, 2);
    texts.resistance.clear();
    texts.reactance.clear();
    return texts;
}

} // namespace vostrel::designer
