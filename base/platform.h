#pragma once
// The services the calculation core needs from whatever front end runs it: message boxes,
// processing of pending user events (so that Cancel can arrive during a long fit), the two
// progress read-outs, and the clock. The headless runner and the desktop program each
// implement this once; tests use a scripted fake.

#include <cstdint>
#include <string>

namespace tarvolin {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class MessageButtons { Ok, Yes, YesNo, YesNoCancel };
enum class MessageResult { Ok, Yes, No, Cancel };

// Local time of day with the calendar date; dayOfWeek counts from 0 = Sunday.
struct ClockReading {
  int year = 2000;
  int month = 1;
  int day = 1;
  int dayOfWeek = 6;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual MessageResult showMessage(MessageKind kind, const std::string& caption,
                                    const std::string& text, MessageButtons buttons) = 0;

  // Lets the front end handle what the user did meanwhile; a Cancel request is handed back
  // through cancelRequested() so that the core copies it into the run options.
  virtual void processPendingEvents() = 0;
  virtual bool cancelRequested() = 0;

  // The progress dialog's two read-outs: iteration (or trial) counter and objective value.
  virtual bool hasProgressDisplay() = 0;
  virtual void showProgress(const std::string& iteration, const std::string& value) = 0;

  virtual ClockReading now() = 0;
  // A fast-running counter for random seeds (performance counter or millisecond ticks).
  virtual std::uint64_t tickCount() = 0;
};

}  // namespace tarvolin
