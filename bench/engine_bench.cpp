// Speed of the equilibrium engine: points solved per second by the speciation solver on the
// warm-start path of the simplex and Monte Carlo methods and on the gradient method's start
// path (a short mass-balance simplex before Newton-Raphson at every point), for a small and a
// large system, and objective evaluations per second for a 100-point titration.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <stdexcept>

#include "base/floating_point.h"
#include "base/platform.h"
#include "base/text_file.h"
#include "engine/engine.h"

namespace tarvolin {
namespace {

class SilentPlatform : public Platform {
 public:
  MessageResult showMessage(MessageKind, const std::string&, const std::string&,
                            MessageButtons) override {
    return MessageResult::Ok;
  }
  void processPendingEvents() override {}
  bool cancelRequested() override { return false; }
  bool hasProgressDisplay() override { return false; }
  void showProgress(const std::string&, const std::string&) override {}
  ClockReading now() override { return {}; }
  std::uint64_t tickCount() override { return 0; }
};

constexpr int kPoints = 100;

struct Bench {
  std::unique_ptr<Model> model = std::make_unique<Model>();
  SilentPlatform platform;
  TextWriter report;
  std::unique_ptr<Engine> engine;

  Bench() {
    if (!report.create("/dev/null")) throw std::runtime_error("cannot open /dev/null");
    engine = std::make_unique<Engine>(*model, platform, report);
  }

  void freeComponents(int nr, int ns) {
    Model& m = *model;
    m.NReactants = static_cast<std::uint8_t>(nr);
    m.NSpecies = static_cast<std::uint8_t>(ns);
    m.NInputReagents = static_cast<std::uint8_t>(nr);
    for (int i = 1; i <= nr; ++i) {
      m.Stoich[i][i] = 1;
      m.ReagentSpecies[i] = static_cast<std::uint8_t>(i);
      m.Purity[i] = 1;
    }
  }

  void species(int i, std::initializer_list<int> row, Real lgBeta) {
    int k = 1;
    for (int a : row) model->Stoich[i][k++] = static_cast<std::int8_t>(a);
    model->lgBETA[i] = lgBeta;
  }

  // One titration block of kPoints points: the last component is added from a burette.
  void titration(int method) {
    Model& m = *model;
    m.NBlocks = 1;
    m.NPoints[1] = kPoints;
    m.Method[1] = static_cast<std::int8_t>(method);
    m.BlockWeight[1] = 1;
    m.BlockFactor[1] = 1;
    const int nr = m.NReactants;
    for (int p = 1; p <= kPoints; ++p) {
      const Real added = 0.05L * p, volume = 25 + added;
      m.PointFactor[p] = 1;
      for (int j = 1; j < nr; ++j) m.Ct[p][j] = 1e-3L * (1 + 0.1L * j) * 25 / volume;
      m.Ct[p][nr] = 0.05L * added / volume;
    }
  }

  void run(int fittingMethod, Real step) {
    model->FittingMethod = static_cast<std::uint8_t>(fittingMethod);
    model->Step = step;
    engine->startRun();
  }
};

// Components M, L, H; species M, L, H, ML, ML2, ML3, HL, H2L, MHL, M2L.
void smallSystem(Bench& b) {
  b.freeComponents(3, 10);
  b.species(4, {1, 1, 0}, 4);
  b.species(5, {1, 2, 0}, 7.5L);
  b.species(6, {1, 3, 0}, 10);
  b.species(7, {0, 1, 1}, 9);
  b.species(8, {0, 1, 2}, 15);
  b.species(9, {1, 1, 1}, 12);
  b.species(10, {2, 1, 0}, 6);
  b.titration(2);
}

// Ten components and fifty complexes of two or three of them (coefficients 1 or 2, lg beta 2
// to 8).
void largeSystem(Bench& b) {
  b.freeComponents(10, 60);
  std::mt19937 random(60);
  std::uniform_int_distribution<int> component(1, 10), coefficient(1, 2), parts(2, 3);
  std::uniform_real_distribution<double> lgBeta(2, 8);
  for (int i = 11; i <= 60; ++i) {
    const int n = parts(random);
    for (int t = 0; t < n; ++t)
      b.model->Stoich[i][component(random)] = static_cast<std::int8_t>(coefficient(random));
    b.model->lgBETA[i] = lgBeta(random);
  }
  b.titration(2);
}

void solveAllPoints(benchmark::State& state, void (*build)(Bench&), int fittingMethod, Real step) {
  Bench b;
  build(b);
  b.run(fittingMethod, step);
  // The system must solve cleanly on this path, or the figures would time the fallbacks.
  try {
    for (int p = 1; p <= kPoints; ++p) {
      b.model->CurrentPoint = static_cast<std::uint16_t>(p);
      b.engine->CALC();
      throwOnFloatingPointFault();
    }
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
    return;
  }
  if (b.engine->MassBalanceNoticeShown) {
    state.SkipWithError("the mass-balance fallback was needed");
    return;
  }
  for (auto _ : state) {
    for (int p = 1; p <= kPoints; ++p) {
      b.model->CurrentPoint = static_cast<std::uint16_t>(p);
      b.engine->CALC();
    }
    benchmark::DoNotOptimize(b.engine->main.C[1]);
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_CalcWarmStartSmall(benchmark::State& state) {
  solveAllPoints(state, smallSystem, 2, 0.12L);
}
void BM_CalcWarmStartLarge(benchmark::State& state) {
  solveAllPoints(state, largeSystem, 2, 0.12L);
}
void BM_CalcGradientStartSmall(benchmark::State& state) {
  solveAllPoints(state, smallSystem, 1, 0.12L);
}
void BM_CalcGradientStartLarge(benchmark::State& state) {
  solveAllPoints(state, largeSystem, 1, 0.12L);
}

// A 100-point potentiometric titration of the small system (method 8, E = Fo + 59.16 lg[H])
// with three lgBETA and Fo in the parameter vector.
void BM_EvaluateObjective100Points(benchmark::State& state) {
  Bench b;
  smallSystem(b);
  Model& m = *b.model;
  m.Method[1] = 8;
  m.Fo[1] = 400;
  m.AV[3][1] = 59.16L;
  m.FitBeta[4] = m.FitBeta[5] = m.FitBeta[7] = 1;
  m.FitBlock[1] = 1;
  b.run(2, 0.12L);
  for (int p = 1; p <= kPoints; ++p) {
    m.CurrentPoint = static_cast<std::uint16_t>(p);
    b.engine->CALC();
    m.Yexp[p] = 400 + 59.16L * std::log10(b.engine->main.C[3]) + 0.1L * (p % 3);
  }
  b.engine->ParamScale = 1;
  b.engine->PackParameters();
  for (auto _ : state) benchmark::DoNotOptimize(b.engine->EvaluateObjective());
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_CalcWarmStartSmall);
BENCHMARK(BM_CalcWarmStartLarge);
BENCHMARK(BM_CalcGradientStartSmall);
BENCHMARK(BM_CalcGradientStartLarge);
BENCHMARK(BM_EvaluateObjective100Points);

}  // namespace
}  // namespace tarvolin
