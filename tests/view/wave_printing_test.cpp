// Whole print jobs on the test printer: the waveform pages with their frame
// texts and marks, the cover and the trigger report in the same job, the
// preview of one page, text jobs, and the view left as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "platform/RecordingPrintTarget.h"
#include "view/DisplayLayout.h"
#include "view/Palette.h"
#include "view/WavePrinting.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;
using platform::RecordingCanvas;
using platform::RecordingPrintTarget;

// One analog channel, 5000 points at 1000 a second; pages of 2000 x 3000
// printer pixels at 600 dots per inch without margins; the printer font
// size 10 (text 20 high, 10 a character), the picture font size 5.
class WavePrintingTest : public ::testing::Test {
 protected:
  WavePrintingTest() : target(2000, 3000, 600, "P") {
    LiveConfig& c = state.config;
    c.Analog_Num = 1;
    c.SW_Num = 0;
    c.NumChn = 1;
    c.NumSamp = 100;
    c.MaxMultiFreq = 1;
    c.ChannelRate = 1000.0f;
    c.Total_Line = 1;
    c.LineTable[0].APhaseNum = 1;
    c.AnalogChannelTable[0].ChnGroupNo = 0;
    c.AnalogChannelTable[0].ChnPreAmp = 1.0f;
    c.AnalogChannelTable[0].ChnAxialZero = 2048;
    RestoreDefaultColors(c.ColorPalette, kMinColorNum);
    RebuildRateLayout(c, state.layout);
    RebuildLineTables(c);
    RebuildPageTables(c, state.pages, state.wave.PageLayout);
    c.PageSpaceLeftCM = c.PageSpaceRightCM = c.PageSpaceUpCM = c.PageSpaceBottomCM = 0.0f;
    c.PrinterFontSize = 10;
    c.WMFFontSize = 5;
    c.PrintScaleNum = 8;
    c.IDIncludeDate = 1;
    c.IDIncludePageNo = 1;
    state.print.PageHeader = "Head";
    state.print.PageFooter = "Foot";
    state.history.Comment = "Comment";
    state.startup.WindowWord = "录波器";

    samples.assign(5000, 3000);
    DisplayDescriptor& d = state.display;
    d.DispData = samples.data();
    d.DispBlocks = 50;
    d.DispRows = 5000;
    d.DispPoints = 5000;
    d.DispRowWords = 1;
    d.DispValid = 1;

    WaveViewState& v = state.wave;
    v.XPosition = 0;
    v.DisplayWidth = 1000;
    v.Options.Scope = ChannelScope::Channel;
    v.Options.ScaleOut = false;
    context.ScaleOut = false;
    context.DateTime = "2024-05-06 07:08:09";
    context.ImageHeight = 401;
    context.RunLog = [this](const std::string& line) { log.push_back(line); };
  }

  std::vector<std::string> Texts(const RecordingCanvas& page) const {
    std::vector<std::string> texts;
    for (const CanvasOp& op : page.OpsOf(CanvasOp::Kind::Text)) texts.push_back(op.text);
    return texts;
  }

  // The columns of the lines drawn in `colour`.
  static std::vector<int> Columns(const RecordingCanvas& page, platform::Color colour) {
    std::vector<int> xs;
    for (const CanvasOp& op : page.OpsOf(CanvasOp::Kind::Line)) {
      if (op.pen.color == colour) xs.push_back(op.from.x);
    }
    return xs;
  }

  AppState state;
  std::vector<uint16_t> samples;
  RecordingPrintTarget target;
  PrintContext context;
  std::vector<std::string> log;
};

