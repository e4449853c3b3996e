// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_inputs.h"

#include <QRegularExpression>

#include "plain_number.h"
#include "utf8.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>

namespace vostrel::designer {

NumberFormat numberFormat(const QLocale& locale)
{
    return NumberFormat{locale.decimalPoint().toStdString()};
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    return plainNumber(text.trimmed().toStdString(), numberFormat(locale));
}

namespace {

using design::Field;

// A typed text in a message: in quotes, short, and with no character
// that could break the line.
QString echo(const QString& text)
{
    return QStringLiteral("\"%1\"").arg(QString::fromStdString(shownText(text.toStdString(), 40)));
}

class Reader {
public:
    Reader(const QLocale& locale, QList<FieldError>& errors)
        : m_locale(locale)
        , m_errors(errors)
    { }

    double number(const QString& text, Field field, const QString& example, bool positive)
    {
        if (text.trimmed().isEmpty()) {
            return fail(field, QStringLiteral("%1 is empty: type a number, e.g. %2.").arg(fieldName(field), example));
        }
        const auto read = readPlainNumber(text.trimmed().toStdString(), numberFormat(m_locale));
        if (const auto* why = std::get_if<NumberRefusal>(&read)) {
            return fail(field,
                QStringLiteral("%1: %2 %3; type e.g. %4.")
                    .arg(fieldName(field), echo(text.trimmed()),
                        QString::fromStdString(refusalText(*why, numberFormat(m_locale))),
                        QString(example).replace(QLatin1Char('.'), m_locale.decimalPoint())));
        }
        const double value = std::get<double>(read);
        if (positive && value <= 0) {
            return fail(field, QStringLiteral("%1 must be above 0.").arg(fieldName(field)));
        }
        return value;
    }

    double length(const QString& text, Field field, design::Unit unit)
    {
        if (text.trimmed().isEmpty()) {
            return fail(field, QStringLiteral("%1 is empty: type a length.").arg(fieldName(field)));
        }
        const auto parsed = design::parseLength(text.trimmed().toStdString(), unit, numberFormat(m_locale));
        if (const auto* why = std::get_if<std::string>(&parsed)) {
            return fail(field, QStringLiteral("%1: %2").arg(fieldName(field), QString::fromStdString(*why)));
        }
        const double metres = std::get<design::Length>(parsed).metres;
        if (!(metres > 0)) {
            return fail(field, QStringLiteral("%1 must be above 0.").arg(fieldName(field)));
        }
        return metres;
    }

    const QLocale& locale() const { return m_locale; }

    double fail(Field field, QString message)
    {
        m_errors.append({field, std::move(message)});
        return 0;
    }

