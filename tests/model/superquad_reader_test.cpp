#include "model/superquad_reader.h"

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "model/word_reader.h"
#include "run/run_driver.h"
#include "tests/support/model_compare.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

const char* const kCaption = "Data Input in SUPERQUQD Format";

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

// --- the model read from a complete card file ---

TEST_F(SuperquadReaderTest, MinimalTitrationFillsOneElectrodeBlock) {
  ASSERT_TRUE(readData("minimal_titration.sqd"));
  EXPECT_TRUE(platform_.messages.empty());
  const Model& m = *m_;
  EXPECT_EQ(m.NBlocks, 1);
  EXPECT_EQ(m.NCalcModels, 1);
  EXPECT_EQ(m.HeaderInt2, 2);
  EXPECT_EQ(m.NReactants, 2);
  EXPECT_EQ(m.ReactantName[1], "Gly");
  EXPECT_EQ(m.ReactantName[2], "H+");

  // Free reactants first, then the complexes in card order.
  ASSERT_EQ(m.NSpecies, 5);
  const int stoich[6][3] = {{}, {0, 1, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 2}, {0, 0, -1}};
  for (int s = 1; s <= 5; ++s)
    for (int r = 1; r <= 2; ++r) EXPECT_EQ(m.Stoich[s][r], stoich[s][r]) << s << "," << r;
  const long double lg[6] = {0, 0, 0, 9.57L, 11.92L, -13.78L};
  const int fitBeta[6] = {0, 0, 0, 1, 1, 0};
  for (int s = 1; s <= 5; ++s) {
    EXPECT_EQ(m.lgBETA[s], lg[s]) << s;
    EXPECT_EQ(m.FitBeta[s], fitBeta[s]) << s;
  }

  // The negative burette concentration of H+ became a hydroxide reagent (species 5).
  ASSERT_EQ(m.NInputReagents, 3);
  const int reagent[4] = {0, 1, 2, 5};
  const long double c0[4] = {0, 0.25L / 25.0L, 0.5L / 25.0L, 0};
  const long double titrant[4] = {0, 0, 0, 0.1L};
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(m.ReagentSpecies[i], reagent[i]) << i;
    EXPECT_EQ(m.C0[1][i], c0[i]) << i;
    EXPECT_EQ(m.CTitrant[1][i], titrant[i]) << i;
    EXPECT_EQ(m.Purity[i], 1);
    EXPECT_EQ(m.FitPurity[i], 0);
  }
  EXPECT_EQ(m.V0[1], 25.0L);

  EXPECT_EQ(m.Method[1], 8);
  EXPECT_EQ(m.IncrementMode[1], 0);
  EXPECT_EQ(m.Fo[1], 400.0L);
  EXPECT_EQ(m.FitBlock[1], 0);
  EXPECT_EQ(m.BlockWeight[1], 1);
  EXPECT_EQ(m.BlockFactor[1], 1);
  EXPECT_TRUE(ExpectClose(m.AV[2][1], kSlope25, 1e-18L));
  for (int s : {1, 3, 4, 5}) EXPECT_EQ(m.AV[s][1], 0) << s;
  for (int s = 1; s <= 5; ++s) EXPECT_EQ(m.FitAV[s][1], 0) << s;

  // Titres 0, 1 and 2.5 ml: increments, totals after mixing, EMF as read.
  ASSERT_EQ(m.NPoints[1], 3);
  const long double titre[4] = {0, 0, 1.0L, 2.5L};
  const long double emf[4] = {0, 290.1234L, 280.5L, 250.25L};
  const long double added[4] = {0, 0, 1.0L, 1.5L};
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(m.Yexp[p], emf[p]) << p;
    EXPECT_EQ(m.YexpRead[p], emf[p]) << p;
    EXPECT_EQ(m.PointFactor[p], 1) << p;
    EXPECT_EQ(m.VAdded[p], added[p]) << p;
    const long double volume = 25.0L + titre[p];
    EXPECT_TRUE(ExpectClose(m.Ct[p][1], 0.25L / volume, 1e-18L)) << p;
    EXPECT_TRUE(ExpectClose(m.Ct[p][2], 0.5L / volume, 1e-18L)) << p;
    EXPECT_TRUE(ExpectClose(m.Ct[p][3], 0.1L * titre[p] / volume, 1e-18L)) << p;
  }
  EXPECT_EQ(m.Step, 0.10L);
  EXPECT_EQ(m.Tolerance, 1e-20L);
  EXPECT_EQ(m.ReadError, 0);
  EXPECT_EQ(m.RunIncomplete, 0);
}

