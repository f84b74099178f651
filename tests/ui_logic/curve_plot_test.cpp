#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/number_format.h"
#include "model/model.h"
#include "run/plot_files.h"
#include "tests/support/test_support.h"
#include "ui/plotting/curve_files.h"
#include "ui/plotting/curve_frame.h"
#include "ui/plotting/data_sets.h"
#include "ui/plotting/residual_plot.h"
#include "ui/plotting/titration_plot.h"

namespace tarvolin::plotting {
namespace {

using CurvePlotTest = test::ScratchFolderTest;

// Client area 502 x 401: X0 = 36, data area from x = 84, W = 370 (a quarter is 92.5), bottom
// edge 353, H = 305 (a quarter is 76.25).
constexpr ClientRect kClient = {0, 0, 502, 401};

std::string line(Real x, Real y) {
  return fmt::scientific(x, 15) + " " + fmt::scientific(y, 15) + "\r\n";
}

// Residuals at Ycalc 3, 1, 0, 4 (file order): -1, 2, 3, 0. Ranges 0 ... 4 and -1 ... 3.
std::string residualFile() { return "4\r\n" + line(3, -1) + line(1, 2) + line(0, 3) + line(4, 0); }

TEST_F(CurvePlotTest, ResidualsSortedByYcalcWithTruncatedPixels) {
  test::writeFile("run1.GAR", residualFile());
  const ResidualPlot plot = loadResidualPlot("run1.GAR", '.');
  ASSERT_EQ(plot.message, "");
  EXPECT_EQ(plot.Ycalc, (std::vector<Real>{3, 1, 0, 4}));
  EXPECT_EQ(plot.sortedYcalc, (std::vector<Real>{0, 1, 3, 4}));
  EXPECT_EQ(plot.sortedD, (std::vector<Real>{3, 2, -1, 0}));

  const CurveFrame frame = residualFrame(kClient, plot);
  EXPECT_EQ(frame.frame()[0], (Pixel{72, 36}));
  EXPECT_EQ(frame.frame()[2], (Pixel{466, 365}));
  // Point (3, -1) lies at (361.5, 353): its circle is truncated, its hit square rounded.
  const auto boxes = residualPointBoxes(frame, plot);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], (Box{80, 44, 88, 52}));
  EXPECT_EQ(boxes[2], (Box{357, 349, 365, 357}));
  EXPECT_EQ(frame.hitTest(365, 353, plot.Ycalc, plot.D), 1);
  EXPECT_EQ(frame.hitTest(366, 353, plot.Ycalc, plot.D), 0);
  EXPECT_EQ(frame.hitTest(176, 124, plot.Ycalc, plot.D), 2);

  const auto zero = zeroLine(frame);
  ASSERT_TRUE(zero.has_value());
  EXPECT_EQ((*zero)[0], (Pixel{72, 276}));
  EXPECT_EQ((*zero)[1], (Pixel{466, 276}));

  const auto x = residualXTicks(frame, '.');
  const std::vector<int> columns = {84, 176, 269, 361, 454};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(x[k].from, (Pixel{columns[k], 365}));
    EXPECT_EQ(x[k].to, (Pixel{columns[k], 357}));
    EXPECT_EQ(x[k].labelAt, (Pixel{columns[k] - 8, 370}));
  }
  EXPECT_EQ(x[1].label, "1.00E+00");
  const auto y = frame.yTicks(9, '.');
  const std::vector<int> rows = {353, 276, 200, 124, 48};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(y[k].value, k - 1);
    EXPECT_EQ(y[k].from, (Pixel{72, rows[k]}));
    EXPECT_EQ(y[k].labelAt, (Pixel{4, rows[k] - 6}));
  }
  EXPECT_EQ(y[3].label, "2.00E+00");

  EXPECT_EQ(frame.bottomCaptionAt(40), (Pixel{426, 384}));
  EXPECT_EQ(frame.sideCaptionAt(kResidualYCaptionDx), (Pixel{3, 19}));
  EXPECT_EQ(frame.titleAt(201), (Pixel{150, 12}));

  // x = 92 * 4 / 370, y = -1 + 77 * 4 / 305.
  EXPECT_EQ(residualReadout(frame, 176, 276, '.'),
            "Ycalc. =      0.99459;     Yexp. =      1.00443;     (Yexp. - Ycalc.) =      0.00984");
}

