// The titration-curve, residual and basic-component percentage windows: their files, layout,
// curves and read-outs.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "base/number_format.h"
#include "model/model.h"
#include "run/plot_files.h"
#include "tests/support/test_support.h"
#include "ui/results/plotting/curve_files.h"
#include "ui/results/plotting/curve_frame.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/percentage_plot.h"
#include "ui/results/plotting/residual_plot.h"
#include "ui/results/plotting/titration_plot.h"

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

  EXPECT_EQ(frame.sideCaptionAt(kResidualYCaptionDx), (Pixel{3, 19}));

  // x = 92 * 4 / 370, y = -1 + 77 * 4 / 305.
  EXPECT_EQ(residualReadout(frame, 176, 276, '.'),
            "Ycalc. =      0.99459;     Yexp. =      1.00443;     (Yexp. - Ycalc.) =      0.00984");
}

// Three species, two offered components; five rows (a data set of three points, two steps
// per interval). Component block 1: species 1 falls from 100, species 2 is absent, species 3
// rises. Block 2: species 1 rises 10 ... 50, species 2 absent, species 3 falls 90 ... 50.
std::string percentageFile() {
  std::string text;
  for (int r = 1; r <= 5; ++r) {
    const Real first = 120 - 20 * r;
    const std::vector<Real> values = {first, 0, 100 - first, 10.0L * r, 0, 100 - 10.0L * r};
    text += percentageRow(r, values) + "\r\n";
  }
  return text;
}

// Residuals spread over 1E-13 are flat; over 1E-11 they are drawn. More points than a data set
// can hold are refused before anything is read. A percentage file of a single point is empty;
// one with fewer blocks than the second component needs is refused.
TEST_F(CurvePlotTest, CurveFilesThatCannotBeDrawnGiveMessages) {
  const std::string cannot = "Impossible to plot the data: ";
  const std::string flat = cannot + "Xmin = Xmax or Ymin = Ymax";
  const std::vector<std::array<std::string, 3>> cases = {
      {"flat1.GAR", "3\n1 5.0E-01\n2 5.000000000001E-01\n3 5.0E-01\n", flat},
      {"narrow1.GAR", "3\n1 5.0E-01\n2 5.0000000001E-01\n3 5.0E-01\n", ""},
      {"empty1.GAR", "0\n", flat},
      {"short1.GAR", "5\n" + line(1, 1) + line(2, 2) + line(3, 3),
       cannot + "cannot read line 5 of file 'short1.GAR'"},
      {"bad1.GAR", "3\n" + line(1, 1) + "    2.0 two\n" + line(3, 3),
       cannot + "cannot read line 3 of file 'bad1.GAR'"},
      {"count1.GAR", "three\n", cannot + "cannot read line 1 of file 'count1.GAR'"},
      {"big1.ECP", "3301\n" + line(1, 1), cannot + "more than 3300 points in file 'big1.ECP'"},
      {"emptyBC1.BCP", "", cannot + "Xmin = Xmax"},
      {"shortBC1.BCP", percentageFile(), cannot + "cannot read line 1 of file 'shortBC1.BCP'"},
  };
  const auto load = [](const std::string& name) {
    if (name.ends_with(".ECP")) return loadTitrationPlot(name, '.').message;
    if (name.ends_with(".BCP")) return loadPercentageFile(name, valuesNeeded(3, 2), '.').message;
    return loadResidualPlot(name, '.').message;
  };
  for (const auto& [name, text, message] : cases) {
    test::writeFile(name, text);
    EXPECT_EQ(load(name), message) << name;
  }
  EXPECT_EQ(load("none1.GAR"), "Cannot open file 'none1.GAR'");
  EXPECT_EQ(load("noneBC1.BCP"), "Cannot open file 'noneBC1.BCP'");
  // Residuals of one sign draw no zero line.
  test::writeFile("pos1.GAR", "3\n" + line(1, 0.5L) + line(2, 1) + line(3, 2));
  const ResidualPlot plot = loadResidualPlot("pos1.GAR", '.');
  ASSERT_EQ(plot.message, "");
  EXPECT_FALSE(zeroLine(residualFrame(kClient, plot)).has_value());
}

