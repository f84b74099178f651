#include "run/parameter_names.h"

#include "base/number_format.h"

namespace tarvolin {

std::string avName(int species, int block) {
  return "AV(" + fmt::integer(species, 2) + "," + fmt::integer(block, 2) + ")";
}

std::string lgBetaName(int species) { return "lgBETA(" + fmt::integer(species, 2) + ")"; }

std::string blockParameterName(const Model& m, int block) {
  return (m.Method[block] == 1 ? "a(" : "Fo(") + fmt::integer(block, 2) + ")";
}

std::string purityName(const Model& m, int reagent) {
  return "Purity(" + fmt::integer(m.ReagentSpecies[reagent], 2) + ")";
}

}  // namespace tarvolin
