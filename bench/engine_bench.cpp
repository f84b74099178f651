// Speed of the equilibrium engine: points solved per second by the speciation solver on the
// warm-start path of the simplex and Monte Carlo methods and on the gradient method's start
// path (a short mass-balance simplex before Newton-Raphson at every point), for a small and a
// large system, and objective evaluations per second for a 100-point titration.
//
// Beside Engine::CALC, the minimal loop of minimal_solver.h solves the same points of a
// copper-glycine-proton titration (3 components, 9 species) as the yardstick: the engine's
// points per second should be at least the loop's on both paths. Both give the same
// concentrations bit for bit (checked before timing), so they do the same work.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/floating_point.h"
#include "base/platform.h"
#include "base/text_file.h"
#include "bench/minimal_solver.h"
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
    m.growTables();
    m.growPoints(kPoints);
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
    // The gradient method solves each point once per set of parameters (a repeated solve
    // would be taken from the kept solutions): each sweep is a new run.
    if (fittingMethod == kGradient) b.engine->startRun();
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

// Cu(II), glycine (L) and protons: species Cu, L, H, CuL, CuL2, HL, H2L, OH, CuOH; input
// reagents Cu, L, H and OH (the titrant). 25 ml of Cu 1 mM, glycine 2.5 mM and HCl 6 mM
// titrated with 0.1 M NaOH, 100 points from pH 2.5 to 11.
const std::vector<std::vector<int>> kCuGlyStoich = {{1, 0, 0}, {0, 1, 0},  {0, 0, 1},
                                                    {1, 1, 0}, {1, 2, 0},  {0, 1, 1},
                                                    {0, 1, 2}, {0, 0, -1}, {1, 0, -1}};
const std::vector<long double> kCuGlyLgBeta = {0,     0,      0,       8.15L, 15.03L,
                                               9.57L, 11.92L, -13.78L, -7.9L};

void cuGlycine(Bench& b) {
  Model& m = *b.model;
  b.freeComponents(3, 9);
  for (int i = 1; i <= 9; ++i) {
    for (int k = 1; k <= 3; ++k)
      m.Stoich[i][k] = static_cast<std::int8_t>(kCuGlyStoich[i - 1][k - 1]);
    m.lgBETA[i] = kCuGlyLgBeta[i - 1];
  }
  m.NInputReagents = 4;
  m.ReagentSpecies[4] = 8;
  m.Purity[4] = 1;
  m.NBlocks = 1;
  m.NPoints[1] = kPoints;
  m.Method[1] = 8;
  m.growTables();
  m.growPoints(kPoints);
  for (int p = 1; p <= kPoints; ++p) {
    const Real added = 0.04L * (p - 1), volume = 25 + added;
    m.Ct[p][1] = 1e-3L * 25 / volume;
    m.Ct[p][2] = 2.5e-3L * 25 / volume;
    m.Ct[p][3] = (2 * 2.5e-3L + 6e-3L) * 25 / volume;
    m.Ct[p][4] = 0.1L * added / volume;
  }
}

// The totals Cbt of the components at every point, as the engine forms them.
std::vector<std::vector<long double>> cuGlycineTotals(const Model& m) {
  std::vector<std::vector<long double>> totals;
  for (int p = 1; p <= kPoints; ++p) {
    std::vector<long double> Cbt(3, 0);
    for (int j = 1; j <= m.NInputReagents; ++j)
      for (int k = 1; k <= 3; ++k)
        if (const int a = m.Stoich[m.ReagentSpecies[j]][k]; a != 0) Cbt[k - 1] += m.Ct[p][j] * a;
    totals.push_back(Cbt);
  }
  return totals;
}

// The engine's and the minimal loop's sweeps over the titration, each point warm from the
// one before or from the gradient method's simplex start.
struct CuGlycinePair {
  Bench engine;
  bench::MinimalSolver loop;
  std::vector<std::vector<long double>> totals;
  bool gradientStart;

  explicit CuGlycinePair(bool gradient) : gradientStart(gradient) {
    cuGlycine(engine);
    engine.run(gradient ? kGradient : kSimplex, 0.12L);
    loop.setUp(3, kCuGlyStoich, kCuGlyLgBeta);
    totals = cuGlycineTotals(*engine.model);
    // The loop's first warm start: the engine's start from the totals at point 1.
    engine.model->CurrentPoint = 1;
    engine.engine->CALC();
    for (int k = 0; k < 3; ++k) loop.x[k] = engine.engine->main.LnFree[k + 1];
  }
  void loopPoint(int p) {
    if (gradientStart) loop.simplexStart(totals[p - 1].data(), 0.12L);
    loop.newton(totals[p - 1].data());
  }
  // Each sweep of the gradient method's start is a new run (see solveAllPoints).
  void engineSweep() {
    if (gradientStart) engine.engine->startRun();
    for (int p = 1; p <= kPoints; ++p) enginePoint(p);
  }
  void enginePoint(int p) {
    engine.model->CurrentPoint = static_cast<std::uint16_t>(p);
    engine.engine->CALC();
  }
  // Both solve every point to the same bits.
  std::string disagreement() {
    for (int p = 1; p <= kPoints; ++p) {
      enginePoint(p);
      loopPoint(p);
      for (int i = 0; i < 9; ++i)
        if (engine.engine->main.C[i + 1] != loop.C[i])
          return "point " + std::to_string(p) + " species " + std::to_string(i + 1);
    }
    if (engine.engine->MassBalanceNoticeShown) return "the mass-balance fallback was needed";
    return "";
  }
};

void BM_CuGlycineEngine(benchmark::State& state) {
  CuGlycinePair pair(state.range(0) == 1);
  if (const std::string error = pair.disagreement(); !error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    pair.engineSweep();
    benchmark::DoNotOptimize(pair.engine.engine->main.C[1]);
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_CuGlycineMinimalLoop(benchmark::State& state) {
  CuGlycinePair pair(state.range(0) == 1);
  if (const std::string error = pair.disagreement(); !error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    for (int p = 1; p <= kPoints; ++p) pair.loopPoint(p);
    benchmark::DoNotOptimize(pair.loop.C[0]);
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

// Argument 0: warm starts (simplex and Monte Carlo); 1: the gradient method's start.
BENCHMARK(BM_CuGlycineEngine)->ArgName("gradientStart")->Arg(0)->Arg(1);
BENCHMARK(BM_CuGlycineMinimalLoop)->ArgName("gradientStart")->Arg(0)->Arg(1);
BENCHMARK(BM_CalcWarmStartSmall);
BENCHMARK(BM_CalcWarmStartLarge);
BENCHMARK(BM_CalcGradientStartSmall);
BENCHMARK(BM_CalcGradientStartLarge);
BENCHMARK(BM_EvaluateObjective100Points);

}  // namespace
}  // namespace tarvolin
