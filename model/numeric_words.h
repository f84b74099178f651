#pragma once
// Conversion of the words of a DAT file into numbers, with the decimal point "." whatever the
// user's locale.

#include <string_view>

#include "base/real.h"

namespace tarvolin {

// A decimal integer with an optional sign, within the 32-bit range.
bool parseIntegerWord(std::string_view word, long long& value);

// A decimal number with optional sign, fraction and exponent (1.5, -3, 2.4E-3, 12.); the value
// must be finite in extended precision.
bool parseRealWord(std::string_view word, Real& value);

}  // namespace tarvolin
