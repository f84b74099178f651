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
#include "model/dat_reader.h"
#include "model/word_reader.h"
#include "tests/engine/engine_harness.h"

namespace tarvolin::test {
namespace {

constexpr long double kTight = 1e-12L;

// Batch points of one block: Ct of each input reagent per point.
void batchPoints(EngineHarness& h, const std::vector<std::vector<long double>>& totals) {
  h.block(1, static_cast<int>(totals.size()), 0);
  for (std::size_t p = 0; p < totals.size(); ++p)
    for (std::size_t j = 0; j < totals[p].size(); ++j) h.model->Ct[p + 1][j + 1] = totals[p][j];
}

// Protonation of a ligand L with water's hydroxide: components H and L, species H, L, HL,
// H2L.., OH. For given h, [L] = Lt / (1 + sum b_n h^n) and the proton balance
// h + sum n b_n h^n [L] - Kw / h = Ht rises with h, so bisection on lg h over [-16, 1] finds
// it. A monoprotic acid HA neutralised by hydroxide (input reagents HA and OH: Ht = cHA - cOH,
// Lt = cHA) from the totals at every point (Step >= 0.17); a diprotic ligand (reagents H and
// L) with warm starts from the second point on (Step below 0.17), except with the gradient
// method, which never uses them.
TEST(SpeciationTest, ProtonationMatchesBisection) {
  struct Case {
    std::vector<long double> lgBeta;  // of HL, H2L, ...
    long double lgKw;
    bool acidAndBase;
    Real step;
    std::vector<std::vector<long double>> totals;
  };
  for (const Case& c :
       {Case{
            {4.76L},
            -13.8L,
            true,
            0.2L,
            {{0.01L, 1e-9L}, {0.01L, 0.002L}, {0.01L, 0.005L}, {0.01L, 0.009L}, {0.002L, 0.0019L}}},
        Case{{9.9L, 16.0L},
             -13.78L,
             false,
             0.12L,
             {{0.02L, 0.01L}, {0.012L, 0.01L}, {0.008L, 0.01L}, {0.001L, 0.01L}}}}) {
    const int nh = static_cast<int>(c.lgBeta.size());
    for (int method : {1, 2, 3}) {
      EngineHarness h;
      h.system(2, 3 + nh);
      for (int n = 1; n <= nh; ++n) h.species(2 + n, {n, 1}, c.lgBeta[n - 1]);
      h.species(3 + nh, {-1, 0}, c.lgKw);
      if (c.acidAndBase) h.model->ReagentSpecies[1] = 3, h.model->ReagentSpecies[2] = 4;
      h.model->Step = c.step;
      batchPoints(h, c.totals);
      h.startRun(method);
      const long double Kw = std::pow(10.0L, c.lgKw);
      for (int p = 1; p <= static_cast<int>(c.totals.size()); ++p) {
        h.model->CurrentPoint = static_cast<std::uint16_t>(p);
        h.engine->CALC();
        const long double t1 = h.model->Ct[p][1], t2 = h.model->Ct[p][2];
        const long double Ht = c.acidAndBase ? t1 - t2 : t1, Lt = c.acidAndBase ? t1 : t2;
        auto ligand = [&](long double x) {
          long double d = 1;
          for (int n = 1; n <= nh; ++n) d += std::pow(10.0L, c.lgBeta[n - 1]) * std::pow(x, n);
          return Lt / d;
        };
        auto bound = [&](long double x, int n) {
          return std::pow(10.0L, c.lgBeta[n - 1]) * std::pow(x, n) * ligand(x);
        };
        long double lo = -16, hi = 1;
        for (int i = 0; i < 200; ++i) {
          const long double mid = (lo + hi) / 2, x = std::pow(10.0L, mid);
          long double excess = x - Kw / x - Ht;
          for (int n = 1; n <= nh; ++n) excess += n * bound(x, n);
          (excess > 0 ? hi : lo) = mid;
        }
        const long double x = std::pow(10.0L, (lo + hi) / 2);
        const Real* C = h.engine->main.C;
        EXPECT_TRUE(ExpectClose(h.engine->main.Cbt[1], Ht, 1e-18L));
        EXPECT_TRUE(ExpectClose(C[1], x, kTight)) << "method " << method << " point " << p;
        EXPECT_TRUE(ExpectClose(C[2], ligand(x), kTight));
        for (int n = 1; n <= nh; ++n) EXPECT_TRUE(ExpectClose(C[2 + n], bound(x, n), kTight));
        EXPECT_TRUE(ExpectClose(C[3 + nh], Kw / x, kTight));
      }
      EXPECT_EQ(h.engine->WarmStart, method != 1 && c.step < 0.17L ? -1 : 0);
    }
  }
}

// Random systems of 3 or 4 components and up to 12 species with strongly complexing species
// (coefficients 0..3, lg beta -2..14; totals from 1e-5 to 1e-2 mol/l, jumping from point to
// point) against the damped Newton iteration on plain concentrations of the harness: from the
// totals (Step 0.2), from the previous point's solution (Step 0.12), and from the gradient
// method's short simplex.
TEST(SpeciationTest, RandomSystemsMatchIndependentSolution) {
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
        const std::vector<long double> Cbt(m.Ct[p], m.Ct[p] + nb + 1);
        const std::vector<long double> expected = solveIndependently(m, nb, ns, Cbt, Cbt);
        for (int i = 1; i <= ns; ++i)
          ASSERT_TRUE(ExpectClose(h.engine->main.C[i], expected[i], kTight))
              << "trial " << trial << " method " << method << " point " << p << " species " << i;
      }
      EXPECT_TRUE(h.reportText().empty()) << "no fallback notice expected";
    }
  }
}

