// SPDX-License-Identifier: GPL-3.0-or-later
#include "designer_settings.h"

#include <QRegularExpression>

#include <algorithm>

namespace vostrel::designer::settings {
namespace {

QString inputKey(const char* key)
{
    return QStringLiteral("inputs/") + QLatin1String(key);
}

QString stepUpWord(design::StepUp stepUp)
{
    return stepUp == design::StepUp::Half ? QStringLiteral("half") : QStringLiteral("whole");
}

QString closedFormWord(design::Model model)
{
    return model == design::Model::Textbook ? QStringLiteral("textbook") : QStringLiteral("corrected");
}

} // namespace

QSettings userSettings()
{
    return QSettings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
}

InputTexts readInputs(const QSettings& store, const QLocale& locale)
{
    InputTexts texts;
    if (!store.contains(inputKey(kTextKeys.front().key))) {
        return localisedTexts(texts, locale); // a fresh start: the worked example
    }
    for (const TextKey& text : kTextKeys) {
        texts.*text.member = store.value(inputKey(text.key), texts.*text.member).toString();
    }
    if (std::find(kRodSides.begin(), kRodSides.end(), texts.rodSide.toStdString()) == kRodSides.end()) {
        texts.rodSide = InputTexts{}.rodSide; // a hand-edited file's slip
    }
    if (std::find(kCapacitorPlaces.begin(), kCapacitorPlaces.end(), texts.capAt.toStdString())
        == kCapacitorPlaces.end()) {
        texts.capAt = InputTexts{}.capAt;
    }
    if (const auto unit = design::unitFromSymbol(store.value(inputKey(kUnitKey)).toString().toStdString())) {
        texts.unit = *unit;
    }
    texts.stepUp = store.value(inputKey(kStepUpKey)).toString() == stepUpWord(design::StepUp::Half)
        ? design::StepUp::Half
        : design::StepUp::Whole;
    texts.model = store.value(inputKey(kClosedFormKey)).toString() == closedFormWord(design::Model::Textbook)
        ? design::Model::Textbook
        : design::Model::Corrected;
    return localisedTexts(texts, locale); // kept with "." whatever the locale
}

bool writeInputs(QSettings& store, const InputTexts& texts, const QLocale& locale)
{
    const InputTexts plain = plainTexts(texts, locale); // "." whatever the locale
    for (const TextKey& text : kTextKeys) {
        store.setValue(inputKey(text.key), plain.*text.member);
    }
    store.setValue(inputKey(kUnitKey), QString::fromLatin1(design::unitSymbol(plain.unit)));
    store.setValue(inputKey(kStepUpKey), stepUpWord(plain.stepUp));
    store.setValue(inputKey(kClosedFormKey), closedFormWord(plain.model));
    store.sync();
    return store.status() == QSettings::NoError;
}

std::optional<RememberedModel> readAntennaModel(const QSettings& store)
{
    RememberedModel model{store.value(QLatin1String(kAntennaModelPathKey)).toString(),
        store.value(QLatin1String(kAntennaModelSha256Key)).toString()};
    static const QRegularExpression kHex(QStringLiteral("^[0-9a-f]{64}$"));
    if (model.path.isEmpty() || !kHex.match(model.sha256).hasMatch()) {
        return std::nullopt;
    }
    return model;
}

void writeAntennaModel(QSettings& store, const std::optional<RememberedModel>& model)
{
    if (model) {
        store.setValue(QLatin1String(kAntennaModelPathKey), model->path);
        store.setValue(QLatin1String(kAntennaModelSha256Key), model->sha256);
    } else {
        store.remove(QLatin1String(kAntennaModelPathKey));
        store.remove(QLatin1String(kAntennaModelSha256Key));
    }
    store.sync();
}

std::chrono::seconds readNecTimeLimit(const QSettings& store)
{
    bool read = false;
    const int seconds = store.value(QLatin1String(kNecTimeLimitKey)).toInt(&read);
    return std::chrono::seconds(read && seconds >= 1 && seconds <= kMaxNecTimeLimit ? seconds : kDefaultNecTimeLimit);
}

void writeNecTimeLimit(QSettings& store, std::chrono::seconds limit)
{
    store.setValue(QLatin1String(kNecTimeLimitKey), static_cast<int>(limit.count()));
    store.sync();
}

std::optional<QSize> readWindowSize(const QSettings& store)
{
    const QSize saved = store.value(QLatin1String(kWindowSizeKey)).toSize();
    if (!saved.isValid() || saved.isEmpty()) {
        return std::nullopt;
    }
    return saved;
}

void writeWindowSize(QSettings& store, QSize size)
{
    store.setValue(QLatin1String(kWindowSizeKey), size);
}

} // namespace vostrel::designer::settings
