#include "view/PictureMarks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/TextUtil.h"
#include "view/MarkGeometry.h"
#include "view/Palette.h"

namespace quelvar {

namespace {

constexpr int32_t kOscilloscopeSource = 2;
constexpr int kInnerLeft = 4;
constexpr int kInnerTop = 2;

// The label's top in the picture: the screen's top scaled to the picture's
// height, lifted to stay inside the picture's bottom, else held below the
// top margin.
int LabelTopInPicture(const PictureMarksInput& in, int labelTop, int lines, int lineHeight, int topMargin) {
  const int64_t screenSpan = int64_t{in.ImageHeight} - 1;
  int64_t y0 = screenSpan > 0 ? (int64_t{in.PictureHeight} - 1) * labelTop / screenSpan : topMargin;
  const int64_t height = int64_t{lines} * lineHeight;
  if (y0 + height >= in.PictureHeight) {
    y0 = in.PictureHeight - height - 1;
  } else if (y0 < topMargin) {
    y0 = topMargin;
  }
  return static_cast<int>(std::clamp<int64_t>(y0, INT32_MIN, INT32_MAX));
}

}  // namespace

bool PictureShowsMarks(int32_t includeMarks, int32_t dataSourceMode, bool traceShown, int32_t oscilMeasTime) {
  if (includeMarks == 0) return false;
  return dataSourceMode == kOscilloscopeSource ? oscilMeasTime != 0 : traceShown;
}

PictureMarkColours PictureMarkColoursOf(const LiveConfig& config, int32_t whiteBG, int32_t colour) {
  PictureMarkColours out;
  if (colour == 0) {
    out.Mark[0] = out.Mark[1] = platform::kBlack;
    out.WhiteBackground = true;
    return out;
  }
  const int row = PaletteRow(whiteBG);
  const auto& slots = config.ColorPalette[static_cast<size_t>(row)];
  out.Mark[0] = platform::Color::FromStored(slots[kSlotYellowMark]);
  out.Mark[1] = platform::Color::FromStored(slots[kSlotRedMark]);
  out.WhiteBackground = row == kPaletteRowWhite;
  return out;
}

void DrawPictureMarks(platform::Canvas& canvas, const PictureMarksInput& in, const LiveConfig& config) {
  MarkPlot plot;
  plot.L = in.ScaleOut ? in.PictureLabelWidth : kInnerLeft;
  plot.T = in.ScaleOut ? in.PictureTextHeight : kInnerTop;
  plot.W = in.PictureWidth - plot.L - 1;
  plot.ImageWidth = in.PictureWidth;
  plot.ImageHeight = in.PictureHeight;
  const PictureMarkColours colours = PictureMarkColoursOf(config, in.WhiteBG, in.Colour);
  const int lineHeight = canvas.TextHeight("lg");
  for (int i = 0; i < 2; ++i) {
    const int x = PointToPixel(plot, in.DisplayWidth, in.MarkX[i]);
    canvas.SetPen({colours.Mark[i], 1, platform::PenStyle::Solid});
    canvas.MoveTo(x, plot.T);
    canvas.LineTo(x, in.PictureHeight);

    const std::vector<std::string> lines = SplitLines(in.Caption[i]);
    if (lines.empty()) continue;
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, canvas.TextWidth(line));
    const int top = LabelTopInPicture(in, in.LabelTop[i], static_cast<int>(lines.size()), lineHeight, plot.T);
    const int left = MarkLabelLeft(0, in.PictureWidth, x, widest);
    canvas.SetBrush({colours.WhiteBackground ? platform::kWhite : platform::kBlack,
                     in.Transparent ? platform::BrushStyle::Clear : platform::BrushStyle::Solid});
    canvas.SetFontColor(colours.Mark[i]);
    for (size_t j = 0; j < lines.size(); ++j) canvas.TextOut(left, top + static_cast<int>(j) * lineHeight, lines[j]);
  }
}

}  // namespace quelvar