TEST_F(SuperquadReaderTest, EchoHoldsEveryFieldAsReadAndOneLinePerCard) {
  ASSERT_TRUE(readData("echo_of_fields_as_read.sqd"));
  EXPECT_EQ(echo_,
            "    0    0    2    0\r\n"
            "Glycinate io\r\n"
            "H+\r\n"
            "      25.0\r\n"
            "    9.5700    1    1    1\r\n"
            "   11.9200    1    2    1\r\n"
            "-13.78    0    -1   0.   \r\n"
            "END\r\n"
            "    1    0.2500    0.0000    0    0\r\n"
            "    2    0.5000   -0.1000    0    0\r\n"
            "\r\n"
            "    0   25.0000    0.0020\r\n"
            "0 1 2  400.0000    0.1000    0    1.0000\r\n"
            "\r\n"
            "    0.0000  290.1234              0\r\n"
            "    1.0000  280.5000              1\r\n"
            "    2.5000  250.2500              0\r\n"
            "          \r\n"
            "      0.10\r\n");
  EXPECT_EQ(m_->ReactantName[1], "Glycinate io");
  EXPECT_EQ(m_->NSpecies, 5);  // "END", shorter than ten columns, closed the complexes
  EXPECT_EQ(m_->NPoints[1], 2);
}

// --- messages: one card file per message, exact text and caption ---

struct MessageCase {
  const char* file;
  const char* caption;
  const char* text;
};

const MessageCase kMessageCases[] = {
    {"reactant_count_not_integer.sqd", kCaption, "Data input error. Please, look line 2"},
    {"reactants_51.sqd", "Data Input for TARVOLIN",
     "Too many basic components (reatants), it is more than 50"},
    {"reactants_zero.sqd", "Input Experimental Data",
     "The DATA file error at reading line >= 2: the number of basic components (reactants) "
     "is 0, it must be at least 1."},
    {"temperature_with_comma.sqd", kCaption, "Data input error. Please, look line 4 -temperature"},
    {"lgbeta_invalid.sqd", kCaption, "Data input error. Please, look line 5 -formation constant"},
    {"stoichiometric_coefficient_not_integer.sqd", kCaption,
     "Data input error. Please, look line 5 -stoichiometric coef."},
    {"stoichiometric_coefficient_missing.sqd", kCaption,
     "Data input error. Please, look line 5 -stoichiometric coef."},
    {"key_missing.sqd", kCaption, "Data input error. Please, look line 5 -KEY value"},
    {"reagent_index_blank.sqd", kCaption,
     "Data input error. Please, look line 7 -index of reactant"},
    {"reagent_index_zero.sqd", kCaption,
     "Data input error. Please, look line 7 -index of reactant"},
    {"reagent_index_above_species.sqd", "Input Experimental Data",
     "The number of input reagent (7) is greater than the number of all species in solution (5)"},
    {"print_control_not_digit.sqd", kCaption,
     "Data input error. Please, look line 7 -print control for species"},
    {"millimoles_invalid.sqd", kCaption,
     "Data input error. Please, look line 7 -millimoles of reactant"},
    {"burette_concentration_invalid.sqd", kCaption,
     "Data input error. Please, look line 7 -reactant in burette"},
    {"refinement_key_not_digit.sqd", kCaption,
     "Data input error. Please, look line 7 -refinement KEY"},
    {"refinement_key_column_30_not_digit.sqd", kCaption,
     "Data input error. Please, look line 7 -refinement KEY"},
    {"jcoul_invalid.sqd", kCaption, "Data input error. Please, look line 9 -JCOUL for coulometry"},
    {"initial_volume_zero.sqd", kCaption, "Data input error. Please, look line 9 -Initial volume"},
    {"initial_volume_negative.sqd", kCaption,
     "Data input error. Please, look line 9 -Initial volume"},
    {"titre_error_invalid.sqd", kCaption,
     "Data input error. Please, look line 9 -Error in titre volume"},
    {"electrode_type_2.sqd", kCaption, "Data input error. Please, look line 10 -Type of electrode"},
    {"electrode_type_letter.sqd", kCaption,
     "Data input error. Please, look line 10 -Type of electrode"},
    {"transferred_electrons_not_digit.sqd", kCaption,
     "Data input error. Please, look line 10 -Transferred electrons"},
    {"ifc_above_reactants.sqd", kCaption, "Data input error. Please, look line 10 -IFC index"},
    {"ifc_not_digit.sqd", kCaption, "Data input error. Please, look line 10 -IFC index"},
    {"ezero_invalid.sqd", kCaption, "Data input error. Please, look line 10 -EZERO potential"},
    {"sigmae_missing.sqd", kCaption, "Data input error. Please, look line 10 -SIGMAE error"},
    {"lock_not_integer.sqd", kCaption,
     "Data input error. Please, look line 10 -LOCK for standard electrode"},
    {"slope_invalid.sqd", kCaption, "Data input error. Please, look line 10 -SLOPE factor"},
    {"emf_invalid.sqd", kCaption, "Data input error. Please, look line 12 -EMFC first electrode"},
    {"emf_missing.sqd", kCaption, "Data input error. Please, look line 12 -EMFC first electrode"},
    {"jump_not_integer.sqd", kCaption, "Data input error. Please, look line 12 -JUMP flag"},
    {"text_line_among_points.sqd", kCaption, "Data input error. Please, look line 12"},
    // A further titration whose reagent, volume and electrode cards read is no step line: a
    // damaged reading of it is reported, never dropped with the titration.
    {"damaged_second_titration.sqd", kCaption, "Data input error. Please, look line 12"},
    {"short_number_among_points.sqd", kCaption,
     "Data input error. Please, look line 12 -EMFC first electrode"},
    {"second_titration_other_reagent_species.sqd", kCaption,
     "Data input error. Please, look line 7 -index of reactant"},
    {"second_titration_other_negative_reactant.sqd", kCaption,
     "Data input error. 1 -Reagent: a problem of negative concentration."},
    {"species_101.sqd", kCaption, "Data input error. 101 -Too many reactions."},
    {"second_negative_burette.sqd", kCaption,
     "Data input error. 2 -Reagent: a problem of negative concentration."},
    {"negative_burette_without_species.sqd", kCaption,
     "Data input error. 2 -Reagent: a problem of negative concentration."},
    {"negative_burette_with_50_reactants.sqd", kCaption,
     "Data input error. 50 -Reagent: a problem of negative concentration."},
    {"no_points.sqd", "Input Experimental Data",
     "The number of data points in block is 0 less than 1"},
};

