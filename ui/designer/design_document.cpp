// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_document.h"

#include "design_options.h"
#include "length_text.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <cmath>

namespace vostrel::designer {
namespace {

using designfile::Key;

struct TextKey {
    Key key;
    QString InputTexts::*member;
    bool length;
    const char* label;
};
constexpr std::array kTextKeys = {
    TextKey{Key::Frequency, &InputTexts::frequency, false, "Frequency"},
    TextKey{Key::Resistance, &InputTexts::resistance, false, "Feed resistance R"},
    TextKey{Key::Reactance, &InputTexts::reactance, false, "Feed reactance X"},
    TextKey{Key::ElementDiameter, &InputTexts::elementDiameter, true, "Element diameter"},
    TextKey{Key::RodDiameter, &InputTexts::rodDiameter, true, "Rod diameter"},
    TextKey{Key::Spacing, &InputTexts::spacing, true, "Centre spacing"},
    TextKey{Key::LineImpedance, &InputTexts::lineImpedance, false, "Feed line impedance"},
    TextKey{Key::TubeId, &InputTexts::tubeInnerDiameter, true, "Tube inner diameter"},
    TextKey{Key::Dielectric, &InputTexts::dielectric, false, "Dielectric"},
    TextKey{Key::ElementLength, &InputTexts::elementLength, true, "Element length"},
    TextKey{Key::Power, &InputTexts::power, false, "Power"},
    TextKey{Key::SwrMargin, &InputTexts::swrMargin, false, "SWR margin"},
    TextKey{Key::RodSide, &InputTexts::rodSide, false, "Rod side"},
    TextKey{Key::CapAt, &InputTexts::capAt, false, "Capacitor at"},
};

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// A length as the file writes it: with its own unit, or the form's.
std::string withUnit(const QString& text, design::Unit unit)
{
    std::string plain = text.trimmed().toStdString();
    if (std::holds_alternative<design::Length>(design::parseLength(plain, std::nullopt))) {
        return plain;
    }
    return plain + " " + std::string(design::unitSymbol(unit));
}

// A length the file gives, for the form: a plain number in the form's unit.
QString forForm(const std::string& value, design::Unit unit)
{
    const auto read = design::parseLength(value, unit);
    if (const auto* length = std::get_if<design::Length>(&read); length != nullptr && length->unit == unit) {
        return formatInput(length->metres / design::metresPer(unit), QLocale::c());
    }
    return fromStd(value);
}

std::string builtLength(double metres, design::Unit unit)
{
    return formatInput(metres / design::metresPer(unit), QLocale::c()).toStdString() + " "
        + std::string(design::unitSymbol(unit));
}

std::string builtCapacitance(double pf)
{
    return std::isinf(pf) ? "short" : formatInput(pf, QLocale::c()).toStdString() + " pF";
}

} // namespace

std::variant<QByteArray, QString> writeDesignDocument(const DesignDocument& document, const QLocale& locale)
{
    const InputTexts plain = plainTexts(document.texts, locale);
    designfile::Design file;
    for (const TextKey& text : kTextKeys) {
        const QString value = (plain.*text.member).trimmed();
        if (!value.isEmpty()) {
            file[text.key] = text.length ? withUnit(value, plain.unit) : value.toStdString();
        }
    }
    file[Key::Unit] = std::string(design::unitSymbol(plain.unit));
    file[Key::StepUp] = plain.stepUp == design::StepUp::Half ? "half" : "whole";
    file[Key::ClosedForm] = plain.model == design::Model::Textbook ? "textbook" : "corrected";
    if (!document.antennaModel.isEmpty()) {
        file[Key::AntennaModel] = QDir::fromNativeSeparators(document.antennaModel).toStdString();
        file[Key::AntennaModelSha256] = document.antennaModelSha256.toStdString();
        file[Key::ElementLength].reset(); // the model gives the element
    }
    if (document.built) {
        file[Key::BuiltLength] = builtLength(document.built->rodLength, plain.unit);
        file[Key::BuiltCapacitance] = builtCapacitance(document.built->capacitancePf);
    }
    const auto written = designfile::writeDesign(file);
    if (const auto* refused = std::get_if<designfile::WriteError>(&written)) {
        return fromStd(refused->message);
    }
    return QByteArray::fromStdString(std::get<std::string>(written));
}

std::variant<DesignDocument, QString> readDesignDocument(
    const QByteArray& bytes, const QString& path, const QLocale& locale)
{
    const auto read
        = designfile::readDesign(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (const auto* error = std::get_if<designfile::ReadError>(&read)) {
        const QString name = QFileInfo(path).fileName();
        return error->line > 0 ? QStringLiteral("%1:%2: %3").arg(name).arg(error->line).arg(fromStd(error->message))
                               : QStringLiteral("%1: %2").arg(name, fromStd(error->message));
    }
    const QString directory = QFileInfo(path).absolutePath();
    const auto& file = std::get<designfile::Design>(read);
    DesignDocument document;
    InputTexts& texts = document.texts; // the worked example where the file is silent
    if (const auto& unit = file[Key::Unit]) {
        texts.unit = options::readUnit(*unit).value_or(texts.unit);
        if (texts.unit != design::Unit::Millimetre && texts.unit != design::Unit::Centimetre
            && texts.unit != design::Unit::Inch) {
            texts.unit = design::Unit::Millimetre; // m and ft: the form offers mm, cm and in
        }
    }
    for (const TextKey& text : kTextKeys) {
        if (const auto& value = file[text.key]) {
            texts.*text.member = text.length ? forForm(*value, texts.unit) : fromStd(*value);
        } else if (text.key == Key::ElementLength || text.key == Key::TubeId || text.key == Key::Power) {
            (texts.*text.member).clear(); // optional inputs the file leaves out are not there
        }
    }
    texts.dielectric = texts.dielectric.toLower();
    texts.rodSide = texts.rodSide.toLower();
    texts.capAt = texts.capAt.toLower();
    texts.stepUp = file[Key::StepUp] == "half" ? design::StepUp::Half : design::StepUp::Whole;
    texts.model = file[Key::ClosedForm] == "textbook" ? design::Model::Textbook : design::Model::Corrected;
    if (const auto& model = file[Key::AntennaModel]) {
        document.antennaModel = QDir::cleanPath(QDir(directory).absoluteFilePath(fromStd(*model)));
        document.antennaModelSha256 = fromStd(file[Key::AntennaModelSha256].value_or(std::string())).toLower();
    }
    if (file[Key::BuiltLength] && file[Key::BuiltCapacitance]) {
        const auto length = design::parseLength(*file[Key::BuiltLength], texts.unit);
        document.built = Tuning{std::get<design::Length>(length).metres,
            options::readCapacitance(*file[Key::BuiltCapacitance]).value_or(0)};
    }
    document.texts = localisedTexts(texts, locale);
    return document;
}

QStringList differingInputs(const InputTexts& texts, const InputTexts& other)
{
    QStringList differing;
    for (const TextKey& text : kTextKeys) {
        if (texts.*text.member != other.*text.member) {
            const QString value = texts.*text.member;
            differing << QStringLiteral("%1 %2").arg(
                QLatin1String(text.label), value.isEmpty() ? QStringLiteral("(none)") : value);
        }
        if (text.key == Key::Spacing && texts.unit != other.unit) {
            differing << QStringLiteral("Unit %1").arg(
                QString::fromStdString(std::string(design::unitSymbol(texts.unit))));
        }
    }
    if (texts.stepUp != other.stepUp) {
        differing << (texts.stepUp == design::StepUp::Half ? QStringLiteral("Half step-up")
                                                           : QStringLiteral("Whole step-up"));
    }
    if (texts.model != other.model) {
        differing << (texts.model == design::Model::Textbook ? QStringLiteral("Textbook line model")
                                                             : QStringLiteral("Corrected line model"));
    }
    return differing;
}

} // namespace vostrel::designer
