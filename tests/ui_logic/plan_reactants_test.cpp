// Adding and removing reactants in the data-input grids: names in their three places, the
// free-reactant rows, and what happens to concentrations and products.

#include <gtest/gtest.h>

#include "tests/ui_logic/plan_fixtures.h"
#include "ui/data_input/reactants.h"

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

TEST(PlanReactants, NewWindowHasHeadingsAndNumberedRows) {
  PlanData plan;
  EXPECT_EQ(plan.reactantCount(), 0);
  EXPECT_EQ(plan.ExpData.rowCount(), 3301);
  EXPECT_EQ(plan.StabConst.rowCount(), 101);
  EXPECT_EQ(plan.ExpData.cell(0, 0), "no.");
  EXPECT_EQ(plan.ExpData.cell(0, 1), "Exp. Property");
  EXPECT_EQ(plan.ExpData.cell(3300, 0), "3300");
  const std::vector<std::string> headings = {"Chem.Equ.", "Log BETA", "Fit: Y/N", "NMR Shift",
                                             "Fit: Y/N"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(plan.StabConst.cell(0, c), headings[c]);
  EXPECT_EQ(plan.StabConst.cell(100, 0), "100");
}

// The unnamed reactant is named by its position, whatever the others are called.
TEST(PlanReactants, FourthUnnamedReactantBecomesD) {
  PlanData plan;
  plan.CurveShown = true;
  AddReactant(plan, "Zn");
  AddReactant(plan, "L");
  AddReactant(plan, "H");
  AddReactant(plan, "  ");
  expectNamedEverywhere(plan, 1, "Zn");
  expectNamedEverywhere(plan, 2, "L");
  expectNamedEverywhere(plan, 3, "H");
  expectNamedEverywhere(plan, 4, "D");
  expectFreeReactantRows(plan, 4);
  EXPECT_EQ(plan.ExpData.columnCount(), 6);
  EXPECT_EQ(plan.StabConst.columnCount(), 9);
  EXPECT_FALSE(plan.CurveShown);
  EXPECT_EQ(plan.StabConst.cell(5, 0), "5");
}

TEST(PlanReactants, LettersRunOnPastZ) {
  EXPECT_EQ(reactantLetter(1), "A");
  EXPECT_EQ(reactantLetter(26), "Z");
  EXPECT_EQ(reactantLetter(27), "a");
  EXPECT_EQ(reactantLetter(50), "x");
}

// Two reactants of one name still get a coefficient 1 each in their own column.
TEST(PlanReactants, IdentityRowsGoByPositionNotByName) {
  PlanData plan;
  AddReactant(plan, "A");
  AddReactant(plan, "C");
  AddReactant(plan, "");  // the third reactant's letter is "C" again
  expectFreeReactantRows(plan, 3);
}

TEST(PlanReactants, FiftyReactantsAtMost) {
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
  for (int k = 1; k <= 3; ++k)
    for (int r = 1; r <= 3; ++r)
      EXPECT_EQ(plan.StabConst.cell(k, stoichColumn(r)), r == k ? "1" : "0");
  EXPECT_EQ(plan.StabConst.cell(4, 0), "AB");
  EXPECT_EQ(plan.StabConst.cell(4, kLogBetaColumn), "2.9");
  EXPECT_EQ(plan.StabConst.cell(4, kShiftColumn), "8.046");
  EXPECT_EQ(plan.StabConst.cell(4, stoichColumn(1)), "1");
  EXPECT_EQ(plan.StabConst.cell(4, stoichColumn(3)), "");
  EXPECT_EQ(plan.StabConst.cell(5, kLogBetaColumn), "5.2");
  EXPECT_EQ(plan.StabConst.cell(5, 0), "5");  // still numbered, now by its new row
  EXPECT_EQ(plan.StabConst.cell(6, 0), "6");
  EXPECT_EQ(plan.StabConst.cell(6, kLogBetaColumn), "");
  EXPECT_EQ(plan.ExpData.cell(1, concentrationColumn(3)), "");
}

TEST(PlanReactants, FullSpeciesTableRefusesANewReactant) {
  PlanData plan;
  AddReactant(plan, "");
  plan.StabConst.setCell(100, kLogBetaColumn, "3.1");
  const auto refusal = NewReactantRefusal(plan);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->text, "Too many species in solution: it is more than 100");
  AddReactant(plan, "");
  EXPECT_EQ(plan.reactantCount(), 1);
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
  EXPECT_EQ(plan.ExpData.cell(1, concentrationColumn(2)), "0.003");
  EXPECT_EQ(plan.ExpData.cell(2, concentrationColumn(2)), "0.006");
  for (int s = 3; s <= 100; ++s) {
    EXPECT_EQ(plan.StabConst.cell(s, 0), std::to_string(s));
    EXPECT_FALSE(plan.StabConst.rowHasData(s)) << s;
  }
  EXPECT_FALSE(plan.CurveShown);
}

TEST(PlanReactants, RemovingTheLastReactantLeavesEmptyGrids) {
  PlanData plan;
  AddReactant(plan, "L");
  ASSERT_TRUE(RemoveReactant(plan, " L "));
  EXPECT_EQ(plan.reactantCount(), 0);
  EXPECT_EQ(plan.StabConst.columnCount(), 5);
  EXPECT_EQ(plan.StabConst.cell(1, 0), "1");
  EXPECT_FALSE(plan.StabConst.rowHasData(1));
}

}  // namespace
}  // namespace tarvolin::test
