#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "analysis/Playback.h"

namespace {

using namespace quelvar;

TEST(Playback, AStepIsAFractionOfTheScreenRoundedDownAndAtLeastOnePoint) {
  struct Case {
    int32_t width, inc, step;
  };
  const Case cases[] = {{19, 10, 1}, {100, 9, 11}, {1000, 2, 500}, {5, 9, 1}, {1, 10, 1}};
  for (const Case& c : cases) EXPECT_EQ(PlaybackStep(c.width, c.inc), c.step) << c.width << "/" << c.inc;
}

TEST(Playback, EachDirectionStopsExactlyAtItsEndOfTheData) {
  struct Case {
    const char* name;
    int32_t direction, position, step, points, width;
    int32_t expected;
    bool stop;
  };
  const Case cases[] = {
      {"earlier, in the middle", kPlayEarlier, 500, 100, 2000, 400, 400, false},
      {"earlier, reaching 0 exactly", kPlayEarlier, 100, 100, 2000, 400, 0, true},
      {"earlier, passing 0", kPlayEarlier, 30, 100, 2000, 400, 0, true},
      {"earlier, from the first screen", kPlayEarlier, 0, 100, 2000, 400, 0, true},
      {"later, in the middle", kPlayLater, 500, 100, 2000, 400, 600, false},
      {"later, reaching the last screen", kPlayLater, 1500, 100, 2000, 400, 1600, true},
      {"later, passing the last screen", kPlayLater, 1550, 100, 2000, 400, 1600, true},
      {"later, near the 32-bit limit", kPlayLater, INT32_MAX - 10, 100, INT32_MAX, 5, INT32_MAX - 5, true},
  };
  for (const Case& c : cases) {
    const PlaybackMove m = PlaybackTick(c.direction, c.position, c.step, c.points, c.width);
    EXPECT_EQ(m.position, c.expected) << c.name;
    EXPECT_EQ(m.stop, c.stop) << c.name;
  }
}

TEST(Playback, MendedDataShorterThanTheScreenNeverMoveToANegativePosition) {
  for (int32_t direction : {kPlayEarlier, kPlayLater}) {
    const PlaybackMove m = PlaybackTick(direction, 0, 1, 6, 10);
    EXPECT_EQ(m.position, 0) << direction;
    EXPECT_TRUE(m.stop) << direction;
  }
}

TEST(Playback, StartIsRefusedWithoutDataAndWhileAcquiring) {
  EXPECT_EQ(PlayStartRefusal(1, 0), std::nullopt);
  EXPECT_EQ(PlayStartRefusal(0, 0), "警告：无波形可显示!");
  EXPECT_EQ(PlayStartRefusal(0, 1), "警告：无波形可显示!");
  EXPECT_EQ(PlayStartRefusal(1, 1), "警告：采集过程中不能持续显示波形!");
  EXPECT_EQ(PlayStartRefusal(1, 2), "警告：采集过程中不能持续显示波形!");
}

TEST(Playback, SpeedAndSettingsStayWithinTheirBounds) {
  EXPECT_EQ(FasterPlayInterval(500), 250);
  EXPECT_EQ(FasterPlayInterval(301), 150);
  EXPECT_EQ(FasterPlayInterval(100), 100);
  EXPECT_EQ(SlowerPlayInterval(500), 1000);
  EXPECT_EQ(SlowerPlayInterval(8000), 10000);
  struct Case {
    std::optional<std::string> answer;
    int32_t current, interval, inc;
  };
  const Case cases[] = {
      {"250", 500, 250, 10},      {" 40 ", 500, 100, 10},     {"20000", 500, 10000, 10},
      {"3", 7, 100, 3},           {"1", 7, 100, 2},           {"abc", 700, 700, 10},
      {"2.5", 700, 700, 10},      {std::nullopt, 700, 700, 10}, {"", 9, 100, 9},
      {"x", 5, 100, 5},
  };
  for (const Case& c : cases) {
    const std::string label = c.answer.value_or("<cancel>");
    EXPECT_EQ(PlayIntervalFromAnswer(c.answer, c.current), c.interval) << label;
    EXPECT_EQ(PlayIncFromAnswer(c.answer, c.current), c.inc) << label;
  }
  EXPECT_EQ(PlayIntervalCaption(250), "播放时间间隔(250ms)");
  EXPECT_EQ(PlayIncCaption(4), "每次移动整屏的1/4");
}

}  // namespace
