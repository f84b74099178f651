#include "run/run_files.h"

#include <cctype>

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