TEST_F(WavePrintingTest, PageCountJobFramesEveryPage) {
  state.config.WavePage = 3;
  std::vector<std::pair<int32_t, int32_t>> progress;
  context.Progress = [&](int32_t done, int32_t total) { progress.emplace_back(done, total); };
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), 3);

  EXPECT_EQ(target.DocumentsBegun(), 1);
  EXPECT_EQ(target.DocumentsEnded(), 1);
  EXPECT_EQ(target.Titles(), std::vector<std::string>{"录波器打印任务"});
  EXPECT_TRUE(target.Errors().empty());
  ASSERT_EQ(target.Pages().size(), 3u);
  EXPECT_EQ(log, std::vector<std::string>{"\r\n 手动打印波形于:2024-05-06 07:08:09"});
  EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{1, 3}, {2, 3}, {3, 3}}));

  const std::string header = "Head  打印日期 2024-05-06 07:08:09";  // 30 characters
  for (size_t i = 0; i < 3; ++i) {
    const std::vector<CanvasOp> texts = target.Page(i).OpsOf(CanvasOp::Kind::Text);
    ASSERT_GE(texts.size(), 3u);
    const std::string footer = "Foot《第 " + std::to_string(i + 1) + "/3 页》";  // 13 characters
    EXPECT_EQ(texts[0].text, header);
    EXPECT_EQ(texts[0].from, (platform::Point{(2000 - 300) / 2, 0}));
    EXPECT_EQ(texts[1].text, "Comment");
    EXPECT_EQ(texts[1].from, (platform::Point{(2000 - 70) / 2, 20}));
    EXPECT_EQ(texts[2].text, footer);
    EXPECT_EQ(texts[2].from, (platform::Point{(2000 - 130) / 2, 3000 - 20}));
    // The picture fills the page between the comment and the footer.
    const CanvasOp background = target.Page(i).OpsOf(CanvasOp::Kind::FillRect).at(0);
    EXPECT_EQ(background.rect.left, 0);
    EXPECT_EQ(background.rect.top, 40);
    EXPECT_EQ(background.brush.color, platform::kWhite);
  }
}

TEST_F(WavePrintingTest, NoDateNoPageNumbers) {
  state.config.IDIncludeDate = 0;
  state.config.IDIncludePageNo = 0;
  state.config.WavePage = 2;
  PrintWaveforms(state, target, context, 0, nullptr, 0);
  for (size_t i = 0; i < 2; ++i) {
    const std::vector<std::string> texts = Texts(target.Page(i));
    EXPECT_EQ(texts.at(0), "Head");
    EXPECT_EQ(texts.at(2), "Foot");
  }
}

TEST_F(WavePrintingTest, MarksOnThePagesTheyFallOn) {
  // Pages of 358 points from 0, 322 and 644; the plot from x = 4, 1995 wide.
  LiveConfig& c = state.config;
  c.WavePage = 3;
  c.IDGraphInst = 1;
  c.IDWaveColor = 1;
  state.wave.Mark1X = 500;  // page 2 only: m = 178
  state.wave.Mark2X = 700;  // page 3 only: m = 56
  context.MarkCaptions = {"M1", "M2"};
  const platform::Color yellow = platform::Color::FromStored(c.ColorPalette[kPaletteRowWhite][kSlotYellowMark]);
  const platform::Color red = platform::Color::FromStored(c.ColorPalette[kPaletteRowWhite][kSlotRedMark]);
  PrintWaveforms(state, target, context, 0, nullptr, 0);
  ASSERT_EQ(target.Pages().size(), 3u);
  const int x1 = 177 * 1995 / 357 + 4;
  const int x2 = 55 * 1995 / 357 + 4;
  EXPECT_TRUE(Columns(target.Page(0), yellow).empty());
  EXPECT_EQ(Columns(target.Page(1), yellow), (std::vector<int>{x1 - 1, x1, x1 + 1}));
  EXPECT_TRUE(Columns(target.Page(2), yellow).empty());
  EXPECT_TRUE(Columns(target.Page(1), red).empty());
  EXPECT_EQ(Columns(target.Page(2), red), std::vector<int>{x2});
  // Without the labels on screen no marks are printed.
  context.ViewTrace = false;
  RecordingPrintTarget other(2000, 3000, 600);
  PrintWaveforms(state, other, context, 0, nullptr, 0);
  EXPECT_TRUE(Columns(other.Page(1), yellow).empty());
}

