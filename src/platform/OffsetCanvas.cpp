#include "platform/OffsetCanvas.h"

namespace quelvar::platform {

OffsetCanvas::OffsetCanvas(Canvas& target, Point origin, int width, int height)
    : target_(target),
      origin_(origin),
      width_(width),
      height_(height),
      savedPen_(target.GetPen()),
      savedBrush_(target.GetBrush()),
      savedFont_(target.GetFont()),
      savedPos_(target.PenPos()) {
  // Starts with the target's state, as a fresh drawing surface on the page
  // would start with the page's.
  SetPen(savedPen_);
  SetBrush(savedBrush_);
  SetFont(savedFont_);
}

OffsetCanvas::~OffsetCanvas() {
  target_.SetPen(savedPen_);
  target_.SetBrush(savedBrush_);
  target_.SetFont(savedFont_);
  target_.MoveTo(savedPos_.x, savedPos_.y);
}

void OffsetCanvas::Forward() const {
  // Measuring needs the target's font set too, hence also from const calls.
  target_.SetPen(GetPen());
  target_.SetBrush(GetBrush());
  target_.SetFont(GetFont());
}

Rect OffsetCanvas::Shift(const Rect& rect) const {
  return {rect.left + origin_.x, rect.top + origin_.y, rect.right + origin_.x, rect.bottom + origin_.y};
}

void OffsetCanvas::SetPixel(int x, int y, Color color) {
  Forward();
  target_.SetPixel(x + origin_.x, y + origin_.y, color);
}

void OffsetCanvas::FillRect(const Rect& rect) {
  Forward();
  target_.FillRect(Shift(rect));
}

void OffsetCanvas::Rectangle(const Rect& rect) {
  Forward();
  target_.Rectangle(Shift(rect));
}

void OffsetCanvas::TextOut(int x, int y, const std::string& text) {
  Forward();
  target_.TextOut(x + origin_.x, y + origin_.y, text);
}

int OffsetCanvas::TextWidth(const std::string& text) const {
  Forward();
  return target_.TextWidth(text);
}

int OffsetCanvas::TextHeight(const std::string& text) const {
  Forward();
  return target_.TextHeight(text);
}

void OffsetCanvas::Draw(int x, int y, const Picture& picture) {
  Forward();
  target_.Draw(x + origin_.x, y + origin_.y, picture);
}

void OffsetCanvas::StretchDraw(const Rect& rect, const Picture& picture) {
  Forward();
  target_.StretchDraw(Shift(rect), picture);
}

void OffsetCanvas::DrawLine(Point from, Point to) {
  Forward();
  target_.MoveTo(from.x + origin_.x, from.y + origin_.y);
  target_.LineTo(to.x + origin_.x, to.y + origin_.y);
}

}  // namespace quelvar::platform
