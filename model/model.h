#pragma once
// The one in-memory description of a calculated system: basic components (reactants), the
// species formed from them, the blocks of experimental points, the refinable parameters and
// the run options. Readers fill it, the engine and the fitting methods read it and write the
// refined values back, the report and plot writers read it.
//
// Tables are 1-based (index 0 is unused, except point 0 of the concentration tables, which
// serves as the scratch point of the interpolated percentage rows). The tables of points, and
// those indexed by species and block or by block and reagent, take the room the system needs:
// whoever sets the counts grows them (growTables, growPoints) before storing into them. The
// short one-dimensional tables of species, blocks, reagents and components keep the size of
// their limits. Fields beyond the current counts keep whatever an earlier system left in them
// and are never read.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/real.h"
#include "model/limits.h"
#include "model/table.h"

namespace tarvolin {

// Code of the fitting method of a run, as the speciation solver reads it.
enum FittingMethodCode : std::uint8_t { kGradient = 1, kSimplex = 2, kMonteCarlo = 3 };

struct Model {
  // --- calculated system header ---
  std::uint16_t NSystems = 0;
  std::string Title;
  std::uint16_t NCalcModels = 0;  // carried from reader to fitted-data writer, never used
  std::uint8_t HeaderInt2 = 0;    // likewise
  std::uint8_t NReactants = 0;
  std::uint8_t NSpecies = 0;
  std::uint8_t NBlocks = 0;
  std::uint8_t NInputReagents = 0;

  // --- species ---
  std::int8_t Stoich[kMaxSpecies + 1][kMaxReactants + 1] = {};  // [species][component]
  Real lgBETA[kMaxSpecies + 1] = {};
  std::uint8_t FitBeta[kMaxSpecies + 1] = {};

  // --- additive values, [species][block] ---
  Table<Real> AV;
  // 0 fixed, 1 fitted, k >= 10: tied to fitted parameter k div 10 of the packing order.
  Table<std::uint8_t> FitAV;

  // --- blocks ---
  std::uint16_t NPoints[kMaxBlocks + 1] = {};
  std::int8_t Method[kMaxBlocks + 1] = {};
  Real Fo[kMaxBlocks + 1] = {};
  Real BlockFactor[kMaxBlocks + 1] = {};
  Real BlockWeight[kMaxBlocks + 1] = {};
  Real a[kMaxBlocks + 1] = {};
  std::uint8_t FitBlock[kMaxBlocks + 1] = {};
  std::uint8_t IncrementMode[kMaxBlocks + 1] = {};
  std::uint8_t InitReactants[kMaxBlocks + 1] = {};
  std::uint8_t InitSpecies[kMaxBlocks + 1] = {};
  Real RF[kMaxBlocks + 1] = {};
  // Titration set-up of each titration block, kept per block so that the fitted-model copy
  // reproduces every block (mol/l and ml).
  Real V0[kMaxBlocks + 1] = {};
  Table<Real> C0;        // [block][reagent]
  Table<Real> CTitrant;  // [block][reagent]

  // --- input reagents ---
  std::uint8_t ReagentSpecies[kMaxInputReagents + 1] = {};
  Real Purity[kMaxInputReagents + 1] = {};
  std::uint8_t FitPurity[kMaxInputReagents + 1] = {};

  // --- basic components ---
  std::uint8_t ReactantPrintFlag[kMaxReactants + 1] = {};
  std::string ReactantName[kMaxReactants + 1];

  // --- points, numbered over all blocks ---
  Column<Real> Yexp;
  // Measured value as read; differs from Yexp only in method-6 blocks, whose Yexp holds the
  // running sums.
  Column<Real> YexpRead;
  Column<Real> Ycalc;
  Column<Real> PointFactor;
  Column<Real> VAdded;
  Column<Real> VolBefore;
  Table<Real> Ct;        // [point][reagent], mol/l
  Table<Real> CtBefore;  // state before an addition

  // --- calculation settings read with the data ---
  Real Step = 0.12L;
  Real Tolerance = 1e-20L;

  // --- run options ---
  std::uint8_t FittingMethod = kSimplex;
  std::uint8_t SingleStep = 0;
  std::uint8_t CancelRequested = 0;
  std::uint8_t FitOneByOne = 0;
  float DeltaRF = 1.0e-6f;
  std::uint8_t InputIsSuperquad = 0;
  // A seed given for the Monte Carlo search makes a run repeatable; without it every search
  // is seeded from the clock.
  std::uint8_t SeedGiven = 0;
  std::uint32_t RandomSeed = 0;

  // --- derived and working state ---
  std::uint8_t MonotonicData = 0;
  std::uint8_t NFit = 0;
  std::uint16_t CurrentPoint = 0;
  std::uint8_t ActiveReactants = 0;
  std::uint8_t ActiveSpecies = 0;
  Real TotalRF = 0;
  Real PreviousRF = 0;
  Real Objective = 0;
  std::int32_t ReadError = 0;
  std::int32_t RunIncomplete = 0;
  // The line of the input file at which reading stopped on an error (0 when it did not), so
  // that the file can be opened there for correction.
  std::int32_t InputErrorLine = 0;

  // Grows the tables of species and blocks (AV, FitAV) and of blocks and reagents (C0,
  // CTitrant) to the counts NSpecies, NBlocks and NInputReagents, and the point tables to
  // NInputReagents reagents.
  void growTables() {
    AV.grow(NSpecies, NBlocks);
    FitAV.grow(NSpecies, NBlocks);
    C0.grow(NBlocks, NInputReagents);
    CTitrant.grow(NBlocks, NInputReagents);
    growPoints(0);
  }
  // Grows the point tables to points 0..n, each with NInputReagents reagents.
  void growPoints(int n) {
    for (Column<Real>* column : {&Yexp, &YexpRead, &Ycalc, &PointFactor, &VAdded, &VolBefore})
      column->grow(n);
    Ct.grow(n, NInputReagents);
    CtBefore.grow(n, NInputReagents);
  }

  // Points First(b)..Last(b) belong to block b; derived from NPoints, never stored.
  int First(int b) const {
    int first = 1;
    for (int k = 1; k < b; ++k) first += NPoints[k];
    return first;
  }
  int Last(int b) const { return First(b) + NPoints[b] - 1; }
  int TotalPoints() const {
    int n = 0;
    for (int b = 1; b <= NBlocks; ++b) n += NPoints[b];
    return n;
  }
};

// Method codes of the experimental blocks.
inline bool isTitrationMethod(int code) {
  return code == 1 || code == 2 || code == 5 || code == 6 || code == 7 || code == 8;
}
inline bool isBatchMethod(int code) { return code == -1 || code == 0; }
inline bool isKnownMethod(int code) { return isTitrationMethod(code) || isBatchMethod(code); }

}  // namespace tarvolin
