#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
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

// A window format's argument: a quoted text, a whole number, else a real.
WindowArg windowArg(const std::string& text) {
  if (text.front() == '"') return text.substr(1, text.size() - 2);
  char* end = nullptr;
  const long long whole = std::strtoll(text.c_str(), &end, 10);
  if (*end == '\0') return whole;
  return tableValue(text);
}

// windowFormat takes its arguments as a braced list: one of the list's lengths.
template <std::size_t... I>
std::string windowFormatOf(const std::string& pattern, const std::vector<WindowArg>& args,
                           char separator, std::index_sequence<I...>) {
  return windowFormat(pattern, {args[I]...}, separator);
}
template <std::size_t N = 0>
std::string windowFormatOf(const std::string& pattern, const std::vector<WindowArg>& args,
                           char separator) {
  if constexpr (N > 9) {
    ADD_FAILURE() << "too many arguments for " << pattern;
    return {};
  } else {
    if (args.size() != N) return windowFormatOf<N + 1>(pattern, args, separator);
    return windowFormatOf(pattern, args, separator, std::make_index_sequence<N>{});
  }
}

// The row's function applied to its arguments; the last cell is the expected text.
std::string formatRow(const std::vector<std::string>& row) {
  const std::string& name = row[0];
  const std::size_t arguments = row.size() - 2;
  if (name == "windowFormat") {
    const bool comma = arguments > 1 && row[arguments] == ",";
    std::vector<WindowArg> args;
    for (std::size_t k = 2; k <= arguments - (comma ? 1 : 0); ++k)
      args.push_back(windowArg(row[k]));
    return windowFormatOf(row[1], args, comma ? ',' : '.');
  }
  if (name == "scientific") return scientific(tableValue(row[1]), std::stoi(row[2]));
  if (name == "fixed") return fixed(tableValue(row[1]), std::stoi(row[2]), std::stoi(row[3]));
  if (name == "integer")
    return arguments == 1 ? integer(std::stoll(row[1]))
                          : integer(std::stoll(row[1]), std::stoi(row[2]));
  const char separator = arguments == 2 ? row[2].front() : '.';
  if (name == "general") return general(tableValue(row[1]), separator);
  if (name == "axisLabel") return axisLabel(tableValue(row[1]), separator);
  if (name == "progressValue") return progressValue(tableValue(row[1]));
  if (name == "progressCounter") return progressCounter(std::stoll(row[1]));
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
    if (row.back() == "invalid_argument")  // a misuse: a programming error
      EXPECT_THROW(formatRow(row), std::invalid_argument) << row[1];
    else
      EXPECT_EQ('"' + formatRow(row) + '"', row.back()) << row[0] << " of " << row[1];
  }
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
