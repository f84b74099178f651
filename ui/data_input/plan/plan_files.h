#pragma once
// The data-input window's files: saving the grids as a DAT file (with a backup of the file it
// replaces), opening a DAT file into the grids, and the files of the Fitting Test. The dialogs
// and the questions stay with the window; these run after them.

#include <optional>
#include <string>

#include "model/model.h"
#include "ui/data_input/plan/notice.h"
#include "ui/data_input/plan/plan_data.h"

namespace tarvolin::data_input {

inline constexpr const char* kSaveDialogTitle = "Save input data as the *.DAT file";
inline constexpr const char* kSaveDialogFilter = "DATA File (*.DAT)|*.DAT";
inline constexpr const char* kOpenDialogTitle = "Select *.DAT file to open...";
inline constexpr const char* kOpenDialogFilter = "DAT File (*.DAT)|*.DAT";

// The name chosen in the save dialog with the extension ".DAT" in place of any other; a name
// that already ends in ".DAT" in any letter case keeps its spelling (file names are
// case-sensitive here, and "x.dat" is the file the user picked).
std::string DatFileName(const std::string& chosen);
// The backup of a DAT file: its name without the folder, extension ".BAK", in backupFolder
// (the program's folder).
std::string BackupFileName(const std::string& datPath, const std::string& backupFolder);
// "OK to overwrite <name>", asked with Yes, No and Cancel when the file exists.
std::string OverwriteQuestion(const std::string& name);
// The window caption after a save or an open: "Data and Speciation.   File: " + the name
// without its folder.
std::string PlanCaption(const std::string& path);

// Asked when the window is left with data not saved: File, Exit (Yes, No, Cancel) and any
// other way of closing it (Yes, No).
inline constexpr const char* kSaveQuestionOnExit = "Save input data?";
inline constexpr const char* kSaveQuestionOnClose = "Save input data ?";

struct SaveOutcome {
  Notices notices;
  bool saved = false;
  std::string caption;  // set when saved
};

// Save after the dialog and the overwrite question: Test Data first, and only when it passes
// is the file touched: an existing file is copied to its backup ("Unable to create backup
// file." ends the save with the file as it was), then the new text replaces the file in one
// step, so that a failed write ("Cannot write into file '<name>'") leaves the old content in
// place. A failed Test Data leaves the file and any backup exactly as they were. Sets
// DataSaved on success.
SaveOutcome SavePlan(PlanData& plan, Model& model, const std::string& datPath,
                     const std::string& backupFolder);

// Writes text as the file's new content through a temporary file in the same folder, which
// then takes the file's place; false, leaving the file as it was, on any failure.
bool writeDatFile(const std::string& path, const std::string& text);

// "Select an existing the *.DAT File." when the name chosen to open has another extension or
// names no file.
std::optional<Notice> OpenRefusal(const std::string& path);

struct OpenOutcome {
  Notices notices;
  bool loaded = false;
  std::string caption;  // set when loaded
};

// Open after the dialog: the file is read with LoadData into a copy of the model. When it
// reads, the model takes it, the grids are rebuilt (GridData) and CurveShown is cleared; when
// not, its warnings come first, the grids and the model are left as they were, and Test Data
// runs on the unchanged grids (its messages follow).
OpenOutcome OpenPlan(PlanData& plan, Model& model, const std::string& path);

// --- Fitting Test ---
inline constexpr const char* kFitTestDataName = "_ExpPlan.DAT";
inline constexpr const char* kFitTestReportName = "_ExpPlan.OUT";
inline constexpr const char* kFitTestCurveName = "_ExpPlan.TTC";
inline constexpr const char* kFitTestControlName = "IN.IN";

struct FittingTestOutcome {
  Notices notices;
  bool ready = false;  // the Simplex driver may run
};

// Before the single-step Simplex run of the Fitting Test, in the current folder: Test Data
// with QuietTest (no count messages), the model written to "_ExpPlan.DAT", the control file
// naming it and "_ExpPlan.OUT", SingleStep 1 and CancelRequested 0.
FittingTestOutcome PrepareFittingTest(PlanData& plan, Model& model);

}  // namespace tarvolin::data_input
