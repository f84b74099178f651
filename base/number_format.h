#pragma once
// The number forms of every report, echo and plot data file, and of the texts shown in
// windows. Report forms are fixed by the file layouts (decimal point always "."); window
// texts take the user's decimal separator. Digits are the exactly rounded binary value (ties
// to even); a value that rounds up to the next power of ten moves the exponent. NaN and the
// infinities are written "NAN", "INF" and "-INF" ("+INF" in the report fields), in the field
// where a number would stand.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "base/real.h"

namespace tarvolin::fmt {

// n: an integer in its shortest decimal form.
std::string integer(long long n);
// n:w: an integer right-aligned in w characters (wider when it needs more).
std::string integer(long long n, int w);
// x:w:d: fixed form with d decimals, right-aligned in w characters.
std::string fixed(Real x, int w, int d);
// x:w: scientific form in w characters with w - 8 significant digits (at least 2, at most 18):
// leading blanks, a blank or "-", one digit, ".", the further digits, "E", the exponent's sign
// and exactly four exponent digits. x:15 of 12.5 is " 1.250000E+0001".
std::string scientific(Real x, int w);
// General form with up to 15 significant digits, as a message shows a real ("0", "-1.5",
// "1E-20", "1.5E20").
std::string general(Real x);
// The same with the user's decimal separator, as the data-input grids show their reals.
std::string general(Real x, char decimalSeparator);
// The decimal text of 0..65535, with a "0" in front of a single digit (7 -> "07").
std::string twoDigits(unsigned n);

// One argument of a window format string.
using WindowArg = std::variant<long long, Real, std::string>;

// Window texts from a format string: %W.Pf fixed with P decimals, %Wd integer, %W.Pe
// scientific with P significant digits in all, upper-case E, exponent sign and at least three
// exponent digits (%10.3e of 12.5 is " 1.25E+001"), %s a text unchanged; W right-aligns.
// decimalSeparator replaces "." in the reals. %f without precision writes 2 decimals, %e
// without precision 15 digits; %f of a value of 10^18 or more writes the general form. A
// directive with an argument of the wrong kind, too few arguments or an unknown directive is
// a programming error: std::invalid_argument.
std::string windowFormat(std::string_view pattern, std::initializer_list<WindowArg> args,
                         char decimalSeparator = '.');

// Plot axis label: three significant digits and an exponent of at least two digits with its
// sign (0.5 gives "5.00E-01").
std::string axisLabel(Real x, char decimalSeparator = '.');

// Progress read-outs: the counter formatted with "0", the objective with "0.000E+00".
std::string progressCounter(long long n);
std::string progressValue(Real x);

}  // namespace tarvolin::fmt
