#include "run/run_clock.h"

#include "base/number_format.h"

namespace tarvolin {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
long long daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long long millisecondsOf(const ClockReading& t) {
  const long long day = daysFromCivil(t.year, t.month, t.day);
  return ((day * 24 + t.hour) * 60 + t.minute) * 60000LL + t.second * 1000LL + t.millisecond;
}

std::string hms(long long hours, long long minutes, long long seconds, long long ms) {
  return fmt::twoDigits(static_cast<unsigned>(hours)) + ":" +
         fmt::twoDigits(static_cast<unsigned>(minutes)) + ":" +
         fmt::twoDigits(static_cast<unsigned>(seconds)) + "." +
         fmt::twoDigits(static_cast<unsigned>(ms));
}

}  // namespace

std::string bannerDate(const ClockReading& t) {
  static const char* const kDays[] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
  const char* day = (t.dayOfWeek >= 0 && t.dayOfWeek < 7) ? kDays[t.dayOfWeek] : "??";
  return std::string(day) + "  " + fmt::integer(t.day) + "/" + fmt::integer(t.month) + "/" +
         fmt::integer(t.year);
}

std::string clockText(const ClockReading& t) {
  return hms(t.hour, t.minute, t.second, t.millisecond);
}

std::string elapsedText(const ClockReading& start, const ClockReading& end) {
  long long ms = millisecondsOf(end) - millisecondsOf(start);
  if (ms < 0) ms = 0;  // a clock set back during the run
  const long long whole = ms / 1000;
  return hms(whole / 3600, (whole % 3600) / 60, whole % 60, ms % 1000);
}

}  // namespace tarvolin
