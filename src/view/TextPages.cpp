#include "view/TextPages.h"

#include <algorithm>

#include "common/NumberFormat.h"

namespace quelvar {

TextPageLayout LayoutTextPages(int pageHeight, int topMargin, int bottomMargin, int lineHeight, size_t lineCount) {
  TextPageLayout layout;
  const int64_t usable = int64_t{pageHeight} - topMargin - bottomMargin;
  // A page too small for its margins and two spare lines still takes one
  // line, so the job ends.
  layout.LinesPerPage = SaturateToInt32(std::max<int64_t>(usable / std::max(lineHeight, 1) - 2, 1));
  const int64_t count = (static_cast<int64_t>(lineCount) + layout.LinesPerPage) / layout.LinesPerPage;
  layout.PageCount = SaturateToInt32(count);
  return layout;
}

int64_t TextPageLineIndex(int32_t page, int32_t slot, int32_t linesPerPage) {
  return int64_t{slot} + int64_t{page} * linesPerPage - 1;
}

void DrawTextPages(JobPages& pages, const PageFrame& frame, const std::string& pageFooter, int32_t includePageNo,
                   int32_t lineSpacePixels, const std::vector<std::string>& lines, const std::string& title,
                   const std::function<void(int32_t, int32_t)>& progress) {
  platform::Canvas& measure = pages.Canvas();
  measure.SetFont(frame.PrinterFont);
  const int lineHeight = measure.TextHeight("lg") + lineSpacePixels;
  const int top = frame.Margins[2];
  const int bottom = frame.Margins[3];
  const TextPageLayout layout = LayoutTextPages(frame.PageHeight, top, bottom, lineHeight, lines.size());
  for (int32_t p = 0; p < layout.PageCount; ++p) {
    platform::Canvas& canvas = pages.StartPage();
    canvas.SetFont(frame.PrinterFont);
    DrawCentred(canvas, frame, top, frame.Header);
    const std::string footer = PrintFooterText(pageFooter, includePageNo, p + 1, layout.PageCount);
    DrawCentred(canvas, frame, frame.PageHeight - canvas.TextHeight(footer) - bottom, footer);
    for (int32_t i = 0; i < layout.LinesPerPage; ++i) {
      const int y = SaturateToInt32(top + int64_t{i + 1} * lineHeight);
      const int64_t index = TextPageLineIndex(p, i, layout.LinesPerPage);
      if (index < 0) {
        DrawCentred(canvas, frame, y, title);
      } else if (static_cast<uint64_t>(index) < lines.size()) {
        canvas.TextOut(frame.Margins[0], y, lines[static_cast<size_t>(index)]);
      }
    }
    if (progress) progress(p + 1, layout.PageCount);
  }
}

}  // namespace quelvar
