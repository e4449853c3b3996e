#pragma once

// The object name of every control of the designer window, written once:
// the window sets them, the tests, the screenshot tool and the benchmark
// find the controls by them.
namespace vostrel::designer::names {

inline constexpr char frequency[] = "frequency";
inline constexpr char resistance[] = "resistance";
inline constexpr char reactance[] = "reactance";
inline constexpr char elementDiameter[] = "elementDiameter";
inline constexpr char rodDiameter[] = "rodDiameter";
inline constexpr char spacing[] = "spacing";
inline constexpr char unit[] = "unit";
inline constexpr char lineImpedance[] = "lineImpedance";
inline constexpr char stepUpWhole[] = "stepUpWhole";
inline constexpr char stepUpHalf[] = "stepUpHalf";
inline constexpr char tubeInnerDiameter[] = "tubeInnerDiameter";
inline constexpr char dielectric[] = "dielectric";
inline constexpr char measurementNote[] = "measurementNote";
inline constexpr char inputProblems[] = "inputProblems";

inline constexpr char rodLength[] = "rodLength";
inline constexpr char capacitance[] = "capacitance";
inline constexpr char lineZ0[] = "lineZ0";
inline constexpr char stepUpRatio[] = "stepUpRatio";
inline constexpr char capacitorReactance[] = "capacitorReactance";
inline constexpr char insertionLength[] = "insertionLength";
inline constexpr char noMatchBanner[] = "noMatchBanner";
inline constexpr char staleNote[] = "staleNote";

inline constexpr char strapSlider[] = "strapSlider";
inline constexpr char capacitorSlider[] = "capacitorSlider";
inline constexpr char tunedValues[] = "tunedValues";
inline constexpr char resetTuning[] = "resetTuning";

inline constexpr char swrByCapacitance[] = "swrByCapacitance";
inline constexpr char swrByRodLength[] = "swrByRodLength";
inline constexpr char swrByFrequency[] = "swrByFrequency";
inline constexpr char smithChart[] = "smithChart";
inline constexpr char drawing[] = "drawing";

} // namespace vostrel::designer::names
