#pragma once
// Seeded damage to input texts for the readers' robustness tests.

#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tarvolin::test {

// Deterministic damage to an input text (DAT or card file): what a slip of the hand, a bad copy or
// a hostile file can do. The generator's output is fixed by the standard, so every platform sees
// the same mutants.
class Mutator {
 public:
  explicit Mutator(std::uint32_t seed) : rng_(seed) {}

  std::string mutate(std::string text) {
    const int count = 1 + static_cast<int>(below(3));
    for (int k = 0; k < count; ++k) mutateOnce(text);
    return text;
  }

 private:
  std::size_t below(std::size_t n) { return n == 0 ? 0 : rng_() % n; }

  static bool isDelimiter(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
  }
  static std::vector<std::pair<std::size_t, std::size_t>> words(const std::string& t) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (std::size_t i = 0; i < t.size();) {
      if (isDelimiter(t[i])) {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < t.size() && !isDelimiter(t[j])) ++j;
      spans.emplace_back(i, j - i);
      i = j;
    }
    return spans;
  }
  static std::vector<std::string> lines(const std::string& t) {
    std::vector<std::string> out(1);
    for (char c : t) {
      out.back() += c;
      if (c == '\n') out.emplace_back();
    }
    return out;
  }

  void mutateOnce(std::string& t) {
    // clang-format off
    static const char* const kWords[] = {
        "0", "-1", "-0", "1", "2", "9", "10", "30", "255", "256", "3300", "3301", "50", "51",
        "100", "101", "2147483647", "2147483648", "-2147483649", "99999999999999999999",
        "1E4932", "-1.1E4932", "9.9E4931", "1E-4951", "1E-5000", "1e", ".", "-", "+", "4.", "2.",
        "2..", ".5", "nan", "inf", "0x1p3", "1,5", "/", "", "-5", "-20.5", "1.0E+0001",
        "99999999999999999999999999999999", "999999999999999999999999999999999"};
    // clang-format on
    const auto spans = words(t);
    switch (below(8)) {
      case 0:
        if (!t.empty()) t[below(t.size())] ^= static_cast<char>(1 << below(8));
        break;
      case 1: {
        static const char kBytes[] = {'\0', '\r', '\n', ',', ' ', '.', '-', '/', '\xff', '9'};
        if (!t.empty()) t[below(t.size())] = kBytes[below(sizeof kBytes)];
        break;
      }
      case 2:
      case 3:
        if (!spans.empty()) {
          const auto [at, n] = spans[below(spans.size())];
          t.replace(at, n, kWords[below(std::size(kWords))]);
        }
        break;
      case 4:
        if (!spans.empty()) {
          const auto [at, n] = spans[below(spans.size())];
          t.insert(at, t.substr(at, n) + ",");
        }
        break;
      case 5:
        if (!spans.empty()) {
          const auto [at, n] = spans[below(spans.size())];
          t.erase(at, n);
        }
        break;
      default: {
        auto ls = lines(t);
        const std::size_t a = below(ls.size()), b = below(ls.size());
        if (below(2) == 0)
          std::swap(ls[a], ls[b]);
        else
          ls.insert(ls.begin() + a, ls[b]);  // a line written twice
        t.clear();
        for (const auto& l : ls) t += l;
      }
    }
  }

  std::mt19937 rng_;
};

inline std::uint32_t seedFor(const std::string& name) {  // FNV-1a, fixed across platforms
  std::uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

}  // namespace tarvolin::test
