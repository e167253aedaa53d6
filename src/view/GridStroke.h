#pragma once

#include "platform/Canvas.h"

namespace quelvar {

// The grid stroke of a scale line: with grid lines off only its first
// `length` pixels (a tick); with dotted grid lines those pixels and then
// one-pixel dots every 10 pixels from length + 10 while they lie within the
// plot; with solid grid lines the line through the whole plot.
struct GridStyle {
  bool Lines = false;   // grid lines drawn
  bool Dotted = false;  // and dotted
};

// A horizontal stroke at y from x = left over a plot `width` (N) pixels wide.
void HorizontalGridStroke(platform::Canvas& canvas, GridStyle style, int left, int width, int y, int length);

// A vertical stroke at x from y = top down over a plot `height` (M) pixels high.
void VerticalGridStroke(platform::Canvas& canvas, GridStyle style, int x, int top, int height, int length);

}  // namespace quelvar
