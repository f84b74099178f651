#pragma once
// Numbers typed into the grids. Chemists type decimal fractions with "," or "." whatever their
// desktop's separator, so either is taken as the decimal separator.

#include <string>
#include <string_view>

#include "base/real.h"

namespace tarvolin::data_input {

// A real from a cell: the first "," and then the first "." of the text are exchanged for the
// user's decimal separator, and the text is converted under it (blanks around the number are
// ignored). "0,05" and "0.05" both give 0.05 under either separator; "1,000.5" is refused.
// False, leaving value alone, when the text is no finite number.
bool FloatData(std::string_view text, char decimalSeparator, Real& value);

// An integer from a cell (optional sign, blanks around it ignored).
bool IntegData(std::string_view text, long long& value);

}  // namespace tarvolin::data_input
