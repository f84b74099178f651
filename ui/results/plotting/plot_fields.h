#pragma once
// Numbers in the plot data files. The files may come from a machine whose decimal separator is
// "," or "."; before conversion the first "," and then the first "." of a field are exchanged
// for the user's separator, so that either loads under any locale. Conversion never consults
// the process locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/real.h"

namespace tarvolin::plotting {

// The user's decimal separator: that of the process's numeric locale ("." when it has none).
char userDecimalSeparator();

// The field with its first "," and then its first "." replaced by the separator.
std::string normaliseDecimalSeparator(std::string_view field, char separator);

// A real field: normalised, trimmed of blanks and control characters, then a decimal number
// with an optional sign, fraction and exponent (the separator as its decimal mark), finite in
// extended precision. Empty when it does not convert.
std::optional<Real> parsePlotReal(std::string_view field, char separator);

// An integer field: trimmed, an optional sign and decimal digits, within 32 bits.
std::optional<std::int32_t> parsePlotInteger(std::string_view field);

// The blank- or tab-separated fields of a line of a free-format plot file.
std::vector<std::string_view> splitFields(std::string_view line);

}  // namespace tarvolin::plotting
