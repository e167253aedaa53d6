#include "platform/qt/QtPicture.h"

#include <QFile>

namespace quelvar::platform {

std::unique_ptr<QtPicture> QtPicture::Load(const std::string& path) {
  QImage image;
  if (!image.load(QFile::decodeName(QByteArray::fromStdString(path)))) return nullptr;
  return std::make_unique<QtPicture>(std::move(image));
}

}  // namespace quelvar::platform
