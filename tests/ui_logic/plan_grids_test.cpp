// The data-input grids: adding and removing reactants, and Test Data turning the grids into the
// model with every message in its place.

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/ui_logic/plan_fixtures.h"
#include "ui/data_input/plan/cell_numbers.h"
#include "ui/data_input/plan/reactants.h"
#include "ui/data_input/plan/test_data.h"

namespace tarvolin::test {
namespace {

// Reactant k's name in the experimental heading, the stoichiometric heading and the label of
// its free-reactant row.
void expectNamedEverywhere(const PlanData& plan, int k, const std::string& name) {
  EXPECT_EQ(plan.ExpData.cell(0, concentrationColumn(k)), name) << k;
  EXPECT_EQ(plan.StabConst.cell(0, stoichColumn(k)), name) << k;
  EXPECT_EQ(plan.StabConst.cell(k, 0), name) << k;
}

// Free-reactant rows 1..n: lgBETA 0, shift to be typed, the identity coefficients.
void expectFreeReactantRows(const PlanData& plan, int n) {
  ASSERT_EQ(plan.reactantCount(), n);
  for (int k = 1; k <= n; ++k) {
    EXPECT_EQ(plan.StabConst.cell(k, kLogBetaColumn), "0.0");
    EXPECT_EQ(plan.StabConst.cell(k, kFitBetaColumn), "N");
    EXPECT_EQ(plan.StabConst.cell(k, kShiftColumn), "?.?");
    EXPECT_EQ(plan.StabConst.cell(k, kFitShiftColumn), "N");
    for (int r = 1; r <= n; ++r)
      EXPECT_EQ(plan.StabConst.cell(k, stoichColumn(r)), r == k ? "1" : "0") << k << "," << r;
  }
}

TEST(PlanReactants, NewWindowAndUnnamedReactantsTakingTheLetterOfTheirPosition) {
  PlanData plan;
  EXPECT_EQ(plan.reactantCount(), 0);
  EXPECT_EQ(plan.ExpData.rowCount(), 3301);
  EXPECT_EQ(plan.StabConst.rowCount(), 101);
  EXPECT_EQ(plan.ExpData.cell(0, 1), "Exp. Property");
  EXPECT_EQ(plan.ExpData.cell(3300, 0), "3300");
  const std::vector<std::string> headings = {"Chem.Equ.", "Log BETA", "Fit: Y/N", "NMR Shift",
                                             "Fit: Y/N"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(plan.StabConst.cell(0, c), headings[c]);
  EXPECT_EQ(plan.StabConst.cell(100, 0), "100");

  // An unnamed reactant is named by its position, whatever the others are called; two
  // reactants of one name (the third is "C" again) still get a 1 each in their own column.
  plan.CurveShown = true;
  for (const char* name : {"Zn", "C", "", "  "}) AddReactant(plan, name);
  const std::vector<std::string> names = {"Zn", "C", "C", "D"};
  for (int k = 1; k <= 4; ++k) expectNamedEverywhere(plan, k, names[k - 1]);
  expectFreeReactantRows(plan, 4);
  EXPECT_EQ(plan.ExpData.columnCount(), 6);
  EXPECT_EQ(plan.StabConst.columnCount(), 9);
  EXPECT_FALSE(plan.CurveShown);
  EXPECT_EQ(plan.StabConst.cell(5, 0), "5");
}

// Fifty reactants at most, and none when the species table is full.
TEST(PlanReactants, NewReactantRefusals) {
  PlanData plan;
  for (int k = 1; k <= 50; ++k) {
    ASSERT_FALSE(NewReactantRefusal(plan)) << k;
    AddReactant(plan, "");
  }
  const auto refusal = NewReactantRefusal(plan);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->text, "Maximal number of Reactants = 50.");
  EXPECT_EQ(refusal->kind, MessageKind::Information);
  AddReactant(plan, "Extra");
  EXPECT_EQ(plan.reactantCount(), 50);
  expectNamedEverywhere(plan, 50, "x");

  PlanData full;
  AddReactant(full, "");
  full.StabConst.setCell(100, kLogBetaColumn, "3.1");
  ASSERT_TRUE(NewReactantRefusal(full));
  EXPECT_EQ(NewReactantRefusal(full)->text, "Too many species in solution: it is more than 100");
  AddReactant(full, "");
  EXPECT_EQ(full.reactantCount(), 1);
}

// A reactant added after the products were typed takes the row of the first product; the
// products move down instead of being overwritten, with the new coefficient left to be typed.
TEST(PlanReactants, AddingAReactantKeepsTypedProducts) {
  PlanData plan;
  fillZincPyridine(plan);
  plan.StabConst.setCell(3, 0, "AB");
  AddReactant(plan, "H");
  expectNamedEverywhere(plan, 3, "H");
  EXPECT_EQ(plan.StabConst.cell(3, kShiftColumn), "?.?");
  EXPECT_EQ(plan.StabConst.cell(1, kShiftColumn), "8.214");  // typed shifts stay
  EXPECT_EQ(plan.StabConst.cell(3, stoichColumn(3)), "1");
  EXPECT_EQ(plan.StabConst.cell(1, stoichColumn(3)), "0");
  EXPECT_EQ(plan.StabConst.cell(4, 0), "AB");
  EXPECT_EQ(plan.StabConst.cell(4, kLogBetaColumn), "2.9");
  EXPECT_EQ(plan.StabConst.cell(4, stoichColumn(1)), "1");
  EXPECT_EQ(plan.StabConst.cell(4, stoichColumn(3)), "");
  EXPECT_EQ(plan.StabConst.cell(5, kLogBetaColumn), "5.2");
  EXPECT_EQ(plan.StabConst.cell(5, 0), "5");  // still numbered, now by its new row
  EXPECT_EQ(plan.StabConst.cell(6, kLogBetaColumn), "");
  EXPECT_EQ(plan.ExpData.cell(1, concentrationColumn(3)), "");
}

TEST(PlanReactants, RemovalMessages) {
  PlanData plan;
  ASSERT_TRUE(RemoveReactantRefusal(plan));
  EXPECT_EQ(RemoveReactantRefusal(plan)->text, "There is no Reactant to remove");
  EXPECT_FALSE(RemoveReactant(plan, "A"));
  AddReactant(plan, "Zn");
  EXPECT_FALSE(RemoveReactantRefusal(plan));
  ASSERT_TRUE(ReactantNameRefusal(plan, "Cu"));
  EXPECT_EQ(ReactantNameRefusal(plan, "Cu")->text, "There is no Reactant named 'Cu'");
  EXPECT_FALSE(ReactantNameRefusal(plan, "Zn"));
  EXPECT_EQ(RemoveConfirmation("Zn"), "You are sure to remove reactant  Zn");
  EXPECT_FALSE(RemoveReactant(plan, "Cu"));
  EXPECT_EQ(plan.reactantCount(), 1);
  // Removing the last reactant leaves empty grids.
  ASSERT_TRUE(RemoveReactant(plan, " Zn "));
  EXPECT_EQ(plan.reactantCount(), 0);
  EXPECT_EQ(plan.StabConst.columnCount(), 5);
  EXPECT_FALSE(plan.StabConst.rowHasData(1));
}

// The other two keep their names and concentrations; the free rows are set up again for them
// and every product is deleted.
TEST(PlanReactants, RemovingTheMiddleOfThree) {
  PlanData plan;
  AddReactant(plan, "L");
  AddReactant(plan, "H");
  AddReactant(plan, "Zn");
  setRow(plan.ExpData, 1, {"8.1", "0.02", "0.001", "0.003"});
  setRow(plan.ExpData, 2, {"8.0", "0.02", "0.002", "0.006"});
  setRow(plan.StabConst, 1, {"0", "N", "8.2", "N", "1", "0", "0"});
  setRow(plan.StabConst, 4, {"9.6", "N", "8.5", "Y", "1", "1", "0"});
  plan.StabConst.setCell(4, 0, "LH");
  setRow(plan.StabConst, 5, {"2.9", "Y", "8.0", "Y", "1", "0", "1"});
  plan.CurveShown = true;

  ASSERT_TRUE(RemoveReactant(plan, "H"));
  expectNamedEverywhere(plan, 1, "L");
  expectNamedEverywhere(plan, 2, "Zn");
  expectFreeReactantRows(plan, 2);
  EXPECT_EQ(plan.ExpData.columnCount(), 4);
  EXPECT_EQ(plan.StabConst.columnCount(), 7);
  EXPECT_EQ(plan.ExpData.cell(1, kPropertyColumn), "8.1");
  EXPECT_EQ(plan.ExpData.cell(1, concentrationColumn(1)), "0.02");
  EXPECT_EQ(plan.ExpData.cell(2, concentrationColumn(2)), "0.006");
  for (int s = 3; s <= 100; ++s) {
    EXPECT_EQ(plan.StabConst.cell(s, 0), std::to_string(s));
    EXPECT_FALSE(plan.StabConst.rowHasData(s)) << s;
  }
  EXPECT_FALSE(plan.CurveShown);
}

// Test Data's notices, every one of them an information message.
std::vector<std::string> informationTexts(const Notices& notices) {
  for (const Notice& n : notices) EXPECT_EQ(n.kind, MessageKind::Information) << n.text;
  return texts(notices);
}

class PlanTestData : public ::testing::Test {
 protected:
  void SetUp() override { fillZincPyridine(plan_); }
  std::vector<std::string> test() { return informationTexts(TestData(plan_, *model_)); }

