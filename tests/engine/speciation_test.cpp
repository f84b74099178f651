// Speciation: free and species concentrations against solutions found another way, the
// start-value and warm-start rules, the Cholesky solver and the mass balances of every example.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/floating_point.h"
#include "engine/engine.h"
#include "tests/engine/engine_harness.h"

namespace tarvolin::test {
namespace {

// Batch points of one block: Ct of each input reagent per point.
void batchPoints(EngineHarness& h, const std::vector<std::vector<long double>>& totals) {
  h.block(1, static_cast<int>(totals.size()), 0);
  for (std::size_t p = 0; p < totals.size(); ++p)
    for (std::size_t j = 0; j < totals[p].size(); ++j) h.model->Ct[p + 1][j + 1] = totals[p][j];
}

// Random systems of 3 or 4 components and up to 12 species with strongly complexing species
// (coefficients 0..3, lg beta -2..14; totals from 1e-5 to 1e-2 mol/l, jumping from point to
// point) reach the equilibrium of their totals: from the totals (Step 0.2), from the previous
// point's solution (Step below 0.17: warm starts from the second point on), and from the
// gradient method's short simplex (never warm).
TEST(SpeciationTest, RandomSystemsReachTheirEquilibrium) {
  std::uniform_int_distribution<int> coefficient(0, 3);
  std::uniform_real_distribution<double> lgBeta(-2, 14), lgTotal(-5, -2);
  for (const auto& [method, step] :
       {std::pair{2, 0.2L}, std::pair{3, 0.12L}, std::pair{1, 0.12L}}) {
    for (int trial = 0; trial < 12; ++trial) {
      const int nb = 3 + trial % 2, ns = nb + 4 + trial % 5, points = 6;
      EngineHarness h;
      Model& m = *h.model;
      h.system(nb, ns);
      std::mt19937 local(trial);
      for (int i = nb + 1; i <= ns; ++i) {
        int sum = 0;
        for (int k = 1; k <= nb; ++k)
          sum += m.Stoich[i][k] = static_cast<std::int8_t>(coefficient(local));
        if (sum == 0) m.Stoich[i][1 + i % nb] = 1;
        m.lgBETA[i] = lgBeta(local);
      }
      h.block(1, points, 0);
      for (int p = 1; p <= points; ++p)
        for (int j = 1; j <= nb; ++j) m.Ct[p][j] = std::pow(10.0L, lgTotal(local));
      m.Step = step;
      h.startRun(method);
      for (int p = 1; p <= points; ++p) {
        m.CurrentPoint = static_cast<std::uint16_t>(p);
        h.engine->CALC();
        ASSERT_TRUE(IsEquilibrium(m, nb, ns, h.engine->main.C, {m.Ct[p], m.Ct[p] + nb + 1}))
            << "trial " << trial << " method " << method << " point " << p;
      }
      EXPECT_TRUE(h.reportText().empty()) << "no fallback notice expected";
      EXPECT_EQ(h.engine->WarmStart, method != kGradient && step < 0.17L ? -1 : 0);
    }
  }
}

// Components absent at a point: the guest before the first addition, a blank without metal,
// both partners of a hydrolysed metal. Their species are exactly 0 and the others at the
// equilibrium of the present components, by the gradient method's start, from the totals
// (Step 0.2) and from warm starts (Step 0.12) across points where the set of present
// components changes, on both bases. A zero proton total that hydroxide balances (no acid, no
// base added) is an ordinary balance, as is one that the hydroxo complex of a present metal
// balances; excess hydroxide (a negative proton total) is solved as before.
TEST(SpeciationTest, AbsentComponentsLeaveTheirSpeciesAtZero) {
  struct Case {
    int nb;
    std::vector<std::pair<std::vector<int>, long double>> complexes;
    std::vector<std::vector<long double>> totals;  // of the free components, point by point
  };
  const Case cases[] = {
      {2,  // host, guest: HG, HG2
       {{{1, 1}, 2.85L}, {{1, 2}, 4.5L}},
       {{2e-3L, 0}, {2e-3L, 1e-3L}, {2e-3L, 0}, {0, 3e-3L}, {2e-3L, 4e-3L}, {0, 0}}},
      {3,  // H, L, Cu: HL, H2L, OH, CuL, CuL2, CuOH
       {{{1, 1, 0}, 9.93L},
        {{2, 1, 0}, 17.08L},
        {{-1, 0, 0}, -13.78L},
        {{0, 1, 1}, 10.55L},
        {{0, 2, 1}, 19.65L},
        {{-1, 0, 1}, -8.0L}},
       {{0.01L, 4e-3L, 0},
        {0, 4e-3L, 0},
        {-2e-3L, 4e-3L, 0},
        {0.01L, 4e-3L, 2e-3L},
        {0, 0, 2e-3L},
        {0.01L, 0, 2e-3L}}},
      {2,  // M, H: MH-1 only
       {{{1, -1}, -8.0L}},
       {{0, 0}, {1e-3L, 0}, {0, 1e-3L}, {0, 0}}},
  };
  for (const Case& c : cases) {
    const int nb = c.nb, ns = nb + static_cast<int>(c.complexes.size());
    const int points = static_cast<int>(c.totals.size());
    for (const auto& [method, step] :
         {std::pair{1, 0.12L}, std::pair{2, 0.2L}, std::pair{2, 0.12L}, std::pair{3, 0.12L}}) {
      EngineHarness h;
      Model& m = *h.model;
      h.system(nb, ns);
      for (int i = nb + 1; i <= ns; ++i) {
        const auto& [row, lgBeta] = c.complexes[i - nb - 1];
        for (int k = 1; k <= nb; ++k) m.Stoich[i][k] = static_cast<std::int8_t>(row[k - 1]);
        m.lgBETA[i] = lgBeta;
      }
      batchPoints(h, c.totals);
      m.Step = step;
      m.ActiveReactants = static_cast<std::uint8_t>(nb);
      m.ActiveSpecies = static_cast<std::uint8_t>(ns);
      h.startRun(method);
      for (int p = 1; p <= points; ++p) {
        m.CurrentPoint = static_cast<std::uint16_t>(p);
        for (int k = 1; k <= nb; ++k) m.CtBefore[p][k] = m.Ct[p][k];
        h.engine->CALC();
        h.engine->CALCI();
        for (const Basis* basis : {&h.engine->main, &h.engine->before})
          EXPECT_TRUE(IsEquilibrium(m, nb, ns, basis->C, {m.Ct[p], m.Ct[p] + nb + 1}))
              << "nb " << nb << " method " << method << " step " << static_cast<double>(step)
              << " point " << p;
      }
      EXPECT_EQ(h.reportText(), "");
    }
  }
}

// Totals: purity scales a reagent's total only when it is fitted, and a complex as input
// reagent counts toward every component of its row. Species that are only the free
// components take their totals.
TEST(SpeciationTest, TotalsWithPuritiesAndComplexReagents) {
  EngineHarness h;
  Model& m = *h.model;
  h.system(2, 3);
  h.species(3, {1, 2}, 8);
  m.NInputReagents = 3;
  m.growTables();
  m.ReagentSpecies[3] = 3;
  m.Purity[1] = 0.5L, m.FitPurity[1] = 1;
  m.Purity[2] = 0.25L, m.FitPurity[2] = 0;
  m.Purity[3] = 0.8L, m.FitPurity[3] = 1;
  batchPoints(h, {{1e-3L, 2e-3L, 1e-4L}});
  m.CurrentPoint = 1;
  h.startRun(2);
  h.engine->CALC();
  EXPECT_TRUE(ExpectClose(h.engine->main.Cbt[1], 1e-3L * 0.5L + 1e-4L * 0.8L, 1e-18L));
  EXPECT_TRUE(ExpectClose(h.engine->main.Cbt[2], 2e-3L + 2 * 1e-4L * 0.8L, 1e-18L));
  m.NSpecies = 2;
  h.engine->CALC();
  EXPECT_EQ(h.engine->main.C[1], h.engine->main.Cbt[1]);
  EXPECT_EQ(h.engine->main.C[2], h.engine->main.Cbt[2]);
}

// The decomposition and substitution of two and three unknowns are written out, and must give
// bit for bit (the sign of a zero included) what the loops give. The loops for four unknowns
// on the system bordered by decoupled unknowns (a unit diagonal, zeros beside it and in the
// right-hand side) do the very operations of the loops for two or three, followed by additions
// of +0 that change no sum. Random positive definite matrices, right-hand sides with zeros of
// either sign, and matrices that fail at each pivot.
TEST(CholeskySolveTest, WrittenOutSmallSizesAreTheLoopsBitForBit) {
  std::mt19937 random(15);
  std::uniform_real_distribution<double> entry(-1, 1);
  EngineHarness h;
  Engine& e = *h.engine;
  auto solve = [&e](int n, const std::vector<Real>& J, const std::vector<Real>& r) {
    for (std::size_t t = 1; t < J.size(); ++t) e.NewtonMatrix[t] = J[t];
    for (int k = 1; k <= n; ++k) e.NewtonRhs[k] = r[k];
    e.CholeskySolve(n);
    return std::vector<Real>(e.NewtonRhs + 1, e.NewtonRhs + n + 1);
  };
  for (int n : {2, 3}) {
    for (int trial = 0; trial < 200; ++trial) {
      // J = A A^T + d I, with d below zero in some trials so that a pivot fails.
      std::vector<Real> A(n * n), J(11, 0), r(5, 0);
      for (Real& a : A) a = entry(random);
      const Real d = trial % 5 == 0 ? -0.5L : 1e-3L;
      for (int k = 1, t = 1; k <= n; ++k)
        for (int l = 1; l <= k; ++l, ++t) {
          Real s = k == l ? d : 0;
          for (int m = 0; m < n; ++m) s += A[(k - 1) * n + m] * A[(l - 1) * n + m];
          J[t] = trial % 7 == 1 && k != l ? Real(0) : s;
        }
      for (int k = 1; k <= n; ++k)
        r[k] = trial % 3 == 0 ? ((k + trial) % 2 ? -0.0L : 0.0L) : entry(random);
      std::vector<Real> bordered = J;
      for (int k = n + 1; k <= 4; ++k) bordered[k * (k + 1) / 2] = 1;
      const std::vector<Real> loops = solve(4, bordered, r);
      const int failed = e.IERR;
      const std::vector<Real> written = solve(n, J, r);
      ASSERT_EQ(e.IERR, failed) << n << " " << trial;
      for (int k = 0; k < n && failed == 0; ++k) {
        EXPECT_EQ(written[k], loops[k]) << n << " " << trial << " " << k;
        EXPECT_EQ(std::signbit(written[k]), std::signbit(loops[k])) << n << " " << trial;
      }
    }
  }
}

// A solve that starts from the totals is taken again from its first result only for the same
// point, totals and parameters: after each change below, solving point 1 (and the scratch
// point 0 with the totals of point 2) gives bit for bit what a fresh engine gives for the
// changed model, never the kept solution of the model before.
TEST(SpeciationTest, KeptSolutionsFollowEveryChangeOfTheirInputs) {
  struct Change {
    const char* what;
    void (*apply)(Model&);
  };
  const Change changes[] = {
      {"nothing", [](Model&) {}},
      {"lgBETA", [](Model& m) { m.lgBETA[4] = 7.6L; }},
      {"stoichiometry", [](Model& m) { m.Stoich[4][2] = 1; }},
      {"total", [](Model& m) { m.Ct[1][2] = 2.5e-3L; }},
      {"purity", [](Model& m) { m.FitPurity[1] = 1, m.Purity[1] = 0.9L; }},
      {"step", [](Model& m) { m.Step = 0.2L; }},
  };
  auto build = [](EngineHarness& h) {
    h.system(2, 4);
    h.species(3, {1, 1}, 4);
    h.species(4, {1, 2}, 7.5L);
    batchPoints(h, {{1e-3L, 2e-3L}, {1e-3L, 3e-3L}});
    h.model->growPoints(2);
  };
  auto solve = [](EngineHarness& h, int p) {
    h.model->CurrentPoint = static_cast<std::uint16_t>(p);
    if (p == 0)
      for (int j = 1; j <= 2; ++j) h.model->Ct[0][j] = h.model->Ct[2][j];
    h.engine->CALC();
    return std::vector<long double>(h.engine->main.C + 1, h.engine->main.C + 5);
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    EngineHarness h;
    build(h);
    h.startRun(kGradient);
    solve(h, 1);
    solve(h, 2);
    change.apply(*h.model);
    EngineHarness fresh;
    build(fresh);
    change.apply(*fresh.model);
    fresh.startRun(kGradient);
    EXPECT_EQ(solve(h, 1), solve(fresh, 1));
    EXPECT_EQ(solve(h, 0), solve(fresh, 0));
    EXPECT_EQ(solve(h, 1), solve(fresh, 1));
  }
}

// Every point of every example file (the first system of each) is at the equilibrium of its
// totals, on the main basis and, in increment-mode blocks, on the basis before the addition:
// from the gradient method's start and from the others' warm starts.
TEST(SpeciationTest, EveryExamplePointReachesItsEquilibrium) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sourcePath("examples"))) {
    if (entry.path().extension() != ".DAT") continue;
    ++files;
    for (int method : {1, 2}) {
      EngineHarness h;
      Model& m = *h.model;
      ASSERT_TRUE(readDatText(readFile(entry.path().string()), m, h.platform)) << entry.path();
      h.startRun(method);
      auto expect = [&](const Basis& basis, int nb, int ns, int p) {
        EXPECT_TRUE(IsEquilibrium(m, nb, ns, basis.C, {basis.Cbt, basis.Cbt + nb + 1}))
            << entry.path().filename() << " method " << method << " point " << p;
      };
      for (int b = 1, p = 1; b <= m.NBlocks; ++b) {
        for (int j = 1; j <= m.NPoints[b]; ++j, ++p) {
          h.engine->CalculatePoint(b, p);
          ASSERT_EQ(raisedFloatingPointFault(), FloatingPointFault::None);
          expect(h.engine->main, m.NReactants, m.NSpecies, p);
          if (m.IncrementMode[b] == 1)
            expect(h.engine->before, m.ActiveReactants, m.ActiveSpecies, p);
        }
      }
      EXPECT_TRUE(h.reportText().empty()) << entry.path() << " needed the fallback";
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace tarvolin::test
