#pragma once
// The model built by Test Data written as a DAT file of one calculated system, in the layout
// the data-input window has always written: values followed by ",", lists ten values to a
// line, reals in fixed form (Yexp 15.8, Ct 12.8, shifts and block constants 15.6, lgBETA
// 12.5, Step 8.5) and Tolerance in the 15-character scientific form.

#include <string>

#include "model/model.h"

namespace tarvolin::data_input {

// The file's text with CR LF line ends. A real whose fixed form would lose any of the 15
// significant digits the grid shows (a concentration of 1.234E-9 mol/l is 0.00000000 in 12.8)
// is written in scientific form instead, with as few digits as keep it, at least in the
// column's width.
std::string SaveData(const Model& model);

// The number form behind the rule above: fixed w.d when that reads back as the value to 15
// significant digits, else scientific.
std::string savedReal(Real x, int w, int d);

}  // namespace tarvolin::data_input
