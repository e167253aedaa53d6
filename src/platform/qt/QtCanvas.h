#pragma once

#include <QColor>
#include <QPainter>

#include <cstdint>
#include <memory>

#include "platform/Canvas.h"

class QImage;
class QPaintDevice;
class QSize;

namespace quelvar::platform {

// The canvas over QPainter: on the screen's off-screen QImage, and on any
// other paint device (a QPicture for pictures, a QPrinter for pages).
// Painting begins in the constructor and ends in the destructor, so the
// device is complete once the canvas is gone. Pictures of kind QtPicture and
// QtVectorPicture are drawn, others are ignored. Text is drawn with the top
// of the font's line at y; font sizes are points at the device's resolution,
// or, on a canvas made with a font resolution, pixels worked out from that
// resolution (a picture meant for a printer page gets the printer's text
// sizes).
//
// Lines of one-pixel pens on raster devices (QImage, QPixmap) are rasterised
// here, run by run, so that the start point is painted and the end point is
// not, whichever way the line runs: Qt's own flat-cap lines leave out the
// right or lower end instead. On other devices, and for wider pens, a line is
// a Qt line segment: flat caps for one pixel, round caps for wider pens (the
// classic geometric pen).
class QtCanvas : public Canvas {
 public:
  explicit QtCanvas(QPaintDevice& device);
  // A device whose size is declared rather than its own (a QPicture reports
  // the extent of what was drawn on it); fontResolution in dots per inch,
  // 0 for the device's own.
  QtCanvas(QPaintDevice& device, int width, int height, int fontResolution);
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  // False when painting could not begin on the device.
  bool IsActive() const { return painter_.isActive(); }

  int Width() const override;
  int Height() const override;

  void SetPixel(int x, int y, Color color) override;
  void FillRect(const Rect& rect) override;
  void Rectangle(const Rect& rect) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) const override;
  int TextHeight(const std::string& text) const override;
  void Draw(int x, int y, const Picture& picture) override;
  void StretchDraw(const Rect& rect, const Picture& picture) override;

 protected:
  void DrawLine(Point from, Point to) override;

 private:
  void Begin();
  void RasterLine(Point from, Point to, Color color, bool dotted);
  void SegmentLine(Point from, Point to);
  QFont CanvasFont() const;

  QPaintDevice& device_;
  QPainter painter_;
  bool raster_ = false;
  // A 32-bit image's pixels, written directly by the one-pixel lines: a
  // screen of many traces is hundreds of thousands of short runs, and a
  // painter call per run costs more than the run itself.
  uint32_t* pixels_ = nullptr;
  qsizetype pixelsPerLine_ = 0;
  // A raster device's size, asked once for its lines: it cannot change
  // while painting (a picture's can).
  int width_ = 0;
  int height_ = 0;
  bool declaredSize_ = false;
  int fontResolution_ = 0;
};

// A picture stretched over a white image of `size` (at least 1 x 1): what a
// window shows of the picture options' preview until its next drawing.
std::unique_ptr<QImage> PictureOnWhite(QSize size, const Picture& picture);

}  // namespace quelvar::platform
