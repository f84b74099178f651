#include "engine/reduced_system.h"

#include <cstring>

namespace tarvolin {

namespace {

inline std::uint64_t bit(int k) { return std::uint64_t{1} << k; }

}  // namespace

void ReducedSystem::prepare(const Model& m, int nb, int ns, std::uint64_t absent) {
  if (!sameStoichiometry(m, nb, ns)) {
    ++version_;
    nb_ = nb;
    ns_ = ns;
    rows_.resize(static_cast<std::size_t>(ns) * nb);
    for (int i = 1; i <= ns && nb > 0; ++i)
      std::memcpy(rows_.data() + static_cast<std::size_t>(i - 1) * nb, &m.Stoich[i][1], nb);
    build(m, absent);
  } else if (absent != absent_) {
    build(m, absent);
  }
}

bool ReducedSystem::sameStoichiometry(const Model& m, int nb, int ns) const {
  if (nb != nb_ || ns != ns_) return false;
  for (int i = 1; i <= ns && nb > 0; ++i) {
    if (std::memcmp(&m.Stoich[i][1], rows_.data() + static_cast<std::size_t>(i - 1) * nb, nb) != 0)
      return false;
  }
  return true;
}

// Without absent components every component is present (unknown q is component q) and every
// species forms; a species holding an absent component does not form.
void ReducedSystem::build(const Model& m, std::uint64_t absent) {
  const int nb = nb_;
  const int ns = ns_;
  absent_ = absent;

  std::uint8_t unknownOf[kMaxReactants + 1] = {};
  componentCount = 0;
  for (int k = 1; k <= nb; ++k) {
    if (absent & bit(k)) continue;
    ++componentCount;
    presentComponent[componentCount] = static_cast<std::uint8_t>(k);
    unknownOf[k] = static_cast<std::uint8_t>(componentCount);
  }
  formedCount = 0;
  first.assign(1, 0);
  component.clear();
  unknown.clear();
  stoich.clear();
  coefficient.clear();
  for (int i = 1; i <= ns; ++i) {
    bool forms = true;
    for (int k = 1; k <= nb && forms; ++k) forms = m.Stoich[i][k] == 0 || (absent & bit(k)) == 0;
    formed[i] = forms;
    if (!forms) continue;
    formedSpecies[formedCount++] = static_cast<std::uint8_t>(i);
    for (int k = 1; k <= nb; ++k) {
      const int a = m.Stoich[i][k];
      if (a == 0) continue;
      component.push_back(static_cast<std::uint8_t>(k));
      unknown.push_back(unknownOf[k]);
      stoich.push_back(static_cast<std::int8_t>(a));
      coefficient.push_back(a);
    }
    first.push_back(static_cast<int>(component.size()));
  }
  buildByComponent(m);
}

void ReducedSystem::buildByComponent(const Model& m) {
  const int n = componentCount;
  byComponentFirst.assign(2, 0);
  byComponentSpecies.clear();
  byComponentStoich.clear();
  byComponentCoefficient.clear();
  matrixFirst.assign(2, 0);
  matrixSpecies.clear();
  matrixProduct.clear();
  matrixFactor.clear();
  for (int q = 1; q <= n; ++q) {
    const int k = presentComponent[q];
    for (int f = 0; f < formedCount; ++f) {
      const int i = formedSpecies[f];
      if (m.Stoich[i][k] == 0) continue;
      byComponentSpecies.push_back(static_cast<std::uint8_t>(i));
      byComponentStoich.push_back(m.Stoich[i][k]);
      byComponentCoefficient.push_back(m.Stoich[i][k]);
    }
    byComponentFirst.push_back(static_cast<int>(byComponentSpecies.size()));
    for (int r = 1; r <= q; ++r) {
      const int l = presentComponent[r];
      for (int f = 0; f < formedCount; ++f) {
        const int i = formedSpecies[f];
        const int product = m.Stoich[i][k] * m.Stoich[i][l];
        if (m.Stoich[i][k] == 0 || m.Stoich[i][l] == 0) continue;
        matrixSpecies.push_back(static_cast<std::uint8_t>(i));
        matrixProduct.push_back(product);
        matrixFactor.push_back(product);
      }
      matrixFirst.push_back(static_cast<int>(matrixSpecies.size()));
    }
  }
}

}  // namespace tarvolin
