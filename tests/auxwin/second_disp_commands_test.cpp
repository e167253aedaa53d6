#include <gtest/gtest.h>

#include "auxwin/SecondDispCommands.h"
#include "view/DisplayLayout.h"

namespace quelvar {
namespace {

// One view's marks shown by the other view, over views at several zooms:
// the receiver shows exactly the points between the sender's marks, held
// within the data and never narrower than two points.
struct MappingCase {
  const char* what;
  int32_t xPosition, displayWidth, mark1, mark2;
  int32_t dispPoints;
  int32_t first, count;  // what the receiving view shows
};

TEST(SecondDispMarkMapping, TheOtherViewShowsThePointsBetweenTheMarks) {
  const MappingCase cases[] = {
      {"marks 30 and 10 of a screen from 1000", 1000, 100, 30, 10, 4800, 1009, 21},
      {"both marks at 40 of 100 points: to the right edge", 0, 100, 40, 40, 4800, 39, 61},
      {"whole data on one screen", 0, 4800, 1, 4800, 4800, 0, 4800},
      {"16 times zoomed", 3900, 300, 12, 250, 4800, 3911, 239},
      {"a long screen", 100, 40000, 500, 30000, 48000, 599, 29501},
      {"adjacent marks", 200, 50, 7, 8, 4800, 206, 2},
      // A single point cannot be spread over a screen: two at least.
      {"both marks at the right edge", 0, 100, 100, 100, 4800, 99, 2},
      // A range reaching past the data is pulled back into them.
      {"marks past the end of shorter data", 4000, 1000, 500, 1000, 4800, 4299, 501},
      {"more points than the data hold", 0, 9000, 1, 9000, 4800, 0, 4800},
  };
  for (const MappingCase& c : cases) {
    WaveViewState from;
    from.XPosition = c.xPosition;
    from.DisplayWidth = c.displayWidth;
    from.Mark1X = c.mark1;
    from.Mark2X = c.mark2;
    WaveViewState to;
    ASSERT_TRUE(TakeXWindow(to, MarksWindow(from), 1, c.dispPoints)) << c.what;
    EXPECT_EQ(to.XPosition, c.first) << c.what;
    EXPECT_EQ(to.DisplayWidth, c.count) << c.what;
    EXPECT_GE(to.DisplayWidth, 2) << c.what;
  }
}

TEST(SecondDispMarkMapping, NothingChangesWithoutData) {
  WaveViewState to;
  to.XPosition = 17;
  to.DisplayWidth = 99;
  EXPECT_FALSE(TakeXWindow(to, {5, 10}, 0, 4800));
  EXPECT_EQ(to.XPosition, 17);
  EXPECT_EQ(to.DisplayWidth, 99);
}

TEST(SecondDispWidths, LayoutRebuild) {
  struct Case {
    int32_t xZoom;
    bool anyCount;
    int32_t width, dispPoints, expected;
  } cases[] = {
      {4, false, 100, 8, 10},                                    // fewer points than a screen: 10 wins
      {4, false, 100, 4800, 1200},  {16, true, 700, 4800, 700},  // the any count keeps its width
      {16, true, 7000, 4800, 4800},                              // but not past the data
      {0, false, 100, 4800, 4800},                               // a zero zoom divides by one
  };
  for (const Case& c : cases) {
    WaveViewState view;
    view.XZoom = c.xZoom;
    view.DisplayWidth = c.width;
    FitPointsPerScreen(view, c.dispPoints, c.anyCount);
    EXPECT_EQ(view.DisplayWidth, c.expected) << c.xZoom << " " << c.anyCount << " " << c.width << " " << c.dispPoints;
  }
  EXPECT_EQ(PresetDisplayWidth(4800, 16), 300);
  EXPECT_EQ(PresetDisplayWidth(40, 8), 10);
  EXPECT_EQ(PresetDisplayWidth(4800, 0), 4800);
  EXPECT_EQ(XLargeStep(1000), 900);
  EXPECT_EQ(XLargeStep(1000000), 65535);
}

TEST(SecondDispRedraw, OnlyWithDataRequestAndShownWindow) {
  for (int valid = 0; valid <= 2; ++valid) {
    for (int requested = 0; requested <= 1; ++requested) {
      for (int visible = 0; visible <= 1; ++visible) {
        EXPECT_EQ(SecondDispRedrawDue(valid, requested, visible), valid == 1 && requested == 1 && visible == 1)
            << valid << requested << visible;
      }
    }
  }
}

TEST(SecondDispCommands, PointCountAnswer) {
  EXPECT_EQ(PointCountAnswer("250", 100), 250);
  EXPECT_EQ(PointCountAnswer("25x", 100), 100);
  EXPECT_EQ(PointCountAnswer("", 100), 100);
  EXPECT_EQ(PointCountAnswer("99999999999", 100), 100);
}

}  // namespace
}  // namespace quelvar
