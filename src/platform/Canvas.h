#pragma once

#include <cstdint>
#include <string>

namespace quelvar::platform {

// A 24-bit RGB colour.
struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  // Colours as the palette and the settings store them: 0x00BBGGRR.
  static constexpr Color FromStored(uint32_t bgr) {
    return {static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
            static_cast<uint8_t>((bgr >> 16) & 0xFF)};
  }
  constexpr uint32_t ToStored() const {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16;
  }
  friend constexpr bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

struct Point {
  int x = 0;
  int y = 0;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

// A pixel rectangle; right and bottom are exclusive, so (0, 0, w, h) covers
// a w x h image.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Dot: 3 pixels on, 3 off, restarting at each line. Only one-pixel pens are
// dotted; a wider dotted pen draws solid, as the classic GDI pens did.
enum class PenStyle { Solid, Dot };

struct Pen {
  Color color = kBlack;
  int width = 1;  // below 1 counts as 1
  PenStyle style = PenStyle::Solid;
  friend bool operator==(const Pen&, const Pen&) = default;
};

// A clear brush fills nothing, and text is then drawn on a transparent
// background; with a solid brush text is drawn on the brush colour.
enum class BrushStyle { Solid, Clear };

struct Brush {
  Color color = kWhite;
  BrushStyle style = BrushStyle::Solid;
  friend bool operator==(const Brush&, const Brush&) = default;
};

// Font style bits, the same as in the stored font style byte.
inline constexpr uint8_t kFontStyleBold = 1, kFontStyleItalic = 2, kFontStyleUnderline = 4,
                         kFontStyleStrikeOut = 8;

struct Font {
  std::string name;  // empty: the system's default face
  int size = 9;      // points; below 1 counts as 1
  uint8_t style = 0;  // kFontStyle... bits
  Color color = kBlack;
  friend bool operator==(const Font&, const Font&) = default;
};

// A raster image that a canvas can draw, e.g. the branding logo. Each canvas
// draws the pictures of its own kind and ignores others.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// The drawing surface every renderer paints on, with integer pixel
// coordinates, y growing downwards. Pen, brush and font are state that the
// next drawing call uses. Lines follow the classic convention: LineTo paints
// from the current position up to but not including its end point, then
// makes the end point current, so a polyline paints every joint once.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  const Pen& GetPen() const { return pen_; }
  void SetPen(const Pen& pen) { pen_ = pen; }
  void SetPenColor(Color color) { pen_.color = color; }
  void SetPenWidth(int width) { pen_.width = width; }
  void SetPenStyle(PenStyle style) { pen_.style = style; }

  const Brush& GetBrush() const { return brush_; }
  void SetBrush(const Brush& brush) { brush_ = brush; }
  void SetBrushColor(Color color) { brush_.color = color; }
  void SetBrushStyle(BrushStyle style) { brush_.style = style; }

  const Font& GetFont() const { return font_; }
  void SetFont(const Font& font) { font_ = font; }
  void SetFontName(const std::string& name) { font_.name = name; }
  void SetFontSize(int size) { font_.size = size; }
  void SetFontStyle(uint8_t style) { font_.style = style; }
  void SetFontColor(Color color) { font_.color = color; }

  Point PenPos() const { return penPos_; }
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  void LineTo(int x, int y) {
    DrawLine(penPos_, {x, y});
    penPos_ = {x, y};
  }

  // One pixel in the given colour, whatever the pen.
  virtual void SetPixel(int x, int y, Color color) = 0;
  // The rectangle filled with the brush; the pen is not used.
  virtual void FillRect(const Rect& rect) = 0;
  // The rectangle filled with the brush and outlined with the pen; with a
  // one-pixel pen the outline is the rectangle's outermost pixels.
  virtual void Rectangle(const Rect& rect) = 0;
  // UTF-8 text in the font, its top-left corner at (x, y). The current
  // position does not change.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // Extent of the text in the current font. The height is the font's line
  // height, the same for every text.
  virtual int TextWidth(const std::string& text) const = 0;
  virtual int TextHeight(const std::string& text) const = 0;
  // The picture at its own size with its top-left corner at (x, y).
  virtual void Draw(int x, int y, const Picture& picture) = 0;
  // The picture stretched over the rectangle.
  virtual void StretchDraw(const Rect& rect, const Picture& picture) = 0;

 protected:
  // Paints the line from `from` up to but not including `to`.
  virtual void DrawLine(Point from, Point to) = 0;

 private:
  Pen pen_;
  Brush brush_;
  Font font_;
  Point penPos_;
};

}  // namespace quelvar::platform