TEST_F(CurvePlotTest, ResidualsOfOneSignDrawNoZeroLine) {
  test::writeFile("pos1.GAR", "3\n" + line(1, 0.5L) + line(2, 1) + line(3, 2));
  const ResidualPlot plot = loadResidualPlot("pos1.GAR", '.');
  ASSERT_EQ(plot.message, "");
  EXPECT_FALSE(zeroLine(residualFrame(kClient, plot)).has_value());
}

TEST_F(CurvePlotTest, CurveFilesThatCannotBeDrawnGiveMessages) {
  EXPECT_EQ(loadResidualPlot("none1.GAR", '.').message, "Cannot open file 'none1.GAR'");

  // Residuals spread over 1E-13 are flat; over 1E-11 they are drawn.
  test::writeFile("flat1.GAR", "3\n1 5.0E-01\n2 5.000000000001E-01\n3 5.0E-01\n");
  EXPECT_EQ(loadResidualPlot("flat1.GAR", '.').message,
            "Impossible to plot the data: Xmin = Xmax or Ymin = Ymax");
  test::writeFile("narrow1.GAR", "3\n1 5.0E-01\n2 5.0000000001E-01\n3 5.0E-01\n");
  EXPECT_EQ(loadResidualPlot("narrow1.GAR", '.').message, "");
  test::writeFile("empty1.GAR", "0\n");
  EXPECT_EQ(loadResidualPlot("empty1.GAR", '.').message,
            "Impossible to plot the data: Xmin = Xmax or Ymin = Ymax");

  test::writeFile("short1.GAR", "5\n" + line(1, 1) + line(2, 2) + line(3, 3));
  EXPECT_EQ(loadResidualPlot("short1.GAR", '.').message,
            "Impossible to plot the data: cannot read line 5 of file 'short1.GAR'");
  test::writeFile("bad1.GAR", "3\n" + line(1, 1) + "    2.0 two\n" + line(3, 3));
  EXPECT_EQ(loadResidualPlot("bad1.GAR", '.').message,
            "Impossible to plot the data: cannot read line 3 of file 'bad1.GAR'");
  test::writeFile("count1.GAR", "three\n");
  EXPECT_EQ(loadResidualPlot("count1.GAR", '.').message,
            "Impossible to plot the data: cannot read line 1 of file 'count1.GAR'");

  // More points than a data set can hold is refused before anything is read.
  test::writeFile("big1.ECP", "3301\n" + line(1, 1));
  EXPECT_EQ(loadTitrationPlot("big1.ECP", '.').message,
            "Impossible to plot the data: more than 3300 points in file 'big1.ECP'");
}

TEST_F(CurvePlotTest, CommaSeparatedCurveFilesLoad) {
  std::string text = residualFile();
  for (char& c : text) {
    if (c == '.') c = ',';
  }
  test::writeFile("comma1.GAR", text);
  for (const char user : {'.', ','}) {
    const ResidualPlot plot = loadResidualPlot("comma1.GAR", user);
    ASSERT_EQ(plot.message, "");
    EXPECT_EQ(plot.D, (std::vector<Real>{-1, 2, 3, 0}));
  }
}

// h(k) = 0.01 k^3 - 0.1 k^2 + k at the points 1 ... 12, measured as 0.5 k.
Real calculated(Real k) { return ((0.01L * k - 0.1L) * k + 1) * k; }

std::string titrationFile(const std::vector<int>& calculatedOrder) {
  std::string text = "12\n";
  for (int k = 1; k <= 12; ++k)
    text += fmt::integer(k, 5) + " " + fmt::scientific(0.5L * k, 15) + "\n";
  for (const int k : calculatedOrder) {
    text += fmt::integer(k, 5) + " " + fmt::scientific(calculated(k), 25) + "\n";
  }
  return text;
}

