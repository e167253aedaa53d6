#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace quelvar::platform {

namespace {

int Utf8Length(const std::string& text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

int FontSize(const Font& font) { return std::max(font.size, 1); }

std::string Hex(Color c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.red, c.green, c.blue);
  return buffer;
}

std::string Pt(Point p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

std::string Span(const Rect& r) { return Pt({r.left, r.top}) + "-" + Pt({r.right, r.bottom}); }

std::string PenText(const Pen& pen) {
  return "pen " + Hex(pen.color) + " " + std::to_string(pen.width) +
         (pen.style == PenStyle::Dot ? " dot" : " solid");
}

std::string BrushText(const Brush& brush) {
  return brush.style == BrushStyle::Clear ? "brush clear" : "brush " + Hex(brush.color);
}

std::string FontText(const Font& font) {
  std::string s = "font \"" + font.name + "\" " + std::to_string(font.size);
  if (font.style & kFontStyleBold) s += " bold";
  if (font.style & kFontStyleItalic) s += " italic";
  if (font.style & kFontStyleUnderline) s += " underline";
  if (font.style & kFontStyleStrikeOut) s += " strikeout";
  return s + " " + Hex(font.color);
}

// Pictures of other kinds have no name here.
std::string NameOf(const Picture& picture) {
  const auto* recorded = dynamic_cast<const RecordedPicture*>(&picture);
  return recorded ? recorded->Name() : std::string();
}

}  // namespace

std::string CanvasOp::ToString() const {
  switch (kind) {
    case Kind::Line:
      return "line " + Pt(from) + "-" + Pt(to) + " " + PenText(pen);
    case Kind::Pixel:
      return "pixel " + Pt(from) + " " + Hex(color);
    case Kind::FillRect:
      return "fillrect " + Span(rect) + " " + BrushText(brush);
    case Kind::Rectangle:
      return "rectangle " + Span(rect) + " " + PenText(pen) + " " + BrushText(brush);
    case Kind::Text:
      return "text " + Pt(from) + " \"" + text + "\" " + FontText(font) +
             (brush.style == BrushStyle::Clear ? " transparent" : " on " + Hex(brush.color));
    case Kind::Draw:
      return "draw \"" + text + "\" " + Pt(from);
    case Kind::StretchDraw:
      return "stretch \"" + text + "\" " + Span(rect);
  }
  return {};
}

CanvasOp& RecordingCanvas::Record(CanvasOp::Kind kind) {
  CanvasOp& op = ops_.emplace_back();
  op.kind = kind;
  op.pen = GetPen();
  op.brush = GetBrush();
  op.font = GetFont();
  return op;
}

void RecordingCanvas::DrawLine(Point from, Point to) {
  CanvasOp& op = Record(CanvasOp::Kind::Line);
  op.from = from;
  op.to = to;
}

void RecordingCanvas::SetPixel(int x, int y, Color color) {
  CanvasOp& op = Record(CanvasOp::Kind::Pixel);
  op.from = {x, y};
  op.color = color;
}

void RecordingCanvas::FillRect(const Rect& rect) { Record(CanvasOp::Kind::FillRect).rect = rect; }

void RecordingCanvas::Rectangle(const Rect& rect) { Record(CanvasOp::Kind::Rectangle).rect = rect; }

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
  CanvasOp& op = Record(CanvasOp::Kind::Text);
  op.from = {x, y};
  op.text = text;
}

int RecordingCanvas::TextWidth(const std::string& text) const { return Utf8Length(text) * FontSize(GetFont()); }

int RecordingCanvas::TextHeight(const std::string&) const { return 2 * FontSize(GetFont()); }

void RecordingCanvas::Draw(int x, int y, const Picture& picture) {
  CanvasOp& op = Record(CanvasOp::Kind::Draw);
  op.from = {x, y};
  op.text = NameOf(picture);
}

void RecordingCanvas::StretchDraw(const Rect& rect, const Picture& picture) {
  CanvasOp& op = Record(CanvasOp::Kind::StretchDraw);
  op.rect = rect;
  op.text = NameOf(picture);
}

std::vector<CanvasOp> RecordingCanvas::OpsOf(CanvasOp::Kind kind) const {
  std::vector<CanvasOp> out;
  std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(out),
               [kind](const CanvasOp& op) { return op.kind == kind; });
  return out;
}

std::vector<std::string> RecordingCanvas::Log() const {
  std::vector<std::string> out;
  out.reserve(ops_.size());
  for (const CanvasOp& op : ops_) out.push_back(op.ToString());
  return out;
}

}  // namespace quelvar::platform
