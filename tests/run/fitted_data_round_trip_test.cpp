#include <random>
#include <sstream>

#include "base/number_format.h"
#include "run/fitted_data_writer.h"
#include "tests/support/model_compare.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

// Writes a DAT file of random but valid content: every real carries at most seven significant
// digits, as many as the fitted copy keeps, so that a round trip must be exact.
class RandomDat {
 public:
  explicit RandomDat(unsigned seed) : rng_(seed) {}

  // n words made by `word`, then a line end.
  template <typename Word>
  std::string row(int n, Word word) {
    std::string line;
    for (int k = 0; k < n; ++k) line += word(k) + " ";
    return line + "\r\n";
  }

  std::string text() {
    const int reactants = pick(1, 4);
    const int species = reactants + pick(0, 4);
    const int blocks = pick(1, 3);
    const int reagents = pick(1, std::min(species, 3));
    std::vector<int> points, methods;
    for (int b = 0; b < blocks; ++b) {
      points.push_back(pick(1, 6));
      methods.push_back(kMethods[pick(0, 7)]);
    }
    std::ostringstream out;
    auto pos = [&](int) { return positive(); };
    auto any = [&](int) { return real(); };
    out << "1\r\nRandom system\r\n1,2\r\n"
        << reactants << " " << species << " " << blocks << "\r\n";
    for (int n : points) out << n << " ";
    for (int m : methods) out << m << " ";
    out << "\r\n";
    for (int b = 0; b < blocks; ++b) out << real() << " " << real() << " " << positive() << "\r\n";
    for (int s = 1; s <= species; ++s) {
      for (int r = 1; r <= reactants; ++r)
        out << (s <= reactants ? (s == r ? 1 : 0) : pick(-1, 3)) << " ";
      out << "\r\n";
    }
    out << reagents << "\r\n";
    for (int i = 1; i <= reagents; ++i) out << pick(1, species) << (pick(0, 1) ? "." : "") << " ";
    out << "\r\n";
    for (int r = 1; r <= reactants; ++r) out << pick(0, 1) << " ";
    out << "\r\n";
    for (int b = 0; b < blocks; ++b) {
      if (isTitrationMethod(methods[b])) {
        out << row(reagents + 1, pos) << row(reagents, pos) << row(points[b], pos)
            << row(points[b], any);
        if (methods[b] == 5 || methods[b] == 6)
          out << pick(0, reactants) << " " << pick(0, species) << "\r\n";
      } else {
        out << row(points[b], any);
        for (int i = 0; i < reagents; ++i) out << row(points[b], pos);
      }
    }
    for (int b = 0; b < blocks; ++b)
      out << row(species, any) << row(species, [&](int s) {
        return std::to_string(s == 0 && b == 0 ? pick(0, 1) * 10 : pick(0, 1));
      });
    // At least the last lgBETA is fitted, so that a tie always has a parameter to name.
    out << row(species, any)
        << row(species, [&](int s) { return std::to_string(s + 1 == species ? 1 : pick(0, 1)); })
        << row(blocks, [&](int) { return std::to_string(pick(0, 1)); });
    out << positive() << " " << positive();
    for (int b = 0; b < blocks; ++b) {
      if (methods[b] == 0) {
        out << "\r\n";
        for (int p = 0; p < points[b]; ++p) out << " " << real();
      } else if (methods[b] == 1) {
        out << "\r\n" << positive();
      }
    }
    out << "\r\n";
    return out.str();
  }

 private:
  static constexpr int kMethods[] = {-1, 0, 1, 2, 5, 6, 7, 8};
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  // k * 10^e with at most seven significant digits.
  std::string positive() {
    const long long mantissa = std::uniform_int_distribution<long long>(1, 9999999)(rng_);
    return std::to_string(mantissa) + "e" + std::to_string(pick(-12, 3));
  }
  std::string real() {
    std::string sign = pick(0, 1) ? "-" : "";
    return sign.append(positive());
  }
  std::mt19937 rng_;
};

class FittedDataRoundTrip : public ScratchFolderTest {
 protected:
  // Reads DAT text, writes the fitted copy, reads that again; the models must agree exactly
  // (purities are not written, so they read back as fixed at 1) and the copy of the copy must
  // equal the copy.
  void roundTrip(const std::string& text) {
    FakePlatform platform;
    auto first = newModel();
    ASSERT_TRUE(readDatText(text, *first, platform)) << platform.messages.back().text;
    first->NSystems = 1;
    const std::string copy = fittedDataText(*first, 1);
    auto second = newModel();
    ASSERT_TRUE(readDatText(copy, *second, platform)) << platform.messages.back().text << "\n"
                                                      << copy;
    second->NSystems = 1;
    expectSameModel(*first, *second, 0);
    for (int i = 1; i <= second->NInputReagents; ++i) {
      EXPECT_EQ(second->FitPurity[i], 0);
      EXPECT_EQ(second->Purity[i], 1);
    }
    EXPECT_EQ(fittedDataText(*second, 1), copy);
  }
};

TEST_F(FittedDataRoundTrip, GeneratedModels) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    roundTrip(RandomDat(seed).text());
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace tarvolin::test
