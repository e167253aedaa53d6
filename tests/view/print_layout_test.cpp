#include "view/PrintLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quelvar {
namespace {

TEST(PrintLayout, CentimetresBecomePixelsAtTheHorizontalResolution) {
  const double perCm = PixelsPerCentimetre(600);
  EXPECT_NEAR(perCm, 236.2204724, 1e-6);
  EXPECT_EQ(CentimetresToPixels(1.0, perCm), 236);   // truncated
  EXPECT_EQ(CentimetresToPixels(2.54, perCm), 599);  // 599.99...: truncated, not rounded
  EXPECT_EQ(CentimetresToPixels(0.0, perCm), 0);
  EXPECT_EQ(CentimetresToPixels(-3.0, perCm), 0);
  EXPECT_EQ(CentimetresToPixels(std::numeric_limits<double>::quiet_NaN(), perCm), 0);
  EXPECT_EQ(CentimetresToPixels(1e30, perCm), 1 << 30);
  // A printer that reports no resolution still measures something.
  EXPECT_GT(PixelsPerCentimetre(0), 0.0);
}

TEST(PrintLayout, PointsPerTimeUnitAreRoundedAndAtLeastOne) {
  struct Case {
    double ms, rate;
    int32_t points;
  } cases[] = {{200, 10000, 2000}, {0.25, 10000, 3}, {0.04, 10000, 1}, {0, 10000, 1}, {-50, 10000, 1},
               {1e12, 1e12, 1 << 30}};
  for (const Case& c : cases) EXPECT_EQ(PerSampTimePointsFor(c.ms, c.rate), c.points) << c.ms << " " << c.rate;
}

TEST(PrintLayout, PrintableWidthAndPagePointsNeverFallBelowTheirFloors) {
  EXPECT_EQ(FixedScalePrintableWidth(4800, 236, 236, 4), 4324);
  EXPECT_EQ(FixedScalePrintableWidth(100, 236, 236, 4), 10);
  EXPECT_EQ(FixedScalePagePoints(4324, 2000, 236), 36644);
  EXPECT_EQ(FixedScalePagePoints(10, 1, 1000000), 1);  // a huge scale
  EXPECT_EQ(FixedScalePagePoints(10, 1, 0), 10);       // a scale below one pixel
}

TEST(PrintLayout, FixedScalePagesOverlapByATenthAndCoverTheRange) {
  struct Case {
    int64_t width;
    int32_t pagePoints, pages;
  } cases[] = {
      {1000, 400, 3},  // pages from +0, +360, +720
      {1000, 1000, 1}, {1001, 1000, 2}, {0, 400, 1}, {-5, 400, 1},
      {1000, 1, 1112},  // one-point pages do not step: the upper bound ends the count
      {5, 0, 6},        // a page of no points counts as one point
      {int64_t{1} << 40, 1, std::numeric_limits<int32_t>::max()},
  };
  for (const Case& c : cases) {
    const int32_t n = FixedScalePageCount(c.width, c.pagePoints);
    EXPECT_EQ(n, c.pages) << c.width << " / " << c.pagePoints;
  }
  // Whatever the count, the pages reach the end of the range when they can.
  for (int64_t w = 1; w < 3000; w += 37) {
    for (int32_t p : {10, 99, 400, 1000}) {
      const int32_t n = FixedScalePageCount(w, p);
      EXPECT_GE(p + int64_t{n - 1} * (p * 9 / 10), w) << w << " / " << p;
    }
  }
}

}  // namespace
}  // namespace quelvar
