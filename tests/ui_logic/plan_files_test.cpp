// The data-input window's DAT files: the layout it writes, the file it replaces, its own
// reader with its restrictions and messages, and the files of the Fitting Test.

#include "ui/data_input/plan/plan_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "run/run_driver.h"
#include "tests/support/test_support.h"
#include "tests/ui_logic/plan_fixtures.h"
#include "ui/data_input/plan/fit_curve_labels.h"
#include "ui/data_input/plan/grid_data.h"
#include "ui/data_input/plan/load_data.h"
#include "ui/data_input/plan/save_data.h"
#include "ui/data_input/plan/test_data.h"

namespace tarvolin::test {
namespace {

namespace fs = std::filesystem;

// Fixed columns that would drop digits the grid shows give way to the exponent form.
TEST(PlanSaveData, NoTypedDigitIsLost) {
  EXPECT_EQ(savedReal(0.05L, 12, 8), "  0.05000000");
  EXPECT_EQ(savedReal(1.234e-9L, 12, 8), " 1.234E-0009");
  EXPECT_EQ(savedReal(0.0016528926L, 12, 8), " 1.6528926E-0003");
  EXPECT_EQ(savedReal(4.123456L, 12, 5), " 4.123456E+0000");
  EXPECT_EQ(savedReal(-3.25L, 12, 5), "    -3.25000");
  EXPECT_EQ(savedReal(1.0L / 3, 12, 5), " 3.33333333333333E-0001");
}

class PlanFiles : public ScratchFolderTest {
 protected:
  void SetUp() override {
    ScratchFolderTest::SetUp();
    fs::create_directory("program");
    fs::create_directory("data");
    fillZincPyridine(plan_);
  }