TEST_F(WavePrintingTest, FixedScalePagesAndMarks) {
  // 1 cm (236 pixels) for 200 ms (200 points); printable 2000 - 4 wide:
  // 1996 x 200 / 236 = 1691 points a page, nine tenths (1521) apart.
  LiveConfig& c = state.config;
  c.IDFixedScale = 1;
  c.PerPointCM = 1.0f;
  c.PerSampTime = 200.0f;
  c.IDGraphInst = 1;
  c.IDWaveColor = 1;
  state.wave.DisplayWidth = 3000;
  state.wave.Mark1X = 1600;  // on pages 1 (m = 1600) and 2 (m = 79)
  state.wave.Mark2X = 5000;  // beyond every page
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), 2);
  EXPECT_EQ(state.print.PagePoints, 1691);
  EXPECT_EQ(state.print.PerPointCMPixels, 236);
  const platform::Color yellow = platform::Color::FromStored(c.ColorPalette[kPaletteRowWhite][kSlotYellowMark]);
  // The plot is 1691 x 236 / 200 = 1995 pixels wide at this scale.
  const int x1 = static_cast<int>(int64_t{1599} * 1995 / 1690 + 4);
  const int x2 = static_cast<int>(int64_t{78} * 1995 / 1690 + 4);
  EXPECT_EQ(Columns(target.Page(0), yellow), (std::vector<int>{x1 - 1, x1, x1 + 1}));
  EXPECT_EQ(Columns(target.Page(1), yellow), (std::vector<int>{x2 - 1, x2, x2 + 1}));
}

TEST_F(WavePrintingTest, FixedScaleCountsDisplayPointsOfFasterChannels) {
  // Display points at twice the base rate: a page holds 1691 base samples,
  // 3382 display points, so 3000 points fit one page, drawn as wide as one
  // page of the base rate, and the marks stand where the renderer puts the
  // points.
  LiveConfig& c = state.config;
  c.IDFixedScale = 1;
  c.IDGraphInst = 1;
  c.IDWaveColor = 1;
  c.MaxMultiFreq = 2;
  state.layout.MaxMultiFreq = 2;
  state.wave.DisplayWidth = 3000;
  state.wave.Mark1X = 1600;
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), 1);
  EXPECT_EQ(state.print.PagePoints, 1691);
  const platform::Color yellow = platform::Color::FromStored(c.ColorPalette[kPaletteRowWhite][kSlotYellowMark]);
  const int x = static_cast<int>(int64_t{1599} * 1995 / 3381 + 4);
  EXPECT_EQ(Columns(target.Page(0), yellow), (std::vector<int>{x - 1, x, x + 1}));
}

TEST_F(WavePrintingTest, MarksFollowAPageMovedBackToTheEndOfTheData) {
  // Pages from 4000, 4322 and 4644; the last would end at 5002 and is drawn
  // from 4642, so mark 2 at point 4999 is its 357th point.
  LiveConfig& c = state.config;
  c.WavePage = 3;
  c.IDGraphInst = 1;
  c.IDWaveColor = 1;
  state.wave.XPosition = 4000;
  state.wave.Mark1X = 0;
  state.wave.Mark2X = 999;
  PrintWaveforms(state, target, context, 0, nullptr, 0);
  const platform::Color red = platform::Color::FromStored(c.ColorPalette[kPaletteRowWhite][kSlotRedMark]);
  EXPECT_EQ(Columns(target.Page(2), red), std::vector<int>{356 * 1995 / 357 + 4});
  EXPECT_EQ(state.wave.XPosition, 4000);
}

TEST_F(WavePrintingTest, OscilloscopePagesAreDrawnByItsPainter) {
  state.display.DataSourceMode = 2;
  state.oscilTool.UseChn1 = 1;
  state.oscilTool.ChnAd1 = 0;
  PrintWaveforms(state, target, context, 0, nullptr, 0);
  ASSERT_EQ(target.Pages().size(), 1u);
  // More than the three frame texts: the oscilloscope's background, axis and trace.
  EXPECT_FALSE(target.Page(0).OpsOf(CanvasOp::Kind::FillRect).empty());
  EXPECT_FALSE(target.Page(0).OpsOf(CanvasOp::Kind::Line).empty());
}

