// The data-input grids: adding and removing reactants, and Test Data turning the grids into the
// model with every message in its place.

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/test_support.h"
#include "tests/ui_logic/plan_fixtures.h"
#include "ui/data_input/plan/cell_numbers.h"
#include "ui/data_input/plan/reactants.h"
#include "ui/data_input/plan/save_data.h"
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
  EXPECT_EQ(plan.ExpData.cell(3300, 0), "3300");
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
  EXPECT_FALSE(RemoveReactant(plan, "A"));
  AddReactant(plan, "Zn");
  EXPECT_FALSE(RemoveReactantRefusal(plan));
  ASSERT_TRUE(ReactantNameRefusal(plan, "Cu"));
  EXPECT_EQ(ReactantNameRefusal(plan, "Cu")->text, "There is no Reactant named 'Cu'");
  EXPECT_FALSE(ReactantNameRefusal(plan, "Zn"));
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
  // The model as the run reads it: every value of the grids, the fit flags as typed, the step
  // with its decimal comma; the point factors besides.
  EXPECT_EQ(SaveData(*model_),
            readFile(sourcePath("tests/data/ui/zinc_pyridine_fit_flags_as_saved.DAT")));
  EXPECT_EQ(model_->PointFactor[5], 1 / 0.0192L);
  EXPECT_EQ(plan_.StabConst.cell(3, 0), "AB");
  EXPECT_EQ(plan_.StabConst.cell(4, 0), "A2B");
}

// Each failure: its message after whatever counts came before it, DataError, no further check.
TEST_F(PlanTestData, EveryFailureHasItsMessage) {
  for (const auto& row : tableRows("test_data_failures.txt")) {
    std::istringstream cell(row[0]);
    std::string grid;
    int r = 0, c = 0;
    cell >> grid >> r >> c;
    PlanData plan;
    fillZincPyridine(plan);
    (grid == "points" ? plan.ExpData : plan.StabConst).setCell(r, c, row[1]);
    EXPECT_EQ(informationTexts(TestData(plan, *model_)),
              std::vector<std::string>(row.begin() + 2, row.end()))
        << row[0];
    EXPECT_TRUE(plan.DataError) << row[0];
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
