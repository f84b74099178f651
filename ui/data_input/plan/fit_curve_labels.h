#pragma once
// Tick labels of the data-input window's fit-curve panel: short exponent forms that fit under
// the panel's narrow ticks.

#include <array>
#include <string>

#include "base/real.h"

namespace tarvolin::data_input {

// A tick value in the 11-character scientific form (a blank or "-" for the sign, one digit,
// ".", two decimals, "E", the exponent's sign and four exponent digits) with up to three
// leading zeros of the exponent removed: 0.5 gives " 5.00E-1", 123 gives " 1.23E+2", -0.5
// gives "-5.00E-1". The sign position stays, so labels line up under their ticks.
std::string FitCurveTickLabel(Real value);

// The seven labels of an axis: min + k * (max - min) / 6 for k = 0..6.
std::array<std::string, 7> FitCurveTickLabels(Real min, Real max);

}  // namespace tarvolin::data_input
