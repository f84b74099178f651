#pragma once
// A platform that passes every service on to the front end's and keeps what a run's results
// record needs: the last message shown (a failed run's reason), and the number and the last of
// the progress reports, which the fitting methods make once per gradient or simplex iteration
// and once per Monte Carlo trial.

#include <string>

#include "base/platform.h"

namespace tarvolin {

class PlatformRecorder : public Platform {
 public:
  explicit PlatformRecorder(Platform& frontEnd) : frontEnd_(frontEnd) {}

  MessageResult showMessage(MessageKind kind, const std::string& caption, const std::string& text,
                            MessageButtons buttons) override {
    lastMessage = caption + ": " + text;
    return frontEnd_.showMessage(kind, caption, text, buttons);
  }
  void processPendingEvents() override { frontEnd_.processPendingEvents(); }
  bool cancelRequested() override { return frontEnd_.cancelRequested(); }
  // Progress is always taken, to be counted; it is shown where the front end shows it.
  bool hasProgressDisplay() override { return true; }
  void showProgress(const std::string& iteration, const std::string& value) override {
    ++progressReports;
    lastIteration = iteration;
    lastValue = value;
    if (frontEnd_.hasProgressDisplay()) frontEnd_.showProgress(iteration, value);
  }
  ClockReading now() override { return frontEnd_.now(); }
  std::uint64_t tickCount() override { return frontEnd_.tickCount(); }

  std::string lastMessage;  // "Caption: text"; empty while none was shown
  long long progressReports = 0;
  std::string lastIteration, lastValue;  // the last progress report's two read-outs

 private:
  Platform& frontEnd_;
};

}  // namespace tarvolin