// Components absent at a point: the guest before the first addition, a blank without metal,
// both partners of a hydrolysed metal. Against the harness' solver with every zero total
// replaced by 1e-30 mol/l, the limit of a vanishing total: species that vanish with it are
// exactly 0, the others agree, by the gradient method's start, from the totals (Step 0.2) and
// from warm starts (Step 0.12) across points where the set of present components changes, on
// both bases. A zero proton total that hydroxide balances (no acid, no base added) is an
// ordinary balance, as is one that the hydroxo complex of a present metal balances; excess
// hydroxide (a negative proton total) is solved as before.
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
        std::vector<long double> Cbt(nb + 1), start(nb + 1);
        for (int k = 1; k <= nb; ++k) {
          m.CtBefore[p][k] = m.Ct[p][k];
          Cbt[k] = m.Ct[p][k] == 0 ? 1e-30L : m.Ct[p][k];
          start[k] = Cbt[k] > 1e-20L ? Cbt[k] : 1e-7L;
        }
        const std::vector<long double> expected = solveIndependently(m, nb, ns, Cbt, start);
        h.engine->CALC();
        h.engine->CALCI();
        for (const Basis* basis : {&h.engine->main, &h.engine->before}) {
          for (int i = 1; i <= ns; ++i) {
            if (expected[i] < 1e-20L) {
              EXPECT_EQ(basis->C[i], 0)
                  << "nb " << nb << " method " << method << " step " << static_cast<double>(step)
                  << " point " << p << " species " << i;
            } else {
              EXPECT_TRUE(ExpectClose(basis->C[i], expected[i], kTight))
                  << "nb " << nb << " method " << method << " step " << static_cast<double>(step)
                  << " point " << p << " species " << i;
            }
          }
        }
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

// The basis before an addition: the leading ActiveReactants components and ActiveSpecies
// species with totals from CtBefore, solved into its own record.
TEST(SpeciationTest, BeforeBasisSolvesTheLeadingSubsystem) {
  EngineHarness h;
  h.system(3, 6);
  h.species(4, {1, 1, 0}, 4);
  h.species(5, {1, 2, 0}, 7);
  h.species(6, {1, 1, 1}, 9);
  batchPoints(h, {{1e-3L, 2e-3L, 1e-3L}});
  h.model->CtBefore[1][1] = 1e-3L;
  h.model->CtBefore[1][2] = 5e-4L;
  h.model->CtBefore[1][3] = 4e-4L;
  for (int method : {1, 2}) {
    h.startRun(method);
    h.model->CurrentPoint = 1;
    h.model->ActiveReactants = 2;
    h.model->ActiveSpecies = 5;
    h.engine->CALC();
    const std::vector<long double> mainC(h.engine->main.C, h.engine->main.C + 7);
    h.engine->CALCI();
    const std::vector<long double> expected =
        solveIndependently(*h.model, 2, 5, {0, 1e-3L, 5e-4L}, {0, 1e-3L, 5e-4L});
    for (int i = 1; i <= 5; ++i)
      EXPECT_TRUE(ExpectClose(h.engine->before.C[i], expected[i], kTight));
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(h.engine->main.C[i], mainC[i]) << "main basis kept";
  }
}

