#include "run/report_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/number_format.h"
#include "tests/run/report_harness.h"

namespace tarvolin::test {
namespace {

using ReportWriterTest = ReportTest;

std::string goldenPath(const std::string& name) { return sourcePath("tests/data/golden/" + name); }

long double valueAfterEquals(const std::string& line) {
  return numbersOf(line.substr(line.find('=') + 1)).at(0);
}

// The report of a Single Step, reviewed line by line against the report layout, with the
// concentrations, calculated values, sums of squares and standard deviations checked against
// an independent calculation.
TEST_F(ReportWriterTest, SingleStepReportOfMonoproticAcidMatchesGoldenFile) {
  openRunFiles("acid.out");
  load(readFile(goldenPath("monoprotic_acid_method8.DAT")));
  singleStep();
  EXPECT_EQ(reportText(), readFile(goldenPath("monoprotic_acid_method8.OUT")));
}

TEST_F(ReportWriterTest, SuperquadInputListsTheComponentNamesBeforeTheStatistics) {
  openRunFiles("acid.out");
  load(readFile(goldenPath("monoprotic_acid_method8.DAT")));
  model_->InputIsSuperquad = 1;
  model_->ReactantName[1] = "H";
  model_->ReactantName[2] = "ethanoate";
  singleStep();
  const std::string expected =
      "\r\nReactant  1- H\r\nReactant  2- ethanoate\r\n\r\nSingular values for fitted "
      "parameters:\r\n";
  EXPECT_EQ(reportText().substr(0, expected.size()), expected);
}

// Several blocks: a title line before each block's tables, the per-block counts and R-factors,
// a tied additive value with the deviation of the value it follows, the weighted sum of a
// block of weight 2, and each block's own initial volume in TABLE 2.
TEST_F(ReportWriterTest, TwoBlocksShowPerBlockLinesTiesAndTheirOwnVolumes) {
  openRunFiles("two.out");
  load(twoTitrations());
  singleStep();
  const std::vector<std::string> lines = splitLines(reportText());
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  const std::string sd = fmt::fixed(engine_->sd[1], 12, 3);
  ASSERT_NE(engine_->sd[1], 0);
  EXPECT_TRUE(has(" AV( 1, 1) =       59.160 (+-" + sd + ")"));
  EXPECT_TRUE(has(" AV( 1, 2) =       59.160 (+-" + sd + ")"));
  EXPECT_TRUE(has("Number of experimental points for each data set:"));
  EXPECT_TRUE(has(" N( 1)=  5 N( 2)=  3"));
  EXPECT_TRUE(has("HAMILTON's R-factor for each data set:"));  // their values: the JSON test
  EXPECT_TRUE(has("======================== The Set   1 of Experimental Data ==================="));
  EXPECT_TRUE(has("======================== The Set   2 of Experimental Data ==================="));

  // Only block 2 (weight 2) has a weighted sum: twice its plain sum.
  int weighted = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("Wighted sum of residuals square = ", 0) != 0) continue;
    ++weighted;
    EXPECT_TRUE(ExpectClose(valueAfterEquals(lines[i]), 2 * valueAfterEquals(lines[i - 1]), 1e-6L));
  }
  EXPECT_EQ(weighted, 1);

  // Total volume: V0 of the block plus the titrant added so far within the block.
  const long double expected[] = {20.35, 20.70, 21.05, 21.40, 21.75, 25.5, 26.5, 27.5};
  int row = 0;
  for (int set = 1; set <= 2; ++set) {
    for (const std::string& line :
         linesAfter(lines, "         Solution  and  Total  Initial Concentrations", 1, set)) {
      const std::vector<long double> values = numbersOf(line);
      ASSERT_EQ(values.size(), 1u + 4 + 2 + 1 + 1) << line;  // no., C, Ct, volume, Cbt(2)
      EXPECT_TRUE(ExpectClose(values[7], expected[row], 1e-9L)) << line;
      ++row;
    }
  }
  EXPECT_EQ(row, 8);
}

// With 50 basic components the stoichiometric block fills its 50 columns; every component is
// shown (no negative coefficient), and those without any total get 0.00 throughout. A batch
// block has no volume: TABLE 2 shows 0 whatever an earlier titration left in V0 and VAdded.
TEST_F(ReportWriterTest, FiftyComponentsFillTheMatrixWithoutBlankGroups) {
  openRunFiles("fifty.out");
  load(readFile(sourcePath("tests/data/dat/fifty_basic_components.DAT")));
  model_->V0[1] = 25;
  model_->VAdded[1] = 0.5;
  singleStep();
  const std::vector<std::string> lines = splitLines(reportText());
  const auto totals = linesAfter(lines, "         Solution  and  Total  Initial Concentrations", 1);
  ASSERT_EQ(totals.size(), 1u);
  EXPECT_NE(totals[0].find(" |   0.0000E+0000  | "), std::string::npos) << totals[0];
  std::string first = "  1.       ";
  for (int k = 1; k <= 50; ++k) first += k == 1 ? "  1" : "  0";
  first += "  0.000      10.000";
  EXPECT_NE(std::find(lines.begin(), lines.end(), first), lines.end());

  const auto header = linesAfter(lines, "         in Each Chemical Species (C) in the Solution");
  ASSERT_EQ(header.size(), 3u);  // two header lines, one point
  EXPECT_EQ(header[0].size(), 5 + 50 * (50 * 7 + 3));
  EXPECT_EQ(header[0].substr(0, 22), "      %Cb( 1) in:     ");
  const std::vector<long double> point = numbersOf(header[2]);
  ASSERT_EQ(point.size(), 1u + 50 * 50);
  EXPECT_EQ(point[1], 100);  // component 1 entirely free
  for (std::size_t v = 2; v < point.size(); ++v) EXPECT_EQ(point[v], 0) << v;
}

