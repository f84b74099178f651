#include "model/superquad_reader.h"

#include <string>
#include <vector>

#include "base/floating_point.h"
#include "base/text_file.h"
#include "engine/engine.h"
#include "model/word_reader.h"
#include "tests/support/model_compare.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

// Nernst slope at 25.00 C with a SLOPE factor of 1: ln10 * 298.15 / 11.6048 mV.
const long double kSlope25 = 59.1579127150984696582L;

// Reads card files the way a run does: every line cut before its first "/", CR LF line ends,
// the title read by the caller, the echo written to "INIT_INP.TMP".
class SuperquadReaderTest : public ScratchFolderTest {
 protected:
  bool readText(const std::string& text) {
    std::string copy;
    for (std::string line : splitLines(text)) {
      if (const auto slash = line.find('/'); slash != std::string::npos) line.erase(slash);
      copy += line + "\r\n";
    }
    InputText input(copy);
    std::string title;
    input.readLine(title);
    input.line = 1;
    m_->Title = title;
    m_->ReadError = 0;
    m_->RunIncomplete = 1;
    platform_.messages.clear();
    {
      TextWriter echo;
      if (!echo.create("INIT_INP.TMP")) ADD_FAILURE() << "cannot create the echo file";
      ReadSuperquad(*m_, input, echo, platform_);
    }
    echo_ = readFile("INIT_INP.TMP");
    return m_->ReadError == 0 && m_->RunIncomplete == 0;
  }

  bool readData(const std::string& name) { return readText(dataText(name)); }
  std::string dataText(const std::string& name) {
    return readFile(sourcePath("tests/data/sqd/" + name));
  }

  std::unique_ptr<Model> m_ = newModel();
  FakePlatform platform_;
  std::string echo_;
};

// --- the echo ---

TEST_F(SuperquadReaderTest, EchoHoldsEveryFieldAsReadAndOneLinePerCard) {
  ASSERT_TRUE(readData("echo_of_fields_as_read.sqd"));
  EXPECT_EQ(echo_, readFile(sourcePath("tests/data/expected/sqd_echo_of_fields_as_read.txt")));
  EXPECT_EQ(m_->ReactantName[1], "Glycinate io");
  EXPECT_EQ(m_->ReactantName[2], "H+");
  EXPECT_EQ(m_->NSpecies, 5);  // "END", shorter than ten columns, closed the complexes
  EXPECT_EQ(m_->NPoints[1], 2);
}

// --- messages: one card file per message, exact text and caption ---

TEST_F(SuperquadReaderTest, EachDamagedCardGivesItsMessageAndStopsReading) {
  const auto refusals = readTable("tests/data/expected/sqd_refusals.txt");
  ASSERT_GT(refusals.size(), 40u);
  for (const auto& r : refusals) {
    SCOPED_TRACE(r[0]);
    EXPECT_FALSE(readData(r[0]));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(platform_.messages[0].caption, r[1]);
    EXPECT_EQ(platform_.messages[0].text, r[2]);
    EXPECT_EQ(m_->ReadError, 1);
    EXPECT_EQ(m_->RunIncomplete, 1);
  }
  // Codes without a text only set ReadError.
  platform_.messages.clear();
  for (int code : {0, 27, -1}) {
    m_->ReadError = 0;
    ShowSuperquadError(code, 5, *m_, platform_);
    EXPECT_EQ(m_->ReadError, 1) << code;
  }
  EXPECT_TRUE(platform_.messages.empty());
}

// The titrations of one file share the tables: 3300 points and 100 blocks in all; a 3301st
// point is refused with its count.
TEST_F(SuperquadReaderTest, TitrationsShareThePointAndBlockLimits) {
  const std::string file = dataText("titrant_only_in_second_titration.sqd");
  const std::string stepLine = "      0.10\r\n";
  const auto secondTitration = file.find("    1    0.2000");
  const auto end = file.rfind(stepLine);
  ASSERT_NE(secondTitration, std::string::npos);
  const std::string head = file.substr(0, secondTitration);
  const std::string titration = file.substr(secondTitration, end - secondTitration);
  auto withTitrations = [&](int count, const std::string& extraPoints) {
    std::string text = head;
    for (int k = 1; k < count; ++k) text += titration;
    const std::string lastPoint = "    2.0000  270.0000              0\r\n";
    text.insert(text.rfind(lastPoint), extraPoints);
    return text + stepLine;
  };
  EXPECT_TRUE(readText(withTitrations(100, "")));
  EXPECT_EQ(m_->NBlocks, 100);
  EXPECT_EQ(m_->TotalPoints(), 3 + 99 * 2);
  EXPECT_FALSE(readText(withTitrations(101, "")));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text,
            "Too many experimental blocks - more than 100 or the number of titration curves is "
            "greater than 100");

  // A card left out by its JUMP flag does not count.
  std::string points = "    1.4000  276.0000              1\r\n";
  for (int k = 0; k < 3295; ++k) points += "    1.5000  275.0000              0\r\n";
  EXPECT_TRUE(readText(withTitrations(2, points)));
  EXPECT_EQ(m_->NPoints[2], 3297);
  EXPECT_EQ(m_->TotalPoints(), 3300);
  EXPECT_FALSE(readText(withTitrations(2, points + "    1.5000  275.0000              0\r\n")));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text, "Data input error. 3301 -Too many experimental points.");
}

