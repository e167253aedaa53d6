#include "platform/qt/QtVectorPicture.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

#include "platform/qt/QtCanvas.h"

namespace quelvar::platform {

void QtVectorPicture::Reset(int width, int height, int fontResolution) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  fontResolution_ = std::max(fontResolution, 0);
  picture_ = QPicture();
  picture_.setBoundingRect(QRect(0, 0, width_, height_));
}

std::unique_ptr<QtCanvas> QtVectorPicture::OpenCanvas() {
  return std::make_unique<QtCanvas>(picture_, width_, height_, fontResolution_);
}

void QtVectorPicture::Play(QPainter& painter, const QRectF& target) const {
  if (width_ <= 0 || height_ <= 0 || target.isEmpty()) return;
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.translate(target.topLeft());
  painter.scale(target.width() / width_, target.height() / height_);
  // A QPicture replays itself scaled by the device's resolution over its
  // own (a printer of 1200 dots per inch would get it 12.5 times larger);
  // the picture's coordinates are the target's pixels, so that is undone.
  const QPaintDevice* device = painter.device();
  if (device != nullptr && device->logicalDpiX() > 0 && device->logicalDpiY() > 0) {
    painter.scale(static_cast<qreal>(picture_.logicalDpiX()) / device->logicalDpiX(),
                  static_cast<qreal>(picture_.logicalDpiY()) / device->logicalDpiY());
  }
  painter.drawPicture(0, 0, picture_);
  painter.restore();
}

QImage QtVectorPicture::ToImage(int longestSide) const {
  const int longer = std::max(width_, height_);
  const double scale = longer > longestSide && longer > 0 ? static_cast<double>(longestSide) / longer : 1.0;
  const int w = std::max(1, static_cast<int>(std::lround(width_ * scale)));
  const int h = std::max(1, static_cast<int>(std::lround(height_ * scale)));
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Play(painter, QRectF(0, 0, w, h));
  return image;
}

QByteArray QtVectorPicture::ToSvg() const {
  QByteArray svg;
  QBuffer buffer(&svg);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(width_, height_));
  generator.setViewBox(QRect(0, 0, width_, height_));
  // Pasted at its physical size: a page as large as the page.
  generator.setResolution(fontResolution_ > 0 ? fontResolution_ : picture_.logicalDpiX());
  {
    QPainter painter(&generator);
    Play(painter, QRectF(0, 0, width_, height_));
  }
  return svg;
}

}  // namespace quelvar::platform
