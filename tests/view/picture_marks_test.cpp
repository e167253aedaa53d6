// The marks drawn into a picture of the view: cursor lines, label places
// scaled from the screen, colours and backgrounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "platform/RecordingCanvas.h"
#include "view/Palette.h"
#include "view/PictureMarks.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::Color;

constexpr int kFontSize = 5;  // characters 5 wide, lines 10 high

class PictureMarks : public ::testing::Test {
 protected:
  PictureMarks() {
    RestoreDefaultColors(config.ColorPalette, kMinColorNum);
    in.PictureWidth = 400;
    in.PictureHeight = 300;
    in.ImageHeight = 201;
    in.DisplayWidth = 101;
    in.MarkX[0] = 1;
    in.MarkX[1] = 101;
    in.Caption[0] = "ab\n\rcdef";
    in.Caption[1] = "xyz";
    in.LabelTop[0] = 100;
    in.LabelTop[1] = 100;
  }
  std::vector<CanvasOp> Draw() {
    platform::RecordingCanvas canvas(in.PictureWidth, in.PictureHeight);
    canvas.SetFont({"", kFontSize, 0, platform::kBlack});
    DrawPictureMarks(canvas, in, config);
    return canvas.Ops();
  }
  static std::vector<CanvasOp> Of(const std::vector<CanvasOp>& ops, CanvasOp::Kind kind) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops) {
      if (op.kind == kind) out.push_back(op);
    }
    return out;
  }
  Color Slot(int row, int slot) const { return Color::FromStored(config.ColorPalette[row][slot]); }

  LiveConfig config;
  PictureMarksInput in;
};

