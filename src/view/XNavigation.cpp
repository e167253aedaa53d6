#include "view/XNavigation.h"

#include <algorithm>

#include "common/NumberFormat.h"

namespace quelvar {

XWindow RangeBetweenMarks(int32_t xPosition, int32_t displayWidth, int32_t mark1X, int32_t mark2X) {
  // In 64 bits: marks and positions come from settings and mouse moves.
  const int64_t x = xPosition;
  const int64_t m1 = mark1X;
  const int64_t m2 = mark2X;
  int64_t first = x + m1 - 1;
  int64_t count = int64_t{displayWidth} - m1 + 1;  // coinciding: the mark to the right edge
  if (m2 > m1) {
    count = m2 - m1 + 1;
  } else if (m2 < m1) {
    first = x + m2 - 1;
    count = m1 - m2 + 1;
  }
  return {SaturateToInt32(first), SaturateToInt32(count)};
}

XWindow BoundXWindowToData(const XWindow& window, int32_t dispPoints) {
  const int32_t count = std::clamp(window.count, kMinXWindowPoints, std::max(dispPoints, kMinXWindowPoints));
  const int32_t lastFirst = std::max(SaturateToInt32(int64_t{dispPoints} - count), 0);
  return {std::clamp(window.first, 0, lastFirst), count};
}

int32_t AnyCountWidth(int64_t width, int32_t dispPoints) {
  return SaturateToInt32(std::max<int64_t>(std::min<int64_t>(width, dispPoints), kMinXPointsPerScreen));
}

XZoomStep CompressStep(int32_t checkedItem, int32_t displayWidth, int32_t dispPoints) {
  switch (checkedItem) {
    case 2:
    case 4:
    case 8:
    case 16: return {XZoomStep::Kind::Preset, checkedItem / 2};
    case kXZoomAnyCount: return {XZoomStep::Kind::AnyCount, AnyCountWidth(int64_t{displayWidth} * 2, dispPoints)};
    default: return {};  // the whole record is on screen already
  }
}

XZoomStep ExpandStep(int32_t checkedItem, int32_t displayWidth, int32_t dispPoints) {
  switch (checkedItem) {
    case 1:
    case 2:
    case 4:
    case 8: return {XZoomStep::Kind::Preset, checkedItem * 2};
    case 16:
    case kXZoomAnyCount: return {XZoomStep::Kind::AnyCount, AnyCountWidth(displayWidth / 2, dispPoints)};
    default: return {};
  }
}

void StepViewHistory(WaveViewState& view, int32_t dispPoints, HistoryStep step) {
  const int32_t index = std::clamp(view.ViewHistoryIndex, 0, kViewHistorySlots - 2) & ~1;
  int32_t slot = index;
  int32_t next = index + 2;
  if (step == HistoryStep::Previous) {
    slot = index - 4;
    next = index - 2;
  }
  if (slot < 0) slot += kViewHistorySlots;
  if (next < 0) next += kViewHistorySlots;
  if (next >= kViewHistorySlots) next = 0;
  // At least two points, however short the data: a screen's divisors are
  // its width less one.
  const int32_t width = std::max(
      std::min(std::max(view.ViewHistory[static_cast<size_t>(slot) + 1], kMinXPointsPerScreen), dispPoints), 2);
  int64_t first = view.ViewHistory[static_cast<size_t>(slot)];
  if (first + width > dispPoints) first = int64_t{dispPoints} - width;
  view.XPosition = SaturateToInt32(std::max<int64_t>(first, 0));
  view.DisplayWidth = width;
  view.ViewHistoryIndex = next;
}

TimeAxisMarks AfterTimeAlignedClick(const TimeAxisMarks& marks) {
  return {!(marks.timeAligned && !marks.absoluteTime), marks.absoluteTime};
}

TimeAxisMarks AfterAbsoluteTimeClick(const TimeAxisMarks& marks) {
  const bool absolute = !marks.absoluteTime;
  return {marks.timeAligned || absolute, absolute};
}

}  // namespace quelvar
