#pragma once
// The system that the speciation solves at a point: the present basic components, whose free
// concentrations are the unknowns (unknown q = 1..componentCount is component
// presentComponent[q]), the species that can form (in increasing order), and for each of
// those its components with a non-zero coefficient, by component number and by unknown.
//
// It depends on the counts, the stoichiometric rows and the set of absent components only, so
// it is built once and kept for as long as they stay the same: over all the points of a
// system and every evaluation of a fit, but rebuilt at once when a point has other absent
// components or anyone has changed the stoichiometry.

#include <cstdint>
#include <vector>

#include "base/real.h"
#include "model/limits.h"
#include "model/model.h"

namespace tarvolin {

// sum + a x for an integer coefficient a that is also held as the real `coefficient`: a unit
// coefficient adds or subtracts x itself, the same operation in IEEE arithmetic (1 x = x and
// -1 x = -x exactly) without its multiplication.
inline void addTerm(Real& sum, int a, Real coefficient, Real x) {
  if (a == 1)
    sum += x;
  else if (a == -1)
    sum -= x;
  else
    sum += coefficient * x;
}

class ReducedSystem {
 public:
  // The system of the leading nb components and ns species of the model without the absent
  // components (bit k: component k).
  void prepare(const Model& m, int nb, int ns, std::uint64_t absent);
  // Counts the changes of the counts or the stoichiometric rows it was built from (not those of
  // the absent components): what was solved on an earlier version belongs to another system.
  std::uint64_t version() const { return version_; }

  int componentCount = 0;
  std::uint8_t presentComponent[kMaxReactants + 1] = {};
  int formedCount = 0;
  std::uint8_t formedSpecies[kMaxSpecies] = {};
  bool formed[kMaxSpecies + 1] = {};
  // The non-zero coefficients of the f-th formed species are entries first[f]..first[f+1]-1,
  // in increasing component order: the component, its unknown, the coefficient, and the
  // coefficient as a real.
  std::vector<int> first;
  std::vector<std::uint8_t> component;
  std::vector<std::uint8_t> unknown;
  std::vector<std::int8_t> stoich;
  std::vector<Real> coefficient;
  // The same by component, for sums over species taken in a register: the species that hold
  // unknown q, in increasing order, are entries byComponentFirst[q]..byComponentFirst[q+1]-1
  // (species number and coefficient as a real).
  std::vector<int> byComponentFirst;
  std::vector<std::uint8_t> byComponentSpecies;
  std::vector<std::int8_t> byComponentStoich;
  std::vector<Real> byComponentCoefficient;
  // The terms of each entry t = q(q-1)/2 + r (r <= q) of the packed Newton matrix
  // J(q,r) = sum_i a(i,q) a(i,r) C(i): the species holding both unknowns, in increasing order,
  // with the product of the two coefficients as a real, at entries
  // matrixFirst[t]..matrixFirst[t+1]-1.
  std::vector<int> matrixFirst;
  std::vector<std::uint8_t> matrixSpecies;
  std::vector<int> matrixProduct;
  std::vector<Real> matrixFactor;

 private:
  bool sameStoichiometry(const Model& m, int nb, int ns) const;
  void build(const Model& m, std::uint64_t absent);
  void buildByComponent(const Model& m);

  // What the tables were built from.
  int nb_ = -1;
  int ns_ = -1;
  std::uint64_t absent_ = 0;
  std::vector<std::int8_t> rows_;  // Stoich rows 1..ns, columns 1..nb
  std::uint64_t version_ = 0;
};

}  // namespace tarvolin
