#pragma once

#include <cstdint>

#include "common/ViewOptions.h"
#include "common/WaveViewState.h"

namespace quelvar {

// The plot the two marks move over, in the waveform paint box's pixels: it
// spans columns L .. L + W and rows T .. T + H.
struct MarkPlot {
  int L = 4;
  int T = 2;
  int W = 0;
  int H = 0;
  int ImageWidth = 0;
  int ImageHeight = 0;
};

// The plot of a paint box of the given size: with the scale area outside
// the plot, its left and top margins are the scale labels' width and text
// height; otherwise 4 and 2 pixels.
MarkPlot MarkPlotOf(const ViewOptions& options, const ScaleLabelMetrics& labels, int imageWidth, int imageHeight);

// The 1-based screen point of pixel column x (raised to L first), 1 ..
// displayWidth. Pixel distances times point counts are taken in 64 bits.
int32_t PixelToPoint(const MarkPlot& plot, int32_t displayWidth, int x);

// The pixel column of screen point p. A screen of one point (only from a
// damaged setting) has every point at L.
int PointToPixel(const MarkPlot& plot, int32_t displayWidth, int32_t p);

// The stored marks brought back into range: the cursors to 1 .. DisplayWidth,
// the level lines to rows T .. H.
void ClampMarks(WaveViewState& view, const MarkPlot& plot);

// Top of a mark's value label when its level is at row y of the paint box
// (whose top is imageTop): 8 pixels below the row when the label fits there,
// else 8 pixels above it, but never above the paint box's top + 3.
int MarkLabelTop(int imageTop, int imageHeight, int labelHeight, int y);

// Left of a mark's value label of width w beside the mark's column x: 8
// pixels right of it when it fits, else 8 pixels left of it.
int MarkLabelLeft(int imageLeft, int imageWidth, int x, int w);

}  // namespace quelvar
