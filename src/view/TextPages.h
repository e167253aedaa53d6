#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view/PrintPages.h"

namespace quelvar {

// How a list of text lines falls on pages: lines per page
// (PH - T - B) / line height - 2, at least 1 however large the margins or
// the font; the title takes the first slot of the first page.
struct TextPageLayout {
  int32_t LinesPerPage = 1;
  int32_t PageCount = 1;
};
TextPageLayout LayoutTextPages(int pageHeight, int topMargin, int bottomMargin, int lineHeight, size_t lineCount);

// The list index slot `slot` of page `page` shows; -1 for the title's slot.
// The caller checks that the index is within the list.
int64_t TextPageLineIndex(int32_t page, int32_t slot, int32_t linesPerPage);

// Text pages of `lines` with `title` on an open job: the frame's header at
// the top margin, the footer (with "《第 p/n 页》" when asked for) above
// the bottom margin, the title centred in the first slot, each line at the
// left margin. Line height = height of "lg" + `lineSpacePixels`.
// `progress(done, total)` is called after every page when given.
void DrawTextPages(JobPages& pages, const PageFrame& frame, const std::string& pageFooter, int32_t includePageNo,
                   int32_t lineSpacePixels, const std::vector<std::string>& lines, const std::string& title,
                   const std::function<void(int32_t, int32_t)>& progress);

}  // namespace quelvar