TEST_F(WavePrintingTest, CoverAndTriggerReportArePagesOfTheSameJob) {
  LiveConfig& c = state.config;
  c.WavePage = 2;
  c.Algorithm_Num = 0;  // the record's algorithm is gone
  state.history.TriggerType = 2;
  state.history.TriggerAlgorithm = 4;
  context.SelectFault = true;
  EXPECT_EQ(PrintWaveforms(state, target, context, 1, nullptr, 0), 2);
  EXPECT_EQ(target.DocumentsBegun(), 1);
  EXPECT_TRUE(target.Errors().empty());
  EXPECT_EQ(log, std::vector<std::string>{"\r\n 自动打印波形于:2024-05-06 07:08:09"});
  // The report's page first, then the two waveform pages.
  ASSERT_EQ(target.Pages().size(), 3u);
  const std::vector<std::string> report = Texts(target.Page(0));
  ASSERT_GE(report.size(), 4u);
  EXPECT_EQ(report[2], "录波启动算法信息");
  EXPECT_EQ(report.back(), "但算法号不再有效！");
  EXPECT_EQ(Texts(target.Page(1)).at(2), "Foot《第 1/2 页》");

  // Not for a record on display without its check mark, nor for another trigger.
  context.SelectFault = false;
  RecordingPrintTarget other(2000, 3000, 600);
  PrintWaveforms(state, other, context, 0, nullptr, 0);
  EXPECT_EQ(other.Pages().size(), 2u);
}

TEST_F(WavePrintingTest, OneJobHoldsTheCoverThenTheReportThenTheWaveforms) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("quelvar-cover-" + std::to_string(::getpid()) + ".txt");
  {
    std::ofstream out(file, std::ios::binary);
    out << "Cover line 1\nCover line 2\n";
  }
  LiveConfig& c = state.config;
  c.IDAutoCover = 1;
  state.print.CoverPageTextFile = file.string();
  c.WavePage = 2;
  c.Algorithm_Num = 0;
  state.history.TriggerType = 2;
  state.history.TriggerAlgorithm = 4;
  context.SelectFault = true;
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), 2);
  std::filesystem::remove(file);
  EXPECT_EQ(target.DocumentsBegun(), 1);
  EXPECT_EQ(target.DocumentsEnded(), 1);
  EXPECT_TRUE(target.Errors().empty());
  // Cover, report, two waveform pages: no empty page between them.
  ASSERT_EQ(target.Pages().size(), 4u);
  const std::vector<std::string> cover = Texts(target.Page(0));
  EXPECT_NE(std::find(cover.begin(), cover.end(), "Cover line 2"), cover.end());
  const std::vector<std::string> report = Texts(target.Page(1));
  EXPECT_NE(std::find(report.begin(), report.end(), "录波启动算法信息"), report.end());
  EXPECT_EQ(std::find(report.begin(), report.end(), "Cover line 1"), report.end());  // one cover only
  EXPECT_EQ(Texts(target.Page(2)).at(2), "Foot《第 1/2 页》");
  EXPECT_EQ(Texts(target.Page(3)).at(2), "Foot《第 2/2 页》");
}

TEST_F(WavePrintingTest, RestoresTheViewWithTheCorrectedStart) {
  state.config.WavePage = 3;
  state.wave.XPosition = 4500;  // 4500 + 1000 > 5000
  PrintWaveforms(state, target, context, 0, nullptr, 0);
  EXPECT_EQ(state.wave.XPosition, 4000);
  EXPECT_EQ(state.wave.DisplayWidth, 1000);
  EXPECT_EQ(state.wave.RepaintRequested, 1);

  state.config.IDFixedScale = 1;
  state.wave.XPosition = 123;
  RecordingPrintTarget other(2000, 3000, 600);
  PrintWaveforms(state, other, context, 0, nullptr, 0);
  EXPECT_EQ(state.wave.XPosition, 123);
  EXPECT_EQ(state.wave.DisplayWidth, 1000);
}

TEST_F(WavePrintingTest, PageCountBelowOneIsCorrected) {
  state.config.WavePage = 0;
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), 1);
  EXPECT_EQ(state.config.WavePage, 1);
}

