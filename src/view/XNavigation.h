#pragma once

// Rules of the main view's navigation along the time axis: the range between
// the marks, a window given from outside, the one-step compress and expand,
// the walk through the view history and the two time-axis switches. The
// window's handlers apply them to the view state and the menus.

#include <cstdint>

#include "common/WaveViewState.h"

namespace quelvar {

// Points per screen of the presets, the any count and the view history.
inline constexpr int32_t kMinXPointsPerScreen = 10;
// The narrowest window the between-marks zoom and a given window show: a
// screen needs two points to have a span to spread over its width.
inline constexpr int32_t kMinXWindowPoints = 2;
// XZoom (and the checked-item code below) of the any-count item.
inline constexpr int32_t kXZoomAnyCount = 32;

// A run of display points: the first one and how many.
struct XWindow {
  int32_t first = 0;
  int32_t count = 0;
  bool operator==(const XWindow&) const = default;
};

// The points between the two marks (1-based positions on a screen that
// starts at point xPosition and shows displayWidth points), both marks
// included; coinciding marks give the points from the mark to the right
// edge. Not bounded: see BoundXWindowToData.
XWindow RangeBetweenMarks(int32_t xPosition, int32_t displayWidth, int32_t mark1X, int32_t mark2X);

// A window held within data of dispPoints points: count at least
// kMinXWindowPoints and at most dispPoints (where the data have that many),
// first point 0 .. dispPoints - count.
XWindow BoundXWindowToData(const XWindow& window, int32_t dispPoints);

// An arbitrary points-per-screen count: at most dispPoints, then at least
// kMinXPointsPerScreen (so 10 even where the data are shorter).
int32_t AnyCountWidth(int64_t width, int32_t dispPoints);

// What one compress or expand step does, given the checked X zoom item:
// 1, 2, 4, 8 or 16 for a preset, kXZoomAnyCount for the any-count item, 0
// when none is checked.
struct XZoomStep {
  enum class Kind { Nothing, Preset, AnyCount };
  Kind kind = Kind::Nothing;
  int32_t value = 0;  // the preset to select, or the new any-count width
  bool operator==(const XZoomStep&) const = default;
};
XZoomStep CompressStep(int32_t checkedItem, int32_t displayWidth, int32_t dispPoints);
XZoomStep ExpandStep(int32_t checkedItem, int32_t displayWidth, int32_t dispPoints);

// Previous screen: the pair before the one on screen (ViewHistoryIndex - 4)
// becomes the view and the index steps back by 2, so the next repaint finds
// it already stored. Next screen: the pair at the index itself, and the
// index steps on by 2. The width is raised to kMinXPointsPerScreen, then
// held to dispPoints; the first point is held within the data. An index
// that is odd or outside the ring (a damaged setting) is first brought back
// into it, as the recording does.
enum class HistoryStep { Previous, Next };
void StepViewHistory(WaveViewState& view, int32_t dispPoints, HistoryStep step);

// The check marks of "X刻度按时间对齐" and "显示绝对时间".
struct TimeAxisMarks {
  bool timeAligned = true;
  bool absoluteTime = false;
  bool operator==(const TimeAxisMarks&) const = default;
};
// The time-aligned item is unchecked only while absolute time is off;
// otherwise a click checks it.
TimeAxisMarks AfterTimeAlignedClick(const TimeAxisMarks& marks);
// Absolute time toggles; switched on, it checks the time-aligned item too.
TimeAxisMarks AfterAbsoluteTimeClick(const TimeAxisMarks& marks);

}  // namespace quelvar
