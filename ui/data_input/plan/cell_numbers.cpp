#include "ui/data_input/plan/cell_numbers.h"

#include <algorithm>

#include "model/numeric_words.h"
#include "ui/data_input/plan/grid.h"

namespace tarvolin::data_input {

bool FloatData(std::string_view text, char decimalSeparator, Real& value) {
  std::string t = trimmed(std::string(text));
  if (const auto comma = t.find(','); comma != std::string::npos) t[comma] = decimalSeparator;
  if (const auto point = t.find('.'); point != std::string::npos) t[point] = decimalSeparator;
  // Converted under the user's separator: any "." left over is then a stray character, and
  // the separator itself may appear once.
  if (decimalSeparator != '.') {
    if (t.find('.') != std::string::npos) return false;
    std::replace(t.begin(), t.end(), decimalSeparator, '.');
  }
  return parseRealWord(t, value);
}

bool IntegData(std::string_view text, long long& value) {
  return parseIntegerWord(trimmed(std::string(text)), value);
}

}  // namespace tarvolin::data_input
