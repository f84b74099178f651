#include "ui/plotting/point_names.h"

#include <gtest/gtest.h>

namespace tarvolin::plotting {
namespace {

// Only the first three numbers get their own suffix; 11, 21 and 22 take "th" like the rest.
TEST(PointNames, RegressionWindowSuffixes) {
  EXPECT_EQ(regressionPointName(1), "1st Point.");
  EXPECT_EQ(regressionPointName(2), "2nd Point");
  EXPECT_EQ(regressionPointName(3), "3d Point");
  EXPECT_EQ(regressionPointName(4), "4th Point");
  EXPECT_EQ(regressionPointName(11), "11th Point");
  EXPECT_EQ(regressionPointName(21), "21th Point");
  EXPECT_EQ(regressionPointName(22), "22th Point");
  EXPECT_EQ(regressionPointName(3300), "3300th Point");
}

TEST(PointNames, CurveWindowSuffixes) {
  EXPECT_EQ(curvePointName(1), "1st Point");
  EXPECT_EQ(curvePointName(2), "2nd Point");
  EXPECT_EQ(curvePointName(3), "3d Point");
  EXPECT_EQ(curvePointName(12), "12th Point");
  EXPECT_EQ(curvePointName(22), "22th Point");
}

}  // namespace
}  // namespace tarvolin::plotting
