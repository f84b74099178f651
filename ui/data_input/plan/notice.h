#pragma once
// Messages of the data-input window as values: the window shows each in a message box with one
// OK button, in the order given, so that the logic needs no window system and tests read them.

#include <string>
#include <vector>

#include "base/platform.h"

namespace tarvolin::data_input {

struct Notice {
  MessageKind kind = MessageKind::Information;
  std::string text;
  bool operator==(const Notice&) const = default;
};

using Notices = std::vector<Notice>;

inline Notice informationNotice(std::string text) {
  return {MessageKind::Information, std::move(text)};
}
inline Notice warningNotice(std::string text) { return {MessageKind::Warning, std::move(text)}; }
inline Notice errorNotice(std::string text) { return {MessageKind::Error, std::move(text)}; }

}  // namespace tarvolin::data_input
