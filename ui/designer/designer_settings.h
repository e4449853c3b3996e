// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_inputs.h"

#include <QSettings>
#include <QSize>

#include <array>
#include <chrono>
#include <optional>

namespace vostrel::designer::settings {

// Where the designer keeps what the user last had (QSettings' organisation
// and application names), and every key it uses, each spelt once.

inline constexpr const char* kOrganisation = "Vostrel";
inline constexpr const char* kApplication = "vostrel-designer";

// The typed inputs, each under "inputs/<key>", written with "." as the
// decimal separator whatever the locale.
struct TextKey {
    const char* key;
    QString InputTexts::*member;
};
inline constexpr std::array kTextKeys = {
    TextKey{"frequency", &InputTexts::frequency},
    TextKey{"resistance", &InputTexts::resistance},
    TextKey{"reactance", &InputTexts::reactance},
    TextKey{"elementDiameter", &InputTexts::elementDiameter},
    TextKey{"rodDiameter", &InputTexts::rodDiameter},
    TextKey{"spacing", &InputTexts::spacing},
    TextKey{"lineImpedance", &InputTexts::lineImpedance},
    TextKey{"tubeInnerDiameter", &InputTexts::tubeInnerDiameter},
    TextKey{"dielectric", &InputTexts::dielectric},
    TextKey{"elementLength", &InputTexts::elementLength},
    TextKey{"power", &InputTexts::power},
    TextKey{"swrMargin", &InputTexts::swrMargin},
    TextKey{"rodSide", &InputTexts::rodSide},
    TextKey{"capAt", &InputTexts::capAt},
};
// The choices, also under "inputs/": the unit's symbol, "half" or
// "whole", "textbook" or "corrected".
inline constexpr const char* kUnitKey = "unit";
inline constexpr const char* kStepUpKey = "stepUp";
inline constexpr const char* kClosedFormKey = "closedForm";
// The antenna model open when the window closed: its path and the SHA-256
// of its bytes then (64 hex digits), for the next start to check it is
// still the same file.
inline constexpr const char* kAntennaModelPathKey = "antennaModel/path";
inline constexpr const char* kAntennaModelSha256Key = "antennaModel/sha256";
// The time each nec2c run may take before it is stopped, in whole seconds.
inline constexpr const char* kNecTimeLimitKey = "nec/timeLimitSeconds";
inline constexpr int kDefaultNecTimeLimit = 20; // as vostrel-design's
inline constexpr int kMaxNecTimeLimit = 3600;
// The limit kept, or the default when none is kept or it is outside 1 to
// kMaxNecTimeLimit seconds.
std::chrono::seconds readNecTimeLimit(const QSettings& store);
void writeNecTimeLimit(QSettings& store, std::chrono::seconds limit);
// The window's size the user last gave it.
inline constexpr const char* kWindowSizeKey = "window/size";

// The store the designer reads and writes (the user's, by the names above).
QSettings userSettings();

// The inputs the settings hold, in `locale`'s notation; the worked example
// when they hold none (a fresh start). A choice that does not read (an
// unknown unit symbol) keeps the example's.
//   fresh settings -> InputTexts{} localised;  "unit" = "mm" -> Unit::Millimetre
InputTexts readInputs(const QSettings& store, const QLocale& locale);

// Writes every input key; false when the store cannot be written (a
// read-only file), after trying.
bool writeInputs(QSettings& store, const InputTexts& texts, const QLocale& locale);

struct RememberedModel {
    QString path;
    QString sha256;
    bool operator==(const RememberedModel&) const = default;
};
// None when no model was open (or the keys do not read: no path, a hash
// that is not 64 hex digits).
std::optional<RememberedModel> readAntennaModel(const QSettings& store);
// Remembers `model`, or forgets the one remembered.
void writeAntennaModel(QSettings& store, const std::optional<RememberedModel>& model);

std::optional<QSize> readWindowSize(const QSettings& store); // none, or not a usable size: nullopt
void writeWindowSize(QSettings& store, QSize size);

} // namespace vostrel::designer::settings
