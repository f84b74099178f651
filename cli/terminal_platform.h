#pragma once
// The platform services for a terminal: messages on stderr as "Caption: text", progress as one
// updating line on stderr when stderr is a terminal, Ctrl-C as the Cancel command.

#include "base/platform.h"

namespace tarvolin::cli {

class TerminalPlatform : public Platform {
 public:
  TerminalPlatform();
  ~TerminalPlatform() override;

  MessageResult showMessage(MessageKind kind, const std::string& caption, const std::string& text,
                            MessageButtons buttons) override;
  void processPendingEvents() override {}
  bool cancelRequested() override;
  // Progress is always taken (the last reading tells where a cancelled fit stopped); it is
  // shown only on a terminal.
  bool hasProgressDisplay() override { return true; }
  void showProgress(const std::string& iteration, const std::string& value) override;
  ClockReading now() override;
  std::uint64_t tickCount() override;

  // Ends the progress line, if one is shown.
  void finishProgress();
  // The last iteration (or trial) counter and objective value the fit reported.
  const std::string& lastIteration() const { return lastIteration_; }
  const std::string& lastValue() const { return lastValue_; }

 private:
  bool progressOnTerminal_ = false;
  bool progressShown_ = false;
  std::string lastIteration_;
  std::string lastValue_;
};

}  // namespace tarvolin::cli
