#include "ui/results/report_plot_files.h"

#include <QFile>
#include <QFileInfo>

#include "run/plot_files.h"
#include "run/run_files.h"
#include "ui/results/plotting/result_system.h"

namespace tarvolin::ui {
namespace {

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString fromLocal(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// The same file under both names: an absolute comparison, and the resolved one when both
// exist (a link, or "./x" against "x").
bool sameFile(const QString& a, const QString& b) {
  const QFileInfo fa(a);
  const QFileInfo fb(b);
  if (fa.absoluteFilePath() == fb.absoluteFilePath()) return true;
  return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

}  // namespace

QString reportPlotFile(const QString& reportPath, PlotFileKind kind, int block, int system) {
  // The run driver and the report writer form these names with the same functions.
  const std::string report = local(reportPath);
  const std::string base = systemFileBase(blockFileBase(report), system);
  switch (kind) {
    case PlotFileKind::Percentages:
      return fromLocal(plotFileBase(report) + ".PFP");
    case PlotFileKind::TitrationCurves:
      return fromLocal(plotFileBase(report) + ".TTC");
    case PlotFileKind::Residuals:
      return fromLocal(plotFileBase(report) + ".RAC");
    case PlotFileKind::BlockCurve:
      return fromLocal(blockFileName(base, block, ".ECP"));
    case PlotFileKind::BlockResiduals:
      return fromLocal(blockFileName(base, block, ".GAR"));
    case PlotFileKind::BlockRegression:
      return fromLocal(blockFileName(base, block, ".REG"));
    case PlotFileKind::BlockPercentages:
      return fromLocal(percentageFileName(base, block));
  }
  return {};
}

QStringList reportPlotFileNames(const QString& reportPath,
                                const std::vector<int>& blocksOfSystems) {
  QStringList names;
  for (PlotFileKind kind :
       {PlotFileKind::Percentages, PlotFileKind::TitrationCurves, PlotFileKind::Residuals}) {
    names << reportPlotFile(reportPath, kind);
  }
  for (std::size_t system = 1; system <= blocksOfSystems.size(); ++system) {
    for (int s = 1; s <= blocksOfSystems[system - 1]; ++s) {
      for (PlotFileKind kind : {PlotFileKind::BlockCurve, PlotFileKind::BlockResiduals,
                                PlotFileKind::BlockRegression, PlotFileKind::BlockPercentages}) {
        names << reportPlotFile(reportPath, kind, s, static_cast<int>(system));
      }
    }
  }
  return names;
}

std::vector<int> reportBlocksOfSystems(const QString& reportPath) {
  std::vector<int> blocks;
  for (const plotting::ResultSystem& system : plotting::resultSystemsOfReport(local(reportPath)))
    blocks.push_back(system.dataSets);
  return blocks;
}

QStringList existingReportPlotFiles(const QString& reportPath) {
  QStringList existing;
  for (const QString& name : reportPlotFileNames(reportPath, reportBlocksOfSystems(reportPath))) {
    if (QFileInfo(name).isFile()) existing << name;
  }
  return existing;
}

PlotFileCopies copyReportPlotFiles(const QString& from, const QString& to) {
  PlotFileCopies result;
  const std::vector<int> blocks = reportBlocksOfSystems(from);
  const QStringList sources = reportPlotFileNames(from, blocks);
  const QStringList targets = reportPlotFileNames(to, blocks);
  for (qsizetype i = 0; i < sources.size(); ++i) {
    const QString& source = sources[i];
    const QString& target = targets[i];
    if (!QFileInfo(source).isFile() || sameFile(source, target)) continue;
    if (QFileInfo::exists(target) && !QFile::remove(target)) {
      result.failed << target;
      continue;
    }
    if (QFile::copy(source, target)) {
      result.copied << target;
    } else {
      result.failed << target;
    }
  }
  return result;
}

}  // namespace tarvolin::ui
