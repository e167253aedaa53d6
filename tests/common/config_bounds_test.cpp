#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "common/ConfigBounds.h"
#include "common/DisplayData.h"
#include "common/NumberFormat.h"

namespace {

using namespace quelvar;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(SamplesPerCycle, IsTheTruncatedRatioBetweenOneAndTheCap) {
  struct Case {
    float rate, acFrq;
    int32_t expected;
  } cases[] = {
      {600.0f, 50.0f, 12},
      {1010.0f, 50.0f, 20},
      {10000.0f, 16.7f, 598},
      {40.0f, 50.0f, 1},
      {600.0f, -50.0f, 1},
      {600.0f, 0.0f, kMaxSamplesPerCycle},  // only a configuration put back unchecked has these
      {0.0f, 0.0f, 1},
      {kNaN, 50.0f, 1},
      {600.0f, kNaN, 1},
      {600.0f, kInf, 1},
      {kInf, 50.0f, kMaxSamplesPerCycle},
      // The tiny frequency that overflowed the cycle products, and the
      // smallest frequency a configuration may carry at a fast card's rate.
      {10000.0f, 1.0e-30f, kMaxSamplesPerCycle},
      {1.0e6f, kMinACFrq, kMaxSamplesPerCycle},
      {2048.0f, 0.5f, 4096},
  };
  for (const auto& c : cases) EXPECT_EQ(SamplesPerCycleOf(c.rate, c.acFrq), c.expected) << c.rate << " / " << c.acFrq;
  // The cap keeps the algorithms' largest products of a cycle in 32 bits.
  EXPECT_LE(int64_t{9} * kMaxSamplesPerCycle, INT32_MAX);
}

TEST(ChannelRateBounds, MultipliersAndFrequenciesAtAndPastTheirBounds) {
  const int32_t multipliers[][2] = {{INT32_MIN, 1}, {0, 1}, {1, 1}, {kMaxMultiFreq, kMaxMultiFreq},
                                    {kMaxMultiFreq + 1, kMaxMultiFreq}, {INT32_MAX, kMaxMultiFreq}};
  for (const auto& m : multipliers) EXPECT_EQ(ClampMultiFreq(m[0]), m[1]) << m[0];

  const struct {
    float acFrq;
    bool inRange;
  } frequencies[] = {{kMinACFrq, true},  {std::nextafter(kMinACFrq, 0.0f), false}, {50.0f, true},
                     {kMaxACFrq, true},  {std::nextafter(kMaxACFrq, kInf), false},  {0.0f, false},
                     {-50.0f, false},    {kNaN, false},                              {kInf, false}};
  for (const auto& f : frequencies) EXPECT_EQ(ACFrqInRange(f.acFrq), f.inRange) << f.acFrq;
}

TEST(DisplayExtent, CountsInSixtyFourBitsAndSaysWhenTheyDoNotFit) {
  struct Case {
    int32_t blocks, numSamp, multi;
    int32_t rows, points;
    bool fits;
  } cases[] = {
      {200, 300, 1, 60000, 60000, true},
      {200, 300, 4, 60000, 240000, true},
      {0, 300, 4, 0, 0, true},
      {-3, 300, 4, 0, 0, true},
      {200, 300, 0, 60000, 60000, true},  // a multiplier below 1 counts as 1
      {1, INT32_MAX, 1, INT32_MAX, INT32_MAX, true},
      {1, INT32_MAX, 2, INT32_MAX, INT32_MAX, false},
      {65536, 32768, 1, INT32_MAX, INT32_MAX, false},  // rows alone past 2^31
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, false},
      {1000, 1000, kMaxMultiFreq, 1000000, INT32_MAX, false},
  };
  for (const Case& c : cases) {
    const DisplayExtent e = DisplayExtentOf(c.blocks, c.numSamp, c.multi);
    EXPECT_EQ(e.rows, c.rows) << c.blocks << " x " << c.numSamp << " x " << c.multi;
    EXPECT_EQ(e.points, c.points) << c.blocks << " x " << c.numSamp << " x " << c.multi;
    EXPECT_EQ(e.fits, c.fits) << c.blocks << " x " << c.numSamp << " x " << c.multi;
  }
}

TEST(SaturateToInt32, KeepsWhatFitsAndStopsAtTheLimits) {
  EXPECT_EQ(SaturateToInt32(0), 0);
  EXPECT_EQ(SaturateToInt32(-5), -5);
  EXPECT_EQ(SaturateToInt32(INT32_MAX), INT32_MAX);
  EXPECT_EQ(SaturateToInt32(int64_t{INT32_MAX} + 1), INT32_MAX);
  EXPECT_EQ(SaturateToInt32(INT32_MIN), INT32_MIN);
  EXPECT_EQ(SaturateToInt32(int64_t{INT32_MIN} - 1), INT32_MIN);
  EXPECT_EQ(SaturateToInt32(INT64_MAX), INT32_MAX);
}

}  // namespace
