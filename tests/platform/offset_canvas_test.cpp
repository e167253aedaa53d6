// The picture area of a printed page: drawing lands shifted on the page, in
// the area's own pen, brush and font, and the page keeps its own state.
#include <gtest/gtest.h>

#include "platform/OffsetCanvas.h"
#include "platform/RecordingCanvas.h"

namespace {

using namespace quelvar::platform;

TEST(OffsetCanvas, DrawsShiftedWithItsOwnState) {
  RecordingCanvas page(1000, 1000);
  page.SetFont({"Page", 10, 0, kBlack});
  page.SetPen({kBlack, 3, PenStyle::Solid});
  {
    OffsetCanvas area(page, {100, 50}, 300, 200);
    EXPECT_EQ(area.Width(), 300);
    EXPECT_EQ(area.Height(), 200);
    area.SetFont({"Pic", 5, kFontStyleBold, kBlack});
    area.SetPen({Color{255, 0, 0}, 1, PenStyle::Dot});
    area.SetBrush({kWhite, BrushStyle::Clear});
    // Measured in the area's font on the page's metrics.
    EXPECT_EQ(area.TextHeight("x"), 10);
    EXPECT_EQ(area.TextWidth("abc"), 15);
    area.MoveTo(1, 2);
    area.LineTo(11, 2);
    area.TextOut(0, 0, "t");
    area.FillRect({0, 0, 10, 10});
    area.SetPixel(5, 6, kWhite);
  }
  EXPECT_EQ(page.Log(), (std::vector<std::string>{
                            "line (101,52)-(111,52) pen #FF0000 1 dot",
                            "text (100,50) \"t\" font \"Pic\" 5 bold #000000 transparent",
                            "fillrect (100,50)-(110,60) brush clear",
                            "pixel (105,56) #FFFFFF",
                        }));
  // The page's own state is back once the area is gone.
  EXPECT_EQ(page.GetFont().name, "Page");
  EXPECT_EQ(page.GetPen().width, 3);
}

TEST(OffsetCanvas, StartsWithThePagesState) {
  RecordingCanvas page(100, 100);
  page.SetFont({"Page", 7, 0, kBlack});
  OffsetCanvas area(page, {0, 0}, 10, 10);
  EXPECT_EQ(area.GetFont().name, "Page");
  EXPECT_EQ(area.TextHeight("x"), 14);
}

}  // namespace
