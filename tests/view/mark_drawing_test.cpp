// The marks' lines over the picture and their labels painted into it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "platform/RecordingCanvas.h"
#include "view/MarkDrawing.h"
#include "view/Palette.h"

namespace {

using namespace quelvar;
using namespace quelvar::platform;

constexpr Color kYellow{255, 255, 0};
constexpr Color kRed{255, 0, 0};

class MarkDrawing : public ::testing::Test {
 protected:
  MarkDrawing() {
    ViewOptions options;
    options.ScaleOut = false;
    plot = MarkPlotOf(options, ScaleLabelMetrics{}, 504, 403);  // L 4, T 2, W 499, H 400
    view.DisplayWidth = 100;
    view.Mark1X = 1;    // column 4
    view.Mark2X = 100;  // column 503
    view.Mark1Y = 50;
    view.Mark2Y = 300;
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) lines.push_back(op.ToString());
    return lines;
  }

  MarkPlot plot;
  WaveViewState view;
  MarkColours colours{kYellow, kRed};
  RecordingCanvas canvas{504, 403};
};

TEST(MarkColours, Mark1IsTheYellowSlotAndMark2TheRedSlotOfTheSchemesRow) {
  LiveConfig config;
  config.ColorPalette[kPaletteRowBlack][kSlotYellowMark] = 0x0000FFFF;
  config.ColorPalette[kPaletteRowBlack][kSlotRedMark] = 0x000000FF;
  config.ColorPalette[kPaletteRowWhite][kSlotYellowMark] = 0x00008080;
  config.ColorPalette[kPaletteRowWhite][kSlotRedMark] = 0x00000080;
  const MarkColours black = MarkColoursOf(config, 0);
  EXPECT_EQ(black.mark1, kYellow);
  EXPECT_EQ(black.mark2, kRed);
  const MarkColours white = MarkColoursOf(config, 1);
  EXPECT_EQ(white.mark1, (Color{128, 128, 0}));
  EXPECT_EQ(white.mark2, (Color{128, 0, 0}));
}

TEST_F(MarkDrawing, CursorsSpanThePlotHeightInTheirMarksColours) {
  DrawMarkLines(canvas, view, plot, colours, false);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"line (4,2)-(4,402) pen #FFFF00 1 solid",
                                               "line (503,2)-(503,402) pen #FF0000 1 solid"}));
}

TEST_F(MarkDrawing, LevelLinesSpanThePlotWidthAndAreJoinedInMark2sColour) {
  DrawMarkLines(canvas, view, plot, colours, true);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "line (4,2)-(4,402) pen #FFFF00 1 solid",
                         "line (4,50)-(503,50) pen #FFFF00 1 solid",
                         "line (503,2)-(503,402) pen #FF0000 1 solid",
                         "line (4,300)-(503,300) pen #FF0000 1 solid",
                         "line (4,50)-(503,300) pen #FF0000 1 solid",
                     }));
}

TEST_F(MarkDrawing, OscilloscopeDrawsOnlyTheLinesThatAreOnAndNeverJoinsThem) {
  DrawOscMarkLines(canvas, view, plot, colours, true, false);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"line (4,2)-(4,402) pen #FFFF00 1 solid",
                                               "line (503,2)-(503,402) pen #FF0000 1 solid"}));
  canvas.Clear();
  DrawOscMarkLines(canvas, view, plot, colours, false, true);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"line (4,50)-(503,50) pen #FFFF00 1 solid",
                                               "line (4,300)-(503,300) pen #FF0000 1 solid"}));
  canvas.Clear();
  DrawOscMarkLines(canvas, view, plot, colours, true, true);
  EXPECT_EQ(Lines().size(), 4u);
}

// Recording metrics in a size-10 font: 10 pixels a character, lines 20 high.
TEST_F(MarkDrawing, APaintedLabelWritesItsLinesBesideItsMark) {
  canvas.SetFont({"Times New Roman", 10, 0, kBlack});
  const PaintedMarkLabel label{"ab\n\rcdef\n\r", 100, 50, kYellow};
  EXPECT_EQ(PaintMarkLabel(canvas, label, 0, 504, false, false), 108);
  const std::vector<CanvasOp> texts = canvas.OpsOf(CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].ToString(), "text (104,46) \"ab\" font \"Times New Roman\" 10 #FFFF00 on #000000");
  EXPECT_EQ(texts[1].ToString(), "text (104,66) \"cdef\" font \"Times New Roman\" 10 #FFFF00 on #000000");
}

TEST_F(MarkDrawing, APaintedLabelThatDoesNotFitRightOfItsMarkGoesLeftOfIt) {
  canvas.SetFont({"Times New Roman", 10, 0, kBlack});
  // The widest line (4 characters, 40 pixels) decides.
  const PaintedMarkLabel label{"ab\n\rcdef", 460, 50, kRed};
  EXPECT_EQ(PaintMarkLabel(canvas, label, 0, 504, true, true), 412);
  const std::vector<CanvasOp> texts = canvas.OpsOf(CanvasOp::Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].ToString(), "text (408,46) \"ab\" font \"Times New Roman\" 10 #FF0000 transparent");
}

TEST_F(MarkDrawing, APaintedLabelOnTheWhiteSchemeIsOnWhite) {
  canvas.SetFont({"Times New Roman", 10, 0, kBlack});
  PaintMarkLabel(canvas, {"x", 10, 10, kRed}, 0, 504, true, false);
  EXPECT_EQ(canvas.OpsOf(CanvasOp::Kind::Text).at(0).brush, (Brush{kWhite, BrushStyle::Solid}));
}

}  // namespace
