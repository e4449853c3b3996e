// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamma_design.h"
#include "length_text.h"
#include "match_study.h"
#include "number_text.h"
#include "ratings.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <array>

#include <optional>

namespace vostrel::designer {

// What the builder typed and chose, as text: the form shows it, the settings
// keep it, the command line fills it. The defaults are the worked example of
// the ARRL Antenna Book's gamma match chapter (14.3 MHz, 25 - j25 ohms).
struct InputTexts {
    QString frequency = QStringLiteral("14.3"); // MHz
    QString resistance = QStringLiteral("25"); // ohms
    QString reactance = QStringLiteral("-25"); // ohms
    QString elementDiameter = QStringLiteral("1.5"); // in `unit` unless it names its own
    QString rodDiameter = QStringLiteral("0.5");
    QString spacing = QStringLiteral("6");
    design::Unit unit = design::Unit::Inch;
    QString lineImpedance = QStringLiteral("50"); // ohms
    design::StepUp stepUp = design::StepUp::Whole;
    QString tubeInnerDiameter; // empty: no coax capacitor
    QString dielectric = QStringLiteral("ptfe"); // a name from design::dielectrics()
    // Tip to tip, for the full-wave check of a lone straight element in free
    // space; empty: no check (unless an antenna model is open).
    QString elementLength;
    design::Model model = design::Model::Corrected; // Textbook: the line model alone
    // Watts at the transmitter for the ratings; empty: none.
    QString power;
    QString swrMargin = QStringLiteral("2"); // the worst SWR the capacitor must survive
    // Where NEC-2's model puts the rod: "away" (from the other elements,
    // upwards for a lone tube) or an axis of the deck, "+x" to "-z".
    QString rodSide = QStringLiteral("away");
    // Where NEC-2's model puts the capacitor: "feed" (between the feed
    // point and the feed connection), "rod-end" (inside the rod's tube,
    // at its feed end) or "tube" (there, the rod sliding into the tube
    // typed modelled as the line it is), as vostrel-design's --cap-at.
    QString capAt = QStringLiteral("feed");

    bool operator==(const InputTexts&) const = default;
};

// The inputs once every field has been read.
using ValidInputs = study::Inputs;
using study::MatchStudy;
using study::Tuning;

struct FieldError {
    design::Field field;
    QString message; // a sentence saying what is wrong and what to type
};

struct Validation {
    std::optional<ValidInputs> inputs; // only when `errors` is empty
    std::optional<double> elementLength; // metres, when one is typed
    // The power, margin, capacitor and tube, when a power is typed; the
    // design's figures are the study's to fill in.
    std::optional<ratings::Input> ratings;
    QList<FieldError> errors;
};

// The rod sides the form offers, as InputTexts::rodSide writes them.
inline constexpr std::array kRodSides = {"away", "+x", "-x", "+y", "-y", "+z", "-z"};
// The capacitor's places, as InputTexts::capAt writes them.
inline constexpr std::array kCapacitorPlaces = {"feed", "rod-end", "tube"};

// The length units the form offers.
inline constexpr std::array kFormUnits = {design::Unit::Millimetre, design::Unit::Centimetre, design::Unit::Inch};

// The core's notation for `locale`: its decimal separator.
NumberFormat numberFormat(const QLocale& locale);

// A number typed in the locale's way, blanks around it aside; nullopt for
// any other text (the core's plain-number reader).
//   "14,3" in German -> 14.3    "14.3" in German -> nullopt (grouping or a
//   dot: never guessed)    "14.3" in English -> 14.3    "nan" -> nullopt
std::optional<double> parseNumber(const QString& text, const QLocale& locale);

// The texts' numbers written with `locale`'s decimal separator instead of
// ".", and back: the defaults and the settings file use ".", whatever the
// locale of the session that wrote them; the form shows the locale's.
//   "14.3", "1.5" in German -> "14,3", "1,5"      plainTexts() undoes it
InputTexts localisedTexts(InputTexts texts, const QLocale& locale);
InputTexts plainTexts(InputTexts texts, const QLocale& locale);

// Reads every field; numbers in `locale`'s notation (a group separator is
// refused, never read as one), lengths with or without a unit symbol. The core judges what the fields mean together
// (the rod touching the element, a tube narrower than the rod).
Validation validate(const InputTexts& texts, const QLocale& locale);

// A new unit for the texts' lengths: plain numbers meant `from` and become
// the same lengths in `to`, read and written in `locale`'s notation and
// nothing else (as validate() reads them); a length that names
// its own unit, or does not read, stays as it is. Does not set texts.unit.
//   "1.5", "20 mm" from in to mm -> "38.1", "20 mm"
void convertLengths(InputTexts& texts, design::Unit from, design::Unit to, const QLocale& locale);

// "Frequency", "Feed resistance R", ...: the field's name as its label says it.
QString fieldName(design::Field field);

// Numbers as the window shows them: four significant figures, at most
// `maxDecimals` after the separator, an exponent for huge or tiny ones
// (the core's figuresText()).
QString formatNumber(double value, const QLocale& locale, int maxDecimals = 3);
// An input echoed back as typed, or written into a field so that it reads
// back: no trailing zeros, no group separators, up to six figures.
QString formatInput(double value, const QLocale& locale);
// A length in metres as the window shows it in `unit`: formatNumber()'s
// figures and the unit's symbol, e.g. "38.90 in".
QString lengthText(double metres, design::Unit unit, const QLocale& locale);
// A length the builder gave, echoed back as formatInput() writes it, e.g.
// "1.5 in".
QString givenLengthText(double metres, design::Unit unit, const QLocale& locale);
// A sentence of NEC-2's search or the core, which write numbers with "."
// and "ohms", as the window writes them: the locale's decimal separator
// between digits, "Ω" for ohms.
//   "111.1 ohms at 0.267 m" in German -> "111,1 Ω at 0,267 m"
//   the same in English               -> "111.1 Ω at 0.267 m"
QString localisedSentence(const std::string& text, const QLocale& locale);
// The core's sentences start in lower case, to follow a colon; alone, they
// start with a capital.
QString capitalised(const std::string& text);

// Whether a plot's x axis from `from` to `to` can be drawn: both finite,
// the span above 0 and wide enough against the values for its ticks to
// differ in a double, the values inside what the labels can write.
//   14.3, 15.0 -> true   1e-308, 1.05e-308 -> false   1, 1 -> false
bool drawableRange(double from, double to);

} // namespace vostrel::designer
