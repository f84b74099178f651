#include "ui/results/plotting/result_system.h"

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
// offered. A residual file of a third block left by an earlier run does not count, after a
// gradient Single Step (which writes no species table) neither.
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
  ASSERT_EQ(resultSystemsOfReport("run.out").size(), 1u);
  expectSameSystem(resultSystemsOfReport("run.out")[0], fromModel);

  runExample("TWO_BLOCKS.DAT", &GradientRun);
  expectSameSystem(resultSystemsOfReport("run.out")[0], fromModel);
}

// A report of two calculated systems: each system with its own blocks, points and components,
// read from its own section and its own plot files; after the run the last one comes from the
// model.
TEST_F(ResultSystemTest, EverySystemOfAReportCounts) {
  runExample("TWO_SYSTEMS.DAT", &SimplexRun);
  const std::vector<ResultSystem> systems = resultSystemsOfReport("run.out");
  ASSERT_EQ(systems.size(), 2u);
  EXPECT_EQ(systems[0].points, (std::vector<int>{30}));
  expectSameSystem(systems[1], resultSystemOf(*model_));
  EXPECT_EQ(systems[1].points, (std::vector<int>{16}));
  const std::vector<ResultSystem> ofRun = resultSystemsOfRun(*model_, "run.out");
  ASSERT_EQ(ofRun.size(), 2u);
  expectSameSystem(ofRun[0], systems[0]);
  expectSameSystem(ofRun[1], systems[1]);
}

TEST_F(ResultSystemTest, ReportWithoutDataTablesCountsTheResidualFiles) {
  test::writeFile("old.OUT", "Start output!\r\n");
  test::writeFile("old1.GAR", "5\r\n");
  test::writeFile("old2.GAR", "2\r\n");
  test::writeFile("old4.GAR", "2\r\n");  // not after a gap
  test::writeFile("old1.ECP", "  12\r\n1 2\r\n");
  test::writeFile("old2.ECP", "many\r\n");
  const ResultSystem system = resultSystemsOfReport("old.OUT").at(0);
  EXPECT_EQ(system.dataSets, 2);
  EXPECT_EQ(system.NS, 0);
  EXPECT_TRUE(system.offered.empty());
  EXPECT_EQ(system.points, (std::vector<int>{12, 0}));
  EXPECT_EQ(resultSystemsOfReport("missing.OUT").at(0).dataSets, 0);
}

// The species table of a report: its component titles, its species line and one row.
std::string percentageTable(const std::string& titles, const std::string& species) {
  return "TABLE 3: The Percentage  of Each Basic Component (Cb)\r\n"
         "         in Each Chemical Species (C) in the Solution\r\n" +
         titles + "\r\n" + species + "\r\n  1.    0.00 |\r\n";
}

// A report of one system of two blocks, three species and components 2 and 10 offered; one of
// two systems, the first of one block, one species and component 1, the second as before.
TEST(ReportTables, BlocksSpeciesAndComponentsOfEachSystem) {
  const auto report = [](const char* name) {
    return parseReportSystems(test::readFile(test::sourcePath("tests/data/ui/") + name));
  };
  const std::vector<ReportTables> one = report("report_tables_one_system.OUT");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].blocks, 2);
  EXPECT_EQ(one[0].NS, 3);
  EXPECT_EQ(one[0].offered, (std::vector<int>{2, 10}));

  // The banner before the first heading belongs to no system.
  const std::vector<ReportTables> two = report("report_tables_two_systems.OUT");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].blocks, 1);
  EXPECT_EQ(two[0].NS, 1);
  EXPECT_EQ(two[0].offered, (std::vector<int>{1}));
  EXPECT_EQ(two[1].blocks, 2);
  EXPECT_EQ(two[1].offered, (std::vector<int>{2, 10}));

  // Headings that do not read give no components.
  for (const auto& [titles, species] : {std::pair{"  %Cb( x) in: |", "  C( 1) |"},
                                        {"  %Cb( 3) in: |  %Cb( 2) in: |", "  C( 1) |"},
                                        {"  %Cb( 3) in: |", " |"}})
    EXPECT_TRUE(parseReportSystems(percentageTable(titles, species))[0].offered.empty()) << titles;
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
