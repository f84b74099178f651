// Jacobian rows against central finite differences of sqrt(BlockWeight) Ycalc, column by
// column, for every method code, weights other than 1, tied additive values and increment mode.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "engine/engine.h"
#include "tests/engine/engine_harness.h"

namespace tarvolin::test {
namespace {

// Setter of one column's parameter: the value itself and every additive value tied to it.
using Setter = std::function<void(Real)>;

// sqrt(BlockWeight) Ycalc of every point, in the order of the points.
std::vector<Real> weightedValues(EngineHarness& h) {
  Model& m = *h.model;
  std::vector<Real> values(m.TotalPoints() + 1);
  int p = 0;
  for (int b = 1; b <= m.NBlocks; ++b)
    for (int j = 1; j <= m.NPoints[b]; ++j) {
      ++p;
      h.engine->CalculatePoint(b, p);
      values[p] = std::sqrt(m.BlockWeight[b]) * m.Ycalc[p];
    }
  return values;
}

// Compares each column of the analytic rows with (v(theta + h) - v(theta - h)) / 2h, to a
// relative 1e-6 of the entry (entries far below the column's largest are held to 1e-6 of a
// millionth of it, where the differences' rounding dominates).
void expectColumnsMatchDifferences(EngineHarness& h, const std::vector<Setter>& setters,
                                   const std::vector<Real>& values,
                                   const std::vector<Real>& steps) {
  Model& m = *h.model;
  const int n = m.TotalPoints();
  std::vector<std::vector<Real>> rows(n + 1, std::vector<Real>(setters.size() + 2, 0));
  int p = 0;
  int columns = 0;
  for (int b = 1; b <= m.NBlocks; ++b)
    for (int j = 1; j <= m.NPoints[b]; ++j) {
      ++p;
      const Real Y = h.engine->CalculatePoint(b, p);
      columns = h.engine->JacobianRow(b, p, Y, rows[p].data());
    }
  ASSERT_EQ(columns, static_cast<int>(setters.size()));
  for (int c = 1; c <= columns; ++c) {
    const Setter& set = setters[c - 1];
    const Real theta = values[c - 1], step = steps[c - 1];
    set(theta + step);
    const std::vector<Real> up = weightedValues(h);
    set(theta - step);
    const std::vector<Real> down = weightedValues(h);
    set(theta);
    Real largest = 0;
    std::vector<Real> difference(n + 1);
    for (int q = 1; q <= n; ++q) {
      difference[q] = (up[q] - down[q]) / (2 * step);
      largest = std::max(largest, std::fabs(difference[q]));
    }
    for (int q = 1; q <= n; ++q) {
      const Real scale = std::max(std::fabs(difference[q]), 1e-6L * largest);
      EXPECT_LE(std::fabs(rows[q][c] - difference[q]), 1e-6L * scale)
          << "column " << c << " point " << q << ": analytic " << static_cast<double>(rows[q][c])
          << ", differences " << static_cast<double>(difference[q]);
    }
  }
}

// Components M, L, H and the species M, L, H, ML (lg beta 4), ML2 (7), HL (5), OH (-13.8), in
// eight blocks of four points, one per method code (-1, 0, 1, 2, 5 in increment mode, 6, 7, 8)
// with weights from 0.5 to 3. The first point of every block holds no ligand: L, ML, ML2 and
// HL are absent there (in increment mode also before the first and second additions). Fitted:
// additive values in every block, five of them tied (within a block, across blocks, in the
// method-1, increment-mode and method-8 blocks), lg beta of ML, ML2 and HL, and every block's
// parameter (a in the method-1 block). The metal's purity is fitted, so it applies, but has no
// column.
class MultiMethodJacobianTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Model& m = *h.model;
    h.system(3, 7);
    h.species(4, {1, 1, 0}, 4);
    h.species(5, {1, 2, 0}, 7);
    h.species(6, {0, 1, 1}, 5);
    h.species(7, {0, 0, -1}, -13.8L);
    m.Purity[1] = 0.98L;
    m.FitPurity[1] = 1;
    const int methods[9] = {0, -1, 0, 1, 2, 5, 6, 7, 8};
    const Real weights[9] = {0, 2, 0.5L, 3, 1.5L, 0.7L, 1, 1.2L, 0.8L};
    for (int b = 1; b <= 8; ++b) h.block(b, 4, methods[b], weights[b]);
    int p = 0;
    for (int b = 1; b <= 8; ++b)
      for (int j = 1; j <= 4; ++j) {
        ++p;
        m.Ct[p][1] = 1e-3L * (1 + 0.1L * b);
        m.Ct[p][2] = 0.5e-3L * (j - 1);
        m.Ct[p][3] = 2e-3L + 1e-4L * j;
        m.Yexp[p] = 1;
        m.PointFactor[p] = 1;
        if (methods[b] == -1 || methods[b] == 2) m.PointFactor[p] = 1 / m.Ct[p][1];
        if (methods[b] == 0) m.PointFactor[p] = 0.5L + 0.25L * j;
        if (methods[b] == 5 || methods[b] == 6) m.PointFactor[p] = 25 + 0.1L * j;
        if (methods[b] == 7) m.PointFactor[p] = 0.3L;
        // Increment mode: the cell holds the metal and the ligand before the first addition,
        // and the previous point's solution before each later one.
        m.VolBefore[p] = j == 1 ? 25 : m.PointFactor[p - 1];
        for (int r = 1; r <= 3; ++r) m.CtBefore[p][r] = j == 1 ? m.Ct[p][r] * 0.9L : m.Ct[p - 1][r];
      }
    // Before the first addition the cell holds every component but not yet HL and OH: the lg
    // beta of ML and ML2 are corrected on a basis of five species there, of all seven later.
    m.InitReactants[5] = 3;
    m.InitSpecies[5] = 5;
    m.BlockFactor[3] = 1.1L;
    m.a[3] = 1.2L;
    m.Fo[3] = 1e-7L;
    m.AV[3][3] = 1;  // a hydrogen-ion electrode in the method-1 block
    m.BlockFactor[7] = 0.3L;
    m.Fo[8] = 400;

