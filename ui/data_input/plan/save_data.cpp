#include "ui/data_input/plan/save_data.h"

#include <algorithm>
#include <vector>

#include "base/number_format.h"
#include "model/dat_lines.h"
#include "model/numeric_words.h"
#include "ui/data_input/plan/grid.h"

namespace tarvolin::data_input {

namespace {

constexpr int kGridDigits = 15;  // significant digits the grids show

bool readsBackAs(const std::string& text, Real target) {
  Real v = 0;
  return parseRealWord(trimmed(text), v) && v == target;
}

// The window's number forms: integers in their shortest form, reals as w.d.
class SavedLines : public DatLines {
 public:
  void intList(int count, auto value) {
    list(count, [&](int k) { return fmt::integer(value(k)); });
  }
  void realList(int count, int w, int d, auto value) {
    list(count, [&](int k) { return savedReal(value(k), w, d); });
  }
};

// Point counts and method codes share one line, each list breaking after its tenth value; the
// line ends after the last code.
void countsAndCodes(const Model& m, SavedLines& out) {
  std::string text;
  for (int b = 1; b <= m.NBlocks; ++b) {
    text += fmt::integer(m.NPoints[b]) + ",";
    if (b % 10 == 0 && b < m.NBlocks) {
      out.line(text);
      text.clear();
    }
  }
  for (int b = 1; b <= m.NBlocks; ++b) {
    text += fmt::integer(m.Method[b]) + ",";
    if (b % 10 == 0 || b == m.NBlocks) {
      out.line(text);
      text.clear();
    }
  }
}

}  // namespace

std::string savedReal(Real x, int w, int d) {
  Real target = 0;
  if (!parseRealWord(fmt::general(x), target)) return fmt::scientific(x, w);  // not finite
  const std::string fixed = fmt::fixed(x, w, d);
  if (readsBackAs(fixed, target)) return fixed;
  for (int digits = std::max(2, w - 8); digits < kGridDigits; ++digits) {
    const std::string text = fmt::scientific(x, digits + 8);
    if (readsBackAs(text, target)) return text;
  }
  return fmt::scientific(x, kGridDigits + 8);
}

std::string SaveData(const Model& m) {
  SavedLines out;
  const int nr = m.NInputReagents;
  out.line(fmt::integer(m.NSystems));
  out.line(m.Title);
  out.line(fmt::integer(m.NCalcModels) + "," + fmt::integer(m.HeaderInt2));
  out.line(fmt::integer(m.NReactants) + "," + fmt::integer(m.NSpecies) + "," +
           fmt::integer(m.NBlocks));
  countsAndCodes(m, out);
  for (int b = 1; b <= m.NBlocks; ++b)
    out.line(savedReal(m.Fo[b], 15, 6) + "," + savedReal(m.BlockFactor[b], 15, 6) + "," +
             savedReal(m.BlockWeight[b], 15, 6));

  for (int s = 1; s <= m.NSpecies; ++s) {
    std::string row;
    for (int r = 1; r <= m.NReactants; ++r) row += fmt::integer(m.Stoich[s][r]) + ",";
    out.line(row);
  }
  out.line(fmt::integer(nr));
  std::string reagents, flags;
  for (int i = 1; i <= nr; ++i) reagents += fmt::integer(m.ReagentSpecies[i]) + ",";
  for (int r = 1; r <= m.NReactants; ++r) flags += fmt::integer(m.ReactantPrintFlag[r]) + ",";
  out.line(reagents);
  out.line(flags);

  for (int b = 1; b <= m.NBlocks; ++b) {
    const int first = m.First(b);
    const int n = m.NPoints[b];
    out.realList(n, 15, 8, [&](int k) { return m.Yexp[first + k - 1]; });
    for (int i = 1; i <= nr; ++i)
      out.realList(n, 12, 8, [&](int k) { return m.Ct[first + k - 1][i]; });
  }
  for (int b = 1; b <= m.NBlocks; ++b) {
    out.realList(m.NSpecies, 15, 6, [&](int s) { return m.AV[s][b]; });
    out.intList(m.NSpecies, [&](int s) { return m.FitAV[s][b]; });
  }
  out.realList(m.NSpecies, 12, 5, [&](int s) { return m.lgBETA[s]; });
  out.intList(m.NSpecies, [&](int s) { return m.FitBeta[s]; });
  out.intList(m.NBlocks, [&](int b) { return m.FitBlock[b]; });
  // The system's last value ends its line.
  out.line(savedReal(m.Step, 8, 5) + "," + fmt::scientific(m.Tolerance, 15));
  return out.text();
}

}  // namespace tarvolin::data_input
