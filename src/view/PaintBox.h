#pragma once

#include <QWidget>

#include <functional>

class QPainter;

namespace quelvar {

// A plain drawing area: whoever owns it paints it and takes its mouse
// events through the callbacks (positions in the box's own pixels).
class PaintBox : public QWidget {
 public:
  explicit PaintBox(QWidget* parent = nullptr) : QWidget(parent) {}
  std::function<void(QPainter&)> onPaint;
  std::function<void(Qt::MouseButton, int x, int y)> onMouseDown;
  std::function<void(int x, int y)> onMouseMove;
  std::function<void(Qt::MouseButton, int x, int y)> onMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quelvar
