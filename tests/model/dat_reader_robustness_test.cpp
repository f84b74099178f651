// No input crashes the reader. Every prefix of every example and test data file, and seeded
// mutations of them, must end either in a clean read that fits the model's tables or in
// exactly one message with ReadError 1; under the sanitizers, any bad access aborts the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/model.h"
#include "tests/support/model_tables.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

namespace fs = std::filesystem;

// Files up to this size are cut at every byte; larger ones at about this many places, except
// the largest example below kEveryByteExampleLimit, which is cut at every byte as well.
constexpr std::size_t kEveryByteSize = 1024;
constexpr std::size_t kPrefixesOfLargeFile = 400;
constexpr std::size_t kEveryByteExampleLimit = 8 * 1024;
constexpr int kMutantsPerFile = 80;

std::vector<fs::path> datFilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (entry.is_regular_file() && ext == ".DAT") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text.substr(0, 400)) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n\n";
    else if (c < 32 || c > 126)
      out += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) +
             std::string(1, "0123456789abcdef"[c & 15]);
    else
      out += static_cast<char>(c);
  }
  return out;
}

// Feeds texts to the reader through one model, as a run's successive systems share it, and
// tallies the outcomes.
class ReaderOutcomes {
 public:
  void feed(const std::string& text, const std::string& label) {
    platform_.messages.clear();
    const bool ok = readDatText(text, *model_, platform_);
    if (ok && platform_.messages.empty()) {
      ++clean;
      if (const std::string breach = tableBreach(*model_); !breach.empty())
        fault(label + ": clean read outside the tables (" + breach + ")", text);
    } else if (!ok && model_->ReadError == 1 && platform_.messages.size() == 1 &&
               !platform_.messages[0].text.empty()) {
      ++refused;
    } else {
      fault(label + ": ReadError " + std::to_string(model_->ReadError) + ", RunIncomplete " +
                std::to_string(model_->RunIncomplete) + ", " +
                std::to_string(platform_.messages.size()) + " messages",
            text);
    }
  }
  void feedPrefixes(const std::string& text, const std::string& label, std::size_t stride) {
    for (std::size_t cut = 0; cut <= text.size(); cut += stride)
      feed(text.substr(0, cut), label + " cut at " + std::to_string(cut));
    feed(text, label + " whole");
  }

  int clean = 0;
  int refused = 0;
  std::vector<std::string> faults;

 private:
  void fault(const std::string& what, const std::string& text) {
    if (faults.size() < 5) ADD_FAILURE() << what << "\n" << printable(text);
    faults.push_back(what);
  }
  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
};

std::size_t strideFor(std::size_t size) {
  return size <= kEveryByteSize ? 1 : std::max<std::size_t>(1, size / kPrefixesOfLargeFile);
}

// Deterministic damage to a DAT text: what a slip of the hand, a bad copy or a hostile file
// can do. The generator's output is fixed by the standard, so every platform sees the same
// mutants.
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

std::uint32_t seedFor(const std::string& name) {  // FNV-1a, fixed across platforms
  std::uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  return h;
}

void feedMutants(ReaderOutcomes& outcomes, const std::string& text, const std::string& name) {
  Mutator mutator(seedFor(name));
  for (int k = 0; k < kMutantsPerFile; ++k)
    outcomes.feed(mutator.mutate(text), name + " mutant " + std::to_string(k));
}

TEST(DatReaderRobustness, TestDataFilesCutAndDamaged) {
  const auto files = datFilesIn(sourcePath("tests/data/dat"));
  ASSERT_FALSE(files.empty());
  ReaderOutcomes outcomes;
  for (const auto& path : files) {
    const std::string text = readFile(path.string());
    const std::string name = path.filename().string();
    outcomes.feedPrefixes(text, name, strideFor(text.size()));
    feedMutants(outcomes, text, name);
  }
  EXPECT_TRUE(outcomes.faults.empty()) << outcomes.faults.size() << " inputs misread";
  // Both outcomes must occur, or the inputs exercise too little of the reader.
  EXPECT_GT(outcomes.clean, 100);
  EXPECT_GT(outcomes.refused, 1000);
}

TEST(DatReaderRobustness, ExampleFilesCutAndDamaged) {
  const auto files = datFilesIn(sourcePath("examples"));
  if (files.empty()) GTEST_SKIP() << "no example files in examples/";
  // The largest example that is still quick to cut everywhere is cut at every byte.
  fs::path everyByte;
  for (const auto& path : files) {
    const auto size = fs::file_size(path);
    if (size <= kEveryByteExampleLimit && (everyByte.empty() || size > fs::file_size(everyByte)))
      everyByte = path;
  }
  ReaderOutcomes outcomes;
  for (const auto& path : files) {
    const std::string text = readFile(path.string());
    const std::string name = path.filename().string();
    outcomes.feedPrefixes(text, name, path == everyByte ? 1 : strideFor(text.size()));
    feedMutants(outcomes, text, name);
  }
  EXPECT_TRUE(outcomes.faults.empty()) << outcomes.faults.size() << " inputs misread";
}

}  // namespace
}  // namespace tarvolin::test