  PlanData plan_;
  std::unique_ptr<Model> model_ = newModel();
};

const char* const kPoints5 = "Number of Experimental Points = 5";
const char* const kCompounds4 = "Number of Compounds in Chem. Equilibrium = 4";

TEST_F(PlanTestData, CompleteGridsFillTheModel) {
  plan_.EditStep = "0,2";
  plan_.FitSysErr = true;
  plan_.StabConst.setCell(4, kFitBetaColumn, "yes");
  plan_.StabConst.setCell(4, kFitShiftColumn, " n");
  EXPECT_EQ(test(), (std::vector<std::string>{kPoints5, kCompounds4}));
  EXPECT_FALSE(plan_.DataError);
  // The written layout of the model is checked through SaveData; here the cells it is read from.
  const Model& m = *model_;
  EXPECT_EQ(m.Method[1], -1);
  EXPECT_EQ(m.ReagentSpecies[2], 2);
  EXPECT_EQ(m.ReactantPrintFlag[2], 1);
  EXPECT_EQ(m.Yexp[4], 8.1490377933L);
  EXPECT_EQ(m.PointFactor[5], 1 / 0.0192L);
  EXPECT_EQ(m.AV[4][1], 16.204L);
  EXPECT_EQ(m.FitBeta[4], 1);
  EXPECT_EQ(m.FitBeta[1], 0);
  EXPECT_EQ(m.FitAV[3][1], 1);
  EXPECT_EQ(m.FitAV[4][1], 0);
  EXPECT_EQ(m.Stoich[4][1], 2);
  EXPECT_EQ(m.Stoich[4][2], 1);
  EXPECT_EQ(m.Step, 0.2L);
  EXPECT_EQ(m.Title, "Exp. method: NMR; Reagents: A B; Product(s):A2B");
  EXPECT_EQ(plan_.StabConst.cell(3, 0), "AB");
  EXPECT_EQ(plan_.StabConst.cell(4, 0), "A2B");
}

// Each failure: its message after whatever counts came before it, DataError, no further check.
TEST_F(PlanTestData, EveryFailureHasItsMessage) {
  struct Case {
    int grid;  // 0 experimental, 1 stability
    int row, column;
    std::string text;
    std::vector<std::string> messages;
  };
  const std::string stoich4 = "Incorrect Stoichiometric Coefficient for Compound 4";
  const std::string noReaction = "You must have at least ONE Reaction.";
  const std::string compounds2 = "Number of Compounds in Chem. Equilibrium = 2";
  const std::string points0 = "Number of Experimental Points = 0";
  const std::vector<Case> cases = {
      {0, 3, kPropertyColumn, "8.16.3", {"Incorrect exp. PROPERTY for experimental point 3"}},
      {0, 4, concentrationColumn(2), "", {"Incorrect concentration: Exp. point 4; Reactant B"}},
      {0, 2, concentrationColumn(1), "2 mM", {"Incorrect concentration: Exp. point 2; Reactant A"}},
      {1, 3, kLogBetaColumn, "2.9.1", {kPoints5, "Incorrect Log BETA for Compound 3"}},
      {1, 1, kShiftColumn, "?.?", {kPoints5, "Incorrect NMR Shift for Compound 1"}},
      {1, 4, stoichColumn(2), "1.5", {kPoints5, stoich4}},
      {1, 4, stoichColumn(1), "200", {kPoints5, stoich4}},
      {1, 3, kLogBetaColumn, "", {kPoints5, compounds2, noReaction}},
      {0, 1, kPropertyColumn, "", {points0, "Incorrect exp. PROPERTY for experimental point 1"}},
  };
  for (const Case& c : cases) {
    PlanData plan;
    fillZincPyridine(plan);
    (c.grid == 0 ? plan.ExpData : plan.StabConst).setCell(c.row, c.column, c.text);
    EXPECT_EQ(informationTexts(TestData(plan, *model_)), c.messages) << c.text;
    EXPECT_TRUE(plan.DataError) << c.text;
  }
}

TEST(PlanTestDataMessages, NoReactant) {
  PlanData plan;
  auto model = newModel();
  EXPECT_EQ(informationTexts(TestData(plan, *model)),
            (std::vector<std::string>{"You must have at least ONE Reactant."}));
  EXPECT_TRUE(plan.DataError);
  EXPECT_EQ(model->Title, "Exp. method: NMR; Reagents:");
}

// The Fitting Test's quiet run drops the two counts, never a failure. A step that does not
// convert falls back to 0.12.
TEST_F(PlanTestData, QuietTestDropsOnlyTheCounts) {
  plan_.QuietTest = true;
  plan_.EditStep = "fast";
  EXPECT_TRUE(test().empty());
  EXPECT_FALSE(plan_.DataError);
  EXPECT_EQ(model_->Step, 0.12L);
  plan_.StabConst.setCell(3, kLogBetaColumn, "");
  EXPECT_EQ(test(), (std::vector<std::string>{"You must have at least ONE Reaction."}));
  EXPECT_TRUE(plan_.DataError);
}

TEST_F(PlanTestData, DecimalCommaAndPointBothReadUnderEitherSeparator) {
  plan_.ExpData.setCell(1, concentrationColumn(1), "0,05");
  plan_.ExpData.setCell(2, concentrationColumn(1), "0.05");
  for (char separator : {'.', ','}) {
    plan_.DecimalSeparator = separator;
    test();
    ASSERT_FALSE(plan_.DataError) << separator;
    EXPECT_EQ(model_->Ct[1][1], 0.05L) << separator;
    EXPECT_EQ(model_->Ct[2][1], 0.05L) << separator;
  }
}

TEST(PlanCellNumbers, FloatDataTakesCommaOrPointOnce) {
  for (char separator : {'.', ','}) {
    Real v = -1;
    for (const auto& [text, value] :
         {std::pair{"0,05", 0.05L}, {" 0.05 ", 0.05L}, {"-2,4E-3", -2.4e-3L}}) {
      EXPECT_TRUE(FloatData(text, separator, v)) << text;
      EXPECT_EQ(v, value) << text;
    }
    v = -1;
    for (const char* bad : {"", "1,000.5", "1.2.3", "1,2,3", "?.?", "N", "nan", "1e99999"}) {
      EXPECT_FALSE(FloatData(bad, separator, v)) << bad << " " << separator;
      EXPECT_EQ(v, -1) << bad;
    }
  }
}

TEST(PlanCellNumbers, IntegDataTakesSignedIntegers) {
  long long v = 0;
  EXPECT_TRUE(IntegData(" -1 ", v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(IntegData("1.0", v));
  EXPECT_FALSE(IntegData("", v));
}

TEST(PlanProductNames, FromTheCoefficients) {
  EXPECT_EQ(productName({"A", "B", "H"}, {2, 1, -1}), "A2BH(-1)");
  EXPECT_EQ(productName({"A", "B", "C"}, {1, 0, 2}), "AC2");
  EXPECT_EQ(productName({"Zn", "L", "H"}, {1, 2, -2}), "ZnL2H(-2)");
}

}  // namespace
}  // namespace tarvolin::test
