// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_report.h"

#include "built_match.h"
#include "csv.h"
#include "design_inputs.h"
#include "number_text.h"

#include <QIODevice>
#include <QTextStream>

#include <cmath>
#include <string_view>

namespace vostrel::designer {

namespace {

// Fixed decimals, as the command line and the Ratings group write them, in
// the locale's notation.
QString decimals(double value, int places, const QLocale& locale)
{
    return QString::fromStdString(decimalsText(value, places)).replace(QLatin1Char('.'), locale.decimalPoint());
}

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString impedanceText(design::Complex z, const QLocale& locale)
{
    return QStringLiteral("%1 %2 j%3 ohm")
        .arg(formatInput(z.real(), locale), z.imag() < 0 ? QStringLiteral("-") : QStringLiteral("+"),
            formatInput(std::fabs(z.imag()), locale));
}

QString capacitorText(double pf, const QLocale& locale)
{
    return std::isfinite(pf) ? formatNumber(pf, locale) + QStringLiteral(" pF") : QStringLiteral("shorted");
}

} // namespace

QString summaryText(const MatchStudy& study, const QString& measurement, const BuiltMatch* built)
{
    const QLocale locale;
    const ValidInputs& inputs = study.inputs();
    const design::DesignInput& in = inputs.design;

    QString text;
    QTextStream out(&text);
    auto row = [&out](const QString& name, const QString& value) {
        out << "  " << (name + QLatin1Char(':')).leftJustified(34) << value << '\n';
    };
    out << "Gamma match design\n\nInputs\n";
    row(QStringLiteral("Frequency"), formatInput(in.freqMhz, locale) + QStringLiteral(" MHz"));
    QString feed = impedanceText(in.feedImpedance, locale);
    if (!measurement.isEmpty()) {
        feed += QStringLiteral(" (interpolated from %1)").arg(measurement);
    }
    row(QStringLiteral("Feed impedance"), feed);
    row(QStringLiteral("Element diameter"), givenLengthText(in.geometry.elementDiameter, inputs.unit, locale));
    row(QStringLiteral("Rod diameter"), givenLengthText(in.geometry.rodDiameter, inputs.unit, locale));
    row(QStringLiteral("Centre spacing"), givenLengthText(in.geometry.spacing, inputs.unit, locale));
    row(QStringLiteral("Feed line impedance"), formatInput(in.lineImpedance, locale) + QStringLiteral(" ohm"));
    row(QStringLiteral("Step-up convention"), QString::fromLatin1(design::stepUpName(in.stepUp)));
    row(QStringLiteral("Closed form"), QString::fromLatin1(design::modelName(in.model)));
    if (inputs.tubeInnerDiameter) {
        row(QStringLiteral("Capacitor tube inner diameter"),
            givenLengthText(*inputs.tubeInnerDiameter, inputs.unit, locale));
        row(QStringLiteral("Dielectric permittivity"), formatInput(inputs.permittivity, locale));
    }

    if (built != nullptr && built->fromNec()) {
        out << "\nTo build: NEC-2 refined\n";
        row(QStringLiteral("Rod length, feed point to strap"),
            lengthText(built->design.rodLength, inputs.unit, locale));
        row(QStringLiteral("Capacitor"), capacitorText(built->design.capacitancePf, locale));
        if (built->insertionLength) {
            row(QStringLiteral("Coax capacitor insertion"), lengthText(*built->insertionLength, inputs.unit, locale));
        }
        row(QStringLiteral("SWR in NEC-2"), formatNumber(built->swrAtDesign, locale, 3));
    }
    out << (built != nullptr && built->fromNec() ? "\nResults, closed form (for comparison)\n" : "\nResults\n");
    if (!study.hasDesign()) {
        out << "  " << capitalised(study.problem().message) << '\n';
        return text;
    }
    const design::Design& d = study.design();
    row(QStringLiteral("Rod length, feed point to strap"), lengthText(d.rodLength, inputs.unit, locale));
    row(QStringLiteral("Capacitor"),
        d.capacitorShorted ? QStringLiteral("shorted (none needed)")
                           : formatNumber(d.capacitancePf, locale) + QStringLiteral(" pF"));
    row(QStringLiteral("Rod-to-element line Z0"), formatNumber(d.line.z0, locale, 1) + QStringLiteral(" ohm"));
    row(QStringLiteral("Current division alpha"), formatNumber(d.line.alpha, locale));
    row(QStringLiteral("Step-up ratio"), formatNumber(d.line.stepUp, locale, 2));
    row(QStringLiteral("Capacitor reactance"),
        formatNumber(std::fabs(d.capacitorReactance), locale, 1) + QStringLiteral(" ohm"));
    if (const auto insertion = study.insertionLength()) {
        row(QStringLiteral("Coax capacitor insertion"), lengthText(*insertion, inputs.unit, locale));
    }
    return text;
}

QString ratingsSummaryText(const ratings::Input& input, const std::variant<ratings::Ratings, ratings::NoRating>& answer)
{
    const QLocale locale;
    const QString swr = QStringLiteral("SWR %1").arg(formatInput(input.swrMargin, locale));
    // A rod in a tube of air is a coaxial capacitor, not a variable.
    const bool airTube = input.tubeInnerDiameter && input.capacitor == ratings::Capacitor::AirVariable;
    const ratings::CapacitorKind& kind = ratings::capacitorKind(input.capacitor);
    QString text;
    QTextStream out(&text);
    auto row = [&out](const QString& name, const QString& value) {
        out << "  " << (name + QLatin1Char(':')).leftJustified(34) << value << '\n';
    };
    out << "\nRatings at " << formatInput(input.powerW, locale) << " W, margin " << swr << " ("
        << (airTube ? QStringLiteral("air-spaced coaxial") : latin1(kind.name)) << ", "
        << latin1(ratings::metal(input.rodMetal).name) << " rod and strap)\n";
    if (const auto* refused = std::get_if<ratings::NoRating>(&answer)) {
        out << "  " << capitalised(refused->message) << ".\n";
        return text;
    }
    const auto& r = std::get<ratings::Ratings>(answer);
    const auto watts = [&locale](double w) { return decimals(w, 3, locale) + QStringLiteral(" W"); };
    const auto volts = [&locale](double rms, double peak) {
        return QStringLiteral("%1 V rms, %2 V peak").arg(decimals(rms, 1, locale), decimals(peak, 1, locale));
    };
    row(QStringLiteral("Line current"),
        QStringLiteral("%1 A rms (%2 A at %3)")
            .arg(decimals(r.lineCurrent, 3, locale), decimals(r.lineCurrentAtMargin, 3, locale), swr));
    row(QStringLiteral("Capacitor voltage"), volts(r.capacitorVoltage, r.capacitorVoltagePeak));
    row(QStringLiteral("Capacitor voltage at ") + swr,
        volts(r.capacitorVoltageAtMargin, r.capacitorVoltagePeakAtMargin));
    row(QStringLiteral("Capacitor rating, at least"),
        QStringLiteral("%1 V peak (twice the peak at %2)").arg(decimals(r.recommendedVoltage, 0, locale), swr));
    row(QStringLiteral("Rod and strap current"), decimals(r.rodCurrent, 3, locale) + QStringLiteral(" A rms"));
    row(QStringLiteral("Capacitor loss, Q %1 (typical)").arg(decimals(r.capacitorQ, 0, locale)),
        watts(r.capacitorLoss));
    row(QStringLiteral("Rod loss"), watts(r.rodLoss));
    row(QStringLiteral("Strap loss"), watts(r.strapLoss));
    row(QStringLiteral("Loss in the match"), watts(r.matchLoss));
    if (r.breakdownVoltage > 0) {
        row(QStringLiteral("Gap field at the rod at ") + swr,
            QStringLiteral("%1 kV/mm (%2 breaks down at %3 kV peak)")
                .arg(decimals(r.surfaceFieldAtMargin / 1e6, 3, locale), latin1(kind.dielectric),
                    decimals(r.breakdownVoltage / 1000, 2, locale)));
    }
    for (const ratings::Warning& warning : r.warnings) {
        out << "Warning: " << QString::fromStdString(warning.message) << '\n';
    }
    return text;
}

QStringList exportCaption(
    const MatchStudy& study, const BuiltMatch& built, const ExportSource& source, const QLocale& locale)
{
    const ValidInputs& inputs = study.inputs();
    const design::DesignInput& in = inputs.design;
    const design::Unit unit = inputs.unit;
    QStringList lines;
    QString feed = impedanceText(in.feedImpedance, locale);
    if (!source.measurement.isEmpty()) {
        feed += QStringLiteral(" (interpolated from %1)").arg(source.measurement);
    }
    lines << QStringLiteral("Gamma match at %1 MHz: feed %2; element %3, rod %4, centre spacing %5; %6 ohm line")
                 .arg(formatInput(in.freqMhz, locale), feed, givenLengthText(in.geometry.elementDiameter, unit, locale),
                     givenLengthText(in.geometry.rodDiameter, unit, locale),
                     givenLengthText(in.geometry.spacing, unit, locale), formatInput(in.lineImpedance, locale));
    QString model = QStringLiteral("Step-up: %1; closed form: %2")
                        .arg(QString::fromLatin1(design::stepUpName(in.stepUp)),
                            QString::fromLatin1(design::modelName(in.model)));
    if (inputs.tubeInnerDiameter) {
        model += QStringLiteral("; coax capacitor: tube %1, permittivity %2")
                     .arg(givenLengthText(*inputs.tubeInnerDiameter, unit, locale),
                         formatInput(inputs.permittivity, locale));
    }
    lines << model;
    if (!source.antennaModel.isEmpty()) {
        lines << QStringLiteral("NEC-2: the antenna model %1").arg(source.antennaModel);
    } else if (source.elementLength) {
        lines << QStringLiteral("NEC-2: a straight element %1 tip to tip, in free space")
                     .arg(givenLengthText(*source.elementLength, unit, locale));
    } else {
        lines << QStringLiteral("NEC-2: not run (no element length, no antenna model)");
    }
    const QString match
        = QStringLiteral("rod %1, capacitor %2")
              .arg(lengthText(built.design.rodLength, unit, locale), capacitorText(built.design.capacitancePf, locale));
    if (built.fromNec()) {
        QString closed = study.hasDesign() ? QStringLiteral("rod %1, capacitor %2")
                                                 .arg(lengthText(study.design().rodLength, unit, locale),
                                                     capacitorText(study.design().capacitancePf, locale))
                                           : QStringLiteral("no match");
        lines << QStringLiteral("Match shown: NEC-2 refined, %1 (closed form: %2)").arg(match, closed);
    } else {
        lines << QStringLiteral("Match shown: closed form, %1 (not refined in NEC-2)").arg(match);
    }
    if (built.tuning.rodLength != built.design.rodLength || built.tuning.capacitancePf != built.design.capacitancePf) {
        lines << QStringLiteral("Tuned to rod %1, capacitor %2")
                     .arg(lengthText(built.tuning.rodLength, unit, locale),
                         capacitorText(built.tuning.capacitancePf, locale));
    }
    return lines;
}

bool writeSweepsCsv(const MatchStudy& study, const BuiltMatch& built, const QStringList& caption, QIODevice& device)
{
    const ValidInputs& inputs = study.inputs();
    const double perUnit = design::metresPer(inputs.unit);
    const std::string unit(design::unitSymbol(inputs.unit));
    std::string text;
    for (const QString& line : caption) {
        text += "# " + line.toStdString() + '\n';
    }
    // Every number in the shortest form that reads back as the computed one.
    text += "sweep,x,x_unit,r_ohm,x_ohm,swr\n";
    auto write = [&text](const char* name, const std::vector<design::SweepPoint>& sweep, double scale,
                     const std::string& xUnit) {
        for (const design::SweepPoint& point : sweep) {
            text += csv::record({name, csv::number(point.x / scale), csv::field(xUnit), csv::number(point.zin.real()),
                csv::number(point.zin.imag()), csv::number(point.swr)});
        }
    };
    write("capacitance", built.byCapacitance, 1, "pF");
    write("strap", built.byRodLength, perUnit, unit);
    write("frequency", built.byFrequency, 1, "MHz");
    const auto size = static_cast<qint64>(text.size());
    return device.write(text.data(), size) == size;
}

} // namespace vostrel::designer
