#pragma once
// Conversion of the words of the input files into numbers, with the decimal point "." whatever
// the user's locale.

#include <string_view>

#include "base/real.h"

namespace tarvolin {

// A decimal integer with an optional sign, within the 32-bit range.
bool parseIntegerWord(std::string_view word, long long& value);

// A decimal number with optional sign, fraction and exponent (1.5, -3, 2.4E-3, 12.); the value
// must be finite in extended precision.
bool parseRealWord(std::string_view word, Real& value);

// A number as Fortran programs write it on fixed-column cards: what parseRealWord accepts, with
// D or d also taken as the exponent mark (1.5D-3, the double-precision form).
bool parseFortranRealWord(std::string_view word, Real& value);

// A whole number written as an integer or as a real whose decimals are all zero (2, -1, 2.,
// 2.00): card files written by other programs give counts and coefficients either way.
bool parseWholeNumberWord(std::string_view word, long long& value);

}  // namespace tarvolin
