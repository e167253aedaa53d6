#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/LiveConfig.h"
#include "common/PrintState.h"
#include "platform/Canvas.h"
#include "platform/PrintTarget.h"

namespace quelvar {

// The print settings in printer pixels, recomputed at the start of every
// print: the margins, the line spacing, the fixed scale's centimetre unit (at
// least 1 pixel) and its points per time unit (at least 1), at the printer's
// horizontal resolution for both directions. PagePoints is left alone: it
// needs the picture's label width.
void RecomputePrintPixels(const LiveConfig& config, int pixelsPerInchX, PrintState& print);

// One waveform page: its first display point, its points and the points the
// next page repeats (0 on the last page).
struct WavePageRange {
  int32_t First = 0;
  int32_t Width = 1;
  int32_t Overlap = 0;
};

// The waveform pages of a job, worked out page by page so that a large page
// count costs no memory.
class WavePageLayout {
 public:
  // `pages` pages over start .. start + width - 1: one page shows the range
  // as it is; several pages take width x 10 / (pages x 9 + 1) + 1 points
  // each (at least `leastPoints`, the scale divisions), each starting nine
  // tenths of a page after the one before. Pages below 1 count as 1.
  static WavePageLayout PageCount(int32_t start, int32_t width, int32_t pages, int32_t leastPoints);
  // Pages of `pagePoints` display points from `start`, each starting nine
  // tenths of a page (at least one point) after the one before, enough to
  // cover `width` points (FixedScalePageCount); a page reaching past
  // `dispPoints` ends with the data, and no page starts past the data.
  static WavePageLayout FixedScale(int32_t start, int32_t width, int32_t pagePoints, int32_t dispPoints);

  int32_t Count() const { return count_; }
  // Page `index`, 0 .. Count() - 1.
  WavePageRange Page(int32_t index) const;

 private:
  bool fixed_ = false;
  int32_t start_ = 0;
  int32_t width_ = 1;
  int32_t pagePoints_ = 1;
  int32_t step_ = 1;
  int32_t dispPoints_ = 0;
  int32_t count_ = 1;
};

// The header line: the header text, with the print date when asked for.
std::string PrintHeaderText(const std::string& pageHeader, int32_t includeDate, const std::string& dateTime);
// The footer line of page `page` (from 1) of `pages`: the footer text, with
// the page number when asked for ("《第 1/3 页》").
std::string PrintFooterText(const std::string& pageFooter, int32_t includePageNo, int32_t page, int32_t pages);

// The frame every printed page shares: page size, margins in pixels (left,
// right, top, bottom), the printer font and the header.
struct PageFrame {
  int PageWidth = 0;
  int PageHeight = 0;
  std::array<int32_t, 4> Margins{};
  platform::Font PrinterFont;
  std::string Header;
};
PageFrame MakePageFrame(const LiveConfig& config, const PrintState& print, const platform::PrintTarget& target,
                        const std::string& dateTime);
// The text centred between the margins at height y, in the canvas's font:
// x = L + (PW - text width - L - R) / 2.
void DrawCentred(platform::Canvas& canvas, const PageFrame& frame, int y, const std::string& text);

// The pages of an open job in order. A page is started only when something
// is put on it, so the parts of a job (cover, report, waveform or text
// pages) follow each other without blank pages between them; the cover's
// own page breaks are explicit.
class JobPages {
 public:
  explicit JobPages(platform::PrintTarget& target) : target_(target) {}
  // The canvas of the next page: the job's first page, or a new one.
  platform::Canvas& StartPage();
  // Ends the current page whatever is on it; the next StartPage uses the
  // new page.
  void BreakPage();
  platform::Canvas& Canvas() { return target_.PageCanvas(); }

 private:
  platform::PrintTarget& target_;
  bool blank_ = true;
};

}  // namespace quelvar
