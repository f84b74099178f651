// Reading of DAT files: the layout quirks, every refusal with its text and line, and the values
// the reader derives (titration totals, point factors, states before an addition).
//
// Most files describe glycinate L and the proton H (species L, H, HL, H2L; input reagent 1 is
// the ligand, reagent 2 the acid), titrated or mixed in batch.

#include "model/dat_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/model.h"
#include "tests/support/batch_data.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

constexpr long double kTight = 1e-17L;

std::string datFile(const std::string& name) {
  return readFile(sourcePath("tests/data/dat/" + name));
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class DatReaderTest : public ::testing::Test {
 protected:
  bool read(const std::string& text) {
    model_ = newModel();
    platform_.messages.clear();
    return readDatText(text, *model_, platform_, &echo_);
  }
  bool readFileNamed(const std::string& name) { return read(datFile(name)); }
  std::string onlyMessage() const {
    EXPECT_EQ(platform_.messages.size(), 1u);
    return platform_.messages.empty() ? "" : platform_.messages.front().text;
  }

  std::unique_ptr<Model> model_;
  FakePlatform platform_;
  std::string echo_;
};

// ---------------------------------------------------------------------------------------------
// Refusals: one file per message, each stopping the reading at the offending value.

std::string atLine(int line, const std::string& rest = "") {
  return "The DATA file error at reading line >= " + std::to_string(line) + rest;
}

TEST_F(DatReaderTest, EachRefusedFileStopsWithItsOneMessage) {
  const auto refusals = readTable("tests/data/expected/dat_refusals.txt");
  ASSERT_GT(refusals.size(), 30u);
  for (const auto& r : refusals) {
    SCOPED_TRACE(r[0]);
    EXPECT_FALSE(readFileNamed(r[0]));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(platform_.messages[0].caption, r[1]);
    EXPECT_EQ(platform_.messages[0].text, r[2]);
    EXPECT_EQ(model_->ReadError, 1);
    EXPECT_EQ(model_->RunIncomplete, 1);  // left as the caller set it
  }
}

TEST_F(DatReaderTest, FitAVKeysTwoToNineNameNoParameter) {
  const std::string base = datFile("titration_method_2.DAT");
  for (const char* key : {"2", "3", "4", "5", "6", "7", "8", "9", "256", "-1"}) {
    EXPECT_FALSE(read(replaced(base, "1,0,1,1\r\n", std::string("1,0,") + key + ",1\r\n")));
    EXPECT_EQ(onlyMessage(),
              atLine(19, std::string(": incorrect fitting key of additive value (") + key +
                             "): use 0, 1 or 10 times the number of a fitted parameter."));
  }
  for (const char* key : {"0", "1", "10", "40"}) {
    EXPECT_TRUE(read(replaced(base, "1,0,1,1\r\n", std::string("1,0,") + key + ",1\r\n"))) << key;
  }
}

TEST_F(DatReaderTest, TiesAndCountsAtTheirLimitsAreKept) {
  ASSERT_TRUE(readFileNamed("fit_av_tie_30.DAT"));
  EXPECT_EQ(model_->FitAV[4][1], 30);
  EXPECT_EQ(model_->FitAV[3][1], 1);
  // 199 shifts, 53 lgBETA, 2 block constants, 1 purity, and a shift tied to parameter 25.
  ASSERT_TRUE(readFileNamed("fitted_parameters_255.DAT")) << onlyMessage();
  EXPECT_EQ(model_->FitAV[6][1], 250);
  EXPECT_EQ(model_->FitPurity[1], 1);
  ASSERT_TRUE(readFileNamed("reagents_50_of_60_species.DAT")) << onlyMessage();
  EXPECT_EQ(model_->NSpecies, 60);
  EXPECT_EQ(model_->NInputReagents, 50);
  EXPECT_EQ(model_->ReagentSpecies[50], 50);
  EXPECT_EQ(model_->Ct[1][50], 0.001L);
}

// ---------------------------------------------------------------------------------------------
// Layout quirks that must not change what is read.

// Each file echoes as its reference: separators, line breaks between counts, comments, LF
// line ends and a "." after the species count or a reagent's species index (not echoed)
// change nothing that is read.
TEST_F(DatReaderTest, SeparatorsCommentsLineEndsAndPointSuffixesChangeNothing) {
  const std::pair<const char*, std::vector<const char*>> groups[] = {
      {"counts_separated_by_commas.DAT",
       {"counts_separated_by_blanks.DAT", "counts_separated_by_commas_and_blanks.DAT",
        "counts_on_three_lines.DAT"}},
      {"titration_method_2.DAT",
       {"comment_after_values.DAT", "lf_line_ends.DAT", "species_count_with_point.DAT",
        "reagent_index_with_point.DAT"}}};
  for (const auto& [reference, files] : groups) {
    ASSERT_TRUE(readFileNamed(reference));
    const std::string echo = echo_;
    for (const char* file : files) {
      ASSERT_TRUE(readFileNamed(file)) << file << ": " << onlyMessage();
      EXPECT_EQ(echo_, echo) << file;
    }
  }
  // The point after a reagent's index (the last file read) refines its purity.
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(model_->ReagentSpecies[i], i);
    EXPECT_EQ(model_->FitPurity[i], i == 2 ? 1 : 0);
    EXPECT_EQ(model_->Purity[i], 1.0L);
  }
  ASSERT_TRUE(readFileNamed("counts_separated_by_commas.DAT"));
  EXPECT_EQ(model_->NSpecies, 5);
  EXPECT_EQ(model_->Stoich[5][3], 1);
  EXPECT_EQ(model_->Ct[3][3], 0.012L);
}

