#include "ui/plotting/plot_fields.h"

#include <gtest/gtest.h>

#include <clocale>

#include "tests/support/test_support.h"

namespace tarvolin::plotting {
namespace {

TEST(DecimalSeparator, FirstCommaThenFirstPointBecomeTheUsersSeparator) {
  EXPECT_EQ(normaliseDecimalSeparator("1,5", '.'), "1.5");
  EXPECT_EQ(normaliseDecimalSeparator("1.5", ','), "1,5");
  EXPECT_EQ(normaliseDecimalSeparator("1,5,5", '.'), "1.5,5");
  EXPECT_EQ(normaliseDecimalSeparator("1,2.3", '.'), "1.2.3");
  EXPECT_EQ(normaliseDecimalSeparator("125", ','), "125");
}

// Files written with either separator load whichever the user's separator is.
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
  EXPECT_EQ(parsePlotInteger("   12"), 12);
  EXPECT_EQ(parsePlotInteger("-3 "), -3);
  EXPECT_FALSE(parsePlotInteger("1.0").has_value());
  EXPECT_FALSE(parsePlotInteger("").has_value());
  EXPECT_FALSE(parsePlotInteger("99999999999").has_value());

  const auto fields = splitFields("    1.0\t 12,50 \t-3 ");
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0], "1.0");
  EXPECT_EQ(fields[1], "12,50");
  EXPECT_EQ(fields[2], "-3");
  EXPECT_TRUE(splitFields(" \t ").empty());
}

}  // namespace
}  // namespace tarvolin::plotting
