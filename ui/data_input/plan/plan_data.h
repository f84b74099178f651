#pragma once
// What the data-input window holds besides its controls: the experimental grid (one row per
// point of a batch NMR block: the measured property and the total concentration of every
// reactant), the stability grid (one row per species: initial lgBETA, NMR shift, the two fit
// flags and the stoichiometric coefficients; the free reactants first), and the window state.
//
// Reactant k carries its name in three places: column 1 + k of the experimental grid, column
// 4 + k of the stability grid and the label of stability row k.

#include <string>

#include "model/limits.h"
#include "model/model.h"
#include "ui/data_input/plan/grid.h"

namespace tarvolin::data_input {

inline constexpr int kPointRows = kMaxPoints;     // point rows 1..3300
inline constexpr int kSpeciesRows = kMaxSpecies;  // species rows 1..100

// Experimental grid columns.
inline constexpr int kPropertyColumn = 1;
inline constexpr int concentrationColumn(int reactant) { return 1 + reactant; }

// Stability grid columns.
inline constexpr int kLogBetaColumn = 1;
inline constexpr int kFitBetaColumn = 2;
inline constexpr int kShiftColumn = 3;
inline constexpr int kFitShiftColumn = 4;
inline constexpr int stoichColumn(int reactant) { return 4 + reactant; }

inline constexpr const char* kDataTypeNmr = "NMR";
inline constexpr const char* kLabelStoichiomNmr =
    "Initial LogBETA and NMR Sifts;   Stoichiometric Coefficients";
inline constexpr const char* kInitialStep = "0.12";

struct PlanData {
  // The window as created: no reactant, point rows and species rows numbered.
  PlanData();

  Grid ExpData;    // shown by StringGridExpData
  Grid StabConst;  // shown by StringGridStabConst

  std::string DataType = kDataTypeNmr;  // ComboBoxDataType
  bool FitSysErr = false;               // CheckBoxFitSysErr
  std::string EditStep = kInitialStep;  // text of EditStep
  // The user's decimal separator: numbers shown in the grids use it, and cells typed with
  // either "," or "." convert under it.
  char DecimalSeparator = '.';

  bool DataError = false;   // set by a failed conversion or check
  bool QuietTest = false;   // Test Data without its two count messages (Fitting Test)
  bool CurveShown = false;  // the fit panel repaints the curve only when set
  bool DataSaved = false;   // set by a completed save; the window clears it on activation
  std::string Title;        // built by Test Data

  int reactantCount() const { return ExpData.columnCount() - 2; }
  const std::string& reactantName(int k) const { return ExpData.cell(0, concentrationColumn(k)); }
};

// The model as the window starts it: one system of one batch block, no reactant, Step 0.12,
// Tolerance 1E-20.
void SetCreationDefaults(Model& model);

// Selecting "NMR" in the data-type chooser: method code -1 for the block and the headings of
// the stability grid's value columns.
void SelectNmrDataType(PlanData& plan, Model& model);

// The fixed headings of both grids: "no.", "Exp. Property"; "Chem.Equ.", "Log BETA",
// "Fit: Y/N", "NMR Shift", "Fit: Y/N".
void setStandardHeadings(PlanData& plan);

// Row numbers as row labels: rows first..last of the grid.
void numberRows(Grid& grid, int first, int last);

// The short name given to reactant k when none was typed: "A", "B", ... "Z", then "a" ... "x",
// one character each so that product names such as AC2 stay unambiguous.
std::string reactantLetter(int k);

}  // namespace tarvolin::data_input
