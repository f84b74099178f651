#pragma once
// All engine and fitting arithmetic is carried in 80-bit extended precision: the printed
// digits of the reports depend on it.

namespace tarvolin {
using Real = long double;
}