TEST_F(CurvePlotTest, TitrationCurveThroughTheSortedCalculatedPoints) {
  test::writeFile("run1.ECP", titrationFile({3, 1, 2, 4, 5, 6, 7, 8, 12, 11, 10, 9}));
  const TitrationPlot plot = loadTitrationPlot("run1.ECP", '.');
  ASSERT_EQ(plot.message, "");
  EXPECT_TRUE(plot.splineDrawable);
  EXPECT_EQ(plot.calcNo.front(), 1.0L);
  EXPECT_EQ(plot.calcNo.back(), 12.0L);
  EXPECT_EQ(plot.x.min, 1.0L);
  EXPECT_EQ(plot.y.max, 6.0L);

  const CurveFrame frame = titrationFrame(kClient, plot);
  // Point numbers 1, 3.75, 6.5, 9.25, 12 rounded (halves to even), each at its rounded pixel.
  const auto ticks = titrationXTicks(frame, '.');
  const std::vector<int> numbers = {1, 4, 6, 9, 12};
  const std::vector<int> columns = {84, 185, 252, 353, 454};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(ticks[k].value, numbers[k]);
    EXPECT_EQ(ticks[k].from.x, columns[k]);
    EXPECT_EQ(ticks[k].labelAt.x, columns[k] - 8);
  }
  EXPECT_EQ(ticks[0].label, "  1");
  EXPECT_EQ(ticks[4].label, " 12");

  // The curve: a move to the first calculated value, then one pixel column after another; the
  // spline reproduces the cubic h.
  const auto curve = calculatedCurve(frame, plot);
  ASSERT_EQ(curve.size(), 372u);
  EXPECT_EQ(curve[0], (Pixel{84, truncatePixel(frame.py(calculated(1)))}));
  for (int column = 0; column <= 370; ++column) {
    const Real u = 1 + column * 11.0L / 370;
    // px(u) comes back to the column up to rounding, which truncation may take one lower.
    EXPECT_NEAR(curve[column + 1].x, 84 + column - 0.5, 0.5) << column;
    EXPECT_NEAR(curve[column + 1].y, frame.py(calculated(u)), 1.0) << column;
  }

  const auto circles = measuredPointBoxes(frame, plot);
  ASSERT_EQ(circles.size(), 12u);
  EXPECT_EQ(circles[0], frame.markBox(1, 0.5L, 4));
  const auto dots = calculatedDotBoxes(frame, plot);
  EXPECT_EQ(dots[11].right - dots[11].left, 4);

  // The 4th measured point lies at (184.9, 269.8); the read-out at (184, 276) is
  // x = 1 + 100 * 11 / 370, y = 0.5 + 77 * 5.5 / 305.
  EXPECT_EQ(frame.hitTest(185, 272, plot.expNo, plot.Yexp), 4);
  EXPECT_EQ(frame.hitTest(185, 266, plot.expNo, plot.Yexp), 0);
  EXPECT_EQ(titrationReadout(frame, 184, 276, '.'),
            "Experimental Point =    4;     Y =      1.88852");
}

TEST_F(CurvePlotTest, EqualPointNumbersGiveDotsInsteadOfASpline) {
  test::writeFile("dup1.ECP", titrationFile({1, 2, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  const TitrationPlot plot = loadTitrationPlot("dup1.ECP", '.');
  ASSERT_EQ(plot.message, "");
  EXPECT_FALSE(plot.splineDrawable);
  const CurveFrame frame = titrationFrame(kClient, plot);
  EXPECT_EQ(calculatedCurve(frame, plot).size(), 1u);
  EXPECT_EQ(calculatedDotBoxes(frame, plot).size(), 12u);
}

// A data set of the largest size, as the run writes it, loads whole into both windows.
TEST_F(CurvePlotTest, ReadsTheLargestDataSetAsTheRunWritesIt) {
  auto model = test::newModel();
  Model& m = *model;
  m.NBlocks = 1;
  m.NPoints[1] = 3300;
  for (int p = 1; p <= 3300; ++p) {
    m.Ycalc[p] = std::sin(p / 300.0L);
    m.Yexp[p] = m.Ycalc[p] + 0.001L * ((p * 37) % 11 - 5);
  }
  writeBlockPlotFiles(m, 1, "big");

  const TitrationPlot titration = loadTitrationPlot(dataSetFileName("big.OUT", 0, ".ECP"), '.');
  ASSERT_EQ(titration.message, "");
  EXPECT_EQ(titration.expNo.size(), 3300u);
  EXPECT_TRUE(titration.splineDrawable);
  EXPECT_TRUE(test::ExpectClose(titration.Ycalc[1999], m.Ycalc[2000], 1e-6L));
  const CurveFrame frame = titrationFrame({0, 0, 2000, 1000}, titration);
  EXPECT_EQ(calculatedCurve(frame, titration).size(), 1870u);

  const ResidualPlot residuals = loadResidualPlot(dataSetFileName("big.OUT", 0, ".GAR"), '.');
  ASSERT_EQ(residuals.message, "");
  EXPECT_EQ(residuals.D.size(), 3300u);
  EXPECT_TRUE(test::ExpectClose(residuals.D[9], m.Yexp[10] - m.Ycalc[10], 1e-6L));
}

}  // namespace
}  // namespace tarvolin::plotting
