#pragma once
// DAT text of one batch NMR block of any number of points (a ligand L and a metal Zn forming
// ZnL and ZnL2, the metal total rising from point to point), for tests of large blocks that
// would be unwieldy as literal files. Its values are read as written: meant for Single Steps.

#include <string>

namespace tarvolin::test {

inline std::string batchDat(int points) {
  std::string text = "1\r\nBatch block of " + std::to_string(points) +
                     " points\r\n1 2\r\n2 4 1\r\n" + std::to_string(points) +
                     "\r\n-1\r\n0 1 1\r\n1 0\r\n0 1\r\n1 1\r\n2 1\r\n2\r\n1 2\r\n1 1\r\n";
  const auto values = [&](auto value) {
    for (int k = 1; k <= points; ++k) text += value(k) + (k % 10 == 0 ? "\r\n" : " ");
    if (points % 10 != 0) text += "\r\n";
  };
  values([&](int k) { return std::to_string(8.2 - 0.1 * k / points); });  // Yexp
  values([](int) { return std::string("0.02"); });                        // Ct of L
  values([&](int k) { return std::to_string(0.04 * k / points); });       // Ct of Zn
  return text +
         "8.214 0 8.046 16.204\r\n0 0 0 0\r\n0 0 2.90 5.20\r\n0 0 0 0\r\n0\r\n"
         "0.12 1E-20\r\n";
}

}  // namespace tarvolin::test
