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

// Bisection on lg h over [-16, 1] for a proton balance that rises with h.
template <class Balance>
long double bisectProton(Balance excess) {
  long double lo = -16, hi = 1;
  for (int i = 0; i < 200; ++i) {
    const long double mid = (lo + hi) / 2;
    if (excess(std::pow(10.0L, mid)) > 0) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return std::pow(10.0L, (lo + hi) / 2);
}

// Batch points of one block: Ct of each input reagent per point.
void batchPoints(EngineHarness& h, const std::vector<std::vector<long double>>& totals,
                 int method = 0) {
  h.block(1, static_cast<int>(totals.size()), method);
  for (std::size_t p = 0; p < totals.size(); ++p)
    for (std::size_t j = 0; j < totals[p].size(); ++j) h.model->Ct[p + 1][j + 1] = totals[p][j];
}

// A monoprotic acid HA (lgK 4.76) neutralised by hydroxide: components H+ and A-, species
// H, A, HA, OH; input reagents HA and OH. For given h, [A] = cA / (1 + K h), and the proton
// balance h + K h [A] - Kw / h = cA - cOH rises with h, so bisection on lg h finds it.
TEST(SpeciationTest, MonoproticAcidMatchesBisection) {
  for (int method : {1, 2, 3}) {
    EngineHarness h;
    h.system(2, 4);
    h.species(3, {1, 1}, 4.76L);
    h.species(4, {-1, 0}, -13.8L);
    h.model->ReagentSpecies[1] = 3;
    h.model->ReagentSpecies[2] = 4;
    h.model->Step = 0.2L;  // fresh start at every point
    batchPoints(
        h, {{0.01L, 1e-9L}, {0.01L, 0.002L}, {0.01L, 0.005L}, {0.01L, 0.009L}, {0.002L, 0.0019L}});
    h.startRun(method);
    for (int p = 1; p <= 5; ++p) {
      h.model->CurrentPoint = static_cast<std::uint16_t>(p);
      h.engine->CALC();
      const long double cA = h.model->Ct[p][1], cOH = h.model->Ct[p][2];
      const long double K = std::pow(10.0L, 4.76L), Kw = std::pow(10.0L, -13.8L);
      const long double hFree = bisectProton(
          [&](long double x) { return x + K * x * cA / (1 + K * x) - Kw / x - (cA - cOH); });
      const Real* C = h.engine->main.C;
      EXPECT_TRUE(ExpectClose(C[1], hFree, kTight)) << "method " << method << " point " << p;
      EXPECT_TRUE(ExpectClose(C[2], cA / (1 + K * hFree), kTight));
      EXPECT_TRUE(ExpectClose(C[3], K * hFree * cA / (1 + K * hFree), kTight));
      EXPECT_TRUE(ExpectClose(C[4], Kw / hFree, kTight));
      EXPECT_TRUE(ExpectClose(h.engine->main.Cbt[1], cA - cOH, 1e-18L));
    }
  }
}

// A 1:1 complex M + L = ML, lg beta 5: with m the free metal, beta m^2 + (1 + beta (Lt - Mt)) m
// - Mt = 0, whose positive root is taken in the cancellation-free form 2 Mt / (b + sqrt(b^2 +
// 4 beta Mt)).
TEST(SpeciationTest, OneToOneComplexMatchesQuadraticRoot) {
  EngineHarness h;
  h.system(2, 3);
  h.species(3, {1, 1}, 5);
  batchPoints(h, {{1e-3L, 1e-4L}, {1e-3L, 1e-3L}, {1e-3L, 5e-3L}, {2e-5L, 1e-2L}});
  for (int method : {1, 2}) {
    h.startRun(method);
    for (int p = 1; p <= 4; ++p) {
      h.model->CurrentPoint = static_cast<std::uint16_t>(p);
      h.engine->CALC();
      const long double Mt = h.model->Ct[p][1], Lt = h.model->Ct[p][2], beta = 1e5L;
      const long double b = 1 + beta * (Lt - Mt);
      const long double m = 2 * Mt / (b + std::sqrt(b * b + 4 * beta * Mt));
      const long double l = Lt / (1 + beta * m);
      EXPECT_TRUE(ExpectClose(h.engine->main.C[1], m, kTight)) << "point " << p;
      EXPECT_TRUE(ExpectClose(h.engine->main.C[2], l, kTight));
      EXPECT_TRUE(ExpectClose(h.engine->main.C[3], beta * m * l, kTight));
    }
  }
}

// A diprotic ligand H2L (lg beta 9.9 and 16.0) with water's hydroxide: species H, L, HL, H2L,
// OH. For given h, [L] = Lt / (1 + b1 h + b2 h^2); the proton balance rises with h.
TEST(SpeciationTest, DiproticLigandWithHydroxideMatchesBisection) {
  EngineHarness h;
  h.system(2, 5);
  h.species(3, {1, 1}, 9.9L);
  h.species(4, {2, 1}, 16.0L);
  h.species(5, {-1, 0}, -13.78L);
  batchPoints(h, {{0.02L, 0.01L}, {0.012L, 0.01L}, {0.008L, 0.01L}, {0.001L, 0.01L}});
  h.model->Step = 0.12L;  // warm starts from the second point on
  h.startRun(2);
  const long double b1 = std::pow(10.0L, 9.9L), b2 = std::pow(10.0L, 16.0L);
  const long double Kw = std::pow(10.0L, -13.78L);
  for (int p = 1; p <= 4; ++p) {
    h.model->CurrentPoint = static_cast<std::uint16_t>(p);
    h.engine->CALC();
    const long double Ht = h.model->Ct[p][1], Lt = h.model->Ct[p][2];
    const long double hFree = bisectProton([&](long double x) {
      const long double l = Lt / (1 + b1 * x + b2 * x * x);
      return x + b1 * x * l + 2 * b2 * x * x * l - Kw / x - Ht;
    });
    const long double l = Lt / (1 + b1 * hFree + b2 * hFree * hFree);
    EXPECT_TRUE(ExpectClose(h.engine->main.C[1], hFree, kTight)) << "point " << p;
    EXPECT_TRUE(ExpectClose(h.engine->main.C[2], l, kTight));
    EXPECT_TRUE(ExpectClose(h.engine->main.C[4], b2 * hFree * hFree * l, kTight));
    EXPECT_TRUE(ExpectClose(h.engine->main.C[5], Kw / hFree, kTight));
  }
  EXPECT_EQ(h.engine->WarmStart, -1);
}

// Random systems of 3 or 4 components and up to 12 species with strongly complexing species
// (coefficients 0..3, lg beta -2..14; totals from 1e-5 to 1e-2 mol/l, jumping from point to
// point) against the damped Newton iteration on plain concentrations of the harness: from the
// totals (Step 0.2), from the previous point's solution (Step 0.12), and from the gradient
// method's short simplex.
TEST(SpeciationTest, RandomSystemsMatchIndependentSolution) {
  struct Family {
    int method;
    int maxCoefficient;
    double maxLgBeta;
    Real step;
  };
  for (const Family family : {Family{2, 3, 14, 0.2L}, Family{3, 3, 14, 0.12L},
                              Family{1, 3, 14, 0.12L}}) {
    std::uniform_int_distribution<int> coefficient(0, family.maxCoefficient);
    std::uniform_real_distribution<double> lgBeta(-2, family.maxLgBeta), lgTotal(-5, -2);
    for (int trial = 0; trial < 12; ++trial) {
      const int nb = 3 + trial % 2;
      const int ns = nb + 4 + trial % 5;
      EngineHarness h;
      h.system(nb, ns);
      std::mt19937 local(trial);
      for (int i = nb + 1; i <= ns; ++i) {
        int sum = 0;
        for (int k = 1; k <= nb; ++k) {
          h.model->Stoich[i][k] = static_cast<std::int8_t>(coefficient(local));
          sum += h.model->Stoich[i][k];
        }
        if (sum == 0) h.model->Stoich[i][1 + i % nb] = 1;
        h.model->lgBETA[i] = lgBeta(local);
      }
      const int points = 6;
      h.block(1, points, 0);
      for (int p = 1; p <= points; ++p)
        for (int j = 1; j <= nb; ++j) h.model->Ct[p][j] = std::pow(10.0L, lgTotal(local));
      h.model->Step = family.step;
      h.startRun(family.method);
      for (int p = 1; p <= points; ++p) {
        h.model->CurrentPoint = static_cast<std::uint16_t>(p);
        h.engine->CALC();
        std::vector<long double> Cbt(nb + 1), start(nb + 1);
        for (int k = 1; k <= nb; ++k) {
          Cbt[k] = h.model->Ct[p][k];
          start[k] = Cbt[k];
        }
        const IndependentSolution expected = solveIndependently(*h.model, nb, ns, Cbt, start);
        for (int i = 1; i <= ns; ++i)
          ASSERT_TRUE(ExpectClose(h.engine->main.C[i], expected.species[i], kTight))
              << "trial " << trial << " method " << family.method << " point " << p << " species "
              << i;
      }
      EXPECT_TRUE(h.reportText().empty()) << "no fallback notice expected";
    }
  }
}

// Totals: purity scales a reagent's total only when it is fitted, and a complex as input
// reagent counts toward every component of its row. Species that are only the free
// components take their totals. Start rules: with Step >= 0.17 every point starts from the
// totals, below it the first point switches warm starts on; the gradient method never uses
// them.
TEST(SpeciationTest, TotalsAndStartRules) {
  EngineHarness h;
  Model& m = *h.model;
  h.system(2, 3);
  h.species(3, {1, 2}, 8);
  m.NInputReagents = 3;
  m.ReagentSpecies[3] = 3;
  m.Purity[1] = 0.5L, m.FitPurity[1] = 1;
  m.Purity[2] = 0.25L, m.FitPurity[2] = 0;
  m.Purity[3] = 0.8L, m.FitPurity[3] = 1;
  batchPoints(h, {{1e-3L, 2e-3L, 1e-4L}});
  m.CurrentPoint = 1;
  m.Step = 0.2L;
  h.startRun(2);
  h.engine->CALC();
  EXPECT_TRUE(ExpectClose(h.engine->main.Cbt[1], 1e-3L * 0.5L + 1e-4L * 0.8L, 1e-18L));
  EXPECT_TRUE(ExpectClose(h.engine->main.Cbt[2], 2e-3L + 2 * 1e-4L * 0.8L, 1e-18L));
  EXPECT_EQ(h.engine->WarmStart, 0);
  m.Step = 0.12L;
  h.engine->CALC();
  EXPECT_EQ(h.engine->WarmStart, -1);
  h.startRun(1);
  h.engine->CALC();
  EXPECT_EQ(h.engine->WarmStart, 0);

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
    const IndependentSolution expected =
        solveIndependently(*h.model, 2, 5, {0, 1e-3L, 5e-4L}, {0, 1e-3L, 5e-4L});
    for (int i = 1; i <= 5; ++i)
      EXPECT_TRUE(ExpectClose(h.engine->before.C[i], expected.species[i], kTight));
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
  e.NewtonRhs[1] = 4 - 4 + 6;
  e.NewtonRhs[2] = 2 - 10 + 9;
  e.NewtonRhs[3] = 2 - 6 + 18;
  e.CholeskySolve(3);
  EXPECT_EQ(e.IERR, 0);
  EXPECT_TRUE(ExpectClose(e.NewtonRhs[1], 1, 1e-18L));
  EXPECT_TRUE(ExpectClose(e.NewtonRhs[2], -2, 1e-18L));
  EXPECT_TRUE(ExpectClose(e.NewtonRhs[3], 3, 1e-18L));

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

// Every point of every example file: the mass balances of the main basis (and of the basis
// before the addition in increment-mode blocks) close to the last digits (1e-17 of the sum of
// the terms: the exponent lgBETA ln 10 + sum a LnFree, some tens in size, carries about
// 4e-18 of rounding into each concentration), with the gradient method's start and with the
// others' warm starts.
TEST(SpeciationTest, MassBalancesCloseForEveryExamplePoint) {
  const std::filesystem::path folder = sourcePath("examples");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".DAT") continue;
    ++files;
    const std::string text = readFile(entry.path().string());
    std::string copy;
    for (std::string line : splitLines(text)) {
      if (const auto slash = line.find('/'); slash != std::string::npos) line.erase(slash);
      copy += line + "\r\n";
    }
    for (int method : {1, 2}) {
      InputText input(copy);
      std::string first;
      input.readLine(first);
      const int systems = std::stoi(first);
      for (int s = 1; s <= systems; ++s) {
        EngineHarness h;
        std::string title;
        input.readLine(title);
        TextWriter echo;
        const std::string echoPath = h.reportPath + ".echo";
        echo.create(echoPath);
        h.model->ReadError = 0;
        ReadDatSystem(*h.model, input, echo, h.platform);
        echo.close();
        std::filesystem::remove(echoPath);
        ASSERT_EQ(h.model->ReadError, 0) << entry.path() << " system " << s;
        h.startRun(method);
        Model& m = *h.model;
        int p = 0;
        for (int b = 1; b <= m.NBlocks; ++b) {
          for (int j = 1; j <= m.NPoints[b]; ++j) {
            ++p;
            h.engine->CalculatePoint(b, p);
            ASSERT_EQ(raisedFloatingPointFault(), FloatingPointFault::None);
            auto check = [&](const Basis& basis, int nb, int ns) {
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
            check(h.engine->main, m.NReactants, m.NSpecies);
            if (m.IncrementMode[b] == 1)
              check(h.engine->before, m.ActiveReactants, m.ActiveSpecies);
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