// A decomposition chosen for hand calculation: n = 3, W = (2, 1, 0), D = (1, 2, 4),
//   V = | 0.6 -0.8  0 |
//       | 0.8  0.6  0 |
//       | 0    0    1 |
// With S = 2 over N = 5 points, s^2 = 2 / (5 - 3) = 1, and W(3) = 0 lies below the threshold:
//   sd(1) = sqrt(0.36/4 + 0.64) / 1 = sqrt(0.73) = 0.854
//   sd(2) = sqrt(0.64/4 + 0.36) / 2 = sqrt(0.52) / 2 = 0.361
//   sd(3) = 0;  r(2,1) = (0.48/4 - 0.48) / sqrt(0.73 * 0.52) = -0.584;  row 3 all 0.
class GradientReportTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    openRunFiles("grad.out");
    std::string text = readFile(goldenPath("monoprotic_acid_method8.DAT"));
    text.replace(text.find("3,4."), 4, "3,4");  // the gradient method fixes every purity
    text.replace(text.find("\r\n1,0,0,0\r\n"), 11, "\r\n1,10,0,0\r\n");
    load(text, kGradient);
    engine_->Jacobian.resize(5, 4);
    const Real V[4][4] = {{0, 0, 0, 0}, {0, 0.6L, -0.8L, 0}, {0, 0.8L, 0.6L, 0}, {0, 0, 0, 1}};
    for (int k = 1; k <= 3; ++k)
      for (int j = 1; j <= 3; ++j) engine_->Jacobian(k, j) = V[k][j];
    state_.n = 3;
    state_.m = 5;
    state_.W[1] = 2, state_.W[2] = 1, state_.W[3] = 0;
    state_.D[1] = 1, state_.D[2] = 2, state_.D[3] = 4;
    state_.rankThreshold = 2e-14L;
    state_.iteration = 13;
    for (int t = 1; t <= 12; ++t) state_.rank[t] = static_cast<std::uint8_t>(t % 3 + 1);
    model_->NFit = 3;
    model_->Objective = 2;
    model_->TotalRF = 1.25L;
    model_->RunIncomplete = 1;
  }

  // The report from the line after the closing double rule.
  std::string sectionAfterSpeciesTable() {
    const std::string text = reportText();
    const std::string rule = std::string(80, '=') + "\r\n";
    const auto second = text.find(rule, text.find(rule) + 1);
    return text.substr(second + rule.size());
  }

  GradientState state_;
};

TEST_F(GradientReportTest, StandardDeviationsCorrelationsAndRanksFromTheDecomposition) {
  WriteGradientReport(*engine_, state_, files_.report, 3);
  EXPECT_EQ(sectionAfterSpeciesTable(),
            readFile(sourcePath("tests/data/expected/gradient_report_from_decomposition.txt")));
  EXPECT_EQ(model_->RunIncomplete, 0);
  EXPECT_TRUE(ExpectClose(engine_->sd[1], std::sqrt(0.73L), 1e-15L));
  EXPECT_TRUE(ExpectClose(engine_->sd[2], std::sqrt(0.52L) / 2, 1e-15L));
}

// Ten corrections fill one line of ranks, which the closing line end follows as an empty line;
// no more points than parameters takes s^2 = S.
TEST_F(GradientReportTest, TenRanksEndTheirLineAndFewPointsUseTheObjectiveItself) {
  state_.iteration = 11;
  model_->NPoints[1] = 3;
  WriteGradientReport(*engine_, state_, files_.report, 3);
  const std::string text = sectionAfterSpeciesTable();
  EXPECT_NE(text.find("Rank of task Jacobian:\r\n"
                      "  2   3   1   2   3   1   2   3   1   2 \r\n"
                      "\r\n"
                      "\r\n"
                      "Fitted Parameter(s)"),
            std::string::npos)
      << text;
  EXPECT_TRUE(ExpectClose(engine_->sd[1], std::sqrt(2 * 0.73L), 1e-15L));
}

TEST_F(GradientReportTest, OneByOneRunReportsItsCounterAndFunctionValue) {
  model_->FitOneByOne = 1;
  engine_->OneByOneCount = 7;
  engine_->FittedFunctionText = "2.000E+00";
  WriteGradientReport(*engine_, state_, files_.report, 3);
  EXPECT_EQ(sectionAfterSpeciesTable(),
            readFile(sourcePath("tests/data/expected/gradient_report_one_by_one.txt")));
}

}  // namespace
}  // namespace tarvolin::test
