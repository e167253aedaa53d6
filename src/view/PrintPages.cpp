#include "view/PrintPages.h"

#include <algorithm>

#include "common/NumberFormat.h"
#include "view/PrintLayout.h"

namespace quelvar {

void RecomputePrintPixels(const LiveConfig& config, int pixelsPerInchX, PrintState& print) {
  const double perCm = PixelsPerCentimetre(pixelsPerInchX);
  print.PageMarginPixels = {CentimetresToPixels(config.PageSpaceLeftCM, perCm),
                            CentimetresToPixels(config.PageSpaceRightCM, perCm),
                            CentimetresToPixels(config.PageSpaceUpCM, perCm),
                            CentimetresToPixels(config.PageSpaceBottomCM, perCm)};
  print.LineSpacePixels = CentimetresToPixels(config.LineSpaceCM, perCm);
  // Below one pixel the fixed scale would divide by zero.
  print.PerPointCMPixels = std::max(CentimetresToPixels(config.PerPointCM, perCm), 1);
  print.PerSampTimePoints = PerSampTimePointsFor(config.PerSampTime, config.ChannelRate);
}

WavePageLayout WavePageLayout::PageCount(int32_t start, int32_t width, int32_t pages, int32_t leastPoints) {
  WavePageLayout layout;
  layout.start_ = start;
  layout.width_ = std::max(width, 1);
  layout.count_ = std::max(pages, 1);
  if (layout.count_ > 1) {
    const int64_t points = int64_t{layout.width_} * 10 / (int64_t{layout.count_} * 9 + 1) + 1;
    layout.pagePoints_ = SaturateToInt32(std::max<int64_t>(points, std::max(leastPoints, 1)));
  } else {
    layout.pagePoints_ = layout.width_;
  }
  return layout;
}

WavePageLayout WavePageLayout::FixedScale(int32_t start, int32_t width, int32_t pagePoints, int32_t dispPoints) {
  WavePageLayout layout;
  layout.fixed_ = true;
  layout.start_ = start;
  layout.width_ = std::max(width, 0);
  layout.pagePoints_ = std::max(pagePoints, 1);
  // A page of one point has no nine tenths to step by; it steps by one so
  // the pages move on.
  layout.step_ = std::max(layout.pagePoints_ * 9 / 10, 1);
  layout.dispPoints_ = dispPoints;
  int64_t count = FixedScalePageCount(layout.width_, layout.pagePoints_);
  const int64_t left = int64_t{dispPoints} - start;
  if (left > 0) count = std::min(count, (left + layout.step_ - 1) / layout.step_);
  layout.count_ = static_cast<int32_t>(std::max<int64_t>(count, 1));
  return layout;
}

WavePageRange WavePageLayout::Page(int32_t index) const {
  WavePageRange page;
  const bool last = index >= count_ - 1;
  if (!fixed_) {
    if (count_ == 1) return {start_, width_, 0};
    page.First = SaturateToInt32(start_ + int64_t{pagePoints_} * index * 9 / 10);
    page.Width = pagePoints_;
    page.Overlap = last ? 0 : pagePoints_ - pagePoints_ * 9 / 10;
    return page;
  }
  const int64_t first = start_ + int64_t{step_} * index;
  int64_t points = pagePoints_;
  if (first + points > dispPoints_) points = dispPoints_ - first;
  page.First = SaturateToInt32(first);
  page.Width = SaturateToInt32(std::max<int64_t>(points, 1));
  page.Overlap = last ? 0 : pagePoints_ - pagePoints_ * 9 / 10;
  return page;
}

std::string PrintHeaderText(const std::string& pageHeader, int32_t includeDate, const std::string& dateTime) {
  if (includeDate == 0) return pageHeader;
  return pageHeader + "  打印日期 " + dateTime;
}

std::string PrintFooterText(const std::string& pageFooter, int32_t includePageNo, int32_t page, int32_t pages) {
  if (includePageNo == 0) return pageFooter;
  return pageFooter + "《第 " + std::to_string(page) + "/" + std::to_string(pages) + " 页》";
}

PageFrame MakePageFrame(const LiveConfig& config, const PrintState& print, const platform::PrintTarget& target,
                        const std::string& dateTime) {
  PageFrame frame;
  frame.PageWidth = target.PageWidth();
  frame.PageHeight = target.PageHeight();
  frame.Margins = print.PageMarginPixels;
  frame.PrinterFont = {config.PrinterFontName, config.PrinterFontSize, config.PrinterFontStyle, platform::kBlack};
  frame.Header = PrintHeaderText(print.PageHeader, config.IDIncludeDate, dateTime);
  return frame;
}

void DrawCentred(platform::Canvas& canvas, const PageFrame& frame, int y, const std::string& text) {
  const int64_t left = frame.Margins[0];
  const int64_t free = int64_t{frame.PageWidth} - canvas.TextWidth(text) - left - frame.Margins[1];
  canvas.TextOut(SaturateToInt32(left + free / 2), y, text);
}

platform::Canvas& JobPages::StartPage() {
  if (!blank_) target_.NewPage();
  blank_ = false;
  return target_.PageCanvas();
}

void JobPages::BreakPage() {
  target_.NewPage();
  blank_ = true;
}

}  // namespace quelvar