TEST_F(DatReaderTest, TrailingPointOfARealIsDroppedAndAWordOf32CharactersIsANumber) {
  ASSERT_TRUE(readFileNamed("number_with_trailing_point.DAT"));  // V0 written "12."
  EXPECT_EQ(model_->V0[1], 12.0L);
  EXPECT_TRUE(ExpectClose(model_->Ct[1][1], 0.01L * 12 / 12.5L, kTight));
  ASSERT_TRUE(readFileNamed("word_of_32_characters.DAT")) << onlyMessage();
  EXPECT_EQ(model_->lgBETA[3], 9.6L);
}

// ---------------------------------------------------------------------------------------------
// Values derived while reading.

// 20 ml of 0.01 M glycinate titrated with 0.1 M HCl: after a running volume V the totals are
// 0.2 / (20 + V) of the ligand and 0.1 V / (20 + V) of the acid.
TEST_F(DatReaderTest, TitrationTotalsFromRunningVolume) {
  ASSERT_TRUE(readFileNamed("titration_method_2.DAT"));
  const long double running[] = {0.5L, 1.0L, 2.0L, 4.0L};
  const long double increments[] = {0.5L, 0.5L, 1.0L, 2.0L};
  for (int p = 1; p <= 4; ++p) {
    const long double total = 20 + running[p - 1];
    EXPECT_EQ(model_->VAdded[p], increments[p - 1]) << p;  // kept as read
    EXPECT_TRUE(ExpectClose(model_->Ct[p][1], 0.01L * 20 / total, kTight)) << p;
    EXPECT_TRUE(ExpectClose(model_->Ct[p][2], 0.1L * running[p - 1] / total, kTight)) << p;
    // Method 2: the property is per unit total of the observed ligand.
    EXPECT_TRUE(ExpectClose(model_->PointFactor[p], 1 / model_->Ct[p][1], kTight)) << p;
  }
  EXPECT_EQ(model_->IncrementMode[1], 0);
}

// Method 5: heats of injection need the cell before each addition; the point factor is the
// total volume.
TEST_F(DatReaderTest, IncrementBlockRecordsStateBeforeEachAddition) {
  ASSERT_TRUE(readFileNamed("titration_method_5.DAT"));
  EXPECT_EQ(model_->IncrementMode[1], 1);
  EXPECT_EQ(model_->InitReactants[1], 1);
  EXPECT_EQ(model_->InitSpecies[1], 1);
  const long double total[] = {21, 22, 24};
  const long double before[] = {20, 21, 22};
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(model_->PointFactor[p], total[p - 1]) << p;
    EXPECT_EQ(model_->VolBefore[p], before[p - 1]) << p;
  }
  EXPECT_EQ(model_->CtBefore[1][1], 0.01L);
  EXPECT_EQ(model_->CtBefore[1][2], 0.0L);
  for (int p = 2; p <= 3; ++p)
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(model_->CtBefore[p][i], model_->Ct[p - 1][i]);
  EXPECT_EQ(model_->Yexp[2], -0.0498L);  // increments stay increments
}

