#pragma once
// Names of experimental points in the plot windows' status read-outs.

#include <string>

namespace tarvolin::plotting {

// The Yexp-versus-Ycalc window: 1st Point., 2nd Point, 3d Point, 4th Point ... 21th Point.
std::string regressionPointName(long long n);
// The curve windows: 1st Point, 2nd Point, 3d Point, 4th Point ... 12th Point.
std::string curvePointName(long long n);

}  // namespace tarvolin::plotting