TEST_F(SuperquadReaderTest, EachDamagedCardGivesItsMessageAndStopsReading) {
  for (const MessageCase& c : kMessageCases) {
    SCOPED_TRACE(c.file);
    EXPECT_FALSE(readData(c.file));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(platform_.messages[0].caption, c.caption);
    EXPECT_EQ(platform_.messages[0].text, c.text);
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
  EXPECT_EQ(superquadErrorMessage(kSqdTooManyPoints, 3301).caption, kCaption);
}

TEST_F(SuperquadReaderTest, PointsBeyondTheTableAreRefusedWithTheirCount) {
  std::string text = dataText("minimal_titration.sqd");
  const std::string firstPoint = "    0.0000  290.1234              0\r\n";
  const auto at = text.find(firstPoint);
  ASSERT_NE(at, std::string::npos);
  // 3300 stored points read; a 3301st is refused. A card left out by its JUMP flag does not
  // count.
  std::string cards;
  for (int k = 0; k < 3297; ++k) cards += firstPoint;
  cards += "    3.0000  240.0000              1\r\n";
  text.insert(at, cards);
  EXPECT_TRUE(readText(text));
  EXPECT_EQ(m_->NPoints[1], 3300);

  text.insert(at, firstPoint);
  EXPECT_FALSE(readText(text));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text, "Data input error. 3301 -Too many experimental points.");
}

// The titrations of one file share the tables: 3300 points and 100 blocks in all.
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

  std::string points;
  for (int k = 0; k < 3295; ++k) points += "    1.5000  275.0000              0\r\n";
  EXPECT_TRUE(readText(withTitrations(2, points)));
  EXPECT_EQ(m_->NPoints[2], 3297);
  EXPECT_EQ(m_->TotalPoints(), 3300);
  EXPECT_FALSE(readText(withTitrations(2, points + "    1.5000  275.0000              0\r\n")));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text, "Data input error. 3301 -Too many experimental points.");
}

// --- the cards' own rules ---

TEST_F(SuperquadReaderTest, NegativeKeyDiscardsTheCardAndKeyIsTruncatedTowardZero) {
  ASSERT_TRUE(readData("negative_key_discards_card.sqd"));  // the next card takes its number
  ASSERT_EQ(m_->NSpecies, 5);
  EXPECT_EQ(m_->lgBETA[4], 11.92L);
  EXPECT_EQ(m_->Stoich[4][1], 1);
  EXPECT_EQ(m_->Stoich[4][2], 2);
  EXPECT_EQ(m_->lgBETA[5], -13.78L);
  EXPECT_EQ(m_->ReagentSpecies[3], 5);

  ASSERT_TRUE(readData("key_truncated_toward_zero.sqd"));
  ASSERT_EQ(m_->NSpecies, 6);    // the card with KEY -0.5 is discarded
  EXPECT_EQ(m_->FitBeta[3], 2);  // KEY 2: fixed
  EXPECT_EQ(m_->FitBeta[4], 1);  // KEY 1.7: refined
  EXPECT_EQ(m_->FitBeta[5], 0);  // KEY 0.99: fixed
  EXPECT_EQ(m_->lgBETA[6], 2.0L);
  EXPECT_EQ(m_->FitBeta[6], 255);  // KEY 300 stays a fixing key in the 8-bit flag
}

