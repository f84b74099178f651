#pragma once
// Reading the curve files of one data set: the residual file (GAR: N, then N lines Ycalc and
// Yexp - Ycalc) and the experimental-and-calculated curve (ECP: N, then N lines point number
// and Yexp, then N lines point number and Ycalc). Fields are separated by blanks; either ","
// or "." is taken as the decimal separator.

#include <string>
#include <vector>

#include "base/real.h"

namespace tarvolin::plotting {

// The most points a data set can hold, and so the most a curve window draws.
inline constexpr int kCurveCapacity = 3300;

struct CurvePoints {
  std::vector<Real> x;
  std::vector<Real> y;
};

struct CurveFile {
  std::string message;             // the information message; empty when the file was read
  std::vector<CurvePoints> parts;  // `parts` lists of N points each, in file order
};

// Reads the count from the first line and then, for each part, that many lines with two
// numbers each (further fields are ignored, blank lines skipped). Refused with a message:
// a file that cannot be opened, a count above kCurveCapacity, and a count or a line that does
// not convert or is missing (the message names the line).
CurveFile readCurveFile(const std::string& fileName, int parts, char separator);

std::string cannotOpenMessage(const std::string& fileName);
std::string tooManyPointsMessage(const std::string& fileName);
std::string unreadableLineMessage(const std::string& fileName, std::size_t line);

}  // namespace tarvolin::plotting
