#pragma once
// A model, a scripted platform, a report file and an engine for the engine tests, with small
// builders for systems of species and blocks, and a test of an equilibrium.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/floating_point.h"
#include "base/text_file.h"
#include "engine/engine.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {

struct EngineHarness {
  EngineHarness() : model(newModel()) {
    engine = std::make_unique<Engine>(*model, platform, report);
    model->Step = 0.12L;
    model->Tolerance = 1e-20L;
    clearFloatingPointFlags();
  }
  ~EngineHarness() { clearFloatingPointFlags(); }

  // Everything written to the report so far.
  std::string reportText() { return scratch.text(); }

  void startRun(int fittingMethod) {
    model->FittingMethod = static_cast<std::uint8_t>(fittingMethod);
    engine->startRun();
  }

  // Species i with its stoichiometric row and lgBETA.
  void species(int i, std::initializer_list<int> row, Real lgBeta) {
    int k = 1;
    for (int a : row) model->Stoich[i][k++] = static_cast<std::int8_t>(a);
    model->lgBETA[i] = lgBeta;
  }

  // A system of nr components and ns species with its first nr species the free components
  // and one input reagent per free component.
  void system(int nr, int ns) {
    model->NReactants = static_cast<std::uint8_t>(nr);
    model->NSpecies = static_cast<std::uint8_t>(ns);
    for (int i = 1; i <= nr; ++i) {
      for (int k = 1; k <= nr; ++k) model->Stoich[i][k] = i == k ? 1 : 0;
      model->lgBETA[i] = 0;
    }
    model->NInputReagents = static_cast<std::uint8_t>(nr);
    model->growTables();
    for (int j = 1; j <= nr; ++j) {
      model->ReagentSpecies[j] = static_cast<std::uint8_t>(j);
      model->Purity[j] = 1;
      model->FitPurity[j] = 0;
    }
  }

  // Block b of n points (appended after the blocks before it), method code and weight.
  void block(int b, int n, int method, Real weight = 1) {
    model->NBlocks = static_cast<std::uint8_t>(b);
    model->NPoints[b] = static_cast<std::uint16_t>(n);
    model->Method[b] = static_cast<std::int8_t>(method);
    model->BlockWeight[b] = weight;
    model->BlockFactor[b] = 1;
    model->a[b] = 1;
    model->Fo[b] = 0;
    model->IncrementMode[b] = method == 5 ? 1 : 0;
    model->growTables();
    model->growPoints(model->Last(b));
    for (int p = model->First(b); p <= model->Last(b); ++p) model->PointFactor[p] = 1;
  }

  // M + L = ML with the given lg beta in one block of points at totals Mt and Lt.
  void complexOfTwo(Real lgBeta, Real Mt, Real Lt, int points = 1, int method = 0) {
    system(2, 3);
    species(3, {1, 1}, lgBeta);
    block(1, points, method);
    for (int p = 1; p <= points; ++p) model->Ct[p][1] = Mt, model->Ct[p][2] = Lt;
    model->CurrentPoint = 1;
  }

  // Two components whose second one appears only in species with lg beta -6000: their
  // concentrations underflow to zero, so the Newton matrix has a zero row and the Cholesky
  // decomposition meets a zero pivot in the first cycle (the simplex takes over).
  void singularPair(int points = 1) {
    complexOfTwo(-6000, 1e-3L, 1e-3L, points);
    species(2, {0, 1}, -6000);
    model->Step = 0.2L;
  }

  std::unique_ptr<Model> model;
  FakePlatform platform;
  ScratchReport scratch{"tarvolin-engine"};
  TextWriter& report = scratch.writer;
  std::unique_ptr<Engine> engine;
};

// M + L = ML in closed form: the free metal m = 2 Mt / (b + sqrt(b^2 + 4 beta Mt)) with
// b = 1 + beta (Lt - Mt), the free ligand l = Lt / (1 + beta m).
struct OneToOne {
  long double m, l, ml;
  OneToOne(long double Mt, long double Lt, long double beta) {
    const long double b = 1 + beta * (Lt - Mt);
    m = 2 * Mt / (b + std::sqrt(b * b + 4 * beta * Mt));
    l = Lt / (1 + beta * m);
    ml = beta * m * l;
  }
};

// The floating-point fault that a call raises, None when it returns.
template <class Call>
FloatingPointFault faultOf(Call call) {
  try {
    call();
  } catch (const FloatingPointError& error) {
    return error.fault();
  }
  return FloatingPointFault::None;
}

// Whether C (species 1..ns, the first nb of them the free components) is the equilibrium of
// the totals Cbt(1..nb): every free concentration at least 0, every other species at
// beta prod f(k)^a(i,k) (exactly 0 when it holds a component whose free concentration is 0: an
// absent component), every balance sum_i a(i,k) C(i) = Cbt(k) closed to 1e-17 of the size of
// its terms (the exponent lgBETA ln 10 + sum a LnFree, some tens in size, carries about 4e-18
// of rounding into each concentration). The equilibrium is unique (the minimum of a strictly
// convex function of the logarithms of the free concentrations), so no other C passes.
inline ::testing::AssertionResult IsEquilibrium(const Model& m, int nb, int ns, const Real* C,
                                                const std::vector<long double>& Cbt) {
  for (int i = 1; i <= ns; ++i) {
    long double expected = i <= nb ? C[i] : std::pow(10.0L, m.lgBETA[i]);
    bool absent = false;
    for (int k = 1; k <= nb && i > nb; ++k) {
      if (m.Stoich[i][k] == 0) continue;
      absent = absent || C[k] == 0;
      if (!absent) expected *= std::pow(static_cast<long double>(C[k]), m.Stoich[i][k]);
    }
    if (absent ? C[i] != 0 : !(C[i] >= 0) || !ExpectClose(C[i], expected, 1e-13L))
      return ::testing::AssertionFailure()
             << "species " << i << " at " << C[i] << ", not at " << (absent ? 0 : expected);
  }
  for (int k = 1; k <= nb; ++k) {
    long double sum = 0, size = 0;
    for (int i = 1; i <= ns; ++i) {
      sum += m.Stoich[i][k] * C[i];
      size += std::fabs(m.Stoich[i][k] * C[i]);
    }
    if (std::fabs(sum - Cbt[k]) > 1e-17L * size)
      return ::testing::AssertionFailure() << "balance " << k << ": " << sum << " for " << Cbt[k];
  }
  return ::testing::AssertionSuccess();
}

}  // namespace tarvolin::test
