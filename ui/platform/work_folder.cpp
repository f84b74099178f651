#include "ui/platform/work_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarvolin::ui {

QString defaultWorkFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (base.isEmpty()) base = QDir::home().filePath(QStringLiteral("Tarvolin"));
  return QDir::cleanPath(base);
}

QString findExamplesFolder(const QString& sourceDir) {
  QStringList candidates;
  if (!sourceDir.isEmpty()) candidates << QDir(sourceDir).filePath(QStringLiteral("examples"));
  candidates << QDir(QCoreApplication::applicationDirPath())
                    .filePath(QStringLiteral("../share/tarvolin/examples"));
  for (const QString& candidate : candidates)
    if (QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
  return {};
}

namespace {

void seedWithExamples(const QDir& folder, const QString& examplesDir) {
  if (examplesDir.isEmpty()) return;
  const QDir examples(examplesDir);
  const QStringList inputs =
      examples.entryList({QStringLiteral("*.DAT"), QStringLiteral("*.SQD")}, QDir::Files);
  for (const QString& name : inputs)
    if (!folder.exists(name)) QFile::copy(examples.filePath(name), folder.filePath(name));
}

bool canCreateFiles(const QDir& folder) {
  const QString probe = folder.filePath(QStringLiteral(".tarvolin-write-test"));
  QFile file(probe);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const bool written = file.write("probe\r\n", 7) == 7 && file.flush();
  file.close();
  QFile::remove(probe);
  return written;
}

}  // namespace

bool prepareWorkFolder(const QString& path, const QString& examplesDir, QString* error) {
  const QFileInfo info(path);
  bool fresh = false;
  if (!info.exists()) {
    if (!QDir().mkpath(path)) {
      if (error) *error = QStringLiteral("Cannot create the work folder '%1'").arg(path);
      return false;
    }
    fresh = true;
  } else if (!info.isDir()) {
    if (error) *error = QStringLiteral("'%1' is not a folder").arg(path);
    return false;
  }
  const QDir folder(path);
  if (!canCreateFiles(folder)) {
    if (error) *error = QStringLiteral("Cannot create files in the work folder '%1'").arg(path);
    return false;
  }
  const bool empty =
      folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
          .isEmpty();
  if (fresh || empty) seedWithExamples(folder, examplesDir);
  return true;
}

}  // namespace tarvolin::ui