// A 3 x 3 symmetric positive definite system J delta = r with J = [[4, 2, 2], [2, 5, 3],
// [2, 3, 6]] and r = J (1, -2, 3): the solution is (1, -2, 3). A matrix with a non-positive
// pivot sets IERR; one unknown is a plain division.
TEST(CholeskySolveTest, SolvesPackedSystemsAndFlagsIndefiniteOnes) {
  EngineHarness h;
  Engine& e = *h.engine;
  const Real J[7] = {0, 4, 2, 5, 2, 3, 6};
  for (int t = 1; t <= 6; ++t) e.NewtonMatrix[t] = J[t];
  const Real r[4] = {0, 4 - 4 + 6, 2 - 10 + 9, 2 - 6 + 18}, x[4] = {0, 1, -2, 3};
  for (int k = 1; k <= 3; ++k) e.NewtonRhs[k] = r[k];
  e.CholeskySolve(3);
  EXPECT_EQ(e.IERR, 0);
  for (int k = 1; k <= 3; ++k) EXPECT_TRUE(ExpectClose(e.NewtonRhs[k], x[k], 1e-18L)) << k;

  const Real indefinite[4] = {0, 1, 2, 1};  // [[1, 2], [2, 1]]
  for (int t = 1; t <= 3; ++t) e.NewtonMatrix[t] = indefinite[t];
  e.CholeskySolve(2);
  EXPECT_NE(e.IERR, 0);

  e.NewtonMatrix[1] = 4;
  e.NewtonRhs[1] = 3;
  e.CholeskySolve(1);
  EXPECT_EQ(e.IERR, 0);
  EXPECT_EQ(e.NewtonRhs[1], 0.75L);
}

