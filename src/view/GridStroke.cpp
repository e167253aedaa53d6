#include "view/GridStroke.h"

namespace quelvar {

namespace {
constexpr int kDotSpacing = 10;  // pixels between the dots of a dotted grid line
}  // namespace

void HorizontalGridStroke(platform::Canvas& canvas, GridStyle style, int left, int width, int y, int length) {
  canvas.MoveTo(left, y);
  if (style.Lines && style.Dotted) {
    canvas.LineTo(left + length, y);
    for (int x = length + kDotSpacing; x <= width; x += kDotSpacing) canvas.SetPixel(left + x, y, canvas.GetPen().color);
  } else if (style.Lines) {
    canvas.LineTo(left + width, y);
  } else {
    canvas.LineTo(left + length, y);
  }
}

void VerticalGridStroke(platform::Canvas& canvas, GridStyle style, int x, int top, int height, int length) {
  canvas.MoveTo(x, top);
  if (style.Lines && style.Dotted) {
    canvas.LineTo(x, top + length);
    for (int y = top + length + kDotSpacing; y <= top + height; y += kDotSpacing) {
      canvas.SetPixel(x, y, canvas.GetPen().color);
    }
  } else if (style.Lines) {
    canvas.LineTo(x, top + height);
  } else {
    canvas.LineTo(x, top + length);
  }
}

}  // namespace quelvar