// --- the cards' own rules ---

// The readings end at a blank card or at the end of the file; an unusable step falls back to
// 0.08 (a card of ten blanks ends them too: see the twins).
TEST_F(SuperquadReaderTest, PointsEndAtABlankCardOrTheFileEndAndStepFallsBack) {
  for (const auto& [file, step] : {std::pair{"minimal_titration.sqd", 0.10L},
                                   {"step_left_aligned.sqd", 0.05L},
                                   {"step_out_of_range.sqd", 0.08L},
                                   {"step_word.sqd", 0.08L},
                                   {"step_negative.sqd", 0.08L},
                                   {"step_missing.sqd", 0.08L}}) {
    SCOPED_TRACE(file);
    EXPECT_TRUE(readData(file));
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_EQ(m_->NPoints[1], 3);
    EXPECT_EQ(m_->Step, step);
  }
}

// A hundred species: the OH card is the first complex, so the hydroxide reagent is species 3.
TEST_F(SuperquadReaderTest, HundredSpeciesAreRead) {
  ASSERT_TRUE(readData("species_100.sqd"));
  EXPECT_EQ(m_->NSpecies, 100);
  EXPECT_EQ(m_->ReagentSpecies[3], 3);
}

// A number stands anywhere in its field, in the Fortran forms; an integer field also takes a
// whole number written as a real. Anything else in the field refuses the card.
TEST_F(SuperquadReaderTest, FieldsHoldANumberAnywhereInTheFortranForms) {
  const std::string file = dataText("minimal_titration.sqd");
  auto withCard = [&](const std::string& card, const std::string& replacement) {
    std::string text = file;
    text.replace(text.find(card), card.size(), replacement + "\r\n");
    return text;
  };
  const std::string temperature = "      25.0\r\n";
  const std::string counts = "    0    0    2    0\r\n";
  for (const char* good : {"  +2.5E+01", "25.", "     .25e2 skipped", "2.5e1", "     25.0 ",
                           "25.0      ", "  25  ", "2.5D1", "2.5d+01", "250.D-1"}) {
    SCOPED_TRACE(good);
    EXPECT_TRUE(readText(withCard(temperature, good)));
    EXPECT_TRUE(ExpectClose(m_->AV[2][1], kSlope25, 1e-18L));
  }
  for (const char* good :
       {"    0    02    0", "    0    0  2. 0", "    0    02.000", "          +2"}) {
    SCOPED_TRACE(good);
    EXPECT_TRUE(readText(withCard(counts, good)));
    EXPECT_EQ(m_->NReactants, 2);
  }
  const struct {
    const std::string& card;
    std::vector<const char*> texts;
    const char* message;
  } bad[] = {{temperature,
              {"          ", "", "\t25.0", "25.0K", "2 5.0", "25.0E", "0x19", "inf", "1e5000"},
              "Data input error. Please, look line 4 -temperature"},
             {counts,
              {"    0    0 2.5     0", "    0    0 2E0     0", "    0    0         0"},
              "Data input error. Please, look line 2"}};
  for (const auto& c : bad) {
    for (const char* text : c.texts) {
      SCOPED_TRACE(text);
      EXPECT_FALSE(readText(withCard(c.card, text)));
      ASSERT_EQ(platform_.messages.size(), 1u);
      EXPECT_EQ(platform_.messages[0].text, c.message);
    }
  }
}

