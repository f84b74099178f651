#include "ui/results/plotting/curve_files.h"

#include "base/text_file.h"
#include "ui/results/plotting/plot_fields.h"

namespace tarvolin::plotting {

std::string cannotOpenMessage(const std::string& fileName) {
  return "Cannot open file '" + fileName + "'";
}

std::string tooManyPointsMessage(const std::string& fileName) {
  return "Impossible to plot the data: more than " + std::to_string(kCurveCapacity) +
         " points in file '" + fileName + "'";
}

std::string unreadableLineMessage(const std::string& fileName, std::size_t line) {
  return "Impossible to plot the data: cannot read line " + std::to_string(line) + " of file '" +
         fileName + "'";
}

CurveFile readCurveFile(const std::string& fileName, int parts, char separator) {
  CurveFile file;
  std::string text;
  if (!readWholeFile(fileName, text)) {
    file.message = cannotOpenMessage(fileName);
    return file;
  }
  const std::vector<std::string> lines = splitLines(text);
  std::size_t next = 0;
  // The next line holding fields; its 1-based number is next after the call.
  const auto nextFields = [&]() {
    while (next < lines.size()) {
      auto fields = splitFields(lines[next++]);
      if (!fields.empty()) return fields;
    }
    ++next;  // past the end: the missing line's number
    return std::vector<std::string_view>{};
  };

  const auto header = nextFields();
  const auto count = header.empty() ? std::nullopt : parsePlotInteger(header[0]);
  if (!count || *count < 0) {
    file.message = unreadableLineMessage(fileName, next);
    return file;
  }
  if (*count > kCurveCapacity) {
    file.message = tooManyPointsMessage(fileName);
    return file;
  }
  file.parts.resize(static_cast<std::size_t>(std::max(parts, 0)));
  for (CurvePoints& part : file.parts) {
    part.x.reserve(*count);
    part.y.reserve(*count);
    for (int i = 0; i < *count; ++i) {
      const auto fields = nextFields();
      const auto x = fields.size() >= 2 ? parsePlotReal(fields[0], separator) : std::nullopt;
      const auto y = fields.size() >= 2 ? parsePlotReal(fields[1], separator) : std::nullopt;
      if (!x || !y) {
        file.message = unreadableLineMessage(fileName, next);
        file.parts.clear();
        return file;
      }
      part.x.push_back(*x);
      part.y.push_back(*y);
    }
  }
  return file;
}

}  // namespace tarvolin::plotting
