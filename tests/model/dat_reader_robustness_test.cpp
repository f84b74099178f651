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
#include "tests/model/text_mutator.h"
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
    if (faults.size() < 5) ADD_FAILURE() << what << "\n" << text.substr(0, 400);
    faults.push_back(what);
  }
  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
};

std::size_t strideFor(std::size_t size) {
  return size <= kEveryByteSize ? 1 : std::max<std::size_t>(1, size / kPrefixesOfLargeFile);
}

void feedMutants(ReaderOutcomes& outcomes, const std::string& text, const std::string& name) {
  Mutator mutator(seedFor(name));
  for (int k = 0; k < kMutantsPerFile; ++k)
    outcomes.feed(mutator.mutate(text), name + " mutant " + std::to_string(k));
}

// Test data files and examples alike; the largest example that is still quick to cut
// everywhere is cut at every byte.
TEST(DatReaderRobustness, DataAndExampleFilesCutAndDamaged) {
  const auto data = datFilesIn(sourcePath("tests/data/dat"));
  const auto examples = datFilesIn(sourcePath("examples"));
  ASSERT_FALSE(data.empty());
  fs::path everyByte;
  for (const auto& path : examples) {
    const auto size = fs::file_size(path);
    if (size <= kEveryByteExampleLimit && (everyByte.empty() || size > fs::file_size(everyByte)))
      everyByte = path;
  }
  ReaderOutcomes dataOutcomes, exampleOutcomes;
  for (const auto* files : {&data, &examples}) {
    ReaderOutcomes& outcomes = files == &data ? dataOutcomes : exampleOutcomes;
    for (const auto& path : *files) {
      const std::string text = readFile(path.string());
      const std::string name = path.filename().string();
      outcomes.feedPrefixes(text, name, path == everyByte ? 1 : strideFor(text.size()));
      feedMutants(outcomes, text, name);
    }
    EXPECT_TRUE(outcomes.faults.empty()) << outcomes.faults.size() << " inputs misread";
  }
  // Both outcomes must occur, or the inputs exercise too little of the reader.
  EXPECT_GT(dataOutcomes.clean, 100);
  EXPECT_GT(dataOutcomes.refused, 1000);
}

}  // namespace
}  // namespace tarvolin::test
