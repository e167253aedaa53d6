#pragma once

#include <QWidget>

#include <functional>

class QPainter;

namespace quelvar {

// A plain drawing area: whoever owns it paints it through the callback.
class PaintBox : public QWidget {
 public:
  explicit PaintBox(QWidget* parent = nullptr) : QWidget(parent) {}
  std::function<void(QPainter&)> onPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace quelvar
