#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_support.h"

namespace tarvolin::fmt {
namespace {

constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real kInf = std::numeric_limits<Real>::infinity();

// A value of the table: a decimal read as an 80-bit literal would be, or a name for one that
// a decimal cannot write.
Real tableValue(const std::string& text) {
  if (text == "1/3") return 1.0L / 3;
  if (text == "2/3") return 2.0L / 3;
  if (text == "max") return std::numeric_limits<Real>::max();
  if (text == "denorm_min") return std::numeric_limits<Real>::denorm_min();
  return std::strtold(text.c_str(), nullptr);
}

// The row's function applied to its arguments; the last cell is the expected text.
std::string formatRow(const std::vector<std::string>& row) {
  const std::string& name = row[0];
  const std::size_t arguments = row.size() - 2;
  if (name == "scientific") return scientific(tableValue(row[1]), std::stoi(row[2]));
  if (name == "fixed") return fixed(tableValue(row[1]), std::stoi(row[2]), std::stoi(row[3]));
  if (name == "integer")
    return arguments == 1 ? integer(std::stoll(row[1]))
                          : integer(std::stoll(row[1]), std::stoi(row[2]));
  const char separator = arguments == 2 ? row[2].front() : '.';
  if (name == "general") return general(tableValue(row[1]), separator);
  if (name == "axisLabel") return axisLabel(tableValue(row[1]), separator);
  if (name == "progressValue") return progressValue(tableValue(row[1]));
  ADD_FAILURE() << "no function " << name;
  return {};
}

// Layout, exact rounding of the binary value, the extended exponent range and the values that
// are not finite, for every form of the reports and the windows.
TEST(NumberForms, EveryRowOfTheTable) {
  const auto rows = test::readTable("tests/data/number_formats.txt");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    ASSERT_GE(row.size(), 3u);
    EXPECT_EQ('"' + formatRow(row) + '"', row.back()) << row[0] << " of " << row[1];
  }
}

TEST(WindowFormat, ExponentDirective) {
  EXPECT_EQ(windowFormat("%10.3e", {12.5L}), " 1.25E+001");
  EXPECT_EQ(windowFormat("%e", {1.0L}), "1.00000000000000E+000");
  EXPECT_EQ(windowFormat("%12.4e", {-0.000123456L}), " -1.235E-004");
  EXPECT_EQ(windowFormat("%.3e", {9.9996L}), "1.00E+001");
  EXPECT_EQ(windowFormat("%.2e", {1e-100L}), "1.0E-100");
  EXPECT_EQ(windowFormat("%.3e", {1e-4000L}), "1.00E-4000");
  EXPECT_EQ(windowFormat("%.1e", {-0.0L}), "0E+000");
  EXPECT_EQ(windowFormat("%13.4e", {0.5L}, ','), "   5,000E-001");
}

TEST(WindowFormat, FixedDirective) {
  EXPECT_EQ(windowFormat("%f", {1.0L}), "1.00");
  EXPECT_EQ(windowFormat("%.0f", {2.5L}), "2");
  EXPECT_EQ(windowFormat("%4.3f", {0.5L}), "0.500");
  EXPECT_EQ(windowFormat("%12.5f", {-3.25L}, ','), "    -3,25000");
  EXPECT_EQ(windowFormat("%.2f", {-0.001L}), "0.00");
  // 18 significant digits at most; the digits beyond are zeros.
  EXPECT_EQ(windowFormat("%.6f", {1234567890123.456789L}), "1234567890123.456790");
  EXPECT_EQ(windowFormat("%.1f", {static_cast<Real>(999999999999999999LL)}),
            "999999999999999999.0");
  // From 10^18 on the general form takes over.
  EXPECT_EQ(windowFormat("%6.1f", {-2.2e22L}), "-2.2E22");
  EXPECT_EQ(windowFormat("%.1f", {1e18L}), "1E18");
  EXPECT_EQ(windowFormat("%8.2f|%e", {kNaN, -kInf}), "     NAN|-INF");
}

TEST(WindowFormat, IntegersTextsAndPadding) {
  EXPECT_EQ(windowFormat("Line: %3d   Col: %3d", {12LL, 3LL}), "Line:  12   Col:   3");
  EXPECT_EQ(windowFormat("%d|%.3d|%-5d|", {-42LL, -5LL, 7LL}), "-42|-005|7    |");
  EXPECT_EQ(windowFormat("OK to overwrite %s", {std::string("a.dat")}), "OK to overwrite a.dat");
  EXPECT_EQ(windowFormat("[%5s][%.2s]", {std::string("ab"), std::string("xyz")}), "[   ab][xy]");
  EXPECT_EQ(windowFormat("100%% %s", {std::string("done")}), "100% done");
  EXPECT_EQ(windowFormat("3.5 %d", {1LL}, ','), "3.5 1");
  EXPECT_EQ(windowFormat("no directives", {}), "no directives");
}

// The statistics line of the regression plot, with a comma as decimal separator.
TEST(WindowFormat, RegressionStatisticsLine) {
  const std::string_view line =
      "Y = %4.3f(%4.3f) + %4.3f(%4.3f)*X;  N = %4d;  R2 = %4.4f;  F = %6.1f;  s = %4.4f;  "
      "RMSE = %12.4e";
  EXPECT_EQ(
      windowFormat(
          line, {0.01251L, 0.004L, 0.99876L, 0.0002L, 25LL, 0.99996L, -2.2e22L, 0.01L, 0.00987654L},
          ','),
      "Y = 0,013(0,004) + 0,999(0,000)*X;  N =   25;  R2 = 1,0000;  F = -2,2E22;  "
      "s = 0,0100;  RMSE =   9,877E-003");
}

TEST(WindowFormat, MisuseIsAProgrammingError) {
  EXPECT_THROW(windowFormat("%d", {1.5L}), std::invalid_argument);
  EXPECT_THROW(windowFormat("%f", {3LL}), std::invalid_argument);
  EXPECT_THROW(windowFormat("%e", {std::string("x")}), std::invalid_argument);
  EXPECT_THROW(windowFormat("%s", {1LL}), std::invalid_argument);
  EXPECT_THROW(windowFormat("%d and %d", {1LL}), std::invalid_argument);
  EXPECT_THROW(windowFormat("%q", {1LL}), std::invalid_argument);
  EXPECT_THROW(windowFormat("value %5.", {1.0L}), std::invalid_argument);
}

// Reports are written inside guarded computations: formatting must neither raise nor clear
// the IEEE flags that the fault test reads afterwards.
TEST(Conversion, LeavesFloatingPointFlagsAlone) {
  std::feclearexcept(FE_ALL_EXCEPT);
  scientific(1.0L / 3, 15);
  scientific(kNaN, 15);
  windowFormat("%f %e", {kInf, 2.0L / 3});
  general(-kNaN);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
  std::feraiseexcept(FE_DIVBYZERO);
  fixed(0.1L, 10, 5);
  EXPECT_NE(std::fetestexcept(FE_DIVBYZERO), 0);
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST(Conversion, IgnoresTheProcessNumericLocale) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  if (!test::useDecimalCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
  EXPECT_EQ(scientific(12.5L, 15), " 1.250000E+0001");
  EXPECT_EQ(fixed(2.25L, 0, 2), "2.25");
  EXPECT_EQ(windowFormat("%.1f", {2.5L}), "2.5");
  std::setlocale(LC_NUMERIC, previous.c_str());
}

}  // namespace
}  // namespace tarvolin::fmt