// Card files read to the same model as their twins. As their right-aligned twins: cards with
// the numbers anywhere in their fields or filling them, in the Fortran forms, with blank fields
// for zero, with blank LOCK and SLOPE fields or a SLOPE of zero (LOCK 0, SLOPE 1), with the
// readings ended by a card of ten blanks, and a card with a negative KEY, which is discarded
// (the next card takes its number). As their DAT twins, cards whose rules the DAT layout
// spells out: free reactants first, then the complexes in card order; KEY truncated toward
// zero (2 and 0.99 fix, 1.7 refines, -0.5 discards, 300 stays a fixing key in the 8-bit
// flag); print controls and the purity key in column 35, none for the appended hydroxide;
// the negative burette concentration of H+ a hydroxide reagent, the first species of H alone;
// the totals from millimoles and titres, to their last bit; readings left out by their JUMP
// flag without moving the titre base; the Nernst slope ln10 (273.15 + t) / 11.6048 times the
// SLOPE factor, refined by LOCK 1; electrode type 1 a pH block (EZERO does not apply); a
// titrant of a later titration absent from the earlier ones.
TEST_F(SuperquadReaderTest, CardFilesReadToTheSameModelAsTheirTwins) {
  const struct {
    const char* variant;
    const char* twin;
  } cases[] = {
      {"tests/data/sqd/fortran_number_forms.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/trailing_blank_in_lgbeta.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/trailing_blank_in_titre.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/number_fills_its_field.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/lock_and_slope_missing.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/lock_blank_slope_zero.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/points_end_at_ten_blanks.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/negative_key_discards_card.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"examples/EN_PROTONATION_3_TITRATIONS.SQD",
       "tests/data/sqd/en_protonation_3_titrations_right_aligned.sqd"},
      {"examples/NI_GLYCINE_EMF_AND_PH.SQD",
       "tests/data/sqd/ni_glycine_emf_and_ph_right_aligned.sqd"},
  };
  const char* const datTwins[] = {"minimal_titration",
                                  "key_truncated_toward_zero",
                                  "print_controls_and_purity_key",
                                  "negative_burette_picks_pure_species",
                                  "jump_cards",
                                  "slope_factor_at_37_celsius",
                                  "electrode_type_1_ifc_1",
                                  "titrant_only_in_second_titration"};
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& c : cases) pairs.emplace_back(c.variant, c.twin);
  for (const std::string name : datTwins)
    pairs.emplace_back("tests/data/sqd/" + name + ".sqd", "tests/data/dat/" + name + "_twin.DAT");
  for (const auto& [variant, twinFile] : pairs) {
    SCOPED_TRACE(variant);
    const bool datTwin = twinFile.ends_with(".DAT");
    const std::string twinText = readFile(sourcePath(twinFile));
    ASSERT_TRUE(datTwin ? readDatText(twinText, *m_, platform_) : readText(twinText));
    const std::unique_ptr<Model> twin = std::move(m_);
    m_ = newModel();
    ASSERT_TRUE(readText(readFile(sourcePath(variant))));
    EXPECT_TRUE(platform_.messages.empty());
    // The names are the cards' own.
    for (int r = 1; datTwin && r <= twin->NReactants; ++r) {
      EXPECT_FALSE(m_->ReactantName[r].empty());
      twin->ReactantName[r] = m_->ReactantName[r];
    }
    expectSameModel(*twin, *m_, datTwin ? 1e-18L : 0);
    for (int i = 1; i <= twin->NInputReagents; ++i) {
      EXPECT_EQ(m_->Purity[i], twin->Purity[i]);
      EXPECT_EQ(m_->FitPurity[i], twin->FitPurity[i]);
    }
  }
}

// --- the example card files ---

// Every stored reading against the value the engine calculates from the constants read (the
// EMF EZERO + slope lg[IFC] of method 8, -lg[IFC] of method 1): the examples were made
// noiseless, so a reading, a volume or a total misplaced by the reader shows here.
TEST_F(SuperquadReaderTest, ExampleCardFilesAreNoiseless) {
  const struct {
    const char* file;
    int species;
    std::vector<int> points;
  } cases[] = {
      {"GLYCINE_PROTONATION.SQD", 5, {27}},
      {"CU_GLYCINE.SQD", 9, {34}},  // the CuHL card with KEY -1 discarded, one reading jumped
      {"EN_PROTONATION_3_TITRATIONS.SQD", 5, {35, 30, 27}},
      {"NI_GLYCINE_EMF_AND_PH.SQD", 9, {25, 25}},  // a pH electrode (type 1) in block 2
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(readText(readFile(sourcePath(std::string("examples/") + c.file))));
    Model& m = *m_;
    EXPECT_EQ(m.NSpecies, c.species);
    ASSERT_EQ(m.NBlocks, static_cast<int>(c.points.size()));
    TextWriter report;
    ASSERT_TRUE(report.create("/dev/null"));
    Engine engine(m, platform_, report);
    engine.startRun();
    clearFloatingPointFlags();  // the flags a reading leaves are no fault of the engine
    for (int b = 1; b <= m.NBlocks; ++b) {
      EXPECT_EQ(m.NPoints[b], c.points[b - 1]);
      for (int p = m.First(b); p <= m.Last(b); ++p) {
        engine.CalculatePoint(b, p);
        EXPECT_NEAR(static_cast<double>(m.Ycalc[p]), static_cast<double>(m.Yexp[p]), 2e-5)
            << "block " << b << ", point " << p;
      }
    }
  }
}

}  // namespace
}  // namespace tarvolin::test
