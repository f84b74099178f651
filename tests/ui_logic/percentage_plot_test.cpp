#include "ui/plotting/percentage_plot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/model.h"
#include "run/plot_files.h"
#include "tests/support/test_support.h"
#include "ui/plotting/data_sets.h"

namespace tarvolin::plotting {
namespace {

using PercentagePlotTest = test::ScratchFolderTest;

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
  EXPECT_EQ(chooserPosition(0, 0), 0);

  EXPECT_EQ(speciesLabel(2, 2), "2");
  EXPECT_EQ(speciesLabel(2, 7), "2 in 7");
}

TEST(PercentagePlot, ColourCycleRepeatsAfterEight) {
  EXPECT_EQ(curveColour(0), 0xFF0000u);
  EXPECT_EQ(curveColour(1), 0x0000FFu);
  EXPECT_EQ(curveColour(6), 0xFF8000u);
  EXPECT_EQ(curveColour(7), 0x008080u);
  EXPECT_EQ(curveColour(8), 0xFF0000u);

  // Nine species present: the ninth curve is red again.
  PercentageData data;
  data.x = {1, 2};
  for (int r = 1; r <= 2; ++r) {
    std::vector<float> row = {static_cast<float>(r)};
    for (int j = 1; j <= 9; ++j) row.push_back(static_cast<float>(j));
    data.rows.push_back(row);
  }
  const CurveFrame frame = percentageFrame({0, 0, 508, 396}, data);
  const auto curves = percentageCurves(data, frame, 9, 1, 0);
  ASSERT_EQ(curves.size(), 9u);
  EXPECT_EQ(curves[8].colour, 0xFF0000u);
  EXPECT_EQ(curves[7].colour, 0x008080u);
}

// Client 508 x 396: X0 = 12, the data area from x = 60 is W = 400 wide (100 per row step) and
// H = 300 high from y = 348 (3 pixels per percent).
TEST_F(PercentagePlotTest, CurvesOfTheSecondComponentSkipAnAbsentSpecies) {
  test::writeFile("runBC1.BCP", percentageFile());
  const PercentageData data = loadPercentageFile("runBC1.BCP", valuesNeeded(3, 1), '.');
  ASSERT_EQ(data.message, "");
  EXPECT_EQ(data.x.min, 1.0L);
  EXPECT_EQ(data.x.max, 5.0L);
  const CurveFrame frame = percentageFrame({0, 0, 508, 396}, data);

  const auto curves = percentageCurves(data, frame, 3, 3, 1);
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(curves[0].species, 1);
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

TEST_F(PercentagePlotTest, FilesThatCannotBeDrawnGiveMessages) {
  EXPECT_EQ(loadPercentageFile("noneBC1.BCP", 4, '.').message, "Cannot open file 'noneBC1.BCP'");
  // A data set of a single point leaves an empty file.
  test::writeFile("emptyBC1.BCP", "");
  EXPECT_EQ(loadPercentageFile("emptyBC1.BCP", 4, '.').message,
            "Impossible to plot the data: Xmin = Xmax");
  // A file with fewer blocks than the chosen component needs.
  test::writeFile("shortBC1.BCP", percentageFile());
  EXPECT_EQ(loadPercentageFile("shortBC1.BCP", valuesNeeded(3, 1), '.').message, "");
  EXPECT_EQ(loadPercentageFile("shortBC1.BCP", valuesNeeded(3, 2), '.').message,
            "Impossible to plot the data: cannot read line 1 of file 'shortBC1.BCP'");

  std::string comma = percentageFile();
  for (char& c : comma) {
    if (c == '.') c = ',';
  }
  test::writeFile("commaBC1.BCP", comma);
  const PercentageData data = loadPercentageFile("commaBC1.BCP", 7, '.');
  ASSERT_EQ(data.message, "");
  EXPECT_EQ(data.rows[1][4], 20.0f);
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
  EXPECT_EQ(y[1].from.y, 322);
  EXPECT_EQ(y[3].from.y, 261);
  EXPECT_EQ(y[10].from.y, 48);
  EXPECT_EQ(y[1].label, " 10");
  EXPECT_EQ(y[10].label, "100");
  EXPECT_EQ(y[1].labelAt, (Pixel{6, 316}));

  EXPECT_EQ(percentageReadout(frame, 10, 258, 292, '.'), "Experimental Point =    6;  PC = 20.0");
  EXPECT_EQ(percentageReadout(frame, 10, 258, 292, ','), "Experimental Point =    6;  PC = 20,0");
  EXPECT_EQ(percentageCaption("runBC1.BCP"), "Basic Components Percentage: [runBC1.BCP]");
}

}  // namespace
}  // namespace tarvolin::plotting