  PlanData plan_;
  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
};

// The saved file reads back into the same model through the run's reader, and into the same
// grids through the window's own.
TEST_F(PlanFiles, SaveThenOpenGivesTheSameModelAndGrids) {
  plan_.EditStep = "0.1";
  plan_.FitSysErr = true;
  ASSERT_TRUE(SavePlan(plan_, *model_, "data/ZN.DAT", "program").saved);
  EXPECT_TRUE(plan_.DataSaved);
  auto read = newModel();
  ASSERT_TRUE(readDatText(readFile("data/ZN.DAT"), *read, platform_));
  EXPECT_TRUE(platform_.messages.empty());
  // Written again from what the run read, the file comes out byte for byte the same (the system
  // count of line 1 is the run's own, not a part of the system read).
  read->NSystems = model_->NSystems;
  EXPECT_EQ(SaveData(*read), readFile("data/ZN.DAT"));
  EXPECT_EQ(read->lgBETA[4], model_->lgBETA[4]);
  EXPECT_EQ(read->Ct[1][2], model_->Ct[1][2]);

  PlanData opened;
  AddReactant(opened, "X");
  opened.CurveShown = true;
  const OpenOutcome outcome = OpenPlan(opened, *read, "data/ZN.DAT");
  EXPECT_TRUE(outcome.notices.empty());
  ASSERT_TRUE(outcome.loaded);
  EXPECT_EQ(outcome.caption, "Data and Speciation.   File: ZN.DAT");
  EXPECT_TRUE(opened.ExpData == plan_.ExpData);
  EXPECT_TRUE(opened.StabConst == plan_.StabConst);
  EXPECT_EQ(opened.StabConst.cell(4, 0), "A2B");
  EXPECT_EQ(opened.EditStep, "0.1");
  EXPECT_TRUE(opened.FitSysErr);
  EXPECT_FALSE(opened.CurveShown);
  EXPECT_FALSE(opened.DataError);
}

TEST_F(PlanFiles, GridsShowTheUsersDecimalSeparator) {
  ASSERT_TRUE(SavePlan(plan_, *model_, "data/ZN.DAT", "program").saved);
  PlanData opened;
  opened.DecimalSeparator = ',';
  ASSERT_TRUE(OpenPlan(opened, *model_, "data/ZN.DAT").loaded);
  EXPECT_EQ(opened.ExpData.cell(5, concentrationColumn(1)), "0,0192");
  EXPECT_EQ(opened.StabConst.cell(4, kShiftColumn), "16,204");
  EXPECT_EQ(opened.EditStep, "0,12");
  // and they convert back as typed
  auto model = newModel();
  TestData(opened, *model);
  EXPECT_FALSE(opened.DataError);
  EXPECT_EQ(model->Ct[5][1], 0.0192L);
}

// Test Data runs before the file is touched.
TEST_F(PlanFiles, FailedSaveLeavesTheFileAsItWas) {
  writeFile("data/ZN.DAT", "previous content\r\n");
  plan_.StabConst.setCell(2, kShiftColumn, "?.?");
  SaveOutcome outcome = SavePlan(plan_, *model_, "data/ZN.DAT", "program");
  EXPECT_FALSE(outcome.saved);
  EXPECT_EQ(texts(outcome.notices),
            (std::vector<std::string>{"Number of Experimental Points = 5",
                                      "Incorrect NMR Shift for Compound 2"}));
  EXPECT_EQ(readFile("data/ZN.DAT"), "previous content\r\n");
  EXPECT_FALSE(fs::exists("program/ZN.BAK"));
  EXPECT_FALSE(plan_.DataSaved);

  EXPECT_FALSE(SavePlan(plan_, *model_, "data/NEW.DAT", "program").saved);
  EXPECT_FALSE(fs::exists("data/NEW.DAT"));

  // A backup or a write that fails ends the save with its message.
  plan_.StabConst.setCell(2, kShiftColumn, "0");
  outcome = SavePlan(plan_, *model_, "data/ZN.DAT", "no-such-folder");
  EXPECT_FALSE(outcome.saved);
  ASSERT_FALSE(outcome.notices.empty());
  EXPECT_EQ(outcome.notices.back(), errorNotice("Unable to create backup file."));
  EXPECT_EQ(readFile("data/ZN.DAT"), "previous content\r\n");

  outcome = SavePlan(plan_, *model_, "no-such-folder/ZN.DAT", "program");
  EXPECT_FALSE(outcome.saved);
  ASSERT_FALSE(outcome.notices.empty());
  EXPECT_EQ(outcome.notices.back(), errorNotice("Cannot write into file 'no-such-folder/ZN.DAT'"));
  EXPECT_FALSE(plan_.DataSaved);
}

TEST(PlanFileNames, ExtensionAndBackup) {
  EXPECT_EQ(DatFileName("data/zn.txt"), "data/zn.DAT");
  EXPECT_EQ(DatFileName("data/zn.dat"), "data/zn.dat");
  EXPECT_EQ(DatFileName("data/zn.v2.Dat"), "data/zn.v2.Dat");
  EXPECT_EQ(BackupFileName("/home/x/data/ZN.DAT", "/opt/tarvolin"), "/opt/tarvolin/ZN.BAK");
}

// ---- opening ----

TEST_F(PlanFiles, TwoBlockFileGivesTheOneBlockWarningAndLeavesTheGrids) {
  fs::copy_file(sourcePath("examples/TWO_BLOCKS.DAT"), "TWO.DAT");
  TestData(plan_, *model_);  // names the products, as the test after the read will
  const Grid exp = plan_.ExpData, stab = plan_.StabConst;
  model_->Step = 0.5;
  const OpenOutcome outcome = OpenPlan(plan_, *model_, "TWO.DAT");
  EXPECT_FALSE(outcome.loaded);
  ASSERT_EQ(outcome.notices.size(), 3u);
  EXPECT_EQ(outcome.notices[0], warningNotice(kOneBlockOnly));
  // Test Data then rebuilds the model from the unchanged grids.
  EXPECT_EQ(outcome.notices[1].text, "Number of Experimental Points = 5");
  EXPECT_EQ(outcome.notices[2].text, "Number of Compounds in Chem. Equilibrium = 4");
  EXPECT_TRUE(plan_.ExpData == exp && plan_.StabConst == stab);
  EXPECT_EQ(model_->NBlocks, 1);
  EXPECT_EQ(model_->NPoints[1], 5);
  EXPECT_EQ(model_->Step, 0.12L);
}

TEST_F(PlanFiles, OpensDatFilesOnly) {
  writeFile("ZN.TXT", "1\r\n");
  for (const char* name : {"ZN.TXT", "MISSING.DAT"}) {
    const OpenOutcome outcome = OpenPlan(plan_, *model_, name);
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(texts(outcome.notices),
              (std::vector<std::string>{"Select an existing the *.DAT File."}));
  }

  // A hand-written file with comments, its extension in lower case: the reactants get letters,
  // the products their names.
  writeFile("lower.dat", readFile(sourcePath("examples/NMR_BATCH.DAT")));
  const OpenOutcome outcome = OpenPlan(plan_, *model_, "lower.dat");
  ASSERT_TRUE(outcome.loaded) << (outcome.notices.empty() ? "" : outcome.notices[0].text);
  const Grid& exp = plan_.ExpData;
  const Grid& stab = plan_.StabConst;
  EXPECT_EQ(exp.columnCount(), 4);
  EXPECT_EQ(exp.cell(0, concentrationColumn(2)), "B");
  EXPECT_EQ(exp.cell(16, concentrationColumn(2)), "0.042105263");
  EXPECT_EQ(exp.cell(17, kPropertyColumn), "");
  const std::vector<std::string> row4 = {"A2B", "5.2", "Y", "16.204", "Y", "2", "1"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(stab.cell(4, c), row4[c]) << c;
  EXPECT_EQ(stab.cell(3, 0), "AB");
  EXPECT_EQ(stab.cell(5, kLogBetaColumn), "");
  EXPECT_EQ(model_->Tolerance, 1e-20L);
  EXPECT_EQ(model_->PointFactor[1], 1 / 0.019834711L);
  // Saved again in the window's layout: the lists of sixteen values break after ten.
  ASSERT_TRUE(SavePlan(plan_, *model_, "again.DAT", ".").saved);
  EXPECT_EQ(readFile("again.DAT"), readFile(sourcePath("tests/data/ui/nmr_batch_as_saved.DAT")));
}

// ---- the window's reader ----

// The example file with the values of one line (1-based, its comment kept) replaced.
std::string exampleWith(int line, const std::string& values) {
  const std::string text = readFile(sourcePath("examples/NMR_BATCH.DAT"));
  std::string out;
  int n = 0;
  for (const std::string& l : splitLines(text)) {
    const auto comment = l.find('/');
    out += ++n == line ? values + " " + (comment == std::string::npos ? "" : l.substr(comment)) : l;
    out += "\r\n";
  }
  return out;
}

TEST(PlanLoadData, RestrictionsAndMessages) {
  for (const auto& row : tableRows("plan_load_refusals.txt")) {
    auto model = newModel();
    const LoadOutcome outcome = LoadData(exampleWith(std::stoi(row[0]), row[1]), *model);
    EXPECT_TRUE(outcome.DataError) << row[1];
    ASSERT_EQ(outcome.notices.size(), 1u) << row[1];
    EXPECT_EQ(outcome.notices[0], warningNotice(row[2]));
  }
}

TEST(PlanLoadData, MessageTableTexts) {
  AboutErrDetail d;
  d.line = 7;
  d.code = kLoadBadTitratedVolume;
  d.volume = 0;
  EXPECT_EQ(AboutErr(d).text, "Error: line >= 7: 0 - incorrect value of titr. volume.");
  d.code = kLoadTooManyPoints;
  EXPECT_EQ(AboutErr(d).text, "The number of data points is more than 3300");
  d.code = 5;
  EXPECT_EQ(AboutErr(d).text, "");
}

TEST(PlanLoadData, SpeciesCountAndReagentWithPointRead) {
  auto model = newModel();
  std::string text = exampleWith(4, "2 4.5 1");
  const auto at = text.find("\n1 2 ", text.find("/ number of input reagents"));
  text.replace(at, 5, "\n1. 2. ");
  const LoadOutcome outcome = LoadData(text, *model);
  EXPECT_FALSE(outcome.DataError) << (outcome.notices.empty() ? "" : outcome.notices[0].text);
  EXPECT_EQ(model->NSpecies, 4);
  EXPECT_EQ(model->FitPurity[2], 0);
}

// ---- Fitting Test ----

TEST_F(PlanFiles, FittingTestRunsTheSimplexDriverOnce) {
  plan_.StabConst.setCell(3, kLogBetaColumn, "3.1");
  const FittingTestOutcome outcome = PrepareFittingTest(plan_, *model_);
  ASSERT_TRUE(outcome.ready);
  EXPECT_TRUE(outcome.notices.empty());
  EXPECT_FALSE(plan_.QuietTest);
  EXPECT_EQ(readFile("IN.IN"), "_ExpPlan.DAT\r\n_ExpPlan.OUT\r\n");
  EXPECT_EQ(model_->SingleStep, 1);
  EXPECT_EQ(SimplexRun(*model_, platform_), RunStatus::Completed);
  for (const ShownMessage& m : platform_.messages) ADD_FAILURE() << m.text;
  EXPECT_TRUE(fs::exists(kFitTestCurveName));
  EXPECT_NEAR(static_cast<double>(model_->lgBETA[3]), 3.1, 1e-12);  // single step: not fitted
}

// ---- fit-curve panel ----

TEST(PlanFitCurveLabels, ExponentLosesItsLeadingZeros) {
  EXPECT_EQ(FitCurveTickLabel(0.5L), " 5.00E-1");
  EXPECT_EQ(FitCurveTickLabel(-0.5L), "-5.00E-1");
  EXPECT_EQ(FitCurveTickLabel(0), " 0.00E+0");
  EXPECT_EQ(FitCurveTickLabel(1.5e12L), " 1.50E+12");
  EXPECT_EQ(FitCurveTickLabel(1e-100L), " 1.00E-100");
  const auto labels = FitCurveTickLabels(1, 16);
  EXPECT_EQ(labels[1], " 3.50E+0");
  EXPECT_EQ(labels[6], " 1.60E+1");
}

}  // namespace
}  // namespace tarvolin::test
