// Fields of the plot files, the names of points and the data-set choosers of the result windows.

#include "ui/results/plotting/plot_fields.h"

#include <gtest/gtest.h>

#include <clocale>

#include "tests/support/test_support.h"
#include "ui/results/plotting/data_sets.h"
#include "ui/results/plotting/point_names.h"

namespace tarvolin::plotting {
namespace {

// Files written with either separator load whichever the user's separator is: the first comma
// or point becomes the user's separator.
TEST(DecimalSeparator, BothSeparatorsConvertUnderBothUserSeparators) {
  for (const char user : {'.', ','}) {
    SCOPED_TRACE(user);
    EXPECT_EQ(parsePlotReal(" 1.25000E+0001", user), 12.5L);
    EXPECT_EQ(parsePlotReal(" 1,25000E+0001", user), 12.5L);
    EXPECT_EQ(parsePlotReal("-2,5e-3", user), -0.0025L);
    EXPECT_EQ(parsePlotReal("\t 7 \r", user), 7.0L);
    EXPECT_EQ(parsePlotReal("  12.", user), 12.0L);
  }
}

TEST(DecimalSeparator, FieldsThatAreNoNumberAreRefused) {
  for (const char user : {'.', ','}) {
    for (const char* field : {"", "    ", "abc", "1.2.3", "1,2.3", "1,5,5", "1.5E", "E5", "--1",
                              "1 2", "nan", "INF", "0x1p3", "1E99999", "12 Point"}) {
      SCOPED_TRACE(std::string(field) + " with " + user);
      EXPECT_FALSE(parsePlotReal(field, user).has_value());
    }
  }
}

TEST(DecimalSeparator, ConversionIgnoresTheProcessLocale) {
  if (!test::useDecimalCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
  EXPECT_EQ(userDecimalSeparator(), ',');
  EXPECT_EQ(parsePlotReal("1.5", ','), 1.5L);
  EXPECT_EQ(parsePlotReal("1,5", ','), 1.5L);
  EXPECT_EQ(parsePlotReal("1,5", '.'), 1.5L);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(userDecimalSeparator(), '.');
}

TEST(PlotFields, IntegersAndFields) {
  EXPECT_EQ(parsePlotInteger("-3 "), -3);
  for (const char* bad : {"1.0", "", "99999999999"}) EXPECT_FALSE(parsePlotInteger(bad)) << bad;
  EXPECT_EQ(splitFields("    1.0\t 12,50 \t-3 "),
            (std::vector<std::string_view>{"1.0", "12,50", "-3"}));
  EXPECT_TRUE(splitFields(" \t ").empty());
}

// Only the first three numbers get their own suffix; 11, 21 and 22 take "th" like the rest.
// The regression window ends the first with a full stop, the curve windows do not.
TEST(PointNames, SuffixesOfBothWindows) {
  const std::vector<std::pair<int, std::string>> cases = {
      {2, "2nd Point"},   {3, "3d Point"},    {4, "4th Point"},      {11, "11th Point"},
      {21, "21th Point"}, {22, "22th Point"}, {3300, "3300th Point"}};
  for (const auto& [n, name] : cases) {
    EXPECT_EQ(regressionPointName(n), name);
    EXPECT_EQ(curvePointName(n), name);
  }
  EXPECT_EQ(regressionPointName(1), "1st Point.");
  EXPECT_EQ(curvePointName(1), "1st Point");
}

// The window stayed open on data set 3 while a run on a system with one data set replaced the
// files: it shows the first data set, not a file left over from the earlier run.
TEST(PlotDataSets, ChooserShownForSeveralAndBackToTheFirstBeyondTheList) {
  const DataSetChoice one = dataSetChoice(1, 0);
  EXPECT_EQ(one.items, (std::vector<std::string>{"1"}));
  EXPECT_FALSE(one.shown);
  const DataSetChoice three = dataSetChoice(3, 1);
  EXPECT_EQ(three.items, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(three.shown);
  EXPECT_EQ(three.selected, 1);
  EXPECT_EQ(dataSetChoice(1, 2).selected, 0);
  EXPECT_EQ(dataSetChoice(2, 2).selected, 0);
  EXPECT_EQ(dataSetChoice(0, 0).items, (std::vector<std::string>{"1"}));
}

TEST(PlotDataSets, FileNamesFollowTheOutputFile) {
  EXPECT_EQ(dataSetFileName("run.OUT", 0, ".REG"), "run1.REG");
  EXPECT_EQ(dataSetFileName("out/res.old.out", 1, ".GAR"), "out/res.old2.GAR");
  EXPECT_EQ(dataSetFileName("noext", 11, ".ECP"), "noext12.ECP");
  EXPECT_EQ(percentageFileName("run.OUT", 0), "runBC1.BCP");
}

}  // namespace
}  // namespace tarvolin::plotting
