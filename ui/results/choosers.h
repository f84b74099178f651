#pragma once
// The data-set and system choosers of the result windows.

#include "ui/results/plotting/data_sets.h"

class QComboBox;
class QLabel;

namespace tarvolin::ui {

// Fills the chooser with the choice's items (without signalling a choice), selects the chosen
// one, and shows the chooser and its label only when there is something to choose.
void showChoice(QComboBox* chooser, QLabel* label, const plotting::DataSetChoice& choice);

}  // namespace tarvolin::ui
