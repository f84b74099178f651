#include "base/number_format.h"

#include <locale.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tarvolin::fmt {
namespace {

// Extended precision carries 19 to 20 significant decimal digits; 18 is the most any number
// form shows, so that every printed digit is backed by the binary value.
constexpr int kMaxSignificant = 18;
// The most decimals a fixed form writes; more than any column holds, and it bounds the
// conversion buffer.
constexpr int kMaxDecimals = 4096;

// The conversions run in the "C" locale whatever the front end has set (a desktop toolkit
// typically switches LC_NUMERIC to the user's), and they leave the IEEE status flags as they
// found them: reports are written inside guarded computations whose fault test must only see
// the arithmetic's own flags.
// Setting the flags is slow (it loads the whole floating-point environment) and a conversion
// seldom changes them: they are set back only when it did.
class ConversionScope {
 public:
  ConversionScope() : previous_(uselocale(cLocale())), raised_(std::fetestexcept(FE_ALL_EXCEPT)) {
    std::fegetexceptflag(&flags_, FE_ALL_EXCEPT);
  }
  ~ConversionScope() {
    if (std::fetestexcept(FE_ALL_EXCEPT) != raised_) std::fesetexceptflag(&flags_, FE_ALL_EXCEPT);
    uselocale(previous_);
  }
  ConversionScope(const ConversionScope&) = delete;
  ConversionScope& operator=(const ConversionScope&) = delete;

 private:
  static locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;  // (locale_t)0 when creation failed: uselocale then changes nothing
  }
  locale_t previous_;
  int raised_;
  std::fexcept_t flags_{};
};

// A finite magnitude rounded to `significant` digits: digits d0 d1 ... with the value
// d0.d1d2... * 10^exponent. A carry into the next power of ten is already in the exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// glibc converts long double exactly and rounds the exact binary value half to even.
Decimal roundSignificant(Real magnitude, int significant) {
  ConversionScope scope;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*Le", significant - 1, magnitude);
  Decimal result;
  const char* p = buffer;
  for (; *p != 'e' && *p != '\0'; ++p) {
    if (*p >= '0' && *p <= '9') result.digits += *p;
  }
  if (*p == 'e') result.exponent = static_cast<int>(std::strtol(p + 1, nullptr, 10));
  return result;
}

// A finite magnitude with `decimals` digits after the point, exactly rounded; "." as point.
std::string roundDecimals(Real magnitude, int decimals) {
  ConversionScope scope;
  const int length = std::snprintf(nullptr, 0, "%.*Lf", decimals, magnitude);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*Lf", decimals, magnitude);
  text.pop_back();
  return text;
}

