#pragma once
// Adding and removing reactants (basic components) in the two grids. The dialogs ask for the
// name; closing a dialog without its Ok cancels the operation, so these run only after Ok.

#include <optional>
#include <string>

#include "ui/data_input/plan/notice.h"
#include "ui/data_input/plan/plan_data.h"

namespace tarvolin::data_input {

// Why the New Reactant dialog's Ok is refused (the dialog stays open and nothing is added):
// "Maximal number of Reactants = 50.", or, when the stability grid's last species row is in
// use, the species-limit message, since the new free-reactant row would push that species out.
std::optional<Notice> NewReactantRefusal(const PlanData& plan);

// Adds reactant n + 1 (n the current count) under the name typed, or under reactantLetter(n+1)
// when the name is blank: an empty column in each grid, and stability row n + 1 as the free
// reactant with "0.0", "N", "?.?", "N" and its identity coefficients. Product rows already
// typed move down one row instead of being overwritten; their coefficient for the new reactant
// is left empty for the user to fill in. Clears CurveShown. Call only when NewReactantRefusal
// gave nothing.
void AddReactant(PlanData& plan, const std::string& typedName);

// "There is no Reactant to remove" when the grids hold no reactant (the dialog is not opened).
std::optional<Notice> RemoveReactantRefusal(const PlanData& plan);
// "There is no Reactant named '<name>'" when no reactant carries the name typed (the dialog
// stays open).
std::optional<Notice> ReactantNameRefusal(const PlanData& plan, const std::string& typedName);
// The confirmation asked with Yes, No and Cancel before the removal.
std::string RemoveConfirmation(const std::string& typedName);

// Removes the reactant named typedName (the first one of that name): its columns go, the
// others keep their names and concentrations; the free-reactant rows are set up again for the
// remaining reactants and every product row is deleted. Clears CurveShown. False, changing
// nothing, when no reactant carries the name.
bool RemoveReactant(PlanData& plan, const std::string& typedName);

}  // namespace tarvolin::data_input
