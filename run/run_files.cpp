#include "run/run_files.h"

#include <array>
#include <cctype>
#include <filesystem>

#include "run/plot_files.h"

namespace tarvolin {

void RunFiles::closeAll() {
  input.reset();
  for (TextWriter* file : {&report, &pfp, &ttc, &rac, &echo, &fitted}) {
    try {
      file->close();
    } catch (const IoError&) {
    }
  }
}

namespace {

namespace fs = std::filesystem;

// The same file: one inode when both exist, else the same place once dots and links are
// resolved.
bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
  return fs::weakly_canonical(fs::absolute(a, error), error) ==
         fs::weakly_canonical(fs::absolute(b, error), error);
}

// A plot file the run writes beside its report: a plot base, then anything without a "." (a
// block or system number), then a plot file's extension. The files of all blocks take the
// report's name up to its first ".", those of one block up to its last.
bool isPlotFileOf(const std::string& path, const std::string& outputName) {
  std::error_code error;
  const fs::path file = fs::weakly_canonical(fs::absolute(path, error), error);
  const std::string name = file.filename().string();
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  static const std::array<const char*, 7> kPlotExtensions = {".PFP", ".TTC", ".RAC", ".ECP",
                                                            ".GAR", ".REG", ".BCP"};
  bool plotExtension = false;
  for (const char* extension : kPlotExtensions)
    plotExtension = plotExtension || name.compare(dot, std::string::npos, extension) == 0;
  if (!plotExtension) return false;
  for (const std::string& baseName : {plotFileBase(outputName), blockFileBase(outputName)}) {
    const fs::path base = fs::weakly_canonical(fs::absolute(baseName, error), error);
    const std::string prefix = base.filename().string();
    if (file.parent_path() == base.parent_path() && name.rfind(prefix, 0) == 0 &&
        dot >= prefix.size() && name.find('.', prefix.size()) == dot)
      return true;
  }
  return false;
}

}  // namespace

std::string runFileConflict(const std::string& input, const std::string& output) {
  for (const std::string* name : {&input, &output})
    if (name->find_first_of("\r\n") != std::string::npos)
      return "a file name holds a line break: '" + *name + "'";
  if (sameFile(input, output))
    return "the report '" + output + "' would overwrite the input '" + input + "'";
  for (const char* work : {kControlFileName, kInputCopyName, kEchoFileName, kFittedDataName}) {
    if (sameFile(input, work))
      return "the input '" + input + "' is the run's work file " + work + "; copy it first";
    if (sameFile(output, work))
      return "the report '" + output + "' would be the run's work file " + work;
  }
  if (isPlotFileOf(input, output))
    return "the input '" + input + "' is a plot file of the report '" + output + "'";
  return "";
}

std::string resultsFileConflict(const std::string& results, const std::string& input,
                                const std::string& output) {
  if (results.find_first_of("\r\n") != std::string::npos)
    return "a file name holds a line break: '" + results + "'";
  if (sameFile(results, input))
    return "the results file '" + results + "' would overwrite the input '" + input + "'";
  if (sameFile(results, output))
    return "the results file '" + results + "' would overwrite the report '" + output + "'";
  for (const char* work : {kControlFileName, kInputCopyName, kEchoFileName, kFittedDataName})
    if (sameFile(results, work))
      return "the results file '" + results + "' would be the run's work file " + work;
  return "";
}

std::string fileNamePart(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string plotFileBase(const std::string& outputName) {
  const auto nameStart = outputName.find_last_of('/');
  const std::size_t from = nameStart == std::string::npos ? 0 : nameStart + 1;
  const auto dot = outputName.find('.', from);
  return dot == std::string::npos ? outputName : outputName.substr(0, dot);
}

std::string upperExtension4(const std::string& fileName) {
  const std::string name = fileNamePart(fileName);
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return "";
  std::string ext = name.substr(dot, 4);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace tarvolin
