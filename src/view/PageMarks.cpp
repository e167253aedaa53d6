#include "view/PageMarks.h"

#include <algorithm>
#include <vector>

#include "common/NumberFormat.h"
#include "common/TextUtil.h"

namespace quelvar {

namespace {

constexpr int32_t kLabelGap = 8;
constexpr int32_t kFixedScaleReserve = 8;

}  // namespace

bool PageMarksWanted(int32_t idGraphInst, int32_t dataSourceMode, bool viewTrace, int32_t measTime) {
  if (idGraphInst == 0) return false;
  if (dataSourceMode != 2) return viewTrace;
  return measTime != 0;
}

int32_t PageMarkColumn(int32_t m, int32_t plotWidth, int32_t pagePoints, int32_t left) {
  // A page of one point has no span between its first and last point.
  const int64_t span = std::max<int64_t>(int64_t{pagePoints} - 1, 1);
  return SaturateToInt32((int64_t{m} - 1) * plotWidth / span + left);
}

void DrawPageMarks(platform::Canvas& canvas, const PageMarkPlot& plot, int32_t start, int32_t pageFirst,
                   int32_t pagePoints, const std::array<PageMark, 2>& marks, bool colour, bool transparent) {
  const int32_t plotHeight = plot.PictureHeight - plot.Top - 1;
  for (int k = 0; k < 2; ++k) {
    const PageMark& mark = marks[static_cast<size_t>(k)];
    const int64_t m = int64_t{start} + mark.Point - pageFirst;
    if (m <= 0 || m > pagePoints) continue;
    const int32_t x = PageMarkColumn(static_cast<int32_t>(m), plot.Width, pagePoints, plot.Left);
    const platform::Color ink = colour ? mark.Colour : platform::kBlack;
    canvas.SetPen({ink, 1, platform::PenStyle::Solid});
    const bool wide = k == 0 || !colour;
    for (int dx = wide ? -1 : 0; dx <= (wide ? 1 : 0); ++dx) {
      canvas.MoveTo(x + dx, plot.Top);
      canvas.LineTo(x + dx, plot.Top + plotHeight);
    }

    const std::vector<std::string> lines = SplitLines(mark.Caption);
    if (lines.empty()) continue;
    const int64_t lineHeight = canvas.TextHeight("lg");
    int64_t widest = 0;
    for (const std::string& line : lines) widest = std::max<int64_t>(widest, canvas.TextWidth(line));
    const int64_t block = static_cast<int64_t>(lines.size()) * lineHeight;
    const int64_t reserve = plot.FixedScale ? kFixedScaleReserve : 0;
    const int64_t imageSpan = std::max<int64_t>(int64_t{plot.ImageHeight} - 1, 1);
    int64_t y0 = (int64_t{plot.PictureHeight} - 1) * mark.LabelRow / imageSpan;
    if (y0 + block + reserve >= plot.PictureHeight) {
      y0 = plot.PictureHeight - 1 - block - reserve;
    } else if (y0 <= plot.Top) {
      y0 = k == 0 ? plot.Top + 1 : plot.Top;
    }
    const int64_t left = widest + x + kLabelGap < plot.PictureWidth ? int64_t{x} + kLabelGap : x - widest - kLabelGap;
    canvas.SetBrush({platform::kWhite, transparent ? platform::BrushStyle::Clear : platform::BrushStyle::Solid});
    canvas.SetFontColor(ink);
    for (size_t j = 0; j < lines.size(); ++j) {
      canvas.TextOut(SaturateToInt32(left), SaturateToInt32(y0 + static_cast<int64_t>(j) * lineHeight), lines[j]);
    }
  }
}

}  // namespace quelvar
