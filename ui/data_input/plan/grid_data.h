#pragma once
// The grids rebuilt from a model read from a DAT file.

#include "model/model.h"
#include "ui/data_input/plan/plan_data.h"

namespace tarvolin::data_input {

// Both grids emptied and refilled: the reactants named "A", "B", ... in the headings and the
// free-reactant rows, Yexp, Ct, lgBETA and the NMR shifts in general form (15 significant
// digits, the user's decimal separator), fit flags 1 as "Y" and anything else as "N",
// coefficients as integers, products named from their coefficients. EditStep shows Step, and
// the "Fit systematic error" box shows the block's FitBlock, so that saving the grids again
// keeps it.
void GridData(PlanData& plan, const Model& model);

}  // namespace tarvolin::data_input
