#pragma once
// File names between Qt and the core: the core opens files by their names in the encoding of
// the file system, Qt holds them as text.

#include <QFile>
#include <QString>
#include <string>

#include "run/run_files.h"

namespace tarvolin::ui {

// The name as the core's file routines take it.
inline std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The extension upper-cased and cut to four characters, "." included (picture.jpeg gives
// ".JPE"), as the run's file tests read it.
inline QString upperExtension(const QString& path) {
  return QString::fromStdString(upperExtension4(localPath(path)));
}

}  // namespace tarvolin::ui
