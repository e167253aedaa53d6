#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "platform/DayTime.h"

namespace quelvar::platform {

// Readable failure messages; found by argument-dependent lookup.
void PrintTo(const CivilDateTime& t, std::ostream* os) {
  *os << t.year << '-' << t.month << '-' << t.day << ' ' << t.hour << ':' << t.minute << ':'
      << t.second << '.' << t.millisecond;
}

namespace {

TEST(DayCount, DecodeTable) {
  struct Case {
    double dayCount;
    CivilDateTime expected;
  };
  const Case cases[] = {
      {0.0, {1899, 12, 30, 0, 0, 0, 0}},
      {1.5, {1899, 12, 31, 12, 0, 0, 0}},
      {2.0, {1900, 1, 1, 0, 0, 0, 0}},
      {61.0, {1900, 3, 1, 0, 0, 0, 0}},  // 1900 has no leap day
      {25569.0, {1970, 1, 1, 0, 0, 0, 0}},
      {45000.573263889, {2023, 3, 15, 13, 45, 30, 0}},
      {45351.0, {2024, 2, 29, 0, 0, 0, 0}},
      {-1.25, {1899, 12, 29, 6, 0, 0, 0}},
      {-0.5, {1899, 12, 30, 12, 0, 0, 0}},  // day 0, time 12:00
      {-693593.0, {1, 1, 1, 0, 0, 0, 0}},
      {2958465.0, {9999, 12, 31, 0, 0, 0, 0}},
      // Rounding to the millisecond carries upward through every field.
      {0.99999999999, {1899, 12, 31, 0, 0, 0, 0}},
      {-1.99999999999, {1899, 12, 30, 0, 0, 0, 0}},
      {45000 + 59999.6 / 86400000, {2023, 3, 15, 0, 1, 0, 0}},
      {45291 + 86399999.6 / 86400000, {2024, 1, 1, 0, 0, 0, 0}},
      {45351.999999999, {2024, 3, 1, 0, 0, 0, 0}},
      {45000 + 1234.4 / 86400000, {2023, 3, 15, 0, 0, 1, 234}},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeDayCount(c.dayCount), c.expected) << c.dayCount;
}

TEST(DayCount, EncodeExactValues) {
  EXPECT_EQ(EncodeDayCount({1899, 12, 30, 0, 0, 0, 0}), 0.0);
  EXPECT_EQ(EncodeDayCount({1900, 1, 1, 0, 0, 0, 0}), 2.0);
  EXPECT_EQ(EncodeDayCount({1970, 1, 1, 0, 0, 0, 0}), 25569.0);
  EXPECT_EQ(EncodeDayCount({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  EXPECT_EQ(EncodeDayCount({1899, 12, 31, 18, 0, 0, 0}), 1.75);
  EXPECT_NEAR(EncodeDayCount({2023, 3, 15, 13, 45, 30, 0}), 45000.573263889, 1e-9);
}

TEST(DayCount, EncodeDecodeRoundTrip) {
  const CivilDateTime times[] = {
      {2004, 6, 6, 12, 1, 30, 250},   {2024, 2, 29, 23, 59, 59, 999}, {1899, 12, 30, 23, 59, 59, 999},
      {1899, 12, 29, 6, 0, 0, 0},     {1600, 2, 29, 7, 8, 9, 10},     {1800, 1, 1, 12, 34, 56, 789},
      {1, 1, 1, 0, 0, 0, 1},          {9999, 12, 31, 23, 59, 59, 999}, {2000, 2, 29, 0, 0, 0, 0},
      {2100, 3, 1, 1, 2, 3, 4},       {1970, 1, 1, 0, 0, 0, 0},
  };
  for (const CivilDateTime& t : times) {
    const double dayCount = EncodeDayCount(t);
    EXPECT_EQ(DecodeDayCount(dayCount), t) << dayCount;
  }
}

TEST(DayCount, NonFiniteAndHugeValuesDecodeWithoutOverflow) {
  const CivilDateTime zero{1899, 12, 30, 0, 0, 0, 0};
  EXPECT_EQ(DecodeDayCount(std::numeric_limits<double>::quiet_NaN()), zero);
  EXPECT_EQ(DecodeDayCount(std::numeric_limits<double>::infinity()), DecodeDayCount(3e8));
  EXPECT_EQ(DecodeDayCount(-1e300), DecodeDayCount(-3e8));
  EXPECT_GT(DecodeDayCount(1e300).year, 800000);
}

TEST(DayCountText, PatternTokens) {
  struct Case {
    CivilDateTime time;
    const char* pattern;
    const char* expected;
  };
  const Case cases[] = {
      {{2004, 6, 6, 12, 1, 30, 0}, "yy-m-d hh:nn:ss", "04-6-6 12:01:30"},
      {{2004, 6, 6, 9, 5, 7, 45}, "yyyy/mm/dd h:n:s.zzz", "2004/06/06 9:5:7.045"},
      {{2009, 11, 23, 19, 59, 8, 0}, "hh:mm", "19:11"},  // mm is the month, even after hh
      {{2009, 11, 23, 19, 59, 8, 0}, "[ ]_", "[ ]_"},
      {{1, 2, 3, 4, 5, 6, 7}, "yyyy yy", "0001 01"},
      {{2023, 3, 15, 13, 45, 30, 0}, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDayCount(EncodeDayCount(c.time), c.pattern), c.expected) << c.pattern;
  }
}

TEST(DayCountText, Stamps) {
  EXPECT_EQ(FileStampText(45000.573263889), "20230315134530");
  EXPECT_EQ(PageStampText(45000.573263889), "2023-03-15 13:45:30");
  EXPECT_EQ(PageStampText(0.0), "1899-12-30 00:00:00");
}

// Conversions through the C library's local time: each test sets TZ inside the
// process and puts the old value back.
class LocalTimeZone : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
  }
  void TearDown() override {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  static void Use(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

TEST_F(LocalTimeZone, UnixTimeInUtc) {
  Use("UTC");
  EXPECT_EQ(DayCountFromUnixTime(0, 0), 25569.0);
  EXPECT_EQ(DayCountFromUnixTime(43200, 0), 25569.5);
  EXPECT_EQ(DecodeDayCount(DayCountFromUnixTime(0, 1500)), (CivilDateTime{1970, 1, 1, 0, 0, 1, 500}));
  EXPECT_EQ(DecodeDayCount(DayCountFromUnixTime(0, -1)), (CivilDateTime{1969, 12, 31, 23, 59, 59, 999}));
  EXPECT_EQ(FileStampText(DayCountFromUnixTime(1678887930, 0)), "20230315134530");

  const UnixTime back = UnixTimeFromDayCount(EncodeDayCount({2023, 3, 15, 13, 45, 30, 250}));
  EXPECT_EQ(back.seconds, 1678887930);
  EXPECT_EQ(back.milliseconds, 250);
}

TEST_F(LocalTimeZone, UnixTimeEastOfUtc) {
  Use("CST-8");  // UTC+8, no tzdata needed
  EXPECT_EQ(PageStampText(DayCountFromUnixTime(0, 0)), "1970-01-01 08:00:00");
  EXPECT_EQ(UnixTimeFromDayCount(25569.0).seconds, -8 * 3600);
  EXPECT_EQ(FileStampText(DayCountFromUnixTime(1678887930, 0)), "20230315214530");
}

TEST_F(LocalTimeZone, UnixTimeFollowsDaylightSaving) {
  Use("CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_EQ(PageStampText(DayCountFromUnixTime(1672531200, 0)), "2023-01-01 01:00:00");
  EXPECT_EQ(PageStampText(DayCountFromUnixTime(1688212800, 0)), "2023-07-01 14:00:00");
  EXPECT_EQ(UnixTimeFromDayCount(EncodeDayCount({2023, 7, 1, 14, 0, 0, 0})).seconds, 1688212800);
  EXPECT_EQ(UnixTimeFromDayCount(EncodeDayCount({2023, 1, 1, 1, 0, 0, 0})).seconds, 1672531200);
}

TEST_F(LocalTimeZone, UnixTimeWithZoneDatabase) {
  Use("Asia/Shanghai");
  std::tm probe{};
  const time_t epoch = 0;
  localtime_r(&epoch, &probe);
  if (probe.tm_gmtoff != 8 * 3600) GTEST_SKIP() << "tzdata for Asia/Shanghai not installed";
  for (const time_t t : {time_t{0}, time_t{1678887930}, time_t{-2000000000}, time_t{4102444800}}) {
    const UnixTime back = UnixTimeFromDayCount(DayCountFromUnixTime(t, 123));
    EXPECT_EQ(back.seconds, t);
    EXPECT_EQ(back.milliseconds, 123);
  }
}

TEST_F(LocalTimeZone, NowLiesBetweenTwoClockReadings) {
  Use("UTC");
  const time_t before = std::time(nullptr);
  const double now = NowDayCount();
  const time_t after = std::time(nullptr);
  EXPECT_GE(now, DayCountFromUnixTime(before, 0));
  EXPECT_LT(now, DayCountFromUnixTime(after + 1, 0));
}

}  // namespace
}  // namespace quelvar::platform
