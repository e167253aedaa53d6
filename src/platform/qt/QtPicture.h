#pragma once

#include <QImage>

#include <memory>
#include <string>

#include "platform/Canvas.h"

namespace quelvar::platform {

// A raster picture for QtCanvas: the branding logo, the about box's picture.
class QtPicture : public Picture {
 public:
  explicit QtPicture(QImage image) : image_(std::move(image)) {}
  // Reads an image file in any format Qt reads; null when it cannot.
  static std::unique_ptr<QtPicture> Load(const std::string& path);

  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace quelvar::platform
