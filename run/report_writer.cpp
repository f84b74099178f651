#include "run/report_writer.h"

#include <cmath>
#include <string>
#include <vector>

#include "base/floating_point.h"
#include "base/number_format.h"
#include "run/parameter_names.h"
#include "run/plot_files.h"

namespace tarvolin {

namespace {

// Columns of the stoichiometric matrix in the species table: always the largest possible
// number of basic components, so that lgBETA and the additive values stand in fixed columns.
constexpr int kMatrixColumns = kMaxReactants;

std::string doubleRule() { return std::string(80, '='); }

// The standard deviation of parameter-vector element k, 0 where none was computed.
struct StandardDeviations {
  const Real* sd;
  int count;                            // elements 1..count carry a value
  const bool* undetermined = nullptr;   // elements the data do not determine (gradient)
  Real operator()(int k) const { return k >= 1 && k <= count ? sd[k] : Real(0); }
  bool determined(int k) const { return !(undetermined && k >= 1 && k <= count && undetermined[k]); }
};

// Steps shared by both parameter sections: the title, the species with their stoichiometry,
// lgBETA and additive value in every block, between two double rules.
void writeSpeciesTable(const Model& m, TextWriter& report) {
  report.line("");
  report.line("All Parameter(s) for Equilibrium:");
  report.line(doubleRule());
  report.line(std::string("Equilibrium  Stoichiometric Matrix         lgBETA    ") +
              "Additive Value (AV)");
  for (int i = 1; i <= m.NSpecies; ++i) {
    std::string line = fmt::integer(i, 3) + ".       ";
    for (int k = 1; k <= m.NReactants; ++k) line += fmt::integer(m.Stoich[i][k], 3);
    for (int k = m.NReactants + 1; k <= kMatrixColumns; ++k) line += "   ";
    line += fmt::fixed(m.lgBETA[i], 7, 3);
    for (int b = 1; b <= m.NBlocks; ++b) line += fmt::fixed(m.AV[i][b], 12, 3);
    report.line(line);
  }
  report.line(doubleRule());
}

// " (+-" sd ")" follows a fitted value always after a gradient fit, otherwise only where a
// standard deviation was obtained; never after a value the data do not determine, which has
// none (a printed 0 would claim it exact).
bool deviationShown(Real sd, bool always, bool determined) {
  return determined && (always || sd != 0);
}

std::string deviationText(const std::string& sdText, bool shown) {
  return shown ? " (+-" + sdText + ")" : "";
}

// The fitted parameters in the order of the parameter vector, each group followed by an
// empty line: additive values (blocks outer, species inner; a tied value shows the deviation
// of the element it follows), lgBETA, block parameters (a in a method-1 block, Fo otherwise),
// and, after a simplex or Monte Carlo fit, reagent purities. Each value's column and printed
// deviation go to the results record when there is one.
void writeFittedParameters(const Model& m, TextWriter& report, const StandardDeviations& sd,
                           bool alwaysDeviation, bool withPurities, SystemResults* results) {
  auto record = [&](ParameterResult* p, int column, Real s, bool shown) {
    if (!p) return;
    p->column = column;
    p->sd = shown ? std::optional<Real>(s) : std::nullopt;
  };
  int k = 0;
  for (int b = 1; b <= m.NBlocks; ++b) {
    for (int i = 1; i <= m.NSpecies; ++i) {
      const int key = m.FitAV[i][b];
      if (key == 0) continue;
      const int column = key == 1 ? ++k : key / 10;
      const Real s = sd(column);
      const bool shown = deviationShown(s, alwaysDeviation, sd.determined(column));
      report.line(std::string(1, ' ').append(avName(i, b)) + " = " + fmt::fixed(m.AV[i][b], 12, 3) +
                  deviationText(fmt::fixed(s, 12, 3), shown));
      record(results ? &results->additiveValue(i, b) : nullptr, column, s, shown);
    }
  }
  report.line("");
  for (int i = 1; i <= m.NSpecies; ++i) {
    if (m.FitBeta[i] != 1) continue;
    const Real s = sd(++k);
    const bool shown = deviationShown(s, alwaysDeviation, sd.determined(k));
    report.line(lgBetaName(i) + " = " + fmt::fixed(m.lgBETA[i], 12, 3) +
                deviationText(fmt::fixed(s, 12, 3), shown));
    record(results ? &results->beta(i) : nullptr, k, s, shown);
  }
  report.line("");
  for (int b = 1; b <= m.NBlocks; ++b) {
    if (m.FitBlock[b] != 1) continue;
    const Real s = sd(++k);
    const bool shown = deviationShown(s, alwaysDeviation, sd.determined(k));
    const bool method1 = m.Method[b] == 1;
    report.line(std::string(method1 ? 5 : 4, ' ').append(blockParameterName(m, b)) + " = " +
                fmt::scientific(method1 ? m.a[b] : m.Fo[b], 15) +
                deviationText(fmt::scientific(s, 15), shown));
    record(results ? &results->blockParameter(b) : nullptr, k, s, shown);
  }
  report.line("");
  if (!withPurities) return;
  for (int j = 1; j <= m.NInputReagents; ++j) {
    if (m.FitPurity[j] != 1) continue;
    const Real s = sd(++k);
    const bool shown = deviationShown(s, alwaysDeviation, sd.determined(k));
    report.line(purityName(m, j) + " = " + fmt::fixed(m.Purity[j], 7, 3) +
                deviationText(fmt::fixed(s, 7, 3), shown));
    record(results ? &results->purity(j) : nullptr, k, s, shown);
  }
  report.line("");
}

// With several blocks, the points and the R-factor of each on one line each; then the number
// of points of all blocks.
void writePointCounts(const Model& m, TextWriter& report) {
  if (m.NBlocks > 1) {
    report.line("Number of experimental points for each data set:");
    std::string counts;
    for (int b = 1; b <= m.NBlocks; ++b)
      counts += " N(" + fmt::integer(b, 2) + ")=" + fmt::integer(m.NPoints[b], 3);
    report.line(counts);
    report.line("HAMILTON's R-factor for each data set:");
    std::string factors;
    for (int b = 1; b <= m.NBlocks; ++b)
      factors += " RF(" + fmt::integer(b, 2) + ")=" + fmt::fixed(m.RF[b], 8, 3) + "%";
    report.line(factors);
  }
  report.line("Number of experimental points: " + fmt::integer(m.TotalPoints(), 3));
}

void writeTotalRF(const Model& m, TextWriter& report) {
  report.line("Total HAMILTON's R-Factor =" + fmt::fixed(m.TotalRF, 8, 3) + "%");
}

// Q(k,l) = sum over the kept singular values of V(k,j) V(l,j) / W(j)^2: the covariance of the
// scaled parameters up to the factor s^2.
Real scaledCovariance(const RealMatrix& V, const GradientState& state, int n, int k, int l) {
  Real sum = 0;
  for (int j = 1; j <= n; ++j) {
    if (state.W[j] > state.rankThreshold) sum += V(k, j) * V(l, j) / (state.W[j] * state.W[j]);
  }
  return sum;
}

// ---- Data tables --------------------------------------------------------------------------

// TABLE 1; the block's record gets a point for each row, with the values as printed.
void writeResidualTable(const Model& m, int b, TextWriter& report, BlockResult* block) {
  report.line("");
  report.line(std::string("TABLE 1: Experimental  Data: Yexp(i); ") +
              "Calculated  Values: Ycalc(i);");
  report.line(std::string("         Residuals: D(i)=Yexp(i)-Ycalc(i); ") +
              "Residuals in PC: 100*D(i)");
  report.line("");
  report.line(" No.        Y exp.         Y calc.        Res.        Res.%");
  Real SS = 0;
  for (int p = m.First(b); p <= m.Last(b); ++p) {
    const Real D = m.Yexp[p] - m.Ycalc[p];
    const Real percent = m.Ycalc[p] == 0 ? Real(0) : 100 * D / m.Ycalc[p];
    SS += D * D;
    if (block) {
      PointResult& point = block->points.emplace_back();
      point.number = p;
      point.Yexp = m.Yexp[p];
      point.Ycalc = m.Ycalc[p];
      point.residual = D;
      point.residualPercent = percent;
    }
    report.line(fmt::integer(p, 3) + ".  " + fmt::fixed(m.Yexp[p], 14, 6) + " " +
                fmt::fixed(m.Ycalc[p], 14, 6) + " " + fmt::fixed(D, 14, 6) + "   " +
                fmt::scientific(percent, 12));
  }
  throwOnFloatingPointFault();
  report.line("");
  report.line("          Sum of residuals square = " + fmt::scientific(SS, 15));
  if (block) block->sumOfSquares = SS;
  if (m.BlockWeight[b] != 1) {
    const Real weighted = m.BlockWeight[b] * SS;
    report.line("Wighted sum of residuals square = " + fmt::scientific(weighted, 15));
    if (block) block->weightedSumOfSquares = weighted;
  }
  const int n = m.NPoints[b];
  if (m.NFit < n) {
    const Real SD = std::sqrt(SS / (n - m.NFit));
    report.line("");
    report.line("Standard deviation of the fit: SD = " + fmt::scientific(SD, 15));
    if (block) block->fitSD = SD;
  }
}

// Total volume of the solution at each point of block b (ml): the block's initial volume plus
// the titrant added so far. Batch blocks have no volume; they show 0.
std::vector<Real> totalVolumes(const Model& m, int b) {
  std::vector<Real> volumes = addedVolumes(m, b);
  for (Real& v : volumes) v = isTitrationMethod(m.Method[b]) ? m.V0[b] + v : Real(0);
  return volumes;
}

// TABLE 2; the block's points in the record get the concentrations as printed.
void writeConcentrationTable(Engine& engine, int b, const std::vector<int>& shown,
                             TextWriter& report, BlockResult* block) {
  Model& m = engine.model;
  report.line("");
  report.line("TABLE 2: Equilibrium Concentrations of Species in the");
  report.line("         Solution  and  Total  Initial Concentrations");
  std::string header = "     ";
  for (int i = 1; i <= m.NSpecies; ++i) header += "   C(" + fmt::integer(i, 2) + ")      ";
  header += " | ";
  for (int j = 1; j <= m.NInputReagents; ++j)
    header += "   Ct(" + fmt::integer(m.ReagentSpecies[j], 2) + ")     ";
  header += " | ";
  header += "Total volume,ml |";
  for (int k : shown) header += "    Cbt(" + fmt::integer(k, 2) + ")   ";
  report.line(header);

  const std::vector<Real> volumes = totalVolumes(m, b);
  const int first = m.First(b);
  for (int p = first; p <= m.Last(b); ++p) {
    m.CurrentPoint = static_cast<std::uint16_t>(p);
    engine.CALC();
    PointResult* point = block ? &block->points[static_cast<std::size_t>(p - first)] : nullptr;
    std::string line = fmt::integer(p, 3) + ". ";
    auto column = [&line](Real value, std::vector<Real>* kept) {
      line.append(" ").append(fmt::scientific(value, 13));
      if (kept) kept->push_back(value);
    };
    for (int i = 1; i <= m.NSpecies; ++i) column(engine.main.C[i], point ? &point->C : nullptr);
    line += " | ";
    // The totals as tabulated, before any purity correction.
    for (int j = 1; j <= m.NInputReagents; ++j) column(m.Ct[p][j], point ? &point->Ct : nullptr);
    line += " | ";
    column(volumes[p - first], nullptr);
    if (point) point->volume = volumes[p - first];
    line += "  | ";
    for (int k : shown) column(engine.main.Cbt[k], point ? &point->Cbt : nullptr);
    report.line(line);
  }
}

// TABLE 3 and the block's PFP section hold the same percentages, and so do the block's points
// in the record.
void writePercentageTable(Engine& engine, int b, const std::vector<int>& shown, TextWriter& report,
                          TextWriter& pfp, BlockResult* block) {
  Model& m = engine.model;
  report.line("");
  report.line("TABLE 3: The Percentage  of Each Basic Component (Cb)");
  report.line("         in Each Chemical Species (C) in the Solution");
  std::string titles = "     ";
  std::string species = "     ";
  for (int k : shown) {
    titles += " %Cb(" + fmt::integer(k, 2) + ") in:  ";
    for (int i = 3; i <= m.NSpecies; ++i) titles += "       ";
    titles += " | ";
    for (int i = 1; i <= m.NSpecies; ++i) species += "  C(" + fmt::integer(i, 2) + ")";
    species += " | ";
  }
  report.line(titles);
  report.line(species);

  pfp.line(fmt::integer(m.NPoints[b]) + " " + fmt::integer(static_cast<long long>(shown.size())) +
           " " + fmt::integer(m.NSpecies));
  std::vector<Real> values;
  for (int p = m.First(b); p <= m.Last(b); ++p) {
    m.CurrentPoint = static_cast<std::uint16_t>(p);
    engine.CALC();
    componentPercentages(engine, shown, values);
    if (block) block->points[static_cast<std::size_t>(p - m.First(b))].percentages = values;
    std::string line = fmt::integer(p, 3) + ". ";
    std::size_t v = 0;
    for (std::size_t s = 0; s < shown.size(); ++s) {
      for (int i = 1; i <= m.NSpecies; ++i) line += fmt::fixed(values[v++], 7, 2);
      line += " | ";
    }
    report.line(line);
    pfp.line(percentageRow(p, values));
  }
}

// What the error statistics leave besides the report's lines: the singular values and the rank
// of the Jacobian, and the correlation coefficients they printed (only with more points than
// columns). The statistics are made only within the Jacobian's limits.
void recordSearchStatistics(const Engine& engine, SystemResults& results) {
  const int n = engine.NJAC;
  const int N = engine.model.TotalPoints();
  if (n > kMaxJacobianColumns || N > kMaxJacobianRows) return;
  results.singularValues.assign(engine.w + 1, engine.w + 1 + n);
  results.rank = engine.Rank;
  // The lower triangle the statistics printed, row by row.
  if (engine.Correlation.empty()) return;
  results.correlation.assign(static_cast<std::size_t>(n), std::vector<Real>(n));
  std::size_t next = 0;
  for (int j = 1; j <= n; ++j)
    for (int l = 1; l <= j; ++l)
      results.correlation[j - 1][l - 1] = results.correlation[l - 1][j - 1] =
          engine.Correlation[next++];
  results.nameCorrelationColumns(n);
}

}  // namespace

void WriteParameterReport(Engine& engine, TextWriter& report, SystemResults* results) {
  Model& m = engine.model;
  if (m.InputIsSuperquad == 1) {
    report.line("");
    for (int k = 1; k <= m.NReactants; ++k)
      report.line("Reactant " + fmt::integer(k, 2) + "- " + m.ReactantName[k]);
    report.line("");
  }
  for (int k = 1; k <= m.NFit; ++k) engine.sd[k] = 0;
  engine.ErrorStatistics();

  writeSpeciesTable(m, report);
  report.line("");
  if (m.NFit > 0) report.line("Fitted Parameter(s) for Equilibrium:");
  report.line("");
  // The statistics cover the Jacobian columns; the purities after them have no deviation.
  const int columns = engine.NJAC < kMaxJacobianColumns ? engine.NJAC : kMaxJacobianColumns;
  if (results) {
    results->takeParameters(m);
    recordSearchStatistics(engine, *results);
  }
  writeFittedParameters(m, report, StandardDeviations{engine.sd, columns}, false, true, results);
  writePointCounts(m, report);
  writeTotalRF(m, report);
}

// sd(k) = sqrt(s^2 sum_j (V(k,j) / W(j))^2) / D(k) over the singular values above the rank
// threshold, s^2 = S / (N - n) (S itself when there are no more points than parameters); D(k)
// undoes the column scaling of the decomposition. r(k,l) = Q(k,l) / sqrt(Q(k,k) Q(l,l)).
void WriteGradientReport(Engine& engine, const GradientState& state, TextWriter& report, int n,
                         SystemResults* results) {
  Model& m = engine.model;
  const RealMatrix& V = engine.Jacobian;
  writeSpeciesTable(m, report);
  report.line("");
  report.line("");
  const long long corrections = m.FitOneByOne ? engine.OneByOneCount : state.iteration - 1;
  report.line("Number of fitting iterations = " + fmt::integer(corrections, 3));
  if (results) {
    results->takeParameters(m);
    results->iterations = corrections;
  }
  report.line("");
  if (m.FitOneByOne) {
    report.line("Variables are fitted one by one:");
    report.line(fmt::integer(engine.OneByOneCount) + " cycles,");
    report.line("value of fitted Function: " + engine.FittedFunctionText);
  } else {
    report.line("Rank of task Jacobian:");
    for (long long t = 1; t <= corrections && t <= kMaxGradientIterations; ++t) {
      if (results) results->iterationRanks.push_back(state.rank[t]);
      report.write(fmt::integer(state.rank[t], 3) + " ");
      if (t % 10 == 0) report.endLine();
    }
    report.endLine();
  }

  const int N = m.TotalPoints();
  const Real s2 = n < N ? m.Objective / (N - n) : m.Objective;
  for (int k = 1; k <= n; ++k) {
    Real sum = 0;
    for (int j = 1; j <= n; ++j) {
      if (state.W[j] > state.rankThreshold) {
        const Real t = V(k, j) / state.W[j];
        sum += t * t;
      }
    }
    engine.sd[k] = std::sqrt(s2 * sum) / state.D[k];
  }
  throwOnFloatingPointFault();

  report.line("");
  if (m.NFit > 0) report.line("Fitted Parameter(s) for Equilibrium:");
  writeFittedParameters(m, report, StandardDeviations{engine.sd, n, state.undetermined}, true,
                        false, results);
  if (results) {
    // The last decomposition, of which the deviations and correlations are made.
    results->singularValues.assign(state.W + 1, state.W + 1 + n);
    int rank = 0;
    for (int j = 1; j <= n; ++j)
      if (state.W[j] > state.rankThreshold) ++rank;
    results->rank = rank;
    results->correlation.assign(static_cast<std::size_t>(n), std::vector<Real>(n));
    results->nameCorrelationColumns(n);
  }

  report.line("");
  report.line("Correlation coefficients between fitted parameters:");
  std::vector<Real> variance(static_cast<std::size_t>(n) + 1);
  for (int k = 1; k <= n; ++k) variance[k] = scaledCovariance(V, state, n, k, k);
  for (int k = 1; k <= n; ++k) {
    std::string row;
    for (int l = 1; l <= k; ++l) {
      const Real r =
          variance[k] == 0 || variance[l] == 0
              ? Real(0)
              : scaledCovariance(V, state, n, k, l) / std::sqrt(variance[k] * variance[l]);
      row += fmt::fixed(r, 6, 3) + " ";
      if (results) results->correlation[k - 1][l - 1] = results->correlation[l - 1][k - 1] = r;
    }
    report.line(row);
  }
  throwOnFloatingPointFault();
  report.line("");
  writePointCounts(m, report);
  report.line("");
  writeTotalRF(m, report);
  m.RunIncomplete = 0;
}

std::string unprintableFittedValue(const Model& m) {
  auto overflows = [](Real value, int width) {
    return fmt::fixed(value, width, 3).size() > static_cast<std::size_t>(width);
  };
  auto described = [](const std::string& name, Real value) {
    return name + " = " + fmt::scientific(value, 12);
  };
  for (int b = 1; b <= m.NBlocks; ++b)
    for (int i = 1; i <= m.NSpecies; ++i)
      if (m.FitAV[i][b] != 0 && overflows(m.AV[i][b], 12))
        return described(avName(i, b), m.AV[i][b]);
  for (int i = 1; i <= m.NSpecies; ++i)
    if (m.FitBeta[i] == 1 && overflows(m.lgBETA[i], 12))
      return described(lgBetaName(i), m.lgBETA[i]);
  for (int j = 1; j <= m.NInputReagents; ++j)
    if (m.FitPurity[j] == 1 && overflows(m.Purity[j], 7))
      return described(purityName(m, j), m.Purity[j]);
  return "";
}

void WriteDataTables(Engine& engine, RunFiles& files, int system, bool lastSystem,
                     SystemResults* results) {
  Model& m = engine.model;
  TextWriter& report = files.report;
  const std::vector<int> shown = shownComponents(m);
  if (results) {
    results->shownComponents = shown;
    results->reagentSpecies.assign(m.ReagentSpecies + 1, m.ReagentSpecies + 1 + m.NInputReagents);
    results->blocks.clear();
  }
  const std::string base = systemFileBase(blockFileBase(files.outputName), system);
  for (int b = 1; b <= m.NBlocks; ++b) {
    if (m.NBlocks > 1) {
      report.line("");
      report.line("======================== The Set " + fmt::integer(b, 3) +
                  " of Experimental Data ===================");
    }
    BlockResult* block = nullptr;
    if (results) {
      block = &results->blocks.emplace_back();
      block->number = b;
      block->method = m.Method[b];
      block->weight = m.BlockWeight[b];
      block->RF = m.RF[b];
    }
    writeResidualTable(m, b, report, block);
    writeConcentrationTable(engine, b, shown, report, block);
    writePercentageTable(engine, b, shown, report, files.pfp, block);
    writeTitrationCurveSection(m, b, files.ttc);
    writeResidualSection(m, b, files.rac);
    writeBlockPlotFiles(m, b, base);
  }
  // The files of all blocks collect the sections of every calculated system of the run.
  if (lastSystem) {
    files.pfp.close();
    files.ttc.close();
    files.rac.close();
  }
  writePercentageFiles(engine, base);
}

}  // namespace tarvolin
