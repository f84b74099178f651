#pragma once
// The results of a run as data: what the report prints, kept as numbers for the results
// document (results_json.h). The driver and the report writer fill one SystemResults per
// calculated system from the very values they write, so that the document and the report can
// never disagree; the compute command and the front end add how the run ended.

#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/real.h"
#include "model/model.h"

namespace tarvolin {

// One parameter of the system: an additive value AV(i,b), a lgBETA(i), a block parameter (a(b)
// of a method-1 block, Fo(b) of any other) or the purity of input reagent j.
struct ParameterResult {
  std::string kind;        // "AV", "lgBETA", "Fo", "a" or "Purity"
  std::string name;        // as the report prints it, without the blanks that align it: "AV( 2, 1)"
  int species = 0;         // AV, lgBETA; Purity: the reagent's species
  int block = 0;           // AV, Fo, a
  int reagent = 0;         // Purity: the input reagent
  Real start = 0;          // as read
  Real value = 0;          // after the run
  std::optional<Real> sd;  // the standard deviation the report prints; none where it prints none
  bool fitted = false;     // refined by the run: key 1
  int key = 0;             // fit key of the run: 0 fixed, 1 fitted, 10 k or more tied to column k
  int column = 0;          // position in the parameter vector (a tied value: its column); 0 none
};

struct PointResult {
  int number = 0;  // over all blocks, as the tables number it
  Real Yexp = 0, Ycalc = 0, residual = 0, residualPercent = 0;
  std::vector<Real> C;            // every species
  std::vector<Real> Ct;           // every input reagent, as tabulated (before purity)
  Real volume = 0;                // total volume, ml (0 in batch blocks)
  std::vector<Real> Cbt;          // every shown basic component
  std::vector<Real> percentages;  // shown component outer, species inner, as TABLE 3
};

struct BlockResult {
  int number = 0;
  int method = 0;  // experimental method code
  Real weight = 1;
  Real RF = 0;  // Hamilton's R-factor, %
  Real sumOfSquares = 0;
  std::optional<Real> weightedSumOfSquares;  // printed when the weight is not 1
  std::optional<Real> fitSD;                 // printed when there are more points than parameters
  std::vector<PointResult> points;
};

struct SystemResults {
  int number = 0;
  std::string title;
  int reactantCount = 0, speciesCount = 0, blockCount = 0, pointCount = 0, reagentCount = 0;
  int fittedCount = 0;
  std::vector<int> reagentSpecies;   // species of each input reagent (the Ct columns)
  std::vector<int> shownComponents;  // basic components with Cbt and percentage columns

  std::vector<ParameterResult> parameters;  // every parameter, in the report's order
  // Correlation coefficients r(k,l), k and l over the Jacobian columns 1..n (the fitted
  // parameters without the purities), full and symmetric; empty where the report prints none.
  std::vector<std::vector<Real>> correlation;
  std::vector<std::string> correlationNames;  // the parameter of each row and column

  std::optional<int> rank;
  std::vector<Real> singularValues;  // of the statistics' Jacobian, or the gradient's last W
  std::vector<int> iterationRanks;   // gradient: the rank kept at each correction

  // Work of the fit: the gradient's corrections as the report counts them, the simplex
  // iterations over all its searches, Monte Carlo trials and searches; one-by-one runs.
  long long iterations = 0;
  long long searches = 0;
  std::optional<long long> oneByOneRuns;

  Real TotalRF = 0;
  Real objective = 0;  // weighted sum of squared residuals of all blocks
  std::vector<BlockResult> blocks;

  // Sets name, kind, indices, value and keys of every parameter from the model; the first
  // call also takes each value as the start value (the values as read).
  void takeParameters(const Model& m);
  // The entries of one parameter; takeParameters must have run.
  ParameterResult& additiveValue(int species, int block);
  ParameterResult& beta(int species);
  ParameterResult& blockParameter(int block);
  ParameterResult& purity(int reagent);
  // The names of the correlation matrix's rows: the fitted parameters of columns 1..n.
  void nameCorrelationColumns(int n);
};

struct RunResults {
  std::string program;  // "tarvolin-run" or "tarvolin"
  std::string input, output;
  int method = kSimplex;
  bool singleStep = false, oneByOne = false;
  float deltaRF = 1.0e-6f;
  std::optional<std::uint32_t> seed;
  std::optional<ClockReading> started, finished;
  int exitStatus = 0;
  std::string message;  // the last message shown, "Caption: text"
  bool cancelled = false;
  std::vector<SystemResults> systems;
};

}  // namespace tarvolin
