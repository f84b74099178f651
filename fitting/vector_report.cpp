#include "fitting/vector_report.h"

#include <cmath>
#include <string>

#include "base/number_format.h"
#include "engine/parameter_transform.h"

namespace tarvolin {

void writeFittedValues(TextWriter& out, const Real* x, int n) {
  std::string line;
  for (int i = 1; i <= n; ++i) {
    line += "X(" + fmt::integer(i, 2) + ")=" + fmt::scientific(hyperbolicSine(x[i]), 12) + " ";
    if (i % 4 == 0 || i == n) {
      out.line(line);
      line.clear();
    }
  }
}

}  // namespace tarvolin
