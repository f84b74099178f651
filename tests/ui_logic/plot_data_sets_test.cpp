#include <gtest/gtest.h>

#include "ui/plotting/data_sets.h"

namespace tarvolin::plotting {
namespace {

TEST(PlotDataSets, ChooserHiddenForOneDataSetAndShownForSeveral) {
  const DataSetChoice one = dataSetChoice(1, 0);
  EXPECT_EQ(one.items, (std::vector<std::string>{"1"}));
  EXPECT_FALSE(one.shown);
  EXPECT_EQ(one.selected, 0);

  const DataSetChoice three = dataSetChoice(3, 1);
  EXPECT_EQ(three.items, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(three.shown);
  EXPECT_EQ(three.selected, 1);
}

// The window stayed open on data set 3 while a run on a system with one data set replaced the
// files: it shows the first data set, not a file left over from the earlier run.
TEST(PlotDataSets, RememberedDataSetBeyondTheListFallsBackToTheFirst) {
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
