#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace quelvar::platform {

// Dates and times are day counts: days since 1899-12-30 00:00 local time, the
// fraction being the time of day. Before that day the integer part is still
// the day and the fraction's magnitude the time from midnight: -1.25 is
// 1899-12-29 06:00.

struct CivilDateTime {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  bool operator==(const CivilDateTime&) const = default;
};

// Fields must be in their ranges; years are proleptic Gregorian.
double EncodeDayCount(const CivilDateTime& time);

// Rounds to the nearest millisecond, carrying into the next second, minute,
// hour and day. NaN decodes as day 0; values beyond about +-800000 years are
// clamped there so that the calendar arithmetic stays defined.
CivilDateTime DecodeDayCount(double dayCount);

// Current local time.
double NowDayCount();

// Unix time (seconds since 1970-01-01 UTC) <-> local day count.
double DayCountFromUnixTime(time_t seconds, int milliseconds);
struct UnixTime {
  time_t seconds = 0;
  int milliseconds = 0;  // 0..999
};
UnixTime UnixTimeFromDayCount(double dayCount);

// Pattern tokens (lower case only): yyyy yy  mm m (month)  dd d  hh h
// nn n (minute)  ss s  zzz (milliseconds). Anything else is copied.
std::string FormatDayCount(double dayCount, std::string_view pattern);

// "yyyymmddhhnnss", used in file names.
std::string FileStampText(double dayCount);
// "yyyy-mm-dd hh:nn:ss", printed on report pages.
std::string PageStampText(double dayCount);
// Now, in the same form: the time stamps of the run log.
std::string NowStampText();

}  // namespace quelvar::platform
