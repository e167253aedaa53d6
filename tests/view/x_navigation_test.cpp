// Rules of the navigation along the time axis: the range between the marks,
// a window held within the data, the compress and expand steps, the walk
// through the view history and the two time-axis switches.
#include <gtest/gtest.h>

#include <climits>

#include "common/WaveViewState.h"
#include "view/DisplayReading.h"
#include "view/XNavigation.h"

namespace {

using namespace quelvar;

struct MarkCase {
  const char* what;
  int32_t xPosition, displayWidth, mark1X, mark2X, dispPoints;
  XWindow shown;
};

TEST(XNavigation, BetweenTheMarksShowsTheirRangeHeldWithinTheDataAndAtLeastTwoPointsWide) {
  const MarkCase cases[] = {
      {"mark 2 left of mark 1", 500, 100, 40, 10, 3000, {509, 31}},
      {"mark 1 left of mark 2", 500, 100, 10, 40, 3000, {509, 31}},
      {"coinciding marks: to the right edge", 0, 100, 60, 60, 3000, {59, 41}},
      {"adjacent marks", 200, 100, 7, 8, 3000, {206, 2}},
      // Mended: the range is held to the data and never below two points.
      {"coinciding at the right edge", 900, 100, 100, 100, 1000, {998, 2}},
      {"coinciding beyond the screen", 0, 100, 150, 150, 1000, {149, 2}},
      {"a mark beyond the data", 900, 100, 5, 3000, 1000, {0, 1000}},
      {"range past the end of the data", 950, 50, 10, 40, 970, {939, 31}},
      {"data shorter than two points", 0, 10, 3, 3, 1, {0, 2}},
      {"no data", 0, 10, 1, 5, 0, {0, 2}},
      {"extreme positions saturate", INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, 500, {0, 500}},
  };
  for (const MarkCase& c : cases) {
    const XWindow raw = RangeBetweenMarks(c.xPosition, c.displayWidth, c.mark1X, c.mark2X);
    const XWindow shown = BoundXWindowToData(raw, c.dispPoints);
    EXPECT_EQ(shown.first, c.shown.first) << c.what;
    EXPECT_EQ(shown.count, c.shown.count) << c.what;
  }
}

struct WindowCase {
  XWindow asked;
  int32_t dispPoints;
  XWindow shown;
};

TEST(XNavigation, AGivenWindowIsHeldWithinTheDataAndAtLeastTwoPointsWide) {
  const WindowCase cases[] = {
      {{100, 50}, 1000, {100, 50}},  {{0, 1000}, 1000, {0, 1000}},  {{950, 50}, 1000, {950, 50}},
      {{990, 50}, 1000, {950, 50}},  {{-20, 50}, 1000, {0, 50}},    {{10, 1}, 1000, {10, 2}},
      {{10, 0}, 1000, {10, 2}},      {{10, -7}, 1000, {10, 2}},     {{0, 5000}, 1000, {0, 1000}},
      {{999, 1}, 1000, {998, 2}},    {{5, 3}, 0, {0, 2}},           {{INT32_MAX, INT32_MAX}, 30, {0, 30}},
  };
  for (const WindowCase& c : cases) {
    EXPECT_EQ(BoundXWindowToData(c.asked, c.dispPoints), c.shown)
        << c.asked.first << "+" << c.asked.count << " of " << c.dispPoints;
  }
}

struct StepCase {
  int32_t checked, width, dispPoints;
  XZoomStep compress, expand;
};

TEST(XNavigation, CompressAndExpandStepFromTheCheckedItem) {
  using K = XZoomStep::Kind;
  const StepCase cases[] = {
      {1, 3000, 3000, {K::Nothing, 0}, {K::Preset, 2}},
      {2, 1500, 3000, {K::Preset, 1}, {K::Preset, 4}},
      {4, 750, 3000, {K::Preset, 2}, {K::Preset, 8}},
      {8, 375, 3000, {K::Preset, 4}, {K::Preset, 16}},
      // From the 16-times preset, expanding halves the width.
      {16, 187, 3000, {K::Preset, 8}, {K::AnyCount, 93}},
      {kXZoomAnyCount, 2000, 3000, {K::AnyCount, 3000}, {K::AnyCount, 1000}},
      {kXZoomAnyCount, 15, 3000, {K::AnyCount, 30}, {K::AnyCount, 10}},
      {kXZoomAnyCount, 12, 5, {K::AnyCount, 10}, {K::AnyCount, 10}},
      {kXZoomAnyCount, INT32_MAX, 3000, {K::AnyCount, 3000}, {K::AnyCount, 3000}},
      {0, 100, 3000, {K::Nothing, 0}, {K::Nothing, 0}},
  };
  for (const StepCase& c : cases) {
    EXPECT_EQ(CompressStep(c.checked, c.width, c.dispPoints), c.compress) << "compress " << c.checked << "/" << c.width;
    EXPECT_EQ(ExpandStep(c.checked, c.width, c.dispPoints), c.expand) << "expand " << c.checked << "/" << c.width;
  }
}

TEST(XNavigation, AnyCountIsBoundedByTheDataThenRaisedToTen) {
  EXPECT_EQ(AnyCountWidth(5, 3000), 10);
  EXPECT_EQ(AnyCountWidth(100000, 3000), 3000);
  EXPECT_EQ(AnyCountWidth(100, 5), 10);
  EXPECT_EQ(AnyCountWidth(int64_t{INT32_MAX} * 2, INT32_MAX), INT32_MAX);
}

// A history that began with the start window (0, 1000) and then showed the
// given windows, one repaint each.
WaveViewState HistoryOf(std::initializer_list<XWindow> windows) {
  WaveViewState v;
  v.XPosition = 0;
  v.DisplayWidth = 1000;
  FillViewHistory(v);
  for (const XWindow& w : windows) {
    v.XPosition = w.first;
    v.DisplayWidth = w.count;
    RecordViewHistory(v);
  }
  return v;
}

XWindow Shown(const WaveViewState& v) { return {v.XPosition, v.DisplayWidth}; }

TEST(XNavigation, AStepInTheHistoryNeverGivesAScreenOfFewerThanTwoPoints) {
  for (int32_t dispPoints : {0, 1, 2, 5}) {
    WaveViewState v = HistoryOf({{0, 500}, {0, 250}});
    StepViewHistory(v, dispPoints, HistoryStep::Previous);
    EXPECT_GE(v.DisplayWidth, 2) << dispPoints;
    EXPECT_GE(v.XPosition, 0) << dispPoints;
  }
}

TEST(XNavigation, PreviousAndNextWalkTheHistoryAndARepaintOfTheWindowAddsNothing) {
  WaveViewState v = HistoryOf({{100, 500}, {200, 250}, {300, 125}});
  ASSERT_EQ(v.ViewHistoryIndex, 6);
  StepViewHistory(v, 1000, HistoryStep::Previous);
  EXPECT_EQ(Shown(v), (XWindow{200, 250}));
  EXPECT_EQ(v.ViewHistoryIndex, 4);
  RecordViewHistory(v);  // the repaint that shows it
  EXPECT_EQ(v.ViewHistoryIndex, 4);
  StepViewHistory(v, 1000, HistoryStep::Previous);
  EXPECT_EQ(Shown(v), (XWindow{100, 500}));
  RecordViewHistory(v);
  StepViewHistory(v, 1000, HistoryStep::Previous);
  EXPECT_EQ(Shown(v), (XWindow{0, 1000}));
  EXPECT_EQ(v.ViewHistoryIndex, 0);
  RecordViewHistory(v);
  EXPECT_EQ(v.ViewHistoryIndex, 0);
  // Next goes forward again, to the newest window.
  StepViewHistory(v, 1000, HistoryStep::Next);
  EXPECT_EQ(Shown(v), (XWindow{100, 500}));
  RecordViewHistory(v);
  StepViewHistory(v, 1000, HistoryStep::Next);
  EXPECT_EQ(Shown(v), (XWindow{200, 250}));
  RecordViewHistory(v);
  StepViewHistory(v, 1000, HistoryStep::Next);
  EXPECT_EQ(Shown(v), (XWindow{300, 125}));
  EXPECT_EQ(v.ViewHistoryIndex, 6);
  // Beyond the newest: a slot not written since start holds the start window.
  StepViewHistory(v, 1000, HistoryStep::Next);
  EXPECT_EQ(Shown(v), (XWindow{0, 1000}));
  EXPECT_EQ(v.ViewHistoryIndex, 8);
}

TEST(XNavigation, TheHistoryWalkWrapsAroundTheFullRing) {
  // 41 distinct windows: the 41st overwrote slot 0 and the index is 2.
  WaveViewState v;
  FillViewHistory(v);
  for (int32_t k = 1; k <= 41; ++k) {
    v.XPosition = k;
    v.DisplayWidth = 100 + k;
    RecordViewHistory(v);
  }
  ASSERT_EQ(v.ViewHistoryIndex, 2);
  StepViewHistory(v, 10000, HistoryStep::Previous);  // slot 78: window 40
  EXPECT_EQ(Shown(v), (XWindow{40, 140}));
  EXPECT_EQ(v.ViewHistoryIndex, 0);
  StepViewHistory(v, 10000, HistoryStep::Previous);  // slot 76: window 39
  EXPECT_EQ(Shown(v), (XWindow{39, 139}));
  EXPECT_EQ(v.ViewHistoryIndex, 78);
  StepViewHistory(v, 10000, HistoryStep::Next);  // slot 78
  EXPECT_EQ(Shown(v), (XWindow{40, 140}));
  EXPECT_EQ(v.ViewHistoryIndex, 0);
  StepViewHistory(v, 10000, HistoryStep::Next);  // slot 0: window 41
  EXPECT_EQ(Shown(v), (XWindow{41, 141}));
  EXPECT_EQ(v.ViewHistoryIndex, 2);
  StepViewHistory(v, 10000, HistoryStep::Next);  // slot 2: the oldest kept, window 2
  EXPECT_EQ(Shown(v), (XWindow{2, 102}));
  EXPECT_EQ(v.ViewHistoryIndex, 4);
}

struct HistoryBoundCase {
  const char* what;
  XWindow stored;
  int32_t dispPoints;
  XWindow shown;
};

TEST(XNavigation, AWindowFromTheHistoryIsBoundedByTheDataOnDisplayNow) {
  const HistoryBoundCase cases[] = {
      {"fits", {300, 200}, 1000, {300, 200}},
      {"narrower than ten points", {300, 4}, 1000, {300, 10}},
      {"wider than the data", {0, 3000}, 1000, {0, 1000}},
      {"past the end", {950, 100}, 1000, {900, 100}},
      {"negative first point", {-40, 100}, 1000, {0, 100}},
      {"data shorter than ten points", {3, 2}, 6, {0, 6}},
  };
  for (const HistoryBoundCase& c : cases) {
    WaveViewState v = HistoryOf({c.stored, {7, 77}});
    StepViewHistory(v, c.dispPoints, HistoryStep::Previous);
    EXPECT_EQ(Shown(v), c.shown) << c.what;
  }
}

TEST(XNavigation, ADamagedHistoryIndexIsBroughtBackIntoTheRing) {
  for (int32_t damaged : {7, -3, 200}) {
    WaveViewState v = HistoryOf({{100, 500}, {200, 250}, {300, 125}});
    const int32_t sane = damaged == 7 ? 6 : damaged < 0 ? 0 : 78;
    v.ViewHistoryIndex = damaged;
    WaveViewState expected = v;
    expected.ViewHistoryIndex = sane;
    StepViewHistory(v, 1000, HistoryStep::Previous);
    StepViewHistory(expected, 1000, HistoryStep::Previous);
    EXPECT_EQ(Shown(v), Shown(expected)) << damaged;
    EXPECT_EQ(v.ViewHistoryIndex, expected.ViewHistoryIndex) << damaged;
    EXPECT_EQ(v.ViewHistoryIndex % 2, 0) << damaged;
  }
}

struct TimeAxisCase {
  TimeAxisMarks before, afterTimeAligned, afterAbsolute;
};

TEST(XNavigation, AbsoluteTimeKeepsTheTimeAlignedAxisOn) {
  const TimeAxisCase cases[] = {
      // before            time-aligned click   absolute-time click
      {{false, false}, {true, false}, {true, true}},
      {{true, false}, {false, false}, {true, true}},
      {{true, true}, {true, true}, {true, false}},
      // A stored state that should not occur: the click mends it.
      {{false, true}, {true, true}, {false, false}},
  };
  for (const TimeAxisCase& c : cases) {
    EXPECT_EQ(AfterTimeAlignedClick(c.before), c.afterTimeAligned)
        << c.before.timeAligned << c.before.absoluteTime;
    EXPECT_EQ(AfterAbsoluteTimeClick(c.before), c.afterAbsolute) << c.before.timeAligned << c.before.absoluteTime;
  }
}

}  // namespace
