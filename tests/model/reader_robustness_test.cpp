// No input crashes a reader. Every prefix of every example and test data file, and seeded
// mutations of them, must end either in a clean read that fits the model's tables or in
// exactly one error message with ReadError 1; under the sanitizers, any bad access aborts the
// test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "model/model.h"
#include "model/superquad_reader.h"
#include "model/word_reader.h"
#include "tests/model/text_mutator.h"
#include "tests/support/model_tables.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

namespace fs = std::filesystem;

struct InputFile {
  std::string name;
  std::string text;
  bool example;
};

// The files of both folders whose extension is `extension` in any case, examples first.
std::vector<InputFile> inputFiles(const std::string& extension) {
  std::vector<InputFile> files;
  for (const char* folder : {"examples", extension == ".DAT" ? "tests/data/dat" : "tests/data/sqd"})
    for (const auto& entry : fs::directory_iterator(sourcePath(folder))) {
      std::string ext = entry.path().extension().string();
      for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (ext == extension)
        files.push_back({entry.path().filename().string(), readFile(entry.path().string()),
                         std::string(folder) == "examples"});
    }
  return files;
}

// Feeds texts to one reader through one model, as a run's successive systems share it, and
// tallies the outcomes.
class ReaderOutcomes {
 public:
  explicit ReaderOutcomes(bool cards) : cards_(cards) { EXPECT_TRUE(echo_.create("/dev/null")); }

  void feed(const std::string& text, const std::string& label) {
    platform_.messages.clear();
    const bool ok = cards_ ? readCards(text) : readDatText(text, *model_, platform_);
    const Model& m = *model_;
    std::string fault;
    if (ok && platform_.messages.empty()) {
      ++clean;
      fault = tableBreach(m);
      if (fault.empty() && cards_) fault = cardBreach(m);
      if (!fault.empty()) fault = "clean read outside the tables (" + fault + ")";
    } else if (!ok && m.ReadError == 1 && m.RunIncomplete == 1 && platform_.messages.size() == 1 &&
               platform_.messages[0].kind == MessageKind::Error &&
               !platform_.messages[0].text.empty()) {
      ++refused;
    } else {
      fault = "ReadError " + std::to_string(m.ReadError) + ", RunIncomplete " +
              std::to_string(m.RunIncomplete) + ", " + std::to_string(platform_.messages.size()) +
              " messages";
    }
    if (fault.empty()) return;
    if (faults.size() < 5) ADD_FAILURE() << label << ": " << fault << "\n" << text.substr(0, 400);
    faults.push_back(label);
  }

  const Model& model() const { return *model_; }

  int clean = 0;
  int refused = 0;
  std::vector<std::string> faults;

 private:
  bool readCards(const std::string& text) {
    InputText input(text);
    std::string title;
    input.readLine(title);
    input.line = 1;
    model_->ReadError = 0;
    model_->RunIncomplete = 1;
    ReadSuperquad(*model_, input, echo_, platform_);
    return model_->ReadError == 0 && model_->RunIncomplete == 0;
  }

  // What a card file cannot describe: fewer species than components, a reagent beyond the
  // components and their hydroxide, an electrode other than the two kinds, no initial volume.
  static std::string cardBreach(const Model& m) {
    if (m.NSpecies < m.NReactants) return "NSpecies";
    if (m.NInputReagents != m.NReactants && m.NInputReagents != m.NReactants + 1)
      return "NInputReagents";
    for (int b = 1; b <= m.NBlocks; ++b) {
      if (m.Method[b] != 1 && m.Method[b] != 8) return "Method";
      if (!(m.V0[b] > 0)) return "V0";
    }
    return m.Step >= 0 && m.Step <= 1 ? "" : "Step";
  }

  bool cards_;
  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
  TextWriter echo_;
};

// Card files are cut at every byte; DAT files of up to 1 KB too, and the largest DAT example
// (the one of two systems); larger ones at about 400 places.
TEST(ReaderRobustness, DataAndExampleFilesCutAndDamaged) {
  for (const bool cards : {false, true}) {
    SCOPED_TRACE(cards ? "card reader" : "DAT reader");
    const std::vector<InputFile> files = inputFiles(cards ? ".SQD" : ".DAT");
    ASSERT_GE(files.size(), 40u);
    std::size_t largestExample = 0;
    for (const InputFile& file : files)
      if (file.example) largestExample = std::max(largestExample, file.text.size());
    ReaderOutcomes outcomes(cards);
    for (const InputFile& file : files) {
      const std::size_t size = file.text.size();
      const std::size_t stride =
          cards || size <= 1024 || (file.example && size == largestExample) ? 1 : size / 400;
      for (std::size_t cut = 0; cut <= size; cut += stride)
        outcomes.feed(file.text.substr(0, cut), file.name + " cut at " + std::to_string(cut));
      outcomes.feed(file.text, file.name + " whole");
      // Bit flips, stray bytes, numbers replaced by ones of other widths (which shift the
      // fields after them in a card), words dropped or repeated, lines swapped or doubled.
      Mutator mutator(seedFor(file.name));
      for (int k = 0; k < (cards ? 300 : 80); ++k)
        outcomes.feed(mutator.mutate(file.text), file.name + " mutant " + std::to_string(k));
    }
    EXPECT_TRUE(outcomes.faults.empty()) << outcomes.faults.size() << " inputs misread";
    // Both outcomes must occur, or the inputs exercise too little of the reader.
    EXPECT_GT(outcomes.clean, 100);
    EXPECT_GT(outcomes.refused, 1000);
  }
}

// A well-formed card file whose numbers sit at the edges of extended precision: overflowing
// totals and keys far beyond the 8-bit flags must not upset the reading.
TEST(ReaderRobustness, ExtremeNumbersReadWithoutFaults) {
  ReaderOutcomes outcomes(true);
  outcomes.feed(readFile(sourcePath("tests/data/sqd/extreme_numbers.sqd")), "extreme numbers");
  EXPECT_EQ(outcomes.clean, 1);
  EXPECT_EQ(outcomes.model().NSpecies, 5);      // the card with KEY -1E30 is discarded
  EXPECT_EQ(outcomes.model().FitBeta[4], 255);  // KEY 1E30 stays a fixing key
  EXPECT_EQ(outcomes.model().NPoints[1], 2);
}

}  // namespace
}  // namespace tarvolin::test