bool allZeroDigits(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

std::string padLeft(std::string text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

std::string padRight(std::string text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.append(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

// NaN and the infinities have no digits to show; signedInfinity writes "+INF" for the
// positive one (report fields), otherwise it is "INF" (window texts).
std::string nonFiniteText(Real x, bool signedInfinity) {
  if (std::isnan(x)) return "NAN";
  if (std::signbit(x)) return "-INF";
  return signedInfinity ? "+INF" : "INF";
}

std::string exponentText(int exponent, std::size_t minDigits, bool plusSign) {
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  if (exponent < 0) return "-" + digits;
  return plusSign ? "+" + digits : digits;
}

// d.ddd "E" exponent, the form shared by the report, window, axis and progress texts. A zero
// is never signed, also when it comes from -0.
std::string exponentForm(Real x, int significant, char decimalSeparator,
                         std::size_t minExponentDigits) {
  const Decimal d = roundSignificant(std::fabs(x), significant);
  std::string text;
  if (std::signbit(x) && x != 0) text += '-';
  text += d.digits[0];
  if (d.digits.size() > 1) {
    text += decimalSeparator;
    text.append(d.digits, 1);
  }
  text += 'E';
  text += exponentText(d.exponent, minExponentDigits, true);
  return text;
}

// The shortest form with up to `significant` digits: fixed while the leading digit's power of
// ten lies in -4 ... significant-1, else mantissa "E" exponent without "+" or leading zeros.
std::string generalForm(Real x, int significant, char decimalSeparator) {
  if (!std::isfinite(x)) return nonFiniteText(x, false);
  if (x == 0) return "0";
  Decimal d = roundSignificant(std::fabs(x), significant);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  std::string text = std::signbit(x) ? "-" : "";
  const int e = d.exponent;
  if (e < -4 || e >= significant) {
    text += d.digits[0];
    if (d.digits.size() > 1) {
      text += decimalSeparator;
      text.append(d.digits, 1);
    }
    return text + "E" + exponentText(e, 1, false);
  }
  if (e < 0) {
    return text + "0" + decimalSeparator + std::string(static_cast<std::size_t>(-e - 1), '0') +
           d.digits;
  }
  const auto integerDigits = static_cast<std::size_t>(e) + 1;
  if (d.digits.size() <= integerDigits) {
    return text + d.digits + std::string(integerDigits - d.digits.size(), '0');
  }
  return text + d.digits.substr(0, integerDigits) + decimalSeparator +
         d.digits.substr(integerDigits);
}

// Fixed form with `decimals` decimals; a value that rounds to zero loses its sign.
std::string fixedForm(Real x, int decimals, char decimalSeparator) {
  std::string digits = roundDecimals(std::fabs(x), decimals);
  if (decimalSeparator != '.') std::replace(digits.begin(), digits.end(), '.', decimalSeparator);
  return (std::signbit(x) && !allZeroDigits(digits)) ? "-" + digits : digits;
}

// %f of a window text: at most 18 significant digits in all; a value with more integer
// digits than that falls back to the general form.
std::string windowFixed(Real x, int decimals, char decimalSeparator) {
  const Decimal d = roundSignificant(std::fabs(x), kMaxSignificant);
  if (d.exponent >= kMaxSignificant) return generalForm(x, kMaxSignificant, decimalSeparator);
  if (d.exponent + 1 + decimals <= kMaxSignificant) return fixedForm(x, decimals, decimalSeparator);
  // The 18 digits end inside the decimals: the rest are zeros.
  const auto integerDigits = static_cast<std::size_t>(d.exponent) + 1;
  std::string text = std::signbit(x) ? "-" : "";
  text += d.digits.substr(0, integerDigits);
  text += decimalSeparator;
  std::string fraction = d.digits.substr(integerDigits);
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  return text + fraction;
}

const char* argumentKind(const WindowArg& arg) {
  if (std::holds_alternative<long long>(arg)) return "an integer";
  if (std::holds_alternative<Real>(arg)) return "a real";
  return "a text";
}

}  // namespace

std::string integer(long long n) { return std::to_string(n); }

std::string integer(long long n, int w) { return padLeft(std::to_string(n), w); }

std::string fixed(Real x, int w, int d) {
  if (!std::isfinite(x)) return padLeft(nonFiniteText(x, true), w);
  return padLeft(fixedForm(x, std::clamp(d, 0, kMaxDecimals), '.'), w);
}

std::string scientific(Real x, int w) {
  const int significant = std::clamp(w - 8, 2, kMaxSignificant);
  const int width = std::max(w, significant + 8);
  if (!std::isfinite(x)) return padLeft(nonFiniteText(x, true), width);
  std::string text = exponentForm(x, significant, '.', 4);
  if (text[0] != '-') text.insert(0, 1, ' ');
  return padLeft(std::move(text), width);
}

std::string general(Real x) { return generalForm(x, 15, '.'); }

std::string general(Real x, char decimalSeparator) { return generalForm(x, 15, decimalSeparator); }

std::string twoDigits(unsigned n) {
  std::string text = std::to_string(n);
  if (n < 10) text.insert(text.begin(), '0');
  return text;
}

std::string windowFormat(std::string_view pattern, std::initializer_list<WindowArg> args,
                         char decimalSeparator) {
  std::string out;
  auto next = args.begin();
  std::size_t i = 0;
  const auto fail = [&](const std::string& what) {
    throw std::invalid_argument("format \"" + std::string(pattern) + "\": " + what);
  };
  const auto readNumber = [&]() {
    int value = 0;
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
      value = std::min(value * 10 + (pattern[i] - '0'), 100000);
      ++i;
    }
    return value;
  };
  while (i < pattern.size()) {
    const char c = pattern[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < pattern.size() && pattern[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    const bool leftAligned = i < pattern.size() && pattern[i] == '-';
    if (leftAligned) ++i;
    const int width = readNumber();
    int precision = -1;
    if (i < pattern.size() && pattern[i] == '.') {
      ++i;
      precision = readNumber();
    }
    if (i >= pattern.size()) fail("directive without a conversion");
    const char conversion = pattern[i++];
    if (next == args.end()) fail("too few arguments");
    const WindowArg& arg = *next++;
    std::string text;
    switch (conversion) {
      case 'd':
      case 'D': {
        const auto* n = std::get_if<long long>(&arg);
        if (n == nullptr) fail(std::string("%d given ") + argumentKind(arg));
        // |n| without overflow at the most negative value.
        std::string digits = std::to_string(*n);
        if (*n < 0) digits.erase(0, 1);
        if (precision > 0 && digits.size() < static_cast<std::size_t>(precision)) {
          digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
        }
        text = *n < 0 ? "-" + digits : digits;
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E': {
        const auto* x = std::get_if<Real>(&arg);
        if (x == nullptr) fail(std::string("%") + conversion + " given " + argumentKind(arg));
        const bool exponent = conversion == 'e' || conversion == 'E';
        if (!std::isfinite(*x)) {
          text = nonFiniteText(*x, false);
        } else if (exponent) {
          const int digits = precision < 0 ? 15 : std::clamp(precision, 1, kMaxSignificant);
          text = exponentForm(*x, digits, decimalSeparator, 3);
        } else {
          const int decimals = precision < 0 ? 2 : std::min(precision, kMaxSignificant);
          text = windowFixed(*x, decimals, decimalSeparator);
        }
        break;
      }
      case 's':
      case 'S': {
        const auto* s = std::get_if<std::string>(&arg);
        if (s == nullptr) fail(std::string("%s given ") + argumentKind(arg));
        text = precision >= 0 ? s->substr(0, static_cast<std::size_t>(precision)) : *s;
        break;
      }
      default:
        fail(std::string("unsupported directive %") + conversion);
    }
    out += leftAligned ? padRight(std::move(text), width) : padLeft(std::move(text), width);
  }
  return out;
}

std::string axisLabel(Real x, char decimalSeparator) {
  if (!std::isfinite(x)) return nonFiniteText(x, false);
  return exponentForm(x, 3, decimalSeparator, 2);
}

std::string progressCounter(long long n) { return std::to_string(n); }

std::string progressValue(Real x) {
  if (!std::isfinite(x)) return nonFiniteText(x, false);
  return exponentForm(x, 4, '.', 2);
}

}  // namespace tarvolin::fmt