TEST_F(SuperquadReaderTest, JumpCardsAreLeftOutWithoutMovingTheTitreBase) {
  ASSERT_TRUE(readData("jump_cards.sqd"));
  ASSERT_EQ(m_->NPoints[1], 2);
  EXPECT_EQ(m_->Yexp[2], 250.25L);
  EXPECT_EQ(m_->VAdded[2], 2.5L);  // from the titre of the previous stored point, 0
  EXPECT_TRUE(ExpectClose(m_->Ct[2][3], 0.1L * 2.5L / 27.5L, 1e-18L));
}

// The readings end at a blank card or at the end of the file; an unusable step falls back to
// 0.08.
TEST_F(SuperquadReaderTest, PointsEndAtABlankCardOrTheFileEndAndStepFallsBack) {
  const struct {
    const char* file;
    int points;
    long double step;
  } cases[] = {
      {"minimal_titration.sqd", 3, 0.10L},       {"points_end_at_ten_blanks.sqd", 3, 0.10L},
      {"trailing_blank_in_titre.sqd", 3, 0.10L}, {"step_left_aligned.sqd", 3, 0.05L},
      {"step_out_of_range.sqd", 3, 0.08L},       {"step_word.sqd", 3, 0.08L},
      {"step_negative.sqd", 3, 0.08L},           {"step_missing.sqd", 3, 0.08L}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_TRUE(readData(c.file));
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_EQ(m_->NBlocks, 1);
    EXPECT_EQ(m_->NPoints[1], c.points);
    EXPECT_EQ(m_->Step, c.step);
  }
}

TEST_F(SuperquadReaderTest, ElectrodeTypePrintControlsPurityKeysAndTitrantSpecies) {
  ASSERT_TRUE(readData("electrode_type_1_ifc_1.sqd"));
  EXPECT_EQ(m_->Method[1], 1);
  EXPECT_EQ(m_->AV[1][1], 1);
  EXPECT_EQ(m_->AV[2][1], 0);
  EXPECT_EQ(m_->a[1], 1);
  EXPECT_EQ(m_->Fo[1], 0);  // EZERO 400 does not apply
  EXPECT_EQ(m_->FitBlock[1], 1);

  ASSERT_TRUE(readData("print_controls_and_purity_key.sqd"));
  EXPECT_EQ(m_->ReactantPrintFlag[1], 3);
  EXPECT_EQ(m_->ReactantPrintFlag[2], 0);
  EXPECT_EQ(m_->FitPurity[1], 1);  // column 35
  EXPECT_EQ(m_->FitPurity[2], 0);  // card ends before column 35
  EXPECT_EQ(m_->FitPurity[3], 0);  // the appended hydroxide

  // Species: Cu, L, H, CuOH (1,0,-1), HL, OH (0,0,-1), OH' (0,0,-1), CuL.
  ASSERT_TRUE(readData("negative_burette_picks_pure_species.sqd"));
  ASSERT_EQ(m_->NInputReagents, 4);
  EXPECT_EQ(m_->ReagentSpecies[4], 6);
  EXPECT_EQ(m_->CTitrant[1][4], 0.1L);
  EXPECT_EQ(m_->C0[1][4], 0);
  EXPECT_EQ(m_->CTitrant[1][3], 0);
  EXPECT_EQ(m_->C0[1][3], 0.2L / 20.0L);
  EXPECT_EQ(m_->Purity[4], 1);
  EXPECT_EQ(m_->FitPurity[4], 0);
  EXPECT_TRUE(ExpectClose(m_->Ct[2][4], 0.1L * 0.5L / 20.5L, 1e-18L));
  EXPECT_GT(m_->AV[3][1], 0);  // IFC 3, the proton

  ASSERT_TRUE(readData("species_100.sqd"));
  EXPECT_EQ(m_->NSpecies, 100);
  EXPECT_EQ(m_->ReagentSpecies[3], 3);  // the OH card is the first complex
}

TEST_F(SuperquadReaderTest, EmptyLockCountsAsZeroEmptySlopeAsOneAndSlopeFollowsTemperature) {
  ASSERT_TRUE(readData("lock_and_slope_missing.sqd"));
  EXPECT_EQ(m_->Method[1], 8);  // electrode-type column blank
  EXPECT_EQ(m_->FitBlock[1], 0);
  EXPECT_TRUE(ExpectClose(m_->AV[2][1], kSlope25, 1e-18L));

  ASSERT_TRUE(readData("lock_blank_slope_zero.sqd"));
  EXPECT_EQ(m_->FitBlock[1], 0);
  EXPECT_TRUE(ExpectClose(m_->AV[2][1], kSlope25, 1e-18L));

  ASSERT_TRUE(readData("slope_factor_at_37_celsius.sqd"));
  // 0.98 * ln10 * (37 + 273.15) / 11.6048
  EXPECT_TRUE(ExpectClose(m_->AV[2][1], 60.3081338118934581828L, 1e-18L));
  EXPECT_EQ(m_->FitBlock[1], 1);
}

