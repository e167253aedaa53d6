// How text lines fall on pages, and the preview's page rectangle.
#include <gtest/gtest.h>

#include "view/PreviewRect.h"
#include "view/TextPages.h"

namespace {

using namespace quelvar;

struct LayoutCase {
  int pageHeight, top, bottom, lineHeight;
  size_t lines;
  int32_t perPage, pages;
};

TEST(TextPageLayout, LinesPerPageAndPageCount) {
  const LayoutCase cases[] = {
      // (1000 - 100 - 100) / 20 - 2 = 38 lines a page; the title takes one.
      {1000, 100, 100, 20, 0, 38, 1},
      {1000, 100, 100, 20, 37, 38, 1},
      {1000, 100, 100, 20, 38, 38, 2},
      {1000, 100, 100, 20, 75, 38, 2},
      {1000, 100, 100, 20, 76, 38, 3},
      // Margins or a font too large for the page: one line a page, never 0.
      {1000, 600, 600, 20, 3, 1, 4},
      {1000, 0, 0, 5000, 3, 1, 4},
      {1000, 0, 0, 0, 3, 998, 1},
  };
  for (const LayoutCase& c : cases) {
    const TextPageLayout layout = LayoutTextPages(c.pageHeight, c.top, c.bottom, c.lineHeight, c.lines);
    EXPECT_EQ(layout.LinesPerPage, c.perPage) << c.lines << " " << c.lineHeight;
    EXPECT_EQ(layout.PageCount, c.pages) << c.lines << " " << c.lineHeight;
  }
}

TEST(TextPageLayout, SlotsAfterTheTitle) {
  EXPECT_EQ(TextPageLineIndex(0, 0, 38), -1);
  EXPECT_EQ(TextPageLineIndex(0, 1, 38), 0);
  EXPECT_EQ(TextPageLineIndex(1, 0, 38), 37);
  EXPECT_EQ(TextPageLineIndex(2, 5, 38), 80);
}

struct PreviewCase {
  int pw, ph, bw, bh;
  bool keep;
  platform::Rect expected;
};

TEST(PreviewRect, WholeBoxOrThePagesProportions) {
  const PreviewCase cases[] = {
      {2000, 3000, 800, 600, false, {0, 0, 800, 600}},
      // Taller than the box: margins left and right, (800 - 600 x 2/3) / 2.
      {2000, 3000, 800, 600, true, {200, 0, 600, 600}},
      // Wider than the box: margins top and bottom, (600 - 300 x 1/2) / 2.
      {4000, 2000, 300, 600, true, {0, 225, 300, 375}},
      // Sizes below 1 count as 1.
      {0, 0, 100, 50, true, {25, 0, 75, 50}},
      {100, 100, 0, 0, true, {0, 0, 0, 0}},
  };
  for (const PreviewCase& c : cases) {
    EXPECT_EQ(PreviewRect(c.pw, c.ph, c.bw, c.bh, c.keep), c.expected) << c.pw << "x" << c.ph;
  }
}

}  // namespace