TEST_F(DatReaderTest, MonotonicTotalsOfBatchSamples) {
  ASSERT_TRUE(readFileNamed("batch_totals_1_2_2_3.DAT"));  // ligand rises, acid falls
  EXPECT_EQ(model_->MonotonicData, 1);
  ASSERT_TRUE(readFileNamed("batch_totals_1_3_2_4.DAT"));
  EXPECT_EQ(model_->MonotonicData, 0);

  const std::string base = datFile("batch_totals_1_2_2_3.DAT");
  const std::string acid = "0.004,0.003,0.003,0.001";
  ASSERT_TRUE(read(replaced(base, acid, "0.004,0.002,0.003,0.001")));
  EXPECT_EQ(model_->MonotonicData, 0);
  // Equal first and last totals: the reagent is not tested.
  ASSERT_TRUE(read(replaced(base, acid, "0.002,0.004,0.001,0.002")));
  EXPECT_EQ(model_->MonotonicData, 1);
  EXPECT_TRUE(ExpectClose(model_->PointFactor[1], 1000.0L, kTight));
}

// Blocks of codes -1, 0, 1, 2, 5, 6, 7, 8 in this order, two points each.
TEST_F(DatReaderTest, PointFactorByMethodCode) {
  ASSERT_TRUE(readFileNamed("point_factor_by_method_code.DAT")) << onlyMessage();
  const Model& m = *model_;
  EXPECT_EQ(m.TotalPoints(), 16);
  // -1: 1 / Ct of the ligand (none in the second sample); 0: read per point; 1, 8: 1;
  // 2: total volume / ligand; 5, 6: total volume; 7: BlockFactor.
  const long double factor[17] = {0,  100, 0,  0.8L, 1.2L, 1, 1, 20.5L / 0.2L, 21 / 0.2L, 26,
                                  27, 26,  27, 2.5L, 2.5L, 1, 1};
  for (int p = 1; p <= 16; ++p) EXPECT_TRUE(ExpectClose(m.PointFactor[p], factor[p], kTight)) << p;
  EXPECT_EQ(m.a[3], 0.98L);
  for (int b = 1; b <= 8; ++b) EXPECT_EQ(m.IncrementMode[b], b == 5 ? 1 : 0) << b;
  // 6: the measured increments are fitted as their running sums, with the cell before each
  // addition recorded as for 5.
  EXPECT_EQ(m.Yexp[12], -0.0512L + -0.0498L);
  EXPECT_EQ(m.YexpRead[12], -0.0498L);
  EXPECT_EQ(m.VolBefore[12], 26.0L);
  EXPECT_EQ(m.CtBefore[12][2], m.Ct[11][2]);
  // Each titration keeps its own initial solution.
  EXPECT_EQ(m.V0[5], 25.0L);
  EXPECT_EQ(m.V0[8], 10.0L);
  EXPECT_TRUE(ExpectClose(m.Ct[15][1], 0.02L * 10 / 10.5L, kTight));
  EXPECT_EQ(m.Ct[4][2], 0.002L);  // batch totals as read
}

// One batch block of 3300 points fills the point tables (3301 are refused, see the refusals).
TEST_F(DatReaderTest, OneBlockOf3300PointsFillsThePointTables) {
  ASSERT_TRUE(read(batchDat(3300))) << onlyMessage();
  EXPECT_EQ(model_->NPoints[1], 3300);
  EXPECT_EQ(model_->TotalPoints(), 3300);
  EXPECT_EQ(model_->Ct[3300][2], 0.04L);
  EXPECT_TRUE(ExpectClose(model_->PointFactor[3300], 50, kTight));  // 1 / Ct of the ligand
}

// ---------------------------------------------------------------------------------------------
// The echo of every value as read (the work file INIT_INP.TMP after its first two lines).

TEST_F(DatReaderTest, EchoLayoutOfBatchAndTitrationBlocks) {
  ASSERT_TRUE(readFileNamed("echo_batch_and_two_titrations.DAT")) << onlyMessage();
  EXPECT_EQ(echo_, readFile(sourcePath("tests/data/expected/echo_batch_and_two_titrations.txt")));
}

}  // namespace
}  // namespace tarvolin::test
