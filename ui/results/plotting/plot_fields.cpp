#include "ui/results/plotting/plot_fields.h"

#include <clocale>

#include "model/numeric_words.h"

namespace tarvolin::plotting {

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

char userDecimalSeparator() {
  const std::lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr ||
      conventions->decimal_point[0] == '\0') {
    return '.';
  }
  return conventions->decimal_point[0];
}

std::string normaliseDecimalSeparator(std::string_view field, char separator) {
  std::string text(field);
  if (const auto comma = text.find(','); comma != std::string::npos) text[comma] = separator;
  if (const auto point = text.find('.'); point != std::string::npos) text[point] = separator;
  return text;
}

std::optional<Real> parsePlotReal(std::string_view field, char separator) {
  std::string text(trimmed(normaliseDecimalSeparator(field, separator)));
  // The separator is the decimal mark now; a second one, or a "." left beside a ","
  // separator, makes the field fail like any other stray character.
  if (separator != '.') {
    if (text.find('.') != std::string::npos) return std::nullopt;
    for (char& c : text) {
      if (c == separator) c = '.';
    }
  }
  Real value = 0;
  if (!parseRealWord(text, value)) return std::nullopt;
  return value;
}

std::optional<std::int32_t> parsePlotInteger(std::string_view field) {
  long long value = 0;
  if (!parseIntegerWord(trimmed(field), value)) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

}  // namespace tarvolin::plotting
