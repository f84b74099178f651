#pragma once
// The OUT report's result sections: the parameter section (after a simplex or Monte Carlo fit,
// or its variant after a gradient fit) and, for every block, the data tables, which also write
// the plot data files.

#include <string>

#include "base/text_file.h"
#include "engine/engine.h"
#include "fitting/gradient.h"
#include "run/run_files.h"
#include "run/run_results.h"

namespace tarvolin {

// After a simplex or Monte Carlo fit: the SUPERQUAD component names, the error statistics
// (written by the engine, which leaves the standard deviations), the species table, the
// fitted parameters with their standard deviations, the point counts and R-factors. With a
// results record, the parameters, deviations, correlations, singular values and rank go there
// too, as printed.
void WriteParameterReport(Engine& engine, TextWriter& report, SystemResults* results = nullptr);

// After a gradient fit of n parameters: the species table, the number of corrections and the
// rank of each (or the one-by-one record), the fitted parameters with standard deviations and
// correlations from the last decomposition the method left in `state`, the point counts and
// R-factors. Clears model.RunIncomplete at its end. The standard deviations are also left in
// engine.sd[1..n]. With a results record, the printed numbers go there too, with the singular
// values and rank of the last decomposition.
void WriteGradientReport(Engine& engine, const GradientState& state, TextWriter& report, int n,
                         SystemResults* results = nullptr);

// The first fitted value that its fixed-point field of the parameter report cannot hold (a fit
// that ran away, say to 1e20), described as "lgBETA( 3) = -1.180E+0020"; empty when every one
// fits.
std::string unprintableFittedValue(const Model& m);

// For every block: TABLE 1 (measured and calculated values, residuals), TABLE 2 (species
// concentrations, reagent totals, volume, component totals), TABLE 3 (percentages of the
// components in each species), with the block's sections of the PFP, TTC and RAC files and its
// ECP, GAR and REG files; then the BCP files of every block. The files of one block of the
// second and every later calculated system of the run carry the system's number in their names
// (systemFileBase). PFP, TTC and RAC stay open for the next calculated system unless lastSystem
// is set, which closes them. With a results record, every tabulated value goes there too.
void WriteDataTables(Engine& engine, RunFiles& files, int system, bool lastSystem,
                     SystemResults* results = nullptr);

}  // namespace tarvolin
