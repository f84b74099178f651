// Test Data: the grids checked and turned into the model, every message in its place, and the
// cell numbers typed with either decimal separator.

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/ui_logic/plan_fixtures.h"
#include "ui/data_input/cell_numbers.h"
#include "ui/data_input/test_data.h"

namespace tarvolin::test {
namespace {

std::vector<std::string> texts(const Notices& notices) {
  std::vector<std::string> out;
  for (const Notice& n : notices) {
    EXPECT_EQ(n.kind, MessageKind::Information) << n.text;
    out.push_back(n.text);
  }
  return out;
}

class PlanTestData : public ::testing::Test {
 protected:
  void SetUp() override { fillZincPyridine(plan_); }
  std::vector<std::string> test() { return texts(TestData(plan_, *model_)); }

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
  const Model& m = *model_;
  EXPECT_EQ(m.NSystems, 1);
  EXPECT_EQ(m.NCalcModels, 1);
  EXPECT_EQ(m.HeaderInt2, 2);
  EXPECT_EQ(m.NBlocks, 1);
  EXPECT_EQ(m.Method[1], -1);
  EXPECT_EQ(m.NReactants, 2);
  EXPECT_EQ(m.NInputReagents, 2);
  EXPECT_EQ(m.ReagentSpecies[2], 2);
  EXPECT_EQ(m.ReactantPrintFlag[2], 1);
  EXPECT_EQ(m.NPoints[1], 5);
  EXPECT_EQ(m.Yexp[4], 8.1490377933L);
  EXPECT_EQ(m.Ct[5][1], 0.0192L);
  EXPECT_EQ(m.Ct[5][2], 0.008L);
  EXPECT_EQ(m.PointFactor[5], 1 / 0.0192L);
  EXPECT_EQ(m.NSpecies, 4);
  EXPECT_EQ(m.lgBETA[4], 5.2L);
  EXPECT_EQ(m.AV[4][1], 16.204L);
  EXPECT_EQ(m.FitBeta[3], 1);
  EXPECT_EQ(m.FitBeta[4], 1);
  EXPECT_EQ(m.FitBeta[1], 0);
  EXPECT_EQ(m.FitAV[3][1], 1);
  EXPECT_EQ(m.FitAV[4][1], 0);
  EXPECT_EQ(m.Stoich[4][1], 2);
  EXPECT_EQ(m.Stoich[4][2], 1);
  EXPECT_EQ(m.FitBlock[1], 1);
  EXPECT_EQ(m.Step, 0.2L);
  EXPECT_EQ(m.Title, "Exp. method: NMR; Reagents: A B; Product(s):A2B");
  EXPECT_EQ(plan_.Title, m.Title);
  EXPECT_EQ(plan_.StabConst.cell(3, 0), "AB");
  EXPECT_EQ(plan_.StabConst.cell(4, 0), "A2B");
}

TEST_F(PlanTestData, StepThatDoesNotConvertFallsBackTo012) {
  plan_.EditStep = "fast";
  model_->Step = 5;
  test();
  EXPECT_FALSE(plan_.DataError);
  EXPECT_EQ(model_->Step, 0.12L);
}

// Each failure: its message after whatever counts came before it, DataError, no further check.
TEST_F(PlanTestData, EveryFailureHasItsMessage) {
  struct Case {
    int grid;  // 0 experimental, 1 stability
    int row, column;
    std::string text;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      {0, 3, kPropertyColumn, "8.16.3", {"Incorrect exp. PROPERTY for experimental point 3"}},
      {0, 4, concentrationColumn(2), "", {"Incorrect concentration: Exp. point 4; Reactant B"}},
      {0, 2, concentrationColumn(1), "2 mM", {"Incorrect concentration: Exp. point 2; Reactant A"}},
      {1, 3, kLogBetaColumn, "2.9.1", {kPoints5, "Incorrect Log BETA for Compound 3"}},
      {1, 1, kShiftColumn, "?.?", {kPoints5, "Incorrect NMR Shift for Compound 1"}},
      {1,
       4,
       stoichColumn(2),
       "1.5",
       {kPoints5, "Incorrect Stoichiometric Coefficient for Compound 4"}},
      {1,
       4,
       stoichColumn(1),
       "200",
       {kPoints5, "Incorrect Stoichiometric Coefficient for Compound 4"}},
      {1,
       3,
       kLogBetaColumn,
       "",
       {kPoints5, "Number of Compounds in Chem. Equilibrium = 2",
        "You must have at least ONE Reaction."}},
      {0,
       1,
       kPropertyColumn,
       "",
       {"Number of Experimental Points = 0", "Incorrect exp. PROPERTY for experimental point 1"}},
  };
  for (const Case& c : cases) {
    PlanData plan;
    fillZincPyridine(plan);
    (c.grid == 0 ? plan.ExpData : plan.StabConst).setCell(c.row, c.column, c.text);
    EXPECT_EQ(texts(TestData(plan, *model_)), c.messages) << c.text;
    EXPECT_TRUE(plan.DataError) << c.text;
  }
}

TEST(PlanTestDataMessages, NoReactant) {
  PlanData plan;
  auto model = newModel();
  EXPECT_EQ(texts(TestData(plan, *model)),
            (std::vector<std::string>{"You must have at least ONE Reactant."}));
  EXPECT_TRUE(plan.DataError);
  EXPECT_EQ(model->Title, "Exp. method: NMR; Reagents:");
}

// Free reactants typed but no product row.
TEST(PlanTestDataMessages, NoReactionAfterTheSpeciesCount) {
  PlanData plan;
  AddReactant(plan, "");
  AddReactant(plan, "");
  setRow(plan.ExpData, 1, {"7.5", "0.01", "0.02"});
  setRow(plan.StabConst, 1, {"0", "N", "7.2", "N", "1", "0"});
  setRow(plan.StabConst, 2, {"0", "N", "0", "N", "0", "1"});
  auto model = newModel();
  EXPECT_EQ(texts(TestData(plan, *model)),
            (std::vector<std::string>{"Number of Experimental Points = 1",
                                      "Number of Compounds in Chem. Equilibrium = 2",
                                      "You must have at least ONE Reaction."}));
  EXPECT_TRUE(plan.DataError);
}

// The Fitting Test's quiet run drops the two counts, never a failure.
TEST_F(PlanTestData, QuietTestDropsOnlyTheCounts) {
  plan_.QuietTest = true;
  EXPECT_TRUE(test().empty());
  EXPECT_FALSE(plan_.DataError);
  plan_.StabConst.setCell(3, kLogBetaColumn, "");
  EXPECT_EQ(test(), (std::vector<std::string>{"You must have at least ONE Reaction."}));
  EXPECT_TRUE(plan_.DataError);
  plan_.StabConst.setCell(3, kLogBetaColumn, "2.9");
  EXPECT_TRUE(test().empty());
  EXPECT_FALSE(plan_.DataError);
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
    EXPECT_TRUE(FloatData("0,05", separator, v));
    EXPECT_EQ(v, 0.05L);
    EXPECT_TRUE(FloatData(" 0.05 ", separator, v));
    EXPECT_EQ(v, 0.05L);
    EXPECT_TRUE(FloatData("-2,4E-3", separator, v));
    EXPECT_EQ(v, -2.4e-3L);
    EXPECT_TRUE(FloatData("12.", separator, v));
    EXPECT_EQ(v, 12.0L);
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
  EXPECT_TRUE(IntegData("+2", v));
  EXPECT_EQ(v, 2);
  EXPECT_FALSE(IntegData("1.0", v));
  EXPECT_FALSE(IntegData("", v));
}

TEST(PlanProductNames, FromTheCoefficients) {
  EXPECT_EQ(productName({"A", "B", "H"}, {2, 1, -1}), "A2BH(-1)");
  EXPECT_EQ(productName({"A", "B", "C"}, {1, 0, 2}), "AC2");
  EXPECT_EQ(productName({"Zn", "L", "H"}, {1, 2, -2}), "ZnL2H(-2)");
  EXPECT_EQ(productName({"A"}, {0}), "");
}

TEST(PlanProductNames, TestDataRenamesProductRows) {
  PlanData plan;
  for (int k = 0; k < 3; ++k) AddReactant(plan, "");
  setRow(plan.ExpData, 1, {"7.5", "0.01", "0.02", "0.001"});
  setRow(plan.StabConst, 1, {"0", "N", "7.2", "N", "1", "0", "0"});
  setRow(plan.StabConst, 2, {"0", "N", "0", "N", "0", "1", "0"});
  setRow(plan.StabConst, 3, {"0", "N", "0", "N", "0", "0", "1"});
  setRow(plan.StabConst, 4, {"-3.1", "Y", "7.9", "Y", "2", "1", "-1"});
  setRow(plan.StabConst, 5, {"4.0", "Y", "8.4", "Y", "1", "0", "2"});
  auto model = newModel();
  TestData(plan, *model);
  ASSERT_FALSE(plan.DataError);
  EXPECT_EQ(plan.StabConst.cell(4, 0), "A2BC(-1)");
  EXPECT_EQ(plan.StabConst.cell(5, 0), "AC2");
  EXPECT_EQ(plan.StabConst.cell(1, 0), "A");
  EXPECT_EQ(model->Title, "Exp. method: NMR; Reagents: A B C; Product(s):AC2");
}

}  // namespace
}  // namespace tarvolin::test
