#include "view/CoverPage.h"

#include <fstream>
#include <iterator>

#include "common/NumberFormat.h"
#include "platform/GbkText.h"
#include "view/TextPages.h"

namespace quelvar {

namespace {

constexpr size_t kPieceLimit = 127;

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The file's text as a text-mode read gives it: CR LF becomes LF.
std::string TextModeBytes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

}  // namespace

std::vector<std::string> CoverPageLines(std::string_view gbkBytes) {
  const std::string text = TextModeBytes(gbkBytes);
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    // Walk whole characters up to the limit or through the line feed.
    size_t end = at;
    bool lineFeed = false;
    while (end < text.size() && end - at < kPieceLimit) {
      const unsigned char c = static_cast<unsigned char>(text[end]);
      if (c == '\n') {
        lineFeed = true;
        break;
      }
      const size_t width = IsLeadByte(c) && end + 1 < text.size() ? 2 : 1;
      if (end + width - at > kPieceLimit) break;
      end += width;
    }
    lines.push_back(platform::GbkToUtf8(std::string_view(text).substr(at, end - at)));
    // A line of exactly the limit is one printed line, not one and an empty one.
    if (!lineFeed && end < text.size() && text[end] == '\n') lineFeed = true;
    at = lineFeed ? end + 1 : end;
  }
  return lines;
}

bool PrintCoverPage(const LiveConfig& config, PrintState& print, JobPages& pages, const PageFrame& frame) {
  if (config.IDAutoCover == 0) return false;
  if (print.CoverProgramRan != 0) {
    print.CoverProgramRan = 0;
    return false;
  }
  if (print.CoverPageTextFile.empty()) return false;
  std::ifstream file(print.CoverPageTextFile, std::ios::binary);
  if (!file) return false;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return false;
  const std::vector<std::string> lines = CoverPageLines(bytes);

  platform::Canvas& first = pages.Canvas();
  first.SetFont(frame.PrinterFont);
  const int lineHeight = first.TextHeight("lg") + print.LineSpacePixels;
  const int top = frame.Margins[2];
  const int bottom = frame.Margins[3];
  const int32_t perPage = LayoutTextPages(frame.PageHeight, top, bottom, lineHeight, 0).LinesPerPage;
  const std::string& footer = print.PageFooter;
  auto startPage = [&]() -> platform::Canvas& {
    platform::Canvas& canvas = pages.StartPage();
    canvas.SetFont(frame.PrinterFont);
    DrawCentred(canvas, frame, top, frame.Header);
    DrawCentred(canvas, frame, frame.PageHeight - canvas.TextHeight(footer) - bottom, footer);
    return canvas;
  };
  platform::Canvas* canvas = &startPage();
  int32_t line = 0;
  for (const std::string& text : lines) {
    ++line;
    canvas->TextOut(frame.Margins[0], SaturateToInt32(top + int64_t{line} * lineHeight), text);
    if (line >= perPage) {
      pages.BreakPage();
      canvas = &startPage();
      line = 0;
    }
  }
  pages.BreakPage();
  return true;
}

}  // namespace quelvar
