#pragma once
// The plain-text plot data files a run leaves beside its report, and the pieces of the data
// tables they share with it: which basic components are shown, the percentage of a component
// held in each species, the titrant volume added up to each point.
//
// Files of all blocks (one section per block, every calculated system of the run): PFP
// (percentages at the measured points), TTC (titration curves), RAC (residuals against
// calculated values). Files of one block, created anew: B s ".ECP" (measured and calculated
// curve), B s ".GAR" (residuals), B s ".REG" (calculated against measured values), B "BC" s
// ".BCP" (percentages interpolated between the measured points); B is the report's name without
// its extension for the first calculated system, and that name followed by "S", the system's
// number and "_" for every further one; s the block number.

#include <string>
#include <vector>

#include "base/real.h"
#include "base/text_file.h"
#include "engine/engine.h"
#include "model/model.h"

namespace tarvolin {

// The basic components that get columns in the totals and percentage tables: those for which
// no species has a negative coefficient (a component that hydroxo species carry with -1 has no
// meaningful percentage distribution). In increasing order.
std::vector<int> shownComponents(const Model& m);

// Percentages of the shown components in each species at the last CALC, component outer and
// species inner: 100 C(i) a(i,k) / Cbt(k), or 0 for every species when Cbt(k) is 0.
void componentPercentages(const Engine& engine, const std::vector<int>& shown,
                          std::vector<Real>& values);

// A row of a percentage plot file: the row's number as n:5 followed by ".0", then each value
// as x:7:2 followed by a blank.
std::string percentageRow(int number, const std::vector<Real>& values);

// Titrant volume added up to each point of block b (ml): the running sum of VAdded over the
// block, without V0. Element k - 1 belongs to the block's k-th point.
std::vector<Real> addedVolumes(const Model& m, int b);

// The report's name without its extension (from the last "." of its file-name part), any
// folder kept: "out/res.old.out" gives "out/res.old".
std::string blockFileBase(const std::string& outputName);
// The base of the files of one block of calculated system `system` (from 1): blockBase itself
// for the first system, blockBase + "S" + system + "_" for every further one, so that no
// system's files replace another's (run.OUT: run1.ECP, runBC1.BCP for system 1, runS2_1.ECP,
// runS2_BC1.BCP for system 2).
std::string systemFileBase(const std::string& blockBase, int system);
// base + s + extension, and base + "BC" + s + ".BCP".
std::string blockFileName(const std::string& base, int s, const char* extension);
std::string percentageFileName(const std::string& base, int s);

// Sections of block b in the files of all blocks. A block of method 6 adds nothing to TTC.
void writeTitrationCurveSection(const Model& m, int b, TextWriter& ttc);
void writeResidualSection(const Model& m, int b, TextWriter& rac);

// The ECP, GAR and REG files of block b, each created anew.
void writeBlockPlotFiles(const Model& m, int b, const std::string& base);

// Rows interpolated in each interval between consecutive points of a block of n points in its
// BCP file: floor(500 / n), but at least 1, so that a block of more than 500 points still has
// a row at every point.
int percentageSteps(int n);

// The BCP file of every block: the block's first point, then for each interval between
// consecutive points percentageSteps(n) rows whose reagent totals run linearly from one point
// to the next, each solved at the scratch point 0. A block of fewer than two points gets an
// empty file.
void writePercentageFiles(Engine& engine, const std::string& base);

}  // namespace tarvolin
