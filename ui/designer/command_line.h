#pragma once

#include "design_inputs.h"

#include <QString>

#include <variant>

class QCommandLineParser;

namespace vostrel::designer {

// The inputs as options, e.g.
//   vostrel-designer --freq 14.3 --r 25 --x -25 --element 1.5in --rod 0.5in --spacing 6in
// Lengths take a unit symbol or the --unit one; without --unit the first
// length's own symbol chooses the form's unit.
void addInputOptions(QCommandLineParser& parser);

struct CommandLineInputs {
    InputTexts texts;
    QString measurementFile; // --file, empty without
};

// `base` with the options given laid over it, or what is wrong with them.
std::variant<CommandLineInputs, QString> readInputOptions(const QCommandLineParser& parser, const InputTexts& base);

} // namespace vostrel::designer