    const QLocale& m_locale;
    QList<FieldError>& m_errors;
};

// The power, the margin and the capacitor they rate: the dielectric's
// coaxial one with a tube, an air variable without.
ratings::Input readRatings(const InputTexts& texts, const ValidInputs& inputs, Reader& read)
{
    ratings::Input asked;
    asked.powerW = read.number(texts.power, Field::Power, QStringLiteral("100"), true);
    asked.swrMargin = read.number(texts.swrMargin, Field::SwrMargin, QStringLiteral("2"), false);
    if (!texts.swrMargin.trimmed().isEmpty() && parseNumber(texts.swrMargin, read.locale())
        && !(asked.swrMargin >= 1)) {
        read.fail(Field::SwrMargin, QStringLiteral("%1 must be 1 or more.").arg(fieldName(Field::SwrMargin)));
    }
    if (inputs.tubeInnerDiameter) {
        asked.tubeInnerDiameter = inputs.tubeInnerDiameter;
        const auto kind = ratings::capacitorOfDielectric(texts.dielectric.toStdString());
        asked.capacitor = kind.value_or(ratings::Capacitor::AirVariable);
    }
    return asked;
}

// "Centre spacing: the rod would touch the element: ...".
QString coreMessage(const design::Problem& problem)
{
    return QStringLiteral("%1: %2").arg(fieldName(problem.field), QString::fromStdString(problem.message));
}

} // namespace

namespace {

InputTexts withSeparator(InputTexts texts, const QString& from, const QString& to)
{
    for (QString* text : {&texts.frequency, &texts.resistance, &texts.reactance, &texts.elementDiameter,
             &texts.rodDiameter, &texts.spacing, &texts.lineImpedance, &texts.tubeInnerDiameter, &texts.elementLength,
             &texts.power, &texts.swrMargin}) {
        text->replace(from, to);
    }
    return texts;
}

} // namespace

InputTexts localisedTexts(InputTexts texts, const QLocale& locale)
{
    return withSeparator(std::move(texts), QStringLiteral("."), locale.decimalPoint());
}

InputTexts plainTexts(InputTexts texts, const QLocale& locale)
{
    return withSeparator(std::move(texts), locale.decimalPoint(), QStringLiteral("."));
}

Validation validate(const InputTexts& texts, const QLocale& locale)
{
    Validation result;
    Reader read(locale, result.errors);
    ValidInputs inputs;
    design::DesignInput& in = inputs.design;
    inputs.unit = texts.unit;
    in.freqMhz = read.number(texts.frequency, Field::Frequency, QStringLiteral("14.3"), true);
    const double r = read.number(texts.resistance, Field::FeedResistance, QStringLiteral("25"), true);
    const double x = read.number(texts.reactance, Field::FeedReactance, QStringLiteral("-25"), false);
    in.feedImpedance = {r, x};
    in.geometry.elementDiameter = read.length(texts.elementDiameter, Field::ElementDiameter, texts.unit);
    in.geometry.rodDiameter = read.length(texts.rodDiameter, Field::RodDiameter, texts.unit);
    in.geometry.spacing = read.length(texts.spacing, Field::Spacing, texts.unit);
    in.lineImpedance = read.number(texts.lineImpedance, Field::LineImpedance, QStringLiteral("50"), true);
    in.stepUp = texts.stepUp;
    in.model = texts.model;

    bool knownDielectric = false;
    for (const design::Dielectric& dielectric : design::dielectrics()) {
        if (texts.dielectric == QLatin1String(dielectric.name)) {
            inputs.permittivity = dielectric.permittivity;
            knownDielectric = true;
        }
    }
    if (!knownDielectric) {
        result.errors.append({Field::Permittivity, QStringLiteral("Unknown dielectric \"%1\".").arg(texts.dielectric)});
    }
    if (!texts.tubeInnerDiameter.trimmed().isEmpty()) {
        inputs.tubeInnerDiameter = read.length(texts.tubeInnerDiameter, Field::TubeInnerDiameter, texts.unit);
    }
    if (!texts.elementLength.trimmed().isEmpty()) {
        result.elementLength = read.length(texts.elementLength, Field::ElementLength, texts.unit);
    }
    if (!texts.power.trimmed().isEmpty()) {
        result.ratings = readRatings(texts, inputs, read);
    }
    if (!result.errors.isEmpty()) {
        return result;
    }

    // What the fields mean together is the core's to say.
    const auto line = design::lineModel(in);
    if (const auto* problem = std::get_if<design::Problem>(&line)) {
        result.errors.append({problem->field, coreMessage(*problem)});
        return result;
    }
    if (inputs.tubeInnerDiameter) {
        const auto length
            = design::insertionLength(100, *inputs.tubeInnerDiameter, in.geometry.rodDiameter, inputs.permittivity);
        if (const auto* problem = std::get_if<design::Problem>(&length)) {
            result.errors.append({problem->field, coreMessage(*problem)});
            return result;
        }
    }
    result.inputs = inputs;
    return result;
}

void convertLengths(InputTexts& texts, design::Unit from, design::Unit to, const QLocale& locale)
{
    if (from == to) {
        return;
    }
    for (QString* text :
        {&texts.elementDiameter, &texts.rodDiameter, &texts.spacing, &texts.tubeInnerDiameter, &texts.elementLength}) {
        const std::string plain = text->trimmed().toStdString();
        const NumberFormat format = numberFormat(locale);
        if (plain.empty() || std::holds_alternative<design::Length>(design::parseLength(plain, std::nullopt, format))) {
            continue;
        }
        const auto length = design::parseLength(plain, from, format);
        if (const auto* parsed = std::get_if<design::Length>(&length)) {
            *text = formatInput(parsed->metres / design::metresPer(to), locale);
        }
    }
}

QString fieldName(design::Field field)
{
    switch (field) {
    case Field::Frequency:
        return QStringLiteral("Frequency");
    case Field::FeedResistance:
        return QStringLiteral("Feed resistance R");
    case Field::FeedReactance:
        return QStringLiteral("Feed reactance X");
    case Field::ElementDiameter:
        return QStringLiteral("Element diameter");
    case Field::RodDiameter:
        return QStringLiteral("Rod diameter");
    case Field::Spacing:
        return QStringLiteral("Centre spacing");
    case Field::LineImpedance:
        return QStringLiteral("Feed line impedance");
    case Field::RodLength:
        return QStringLiteral("Rod length");
    case Field::Capacitance:
        return QStringLiteral("Capacitance");
    case Field::TubeInnerDiameter:
        return QStringLiteral("Tube inner diameter");
    case Field::Permittivity:
        return QStringLiteral("Dielectric");
    case Field::MeasuredReactance:
        return QStringLiteral("Measured reactance");
    case Field::ElementLength:
        return QStringLiteral("Element length");
    case Field::Power:
        return QStringLiteral("Power");
    case Field::SwrMargin:
        return QStringLiteral("SWR margin");
    }
    return {};
}

QString formatNumber(double value, const QLocale& locale, int maxDecimals)
{
    return QString::fromStdString(figuresText(value, maxDecimals, numberFormat(locale)));
}

QString formatInput(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 6);
}

QString lengthText(double metres, design::Unit unit, const QLocale& locale)
{
    return formatNumber(metres / design::metresPer(unit), locale) + QLatin1Char(' ')
        + QString::fromLatin1(design::unitSymbol(unit));
}

QString givenLengthText(double metres, design::Unit unit, const QLocale& locale)
{
    return formatInput(metres / design::metresPer(unit), locale) + QLatin1Char(' ')
        + QString::fromLatin1(design::unitSymbol(unit));
}

QString localisedSentence(const std::string& text, const QLocale& locale)
{
    static const QRegularExpression decimal(QStringLiteral("(\\d)\\.(\\d)"));
    static const QRegularExpression ohms(QStringLiteral("(\\d) ohms?\\b"));
    QString sentence = QString::fromStdString(text);
    sentence.replace(decimal, QStringLiteral("\\1") + locale.decimalPoint() + QStringLiteral("\\2"));
    sentence.replace(ohms, QStringLiteral("\\1 Ω"));
    return sentence;
}

QString capitalised(const std::string& text)
{
    QString result = QString::fromStdString(text);
    if (!result.isEmpty()) {
        result[0] = result[0].toUpper();
    }
    return result;
}

bool drawableRange(double from, double to)
{
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from)) {
        return false;
    }
    const double largest = std::max(std::fabs(from), std::fabs(to));
    const double span = to - from;
    // Ticks a millionth of a millionth of the values apart are the same
    // number printed; far outside 1e+-200 the steps and labels lose their
    // figures to underflow.
    return span >= largest * 1e-12 && largest <= 1e200 && span >= 1e-200;
}

} // namespace vostrel::designer
