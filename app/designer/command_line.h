// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_inputs.h"
#include "designer_settings.h"

#include <QString>
#include <QStringList>

#include <variant>

class QCommandLineParser;

namespace vostrel::designer {

class DesignerWindow;

// The inputs as options, with vostrel-design's names and value forms:
//   vostrel-designer --freq 14.3 --r 25 --x -25 --element 1.5in --rod 0.5in --spacing 6in
//   [--line OHMS] [--half] [--textbook] [--units mm|cm|in] [--tube-id LEN] [--dielectric D]
//   [--element-length LEN | --nec FILE] [--rod-side SIDE] [--s1p FILE | FILE]
// Numbers are written with "." as on any command line, whatever the
// locale; the form shows them in the locale's notation. Lengths take a unit
// symbol or --units'; without --units the first length's own symbol
// chooses the form's unit. The older spellings --unit, --step-up, --tube
// and --file still work, each with a note naming the new one.
void addInputOptions(QCommandLineParser& parser);

struct CommandLineInputs {
    InputTexts texts;
    QString measurementFile; // --s1p, empty without
    QString antennaModel; // --nec, empty without
    QStringList notes; // one line for each older spelling used
};

// `base` with the options given laid over it and written in `locale`'s
// notation, or a one-line message saying what is wrong with them.
//   --freq 14.2 in German -> texts.frequency "14,2"
//   --units MM --element 38.1 -> unit Millimetre, elementDiameter "38.1"
//   --unit mm -> as --units, with the note "--unit is now --units"
// Refused: an option given twice, a value that does not read ("--freq:
// \"abc\" is not a number"), --units other than mm, cm or in, an unknown
// dielectric, more than one measurement file.
std::variant<CommandLineInputs, QString> readInputOptions(
    const QCommandLineParser& parser, const InputTexts& base, const QLocale& locale = QLocale());

// A start of the window, which shows the last session's inputs already:
// what the command line names is as given, whole; what it does not name
// stays as the last session left it, and a notice that waits to be read
// lists each such input where it differs from a fresh start ("From the
// last session, not on the command line: Feed line impedance 75"). When the
// command line names the antenna (--freq, --r, --x, --element,
// --element-length, --nec or a measurement file), the last session's
// element length and antenna model were another antenna's: they are not
// used, and the notice says so. Else the remembered model is re-read and
// checked (DesignerWindow::restoreAntennaModel()). Then the files the
// command line names are opened.
// Returns the lines for standard error (older spellings, files that did not
// open), or the options' refusal (status 2) with nothing changed.
struct StartRefusal {
    QString message;
};
std::variant<QStringList, StartRefusal> startWindow(DesignerWindow& window, const QCommandLineParser& parser,
    const std::optional<settings::RememberedModel>& remembered, const QLocale& locale = QLocale());

} // namespace vostrel::designer