TEST_F(SuperquadReaderTest, NumberFillingItsFieldOrEndingTheLineIsRead) {
  ASSERT_TRUE(readData("number_fills_its_field.sqd"));
  EXPECT_EQ(m_->lgBETA[3], 9.57L);                           // "9.57000000" fills columns 1-10
  EXPECT_TRUE(ExpectClose(m_->AV[2][1], kSlope25, 1e-18L));  // temperature "25" ends its line
  EXPECT_EQ(m_->FitBeta[5], 0);                              // KEY " 0" ends its line
  EXPECT_EQ(m_->NSpecies, 5);
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
    const char* text;
    const char* message;
  } bad[] = {{temperature, "          ", "Data input error. Please, look line 4 -temperature"},
             {temperature, "", "Data input error. Please, look line 4 -temperature"},
             {temperature, "\t25.0", "Data input error. Please, look line 4 -temperature"},
             {temperature, "25.0K", "Data input error. Please, look line 4 -temperature"},
             {temperature, "2 5.0", "Data input error. Please, look line 4 -temperature"},
             {temperature, "25.0E", "Data input error. Please, look line 4 -temperature"},
             {temperature, "0x19", "Data input error. Please, look line 4 -temperature"},
             {temperature, "inf", "Data input error. Please, look line 4 -temperature"},
             {temperature, "1e5000", "Data input error. Please, look line 4 -temperature"},
             {counts, "    0    0 2.5     0", "Data input error. Please, look line 2"},
             {counts, "    0    0 2E0     0", "Data input error. Please, look line 2"},
             {counts, "    0    0         0", "Data input error. Please, look line 2"}};
  for (const auto& c : bad) {
    SCOPED_TRACE(c.text);
    EXPECT_FALSE(readText(withCard(c.card, c.text)));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, c.message);
  }
}

