// The downhill simplex core: its starting simplex, the order of its steps and evaluations, its
// tie rules, and that the caller's hooks decide when it stops.

#include "engine/nelder_mead.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

// A one-variable problem whose values are looked up in a table (unknown points are a test
// failure), recording every evaluated point; it stops after a given number of iterations.
struct TableProblem {
  std::map<Real, Real> table;
  int iterations = 1;
  std::vector<Real> evaluated;

  Real evaluate(const Real* x) {
    evaluated.push_back(x[1]);
    const auto found = table.find(x[1]);
    if (found == table.end()) {
      ADD_FAILURE() << "unexpected point " << static_cast<double>(x[1]);
      return 0;
    }
    return found->second;
  }
  bool beginIteration(int) { return true; }
  bool endIteration(int k, const NelderMead&) { return k == iterations; }
};

// The same with repeatable evaluations: the simplex takes the values it holds instead of
// evaluating a point again, and evaluates an iteration's centroid only after the last one
// or where mayFailAt says so.
struct RepeatableTableProblem : TableProblem {
  static constexpr bool kRepeatable = true;
  bool mayFail = false;
  bool mayFailAt(const Real*) { return mayFail; }
};

// Two one-variable runs traced by hand, their evaluated points in order and the final
// vertices. f = x^2 from x = 3 with step 1, three iterations:
//   start: vertices 3, 2.
//   1: h = 3, c = 2, r = 1 (1 < 4) -> e = 0 (0 < 4) accepted and evaluated again; centroid 2.
//   2: vertices 0, 2: h = 2, c = 0, r = -2 (4: not below the other vertex's 0, not above
//      F_h = 4, so it takes vertex h's place), contraction -1 (1 < 4) accepted; centroid 0.
//   3: vertices 0, -1: r = 1 takes vertex h's place, contraction 0.5 accepted; centroid 0.
// An expansion that does not improve on the best vertex is dropped for the reflection; a
// contraction that does not improve on the worst vertex shrinks everything towards the best.
//   start from 1 (step 1): vertices 1 (F 1), 0 (F 0.5)
//   1: h = 1, c = 0, r = -1 (F 0.25 < 0.5) -> e = -2 (F 3, not below 0.5): r accepted.
//   2: vertices -1 (0.25), 0 (0.5): h = 2, c = -1, r = -2 (3): above F_h, vertex h kept;
//      contraction -0.5 (0.7, not below 0.5): shrink towards -1: vertex 2 = -0.5.
TEST(NelderMeadTest, StepsAndEvaluationsFollowTheirOrder) {
  struct Case {
    std::map<Real, Real> table;
    Real start;
    int iterations;
    std::vector<Real> evaluated;
    Real vertex1, vertex2, centroid;
    // Repeatable, given F at the start: without the second evaluation of an accepted point, of
    // the best vertex in a shrink and of the centroids before the last; with mayFailAt true
    // also the centroids before the last.
    std::vector<Real> repeatable, repeatableMayFail;
  };
  // clang-format off
  const Case cases[] = {
      {{{3, 9}, {2, 4}, {1, 1}, {0, 0}, {-2, 4}, {-1, 1}, {0.5L, 0.25L}}, 3, 3,
       {3, 2, 1, 0, 0, 2, -2, -1, -1, 0, 1, 0.5L, 0.5L, 0}, 0, 0.5L, 0,
       {2, 1, 0, -2, -1, 1, 0.5L, 0}, {2, 1, 0, 2, -2, -1, 0, 1, 0.5L, 0}},
      {{{1, 1}, {0, 0.5L}, {-1, 0.25L}, {-2, 3}, {-0.5L, 0.7L}}, 1, 2,
       {1, 0, -1, -2, -1, 0, -2, -0.5L, -1, -0.5L, -1}, -1, -0.5L, -1,
       {0, -1, -2, -2, -0.5L, -0.5L, -1}, {0, -1, -2, 0, -2, -0.5L, -0.5L, -1}}};
  // clang-format on
  for (const Case& c : cases) {
    auto check = [&c](auto& problem, const std::vector<Real>& evaluated, const Real* F0) {
      problem.table = c.table;
      problem.iterations = c.iterations;
      NelderMead simplex(1);
      const Real x0[2] = {0, c.start};
      simplex.start(problem, x0, 1, 1, F0);
      EXPECT_EQ(simplex.iterate(problem), c.iterations);
      EXPECT_EQ(problem.evaluated, evaluated);
      EXPECT_EQ(simplex.row(1)[1], c.vertex1);
      EXPECT_EQ(simplex.row(2)[1], c.vertex2);
      EXPECT_EQ(simplex.row(simplex.centroidRow())[1], c.centroid);
      EXPECT_EQ(simplex.best(), 1);
      EXPECT_EQ(simplex.worst(), 2);
      EXPECT_EQ(simplex.bestValue(), c.table.at(c.vertex1));
      EXPECT_EQ(simplex.value(1), c.table.at(simplex.row(1)[1]));
      EXPECT_EQ(simplex.value(2), c.table.at(simplex.row(2)[1]));
    };
    TableProblem plain;
    check(plain, c.evaluated, nullptr);
    const Real F0 = c.table.at(c.start);
    RepeatableTableProblem repeatable;
    check(repeatable, c.repeatable, &F0);
    RepeatableTableProblem mayFail;
    mayFail.mayFail = true;
    check(mayFail, c.repeatableMayFail, &F0);
  }
}

