// The two marks on a printed waveform page: whether a page carries them,
// where their lines stand and where their labels go.
#include <gtest/gtest.h>

#include "platform/RecordingCanvas.h"
#include "view/PageMarks.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::RecordingCanvas;

constexpr platform::Color kYellow{255, 255, 0};
constexpr platform::Color kRed{255, 0, 0};

// A picture of 1000 x 500 with the plot at (4, 2), 995 wide; font size 5
// (lines 10 high, 5 per character); the screen's paint box 401 high.
class PageMarksTest : public ::testing::Test {
 protected:
  PageMarksTest() : canvas(1000, 500) {
    canvas.SetFont({"", 5, 0, platform::kBlack});
    plot.PictureWidth = 1000;
    plot.PictureHeight = 500;
    plot.Left = 4;
    plot.Top = 2;
    plot.Width = 995;
    plot.ImageHeight = 401;
    marks[0] = {0, 100, "A1\n\rB", kYellow};
    marks[1] = {0, 100, "", kRed};
  }

  std::vector<int> LineColumns(platform::Color colour) const {
    std::vector<int> xs;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (op.pen.color == colour) xs.push_back(op.from.x);
    }
    return xs;
  }

  RecordingCanvas canvas;
  PageMarkPlot plot;
  std::array<PageMark, 2> marks;
};

TEST(PageMarksWanted, FollowsTheScreen) {
  EXPECT_TRUE(PageMarksWanted(1, 0, true, 0));
  EXPECT_FALSE(PageMarksWanted(1, 0, false, 1));
  EXPECT_FALSE(PageMarksWanted(0, 0, true, 1));
  EXPECT_TRUE(PageMarksWanted(1, 2, false, 1));
  EXPECT_FALSE(PageMarksWanted(1, 2, true, 0));
}

TEST_F(PageMarksTest, LinesAtTheEndsOfThePageAndNoneOutside) {
  // Page of 100 points from 1000; the job's range starts at 900, so mark
  // point p stands at m = 900 + p - 1000.
  struct Case {
    int32_t point;
    std::vector<int> columns;
  };
  const Case cases[] = {
      {101, {3, 4, 5}},        // m = 1: the left offset
      {200, {998, 999, 1000}}, // m = 100: 99 x 995 / 99 + 4, the right end
      {150, {495, 496, 497}},  // m = 50: 49 x 995 / 99 + 4
      {100, {}},               // m = 0: before the page
      {201, {}},               // m = 101: after it
  };
  for (const Case& c : cases) {
    canvas.Clear();
    marks[0].Point = c.point;
    DrawPageMarks(canvas, plot, 900, 1000, 100, marks, true, false);
    EXPECT_EQ(LineColumns(kYellow), c.columns) << c.point;
    EXPECT_EQ(canvas.OpsOf(CanvasOp::Kind::Text).empty(), c.columns.empty()) << "label only with its line";
  }
}

TEST_F(PageMarksTest, LineSpansThePlotHeight) {
  marks[0].Point = 101;
  DrawPageMarks(canvas, plot, 900, 1000, 100, marks, true, false);
  const CanvasOp line = canvas.OpsOf(CanvasOp::Kind::Line).at(1);
  EXPECT_EQ(line.from, (platform::Point{4, 2}));
  EXPECT_EQ(line.to, (platform::Point{4, 2 + 497}));
}

TEST_F(PageMarksTest, MarkTwoIsOnePixelInColourThreeInBlackAndWhite) {
  marks[1].Point = 150;
  DrawPageMarks(canvas, plot, 900, 1000, 100, marks, true, false);
  EXPECT_EQ(LineColumns(kRed).size(), 1u);
  canvas.Clear();
  DrawPageMarks(canvas, plot, 900, 1000, 100, marks, false, false);
  EXPECT_EQ(LineColumns(platform::kBlack).size(), 3u);
}

TEST_F(PageMarksTest, APageOfOnePointDividesByOne) {
  marks[0].Point = 1;
  DrawPageMarks(canvas, plot, 0, 0, 1, marks, true, false);
  EXPECT_EQ(LineColumns(kYellow), (std::vector<int>{3, 4, 5}));
}

struct LabelCase {
  int32_t row;        // label top on screen
  bool fixedScale;
  int32_t point;      // m = point (page from 0, range from 0)
  int expectedY0;
  int expectedX;
};

TEST_F(PageMarksTest, LabelPlaces) {
  // Two lines of 10, widest "A1" 10 wide; the mark's x = (m - 1) x 995 / 99 + 4.
  const LabelCase cases[] = {
      // Scaled from the screen: 499 x 100 / 400 = 124.
      {100, false, 1, 124, 4 + 8},
      // At the bottom: moved up to end one pixel above it (500 - 1 - 20).
      {400, false, 1, 479, 12},
      // In fixed scale a reserve of 8 is kept below it.
      {400, true, 1, 471, 12},
      // Above the plot: just below the top offset.
      {0, false, 1, 3, 12},
      {1, false, 1, 3, 12},
      // Near the right edge: left of the mark (x 1004 - 10 - 8 would not fit).
      {100, false, 100, 124, 999 - 10 - 8},
  };
  for (const LabelCase& c : cases) {
    canvas.Clear();
    plot.FixedScale = c.fixedScale;
    marks[0].Point = c.point;
    marks[0].LabelRow = c.row;
    DrawPageMarks(canvas, plot, 0, 0, 100, marks, true, false);
    const std::vector<CanvasOp> texts = canvas.OpsOf(CanvasOp::Kind::Text);
    ASSERT_EQ(texts.size(), 2u) << c.row;
    EXPECT_EQ(texts[0].text, "A1");
    EXPECT_EQ(texts[0].from, (platform::Point{c.expectedX, c.expectedY0})) << c.row << " " << c.point;
    EXPECT_EQ(texts[1].from, (platform::Point{c.expectedX, c.expectedY0 + 10}));
  }
}

TEST_F(PageMarksTest, MarkTwoLabelStartsAtTheTopOffset) {
  marks[1] = {1, 0, "x", kRed};
  DrawPageMarks(canvas, plot, 0, 0, 100, marks, true, false);
  EXPECT_EQ(canvas.OpsOf(CanvasOp::Kind::Text).at(0).from.y, 2);
}

TEST_F(PageMarksTest, LabelColourAndBackground) {
  marks[0].Point = 1;
  DrawPageMarks(canvas, plot, 0, 0, 100, marks, true, false);
  CanvasOp text = canvas.OpsOf(CanvasOp::Kind::Text).at(0);
  EXPECT_EQ(text.font.color, kYellow);
  EXPECT_EQ(text.brush, (platform::Brush{platform::kWhite, platform::BrushStyle::Solid}));
  canvas.Clear();
  DrawPageMarks(canvas, plot, 0, 0, 100, marks, false, true);
  text = canvas.OpsOf(CanvasOp::Kind::Text).at(0);
  EXPECT_EQ(text.font.color, platform::kBlack);
  EXPECT_EQ(text.brush.style, platform::BrushStyle::Clear);
}

}  // namespace
