#include "base/number_format.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvolin::fmt {
namespace {

constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real kInf = std::numeric_limits<Real>::infinity();

// x:w, the report's scientific field: w - 8 digits, exactly four exponent digits.
TEST(Scientific, LayoutOfTheReportField) {
  EXPECT_EQ(scientific(12.5L, 15), " 1.250000E+0001");
  EXPECT_EQ(scientific(-0.00125L, 12), "-1.250E-0003");
  EXPECT_EQ(scientific(0, 15), " 0.000000E+0000");
  EXPECT_EQ(scientific(-0.0L, 15), " 0.000000E+0000");
  // Below width 10 the field keeps two digits and grows to 10 characters.
  EXPECT_EQ(scientific(12.5L, 5), " 1.2E+0001");
  EXPECT_EQ(scientific(-12.5L, -3), "-1.2E+0001");
  // 18 digits fill 26 characters; wider fields get leading blanks only.
  EXPECT_EQ(scientific(1.0L, 26), " 1.00000000000000000E+0000");
  EXPECT_EQ(scientific(1.0L / 3, 30), "     3.33333333333333333E-0001");
}

TEST(Scientific, ExactRoundingOfTheBinaryValue) {
  // Carry into the next power of ten moves the exponent.
  EXPECT_EQ(scientific(9.9999999L, 15), " 1.000000E+0001");
  EXPECT_EQ(scientific(-0.000999999999L, 12), "-1.000E-0003");
  // 12.5, 13.5, 0.125 and 0.375 are exact binary halves: ties go to the even digit.
  EXPECT_EQ(scientific(12.5L, 10), " 1.2E+0001");
  EXPECT_EQ(scientific(13.5L, 10), " 1.4E+0001");
  EXPECT_EQ(scientific(0.125L, 10), " 1.2E-0001");
  EXPECT_EQ(scientific(0.375L, 10), " 3.8E-0001");
  // At the 18-digit cap: integers below 2^64 are exact, so these are true ties.
  EXPECT_EQ(scientific(static_cast<Real>(1000000000000000005LL), 26), " 1.00000000000000000E+0018");
  EXPECT_EQ(scientific(static_cast<Real>(1000000000000000015LL), 26), " 1.00000000000000002E+0018");
  // Decimal ties that are not binary ties: the digits beyond the 19th decide.
  EXPECT_EQ(scientific(2.675L, 11), " 2.67E+0000");
  EXPECT_EQ(scientific(1.115L, 11), " 1.12E+0000");
}

TEST(Scientific, ExtendedExponentRange) {
  EXPECT_EQ(scientific(1e-4000L, 15), " 1.000000E-4000");
  EXPECT_EQ(scientific(-1e4000L, 15), "-1.000000E+4000");
  EXPECT_EQ(scientific(std::numeric_limits<Real>::max(), 15), " 1.189731E+4932");
  EXPECT_EQ(scientific(std::numeric_limits<Real>::denorm_min(), 15), " 3.645200E-4951");
}

TEST(Scientific, NonFiniteValuesStayInTheField) {
  EXPECT_EQ(scientific(kNaN, 15), "            NAN");
  EXPECT_EQ(scientific(kInf, 12), "        +INF");
  EXPECT_EQ(scientific(-kInf, 4), "      -INF");
}

// x:w:d and n:w.
TEST(FixedAndInteger, RightAlignedAndWidenedWhenNeeded) {
  EXPECT_EQ(fixed(3.14159L, 8, 3), "   3.142");
  EXPECT_EQ(fixed(-2.5L, 0, 1), "-2.5");
  EXPECT_EQ(fixed(-123.456L, 3, 2), "-123.46");
  EXPECT_EQ(fixed(7, 5, -1), "    7");
  EXPECT_EQ(fixed(1e20L, 0, 1), "100000000000000000000.0");
  EXPECT_EQ(integer(42), "42");
  EXPECT_EQ(integer(-7, 4), "  -7");
  EXPECT_EQ(integer(12345, 3), "12345");
  EXPECT_EQ(integer(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(FixedAndInteger, RoundingAndZero) {
  EXPECT_EQ(fixed(2.5L, 3, 0), "  2");
  EXPECT_EQ(fixed(3.5L, 3, 0), "  4");
  EXPECT_EQ(fixed(0.125L, 0, 2), "0.12");
  EXPECT_EQ(fixed(0.375L, 0, 2), "0.38");
  EXPECT_EQ(fixed(9.9996L, 0, 3), "10.000");
  // A value that rounds to zero is written without a sign.
  EXPECT_EQ(fixed(-0.001L, 6, 2), "  0.00");
  EXPECT_EQ(fixed(-0.0L, 0, 1), "0.0");
  EXPECT_EQ(fixed(kNaN, 6, 2), "   NAN");
  EXPECT_EQ(fixed(-kInf, 6, 2), "  -INF");
}

TEST(General, FixedOrExponentByMagnitude) {
  EXPECT_EQ(general(0), "0");
  EXPECT_EQ(general(-0.0L), "0");
  EXPECT_EQ(general(-1.5L), "-1.5");
  EXPECT_EQ(general(12.5L), "12.5");
  EXPECT_EQ(general(0.1L), "0.1");
  EXPECT_EQ(general(1.0L / 3), "0.333333333333333");
  EXPECT_EQ(general(2.0L / 3), "0.666666666666667");
  EXPECT_EQ(general(0.0001L), "0.0001");
  EXPECT_EQ(general(0.000123456L), "0.000123456");
  EXPECT_EQ(general(0.00001L), "1E-5");
  EXPECT_EQ(general(1e14L), "100000000000000");
  EXPECT_EQ(general(1e15L), "1E15");
  EXPECT_EQ(general(1e-20L), "1E-20");
  EXPECT_EQ(general(1.5e20L), "1.5E20");
  EXPECT_EQ(general(-2.2e22L), "-2.2E22");
  EXPECT_EQ(general(1e-4000L), "1E-4000");
  // Rounding to 15 digits comes before the choice of form.
  EXPECT_EQ(general(999999999999999.9L), "1E15");
  EXPECT_EQ(general(1.00000000000000005L), "1");
  EXPECT_EQ(general(1234.5L, ','), "1234,5");
  EXPECT_EQ(general(-1.5e-7L, ','), "-1,5E-7");
  EXPECT_EQ(general(kNaN), "NAN");
  EXPECT_EQ(general(-kInf), "-INF");
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

TEST(AxisLabel, ThreeDigitsAndSignedExponent) {
  EXPECT_EQ(axisLabel(0.5L), "5.00E-01");
  EXPECT_EQ(axisLabel(12345), "1.23E+04");
  EXPECT_EQ(axisLabel(1e-100L), "1.00E-100");
  EXPECT_EQ(axisLabel(0), "0.00E+00");
  EXPECT_EQ(axisLabel(999.6L), "1.00E+03");
  EXPECT_EQ(axisLabel(-0.5L, ','), "-5,00E-01");
  EXPECT_EQ(axisLabel(kInf), "INF");
}

TEST(Progress, ObjectiveValue) {
  // 1234.5 is an exact binary tie: even digit; just above it rounds up.
  EXPECT_EQ(progressValue(1234.5L), "1.234E+03");
  EXPECT_EQ(progressValue(1235.5L), "1.236E+03");
  EXPECT_EQ(progressValue(1234.51L), "1.235E+03");
  EXPECT_EQ(progressValue(0), "0.000E+00");
  EXPECT_EQ(progressValue(-0.5L), "-5.000E-01");
  EXPECT_EQ(progressValue(9.9996L), "1.000E+01");
  EXPECT_EQ(progressValue(1e-300L), "1.000E-300");
  EXPECT_EQ(progressValue(kNaN), "NAN");
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
