#include "view/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace quelvar {

void PaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (onPaint) onPaint(painter);
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (onMouseDown) onMouseDown(event->button(), at.x(), at.y());
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (onMouseMove) onMouseMove(at.x(), at.y());
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (onMouseUp) onMouseUp(event->button(), at.x(), at.y());
}

}  // namespace quelvar
