#pragma once
// The fitted values of a transformed parameter vector in the search reports: sinh(x(i)) as
// "X( i)=" and the value in 12 characters, four to a line.

#include "base/real.h"
#include "base/text_file.h"

namespace tarvolin {

void writeFittedValues(TextWriter& out, const Real* x, int n);

}  // namespace tarvolin
