#include "view/MarkDrawing.h"

#include <algorithm>
#include <vector>

#include "common/TextUtil.h"
#include "view/Palette.h"

namespace quelvar {

namespace {

using platform::Color;

// Painted label text sits this far up and left of the label's corner, where
// the label control would show its first line.
constexpr int kPaintedTextShift = 4;

void DrawCursor(platform::Canvas& canvas, const MarkPlot& plot, int x) {
  canvas.MoveTo(x, plot.T);
  canvas.LineTo(x, plot.T + plot.H);
}

void DrawLevel(platform::Canvas& canvas, const MarkPlot& plot, int y) {
  canvas.MoveTo(plot.L, y);
  canvas.LineTo(plot.L + plot.W, y);
}

void UseMarkPen(platform::Canvas& canvas, Color colour) { canvas.SetPen({colour, 1, platform::PenStyle::Solid}); }

}  // namespace

MarkColours MarkColoursOf(const LiveConfig& config, int32_t whiteBG) {
  const auto& row = config.ColorPalette[static_cast<size_t>(PaletteRow(whiteBG))];
  return {Color::FromStored(row[kSlotYellowMark]), Color::FromStored(row[kSlotRedMark])};
}

void DrawMarkLines(platform::Canvas& canvas, const WaveViewState& view, const MarkPlot& plot,
                   const MarkColours& colours, bool levelLines) {
  const int x1 = PointToPixel(plot, view.DisplayWidth, view.Mark1X);
  const int x2 = PointToPixel(plot, view.DisplayWidth, view.Mark2X);
  UseMarkPen(canvas, colours.mark1);
  DrawCursor(canvas, plot, x1);
  if (levelLines) DrawLevel(canvas, plot, view.Mark1Y);
  UseMarkPen(canvas, colours.mark2);
  DrawCursor(canvas, plot, x2);
  if (levelLines) {
    DrawLevel(canvas, plot, view.Mark2Y);
    canvas.MoveTo(x1, view.Mark1Y);
    canvas.LineTo(x2, view.Mark2Y);
  }
}

void DrawOscMarkLines(platform::Canvas& canvas, const WaveViewState& view, const MarkPlot& plot,
                      const MarkColours& colours, bool timeLines, bool levelLines) {
  const struct {
    Color colour;
    int32_t x;
    int32_t y;
  } marks[] = {{colours.mark1, view.Mark1X, view.Mark1Y}, {colours.mark2, view.Mark2X, view.Mark2Y}};
  for (const auto& mark : marks) {
    UseMarkPen(canvas, mark.colour);
    if (timeLines) DrawCursor(canvas, plot, PointToPixel(plot, view.DisplayWidth, mark.x));
    if (levelLines) DrawLevel(canvas, plot, mark.y);
  }
}

int PaintMarkLabel(platform::Canvas& canvas, const PaintedMarkLabel& label, int imageLeft, int imageWidth,
                   bool whiteBackground, bool transparent) {
  const std::vector<std::string> lines = SplitLines(label.Caption);
  const int lineHeight = canvas.TextHeight("lg");
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, canvas.TextWidth(line));
  const int left = MarkLabelLeft(imageLeft, imageWidth, label.Column, widest);
  canvas.SetBrush({whiteBackground ? platform::kWhite : platform::kBlack,
                   transparent ? platform::BrushStyle::Clear : platform::BrushStyle::Solid});
  canvas.SetFontColor(label.Colour);
  for (size_t j = 0; j < lines.size(); ++j) {
    canvas.TextOut(left - kPaintedTextShift, label.Top + static_cast<int>(j) * lineHeight - kPaintedTextShift,
                   lines[j]);
  }
  return left;
}

}  // namespace quelvar
