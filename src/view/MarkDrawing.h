#pragma once

#include <string>

#include "common/LiveConfig.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"
#include "view/MarkGeometry.h"

namespace quelvar {

// Mark 1 is drawn in the palette's yellow mark colour, mark 2 in its red one.
struct MarkColours {
  platform::Color mark1;
  platform::Color mark2;
};
MarkColours MarkColoursOf(const LiveConfig& config, int32_t whiteBG);

// The marks of the recorder and history display over the picture: each
// cursor over the plot's height, and with level lines each level line over
// the plot's width and a line joining mark 1's level at its cursor to mark
// 2's at its cursor (in mark 2's colour). Marks already clamped.
void DrawMarkLines(platform::Canvas& canvas, const WaveViewState& view, const MarkPlot& plot,
                   const MarkColours& colours, bool levelLines);

// The oscilloscope's marks: cursors with its time lines on, level lines
// with its volt lines on, no joining line.
void DrawOscMarkLines(platform::Canvas& canvas, const WaveViewState& view, const MarkPlot& plot,
                      const MarkColours& colours, bool timeLines, bool levelLines);

// A mark's value label painted into the picture instead of shown as a
// control (while a live display runs): its text, the mark's column and the
// label's top.
struct PaintedMarkLabel {
  std::string Caption;
  int Column = 0;
  int Top = 0;
  platform::Color Colour;
};

// Paints the label's lines (cut at the label line break) beside its mark in
// the canvas's font and the mark's colour, on a white or black background,
// or on none when the labels are transparent. Returns the label's left.
int PaintMarkLabel(platform::Canvas& canvas, const PaintedMarkLabel& label, int imageLeft, int imageWidth,
                   bool whiteBackground, bool transparent);

}  // namespace quelvar
