#include "run/run_results.h"

#include "run/parameter_names.h"

namespace tarvolin {

namespace {

ParameterResult& entry(std::vector<ParameterResult>& list, std::size_t at, bool fresh) {
  if (fresh) list.emplace_back();
  return list[at];
}

}  // namespace

// The list holds every parameter in the report's order: additive values (blocks outer, species
// inner), lgBETA, block parameters, purities; the accessors below count on that order.
void SystemResults::takeParameters(const Model& m) {
  const bool fresh = parameters.empty();
  speciesCount = m.NSpecies;
  blockCount = m.NBlocks;
  reagentCount = m.NInputReagents;
  std::size_t at = 0;
  auto take = [&](const char* kind, std::string name, int i, int b, int j, Real value, int key) {
    ParameterResult& p = entry(parameters, at++, fresh);
    p.kind = kind;
    p.name = std::move(name);
    p.species = i;
    p.block = b;
    p.reagent = j;
    if (fresh) p.start = value;
    p.value = value;
    p.key = key;
    p.fitted = key == 1;
  };
  for (int b = 1; b <= m.NBlocks; ++b)
    for (int i = 1; i <= m.NSpecies; ++i)
      take("AV", avName(i, b), i, b, 0, m.AV[i][b], m.FitAV[i][b]);
  for (int i = 1; i <= m.NSpecies; ++i)
    take("lgBETA", lgBetaName(i), i, 0, 0, m.lgBETA[i], m.FitBeta[i]);
  for (int b = 1; b <= m.NBlocks; ++b) {
    const bool slope = m.Method[b] == 1;
    take(slope ? "a" : "Fo", blockParameterName(m, b), 0, b, 0, slope ? m.a[b] : m.Fo[b],
         m.FitBlock[b]);
  }
  for (int j = 1; j <= m.NInputReagents; ++j)
    take("Purity", purityName(m, j), m.ReagentSpecies[j], 0, j, m.Purity[j], m.FitPurity[j]);
}

ParameterResult& SystemResults::additiveValue(int i, int b) {
  return parameters[static_cast<std::size_t>((b - 1) * speciesCount + i - 1)];
}

ParameterResult& SystemResults::beta(int i) {
  return parameters[static_cast<std::size_t>(blockCount * speciesCount + i - 1)];
}

ParameterResult& SystemResults::blockParameter(int b) {
  return parameters[static_cast<std::size_t>(blockCount * speciesCount + speciesCount + b - 1)];
}

ParameterResult& SystemResults::purity(int j) {
  return parameters[static_cast<std::size_t>(blockCount * speciesCount + speciesCount + blockCount +
                                             j - 1)];
}

void SystemResults::nameCorrelationColumns(int n) {
  correlationNames.assign(static_cast<std::size_t>(n), "");
  for (const ParameterResult& p : parameters)
    if (p.fitted && p.column >= 1 && p.column <= n)
      correlationNames[static_cast<std::size_t>(p.column - 1)] = p.name;
}

}  // namespace tarvolin
