#pragma once
// Times of the report banner and closing lines.

#include <string>

#include "base/platform.h"

namespace tarvolin {

// Two-letter day name, two blanks, day/month/year: "Su  6/12/2026".
std::string bannerDate(const ClockReading& t);
// hours:minutes:seconds.milliseconds, each part through TwoDigits: "09:05:07.42".
std::string clockText(const ClockReading& t);
// Elapsed time from start to end in the same form; a run that passes midnight (or several)
// counts the whole days between the two dates.
std::string elapsedText(const ClockReading& start, const ClockReading& end);

}  // namespace tarvolin
