#include "run/plot_files.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "base/number_format.h"
#include "tests/run/report_harness.h"
#include "tests/support/batch_data.h"

namespace tarvolin::test {
namespace {

using PlotFilesTest = ReportTest;

// The same acid: a block of increments (method 6, 3 points), a batch block with point factors
// (method 0, 3 points) and a batch block of one point (method -1); nothing fitted.
std::string incrementsAndBatches() {
  return readFile(sourcePath("tests/data/dat/increments_and_batch_points.DAT"));
}

// A value printed with `significant` digits agrees with one printed with 6 decimals.
::testing::AssertionResult SameValue(long double plotted, long double tabulated,
                                     int significant = 7) {
  const long double allowed =
      5.0e-7L + 5 * std::pow(10.0L, -significant) * std::fabs(tabulated) + 1e-12L;
  if (std::fabs(plotted - tabulated) <= allowed) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << plotted << " vs " << tabulated;
}

// One section of a file of several blocks: a line with the count n, then the lines that
// follow it (2n, or n).
struct Section {
  int n = 0;
  std::vector<std::vector<long double>> rows;
};

std::vector<Section> sections(const std::vector<std::string>& lines, int rowsPerPoint) {
  std::vector<Section> result;
  std::size_t i = 0;
  while (i < lines.size()) {
    Section s;
    s.n = std::stoi(lines[i++]);
    for (int r = 0; r < rowsPerPoint * s.n && i < lines.size(); ++r)
      s.rows.push_back(numbersOf(lines[i++]));
    result.push_back(s);
  }
  return result;
}

// The numbers of each row of the table of set `set` under `heading`, `skip` lines down.
std::vector<std::vector<long double>> tableRows(const std::vector<std::string>& report,
                                                const std::string& heading, std::size_t skip,
                                                int set) {
  std::vector<std::vector<long double>> rows;
  for (const auto& line : linesAfter(report, heading, skip, set)) rows.push_back(numbersOf(line));
  return rows;
}

TEST_F(PlotFilesTest, EveryPlotFileParsesBackToTheReportTablesAndBcpInterpolates) {
  openRunFiles("two.out");
  load(twoTitrations());
  singleStep();
  const std::vector<std::string> report = splitLines(reportText());
  const std::vector<Section> ttc = sections(fileLines("two.TTC"), 2);
  const std::vector<Section> rac = sections(fileLines("two.RAC"), 1);
  const std::vector<Section> pfp = sections(fileLines("two.PFP"), 1);
  ASSERT_EQ(ttc.size(), 2u);
  ASSERT_EQ(rac.size(), 2u);
  ASSERT_EQ(pfp.size(), 2u);
  EXPECT_EQ(fileLines("two.PFP")[0], "5 1 4");  // points, shown components, species

  const long double V[2][5] = {{0.35, 0.70, 1.05, 1.40, 1.75}, {0.5, 1.5, 2.5}};
  for (int b = 1; b <= 2; ++b) {
    SCOPED_TRACE("block " + std::to_string(b));
    // TABLE 1 (No., Yexp, Ycalc, D, D%) and TABLE 3 of the block.
    const auto t1 =
        tableRows(report, " No.        Y exp.         Y calc.        Res.        Res.%", 0, b);
    const auto t3 =
        tableRows(report, "         in Each Chemical Species (C) in the Solution", 2, b);
    const int n = static_cast<int>(t1.size());
    ASSERT_EQ(n, b == 1 ? 5 : 3);
    ASSERT_EQ(static_cast<int>(t3.size()), n);
    const auto ecp = sections(fileLines("two" + std::to_string(b) + ".ECP"), 2);
    const auto gar = sections(fileLines("two" + std::to_string(b) + ".GAR"), 1);
    const std::vector<std::string> reg = fileLines("two" + std::to_string(b) + ".REG");
    ASSERT_EQ(ecp.size(), 1u);
    ASSERT_EQ(gar.size(), 1u);
    ASSERT_EQ(reg.size(), static_cast<std::size_t>(n) + 1);
    EXPECT_EQ(reg[0], "File [two" + std::to_string(b) + ".REG] Ycalc. Yexp. ExpPoinNo");
    const Section& curve = ttc[b - 1];
    EXPECT_EQ(curve.n, n);
    EXPECT_EQ(rac[b - 1].n, n);
    EXPECT_EQ(pfp[b - 1].n, n);
    for (int k = 1; k <= n; ++k) {
      const auto& row = t1[k - 1];  // No., Yexp, Ycalc, D, D%
      // ECP: k and Yexp, then k and Ycalc.
      EXPECT_EQ(ecp[0].rows[k - 1][0], k);
      EXPECT_TRUE(SameValue(ecp[0].rows[k - 1][1], row[1]));
      EXPECT_EQ(ecp[0].rows[n + k - 1][0], k);
      EXPECT_TRUE(SameValue(ecp[0].rows[n + k - 1][1], row[2]));
      // GAR and RAC: Ycalc and D.
      for (const auto* residuals : {&gar[0], &rac[b - 1]}) {
        EXPECT_TRUE(SameValue(residuals->rows[k - 1][0], row[2]));
        EXPECT_TRUE(SameValue(residuals->rows[k - 1][1], row[3]));
      }
      // REG: Ycalc in columns 1-14, Yexp in 16-29, k in 31-35.
      const std::string& line = reg[k];
      ASSERT_EQ(line.size(), 35u);
      EXPECT_EQ(line[14], ' ');
      EXPECT_EQ(line[29], ' ');
      EXPECT_TRUE(SameValue(std::stold(line.substr(0, 14)), row[2], 6));
      EXPECT_TRUE(SameValue(std::stold(line.substr(15, 14)), row[1], 6));
      EXPECT_EQ(std::stoi(line.substr(30, 5)), k);
      // TTC: added titrant volume against Yexp, then against Ycalc.
      EXPECT_TRUE(ExpectClose(curve.rows[k - 1][0], V[b - 1][k - 1], 1e-6L));
      EXPECT_TRUE(SameValue(curve.rows[k - 1][1], row[1]));
      EXPECT_TRUE(ExpectClose(curve.rows[n + k - 1][0], V[b - 1][k - 1], 1e-6L));
      EXPECT_TRUE(SameValue(curve.rows[n + k - 1][1], row[2]));
      // PFP: the point number over all blocks, then the very percentages of TABLE 3.
      EXPECT_EQ(pfp[b - 1].rows[k - 1], t3[k - 1]);
    }
  }

  // Rows of a BCP file: 1 + (n - 1) floor(500 / n); the first row and the last row of each
  // interval hold the percentages at the measured points.
  for (int b = 1; b <= 2; ++b) {
    SCOPED_TRACE("block " + std::to_string(b));
    const std::vector<std::string> bcp = fileLines("twoBC" + std::to_string(b) + ".BCP");
    const int n = pfp[b - 1].n;
    const int steps = 500 / n;
    ASSERT_EQ(bcp.size(), static_cast<std::size_t>(1 + (n - 1) * steps));
    EXPECT_EQ(bcp.size(), b == 1 ? 401u : 333u);
    for (std::size_t r = 0; r < bcp.size(); ++r) {
      EXPECT_EQ(bcp[r].substr(0, 7), fmt::integer(static_cast<long long>(r) + 1, 5) + ".0");
      EXPECT_EQ(bcp[r].size(), 7u + 4 * 8);
    }
    for (int k = 1; k <= n; ++k) {
      std::vector<long double> row = numbersOf(bcp[(k - 1) * steps]);
      std::vector<long double> point = pfp[b - 1].rows[k - 1];
      row.erase(row.begin());
      point.erase(point.begin());
      EXPECT_EQ(row, point) << "point " << k;
    }
  }
  // Between the first two points of block 1 the share of HL falls steadily.
  const std::vector<std::string> bcp = fileLines("twoBC1.BCP");
  for (int r = 1; r <= 100; ++r) EXPECT_LE(numbersOf(bcp[r])[3], numbersOf(bcp[r - 1])[3]);
}

// A block of increments has no titration curve, so TTC holds fewer sections than blocks; a
// one-point block gets an empty BCP file; batch curves are drawn against the point number.
TEST_F(PlotFilesTest, IncrementBlockHasNoCurveAndOnePointBlockNoInterpolation) {
  openRunFiles("mix.out");
  load(incrementsAndBatches());
  singleStep();
  const std::vector<std::string> ttc = fileLines("mix.TTC");
  ASSERT_EQ(ttc.size(), 7u + 3u);
  EXPECT_EQ(ttc[0], "3");
  EXPECT_EQ(ttc[1].substr(0, 8), "    1.0 ");
  EXPECT_EQ(ttc[6].substr(0, 8), "    3.0 ");
  EXPECT_EQ(ttc[7], "1");
  EXPECT_EQ(sections(fileLines("mix.RAC"), 1).size(), 3u);
  EXPECT_EQ(sections(fileLines("mix.PFP"), 1).size(), 3u);
  EXPECT_EQ(fileLines("mixBC1.BCP").size(), 333u);
  EXPECT_EQ(fileLines("mixBC2.BCP").size(), 333u);
  EXPECT_TRUE(std::filesystem::exists("mixBC3.BCP"));
  EXPECT_EQ(std::filesystem::file_size("mixBC3.BCP"), 0u);
}

// Several calculated systems in one file: the files of all blocks collect every system's
// sections and are closed by the last one; the files of one block of the second system carry
// its number, so that the first system's stay as they were written.
TEST_F(PlotFilesTest, LaterSystemsAppendTheirSectionsAndKeepTheirOwnBlockFiles) {
  openRunFiles("two.out");
  load(twoTitrations());
  singleStep(false);
  EXPECT_TRUE(files_.pfp.isOpen() && files_.ttc.isOpen() && files_.rac.isOpen());
  load(incrementsAndBatches());
  singleStep(true);
  EXPECT_FALSE(files_.pfp.isOpen() || files_.ttc.isOpen() || files_.rac.isOpen());

  const std::vector<Section> pfp = sections(fileLines("two.PFP"), 1);
  ASSERT_EQ(pfp.size(), 5u);
  EXPECT_EQ(pfp[0].n, 5);
  EXPECT_EQ(pfp[2].n, 3);
  EXPECT_EQ(pfp[4].n, 1);
  EXPECT_EQ(pfp[2].rows[0][0], 1);  // points are numbered anew in each system
  EXPECT_EQ(sections(fileLines("two.TTC"), 2).size(), 4u);
  EXPECT_EQ(sections(fileLines("two.RAC"), 1).size(), 5u);
  EXPECT_EQ(sections(fileLines("two1.ECP"), 2)[0].n, 5);
  EXPECT_EQ(fileLines("twoBC1.BCP").size(), 401u);
  EXPECT_EQ(sections(fileLines("twoS2_1.ECP"), 2)[0].n, 3);
  EXPECT_EQ(fileLines("twoS2_3.REG")[0], "File [twoS2_3.REG] Ycalc. Yexp. ExpPoinNo");
  EXPECT_EQ(fileLines("twoS2_BC1.BCP").size(), 333u);
  EXPECT_EQ(std::filesystem::file_size("twoS2_BC3.BCP"), 0u);
  EXPECT_FALSE(std::filesystem::exists("two3.GAR"));
}

// A block of more than 500 points gets a row at each of its points (an interpolation step of
// 1), not a single row; the rows keep their layout.
TEST_F(PlotFilesTest, LargeBlockGetsARowAtEveryPoint) {
  for (const auto& [n, steps] : {std::pair{2, 250}, {500, 1}, {501, 1}, {3300, 1}, {167, 2}})
    EXPECT_EQ(percentageSteps(n), steps) << n;
  openRunFiles("big.out");
  load(batchDat(600));
  singleStep();
  const std::vector<std::string> bcp = fileLines("bigBC1.BCP");
  const std::vector<Section> pfp = sections(fileLines("big.PFP"), 1);
  ASSERT_EQ(bcp.size(), 600u);
  ASSERT_EQ(pfp[0].rows.size(), 600u);
  for (std::size_t r = 0; r < bcp.size(); r += 99) {
    EXPECT_EQ(bcp[r].substr(0, 7), fmt::integer(static_cast<long long>(r) + 1, 5) + ".0");
    EXPECT_EQ(numbersOf(bcp[r]), pfp[0].rows[r]) << r;
  }
}

// Files of one block are named after the report without its extension, in the report's
// folder; the files of all blocks after the report's name up to its first ".".
TEST_F(PlotFilesTest, BlockFilesAreNamedAfterTheReport) {
  EXPECT_EQ(blockFileBase("runs.v2/res"), "runs.v2/res");  // no extension to drop
  EXPECT_EQ(systemFileBase("runs.v2/res", 12), "runs.v2/resS12_");
  std::filesystem::create_directory("runs.v2");
  openRunFiles("runs.v2/acid.old.out");
  load(twoTitrations());
  singleStep();
  for (const char* name :
       {"runs.v2/acid.PFP", "runs.v2/acid.TTC", "runs.v2/acid.RAC", "runs.v2/acid.old1.ECP",
        "runs.v2/acid.old2.GAR", "runs.v2/acid.old2.REG", "runs.v2/acid.oldBC1.BCP",
        "runs.v2/acid.oldBC2.BCP"})
    EXPECT_TRUE(std::filesystem::exists(name)) << name;
  EXPECT_EQ(fileLines("runs.v2/acid.old1.REG")[0],
            "File [runs.v2/acid.old1.REG] Ycalc. Yexp. ExpPoinNo");
}

}  // namespace
}  // namespace tarvolin::test
