#include "view/WavePrinting.h"

#include <algorithm>

#include "common/NumberFormat.h"
#include "platform/OffsetCanvas.h"
#include "view/CoverPage.h"
#include "view/DisplayLayout.h"
#include "view/OscilloscopeRenderer.h"
#include "view/PageMarks.h"
#include "view/Palette.h"
#include "view/PrintLayout.h"
#include "view/PrintPages.h"
#include "view/PrintSettings.h"
#include "view/ScreenWaveformInput.h"
#include "view/TextPages.h"
#include "view/TriggerAlgorithmReport.h"
#include "view/WaveformRenderer.h"

namespace quelvar {

namespace {

std::string JobTitle(const AppState& state) { return state.startup.WindowWord + "打印任务"; }

platform::Font PictureFont(const LiveConfig& c) {
  return {c.WMFFontName, c.WMFFontSize, c.WMFFontStyle, platform::kBlack};
}

// The picture area of a waveform page and the picture font's metrics there.
struct PictureArea {
  platform::Point Origin;
  int Width = 1;
  int Height = 1;
  int32_t TextHeight = 0;
  int32_t LabelWidth = 0;
};

}  // namespace

int32_t PrintWaveforms(AppState& state, platform::PrintTarget& target, const PrintContext& context,
                       int32_t automatic, platform::Canvas* preview, int32_t page) {
  if (state.display.DispValid == 0) return 0;
  LiveConfig& c = state.config;
  PrintState& print = state.print;
  WaveViewState& v = state.wave;
  const DisplayDescriptor& d = state.display;
  RecomputePrintPixels(c, target.PixelsPerInchX(), print);

  const bool printing = preview == nullptr;
  if (printing) {
    if (!target.BeginDocument(JobTitle(state))) return -1;
    if (context.RunLog) {
      context.RunLog(std::string(automatic != 0 ? "\r\n 自动" : "\r\n 手动") + "打印波形于:" + context.DateTime);
    }
  }
  const PageFrame frame = MakePageFrame(c, print, target, context.DateTime);
  JobPages pages(target);
  if (printing) {
    PrintCoverPage(c, print, pages, frame);
    // The report is part of this job: a second job begun inside this one
    // is what a printer refuses.
    if (context.SelectFault && state.history.TriggerType == 2) {
      DrawTextPages(pages, frame, print.PageFooter, c.IDIncludePageNo, print.LineSpacePixels,
                    TriggerAlgorithmReport(c, state.layout, state.history), "录波启动算法信息", nullptr);
    }
  }

  const int32_t W = v.DisplayWidth;
  int32_t start = v.XPosition;
  if (int64_t{start} + W > d.DispPoints) start = std::max(SaturateToInt32(int64_t{d.DispPoints} - W), 0);

  const int L = frame.Margins[0], R = frame.Margins[1], T = frame.Margins[2], B = frame.Margins[3];
  const int PW = frame.PageWidth, PH = frame.PageHeight;
  const std::string& comment = state.history.Comment;
  platform::Canvas& measure = printing ? pages.Canvas() : *preview;
  measure.SetFont(frame.PrinterFont);
  const int hH = measure.TextHeight(frame.Header);
  const int hF = measure.TextHeight(PrintFooterText(print.PageFooter, c.IDIncludePageNo, 1, 1));
  const int hC = measure.TextHeight(comment);
  PictureArea area;
  area.Origin = {L, SaturateToInt32(int64_t{T} + hH + hC)};
  area.Width = SaturateToInt32(std::max<int64_t>(int64_t{PW} - L - R, 1));
  area.Height = SaturateToInt32(std::max<int64_t>(int64_t{PH} - hH - hF - hC - T - B, 1));
  {
    platform::OffsetCanvas picture(measure, area.Origin, area.Width, area.Height);
    picture.SetFont(PictureFont(c));
    area.TextHeight = picture.TextHeight("1");
    area.LabelWidth = WidestLabel(ScaleLabelTexts(c, state.startup.PresentationMode),
                                  [&](const std::string& t) { return picture.TextWidth(t); });
  }

  const bool fixed = c.IDFixedScale != 0;
  WavePageLayout layout;
  if (fixed) {
    const int32_t allowance = context.ScaleOut ? area.LabelWidth : 4;
    const int32_t printable = FixedScalePrintableWidth(PW, L, R, allowance);
    print.PagePoints = FixedScalePagePoints(printable, print.PerSampTimePoints, print.PerPointCMPixels);
    const int32_t displayPagePoints = SaturateToInt32(int64_t{print.PagePoints} * std::max(state.layout.MaxMultiFreq, 1));
    layout = WavePageLayout::FixedScale(start, W, displayPagePoints, d.DispPoints);
  } else {
    c.WavePage = std::clamp(c.WavePage, 1, kMostWavePages);
    layout = WavePageLayout::PageCount(start, W, c.WavePage, c.PrintScaleNum);
  }
  const int32_t count = layout.Count();

  WaveformPaintInput input = ScreenWaveformInput(state);
  input.ToPicture = 1;
  input.LineWidth = print.LineWidth;
  input.FixedScale = fixed ? 1 : 0;
  input.WhiteBG = 1;
  input.ScaleCount = c.PrintScaleNum;
  input.Colour = c.IDWaveColor;
  input.TextHeight = area.TextHeight;
  input.LabelWidth = area.LabelWidth;
  input.PerPointCMPixels = print.PerPointCMPixels;
  input.PerSampTimePoints = print.PerSampTimePoints;
  const WaveformPaintInput* self = &input;
  input.PaintOscilloscope = [&state, self](platform::Canvas& canvas) {
    const OscilloscopeRun run{state.RunState == kRunOscilloscope, state.acq.OscilPaused != 0};
    PaintOscilloscope(canvas, *self, state.oscilTool, state.wave, run);
  };

  const bool marks = PageMarksWanted(c.IDGraphInst, d.DataSourceMode, context.ViewTrace, state.oscilTool.MeasTime);
  PageMarkPlot plot;
  plot.PictureWidth = area.Width;
  plot.PictureHeight = area.Height;
  plot.Left = context.ScaleOut ? area.LabelWidth : 4;
  plot.Top = context.ScaleOut ? area.TextHeight : 2;
  plot.FixedScale = fixed;
  plot.ImageHeight = context.ImageHeight;
  const auto& white = c.ColorPalette[kPaletteRowWhite];
  std::array<PageMark, 2> pageMarks{
      PageMark{v.Mark1X, fixed ? v.Mark1Y : context.MarkLabelTops[0], context.MarkCaptions[0],
               platform::Color::FromStored(white[kSlotYellowMark])},
      PageMark{v.Mark2X, fixed ? v.Mark2Y : context.MarkLabelTops[1], context.MarkCaptions[1],
               platform::Color::FromStored(white[kSlotRedMark])}};

  auto drawPage = [&](platform::Canvas& canvas, int32_t i) {
    canvas.SetFont(frame.PrinterFont);
    DrawCentred(canvas, frame, T, frame.Header);
    DrawCentred(canvas, frame, T + hH, comment);
    DrawCentred(canvas, frame, PH - hF - B, PrintFooterText(print.PageFooter, c.IDIncludePageNo, i + 1, count));
    const WavePageRange range = layout.Page(i);
    v.XPosition = range.First;
    v.DisplayWidth = range.Width;
    input.OverlapPoints = range.Overlap;
    platform::OffsetCanvas picture(canvas, area.Origin, area.Width, area.Height);
    picture.SetFont(PictureFont(c));
    PaintWaveform(picture, input, v);
    if (!marks) return;
    // The renderer may have moved a page that reached past the data back;
    // the marks follow the page as drawn.
    plot.Width = fixed ? FixedScaleWidth(v.DisplayWidth, print.PerPointCMPixels, print.PerSampTimePoints,
                                         state.layout.MaxMultiFreq)
                       : area.Width - plot.Left - 1;
    DrawPageMarks(picture, plot, start, v.XPosition, v.DisplayWidth, pageMarks, c.IDWaveColor != 0,
                  context.BGTrans);
  };

  if (printing) {
    for (int32_t i = 0; i < count; ++i) {
      drawPage(pages.StartPage(), i);
      if (context.Progress) context.Progress(i + 1, count);
    }
    target.EndDocument();
    v.RepaintRequested = 1;
  } else if (page >= 0 && page < count) {
    drawPage(*preview, page);
  }
  v.XPosition = start;
  v.DisplayWidth = W;
  return count;
}

int32_t PrintTextPages(AppState& state, platform::PrintTarget& target, const PrintContext& context,
                       const std::vector<std::string>& lines, const std::string& title) {
  LiveConfig& c = state.config;
  PrintState& print = state.print;
  RecomputePrintPixels(c, target.PixelsPerInchX(), print);
  if (!target.BeginDocument(JobTitle(state))) return -1;
  const PageFrame frame = MakePageFrame(c, print, target, context.DateTime);
  JobPages pages(target);
  PrintCoverPage(c, print, pages, frame);
  int32_t printed = 0;
  DrawTextPages(pages, frame, print.PageFooter, c.IDIncludePageNo, print.LineSpacePixels, lines, title,
                [&](int32_t done, int32_t total) {
                  printed = done;
                  if (context.Progress) context.Progress(done, total);
                });
  target.EndDocument();
  return printed;
}

std::vector<std::string> SplitCrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (true) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      return lines;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
}

}  // namespace quelvar