    // Columns 1..10: fitted additive values, blocks outer, species inner.
    fitAV(4, 1, 2.0L);
    fitAV(5, 1, 3.0L);
    fitAV(5, 2, 0, 20);  // tied across blocks to AV(5,1)
    fitAV(4, 2, 1.5L);
    fitAV(6, 2, 0, 30);  // tied within the block to AV(4,2)
    fitAV(2, 3, 0.3L);
    fitAV(5, 3, 0, 40);  // tied in the method-1 block
    fitAV(4, 4, 0.8L);
    fitAV(2, 5, -4.0L);
    fitAV(4, 5, -20.0L);
    fitAV(6, 5, 0, 70);  // tied in increment mode
    fitAV(5, 6, 6.0L);
    fitAV(4, 7, 9.0L);
    fitAV(3, 8, 59.16L);
    fitAV(6, 8, 0, 100);  // tied in the method-8 block
    // Columns 11..13: lg beta; 14..21: block parameters.
    for (int i : {4, 5, 6}) {
      m.FitBeta[i] = 1;
      addColumn([&m, i](Real v) { m.lgBETA[i] = v; }, m.lgBETA[i], 1e-4L);
    }
    for (int b = 1; b <= 8; ++b) {
      m.FitBlock[b] = 1;
      if (m.Method[b] == 1) {
        addColumn([&m, b](Real v) { m.a[b] = v; }, m.a[b], 1e-4L);
      } else {
        addColumn([&m, b](Real v) { m.Fo[b] = v; }, m.Fo[b], 0.5L);
      }
    }
    m.Step = 0.2L;  // every point from the totals: no dependence on the previous point
  }

  // Fits AV(i,b) with value v (key 1), or ties it to column key/10, giving it that column's
  // value. Linear in the additive value, the calculated value allows a wide difference step,
  // except through the logarithm of method 1.
  void fitAV(int i, int b, Real v, int key = 1) {
    Model& m = *h.model;
    m.FitAV[i][b] = static_cast<std::uint8_t>(key);
    if (key == 1) {
      m.AV[i][b] = v;
      const int column = static_cast<int>(setters.size()) + 1;
      addColumn(
          [&m, i, b, column](Real value) {
            m.AV[i][b] = value;
            for (int bb = 1; bb <= m.NBlocks; ++bb)
              for (int s = 1; s <= m.NSpecies; ++s)
                if (m.FitAV[s][bb] >= 10 && m.FitAV[s][bb] / 10 == column) m.AV[s][bb] = value;
          },
          v, m.Method[b] == 1 ? 1e-4L : 0.5L);
    } else {
      m.AV[i][b] = values[key / 10 - 1];
    }
  }

  void addColumn(Setter set, Real value, Real step) {
    setters.push_back(std::move(set));
    values.push_back(value);
    steps.push_back(step);
  }

  EngineHarness h;
  std::vector<Setter> setters;
  std::vector<Real> values;
  std::vector<Real> steps;
};

// On the gradient method's start path and on the others'. Where the ligand is absent, the lg
// beta columns of its species are exactly zero.
TEST_F(MultiMethodJacobianTest, ColumnsMatchCentralDifferences) {
  for (int method : {1, 2}) {
    SCOPED_TRACE(method);
    h.startRun(method);
    expectColumnsMatchDifferences(h, setters, values, steps);
    Real row[22];
    for (int b = 1, p = 1; b <= 8; ++b, p += 4) {
      const Real Y = h.engine->CalculatePoint(b, p);
      h.engine->JacobianRow(b, p, Y, row);
      for (int c = 11; c <= 13; ++c) EXPECT_EQ(row[c], 0) << "block " << b << " column " << c;
    }
  }
  EXPECT_TRUE(h.reportText().empty());
}

}  // namespace
}  // namespace tarvolin::test
