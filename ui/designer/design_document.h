// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_file.h"
#include "design_inputs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace vostrel::designer {

// The designer window's side of the design file (core/design_file.h): its
// inputs, the antenna model it was made with and the tuned strap and
// capacitor, to and from the file's "key = value" lines.
struct DesignDocument {
    InputTexts texts; // in the window's locale's notation
    QString antennaModel; // its path; empty without one
    QString antennaModelSha256; // of its bytes, 64 hex digits
    std::optional<Tuning> built; // the sliders' strap and capacitor
    bool operator==(const DesignDocument&) const = default;
};

// The file's bytes. Lengths are written with their unit symbol ("1.5 in"),
// numbers with "." whatever the locale; empty inputs are left out. A text
// the file cannot hold (a frequency of "abc") is refused, naming the
// input: a design file always opens again.
std::variant<QByteArray, QString> writeDesignDocument(const DesignDocument& document, const QLocale& locale);

// A design file's bytes. An input the file does not give is the worked
// example's, as at a fresh start; a length in the file's unit loses its
// symbol. A relative model path is found beside the file at `path`.
// Refused with the file's name and the line: a file readDesign() refuses.
//   "design.vostrel:3: unknown key \"freq\""
std::variant<DesignDocument, QString> readDesignDocument(
    const QByteArray& bytes, const QString& path, const QLocale& locale);

// The inputs in which `texts` differ from `other`, each as "label value"
// ("Feed line impedance 75", "Unit mm"), in the form's order: what a
// notice names as coming from elsewhere.
QStringList differingInputs(const InputTexts& texts, const InputTexts& other);

} // namespace vostrel::designer
