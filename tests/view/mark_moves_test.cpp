// Picking and dragging the marks and the page channels, and stepping a mark
// from its label.
#include <gtest/gtest.h>

#include <cstdint>

#include "view/MarkMoves.h"

namespace {

using namespace quelvar;

class MarkMoves : public ::testing::Test {
 protected:
  MarkMoves() {
    ViewOptions options;
    options.ScaleOut = false;
    plot = MarkPlotOf(options, ScaleLabelMetrics{}, 504, 403);  // L 4, T 2, W 499, H 400
    view.Options.ScaleOut = false;
    view.DisplayWidth = 100;
    view.Mark1X = 10;
    view.Mark2X = 90;
    view.Mark1Y = 50;
    view.Mark2Y = 300;
    display.DispValid = 1;
  }
  // The column of screen point p (500 columns for 100 points).
  static int ColumnOf(int32_t p) { return 4 + (p - 1) * 5; }

  // Page 0 of `analog` analog and `switches` switch entries, painted with
  // row shares 2 per analog row and 1 per switch row.
  void SetPage(int32_t analog, int32_t switches) {
    PageTables& t = view.PageLayout;
    const int32_t n = analog + switches;
    t.PageChannels = {n};
    t.PageSwitches = {switches};
    t.PageFirst = {0};
    t.Entries.assign(static_cast<size_t>(n), 0);
    t.EntryOffset.assign(static_cast<size_t>(n), 0.0f);
    int32_t start = 0;
    for (int32_t d = 0; d < n; ++d) {
      const int32_t share = d < analog ? 2 : 1;
      view.RowShare[static_cast<size_t>(d)] = share;
      view.RowShareStart[static_cast<size_t>(d)] = start;
      start += share;
    }
    view.RowShareTotal = start;
    view.BegDispChannel = 0;
    view.Options.Scope = ChannelScope::Page;
  }
  // Row of entry d's trace as the page-channel pick sees it.
  int TraceRow(int32_t d) const {
    const double share = view.RowShare[static_cast<size_t>(d)] * 0.5 + view.RowShareStart[static_cast<size_t>(d)];
    const int centre = static_cast<int>(share * plot.H / view.RowShareTotal);
    const double offset = view.PageLayout.EntryOffset[static_cast<size_t>(d)];
    return static_cast<int>(centre + plot.H * offset + plot.T);
  }
  bool Press(MarkButton button, int x, int y) {
    return PressWaveform(view, display, plot, kTextHeight, button, x, y);
  }

