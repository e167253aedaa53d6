#pragma once

#include <QByteArray>
#include <QImage>
#include <QPicture>

#include <memory>

#include "platform/Canvas.h"

class QPainter;
class QRectF;

namespace quelvar::platform {

class QtCanvas;

// The program's metafile: a recorded vector picture (a QPicture) with a size
// of its own and a font resolution.
//
// - The declared size is the picture's size, whatever its drawing covers
//   (a QPicture on its own would report the bounding box of what was drawn).
// - The font resolution is the dots per inch at which font point sizes
//   become pixels on the picture's canvas: the screen's for a picture of
//   screen size, the printer's for a picture of a printer page, so that text
//   keeps its size relative to the page. Fonts are recorded in pixels, so a
//   replay never rescales them by the replaying device's resolution.
//
// Use: Reset (empties it, sets size and resolution), then draw on the canvas
// OpenCanvas gives; the recording is complete when that canvas is destroyed.
// Only one canvas at a time. Any QtCanvas draws it: Draw at its own size,
// StretchDraw scaled onto a rectangle (so a print preview draws a printer page
// into one and stretches it over its paint box). UiHost::SetClipboardPicture
// puts it on the clipboard as SVG and as a bitmap.
//
// One-pixel pens are recorded as cosmetic pens, one device pixel wide at any
// scale (as a classic one-pixel pen), so a page stretched small keeps its
// thin lines; wider pens scale with the picture.
class QtVectorPicture : public Picture {
 public:
  QtVectorPicture() = default;
  QtVectorPicture(int width, int height, int fontResolution) { Reset(width, height, fontResolution); }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // Dots per inch for font sizes; 0: the canvas's device's own.
  int FontResolution() const { return fontResolution_; }

  // Clears the drawing; sizes below 0 count as 0.
  void Reset(int width, int height, int fontResolution);
  // A canvas drawing into the picture at its declared size.
  std::unique_ptr<QtCanvas> OpenCanvas();

  // The drawing stretched over `target` (proportions not kept), clipped to it.
  void Play(QPainter& painter, const QRectF& target) const;
  // The picture as a bitmap on white, scaled down proportionally when its
  // longer side exceeds `longestSide` (at least 1 by 1 pixel).
  QImage ToImage(int longestSide) const;
  // The picture as an SVG document of its declared size.
  QByteArray ToSvg() const;

  const QPicture& Recording() const { return picture_; }

 private:
  QPicture picture_;
  int width_ = 0;
  int height_ = 0;
  int fontResolution_ = 0;
};

}  // namespace quelvar::platform
