#pragma once
// The fitted model written back in the DAT layout, so that the copy serves as a new input.

#include <string>

#include "model/model.h"

namespace tarvolin {

// One calculated system in the DAT layout. The file header line (NSystems) is written only for
// the first system, so that a file of several systems reads back whole. Every titration block
// carries its own initial solution and titrant, and method-6 blocks their measured increments
// as read, so that reading the copy rebuilds the same totals and sums.
std::string fittedDataText(const Model& model, int systemNumber);

}  // namespace tarvolin
