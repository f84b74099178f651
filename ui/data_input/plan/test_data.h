#pragma once
// Test Data: checks the two grids and, as it goes, fills the system model from them (one
// system, one batch NMR block, the reactants as the input reagents). The first failure ends
// the test with one message and sets DataError; the part of the model filled so far stays.

#include <string>
#include <vector>

#include "model/model.h"
#include "ui/data_input/plan/notice.h"
#include "ui/data_input/plan/plan_data.h"

namespace tarvolin::data_input {

// The messages to show in order: the point and species counts (unless QuietTest) and the
// failure, if any. DataError tells whether the test failed. Product rows are renamed from
// their coefficients and the title is rebuilt.
Notices TestData(PlanData& plan, Model& model);

// A product's name from its coefficients, reactant by reactant: 1 adds the name, above 1 the
// name and the coefficient, below 0 the name and the coefficient in parentheses, 0 nothing
// (2, 1, -1 for A, B, H give A2BH(-1)). names and coefficients are indexed from 0.
std::string productName(const std::vector<std::string>& names,
                        const std::vector<int>& coefficients);

}  // namespace tarvolin::data_input
