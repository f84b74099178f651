#pragma once
// Text of a system in the DAT layout, collected line by line: lists run ten values to a line,
// each value followed by ",".

#include <string>
#include <utility>
#include <vector>

namespace tarvolin {

class DatLines {
 public:
  void line(std::string text) { lines_.push_back(std::move(text)); }

  // Values 1..count formatted by format(k), a line break after every tenth and after the last.
  template <typename Format>
  void list(int count, Format format) {
    std::string text;
    for (int k = 1; k <= count; ++k) {
      text += format(k) + ",";
      if (k % 10 == 0 || k == count) {
        lines_.push_back(text);
        text.clear();
      }
    }
  }

  // The lines with CR LF ends. The system's last value ends its line directly, without ",":
  // the next system's title is the line after it.
  std::string text() {
    if (!lines_.empty() && !lines_.back().empty() && lines_.back().back() == ',')
      lines_.back().pop_back();
    std::string out;
    for (const std::string& l : lines_) out += l + "\r\n";
    return out;
  }

 private:
  std::vector<std::string> lines_;
};

}  // namespace tarvolin
