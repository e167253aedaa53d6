#include "view/PaintBox.h"

#include <QPainter>

namespace quelvar {

void PaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (onPaint) onPaint(painter);
}

}  // namespace quelvar
