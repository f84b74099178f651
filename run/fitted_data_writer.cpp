#include "run/fitted_data_writer.h"

#include <vector>

#include "base/number_format.h"
#include "model/dat_lines.h"

namespace tarvolin {

namespace {

// The fitted copy's number forms: integers in 3 characters, reals as x:15.
class DatLayout : public DatLines {
 public:
  void intList(int count, auto value) {
    list(count, [&](int k) { return fmt::integer(value(k), 3); });
  }
  void realList(int count, auto value) {
    list(count, [&](int k) { return fmt::scientific(value(k), 15); });
  }
};

}  // namespace

std::string fittedDataText(const Model& m, int systemNumber) {
  DatLayout out;
  const int nr = m.NInputReagents;
  if (systemNumber == 1) out.line(fmt::integer(m.NSystems, 5));
  out.line(m.Title);
  out.line(fmt::integer(m.NCalcModels, 5) + "," + fmt::integer(m.HeaderInt2, 3));
  out.line(fmt::integer(m.NReactants, 3) + "," + fmt::integer(m.NSpecies, 3) + "," +
           fmt::integer(m.NBlocks, 3));
  out.intList(m.NBlocks, [&](int b) { return m.NPoints[b]; });
  out.intList(m.NBlocks, [&](int b) { return m.Method[b]; });

  // Block constants, five blocks to a line.
  std::string triples;
  for (int b = 1; b <= m.NBlocks; ++b) {
    triples += fmt::scientific(m.Fo[b], 15) + "," + fmt::scientific(m.BlockFactor[b], 15) + "," +
               fmt::scientific(m.BlockWeight[b], 15);
    if (b % 5 == 0 || b == m.NBlocks) {
      out.line(triples);
      triples.clear();
    } else {
      triples += " ";
    }
  }

  for (int s = 1; s <= m.NSpecies; ++s) {
    std::string row;
    for (int r = 1; r <= m.NReactants; ++r) row += fmt::integer(m.Stoich[s][r], 3) + ",";
    out.line(row);
  }
  out.line(fmt::integer(nr, 3));
  // Without the "." mark: every purity reads back as fixed.
  out.intList(nr, [&](int i) { return m.ReagentSpecies[i]; });
  out.intList(m.NReactants, [&](int r) { return m.ReactantPrintFlag[r]; });

  for (int b = 1; b <= m.NBlocks; ++b) {
    const int first = m.First(b);
    const int n = m.NPoints[b];
    auto point = [first](const Column<Real>& table) {
      return [&table, first](int k) { return table[first + k - 1]; };
    };
    if (isTitrationMethod(m.Method[b])) {
      std::vector<Real> initial(m.C0[b] + 1, m.C0[b] + 1 + nr);
      initial.push_back(m.V0[b]);
      out.realList(nr + 1, [&](int k) { return initial[k - 1]; });
      out.realList(nr, [&](int i) { return m.CTitrant[b][i]; });
      out.realList(n, point(m.VAdded));
      out.realList(n, point(m.YexpRead));
      if (m.Method[b] == 5 || m.Method[b] == 6)
        out.line(fmt::integer(m.InitReactants[b], 3) + "," + fmt::integer(m.InitSpecies[b], 3) +
                 ",");
    } else {
      out.realList(n, point(m.YexpRead));
      for (int i = 1; i <= nr; ++i)
        out.realList(n, [&](int k) { return m.Ct[first + k - 1][i]; });
    }
  }

  for (int b = 1; b <= m.NBlocks; ++b) {
    out.realList(m.NSpecies, [&](int s) { return m.AV[s][b]; });
    out.intList(m.NSpecies, [&](int s) { return m.FitAV[s][b]; });
  }
  out.realList(m.NSpecies, [&](int s) { return m.lgBETA[s]; });
  out.intList(m.NSpecies, [&](int s) { return m.FitBeta[s]; });
  out.intList(m.NBlocks, [&](int b) { return m.FitBlock[b]; });
  out.line(fmt::scientific(m.Step, 15) + "," + fmt::scientific(m.Tolerance, 15));

  for (int b = 1; b <= m.NBlocks; ++b) {
    const int first = m.First(b);
    if (m.Method[b] == 0)
      out.realList(m.NPoints[b], [&](int k) { return m.PointFactor[first + k - 1]; });
    else if (m.Method[b] == 1)
      out.line(fmt::scientific(m.a[b], 15));
  }
  return out.text();
}

}  // namespace tarvolin
