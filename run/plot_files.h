#pragma once
// The plain-text plot data files a run leaves beside its report, and the pieces of the data
// tables they share with it: which basic components are shown, the percentage of a component
// held in each species, the titrant volume added up to each point.
//
// Files of all blocks (one section per block): PFP (percentages at the measured points), TTC
// (titration curves), RAC (residuals against calculated values). Files of one block, created
// anew: B s ".ECP" (measured and calculated curve), B s ".GAR" (residuals), B s ".REG"
// (calculated against measured values), B "BC" s ".BCP" (percentages interpolated between the
// measured points); B is the report's name without its extension, s the block number.

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
// base + s + extension, and base + "BC" + s + ".BCP".
std::string blockFileName(const std::string& base, int s, const char* extension);
std::string percentageFileName(const std::string& base, int s);

// Sections of block b in the files of all blocks. A block of method 6 adds nothing to TTC.
void writeTitrationCurveSection(const Model& m, int b, TextWriter& ttc);
void writeResidualSection(const Model& m, int b, TextWriter& rac);

// The ECP, GAR and REG files of block b, each created anew.
void writeBlockPlotFiles(const Model& m, int b, const std::string& base);

// The BCP file of every block: the block's first point, then for each interval between
// consecutive points floor(500 / n) rows whose reagent totals run linearly from one point to
// the next, each solved at the scratch point 0. A block of fewer than two points gets an
// empty file.
void writePercentageFiles(Engine& engine, const std::string& base);

}  // namespace tarvolin
