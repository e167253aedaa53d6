#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/AnalysisResult.h"
#include "platform/Canvas.h"
#include "platform/CellGrid.h"

namespace quelvar {

// The analysis-result window's graph, value grid, cursors, zoom and grid
// rules, drawn on the platform canvas; the window only reads its widgets
// and calls these.

// The plot area of the last drawing, in pixels.
struct ResultPlotRect {
  int left = 0;
  int top = 0;
  int width = 1;
  int height = 1;
};

// The window's view state (one per window, the window is made once).
struct ResultViewState {
  int32_t LogAxis = 0;      // Y drawn as 10 log10(value), in dB
  int32_t XZoomFactor = 0;  // set to 1 by every hand-over
  int32_t YZoomFactor = 1;  // 1, 2, 5, 10, 20, 50 or 100
  int32_t FirstPoint = 0;
  int32_t VisiblePoints = 100;
  int32_t GridStart = 0;
  int32_t GridColumns = 5;
  int32_t GridRowBlocks = 3;
  int32_t XGridOn = 1;
  int32_t YGridOn = 1;
  // Red and green cursor, as offsets from FirstPoint.
  int32_t CursorPoint1 = 0;
  int32_t CursorPoint2 = 50;
  // Top pixel of each cursor's readout.
  int32_t CursorLabelY1 = 50;
  int32_t CursorLabelY2 = 50;
  int32_t CursorDragging = 0;
  int32_t ActiveCursor = 0;  // 0 red, 1 green
  ResultPlotRect PlotRect;
  double YMin = 0.0;
  double YMax = 0.0;
};

inline constexpr const char* kResultInvalidData = "存在无效数据";

// Extremes of the curve: both start at the first value; a later value v
// becomes the maximum unless the maximum >= v already holds, the minimum
// only when the minimum > v (so a not-a-number value can take the maximum
// until the next value, never the minimum unless it comes first).
void LoadResultExtremes(const AnalysisResult& result, ResultViewState& view);
// False when an extreme is not a finite number: the graph then shows only
// kResultInvalidData.
bool ResultExtremesDrawable(const ResultViewState& view);

// The Y scale of a drawing. `top` and `bottom` are the value range (in dB
// with the log axis). The step is the smallest of 0.2, 0.4, 0.6, 0.8 or 1
// times a power of ten for about seven divisions of the range rounded out to
// whole steps; it only ever grows while it is refined (a few rounds at most).
struct ResultYStep {
  double Step = 1.0;  // before the zoom
  double Hi = 0.0;
  double Lo = 0.0;
  int32_t Divisions = 2;
};
ResultYStep FindResultYStep(double bottom, double top);

struct ResultYScale {
  ResultYStep Base;
  double Step = 1.0;       // Base.Step / zoom
  double ViewTop = 0.0;    // value at the plot's upper edge
  double ViewBottom = 0.0; // value at the lower edge
  int32_t Divisions = 2;
};
// `yPosition` is the Y scroll bar's position (0..99).
ResultYScale ComputeResultYScale(double yMin, double yMax, bool logAxis, int32_t yZoom, int32_t yPosition);

// The X scale over XL .. XR: the label step (half or whole a power of ten,
// for at most about ten labels), the first multiple at or below XL and the step
// count. Not drawn (no labels or ticks) unless XR > XL, both finite.
struct ResultXScale {
  bool Drawn = false;
  double Step = 1.0;
  double Lo = 0.0;
  int32_t Count = 0;
};
ResultXScale ComputeResultXScale(double xl, double xr);

// The x pixel of point k of the visible points on a plot `width` wide (from
// the plot's left edge): the first point on the left edge, the last on the
// right edge, where the X labels put the last abscissa. One point stands on
// the left edge.
int ResultPointX(int32_t k, int32_t visiblePoints, int width);
// The visible point nearest to x pixels from the left edge, within
// 0 .. visiblePoints - 1.
int32_t ResultPointAt(int x, int32_t visiblePoints, int width);

// First visible point and count from the X scroll bar's position (both
// kept within the result).
void PlaceResultView(ResultViewState& view, int32_t points, int32_t xPosition);

// The whole graph onto a canvas (frame, labels, scales, grid lines, curve).
// `colour`: grey canvas and blue curve, else white canvas and black curve;
// the plot is white either way. Sets FirstPoint, VisiblePoints and PlotRect.
// Returns true when the log axis had to be switched off (a minimum of 0 or
// less): LogAxis is then 0 and the window's check marks follow.
struct ResultGraphInput {
  int32_t XPosition = 0;
  int32_t YPosition = 0;
  bool Colour = true;
};
bool DrawResultGraph(platform::Canvas& canvas, const AnalysisResult& result, ResultViewState& view,
                     const ResultGraphInput& input);

// The readout of both cursors over a drawn graph: vertical lines over the
// plot and three lines of text each ("点:", "X值:", "Y值:" or "Y值(dB):"),
// red for the first and green for the second cursor. Clamps the cursors'
// points and label heights first. Nothing over invalid data. `transparent`: the texts' white
// background is left out.
void DrawResultReadout(platform::Canvas& canvas, const AnalysisResult& result, ResultViewState& view,
                       bool transparent);
// The three readout lines of cursor point c (offset from FirstPoint).
std::vector<std::string> ResultReadoutLines(const AnalysisResult& result, const ResultViewState& view, int32_t c);
// Where a readout `textWidth` wide starts for a cursor at x: right of its
// line, or left of it when it would pass the plot's right edge (never left
// of the plot).
int ResultReadoutLeft(int cursorX, int textWidth, const ResultPlotRect& plot);

// A button press on the plot at (x, y): starts a drag of the cursor nearest
// to the point under x (the red one on a tie) and moves it there.
void PressResultCursor(ResultViewState& view, int x, int y);
// Moves cursor 0 (red) or 1 (green) to a mouse position: its label 8 pixels
// below y, its point the one under x.
void MoveResultCursor(ResultViewState& view, int32_t cursor, int x, int y);

// Zoom and scrolling.
inline constexpr int32_t kResultXZooms[] = {1, 2, 5, 10, 20, 50, 100};
inline constexpr int32_t kResultYZooms[] = {1, 2, 5, 10, 20, 50, 100};
// Points shown at X zoom z: ceil(points / z), at least 10, at most points.
int32_t ResultVisiblePoints(int32_t points, int32_t zoom);
int32_t ResultXLargeChange(int32_t visiblePoints);
// A typed X zoom: `text` that is not an integer keeps `current`; below 1 it
// is 1; from points / 4 up it is points / 4 (but at least 1).
int32_t TypedResultXZoom(const std::string& text, int32_t current, int32_t points);
// The Y scroll bar's page at zoom f: 100 / f; positions snap down to it.
int32_t ResultYPage(int32_t zoom);
int32_t SnapResultYPosition(int32_t position, int32_t zoom);

// The value grid.
int32_t ClampResultGridRowBlocks(int32_t blocks);  // 1 .. 20
int32_t ClampResultGridColumns(int32_t columns);   // 5 .. 20
// The first listed point from the grid's scroll position: at most
// points - columns x blocks, never below 0.
int32_t ClampResultGridStart(int32_t position, int32_t points, int32_t columns, int32_t blocks);
int ResultGridColCount(const ResultViewState& view);
int ResultGridRowCount(const ResultViewState& view, int32_t curves);
// Fills the cells (sized as above): per block of three rows the point
// numbers, the abscissae and the values (in dB with the log axis).
void FillResultValueGrid(platform::CellGrid& grid, const AnalysisResult& result, const ResultViewState& view);

// Grid shape for a resized window: columns by the default column width
// (at least 3), blocks by the default row height (at least 2).
struct ResultGridShape {
  int32_t Columns = 5;
  int32_t RowBlocks = 3;
};
ResultGridShape ResultGridShapeFor(int gridWidth, int gridHeight, int colWidth, int rowHeight, int32_t curves);

}  // namespace quelvar