// Cards written with the numbers anywhere in their fields, in the Fortran forms and with
// blank fields for zero read to the same model as their right-aligned twins.
TEST_F(SuperquadReaderTest, CardVariantsReadToTheSameModelAsTheirRightAlignedTwins) {
  const struct {
    const char* variant;
    const char* twin;
  } cases[] = {
      {"tests/data/sqd/fortran_number_forms.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/trailing_blank_in_lgbeta.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"tests/data/sqd/trailing_blank_in_titre.sqd", "tests/data/sqd/minimal_titration.sqd"},
      {"examples/EN_PROTONATION_3_TITRATIONS.SQD",
       "tests/data/sqd/en_protonation_3_titrations_right_aligned.sqd"},
      {"examples/NI_GLYCINE_EMF_AND_PH.SQD",
       "tests/data/sqd/ni_glycine_emf_and_ph_right_aligned.sqd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variant);
    ASSERT_TRUE(readText(readFile(sourcePath(c.twin))));
    const std::unique_ptr<Model> twin = std::move(m_);
    m_ = newModel();
    ASSERT_TRUE(readText(readFile(sourcePath(c.variant))));
    expectSameModel(*twin, *m_, 0);
    for (int i = 1; i <= twin->NInputReagents; ++i) {
      EXPECT_EQ(m_->Purity[i], twin->Purity[i]);
      EXPECT_EQ(m_->FitPurity[i], twin->FitPurity[i]);
    }
  }
}

TEST_F(SuperquadReaderTest, ReadsPointDecimalsUnderACommaLocale) {
  if (!useDecimalCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
  const bool ok = readData("minimal_titration.sqd");
  std::setlocale(LC_NUMERIC, "C");
  ASSERT_TRUE(ok);
  EXPECT_EQ(m_->lgBETA[3], 9.57L);
  EXPECT_EQ(m_->Yexp[1], 290.1234L);
}

// --- through the run driver ---

TEST_F(SuperquadReaderTest, RunReadsAnSqdFileWithTheCardReaderAndEndsAtADamagedCard) {
  writeFile("GLY.Sqd", dataText("minimal_titration.sqd"));
  writeFile("IN.IN", "GLY.Sqd\r\ngly.out\r\n");
  m_->InputIsSuperquad = 0;
  EXPECT_EQ(SimplexRun(*m_, platform_), RunStatus::Completed);
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(m_->InputIsSuperquad, 1);
  EXPECT_EQ(m_->NSystems, 1);
  EXPECT_EQ(m_->Title, "Glycine (L) protonation, three readings");
  EXPECT_EQ(m_->NPoints[1], 3);
  const std::string echo = readFile("INIT_INP.TMP");
  EXPECT_EQ(echo.rfind("Glycine (L) protonation, three readings\r\n    0    0    2    0\r\n", 0),
            0u);

  // A damaged card ends the run.
  platform_.messages.clear();
  writeFile("BAD.SQD", dataText("ezero_invalid.sqd"));
  writeFile("IN.IN", "BAD.SQD\r\nbad.out\r\n");
  EXPECT_EQ(SimplexRun(*m_, platform_), RunStatus::InputError);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text, "Data input error. Please, look line 10 -EZERO potential");
  EXPECT_EQ(m_->ReadError, 1);
  EXPECT_EQ(m_->RunIncomplete, 1);
}

// --- the example card files against the constants they were made from ---

// Free concentrations for the totals Cbt of the basic components: Newton steps in
// x = ln(free), the stationary point of the convex f(x) = sum_s c_s - sum_k Cbt_k x_k with
// c_s = 10^lgBETA_s prod_k free_k^Stoich_sk. Steps are capped at 2 ln units and halved until f
// falls (within its rounding); converged when every balance is met to 1e-15 of the size of its
// terms.
std::vector<long double> solveFree(const Model& m, const std::vector<long double>& cbt,
                                   std::vector<long double> x) {
  const int nr = m.NReactants;
  const int ns = m.NSpecies;
  auto concentrations = [&](const std::vector<long double>& xv) {
    std::vector<long double> c(ns + 1);
    for (int s = 1; s <= ns; ++s) {
      long double e = m.lgBETA[s] * std::log(10.0L);
      for (int k = 1; k <= nr; ++k) e += m.Stoich[s][k] * xv[k];
      c[s] = std::exp(e);
    }
    return c;
  };
  auto merit = [&](const std::vector<long double>& xv, const std::vector<long double>& c) {
    long double f = 0;
    for (int s = 1; s <= ns; ++s) f += c[s];
    for (int k = 1; k <= nr; ++k) f -= cbt[k] * xv[k];
    return f;
  };
  std::vector<long double> c = concentrations(x);
  for (int iteration = 0; iteration < 500; ++iteration) {
    std::vector<long double> r(nr + 1), size(nr + 1);
    bool converged = true;
    for (int k = 1; k <= nr; ++k) {
      r[k] = cbt[k];
      for (int s = 1; s <= ns; ++s) {
        r[k] -= m.Stoich[s][k] * c[s];
        size[k] += std::fabs(m.Stoich[s][k] * c[s]);
      }
      converged = converged && std::fabs(r[k]) <= 1e-15L * size[k];
    }
    if (converged) return x;
    // J dx = r with J_kl = sum_s a_sk a_sl c_s, by elimination with partial pivoting.
    std::vector<std::vector<long double>> a(nr + 1, std::vector<long double>(nr + 2));
    for (int k = 1; k <= nr; ++k) {
      for (int l = 1; l <= nr; ++l)
        for (int s = 1; s <= ns; ++s) a[k][l] += m.Stoich[s][k] * m.Stoich[s][l] * c[s];
      a[k][nr + 1] = r[k];
    }
    for (int col = 1; col <= nr; ++col) {
      int pivot = col;
      for (int k = col + 1; k <= nr; ++k)
        if (std::fabs(a[k][col]) > std::fabs(a[pivot][col])) pivot = k;
      std::swap(a[col], a[pivot]);
      for (int k = col + 1; k <= nr; ++k) {
        const long double f = a[k][col] / a[col][col];
        for (int l = col; l <= nr + 1; ++l) a[k][l] -= f * a[col][l];
      }
    }
    std::vector<long double> dx(nr + 1);
    long double biggest = 0;
    for (int k = nr; k >= 1; --k) {
      long double sum = a[k][nr + 1];
      for (int l = k + 1; l <= nr; ++l) sum -= a[k][l] * dx[l];
      dx[k] = sum / a[k][k];
      biggest = std::max(biggest, std::fabs(dx[k]));
    }
    const long double scale = biggest > 2 ? 2 / biggest : 1;
    // Near the solution the decrease of f falls below its rounding: allow that much.
    const long double f0 = merit(x, c);
    long double slack = 0;
    for (int s = 1; s <= ns; ++s) slack += c[s];
    for (int k = 1; k <= nr; ++k) slack += std::fabs(cbt[k] * x[k]);
    slack *= 1e-16L;
    for (long double t = scale;; t /= 2) {
      std::vector<long double> xt = x;
      for (int k = 1; k <= nr; ++k) xt[k] += t * dx[k];
      const std::vector<long double> ct = concentrations(xt);
      if (merit(xt, ct) <= f0 + slack || t < 1e-12L) {
        x = xt;
        c = ct;
        break;
      }
    }
  }
  ADD_FAILURE() << "speciation did not converge";
  return x;
}

// Every stored reading against the electrode's response from the constants read: the EMF
// EZERO + slope lg[IFC] (method 8) or -lg[IFC] (method 1), block by block.
void expectNernstianReadings(const Model& m, int ifc) {
  const int nr = m.NReactants;
  for (int b = 1; b <= m.NBlocks; ++b) {
    std::vector<long double> x(nr + 1, std::log(1e-3L));
    for (int p = m.First(b); p <= m.Last(b); ++p) {
      std::vector<long double> cbt(nr + 1);
      for (int i = 1; i <= m.NInputReagents; ++i)
        for (int k = 1; k <= nr; ++k) cbt[k] += m.Ct[p][i] * m.Stoich[m.ReagentSpecies[i]][k];
      x = solveFree(m, cbt, x);
      const long double lg = x[ifc] / std::log(10.0L);
      const long double reading = m.Method[b] == 1 ? -lg : m.Fo[b] + m.AV[ifc][b] * lg;
      EXPECT_NEAR(static_cast<double>(m.Yexp[p]), static_cast<double>(reading), 2e-5)
          << "block " << b << ", point " << p;
    }
  }
}

TEST_F(SuperquadReaderTest, GlycineProtonationExampleIsNoiseless) {
  ASSERT_TRUE(readText(readFile(sourcePath("examples/GLYCINE_PROTONATION.SQD"))));
  const Model& m = *m_;
  EXPECT_EQ(m.NReactants, 2);
  EXPECT_EQ(m.ReactantName[1], "Glycinate");
  ASSERT_EQ(m.NSpecies, 5);
  EXPECT_EQ(m.lgBETA[3], 9.57L);
  EXPECT_EQ(m.lgBETA[4], 11.92L);
  EXPECT_EQ(m.FitBeta[3] + m.FitBeta[4], 2);
  EXPECT_EQ(m.FitBeta[5], 0);
  ASSERT_EQ(m.NInputReagents, 3);
  EXPECT_EQ(m.ReagentSpecies[3], 5);
  EXPECT_EQ(m.C0[1][1], 0.25L / 25);
  EXPECT_EQ(m.C0[1][2], 0.55L / 25);
  EXPECT_EQ(m.CTitrant[1][2], 0);
  EXPECT_EQ(m.CTitrant[1][3], 0.1L);
  EXPECT_EQ(m.Method[1], 8);
  EXPECT_EQ(m.Fo[1], 400.0L);
  EXPECT_EQ(m.FitBlock[1], 1);
  EXPECT_TRUE(ExpectClose(m.AV[2][1], kSlope25, 1e-18L));
  ASSERT_EQ(m.NPoints[1], 27);
  EXPECT_TRUE(ExpectClose(m.Ct[27][2], 0.55L / 30.2L, 1e-18L));
  EXPECT_TRUE(ExpectClose(m.Ct[27][3], 0.52L / 30.2L, 1e-17L));
  EXPECT_EQ(m.Step, 0.10L);
  expectNernstianReadings(m, 2);
}

TEST_F(SuperquadReaderTest, CopperGlycineExampleIsNoiseless) {
  ASSERT_TRUE(readText(readFile(sourcePath("examples/CU_GLYCINE.SQD"))));
  const Model& m = *m_;
  EXPECT_EQ(m.NReactants, 3);
  ASSERT_EQ(m.NSpecies, 9);  // the CuHL card with KEY -1 is discarded
  const long double lg[10] = {0, 0, 0, 0, 9.57L, 11.92L, -13.78L, -7.90L, 8.15L, 15.03L};
  const int fit[10] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1};
  for (int s = 1; s <= 9; ++s) {
    EXPECT_EQ(m.lgBETA[s], lg[s]) << s;
    EXPECT_EQ(m.FitBeta[s], fit[s]) << s;
  }
  EXPECT_EQ(m.Stoich[7][1], 1);  // CuOH
  EXPECT_EQ(m.Stoich[7][3], -1);
  ASSERT_EQ(m.NInputReagents, 4);
  EXPECT_EQ(m.ReagentSpecies[4], 6);
  EXPECT_EQ(m.Fo[1], 398.6L);
  EXPECT_EQ(m.FitBlock[1], 0);
  EXPECT_TRUE(ExpectClose(m.AV[3][1], 0.995L * kSlope25, 1e-18L));
  // 35 readings, the one at 1.50 ml left out by its JUMP flag.
  ASSERT_EQ(m.NPoints[1], 34);
  EXPECT_TRUE(ExpectClose(m.VAdded[16], 0.2L, 1e-15L));
  EXPECT_TRUE(ExpectClose(m.Ct[16][1], 0.05L / 26.6L, 1e-17L));
  EXPECT_EQ(m.Step, 0.08L);
  expectNernstianReadings(m, 3);
}

// Several titrations of one system: each its own block, with its own initial solution,
// titrant, electrode and readings; the points run on through the blocks.
TEST_F(SuperquadReaderTest, SeveralTitrationsExamplesAreNoiseless) {
  ASSERT_TRUE(readText(readFile(sourcePath("examples/EN_PROTONATION_3_TITRATIONS.SQD"))));
  const Model& m = *m_;
  ASSERT_EQ(m.NBlocks, 3);
  ASSERT_EQ(m.NInputReagents, 3);
  EXPECT_EQ(m.ReagentSpecies[3], 5);  // hydroxide, from the negative proton concentrations
  const struct {
    int points;
    long double v0, cEn, cH, naoh, fo, slopeFactor;
  } blocks[] = {{35, 25, 0.004L, 0.01L, 0.1L, 400, 1},
                {30, 20, 0.006L, 0.014L, 0.1L, 398.5L, 1},
                {27, 30, 0.002L, 0.006L, 0.05L, 401.2L, 0.998L}};
  for (int b = 1; b <= 3; ++b) {
    SCOPED_TRACE("block " + std::to_string(b));
    const auto& e = blocks[b - 1];
    EXPECT_EQ(m.NPoints[b], e.points);
    EXPECT_EQ(m.Method[b], 8);
    EXPECT_EQ(m.V0[b], e.v0);
    EXPECT_TRUE(ExpectClose(m.C0[b][1], e.cEn, 1e-18L));
    EXPECT_TRUE(ExpectClose(m.C0[b][2], e.cH, 1e-18L));
    EXPECT_EQ(m.C0[b][3], 0);
    EXPECT_EQ(m.CTitrant[b][2], 0);
    EXPECT_EQ(m.CTitrant[b][3], e.naoh);
    EXPECT_EQ(m.Fo[b], e.fo);
    EXPECT_EQ(m.FitBlock[b], 1);
    EXPECT_TRUE(ExpectClose(m.AV[2][b], e.slopeFactor * kSlope25, 1e-18L));
    EXPECT_EQ(m.VAdded[m.First(b)], 0);  // each titration starts from its own vessel
    EXPECT_TRUE(ExpectClose(m.Ct[m.First(b)][1], e.cEn, 1e-18L));
  }
  EXPECT_TRUE(ExpectClose(m.VAdded[36 + 12], 0.2L, 1e-15L));  // around the reading left out
  expectNernstianReadings(m, 2);

  ASSERT_TRUE(readText(readFile(sourcePath("examples/NI_GLYCINE_EMF_AND_PH.SQD"))));
  ASSERT_EQ(m.NBlocks, 2);
  ASSERT_EQ(m.NSpecies, 9);  // the NiHL card with KEY -1 is discarded
  EXPECT_EQ(m.Method[1], 8);
  EXPECT_EQ(m.Method[2], 1);  // electrode type 1 reads pH
  EXPECT_EQ(m.Fo[2], 0);
  EXPECT_EQ(m.a[2], 1);
  EXPECT_EQ(m.AV[3][2], 1);
  EXPECT_EQ(m.NPoints[1], 25);
  expectNernstianReadings(m, 3);
}

// A titrant reagent that only a later titration uses is absent from the earlier blocks.
TEST_F(SuperquadReaderTest, TitrantOfALaterTitrationIsAbsentFromTheEarlierOnes) {
  ASSERT_TRUE(readData("titrant_only_in_second_titration.sqd"));
  const Model& m = *m_;
  ASSERT_EQ(m.NBlocks, 2);
  ASSERT_EQ(m.NInputReagents, 3);
  EXPECT_EQ(m.ReagentSpecies[3], 5);
  EXPECT_EQ(m.CTitrant[1][2], 0.1L);  // HCl in the first burette
  EXPECT_EQ(m.C0[1][3], 0);
  EXPECT_EQ(m.CTitrant[1][3], 0);
  for (int p = 1; p <= 3; ++p) EXPECT_EQ(m.Ct[p][3], 0) << p;
  EXPECT_EQ(m.CTitrant[2][2], 0);
  EXPECT_EQ(m.CTitrant[2][3], 0.05L);
  EXPECT_TRUE(ExpectClose(m.Ct[5][3], 0.05L * 2 / 22, 1e-18L));
  EXPECT_EQ(m.V0[2], 20);
  EXPECT_EQ(m.Fo[2], 401);
  EXPECT_EQ(m.FitBlock[1], 0);
  EXPECT_EQ(m.FitBlock[2], 1);
  EXPECT_TRUE(ExpectClose(m.AV[2][2], 0.99L * kSlope25, 1e-18L));
  EXPECT_EQ(m.Step, 0.10L);
}

}  // namespace
}  // namespace tarvolin::test
