#include "ui/plotting/regression_file.h"

#include <gtest/gtest.h>

#include "model/model.h"
#include "run/plot_files.h"
#include "tests/support/test_support.h"
#include "ui/plotting/data_sets.h"

namespace tarvolin::plotting {
namespace {

using RegressionFileTest = test::ScratchFolderTest;

const std::string kHeader = "File [run1.REG] Ycalc. Yexp. ExpPoinNo\r\n";

TEST_F(RegressionFileTest, ReadsFixedColumnsAndTheTitleSuffix) {
  test::writeFile("run1.REG", kHeader +
                                  " 1.00000E+0000  2.00000E+0000     1\r\n"
                                  " 3.00000E+0000  5.00000E+0000    12\r\n"
                                  "-2.00000E+0000 -1.50000E+0000     3 trailing text\r\n");
  const RegressionLoad load = loadRegressionFile("run1.REG", '.');
  ASSERT_EQ(load.status, RegressionLoadStatus::ready);
  EXPECT_TRUE(load.plotReady());
  EXPECT_TRUE(load.message.empty());
  const RegressionData& d = load.plot.data;
  EXPECT_EQ(d.titleSuffix, "File [run1.REG] Ycalc.");
  EXPECT_EQ(d.Ycalc, (std::vector<Real>{1, 3, -2}));
  EXPECT_EQ(d.Yexp, (std::vector<Real>{2, 5, -1.5L}));
  EXPECT_EQ(d.PointNo, (std::vector<std::int32_t>{1, 12, 3}));
  EXPECT_EQ(load.plot.x.min, -2.0L);
  EXPECT_EQ(load.plot.x.max, 3.0L);
  EXPECT_EQ(load.plot.y.min, -1.5L);
  EXPECT_EQ(load.plot.y.max, 5.0L);
  EXPECT_EQ(load.plot.line.Ycalc, (std::vector<Real>{-2, 1, 3}));
  EXPECT_EQ(regressionCaption("run1.REG"), "P L O T :   Yexp.  vs  Ycalc.;  File: run1.REG");
}

TEST_F(RegressionFileTest, BadLinesAreSkippedSilently) {
  const RegressionData d = parseRegressionText(kHeader +
                                                   " 1.00000E+0000  2.00000E+0000     1\n"
                                                   "\n"
                                                   " 2.00000E+0000  3.00000E+0000\n"  // no number
                                                   " 2.00000E+0000  xxxxxxxxxxxxx     2\n"
                                                   " 2.00000E+0000  3.00000E+0000   2.5\n"
                                                   "           NAN  3.00000E+0000     2\n"
                                                   "1.0 2.0 3\n"  // free format: wrong columns
                                                   " 4.00000E+0000  6.00000E+0000     4\n",
                                               '.');
  EXPECT_EQ(d.PointNo, (std::vector<std::int32_t>{1, 4}));
  EXPECT_EQ(d.Ycalc, (std::vector<Real>{1, 4}));
}

// A file written where "," is the decimal separator loads under "." and the reverse.
TEST_F(RegressionFileTest, CommaAndPointFilesLoadUnderEitherSeparator) {
  const std::string comma = kHeader +
                            " 1,00000E+0000  2,50000E+0000     1\n"
                            " 2,00000E+0000  3,50000E+0000     2\n"
                            " 3,00000E+0000  3,00000E+0000     3\n";
  std::string point = comma;
  for (char& c : point) {
    if (c == ',') c = '.';
  }
  for (const std::string& text : {comma, point}) {
    for (const char user : {'.', ','}) {
      const RegressionData d = parseRegressionText(text, user);
      EXPECT_EQ(d.Yexp, (std::vector<Real>{2.5L, 3.5L, 3}));
    }
  }
}

TEST_F(RegressionFileTest, MissingFileTwoPointsAndFlatRanges) {
  const RegressionLoad missing = loadRegressionFile("none1.REG", '.');
  EXPECT_EQ(missing.status, RegressionLoadStatus::missingFile);
  EXPECT_FALSE(missing.plotReady());
  EXPECT_EQ(missing.message, "PLOT Yexp. vs Ycalc.: Cannot find file none1.REG");

  // Two valid points: not shown, and no message.
  test::writeFile("two1.REG", kHeader +
                                  " 1.00000E+0000  2.00000E+0000     1\n"
                                  " 2.00000E+0000  3.00000E+0000     2\n"
                                  "garbage\n");
  const RegressionLoad two = loadRegressionFile("two1.REG", '.');
  EXPECT_EQ(two.status, RegressionLoadStatus::tooFewPoints);
  EXPECT_FALSE(two.plotReady());
  EXPECT_TRUE(two.message.empty());

  // Equal measured values: shown, but with the message and no plot.
  test::writeFile("flat1.REG", kHeader +
                                   " 1.00000E+0000  2.00000E+0000     1\n"
                                   " 2.00000E+0000  2.00000E+0000     2\n"
                                   " 3.00000E+0000  2.00000E+0000     3\n");
  const RegressionLoad flat = loadRegressionFile("flat1.REG", '.');
  EXPECT_EQ(flat.status, RegressionLoadStatus::degenerateRange);
  EXPECT_TRUE(flat.plotReady());
  EXPECT_EQ(flat.message, "PLOT Y vs X: Could not plot data set: min = max.");

  test::writeFile("empty1.REG", "");
  EXPECT_EQ(loadRegressionFile("empty1.REG", '.').status, RegressionLoadStatus::tooFewPoints);
}

// The file a run writes loads back with every point, to the digits it holds.
TEST_F(RegressionFileTest, ReadsWhatTheRunWrites) {
  auto model = test::newModel();
  Model& m = *model;
  m.NBlocks = 2;
  m.NPoints[1] = 2;
  m.NPoints[2] = 4;
  for (int p = 1; p <= 6; ++p) {
    m.Ycalc[p] = 0.001L * p * p - 0.5L;
    m.Yexp[p] = m.Ycalc[p] + (p % 2 ? 1e-4L : -2e-4L);
  }
  writeBlockPlotFiles(m, 2, "run");
  const RegressionLoad load = loadRegressionFile(dataSetFileName("run.OUT", 1, ".REG"), '.');
  ASSERT_EQ(load.status, RegressionLoadStatus::ready);
  EXPECT_EQ(load.plot.data.titleSuffix, "File [run2.REG] Ycalc.");
  ASSERT_EQ(load.plot.data.N(), 4);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(load.plot.data.PointNo[k - 1], k);
    EXPECT_TRUE(test::ExpectClose(load.plot.data.Ycalc[k - 1], m.Ycalc[2 + k], 1e-5L));
    EXPECT_TRUE(test::ExpectClose(load.plot.data.Yexp[k - 1], m.Yexp[2 + k], 1e-5L));
  }
}

}  // namespace
}  // namespace tarvolin::plotting
