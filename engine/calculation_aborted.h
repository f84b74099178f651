#pragma once
// Thrown after the engine has already told the user why the calculation cannot go on (its
// error boxes have been shown). The run driver catches it without a further message, closes
// the run's files and leaves RunIncomplete at 1, so that no result window opens.

#include <stdexcept>

namespace tarvolin {

class CalculationAborted : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tarvolin
