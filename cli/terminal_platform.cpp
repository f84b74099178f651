#include "cli/terminal_platform.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace tarvolin::cli {

namespace {

volatile sig_atomic_t cancelSignalled = 0;

// The first Ctrl-C asks the fit to stop and report; a second one ends the program.
void onInterrupt(int) {
  if (cancelSignalled) {
    signal(SIGINT, SIG_DFL);
    raise(SIGINT);
    return;
  }
  cancelSignalled = 1;
}

}  // namespace

TerminalPlatform::TerminalPlatform() : progressOnTerminal_(isatty(STDERR_FILENO) == 1) {
  cancelSignalled = 0;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

TerminalPlatform::~TerminalPlatform() {
  finishProgress();
  signal(SIGINT, SIG_DFL);
}

MessageResult TerminalPlatform::showMessage(MessageKind, const std::string& caption,
                                            const std::string& text, MessageButtons buttons) {
  finishProgress();
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  // Nobody can answer on a headless run: questions take their affirmative answer.
  return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Yes;
}

bool TerminalPlatform::cancelRequested() { return cancelSignalled != 0; }

void TerminalPlatform::showProgress(const std::string& iteration, const std::string& value) {
  lastIteration_ = iteration;
  lastValue_ = value;
  if (!progressOnTerminal_) return;
  std::fprintf(stderr, "\r\033[KIteration: %s   Value of fitted function: %s", iteration.c_str(),
               value.c_str());
  std::fflush(stderr);
  progressShown_ = true;
}

void TerminalPlatform::finishProgress() {
  if (!progressShown_) return;
  std::fputc('\n', stderr);
  progressShown_ = false;
}

ClockReading TerminalPlatform::now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  ClockReading t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.dayOfWeek = local.tm_wday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
  return t;
}

std::uint64_t TerminalPlatform::tickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ULL +
         static_cast<std::uint64_t>(ts.tv_nsec);
}

}  // namespace tarvolin::cli
