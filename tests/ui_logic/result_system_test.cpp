#include "ui/plotting/result_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/model.h"
#include "run/run_driver.h"
#include "tests/support/test_support.h"

namespace tarvolin::plotting {
namespace {

class ResultSystemTest : public test::ScratchFolderTest {
 protected:
  // A Single Step on an example, its report written to run.out.
  void runExample(const std::string& example, RunStatus (*driver)(Model&, Platform&)) {
    test::writeFile("RUN.DAT", test::readFile(test::sourcePath("examples/" + example)));
    test::writeFile("IN.IN", "RUN.DAT\r\nrun.out\r\n");
    model_->SingleStep = 1;
    ASSERT_EQ(driver(*model_, platform_), RunStatus::Completed);
  }
  std::unique_ptr<Model> model_ = test::newModel();
  test::FakePlatform platform_;
};

void expectSameSystem(const ResultSystem& read, const ResultSystem& expected) {
  EXPECT_EQ(read.dataSets, expected.dataSets);
  EXPECT_EQ(read.NS, expected.NS);
  EXPECT_EQ(read.offered, expected.offered);
  EXPECT_EQ(read.points, expected.points);
}

// A report opened from disk gives the windows the same system as the run that wrote it: two
// blocks of 31 and 30 points, eight species, the proton (carried with -1 by hydroxide) not
// offered. A residual file of a third block left by an earlier run does not count.
TEST_F(ResultSystemTest, AReportReadsAsTheSystemOfItsRun) {
  runExample("TWO_BLOCKS.DAT", &SimplexRun);
  test::writeFile("run3.GAR", "1\r\n0 0\r\n");
  const ResultSystem fromModel = resultSystemOf(*model_);
  EXPECT_EQ(fromModel.dataSets, 2);
  EXPECT_EQ(fromModel.NS, 8);
  EXPECT_EQ(fromModel.offered, (std::vector<int>{2, 3}));
  EXPECT_EQ(fromModel.points, (std::vector<int>{31, 30}));
  EXPECT_EQ(fromModel.pointsOf(1), 30);
  EXPECT_EQ(fromModel.pointsOf(2), 0);
  expectSameSystem(resultSystemOfReport("run.out"), fromModel);

  // A gradient Single Step writes no species table: the residual files give the blocks.
  std::filesystem::remove("run3.GAR");
  runExample("TWO_BLOCKS.DAT", &GradientRun);
  EXPECT_EQ(parseReportTables(test::readFile("run.out")).blocks, 0);
  expectSameSystem(resultSystemOfReport("run.out"), fromModel);
}

// A report of two calculated systems: the plot files belong to the last one, and so does the
// last species table.
TEST_F(ResultSystemTest, TheLastSystemOfAReportCounts) {
  runExample("TWO_SYSTEMS.DAT", &SimplexRun);
  const std::string report = test::readFile("run.out");
  for (const std::string heading : {"All Parameter(s) for Equilibrium:", "TABLE 3:"})
    ASSERT_NE(report.find(heading), report.rfind(heading));
  expectSameSystem(resultSystemOfReport("run.out"), resultSystemOf(*model_));
}

TEST_F(ResultSystemTest, ReportWithoutSpeciesTableCountsTheResidualFiles) {
  test::writeFile("old.OUT", "Start output!\r\n");
  test::writeFile("old1.GAR", "5\r\n");
  test::writeFile("old2.GAR", "2\r\n");
  test::writeFile("old4.GAR", "2\r\n");  // not after a gap
  test::writeFile("old1.ECP", "  12\r\n1 2\r\n");
  test::writeFile("old2.ECP", "many\r\n");
  const ResultSystem system = resultSystemOfReport("old.OUT");
  EXPECT_EQ(system.dataSets, 2);
  EXPECT_EQ(system.NS, 0);
  EXPECT_TRUE(system.offered.empty());
  EXPECT_EQ(system.points, (std::vector<int>{12, 0}));
  EXPECT_EQ(resultSystemOfReport("missing.OUT").dataSets, 0);
}

std::string speciesTable(const std::vector<std::string>& rows) {
  std::string text =
      "All Parameter(s) for Equilibrium:\r\n" + std::string(80, '=') +
      "\r\nEquilibrium  Stoichiometric Matrix         lgBETA    Additive Value (AV)\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text + std::string(80, '=') + "\r\n";
}

// A row: number, the coefficients in fields of three, blank fields up to the lgBETA column,
// lgBETA and the additive values.
std::string speciesRow(int i, const std::string& coefficients, const std::string& values) {
  std::string row = (i < 10 ? "  " : " ") + std::to_string(i) + ".       " + coefficients;
  row.resize(161, ' ');
  return row + values;
}

std::string percentageTable(const std::string& titles, const std::string& species) {
  return "TABLE 3: The Percentage  of Each Basic Component (Cb)\r\n"
         "         in Each Chemical Species (C) in the Solution\r\n" +
         titles + "\r\n" + species + "\r\n  1.    0.00 |\r\n";
}

TEST(ReportTables, BlocksSpeciesAndComponentsFromTheLastTables) {
  const std::string first = speciesTable({speciesRow(1, "  1", "  0.000       0.000")}) +
                            percentageTable("      %Cb( 1) in:  | ", "       C( 1) | ");
  const std::string second =
      speciesTable({speciesRow(1, "  1  0", "  0.000       0.000     -10.500"),
                    speciesRow(2, "-10  1", "-113.250   12345.678       0.000")}) +
      percentageTable("      %Cb( 2) in:          |  %Cb(10) in:          | ",
                      "       C( 1)  C( 2)  C( 3) |   C( 1)  C( 2)  C( 3) | ");
  const ReportTables tables = parseReportTables(first + second);
  EXPECT_EQ(tables.blocks, 2);
  EXPECT_EQ(tables.NS, 3);
  EXPECT_EQ(tables.offered, (std::vector<int>{2, 10}));

  // Rows that disagree or are out of sequence give no block count; headings that do not read
  // give no components.
  EXPECT_EQ(parseReportTables(speciesTable({speciesRow(1, "  1  0", "  0.000   1.000"),
                                            speciesRow(2, "  1  0", "  0.000")}))
                .blocks,
            0);
  EXPECT_EQ(parseReportTables(speciesTable({speciesRow(2, "  1  0", "  0.000   1.000")})).blocks,
            0);
  EXPECT_EQ(parseReportTables(speciesTable({})).blocks, 0);
  EXPECT_TRUE(parseReportTables(percentageTable("  %Cb( x) in: |", "  C( 1) |")).offered.empty());
  EXPECT_TRUE(parseReportTables(percentageTable("  %Cb( 3) in: |  %Cb( 2) in: |", "  C( 1) |"))
                  .offered.empty());
  EXPECT_TRUE(parseReportTables(percentageTable("  %Cb( 3) in: |", " |")).offered.empty());
}

// Titrations always; batch data (-1, 0) only when running one way; only the last block counts.
TEST(CurveWindows, OpenAfterTitrationsAndAfterBatchDataRunningOneWay) {
  auto model = test::newModel();
  Model& m = *model;
  m.NBlocks = 2;
  m.Method[1] = 8;
  for (const int code : {1, 2, 3, 5, 6, 7, 8, -1, 0}) {
    for (const int monotonic : {0, 1}) {
      m.Method[2] = static_cast<std::int8_t>(code);
      m.MonotonicData = static_cast<std::uint8_t>(monotonic);
      EXPECT_EQ(curveWindowsWanted(m), code == 3 ? false : code > 0 || monotonic == 1)
          << code << " " << monotonic;
    }
  }
  m.NBlocks = 0;
  EXPECT_FALSE(curveWindowsWanted(m));
}

}  // namespace
}  // namespace tarvolin::plotting
