#pragma once

#include "platform/Canvas.h"

namespace quelvar::platform {

// A canvas of its own size whose drawing lands on another canvas, shifted by
// an origin: the picture area of a printed page, drawn in place instead of
// as a picture placed on the page. Every call hands this canvas's pen, brush
// and font to the target first, so the two keep separate drawing state; the
// target's own state is given back when this canvas goes away. Drawing is
// not clipped to the area: what the renderer draws stays inside it anyway.
class OffsetCanvas : public Canvas {
 public:
  OffsetCanvas(Canvas& target, Point origin, int width, int height);
  ~OffsetCanvas() override;
  OffsetCanvas(const OffsetCanvas&) = delete;
  OffsetCanvas& operator=(const OffsetCanvas&) = delete;

  int Width() const override { return width_; }
  int Height() const override { return height_; }

  void SetPixel(int x, int y, Color color) override;
  void FillRect(const Rect& rect) override;
  void Rectangle(const Rect& rect) override;
  void TextOut(int x, int y, const std::string& text) override;
  // Measured in this canvas's font with the target's metrics.
  int TextWidth(const std::string& text) const override;
  int TextHeight(const std::string& text) const override;
  void Draw(int x, int y, const Picture& picture) override;
  void StretchDraw(const Rect& rect, const Picture& picture) override;

 protected:
  void DrawLine(Point from, Point to) override;

 private:
  void Forward() const;
  Rect Shift(const Rect& rect) const;

  Canvas& target_;
  Point origin_;
  int width_;
  int height_;
  Pen savedPen_;
  Brush savedBrush_;
  Font savedFont_;
  Point savedPos_;
};

}  // namespace quelvar::platform
