#include "model/numeric_words.h"

#include <locale.h>

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tarvolin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the run of digits starting at i.
std::size_t digitsFrom(std::string_view w, std::size_t i) {
  std::size_t n = 0;
  while (i + n < w.size() && isDigit(w[i + n])) ++n;
  return n;
}

}  // namespace

bool parseIntegerWord(std::string_view w, long long& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < w.size() && (w[i] == '+' || w[i] == '-')) negative = w[i++] == '-';
  const std::size_t n = digitsFrom(w, i);
  if (n == 0 || i + n != w.size()) return false;
  long long v = 0;
  for (std::size_t k = i; k < w.size(); ++k) {
    v = v * 10 + (w[k] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = v;
  return true;
}

bool parseRealWord(std::string_view w, Real& value) {
  // Grammar: [sign] (digits [. [digits]] | . digits) [(e|E) [sign] digits]
  std::size_t i = 0;
  if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
  const std::size_t intDigits = digitsFrom(w, i);
  i += intDigits;
  std::size_t fracDigits = 0;
  if (i < w.size() && w[i] == '.') {
    ++i;
    fracDigits = digitsFrom(w, i);
    i += fracDigits;
  }
  if (intDigits + fracDigits == 0) return false;
  if (i < w.size() && (w[i] == 'e' || w[i] == 'E')) {
    ++i;
    if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
    const std::size_t expDigits = digitsFrom(w, i);
    if (expDigits == 0) return false;
    i += expDigits;
  }
  if (i != w.size()) return false;
  const std::string text(w);
  char* end = nullptr;
  // The decimal point is "." whatever locale the front end has set.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  // A refused out-of-range word must not leave the overflow flag raised behind its message.
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
  const Real v = strtold_l(text.c_str(), &end, cLocale);
  std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool parseFortranRealWord(std::string_view w, Real& value) {
  if (w.find_first_of("Dd") == w.npos) return parseRealWord(w, value);
  std::string text(w);
  for (char& c : text)
    if (c == 'D' || c == 'd') c = 'E';
  return parseRealWord(text, value);
}

bool parseWholeNumberWord(std::string_view w, long long& value) {
  const std::size_t dot = w.find('.');
  if (dot == w.npos) return parseIntegerWord(w, value);
  if (w.find_first_not_of('0', dot + 1) != w.npos) return false;
  return parseIntegerWord(w.substr(0, dot), value);
}

}  // namespace tarvolin
