#pragma once
// The names of the refinable parameters as the report prints them, without the blanks that
// align them in its lines: "AV( 2, 1)", "lgBETA( 3)", "Fo( 1)" or "a( 1)", "Purity( 5)".

#include <string>

#include "model/model.h"

namespace tarvolin {

std::string avName(int species, int block);
std::string lgBetaName(int species);
// a(b) in a block of method 1 (the glass electrode's slope), Fo(b) in any other.
std::string blockParameterName(const Model& m, int block);
// Named after the species of input reagent j.
std::string purityName(const Model& m, int reagent);

}  // namespace tarvolin
