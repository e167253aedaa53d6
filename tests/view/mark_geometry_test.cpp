// The marks' plot geometry: pixel and point conversions, clamps and where
// the value labels go.
#include <gtest/gtest.h>

#include <cstdint>

#include "view/MarkGeometry.h"

namespace {

using namespace quelvar;

// A paint box 504 x 403 with the scale values inside the plot: L 4, T 2,
// W 499, H 400.
MarkPlot InnerPlot() {
  ViewOptions options;
  options.ScaleOut = false;
  return MarkPlotOf(options, ScaleLabelMetrics{}, 504, 403);
}

TEST(MarkGeometry, MarginsAreTheScaleLabelsOnlyWithTheScaleOutside) {
  ScaleLabelMetrics labels;
  labels.ScreenLabelWidth = 40;
  labels.ScreenTextHeight = 12;
  ViewOptions options;
  options.ScaleOut = true;
  const MarkPlot out = MarkPlotOf(options, labels, 500, 300);
  EXPECT_EQ(out.L, 40);
  EXPECT_EQ(out.T, 12);
  EXPECT_EQ(out.W, 459);
  EXPECT_EQ(out.H, 287);
  options.ScaleOut = false;
  const MarkPlot in = MarkPlotOf(options, labels, 500, 300);
  EXPECT_EQ(in.L, 4);
  EXPECT_EQ(in.T, 2);
  EXPECT_EQ(in.W, 495);
  EXPECT_EQ(in.H, 297);
}

TEST(MarkGeometry, PixelToPointRaisesToTheLeftEdgeAndStaysOnTheScreen) {
  const MarkPlot plot = InnerPlot();  // 500 columns from L for 100 points
  struct Case {
    int x;
    int32_t point;
  } const cases[] = {
      {-20, 1},   // left of the plot: column L
      {0, 1},     // in the scale area
      {4, 1},     // the left edge
      {8, 1},     // 4 x 100 / 500 = 0
      {9, 2},     // 5 x 100 / 500 = 1
      {503, 100},  // the last column
      {700, 100},  // right of the last point
  };
  for (const Case& c : cases) EXPECT_EQ(PixelToPoint(plot, 100, c.x), c.point) << "x " << c.x;
}

TEST(MarkGeometry, PixelToPointOfAScreenOfManyPointsIsExactIn64Bits) {
  const MarkPlot plot = InnerPlot();
  // 499 x 2e9 does not fit 32 bits.
  EXPECT_EQ(PixelToPoint(plot, 2000000000, 503), 1996000001);
}

TEST(MarkGeometry, PointToPixelSpreadsTheScreenOverThePlotWidth) {
  const MarkPlot plot = InnerPlot();
  EXPECT_EQ(PointToPixel(plot, 100, 1), 4);
  EXPECT_EQ(PointToPixel(plot, 100, 50), 4 + 49 * 499 / 99);
  EXPECT_EQ(PointToPixel(plot, 100, 100), 503);
  // (p - 1) x W overflows 32 bits here.
  EXPECT_EQ(PointToPixel(plot, 2000000000, 2000000000), 503);
  EXPECT_EQ(PointToPixel(plot, 2000000000, 1000000000), 4 + 249);
}

TEST(MarkGeometry, AScreenOfOnePointHasItsMarksAtTheLeftEdgeInsteadOfDividingByZero) {
  const MarkPlot plot = InnerPlot();
  EXPECT_EQ(PointToPixel(plot, 1, 1), 4);
  EXPECT_EQ(PixelToPoint(plot, 1, 300), 1);
}

TEST(MarkGeometry, ClampKeepsCursorsOnTheScreenAndLevelLinesBetweenTAndH) {
  const MarkPlot plot = InnerPlot();  // T 2, H 400
  WaveViewState v;
  v.DisplayWidth = 100;
  struct Case {
    int32_t x1, x2, y1, y2;
    int32_t wantX1, wantX2, wantY1, wantY2;
  } const cases[] = {
      {0, 101, 1, 401, 1, 100, 2, 400},  // below T stays at T, below H at H
      {-5, 3000, -100, 3000, 1, 100, 2, 400},
      {1, 100, 2, 400, 1, 100, 2, 400},  // at the limits: unchanged
      {50, 60, 200, 300, 50, 60, 200, 300},
  };
  for (const Case& c : cases) {
    v.Mark1X = c.x1;
    v.Mark2X = c.x2;
    v.Mark1Y = c.y1;
    v.Mark2Y = c.y2;
    ClampMarks(v, plot);
    EXPECT_EQ(v.Mark1X, c.wantX1);
    EXPECT_EQ(v.Mark2X, c.wantX2);
    EXPECT_EQ(v.Mark1Y, c.wantY1);
    EXPECT_EQ(v.Mark2Y, c.wantY2);
  }
}

TEST(MarkGeometry, LabelGoesBelowItsLevelWhenItFitsElseAboveButNotAboveThePaintBox) {
  struct Case {
    int imageTop, imageHeight, labelHeight, y, top;
  } const cases[] = {
      {0, 300, 40, 100, 108},   // below: y + 8
      {0, 300, 40, 251, 259},   // 251 + 40 + 8 = 299 still fits
      {0, 300, 40, 252, 204},   // 300 does not: y - 40 - 8
      {10, 300, 40, 252, 214},  // the paint box's top counts in
      {0, 300, 280, 30, 3},     // neither fits: 3 below the top
      {10, 300, 280, 30, 13},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MarkLabelTop(c.imageTop, c.imageHeight, c.labelHeight, c.y), c.top) << "y " << c.y;
  }
}

TEST(MarkGeometry, LabelGoesRightOfItsMarkWhenItFitsElseLeft) {
  struct Case {
    int imageLeft, imageWidth, x, w, left;
  } const cases[] = {
      {0, 500, 100, 40, 108},
      {0, 500, 451, 40, 459},  // 451 + 40 + 8 = 499 fits
      {0, 500, 452, 40, 404},  // 500 does not: x - w - 8
      {6, 500, 100, 40, 114},
      {6, 500, 452, 40, 410},
  };
  for (const Case& c : cases) EXPECT_EQ(MarkLabelLeft(c.imageLeft, c.imageWidth, c.x, c.w), c.left) << "x " << c.x;
}

}  // namespace
