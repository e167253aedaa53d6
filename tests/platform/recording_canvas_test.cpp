#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RecordingCanvas.h"

namespace {

using namespace quelvar::platform;

struct MetricsCase {
  std::string text;
  int size;
  int width;
  int height;
};

class RecordingCanvasMetrics : public ::testing::TestWithParam<MetricsCase> {};

TEST_P(RecordingCanvasMetrics, CharactersAreSizeWideAndTwiceSizeHigh) {
  const MetricsCase& c = GetParam();
  RecordingCanvas canvas(100, 100);
  canvas.SetFontSize(c.size);
  EXPECT_EQ(canvas.TextWidth(c.text), c.width);
  EXPECT_EQ(canvas.TextHeight(c.text), c.height);
}

INSTANTIATE_TEST_SUITE_P(Table, RecordingCanvasMetrics,
                         ::testing::Values(MetricsCase{"", 9, 0, 18}, MetricsCase{"lg", 15, 30, 30},
                                           // A UTF-8 character counts as one, whatever its bytes.
                                           MetricsCase{"中文ab", 10, 40, 20}, MetricsCase{"°C", 35, 70, 70},
                                           // A size below 1 counts as 1.
                                           MetricsCase{"abc", 0, 3, 2}, MetricsCase{"abc", -4, 3, 2}));

TEST(RecordingCanvas, LineToDrawsFromCurrentPositionAndMovesIt) {
  RecordingCanvas canvas(100, 100);
  canvas.MoveTo(4, 2);
  canvas.LineTo(4, 50);
  canvas.LineTo(90, 50);
  EXPECT_EQ(canvas.PenPos(), (Point{90, 50}));
  EXPECT_EQ(canvas.Log(), (std::vector<std::string>{"line (4,2)-(4,50) pen #000000 1 solid",
                                                    "line (4,50)-(90,50) pen #000000 1 solid"}));
}

TEST(RecordingCanvas, EachCallCarriesTheStateInForceWhenItWasMade) {
  RecordingCanvas canvas(100, 100);
  canvas.SetPen({Color{0, 128, 0}, 3, PenStyle::Solid});
  canvas.MoveTo(0, 0);
  canvas.LineTo(10, 0);
  canvas.SetPenColor(Color::FromStored(0x0000FF));  // stored as 0x00BBGGRR: red
  canvas.SetPenStyle(PenStyle::Dot);
  canvas.SetPenWidth(1);
  canvas.LineTo(10, 10);
  canvas.SetBrush({Color{1, 2, 3}, BrushStyle::Solid});
  canvas.FillRect({0, 0, 20, 10});
  canvas.SetBrushStyle(BrushStyle::Clear);
  canvas.Rectangle({1, 2, 3, 4});
  canvas.SetPixel(5, 6, kWhite);
  EXPECT_EQ(canvas.Log(), (std::vector<std::string>{
                              "line (0,0)-(10,0) pen #008000 3 solid",
                              "line (10,0)-(10,10) pen #FF0000 1 dot",
                              "fillrect (0,0)-(20,10) brush #010203",
                              "rectangle (1,2)-(3,4) pen #FF0000 1 dot brush clear",
                              "pixel (5,6) #FFFFFF",
                          }));
}

TEST(RecordingCanvas, TextRecordsFontAndBackground) {
  RecordingCanvas canvas(100, 100);
  canvas.SetFont({"Arial", 15, kFontStyleBold | kFontStyleStrikeOut, Color{255, 255, 0}});
  canvas.SetBrushColor(kBlack);
  canvas.TextOut(3, 4, "通道1");
  canvas.SetBrushStyle(BrushStyle::Clear);
  canvas.SetFontStyle(kFontStyleItalic | kFontStyleUnderline);
  canvas.TextOut(5, 6, "x");
  EXPECT_EQ(canvas.Log(), (std::vector<std::string>{
                              "text (3,4) \"通道1\" font \"Arial\" 15 bold strikeout #FFFF00 on #000000",
                              "text (5,6) \"x\" font \"Arial\" 15 italic underline #FFFF00 transparent",
                          }));
  EXPECT_EQ(canvas.PenPos(), (Point{0, 0}));  // text does not move the pen
}

TEST(RecordingCanvas, PicturesAreRecordedByName) {
  RecordingCanvas canvas(640, 480);
  const RecordedPicture logo("logo", 100, 50);
  canvas.Draw(7, 8, logo);
  canvas.StretchDraw({0, 0, 640, 480}, logo);
  EXPECT_EQ(canvas.Log(), (std::vector<std::string>{"draw \"logo\" (7,8)", "stretch \"logo\" (0,0)-(640,480)"}));
  ASSERT_EQ(canvas.OpsOf(CanvasOp::Kind::StretchDraw).size(), 1u);
  EXPECT_EQ(canvas.OpsOf(CanvasOp::Kind::StretchDraw)[0].rect, (Rect{0, 0, 640, 480}));
}

TEST(ColorValue, StoredFormHasRedInTheLowByte) {
  constexpr Color c = Color::FromStored(0x00336699);
  static_assert(c == Color{0x99, 0x66, 0x33});
  EXPECT_EQ(c.ToStored(), 0x00336699u);
  EXPECT_EQ(Color::FromStored(0xFF000000).ToStored(), 0u);  // the high byte is not a colour
}

}  // namespace
