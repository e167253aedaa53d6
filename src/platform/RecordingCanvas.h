#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Canvas.h"

namespace quelvar::platform {

// A picture that only has a name and a size, for drawing on a RecordingCanvas.
class RecordedPicture : public Picture {
 public:
  RecordedPicture(std::string name, int width, int height)
      : name_(std::move(name)), width_(width), height_(height) {}
  const std::string& Name() const { return name_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  std::string name_;
  int width_;
  int height_;
};

// One drawing call, with the state it was drawn with.
struct CanvasOp {
  enum class Kind { Line, Pixel, FillRect, Rectangle, Text, Draw, StretchDraw };
  Kind kind = Kind::Line;
  Point from;        // Line: start; Pixel, Text, Draw: the position
  Point to;          // Line: end (not painted)
  Rect rect;         // FillRect, Rectangle, StretchDraw
  Color color;       // Pixel
  std::string text;  // Text: the text; Draw, StretchDraw: the picture's name
  Pen pen;
  Brush brush;
  Font font;

  // One readable line, with only the state that matters for the kind:
  //   line (4,2)-(4,100) pen #008000 1 solid
  //   pixel (5,5) #00FF00
  //   fillrect (0,0)-(640,480) brush #FFFFFF        ("brush clear" when clear)
  //   rectangle (0,0)-(10,10) pen #000000 1 solid brush clear
  //   text (10,20) "abc" font "Arial" 15 bold #000000 transparent
  //                                                 ("on #FFFFFF" when opaque)
  //   draw "logo" (0,0)
  //   stretch "logo" (0,0)-(640,480)
  std::string ToString() const;
};

// A canvas that paints nothing and records every drawing call, so tests can
// assert the exact geometry and texts a renderer draws. State changes and
// MoveTo are not calls of their own: each drawing call carries the pen, brush
// and font in force.
//
// Fixed text metrics: in a font of size s (points, at least 1) every
// character is s pixels wide and 2 x s pixels high; a UTF-8 character counts
// as one, whatever its bytes (so "中文ab" is 4 characters).
class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}

  int Width() const override { return width_; }
  int Height() const override { return height_; }

  void SetPixel(int x, int y, Color color) override;
  void FillRect(const Rect& rect) override;
  void Rectangle(const Rect& rect) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) const override;
  int TextHeight(const std::string& text) const override;
  void Draw(int x, int y, const Picture& picture) override;
  void StretchDraw(const Rect& rect, const Picture& picture) override;

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  std::vector<CanvasOp> OpsOf(CanvasOp::Kind kind) const;
  // Ops() as readable lines (CanvasOp::ToString).
  std::vector<std::string> Log() const;
  void Clear() { ops_.clear(); }

 protected:
  void DrawLine(Point from, Point to) override;

 private:
  CanvasOp& Record(CanvasOp::Kind kind);

  int width_;
  int height_;
  std::vector<CanvasOp> ops_;
};

}  // namespace quelvar::platform
