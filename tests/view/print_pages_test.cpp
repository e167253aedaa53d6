// Waveform page ranges of both layouts, the page texts and the printer
// pixels the print settings give.
#include <gtest/gtest.h>

#include <vector>

#include "view/PrintPages.h"

namespace {

using namespace quelvar;

struct Ranges {
  std::vector<int32_t> first, width, overlap;
  friend bool operator==(const Ranges&, const Ranges&) = default;
};

Ranges Of(const WavePageLayout& layout) {
  Ranges r;
  for (int32_t i = 0; i < layout.Count(); ++i) {
    const WavePageRange p = layout.Page(i);
    r.first.push_back(p.First);
    r.width.push_back(p.Width);
    r.overlap.push_back(p.Overlap);
  }
  return r;
}

struct PageCountCase {
  int32_t start, width, pages, least;
  Ranges expected;
};

TEST(WavePageLayout, PageCountLayout) {
  const PageCountCase cases[] = {
      // 1000 x 10 / 28 + 1 = 358 points a page, nine tenths apart.
      {0, 1000, 3, 8, {{0, 322, 644}, {358, 358, 358}, {36, 36, 0}}},
      {500, 1000, 3, 8, {{500, 822, 1144}, {358, 358, 358}, {36, 36, 0}}},
      // One page shows the range as it is, whatever the least width.
      {100, 5, 1, 8, {{100}, {5}, {0}}},
      // A short range over many pages: pages of the least width.
      {0, 20, 4, 8, {{0, 7, 14, 21}, {8, 8, 8, 8}, {1, 1, 1, 0}}},
      // A page count below 1 counts as 1.
      {7, 300, 0, 8, {{7}, {300}, {0}}},
      {7, 300, -4, 8, {{7}, {300}, {0}}},
  };
  for (const PageCountCase& c : cases) {
    EXPECT_EQ(Of(WavePageLayout::PageCount(c.start, c.width, c.pages, c.least)), c.expected)
        << c.start << " " << c.width << " " << c.pages;
  }
}

TEST(WavePageLayout, PageCountLayoutCostsNoMemoryForHugeCounts) {
  const WavePageLayout layout = WavePageLayout::PageCount(0, 1000, 2000000000, 8);
  EXPECT_EQ(layout.Count(), 2000000000);
  EXPECT_EQ(layout.Page(1999999999).Width, 8);
  EXPECT_EQ(layout.Page(1999999999).Overlap, 0);
}

struct FixedCase {
  int32_t start, width, pagePoints, dispPoints;
  Ranges expected;
};

TEST(WavePageLayout, FixedScaleLayout) {
  const FixedCase cases[] = {
      // The last page reaches +1119, beyond the shown range.
      {0, 1000, 400, 100000, {{0, 360, 720}, {400, 400, 400}, {40, 40, 0}}},
      {1000, 1000, 400, 100000, {{1000, 1360, 1720}, {400, 400, 400}, {40, 40, 0}}},
      // ... unless the data end earlier.
      {0, 1000, 400, 1000, {{0, 360, 720}, {400, 400, 280}, {40, 40, 0}}},
      {0, 1000, 1000, 100000, {{0}, {1000}, {0}}},
      // Pages of one point step by one point and stop with the data.
      {0, 4, 1, 4, {{0, 1, 2, 3}, {1, 1, 1, 1}, {1, 1, 1, 0}}},
      // A page size below 1 counts as 1.
      {0, 2, 0, 2, {{0, 1}, {1, 1}, {1, 0}}},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(Of(WavePageLayout::FixedScale(c.start, c.width, c.pagePoints, c.dispPoints)), c.expected)
        << c.start << " " << c.width << " " << c.pagePoints << " " << c.dispPoints;
  }
}

TEST(PrintTexts, HeaderAndFooter) {
  EXPECT_EQ(PrintHeaderText("Lab", 1, "2024-05-06 07:08:09"), "Lab  打印日期 2024-05-06 07:08:09");
  EXPECT_EQ(PrintHeaderText("Lab", 0, "2024-05-06 07:08:09"), "Lab");
  EXPECT_EQ(PrintFooterText("F", 1, 1, 1), "F《第 1/1 页》");
  EXPECT_EQ(PrintFooterText("F", 1, 2, 12), "F《第 2/12 页》");
  EXPECT_EQ(PrintFooterText("F", 0, 2, 12), "F");
}

TEST(PrintPixels, FromCentimetresAtTheHorizontalResolution) {
  LiveConfig c;
  c.PageSpaceLeftCM = 1.0f;
  c.PageSpaceRightCM = 2.0f;
  c.PageSpaceUpCM = 0.0f;
  c.PageSpaceBottomCM = 10.0f;
  c.LineSpaceCM = 0.5f;
  c.PerPointCM = 1.0f;
  c.PerSampTime = 200.0f;
  c.ChannelRate = 1000.0f;
  PrintState p;
  RecomputePrintPixels(c, 600, p);  // 236.22 pixels a centimetre
  EXPECT_EQ(p.PageMarginPixels, (std::array<int32_t, 4>{236, 472, 0, 2362}));
  EXPECT_EQ(p.LineSpacePixels, 118);
  EXPECT_EQ(p.PerPointCMPixels, 236);
  EXPECT_EQ(p.PerSampTimePoints, 200);
}

TEST(PrintPixels, DivisorsStayAtLeastOne) {
  LiveConfig c;
  c.PerPointCM = 0.001f;  // below one printer pixel
  c.PerSampTime = 0.0f;
  PrintState p;
  RecomputePrintPixels(c, 0, p);
  EXPECT_EQ(p.PerPointCMPixels, 1);
  EXPECT_EQ(p.PerSampTimePoints, 1);
}

}  // namespace
