#pragma once
// What both reader fuzz targets need besides the reader: a platform that shows nothing, counts
// the messages of one reading and stops the target on a message without text, and an echo
// writer nobody reads, opened once for the whole campaign.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/platform.h"
#include "base/text_file.h"

namespace tarvolin::fuzz {

class SilentPlatform : public Platform {
 public:
  MessageResult showMessage(MessageKind, const std::string&, const std::string& text,
                            MessageButtons) override {
    if (text.empty()) std::abort();
    ++messages;
    return MessageResult::Ok;
  }
  void processPendingEvents() override {}
  bool cancelRequested() override { return false; }
  bool hasProgressDisplay() override { return false; }
  void showProgress(const std::string&, const std::string&) override {}
  ClockReading now() override { return {}; }
  std::uint64_t tickCount() override { return 0; }

  int messages = 0;
};

inline TextWriter& nullEcho() {
  static TextWriter* const echo = [] {
    auto* writer = new TextWriter;
    if (!writer->create("/dev/null")) std::abort();
    return writer;
  }();
  return *echo;
}

}  // namespace tarvolin::fuzz
