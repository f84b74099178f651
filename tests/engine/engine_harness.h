#pragma once
// A model, a scripted platform, a report file and an engine for the engine tests, with small
// builders for systems of species and blocks, and an independent equilibrium solver.

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

// Free concentrations f(k) that satisfy Cbt(k) = sum_i a(i,k) beta(i) prod_k f(k)^a(i,k), found
// by a damped Newton iteration on the concentrations themselves (not their logarithms): each
// step solves the linear system by Gaussian elimination with partial pivoting and is halved
// until every f stays positive and the residual norm falls. Returns the species'
// concentrations (1-based).
inline long double speciesConcentration(const Model& m, int i, const std::vector<long double>& f,
                                        int nb) {
  long double c = std::pow(10.0L, m.lgBETA[i]);
  for (int k = 1; k <= nb; ++k) c *= std::pow(f[k], static_cast<long double>(m.Stoich[i][k]));
  return c;
}

inline std::vector<long double> solveIndependently(const Model& m, int nb, int ns,
                                                   const std::vector<long double>& Cbt,
                                                   std::vector<long double> f) {
  auto residual = [&](const std::vector<long double>& x, std::vector<long double>& r) {
    long double norm = 0;
    for (int k = 1; k <= nb; ++k) {
      long double s = 0;
      for (int i = 1; i <= ns; ++i) s += m.Stoich[i][k] * speciesConcentration(m, i, x, nb);
      r[k] = s - Cbt[k];
      norm += r[k] * r[k] / (Cbt[k] * Cbt[k] + 1e-300L);
    }
    return norm;
  };
  std::vector<long double> r(nb + 1), trial(nb + 1);
  long double norm = residual(f, r);
  for (int iteration = 0; iteration < 500 && norm > 0; ++iteration) {
    // J(k,l) = d r(k) / d f(l) = sum_i a(i,k) a(i,l) c(i) / f(l)
    std::vector<std::vector<long double>> J(nb + 1, std::vector<long double>(nb + 2, 0));
    for (int i = 1; i <= ns; ++i) {
      const long double c = speciesConcentration(m, i, f, nb);
      for (int k = 1; k <= nb; ++k)
        for (int l = 1; l <= nb; ++l) J[k][l] += m.Stoich[i][k] * m.Stoich[i][l] * c / f[l];
    }
    for (int k = 1; k <= nb; ++k) J[k][nb + 1] = -r[k];
    for (int col = 1; col <= nb; ++col) {
      int pivot = col;
      for (int row = col + 1; row <= nb; ++row)
        if (std::fabs(J[row][col]) > std::fabs(J[pivot][col])) pivot = row;
      std::swap(J[col], J[pivot]);
      for (int row = col + 1; row <= nb; ++row) {
        const long double factor = J[row][col] / J[col][col];
        for (int c = col; c <= nb + 1; ++c) J[row][c] -= factor * J[col][c];
      }
    }
    std::vector<long double> step(nb + 1);
    for (int row = nb; row >= 1; --row) {
      long double s = J[row][nb + 1];
      for (int c = row + 1; c <= nb; ++c) s -= J[row][c] * step[c];
      step[row] = s / J[row][row];
    }
    long double damping = 1;
    long double trialNorm = 0;
    bool moved = false;
    for (int halvings = 0; halvings < 80; ++halvings, damping /= 2) {
      bool positive = true;
      for (int k = 1; k <= nb; ++k) {
        trial[k] = f[k] + damping * step[k];
        positive = positive && trial[k] > 0;
      }
      if (!positive) continue;
      trialNorm = residual(trial, r);
      if (trialNorm < norm) {
        moved = true;
        break;
      }
    }
    if (!moved) break;
    f = trial;
    norm = trialNorm;
  }
  std::vector<long double> species(ns + 1, 0);
  for (int i = 1; i <= ns; ++i) species[i] = speciesConcentration(m, i, f, nb);
  return species;
}

}  // namespace tarvolin::test
