#include "ui/report_plot_files.h"

#include <QFile>
#include <QFileInfo>

#include "model/limits.h"
#include "run/plot_files.h"
#include "run/run_files.h"

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

QString reportPlotFile(const QString& reportPath, PlotFileKind kind, int block) {
  // The run driver and the report writer form these names with the same two functions.
  const std::string report = local(reportPath);
  switch (kind) {
    case PlotFileKind::Percentages:
      return fromLocal(plotFileBase(report) + ".PFP");
    case PlotFileKind::TitrationCurves:
      return fromLocal(plotFileBase(report) + ".TTC");
    case PlotFileKind::Residuals:
      return fromLocal(plotFileBase(report) + ".RAC");
    case PlotFileKind::BlockCurve:
      return fromLocal(blockFileName(blockFileBase(report), block, ".ECP"));
    case PlotFileKind::BlockResiduals:
      return fromLocal(blockFileName(blockFileBase(report), block, ".GAR"));
    case PlotFileKind::BlockRegression:
      return fromLocal(blockFileName(blockFileBase(report), block, ".REG"));
    case PlotFileKind::BlockPercentages:
      return fromLocal(percentageFileName(blockFileBase(report), block));
  }
  return {};
}

QStringList reportPlotFileNames(const QString& reportPath, int blocks) {
  QStringList names;
  for (PlotFileKind kind :
       {PlotFileKind::Percentages, PlotFileKind::TitrationCurves, PlotFileKind::Residuals}) {
    names << reportPlotFile(reportPath, kind);
  }
  for (int s = 1; s <= blocks; ++s) {
    for (PlotFileKind kind : {PlotFileKind::BlockCurve, PlotFileKind::BlockResiduals,
                              PlotFileKind::BlockRegression, PlotFileKind::BlockPercentages}) {
      names << reportPlotFile(reportPath, kind, s);
    }
  }
  return names;
}

QStringList existingReportPlotFiles(const QString& reportPath) {
  QStringList existing;
  for (const QString& name : reportPlotFileNames(reportPath, kMaxBlocks)) {
    if (QFileInfo(name).isFile()) existing << name;
  }
  return existing;
}

PlotFileCopies copyReportPlotFiles(const QString& from, const QString& to) {
  PlotFileCopies result;
  const QStringList sources = reportPlotFileNames(from, kMaxBlocks);
  const QStringList targets = reportPlotFileNames(to, kMaxBlocks);
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