TEST_F(WavePrintingTest, HugeMarginsAndFontsStillEnd) {
  LiveConfig& c = state.config;
  c.PageSpaceLeftCM = c.PageSpaceRightCM = c.PageSpaceUpCM = c.PageSpaceBottomCM = 1000.0f;
  c.PrinterFontSize = 100000;
  c.WMFFontSize = 100000;
  c.PerPointCM = 1.0e6f;
  for (int32_t fixed : {0, 1}) {
    c.IDFixedScale = fixed;
    RecordingPrintTarget printer(2000, 3000, 600);
    EXPECT_GE(PrintWaveforms(state, printer, context, 0, nullptr, 0), 1) << fixed;
    EXPECT_EQ(printer.DocumentsEnded(), 1);
    RecordingPrintTarget text(2000, 3000, 600);
    EXPECT_EQ(PrintTextPages(state, text, context, {"a", "b"}, "T"), 3);
  }
}

TEST_F(WavePrintingTest, PreviewDrawsOnlyTheRequestedPage) {
  state.config.WavePage = 3;
  state.config.IDAutoCover = 1;
  RecordingCanvas preview(2000, 3000);
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, &preview, 1), 3);
  EXPECT_EQ(target.DocumentsBegun(), 0);
  EXPECT_TRUE(log.empty());
  const std::vector<std::string> texts = Texts(preview);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[2], "Foot《第 2/3 页》");
  EXPECT_EQ(state.wave.XPosition, 0);
  EXPECT_EQ(state.wave.RepaintRequested, 0);

  RecordingCanvas outside(2000, 3000);
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, &outside, 3), 3);
  EXPECT_TRUE(outside.Ops().empty());
}

TEST_F(WavePrintingTest, NothingWithoutDataAndNoJobWhenRefused) {
  state.display.DispValid = 0;
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), 0);
  EXPECT_EQ(target.DocumentsBegun(), 0);
  EXPECT_TRUE(log.empty());
  state.display.DispValid = 1;
  target.RefuseNextDocument();
  EXPECT_EQ(PrintWaveforms(state, target, context, 0, nullptr, 0), -1);
  EXPECT_EQ(state.wave.XPosition, 0);
  EXPECT_TRUE(target.Pages().empty());
}

TEST_F(WavePrintingTest, TextJobWithTitleAndPageNumbers) {
  // (3000 - 0 - 0) / 20 - 2 = 148 lines a page; 148 lines need two pages.
  std::vector<std::string> lines;
  for (int i = 0; i < 148; ++i) lines.push_back("line" + std::to_string(i));
  EXPECT_EQ(PrintTextPages(state, target, context, lines, "运行日志:"), 2);
  ASSERT_EQ(target.Pages().size(), 2u);
  EXPECT_EQ(target.DocumentsBegun(), 1);
  const std::vector<CanvasOp> first = target.Page(0).OpsOf(CanvasOp::Kind::Text);
  EXPECT_EQ(first[0].text, "Head  打印日期 2024-05-06 07:08:09");
  EXPECT_EQ(first[1].text, "Foot《第 1/2 页》");
  EXPECT_EQ(first[2].text, "运行日志:");
  EXPECT_EQ(first[2].from, (platform::Point{(2000 - 50) / 2, 20}));
  EXPECT_EQ(first[3].text, "line0");
  EXPECT_EQ(first[3].from, (platform::Point{0, 40}));
  const std::vector<CanvasOp> second = target.Page(1).OpsOf(CanvasOp::Kind::Text);
  EXPECT_EQ(second[2].text, "line147");
  EXPECT_EQ(second[2].from, (platform::Point{0, 20}));
  lines.pop_back();
  RecordingPrintTarget other(2000, 3000, 600);
  EXPECT_EQ(PrintTextPages(state, other, context, lines, "T"), 1);
}

TEST(SplitCrLfLines, RowsOfATable) {
  EXPECT_EQ(SplitCrLfLines("a\tb\r\nc\r\n\r\nd"), (std::vector<std::string>{"a\tb", "c", "", "d"}));
  EXPECT_EQ(SplitCrLfLines(""), std::vector<std::string>{""});
}

}  // namespace