// The starting simplex is regular with edge 1 around (1, 2): the offsets
// p = (1 + sqrt 3) / (2 sqrt 2) and q = (sqrt 3 - 1) / (2 sqrt 2) are subtracted (with one
// variable it is a segment: see the traced runs). On a flat function every vertex
// ties: vertex 1 is both worst and best, the reflection of vertex 1 ties with the worst of
// the others (vertex 2) and replaces vertex 1.
TEST(NelderMeadTest, StartingSimplexAndTiesGoToTheLowestVertex) {
  struct Flat {
    int evaluations = 0;
    Real evaluate(const Real*) {
      ++evaluations;
      return 7;
    }
    bool stopBefore = false;
    bool beginIteration(int) { return !stopBefore; }
    bool endIteration(int, const NelderMead&) { return true; }
  } flat;
  NelderMead simplex(2);
  const Real x0[3] = {0, 1, 2};
  simplex.start(flat, x0, 2, 1);
  const Real p = (1 + std::sqrt(3.0L)) / (2 * std::sqrt(2.0L));
  const Real q = (std::sqrt(3.0L) - 1) / (2 * std::sqrt(2.0L));
  const Real expected[4][3] = {{}, {0, 1, 2}, {0, 1 - p, 2 - q}, {0, 1 - q, 2 - p}};
  for (int v = 1; v <= 3; ++v)
    for (int j = 1; j <= 2; ++j)
      EXPECT_TRUE(ExpectClose(simplex.row(v)[j], expected[v][j], 1e-18L)) << v << "," << j;
  const Real x2[2] = {simplex.row(2)[1], simplex.row(2)[2]};
  const Real x3[2] = {simplex.row(3)[1], simplex.row(3)[2]};
  simplex.iterate(flat);
  EXPECT_EQ(simplex.worst(), 1);
  EXPECT_EQ(simplex.best(), 1);
  for (int j = 1; j <= 2; ++j) {
    const Real c = (x0[j] + x2[j - 1] + x3[j - 1] - x0[j]) / 2;
    EXPECT_EQ(simplex.row(1)[j], 2 * c - x0[j]);
    EXPECT_EQ(simplex.row(simplex.centroidRow())[j], c);
  }
  EXPECT_EQ(flat.evaluations, 3 + 3);

  // beginIteration may stop before an iteration: nothing more is evaluated.
  flat.stopBefore = true;
  flat.evaluations = 0;
  simplex.start(flat, x0, 2, 1);
  EXPECT_EQ(simplex.iterate(flat), 1);
  EXPECT_EQ(flat.evaluations, 3);
}

}  // namespace
}  // namespace tarvolin::test
