#include "ui/data_input/plan/plan_files.h"

#include <cctype>
#include <filesystem>
#include <memory>

#include "base/text_file.h"
#include "ui/data_input/plan/grid_data.h"
#include "ui/data_input/plan/load_data.h"
#include "ui/data_input/plan/save_data.h"
#include "ui/data_input/plan/test_data.h"

namespace tarvolin::data_input {

namespace fs = std::filesystem;

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Notice cannotWrite(const std::string& path) {
  return errorNotice("Cannot write into file '" + path + "'");
}

}  // namespace

std::string DatFileName(const std::string& chosen) {
  fs::path path(chosen);
  if (upper(path.extension().string()) == ".DAT") return chosen;
  path.replace_extension(".DAT");
  return path.string();
}

std::string BackupFileName(const std::string& datPath, const std::string& backupFolder) {
  fs::path name = fs::path(datPath).filename();
  name.replace_extension(".BAK");
  return (fs::path(backupFolder) / name).string();
}

std::string OverwriteQuestion(const std::string& name) { return "OK to overwrite " + name; }

std::string PlanCaption(const std::string& path) {
  return "Data and Speciation.   File: " + fs::path(path).filename().string();
}

bool writeDatFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".~new";
  std::error_code ec;
  TextWriter file;
  bool written = file.create(temporary);
  if (written) {
    try {
      file.write(text);
      file.close();
    } catch (const IoError&) {
      written = false;
    }
  }
  // The new file keeps the permissions of the one it replaces.
  if (written && fs::exists(path, ec))
    fs::permissions(temporary, fs::status(path, ec).permissions(), ec);
  if (written) {
    fs::rename(temporary, path, ec);
    written = !ec;
  }
  if (!written) fs::remove(temporary, ec);
  return written;
}

SaveOutcome SavePlan(PlanData& plan, Model& model, const std::string& datPath,
                     const std::string& backupFolder) {
  SaveOutcome outcome;
  outcome.notices = TestData(plan, model);
  if (plan.DataError) return outcome;
  const std::string text = SaveData(model);

  std::error_code ec;
  if (fs::exists(datPath, ec)) {
    const std::string backup = BackupFileName(datPath, backupFolder);
    fs::remove(backup, ec);
    if (!fs::copy_file(datPath, backup, fs::copy_options::overwrite_existing, ec) || ec) {
      outcome.notices.push_back(errorNotice("Unable to create backup file."));
      return outcome;
    }
  }
  if (!writeDatFile(datPath, text)) {
    outcome.notices.push_back(cannotWrite(datPath));
    return outcome;
  }
  plan.DataSaved = true;
  outcome.saved = true;
  outcome.caption = PlanCaption(datPath);
  return outcome;
}

std::optional<Notice> OpenRefusal(const std::string& path) {
  std::error_code ec;
  if (upper(fs::path(path).extension().string()) != ".DAT" || !fs::is_regular_file(path, ec))
    return informationNotice("Select an existing the *.DAT File.");
  return std::nullopt;
}

OpenOutcome OpenPlan(PlanData& plan, Model& model, const std::string& path) {
  OpenOutcome outcome;
  if (auto refusal = OpenRefusal(path)) {
    outcome.notices.push_back(*refusal);
    return outcome;
  }
  plan.DataError = false;
  // The model changes only when the whole system has been read.
  auto scratch = std::make_unique<Model>(model);
  LoadOutcome load = LoadDataFile(path, *scratch);
  outcome.notices = std::move(load.notices);
  if (load.DataError) {
    plan.DataError = true;
    for (Notice& notice : TestData(plan, model)) outcome.notices.push_back(std::move(notice));
    return outcome;
  }
  model = *scratch;
  GridData(plan, model);
  plan.CurveShown = false;
  outcome.loaded = true;
  outcome.caption = PlanCaption(path);
  return outcome;
}

FittingTestOutcome PrepareFittingTest(PlanData& plan, Model& model) {
  FittingTestOutcome outcome;
  plan.QuietTest = true;
  outcome.notices = TestData(plan, model);
  plan.QuietTest = false;
  if (plan.DataError) return outcome;
  if (!writeDatFile(kFitTestDataName, SaveData(model))) {
    outcome.notices.push_back(cannotWrite(kFitTestDataName));
    return outcome;
  }
  model.SingleStep = 1;
  model.CancelRequested = 0;
  const std::string control = std::string(kFitTestDataName) + "\r\n" + kFitTestReportName + "\r\n";
  if (!writeDatFile(kFitTestControlName, control)) {
    outcome.notices.push_back(cannotWrite(kFitTestControlName));
    return outcome;
  }
  outcome.ready = true;
  return outcome;
}

}  // namespace tarvolin::data_input
