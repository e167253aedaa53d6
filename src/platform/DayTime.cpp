#include "platform/DayTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace quelvar::platform {

namespace {

constexpr int64_t kUnixEpochDay = 25569;  // 1970-01-01
constexpr int64_t kMsPerDay = 86400000;
// About 820000 years either way: far beyond any date the program meets, small
// enough that years fit an int.
constexpr double kDayCountLimit = 3e8;

// Days since 1970-01-01 in the proleptic Gregorian calendar. Counting years
// from March puts the leap day last, so the month lengths follow a fixed
// 153-days-per-5-months pattern.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, CivilDateTime& out) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  out.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  out.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  out.year = static_cast<int>(yearOfEra + era * 400 + (out.month <= 2 ? 1 : 0));
}

CivilDateTime FromTm(const std::tm& tm, int milliseconds) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, milliseconds};
}

void AppendNumber(std::string& out, int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  out += text;
}

}  // namespace

double EncodeDayCount(const CivilDateTime& time) {
  const int64_t days = DaysFromCivil(time.year, time.month, time.day) + kUnixEpochDay;
  const int64_t ms =
      ((int64_t{time.hour} * 60 + time.minute) * 60 + time.second) * 1000 + time.millisecond;
  const double fraction = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  const double whole = static_cast<double>(days);
  return days >= 0 ? whole + fraction : whole - fraction;
}

CivilDateTime DecodeDayCount(double dayCount) {
  if (std::isnan(dayCount)) dayCount = 0;
  dayCount = std::clamp(dayCount, -kDayCountLimit, kDayCountLimit);
  const double whole = std::trunc(dayCount);
  int64_t days = static_cast<int64_t>(whole);
  int64_t ms = std::llround(std::fabs(dayCount - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {  // 23:59:59.9996 is the next day's midnight
    ms -= kMsPerDay;
    ++days;
  }
  CivilDateTime out;
  CivilFromDays(days - kUnixEpochDay, out);
  out.millisecond = static_cast<int>(ms % 1000);
  out.second = static_cast<int>(ms / 1000 % 60);
  out.minute = static_cast<int>(ms / 60000 % 60);
  out.hour = static_cast<int>(ms / 3600000);
  return out;
}

double NowDayCount() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return DayCountFromUnixTime(now.tv_sec, static_cast<int>(now.tv_nsec / 1000000));
}

double DayCountFromUnixTime(time_t seconds, int milliseconds) {
  seconds += milliseconds / 1000;
  milliseconds %= 1000;
  if (milliseconds < 0) {
    milliseconds += 1000;
    --seconds;
  }
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) {
    // Beyond what the C library can break down: count UTC days instead.
    return kUnixEpochDay + (static_cast<double>(seconds) + milliseconds / 1000.0) / 86400.0;
  }
  return EncodeDayCount(FromTm(local, milliseconds));
}

UnixTime UnixTimeFromDayCount(double dayCount) {
  const CivilDateTime time = DecodeDayCount(dayCount);
  std::tm local{};
  local.tm_year = time.year - 1900;
  local.tm_mon = time.month - 1;
  local.tm_mday = time.day;
  local.tm_hour = time.hour;
  local.tm_min = time.minute;
  local.tm_sec = time.second;
  local.tm_isdst = -1;  // let the zone rules decide
  return {mktime(&local), time.millisecond};
}

std::string FormatDayCount(double dayCount, std::string_view pattern) {
  const CivilDateTime t = DecodeDayCount(dayCount);
  std::string out;
  size_t i = 0;
  // Longest token first at each position; the pattern holds no quoting.
  auto take = [&](std::string_view token) {
    if (pattern.substr(i, token.size()) != token) return false;
    i += token.size();
    return true;
  };
  while (i < pattern.size()) {
    if (take("yyyy")) {
      AppendNumber(out, t.year, 4);
    } else if (take("yy")) {
      AppendNumber(out, (t.year % 100 + 100) % 100, 2);
    } else if (take("mm")) {
      AppendNumber(out, t.month, 2);
    } else if (take("m")) {
      AppendNumber(out, t.month, 1);
    } else if (take("dd")) {
      AppendNumber(out, t.day, 2);
    } else if (take("d")) {
      AppendNumber(out, t.day, 1);
    } else if (take("hh")) {
      AppendNumber(out, t.hour, 2);
    } else if (take("h")) {
      AppendNumber(out, t.hour, 1);
    } else if (take("nn")) {
      AppendNumber(out, t.minute, 2);
    } else if (take("n")) {
      AppendNumber(out, t.minute, 1);
    } else if (take("ss")) {
      AppendNumber(out, t.second, 2);
    } else if (take("s")) {
      AppendNumber(out, t.second, 1);
    } else if (take("zzz")) {
      AppendNumber(out, t.millisecond, 3);
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

std::string FileStampText(double dayCount) { return FormatDayCount(dayCount, "yyyymmddhhnnss"); }

std::string PageStampText(double dayCount) { return FormatDayCount(dayCount, "yyyy-mm-dd hh:nn:ss"); }

std::string NowStampText() { return PageStampText(NowDayCount()); }

}  // namespace quelvar::platform
