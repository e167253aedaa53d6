#include <gtest/gtest.h>

#include <string>

#include "view/YScaling.h"

namespace {

using namespace quelvar;

// Per preset: its half range of the offset bar and its two neighbours.
struct PresetCase {
  int32_t gain;
  int32_t halfRange;
  int32_t smaller;
  int32_t larger;
};

TEST(YScaling, EachPresetHasItsRangeAndNeighbours) {
  const PresetCase cases[] = {
      {1, 1, 1, 2},           {2, 3, 1, 5},           {5, 10, 2, 10},        {10, 23, 5, 20},
      {20, 48, 10, 50},       {50, 123, 20, 100},     {100, 248, 50, 200},   {200, 498, 100, 500},
      {500, 1248, 200, 1000}, {1000, 2498, 500, 2000}, {2000, 4998, 1000, 2000},
  };
  ASSERT_EQ(std::size(cases), kYZoomPresets.size());
  for (size_t i = 0; i < std::size(cases); ++i) {
    const PresetCase& c = cases[i];
    SCOPED_TRACE(c.gain);
    EXPECT_EQ(kYZoomPresets[i], c.gain);
    EXPECT_EQ(YZoomPresetIndex(c.gain), static_cast<int>(i));
    EXPECT_EQ(YOffsetHalfRange(c.gain), c.halfRange);
    EXPECT_EQ(NextSmallerYZoom(c.gain), c.smaller);
    EXPECT_EQ(NextLargerYZoom(c.gain), c.larger);
  }
  for (int32_t notAPreset : {0, 3, 2001, -1}) EXPECT_EQ(YZoomPresetIndex(notAPreset), -1) << notAPreset;
}

struct RescaleCase {
  int32_t position, newGain, oldGain, expected;
};

TEST(YScaling, TheOffsetBarKeepsItsPlaceInThePicture) {
  const RescaleCase cases[] = {
      {20, 20, 10, 40},          // enlarged
      {40, 10, 20, 20},          // reduced
      {-7, 5, 10, -3},           // integer division toward zero
      {7, 1, 2, 3},              //
      {4998, 2000, 2000, 4998},  // unchanged gain
      {0, 2000, 1, 0},           //
      {-1, 2000, 1, -2000},      // beyond int16, still exact
      {5, 10, 0, 5},             // no old gain: left as it is
  };
  for (const RescaleCase& c : cases) {
    EXPECT_EQ(RescaledYOffsetPosition(c.position, c.newGain, c.oldGain), c.expected)
        << c.position << " " << c.newGain << "/" << c.oldGain;
  }
}

TEST(YScaling, GraduationAnswersBelowThreeOrNotANumberGiveFive) {
  const std::pair<std::string, int32_t> cases[] = {
      {"8", 8},   {"3", 3},     {"2", 5},      {"0", 5},          {"-4", 5},     {"", 5},
      {"abc", 5}, {"7x", 5},    {"4.5", 5},    {" 12 ", 12},      {"+6", 6},     {"1000", 1000},
      {"1001", 1000},           {"99999999999999999999", 1000},   {"-99999999999999999999", 5},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(GraduationCountAnswer(text), expected) << "'" << text << "'";
}

}  // namespace
