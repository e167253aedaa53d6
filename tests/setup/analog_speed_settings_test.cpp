#include <gtest/gtest.h>

#include <string>

#include "setup/AnalogSpeedSettings.h"

namespace {

using namespace quelvar;

constexpr float kVZero = 2048.0f;
constexpr float kADMax = 4095.0f;

TEST(AnalogSpeedSettings, TheEditsShowTheMarksOwnCountsAndTheSharedValues) {
  WaveViewState v;
  v.MarkAnalSpeedNumP1 = 2;
  v.MarkAnalSpeedNumP2 = 3;
  v.MarkAnalSpeedNumS1 = 4;
  v.MarkAnalSpeedNumS2 = 5;
  v.MarkAnalSpeedThresholdV = 3000;
  v.MarkAnalSpeedScale = 0.125f;
  const AnalogSpeedEdits one = AnalogSpeedEditsOf(v, 1);
  const AnalogSpeedEdits two = AnalogSpeedEditsOf(v, 2);
  EXPECT_EQ(one.NumP, "2");
  EXPECT_EQ(one.NumS, "4");
  EXPECT_EQ(two.NumP, "3");
  EXPECT_EQ(two.NumS, "5");
  EXPECT_EQ(one.ThresholdV, "3000");
  EXPECT_EQ(one.Scale, "0.13");
  EXPECT_EQ(one.Units, "r/min");
}

TEST(AnalogSpeedSettings, ReadingBackClampsAndDefaults) {
  // The edits as typed, and what mark 1 keeps. Before: periods 3, points 7,
  // threshold 3000, scale 60.
  const struct {
    AnalogSpeedEdits edits;
    int32_t periods, points, threshold;
    float scale;
  } cases[] = {
      {{"0", "x", "100", "", "rpm"}, 1, 7, 2048, 1.0f},
      {{"4", "0", "5000", "2.5", "rpm"}, 4, 1, 4095, 2.5f},
      {{"abc", "9", "abc", "abc", "rpm"}, 3, 9, 3000, 1.0f},
      {{" 6 ", "-2", "3071", "-1e3", "rpm"}, 6, 1, 3071, -1000.0f},
      // A factor beyond a float's range would make every speed infinite.
      {{"3", "7", "2048", "1e300", "rpm"}, 3, 7, 2048, 1.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edits.NumP + "/" + c.edits.NumS + "/" + c.edits.ThresholdV + "/" + c.edits.Scale);
    WaveViewState v;
    v.MarkAnalSpeedNumP1 = 3;
    v.MarkAnalSpeedNumS1 = 7;
    v.MarkAnalSpeedNumP2 = 11;
    v.MarkAnalSpeedThresholdV = 3000;
    v.MarkAnalSpeedScale = 60.0f;
    ApplyAnalogSpeedEdits(c.edits, kVZero, kADMax, 1, v);
    EXPECT_EQ(v.MarkAnalSpeedNumP1, c.periods);
    EXPECT_EQ(v.MarkAnalSpeedNumS1, c.points);
    EXPECT_EQ(v.MarkAnalSpeedThresholdV, c.threshold);
    EXPECT_FLOAT_EQ(v.MarkAnalSpeedScale, c.scale);
    EXPECT_EQ(v.MarkSpeedUnit, "rpm");
    EXPECT_EQ(v.MarkAnalSpeedNumP2, 11);  // the other mark's count is untouched
  }
}

TEST(AnalogSpeedSettings, TheThresholdReadsAsAVoltage) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"3071", "等价电压2.5V"}, {"5000", "等价电压5.0V"}, {"abc", "等价电压0.0V"},
               {"2048", "等价电压0.0V"}, {"-7", "等价电压-5.0V"}, {"0", "等价电压-5.0V"}};
  for (const auto& c : cases) EXPECT_EQ(ThresholdVoltText(c.typed, kVZero, kADMax), c.shown) << c.typed;
  // Without a span between zero and full scale there is no voltage to show.
  EXPECT_EQ(ThresholdVoltText("3000", 2048.0f, 2048.0f), "等价电压0.0V");
}

}  // namespace
