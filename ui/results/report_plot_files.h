#pragma once
// The plot data files a run leaves beside its report, named from the report's name, for the
// windows that draw them and for copying them when a report is saved under a new name.

#include <QString>
#include <QStringList>
#include <vector>

namespace tarvolin::ui {

enum class PlotFileKind {
  Percentages,       // B.PFP: component percentages at the measured points, all blocks
  TitrationCurves,   // B.TTC: measured and calculated titration curves, all blocks
  Residuals,         // B.RAC: residuals against calculated values, all blocks
  BlockCurve,        // Bs.ECP: measured and calculated values of block s
  BlockResiduals,    // Bs.GAR: residuals of block s
  BlockRegression,   // Bs.REG: calculated against measured values of block s
  BlockPercentages,  // BBCs.BCP: percentages interpolated between the points of block s
};

// The name of one plot file of the report `reportPath`, folder kept. The files of all blocks
// take B as the report's name up to the first "." of its file-name part (res.old.out gives
// res); the files of one block take B as the name without its last extension (res.old), "S",
// the system's number and "_" after it for the second and every later calculated system, and
// the block number s from 1. `block` and `system` (from 1) are ignored for the files of all
// blocks.
QString reportPlotFile(const QString& reportPath, PlotFileKind kind, int block = 0, int system = 1);

// Every plot file name of a report whose calculated systems have these numbers of blocks, in a
// fixed order: PFP, TTC, RAC, then for each system and each of its blocks its ECP, GAR, REG and
// BCP. Two reports of the same systems and blocks have lists that correspond entry by entry.
QStringList reportPlotFileNames(const QString& reportPath, const std::vector<int>& blocksOfSystems);

// The systems and blocks of a report as its own tables give them (as the result windows read
// them).
std::vector<int> reportBlocksOfSystems(const QString& reportPath);

// Those of the report's own plot files (its systems and blocks) that exist, in the same order.
QStringList existingReportPlotFiles(const QString& reportPath);

struct PlotFileCopies {
  QStringList copied;  // names of the new files
  QStringList failed;  // names of the new files that could not be written
};

// Copies every existing plot file of report `from` (of its own systems and blocks, not what an
// earlier run into the same name left beside it) to the corresponding name of report `to`,
// replacing any file there, so that the result windows of the report saved under the new name
// find the same data. A file is never copied onto itself (when both names give the same
// base, the files are already in place).
PlotFileCopies copyReportPlotFiles(const QString& from, const QString& to);

}  // namespace tarvolin::ui
