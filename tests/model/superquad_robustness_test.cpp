// Damaged card files: every prefix of the sample and test card files, and seeded random
// mutations of them, must end in a clean read or in exactly one message with ReadError set,
// and a clean read must leave a model within the tables. Run under the sanitizers this also
// shows that no damaged card reads or writes outside a table.

#include <filesystem>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "model/superquad_reader.h"
#include "model/word_reader.h"
#include "tests/model/text_mutator.h"
#include "tests/support/model_tables.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

struct CardFile {
  std::string name;
  std::string text;
};

std::vector<CardFile> cardFiles() {
  std::vector<CardFile> files;
  auto collect = [&](const std::string& folder, const std::string& extension) {
    for (const auto& entry : std::filesystem::directory_iterator(sourcePath(folder))) {
      if (entry.path().extension() != extension) continue;
      files.push_back({entry.path().filename().string(), readFile(entry.path().string())});
    }
  };
  collect("examples", ".SQD");
  collect("tests/data/sqd", ".sqd");
  return files;
}

class SuperquadRobustnessTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(echo_.create("/dev/null")); }

  // Reads `text` (title line first) and checks the outcome; false after the first failure.
  bool readAndCheck(const std::string& text, const std::string& what) {
    InputText input(text);
    std::string title;
    input.readLine(title);
    input.line = 1;
    m_->ReadError = 0;
    m_->RunIncomplete = 1;
    platform_.messages.clear();
    ReadSuperquad(*m_, input, echo_, platform_);
    const Model& m = *m_;
    if (m.ReadError != 0) {
      EXPECT_EQ(m.ReadError, 1) << what;
      EXPECT_EQ(m.RunIncomplete, 1) << what;
      EXPECT_EQ(platform_.messages.size(), 1u) << what;
      if (!platform_.messages.empty()) {
        EXPECT_EQ(platform_.messages[0].kind, MessageKind::Error) << what;
        EXPECT_FALSE(platform_.messages[0].text.empty()) << what;
      }
    } else {
      EXPECT_EQ(m.RunIncomplete, 0) << what;
      EXPECT_TRUE(platform_.messages.empty()) << what;
      EXPECT_EQ(tableBreach(m), "") << what;
      EXPECT_GE(m.NSpecies, m.NReactants) << what;
      EXPECT_TRUE(m.NInputReagents == m.NReactants || m.NInputReagents == m.NReactants + 1) << what;
      for (int b = 1; b <= m.NBlocks; ++b) {
        EXPECT_TRUE(m.Method[b] == 1 || m.Method[b] == 8) << what << ", block " << b;
        EXPECT_TRUE(m.V0[b] > 0) << what << ", block " << b;
      }
      EXPECT_TRUE(m.Step >= 0 && m.Step <= 1) << what;
    }
    return !::testing::Test::HasFailure();
  }

  std::unique_ptr<Model> m_ = newModel();
  FakePlatform platform_;
  TextWriter echo_;
};

// Every prefix, then seeded damage: bit flips, stray bytes, numbers replaced by ones of other
// widths (which shift the fields after them), words dropped or repeated, lines swapped or
// written twice.
TEST_F(SuperquadRobustnessTest, EveryPrefixAndSeededMutationsOfEveryCardFile) {
  const std::vector<CardFile> files = cardFiles();
  ASSERT_GE(files.size(), 40u);
  for (const CardFile& file : files) {
    for (std::size_t n = 0; n <= file.text.size(); ++n)
      if (!readAndCheck(file.text.substr(0, n), file.name + " cut at " + std::to_string(n))) return;
    Mutator mutator(seedFor(file.name));
    for (int k = 0; k < 300; ++k)
      if (!readAndCheck(mutator.mutate(file.text), file.name + " mutation " + std::to_string(k)))
        return;
  }
}

// A well-formed file whose numbers sit at the edges of extended precision: overflowing totals
// and keys far beyond the 8-bit flags must not upset the reading.
TEST_F(SuperquadRobustnessTest, ExtremeNumbersReadWithoutFaults) {
  const std::string text =
      "extreme values\r\n"
      "    0    0    2    0\r\n"
      "L\r\n"
      "H\r\n"
      "   -273.15\r\n"
      " 1.0E+4000    1    1    1\r\n"
      "-1.0E+4000  127 -128 1E30\r\n"
      "  -13.7800    0   -1-1E30\r\n"
      "  -13.7800    0   -1    0\r\n"
      "\r\n"
      "    5   1E+4000   1E-4000    9    9\r\n"
      "    4   -0.0000-1.0E+4000    0    0\r\n"
      "\r\n"
      "99999 1.0E-4000   -1E4000\r\n"
      "1 9 2 -1.0E4000  1.0E4000-9999 1.0E+4000\r\n"
      "\r\n"
      "-1.0E+4000 1.0E+4000              0\r\n"
      "1.00E-4000-1.0E+4000              0\r\n"
      "\r\n"
      "1.0E-4000\r\n";
  EXPECT_TRUE(readAndCheck(text, "extreme values"));
  EXPECT_EQ(m_->ReadError, 0);
  EXPECT_EQ(m_->NSpecies, 5);
  EXPECT_EQ(m_->FitBeta[4], 255);
  EXPECT_EQ(m_->NInputReagents, 3);
  EXPECT_EQ(m_->Method[1], 1);
  EXPECT_EQ(m_->NPoints[1], 2);
}

}  // namespace
}  // namespace tarvolin::test