  static constexpr int32_t kTextHeight = 12;  // picks within 6 rows of a trace
  MarkPlot plot;
  WaveViewState view;
  DisplayDescriptor display;
  OscilToolSettings oscil;
};

TEST_F(MarkMoves, APressExactlyBetweenTheMarksPicksMark1) {
  struct Case {
    int32_t p;
    int y;
    int8_t nearerX, nearerY;
  } const cases[] = {
      {50, 175, 0, 0},  // midway in both directions: mark 1
      {51, 176, 1, 1},
      {49, 174, 0, 0},
      {95, 10, 1, 0},
      {5, 400, 0, 1},
  };
  for (const Case& c : cases) {
    PickNearerMarks(view, c.p, c.y);
    EXPECT_EQ(view.NearerMarkX, c.nearerX) << "p " << c.p;
    EXPECT_EQ(view.NearerMarkY, c.nearerY) << "y " << c.y;
  }
}

TEST_F(MarkMoves, OneDragMovesMark1sCursorAndMark2sLevelTogether) {
  ASSERT_TRUE(Press(MarkButton::Left, ColumnOf(12), 290));
  EXPECT_EQ(view.DragMode, 1);
  EXPECT_EQ(MoveMarkState(view, display, oscil, plot, view.NearerMarkX, view.NearerMarkY, ColumnOf(12), 290),
            MarkMoveResult::RedrawMarks);
  EXPECT_EQ(view.Mark1X, 12);
  EXPECT_EQ(view.Mark2Y, 290);
  EXPECT_EQ(view.Mark2X, 90);
  EXPECT_EQ(view.Mark1Y, 50);
  // The drag keeps the marks it picked, even past the other mark.
  MoveMarkState(view, display, oscil, plot, view.NearerMarkX, view.NearerMarkY, ColumnOf(95), 20);
  EXPECT_EQ(view.Mark1X, 95);
  EXPECT_EQ(view.Mark2Y, 20);
}

TEST_F(MarkMoves, APressRightOfTheLastPointOrInTheScaleAreaOutsidePageScopeTakesTheScreensEnds) {
  Press(MarkButton::Left, 900, 100);
  MoveMarkState(view, display, oscil, plot, view.NearerMarkX, view.NearerMarkY, 900, 100);
  EXPECT_EQ(view.Mark2X, 100);
  view.Options.Scope = ChannelScope::All;
  ASSERT_TRUE(Press(MarkButton::Left, 0, 100));
  MoveMarkState(view, display, oscil, plot, view.NearerMarkX, view.NearerMarkY, 0, 100);
  EXPECT_EQ(view.Mark1X, 1);
}

TEST_F(MarkMoves, ALevelLineIsRaisedToTheTopOfThePlot) {
  Press(MarkButton::Left, ColumnOf(10), -30);
  MoveMarkState(view, display, oscil, plot, view.NearerMarkX, view.NearerMarkY, ColumnOf(10), -30);
  EXPECT_EQ(view.Mark1Y, plot.T);
}

TEST_F(MarkMoves, TheRightButtonAndMissingDataLeaveTheMarksAlone) {
  EXPECT_FALSE(Press(MarkButton::Right, ColumnOf(40), 100));
  EXPECT_EQ(view.DragMode, 0);
  display.DispValid = 0;
  EXPECT_FALSE(Press(MarkButton::Left, ColumnOf(40), 100));
  EXPECT_EQ(view.DragMode, 0);
  EXPECT_EQ(MoveMarkState(view, display, oscil, plot, 0, 0, ColumnOf(40), 100), MarkMoveResult::Nothing);
  EXPECT_EQ(view.Mark1X, 10);
  EXPECT_EQ(view.Mark1Y, 50);
}

TEST_F(MarkMoves, TheOscilloscopeMovesOnlyTheLinesThatAreOnAndRepaintsWhenMagnifying) {
  display.DataSourceMode = 2;
  struct Case {
    int32_t measTime, measVolt;
    int32_t wantX, wantY;
  } const cases[] = {{1, 1, 40, 100}, {0, 1, 10, 100}, {1, 0, 40, 50}, {0, 0, 10, 50}};
  for (const Case& c : cases) {
    view.Mark1X = 10;
    view.Mark1Y = 50;
    oscil.MeasTime = c.measTime;
    oscil.MeasVolt = c.measVolt;
    EXPECT_EQ(MoveMarkState(view, display, oscil, plot, 0, 0, ColumnOf(40), 100), MarkMoveResult::RedrawMarks);
    EXPECT_EQ(view.Mark1X, c.wantX);
    EXPECT_EQ(view.Mark1Y, c.wantY);
  }
  oscil.LocalZoom = 1;
  EXPECT_EQ(MoveMarkState(view, display, oscil, plot, 0, 0, ColumnOf(40), 100), MarkMoveResult::RepaintRequested);
  EXPECT_EQ(view.RepaintRequested, 1);
}

TEST_F(MarkMoves, APageOfOneChannelIgnoresPressesInTheScaleArea) {
  SetPage(1, 0);
  view.PageLayout.EntryOffset[0] = 0.25f;
  for (MarkButton b : {MarkButton::Left, MarkButton::Right, MarkButton::Middle}) {
    EXPECT_FALSE(Press(b, 0, TraceRow(0)));
  }
  EXPECT_EQ(view.DragMode, 0);
  EXPECT_EQ(view.RepaintRequested, 0);
  EXPECT_EQ(view.PageLayout.EntryOffset[0], 0.25f);
  EXPECT_EQ(view.Mark1X, 10);
}

TEST_F(MarkMoves, ARightPressPutsAMovedPageChannelBackAndRepaintsOnlyThen) {
  SetPage(2, 0);
  view.DragChannel = -1;
  EXPECT_FALSE(Press(MarkButton::Right, 0, TraceRow(1)));
  EXPECT_EQ(view.DragChannel, 1);
  EXPECT_EQ(view.RepaintRequested, 0);  // already at its row

  view.PageLayout.EntryOffset[1] = 0.1f;
  Press(MarkButton::Right, 2, TraceRow(1) + 6);  // half a text height away still hits
  EXPECT_EQ(view.PageLayout.EntryOffset[1], 0.0f);
  EXPECT_EQ(view.RepaintRequested, 1);
  EXPECT_EQ(view.DragMode, 0);
  EXPECT_EQ(view.Mark1X, 10);  // marks never move here
}

TEST_F(MarkMoves, APressBesideEveryTraceOrOnThePlotPicksNoPageChannel) {
  SetPage(2, 0);
  view.DragChannel = -1;
  Press(MarkButton::Left, 0, TraceRow(0) + 7);
  EXPECT_EQ(view.DragMode, 0);
  EXPECT_EQ(view.DragChannel, -1);
  // On the plot the press moves the marks as usual.
  EXPECT_TRUE(Press(MarkButton::Left, plot.L + 1, TraceRow(0)));
  EXPECT_EQ(view.DragMode, 1);
  // The oscilloscope has no pages.
  view.DragMode = 0;
  display.DataSourceMode = 2;
  EXPECT_TRUE(Press(MarkButton::Left, 0, TraceRow(0)));
  EXPECT_EQ(view.DragChannel, -1);
}

TEST_F(MarkMoves, ADraggedPageChannelsTraceFollowsTheMouse) {
  struct Case {
    int32_t analog, switches, entry;
    int rowTo;
  } const cases[] = {{2, 0, 0, 150}, {2, 0, 1, 260}, {3, 0, 2, 380}, {2, 2, 3, 300}, {2, 2, 2, 200}};
  for (const Case& c : cases) {
    SetPage(c.analog, c.switches);
    // Switch rows weigh 1, analog rows 2, as the renderer shares them.
    EXPECT_FALSE(Press(MarkButton::Left, 0, TraceRow(c.entry)));  // the marks stay
    EXPECT_EQ(view.DragMode, 2);
    EXPECT_EQ(view.DragChannel, c.entry);
    EXPECT_NEAR(view.PageLayout.EntryOffset[static_cast<size_t>(c.entry)], 0.0f, 1.0f / plot.H);
    view.RepaintRequested = 0;
    DragPageChannel(view, plot, c.rowTo);
    EXPECT_EQ(view.RepaintRequested, 1);
    EXPECT_NEAR(TraceRow(c.entry), c.rowTo, 1) << "entry " << c.entry;
    view.DragMode = 0;
  }
}

TEST_F(MarkMoves, APageChannelIsDraggedNoFurtherThanThePlot) {
  SetPage(2, 0);
  view.DragChannel = 0;
  DragPageChannel(view, plot, -50);  // row 0 of the plot: 100 above the centre
  EXPECT_FLOAT_EQ(view.PageLayout.EntryOffset[0], -100.0f / 400.0f);
  DragPageChannel(view, plot, 1000);  // row H
  EXPECT_FLOAT_EQ(view.PageLayout.EntryOffset[0], 300.0f / 400.0f);
}

TEST_F(MarkMoves, PageTablesOfAnotherConfigurationAreNeverReadOutside) {
  SetPage(2, 0);
  view.PageLayout.PageChannels = {5};  // more entries than the tables hold
  view.PageLayout.EntryOffset.resize(2);
  Press(MarkButton::Left, 0, 398);
  view.BegDispChannel = 7;  // no such page
  Press(MarkButton::Left, 0, TraceRow(0));
  view.DragChannel = 9;
  DragPageChannel(view, plot, 100);
  EXPECT_EQ(view.DragMode, 0);
  EXPECT_EQ(view.RepaintRequested, 0);
}

TEST_F(MarkMoves, ALabelPressStepsItsMarkLeftAndUpButNeverOffTheScreen) {
  struct Case {
    int mark;
    MarkButton button;
    int32_t x, y, wantX, wantY;
  } const cases[] = {
      {1, MarkButton::Left, 1, 50, 1, 49},  // the cursor stays at 1, the level still moves
      {1, MarkButton::Left, 10, 50, 9, 49},
      {2, MarkButton::Left, 10, 50, 9, 49},
      {1, MarkButton::Right, 10, 50, 10, 50},
      {2, MarkButton::Right, 300, 50, 100, 50},  // any button brings the cursor back
  };
  for (const Case& c : cases) {
    int32_t& x = c.mark == 1 ? view.Mark1X : view.Mark2X;
    int32_t& y = c.mark == 1 ? view.Mark1Y : view.Mark2Y;
    x = c.x;
    y = c.y;
    StepMarkFromLabel(view, c.mark, c.button);
    EXPECT_EQ(x, c.wantX);
    EXPECT_EQ(y, c.wantY);
  }
}

}  // namespace
