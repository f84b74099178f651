#include "run/plot_files.h"

#include <algorithm>

#include "base/floating_point.h"
#include "base/number_format.h"

namespace tarvolin {

namespace {

// Creates a file of one block, or raises the run's file error.
void createBlockFile(TextWriter& file, const std::string& name) {
  if (!file.create(name)) throw IoError::fromSystem(name);
}

}  // namespace

std::vector<int> shownComponents(const Model& m) {
  std::vector<int> shown;
  for (int k = 1; k <= m.NReactants; ++k) {
    bool negative = false;
    for (int i = 1; i <= m.NSpecies && !negative; ++i) negative = m.Stoich[i][k] < 0;
    if (!negative) shown.push_back(k);
  }
  return shown;
}

void componentPercentages(const Engine& engine, const std::vector<int>& shown,
                          std::vector<Real>& values) {
  const Model& m = engine.model;
  const Real* C = engine.main.C;
  const Real* Cbt = engine.main.Cbt;
  values.clear();
  for (int k : shown) {
    for (int i = 1; i <= m.NSpecies; ++i) {
      // A component absent at the point holds no share of any species.
      values.push_back(Cbt[k] == 0 ? Real(0) : 100 * C[i] * m.Stoich[i][k] / Cbt[k]);
    }
  }
  throwOnFloatingPointFault();
}

std::string percentageRow(int number, const std::vector<Real>& values) {
  std::string row = fmt::integer(number, 5) + ".0";
  for (Real v : values) row += fmt::fixed(v, 7, 2) + " ";
  return row;
}

std::vector<Real> addedVolumes(const Model& m, int b) {
  std::vector<Real> volumes;
  Real added = 0;
  for (int p = m.First(b); p <= m.Last(b); ++p) {
    added = added + m.VAdded[p];
    volumes.push_back(added);
  }
  return volumes;
}

std::string blockFileBase(const std::string& outputName) {
  const auto slash = outputName.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = outputName.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return outputName;
  return outputName.substr(0, dot);
}

std::string systemFileBase(const std::string& blockBase, int system) {
  return system <= 1 ? blockBase : blockBase + "S" + fmt::integer(system) + "_";
}

std::string blockFileName(const std::string& base, int s, const char* extension) {
  return base + fmt::integer(s) + extension;
}

std::string percentageFileName(const std::string& base, int s) {
  return base + "BC" + fmt::integer(s) + ".BCP";
}

void writeTitrationCurveSection(const Model& m, int b, TextWriter& ttc) {
  const int method = m.Method[b];
  if (method == 6) return;  // increments of a property: no titration curve to draw
  const int n = m.NPoints[b];
  const int first = m.First(b);
  // Batch data are drawn against the point number, titrations against the added volume.
  std::vector<std::string> abscissa;
  if (isBatchMethod(method)) {
    for (int k = 1; k <= n; ++k) abscissa.push_back(fmt::integer(k, 5) + ".0");
  } else {
    for (Real Vt : addedVolumes(m, b)) abscissa.push_back(fmt::scientific(Vt, 15));
  }
  ttc.line(fmt::integer(n));
  for (int k = 1; k <= n; ++k)
    ttc.line(abscissa[k - 1] + " " + fmt::scientific(m.Yexp[first + k - 1], 15));
  for (int k = 1; k <= n; ++k)
    ttc.line(abscissa[k - 1] + " " + fmt::scientific(m.Ycalc[first + k - 1], 15));
}

void writeResidualSection(const Model& m, int b, TextWriter& rac) {
  rac.line(fmt::integer(m.NPoints[b]));
  for (int p = m.First(b); p <= m.Last(b); ++p) {
    rac.line(fmt::scientific(m.Ycalc[p], 15) + " " + fmt::scientific(m.Yexp[p] - m.Ycalc[p], 15));
  }
}

void writeBlockPlotFiles(const Model& m, int b, const std::string& base) {
  const int n = m.NPoints[b];
  const int first = m.First(b);

  TextWriter ecp;
  createBlockFile(ecp, blockFileName(base, b, ".ECP"));
  ecp.line(fmt::integer(n));
  for (int k = 1; k <= n; ++k)
    ecp.line(fmt::integer(k, 5) + " " + fmt::scientific(m.Yexp[first + k - 1], 15));
  for (int k = 1; k <= n; ++k)
    ecp.line(fmt::integer(k, 5) + " " + fmt::scientific(m.Ycalc[first + k - 1], 15));
  ecp.close();

  TextWriter gar;
  createBlockFile(gar, blockFileName(base, b, ".GAR"));
  writeResidualSection(m, b, gar);
  gar.close();

  TextWriter reg;
  const std::string regName = blockFileName(base, b, ".REG");
  createBlockFile(reg, regName);
  reg.line("File [" + regName + "]" + " Ycalc." + " Yexp." + " ExpPoinNo");
  for (int k = 1; k <= n; ++k) {
    const int p = first + k - 1;
    reg.line(fmt::scientific(m.Ycalc[p], 14) + " " + fmt::scientific(m.Yexp[p], 14) + " " +
             fmt::integer(k, 5));
  }
  reg.close();
}

int percentageSteps(int n) { return n > 0 ? std::max(500 / n, 1) : 1; }

void writePercentageFiles(Engine& engine, const std::string& base) {
  Model& m = engine.model;
  const std::vector<int> shown = shownComponents(m);
  std::vector<Real> values;
  for (int b = 1; b <= m.NBlocks; ++b) {
    TextWriter bcp;
    createBlockFile(bcp, percentageFileName(base, b));
    const int n = m.NPoints[b];
    if (n >= 2) {
      const int steps = percentageSteps(n);
      const int first = m.First(b);
      int r = 0;
      m.CurrentPoint = static_cast<std::uint16_t>(first);
      engine.CALC();
      componentPercentages(engine, shown, values);
      bcp.line(percentageRow(++r, values));
      for (int p = first; p < m.Last(b); ++p) {
        for (int t = 1; t <= steps; ++t) {
          // Point 0 is the scratch point: totals on the straight line from point p to p + 1.
          for (int j = 1; j <= m.NInputReagents; ++j)
            m.Ct[0][j] = m.Ct[p][j] + (m.Ct[p + 1][j] - m.Ct[p][j]) * t / steps;
          m.CurrentPoint = 0;
          engine.CALC();
          componentPercentages(engine, shown, values);
          bcp.line(percentageRow(++r, values));
        }
      }
    }
    bcp.close();
  }
}

}  // namespace tarvolin