TEST_F(PictureMarks, EachCursorIsAOnePixelLineFromTheTopMarginToTheLastRow) {
  const std::vector<CanvasOp> lines = Of(Draw(), CanvasOp::Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  // x = (point - 1) x plot width / (DisplayWidth - 1) + left, plot width
  // 400 - 4 - 1.
  EXPECT_EQ(lines[0].from, (platform::Point{4, 2}));
  EXPECT_EQ(lines[0].to, (platform::Point{4, 300}));
  EXPECT_EQ(lines[1].from, (platform::Point{399, 2}));
  EXPECT_EQ(lines[0].pen.width, 1);
  in.MarkX[0] = 51;
  EXPECT_EQ(Of(Draw(), CanvasOp::Kind::Line)[0].from.x, 4 + 50 * 395 / 100);
}

TEST_F(PictureMarks, WithTheScaleOutsideTheMarginsAreThePicturesLabelMetrics) {
  in.ScaleOut = true;
  in.PictureLabelWidth = 30;
  in.PictureTextHeight = 12;
  in.MarkX[0] = 101;
  const std::vector<CanvasOp> lines = Of(Draw(), CanvasOp::Kind::Line);
  EXPECT_EQ(lines[0].from, (platform::Point{30 + 369, 12}));
  EXPECT_EQ(lines[1].from.y, 12);
}

TEST_F(PictureMarks, LabelsStandBesideTheirMarksAtTheScreensHeightScaled) {
  const std::vector<CanvasOp> texts = Of(Draw(), CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 3u);
  // y0 = (300 - 1) x 100 / (201 - 1); lines 10 apart.
  EXPECT_EQ(texts[0].text, "ab");
  EXPECT_EQ(texts[0].from, (platform::Point{4 + 8, 149}));
  EXPECT_EQ(texts[1].text, "cdef");
  EXPECT_EQ(texts[1].from, (platform::Point{12, 159}));
  // Mark 2 at the right edge: its label goes to the left of it.
  EXPECT_EQ(texts[2].text, "xyz");
  EXPECT_EQ(texts[2].from, (platform::Point{399 - 15 - 8, 149}));
}

TEST_F(PictureMarks, ALabelIsLiftedAboveThePicturesBottomOrHeldBelowTheTopMargin) {
  struct Case {
    int screenTop;
    int pictureTop;
  };
  const Case cases[] = {
      {200, 300 - 20 - 1},  // two lines would reach the bottom
      {190, 300 - 20 - 1},  // 282 + 20 reaches it too
      {180, 269},           // 299 x 180 / 200 fits
      {0, 2},               // above the top margin
  };
  for (const Case& c : cases) {
    in.LabelTop[0] = c.screenTop;
    EXPECT_EQ(Of(Draw(), CanvasOp::Kind::Text)[0].from.y, c.pictureTop) << c.screenTop;
  }
}

TEST_F(PictureMarks, ColoursFollowTheColourAndBackgroundOptions) {
  struct Case {
    int32_t white, colour;
    bool transparent;
    Color mark1, mark2, brush;
    platform::BrushStyle style;
  };
  const Case cases[] = {
      {0, 1, false, Slot(0, kSlotYellowMark), Slot(0, kSlotRedMark), platform::kBlack, platform::BrushStyle::Solid},
      {1, 1, false, Slot(1, kSlotYellowMark), Slot(1, kSlotRedMark), platform::kWhite, platform::BrushStyle::Solid},
      {1, 0, false, platform::kBlack, platform::kBlack, platform::kWhite, platform::BrushStyle::Solid},
      // A monochrome picture is black on white whatever the background
      // option: its marks are black, never white on white.
      {0, 0, false, platform::kBlack, platform::kBlack, platform::kWhite, platform::BrushStyle::Solid},
      {0, 1, true, Slot(0, kSlotYellowMark), Slot(0, kSlotRedMark), platform::kBlack, platform::BrushStyle::Clear},
  };
  for (const Case& c : cases) {
    in.WhiteBG = c.white;
    in.Colour = c.colour;
    in.Transparent = c.transparent;
    const std::vector<CanvasOp> ops = Draw();
    const std::vector<CanvasOp> lines = Of(ops, CanvasOp::Kind::Line);
    const std::vector<CanvasOp> texts = Of(ops, CanvasOp::Kind::Text);
    EXPECT_EQ(lines[0].pen.color, c.mark1);
    EXPECT_EQ(lines[1].pen.color, c.mark2);
    EXPECT_EQ(texts[0].font.color, c.mark1);
    EXPECT_EQ(texts[2].font.color, c.mark2);
    EXPECT_EQ(texts[0].brush.style, c.style);
    if (c.style == platform::BrushStyle::Solid) {
      EXPECT_EQ(texts[0].brush.color, c.brush);
    }
  }
}

TEST_F(PictureMarks, AOnePointScreenOrAOneRowPaintBoxDividesByNothing) {
  in.DisplayWidth = 1;
  in.ImageHeight = 1;
  const std::vector<CanvasOp> ops = Draw();
  EXPECT_EQ(Of(ops, CanvasOp::Kind::Line)[1].from, (platform::Point{4, 2}));
  EXPECT_EQ(Of(ops, CanvasOp::Kind::Text)[0].from.y, 2);
}

TEST_F(PictureMarks, AnEmptyCaptionDrawsTheLineAlone) {
  in.Caption[0].clear();
  const std::vector<CanvasOp> ops = Draw();
  EXPECT_EQ(Of(ops, CanvasOp::Kind::Line).size(), 2u);
  ASSERT_EQ(Of(ops, CanvasOp::Kind::Text).size(), 1u);
  EXPECT_EQ(Of(ops, CanvasOp::Kind::Text)[0].text, "xyz");
}

TEST(PictureMarksShown, OnlyWhenIncludedAndShownOnTheScreen) {
  struct Case {
    int32_t include, source;
    bool trace;
    int32_t measTime;
    bool shown;
  };
  const Case cases[] = {{1, 0, true, 0, true},  {1, 1, true, 0, true},   {1, 1, false, 1, false},
                        {0, 1, true, 1, false}, {1, 2, false, 1, true},  {1, 2, true, 0, false},
                        {0, 2, true, 1, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(PictureShowsMarks(c.include, c.source, c.trace, c.measTime), c.shown)
        << c.include << " " << c.source << " " << c.trace << " " << c.measTime;
  }
}

}  // namespace
