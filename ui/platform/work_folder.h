#pragma once
// The program's work folder: where the start dialog lists the input and report files, where a
// run writes "IN.IN", its work files, the report and the plot data files, and where the
// history file "Tarvolin.INP" and "CURRENT.OUT" live. It is the folder named by --workdir, or
// else a per-user folder, so that it is always one the user can write to. It becomes the
// current folder at start.

#include <QString>

namespace tarvolin::ui {

// The per-user folder (under the user's application data folder, e.g.
// ~/.local/share/Tarvolin).
QString defaultWorkFolder();

// The examples shipped with the program: the source tree's examples/ when the program runs
// from its build folder, else the installed share/tarvolin/examples beside the executable.
// Empty when neither exists.
QString findExamplesFolder(const QString& sourceDir);

// Creates the folder when it is missing, seeds it with the example inputs (*.DAT and *.SQD of
// examplesDir) when it was just created or holds no file at all, and checks that files can be
// created in it. False with a reason otherwise. Files already present are never replaced.
bool prepareWorkFolder(const QString& path, const QString& examplesDir, QString* error);

}  // namespace tarvolin::ui
