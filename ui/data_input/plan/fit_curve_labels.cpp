#include "ui/data_input/plan/fit_curve_labels.h"

#include "base/number_format.h"

namespace tarvolin::data_input {

std::string FitCurveTickLabel(Real value) {
  std::string label = fmt::scientific(value, 11);
  // The exponent's digits start at the 8th character.
  for (int i = 0; i < 3 && label.size() > 7 && label[7] == '0'; ++i) label.erase(7, 1);
  return label;
}

std::array<std::string, 7> FitCurveTickLabels(Real min, Real max) {
  std::array<std::string, 7> labels;
  for (int k = 0; k <= 6; ++k) labels[k] = FitCurveTickLabel(min + k * (max - min) / 6);
  return labels;
}

}  // namespace tarvolin::data_input
