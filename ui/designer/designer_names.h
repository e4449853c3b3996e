// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The object name of every control of the designer window, written once:
// the window sets them, the tests, the screenshot tool and the benchmark
// find the controls by them.
namespace vostrel::designer::names {

inline constexpr const char* frequency = "frequency";
inline constexpr const char* resistance = "resistance";
inline constexpr const char* reactance = "reactance";
inline constexpr const char* elementDiameter = "elementDiameter";
inline constexpr const char* rodDiameter = "rodDiameter";
inline constexpr const char* spacing = "spacing";
inline constexpr const char* unit = "unit";
inline constexpr const char* lineImpedance = "lineImpedance";
inline constexpr const char* stepUpWhole = "stepUpWhole";
inline constexpr const char* stepUpHalf = "stepUpHalf";
inline constexpr const char* tubeInnerDiameter = "tubeInnerDiameter";
inline constexpr const char* dielectric = "dielectric";
inline constexpr const char* measurementNote = "measurementNote";
inline constexpr const char* elementLength = "elementLength";
inline constexpr const char* antennaModelNote = "antennaModelNote";
inline constexpr const char* rodSide = "rodSide";
inline constexpr const char* capAt = "capAt";
inline constexpr const char* textbookModel = "textbookModel";
inline constexpr const char* inputProblems = "inputProblems";

inline constexpr const char* rodLength = "rodLength";
inline constexpr const char* capacitance = "capacitance";
inline constexpr const char* lineZ0 = "lineZ0";
inline constexpr const char* stepUpRatio = "stepUpRatio";
inline constexpr const char* capacitorReactance = "capacitorReactance";
inline constexpr const char* insertionLength = "insertionLength";
inline constexpr const char* noMatchBanner = "noMatchBanner";
inline constexpr const char* staleNote = "staleNote";
inline constexpr const char* fullWaveHeading = "fullWaveHeading";
inline constexpr const char* necRodLength = "necRodLength";
inline constexpr const char* necInsertionLength = "necInsertionLength";
inline constexpr const char* necCapacitance = "necCapacitance";
inline constexpr const char* necFeedImpedance = "necFeedImpedance";
inline constexpr const char* necClosedFormSwr = "necClosedFormSwr";
inline constexpr const char* necSwr = "necSwr";
inline constexpr const char* necAverageGain = "necAverageGain";
inline constexpr const char* necHalvedSegments = "necHalvedSegments";
inline constexpr const char* necCapacitorAllowance = "necCapacitorAllowance";
inline constexpr const char* necStrapAllowance = "necStrapAllowance";
inline constexpr const char* necStatus = "necStatus";
inline constexpr const char* useNecFeed = "useNecFeed";
inline constexpr const char* explainNecChecks = "explainNecChecks";
inline constexpr const char* necChecksHelp = "necChecksHelp";

inline constexpr const char* strapSlider = "strapSlider";
inline constexpr const char* capacitorSlider = "capacitorSlider";
inline constexpr const char* tunedValues = "tunedValues";
inline constexpr const char* strapValue = "strapValue";
inline constexpr const char* capacitorValue = "capacitorValue";
inline constexpr const char* resetTuning = "resetTuning";

inline constexpr const char* swrByCapacitance = "swrByCapacitance";
inline constexpr const char* swrByRodLength = "swrByRodLength";
inline constexpr const char* swrByFrequency = "swrByFrequency";
inline constexpr const char* smithChart = "smithChart";
inline constexpr const char* power = "power";
inline constexpr const char* swrMargin = "swrMargin";
inline constexpr const char* ratings = "ratings";
inline constexpr const char* lineCurrent = "lineCurrent";
inline constexpr const char* capacitorVoltage = "capacitorVoltage";
inline constexpr const char* capacitorVoltageAtMargin = "capacitorVoltageAtMargin";
inline constexpr const char* recommendedVoltage = "recommendedVoltage";
inline constexpr const char* rodCurrent = "rodCurrent";
inline constexpr const char* capacitorLoss = "capacitorLoss";
inline constexpr const char* matchLoss = "matchLoss";
inline constexpr const char* ratingsWarning = "ratingsWarning";
inline constexpr const char* drawing = "drawing";

} // namespace vostrel::designer::names
