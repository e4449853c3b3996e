#include "cli_report.h"

#include "number_text.h"
#include "physics.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace vostrel::design::cli {
namespace {

int lengthDecimals(Unit unit)
{
    switch (unit) {
    case Unit::Millimetre:
        return 1;
    case Unit::Centimetre:
    case Unit::Inch:
        return 2;
    case Unit::Foot:
        return 3;
    case Unit::Metre:
        return 4;
    }
    return 4;
}

} // namespace

std::string lengthText(double metres, Unit unit)
{
    return quantityText(metres / metresPer(unit), lengthDecimals(unit));
}

std::string sizeText(double metres, Unit unit)
{
    std::string text = quantityText(metres / metresPer(unit), lengthDecimals(unit) + 2);
    if (text.find('e') != std::string::npos) {
        return text;
    }
    while (text.ends_with('0')) {
        text.pop_back();
    }
    if (text.ends_with('.')) {
        text.pop_back();
    }
    return text;
}

std::string complexText(Complex z)
{
    const std::string imag = decimalsText(std::abs(z.imag()), 2);
    return decimalsText(z.real(), 2) + (z.imag() < 0 && imag != "0.00" ? " - j" : " + j") + imag;
}

std::string_view shareColumn(StepUp stepUp)
{
    return stepUp == StepUp::Whole ? "whole" : "half";
}

std::string heading(const DesignInput& in, Unit unit, bool feedFromFile)
{
    const Geometry& g = in.geometry;
    const std::string symbol(unitSymbol(unit));
    std::string text;
    if (feedFromFile) {
        text += "Feed impedance: from the file, at each of its frequencies\n";
    } else {
        text += "Feed impedance: " + complexText(in.feedImpedance) + " ohms"
            + (in.freqMhz > 0 ? " at " + doubleText(in.freqMhz, std::nullopt) + " MHz\n" : std::string("\n"));
    }
    text += "Share: " + std::string(stepUpName(in.stepUp)) + "\n";
    text += "Closed form: " + std::string(modelName(in.model)) + "\n";
    text += "Element " + sizeText(g.elementDiameter, unit) + " " + symbol + ", rod " + sizeText(g.rodDiameter, unit)
        + " " + symbol + ", spacing " + sizeText(g.spacing, unit) + " " + symbol + " centre to centre, "
        + doubleText(in.lineImpedance, std::nullopt) + " ohm line\n";
    return text;
}

std::string resultRow(std::string_view label, const std::string& value)
{
    constexpr std::size_t kLabelWidth = 34;
    std::string line = "  ";
    line += label;
    line.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
    return line + value + "\n";
}

std::string lineRows(const LineModel& line, double freqMhz)
{
    std::string rows = resultRow("Rod line impedance Z0", decimalsText(line.z0, 2) + " ohms")
        + resultRow("Current division alpha", decimalsText(line.alpha, 4))
        + resultRow("Step-up k (1 + alpha)^2", decimalsText(line.stepUp, 4))
        + resultRow("Stepped-up impedance Z2", complexText(line.z2) + " ohms");
    if (line.connectionInductance > 0) {
        const double reactance = physics::kTwoPi * freqMhz * 1e6 * line.connectionInductance;
        rows += resultRow("Feed connection and strap",
            decimalsText(line.connectionInductance * 1e9, 1) + " nH (" + decimalsText(reactance, 2) + " ohms)");
    }
    return rows;
}

int writeFailed(std::ostream& err)
{
    const int error = errno;
    err << "vostrel-design: the output could not be written";
    if (error != 0) {
        err << ": " << std::strerror(error);
    }
    err << "\n";
    return static_cast<int>(ExitStatus::WriteFailed);
}

int writeResult(std::ostream& out, std::ostream& err, const std::string& text, ExitStatus status)
{
    errno = 0;
    out << text << std::flush;
    return out ? static_cast<int>(status) : writeFailed(err);
}

} // namespace vostrel::design::cli
