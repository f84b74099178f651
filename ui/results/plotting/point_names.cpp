#include "ui/results/plotting/point_names.h"

namespace tarvolin::plotting {

namespace {

std::string pointName(long long n, const char* first) {
  const char* suffix = n == 1 ? first : n == 2 ? "nd Point" : n == 3 ? "d Point" : "th Point";
  return std::to_string(n) + suffix;
}

}  // namespace

std::string regressionPointName(long long n) { return pointName(n, "st Point."); }
std::string curvePointName(long long n) { return pointName(n, "st Point"); }

}  // namespace tarvolin::plotting