// The decomposition and substitution of two and three unknowns, written out, give bit for bit
// (the sign of a zero included) what the loops for any size give: random positive definite
// matrices, right-hand sides with zeros of either sign, and matrices that fail at each pivot.
TEST(CholeskySolveTest, WrittenOutSmallSizesAreTheLoopsBitForBit) {
  // The loops: s = J(k,l) - sum_{t<l} L(k,t) L(l,t), sums from +0; 1/sqrt on the diagonal.
  auto reference = [](int n, std::vector<Real> J, std::vector<Real> r, int& failed) {
    auto at = [](int k, int l) { return k * (k - 1) / 2 + l; };
    failed = 0;
    for (int k = 1; k <= n && failed == 0; ++k)
      for (int l = 1; l <= k; ++l) {
        Real sum = 0;
        for (int t = 1; t < l; ++t) sum += J[at(k, t)] * J[at(l, t)];
        const Real s = J[at(k, l)] - sum;
        if (l < k) {
          J[at(k, l)] = s * J[at(l, l)];
        } else if (s <= 0) {
          failed = k;
          break;
        } else {
          J[at(k, k)] = 1 / std::sqrt(s);
        }
      }
    if (failed != 0) return r;
    for (int k = 1; k <= n; ++k) {
      Real sum = 0;
      for (int t = 1; t < k; ++t) sum += J[at(k, t)] * r[t];
      r[k] = (r[k] - sum) * J[at(k, k)];
    }
    for (int k = n; k >= 1; --k) {
      Real sum = 0;
      for (int t = k + 1; t <= n; ++t) sum += J[at(t, k)] * r[t];
      r[k] = (r[k] - sum) * J[at(k, k)];
    }
    return r;
  };
  std::mt19937 random(15);
  std::uniform_real_distribution<double> entry(-1, 1);
  EngineHarness h;
  Engine& e = *h.engine;
  for (int n : {2, 3, 4}) {
    for (int trial = 0; trial < 200; ++trial) {
      // J = A A^T + d I, with d below zero in some trials so that a pivot fails.
      std::vector<Real> A(n * n), J(n * (n + 1) / 2 + 1), r(n + 1);
      for (Real& a : A) a = entry(random);
      const Real d = trial % 5 == 0 ? -0.5L : 1e-3L;
      for (int k = 1, t = 1; k <= n; ++k)
        for (int l = 1; l <= k; ++l, ++t) {
          Real s = k == l ? d : 0;
          for (int m = 0; m < n; ++m) s += A[(k - 1) * n + m] * A[(l - 1) * n + m];
          J[t] = trial % 7 == 1 && k != l ? Real(0) : s;
        }
      for (int k = 1; k <= n; ++k) r[k] = trial % 3 == 0 ? (k % 2 ? -0.0L : 0.0L) : entry(random);
      int failed = 0;
      const std::vector<Real> expected = reference(n, J, r, failed);
      for (int t = 1; t < static_cast<int>(J.size()); ++t) e.NewtonMatrix[t] = J[t];
      for (int k = 1; k <= n; ++k) e.NewtonRhs[k] = r[k];
      e.CholeskySolve(n);
      ASSERT_EQ(e.IERR, failed) << n << " " << trial;
      if (failed != 0) continue;
      for (int k = 1; k <= n; ++k) {
        EXPECT_EQ(e.NewtonRhs[k], expected[k]) << n << " " << trial << " " << k;
        EXPECT_EQ(std::signbit(e.NewtonRhs[k]), std::signbit(expected[k])) << n << " " << trial;
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

// Every point of every example file: the mass balances of the main basis (and of the basis
// before the addition in increment-mode blocks) close to the last digits (1e-17 of the sum of
// the terms: the exponent lgBETA ln 10 + sum a LnFree, some tens in size, carries about
// 4e-18 of rounding into each concentration), with the gradient method's start and with the
// others' warm starts.
TEST(SpeciationTest, MassBalancesCloseForEveryExamplePoint) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sourcePath("examples"))) {
    if (entry.path().extension() != ".DAT") continue;
    ++files;
    std::string copy;
    for (std::string line : splitLines(readFile(entry.path().string())))
      copy += line.substr(0, line.find('/')) + "\r\n";
    for (int method : {1, 2}) {
      InputText input(copy);
      std::string line;
      input.readLine(line);
      for (int s = std::stoi(line); s >= 1; --s) {
        EngineHarness h;
        Model& m = *h.model;
        input.readLine(line);
        TextWriter echo;
        echo.create("/dev/null");
        ReadDatSystem(m, input, echo, h.platform);
        ASSERT_EQ(m.ReadError, 0) << entry.path() << " system " << s;
        h.startRun(method);
        auto check = [&](const Basis& basis, int nb, int ns, int p) {
          for (int k = 1; k <= nb; ++k) {
            long double sum = 0, scale = 0;
            for (int i = 1; i <= ns; ++i) {
              sum += m.Stoich[i][k] * basis.C[i];
              scale += std::fabs(m.Stoich[i][k] * basis.C[i]);
            }
            EXPECT_LE(std::fabs(basis.Cbt[k] - sum), 1e-17L * scale)
                << entry.path().filename() << " method " << method << " point " << p
                << " component " << k;
          }
        };
        for (int b = 1, p = 1; b <= m.NBlocks; ++b) {
          for (int j = 1; j <= m.NPoints[b]; ++j, ++p) {
            h.engine->CalculatePoint(b, p);
            ASSERT_EQ(raisedFloatingPointFault(), FloatingPointFault::None);
            check(h.engine->main, m.NReactants, m.NSpecies, p);
            if (m.IncrementMode[b] == 1)
              check(h.engine->before, m.ActiveReactants, m.ActiveSpecies, p);
          }
        }
        EXPECT_TRUE(h.reportText().empty()) << entry.path() << " needed the fallback";
      }
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace tarvolin::test