TEST_F(CurvePlotTest, CommaSeparatedCurveFilesLoad) {
  std::string text = residualFile();
  std::ranges::replace(text, '.', ',');
  test::writeFile("comma1.GAR", text);
  for (const char user : {'.', ','}) {
    const ResidualPlot plot = loadResidualPlot("comma1.GAR", user);
    ASSERT_EQ(plot.message, "");
    EXPECT_EQ(plot.D, (std::vector<Real>{-1, 2, 3, 0}));
  }
  text = percentageFile();
  std::ranges::replace(text, '.', ',');
  test::writeFile("commaBC1.BCP", text);
  const PercentageData data = loadPercentageFile("commaBC1.BCP", 7, '.');
  ASSERT_EQ(data.message, "");
  EXPECT_EQ(data.rows[1][4], 20.0f);
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

TEST(PercentagePlot, OfferedComponentsAndTheirColumns) {
  auto model = test::newModel();
  Model& m = *model;
  m.NReactants = 3;
  m.NSpecies = 5;
  for (int k = 1; k <= 3; ++k) m.Stoich[k][k] = 1;
  m.Stoich[4][1] = 1;
  m.Stoich[4][3] = 2;
  m.Stoich[5][1] = 1;
  m.Stoich[5][2] = -1;  // a hydroxo species: component 2 has no distribution to show
  const std::vector<int> offered = offeredComponents(m);
  EXPECT_EQ(offered, (std::vector<int>{1, 3}));
  EXPECT_EQ(componentChooserItems(offered), (std::vector<std::string>{"1", "3"}));

  // Value 1 is the abscissa, then a block of NS values per offered component.
  EXPECT_EQ(speciesValueNumber(5, 0, 1), 2);
  EXPECT_EQ(speciesValueNumber(5, 1, 2), 8);
  EXPECT_EQ(valuesNeeded(5, 1), 11);

  // A remembered position the chooser no longer holds falls back to the first component.
  EXPECT_EQ(chooserPosition(1, offered.size()), 1);
  EXPECT_EQ(chooserPosition(2, offered.size()), 0);

  EXPECT_EQ(speciesLabel(2, 2), "2");
  EXPECT_EQ(speciesLabel(2, 7), "2 in 7");
}

TEST(PercentagePlot, ColourCycleRepeatsAfterEight) {
  EXPECT_EQ(curveColour(0), 0xFF0000u);
  EXPECT_EQ(curveColour(6), 0xFF8000u);
  EXPECT_EQ(curveColour(7), 0x008080u);
  EXPECT_EQ(curveColour(8), 0xFF0000u);
}

// Client 508 x 396: X0 = 12, the data area from x = 60 is W = 400 wide (100 per row step) and
// H = 300 high from y = 348 (3 pixels per percent).
TEST_F(CurvePlotTest, CurvesOfTheSecondComponentSkipAnAbsentSpecies) {
  test::writeFile("runBC1.BCP", percentageFile());
  const PercentageData data = loadPercentageFile("runBC1.BCP", valuesNeeded(3, 1), '.');
  ASSERT_EQ(data.message, "");
  EXPECT_EQ(data.x.max, 5.0L);
  const CurveFrame frame = percentageFrame({0, 0, 508, 396}, data);

  const auto curves = percentageCurves(data, frame, 3, 3, 1);
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(curves[0].colour, 0xFF0000u);
  EXPECT_EQ(curves[0].label, "3 in 1");
  EXPECT_EQ(curves[0].points,
            (std::vector<Pixel>{{60, 318}, {160, 288}, {260, 258}, {360, 228}, {460, 198}}));
  EXPECT_EQ(curves[0].labelAtEnd, (Pixel{457, 192}));
  EXPECT_EQ(curves[0].labelAtStart, (Pixel{60, 312}));
  // Species 2 is zero throughout: species 3 takes the second colour.
  EXPECT_EQ(curves[1].species, 3);
  EXPECT_EQ(curves[1].colour, 0x0000FFu);
  EXPECT_EQ(curves[1].label, "3");
  EXPECT_EQ(curves[1].points.front(), (Pixel{60, 78}));
  EXPECT_EQ(curves[1].labelAtEnd, (Pixel{460, 192}));

  // The first block holds the first component's values.
  const auto first = percentageCurves(data, frame, 3, 1, 0);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].points.front(), (Pixel{60, 48}));
  EXPECT_EQ(first[1].points.front(), (Pixel{60, 348}));
}

// Client 502 x 401: W = 394 and H = 305, the data area from (60, 353).
TEST(PercentagePlot, TicksFrameAndReadout) {
  PercentageData data;
  data.x = {1, 100};
  const CurveFrame frame = percentageFrame({0, 0, 502, 401}, data);
  const auto corners = percentageFrameCorners(frame);
  EXPECT_EQ(corners[0], (Pixel{48, 36}));
  EXPECT_EQ(corners[2], (Pixel{478, 365}));

  // Ten points: numbers 1, 3.25, 5.5, 7.75, 10 rounded (halves to even); the tick mark at the
  // rounded pixel, the label from the truncated one.
  const auto x = percentageXTicks(frame, 10, '.');
  const std::vector<int> numbers = {1, 3, 6, 8, 10};
  const std::vector<int> marks = {60, 148, 279, 366, 454};
  const std::vector<int> labels = {52, 139, 270, 358, 446};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(x[k].value, numbers[k]);
    EXPECT_EQ(x[k].from, (Pixel{marks[k], 365}));
    EXPECT_EQ(x[k].labelAt, (Pixel{labels[k], 370}));
  }
  EXPECT_EQ(x[2].label, "  6");

  const auto y = percentageYTicks(frame, '.');
  EXPECT_EQ(y[0].from, (Pixel{48, 353}));
  EXPECT_EQ(y[3].from.y, 261);
  EXPECT_EQ(y[10].from.y, 48);
  EXPECT_EQ(y[10].label, "100");
  EXPECT_EQ(y[1].labelAt, (Pixel{6, 316}));

  EXPECT_EQ(percentageReadout(frame, 10, 258, 292, '.'), "Experimental Point =    6;  PC = 20.0");
  EXPECT_EQ(percentageReadout(frame, 10, 258, 292, ','), "Experimental Point =    6;  PC = 20,0");
}

}  // namespace
}  // namespace tarvolin::plotting
