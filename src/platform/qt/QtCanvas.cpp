#include "platform/qt/QtCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPaintEngine>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/qt/QtPicture.h"
#include "platform/qt/QtVectorPicture.h"

namespace quelvar::platform {

namespace {

// The dot pattern of a one-pixel dotted pen: pixels on, then off.
constexpr int kDotOn = 3;
constexpr int kDotPeriod = 6;
// Longer lines would overflow the rounding arithmetic; they lie almost wholly
// off any device and are left to Qt's own line drawing.
constexpr int64_t kLongestRasterLine = int64_t{1} << 30;

QColor ToQColor(Color c) { return QColor(c.red, c.green, c.blue); }

constexpr int kPointsPerInch = 72;

// Point sizes at the device's resolution, or pixels at `resolution` dots per
// inch when one is given.
QFont ToQFont(const Font& font, int resolution) {
  QFont f;
  if (!font.name.empty()) f.setFamily(QString::fromStdString(font.name));
  const int points = std::max(font.size, 1);
  if (resolution > 0) {
    f.setPixelSize(std::max(1, static_cast<int>((int64_t{points} * resolution + kPointsPerInch / 2) / kPointsPerInch)));
  } else {
    f.setPointSize(points);
  }
  f.setBold(font.style & kFontStyleBold);
  f.setItalic(font.style & kFontStyleItalic);
  f.setUnderline(font.style & kFontStyleUnderline);
  f.setStrikeOut(font.style & kFontStyleStrikeOut);
  return f;
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

QtCanvas::QtCanvas(QPaintDevice& device) : device_(device), width_(device.width()), height_(device.height()) {
  Begin();
}

QtCanvas::QtCanvas(QPaintDevice& device, int width, int height, int fontResolution)
    : device_(device),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      declaredSize_(true),
      fontResolution_(std::max(fontResolution, 0)) {
  Begin();
}

void QtCanvas::Begin() {
  if (!painter_.begin(&device_)) return;
  raster_ = painter_.paintEngine() && painter_.paintEngine()->type() == QPaintEngine::Raster;
  painter_.setRenderHint(QPainter::Antialiasing, false);
  if (raster_ && device_.devType() == QInternal::Image) {
    auto& image = static_cast<QImage&>(device_);
    const QImage::Format f = image.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied) {
      // The painter has made the image's data its own (unshared) already,
      // so these are the pixels it paints too.
      pixels_ = reinterpret_cast<uint32_t*>(image.bits());
      pixelsPerLine_ = image.bytesPerLine() / 4;
    }
  }
}

QtCanvas::~QtCanvas() {
  if (painter_.isActive()) painter_.end();
}

int QtCanvas::Width() const { return declaredSize_ ? width_ : device_.width(); }

int QtCanvas::Height() const { return declaredSize_ ? height_ : device_.height(); }

QFont QtCanvas::CanvasFont() const { return ToQFont(GetFont(), fontResolution_); }

void QtCanvas::DrawLine(Point from, Point to) {
  if (!painter_.isActive() || from == to) return;
  const Pen& pen = GetPen();
  if (raster_ && pen.width <= 1) {
    RasterLine(from, to, pen.color, pen.style == PenStyle::Dot);
  } else {
    SegmentLine(from, to);
  }
}

// Pixel i = 0 .. n - 1 of the line, n being the longer of |dx| and |dy|: the
// major coordinate steps by one, the minor one is the exact line's rounded to
// the nearest pixel, halves toward the start (as Bresenham's algorithm does),
// so a line and its reverse have the same shape. Only the pixels whose major
// coordinate lies on the device are visited, so a trace zoomed far beyond the
// image costs no more than one across it. Pixels in a row along the major
// axis go out as one fill.
void QtCanvas::RasterLine(Point from, Point to, Color color, bool dotted) {
  const int64_t dx = int64_t{to.x} - from.x;
  const int64_t dy = int64_t{to.y} - from.y;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int64_t n = std::max(std::abs(dx), std::abs(dy));
  const int64_t minorDelta = std::abs(xMajor ? dy : dx);
  if (n > kLongestRasterLine) {
    SegmentLine(from, to);
    return;
  }
  const int step = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t major0 = xMajor ? from.x : from.y;
  const int64_t minor0 = xMajor ? from.y : from.x;
  const int64_t limit = xMajor ? width_ : height_;
  const int64_t first = std::max<int64_t>(0, step > 0 ? -major0 : major0 - limit + 1);
  const int64_t end = std::min<int64_t>(n, step > 0 ? limit - major0 : major0 + 1);

  int64_t runFirst = 0;  // major coordinate of the run's first pixel
  int64_t runLength = 0;
  int64_t runMinor = 0;
  const int64_t minorLimit = xMajor ? height_ : width_;
  const uint32_t pixel = 0xFF000000u | uint32_t{color.red} << 16 | uint32_t{color.green} << 8 | color.blue;
  auto flush = [&] {
    if (runLength == 0) return;
    const int low = static_cast<int>(std::min(runFirst, runFirst + (runLength - 1) * step));
    const int length = static_cast<int>(runLength);
    const int minor = static_cast<int>(runMinor);
    runLength = 0;
    if (pixels_ == nullptr) {
      painter_.fillRect(xMajor ? QRect(low, minor, length, 1) : QRect(minor, low, 1, length), ToQColor(color));
      return;
    }
    // The major range lies on the image already; the minor one may not.
    if (minor < 0 || minor >= minorLimit) return;
    if (xMajor) {
      uint32_t* p = pixels_ + minor * pixelsPerLine_ + low;
      std::fill(p, p + length, pixel);
    } else {
      uint32_t* p = pixels_ + low * pixelsPerLine_ + minor;
      for (int i = 0; i < length; ++i, p += pixelsPerLine_) *p = pixel;
    }
  };
  // The minor offset (2 i minorDelta + n - 1) / (2 n), stepped without a
  // division per pixel: each step adds 2 minorDelta <= 2 n to the numerator,
  // so the quotient grows by at most one.
  const int64_t denominator = 2 * n;
  int64_t quotient = 0;
  int64_t remainder = 0;
  if (first < end) {
    const int64_t numerator = 2 * first * minorDelta + n - 1;
    quotient = numerator / denominator;
    remainder = numerator % denominator;
  }
  for (int64_t i = first; i < end; ++i) {
    const int64_t offset = quotient;
    remainder += 2 * minorDelta;
    if (remainder >= denominator) {
      remainder -= denominator;
      ++quotient;
    }
    if (dotted && i % kDotPeriod >= kDotOn) {
      flush();
      continue;
    }
    const int64_t minor = minor0 + minorStep * offset;
    if (runLength > 0 && minor == runMinor) {
      ++runLength;
    } else {
      flush();
      runFirst = major0 + i * step;
      runMinor = minor;
      runLength = 1;
    }
  }
  flush();
}

void QtCanvas::SegmentLine(Point from, Point to) {
  const Pen& pen = GetPen();
  QPen qpen(ToQColor(pen.color));
  if (pen.width <= 1) {
    // One device pixel at any scale: a picture replayed smaller or larger
    // keeps its thin lines thin and visible.
    qpen.setWidth(1);
    qpen.setCosmetic(true);
    qpen.setCapStyle(Qt::FlatCap);
    if (pen.style == PenStyle::Dot) qpen.setDashPattern(QList<qreal>{kDotOn, kDotPeriod - kDotOn});
    painter_.setPen(qpen);
    painter_.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    return;
  }
  // A wide pen is centred on the pixels of the path.
  qpen.setWidth(pen.width);
  qpen.setCapStyle(Qt::RoundCap);
  qpen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(qpen);
  painter_.drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(to.x + 0.5, to.y + 0.5));
}

void QtCanvas::SetPixel(int x, int y, Color color) {
  if (painter_.isActive()) painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

void QtCanvas::FillRect(const Rect& rect) {
  const Brush& brush = GetBrush();
  if (!painter_.isActive() || brush.style == BrushStyle::Clear || IsEmpty(rect)) return;
  painter_.fillRect(ToQRect(rect), ToQColor(brush.color));
}

void QtCanvas::Rectangle(const Rect& rect) {
  if (!painter_.isActive() || IsEmpty(rect)) return;
  FillRect(rect);
  const Pen& pen = GetPen();
  const int right = rect.right - 1;
  const int bottom = rect.bottom - 1;
  if (pen.width > 1) {
    painter_.setPen(QPen(ToQColor(pen.color), pen.width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(rect.left + 0.5, rect.top + 0.5, right - rect.left, bottom - rect.top));
    return;
  }
  if (right == rect.left || bottom == rect.top) {  // all border
    painter_.fillRect(ToQRect(rect), ToQColor(pen.color));
    return;
  }
  // Drawn as a closed polyline so that it follows the line rules exactly.
  const Point corners[] = {{rect.left, rect.top}, {right, rect.top}, {right, bottom}, {rect.left, bottom}};
  for (int i = 0; i < 4; ++i) DrawLine(corners[i], corners[(i + 1) % 4]);
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  if (!painter_.isActive() || text.empty()) return;
  const QString s = QString::fromStdString(text);
  const QFont font = CanvasFont();
  const QFontMetrics metrics(font, &device_);
  const Brush& brush = GetBrush();
  if (brush.style == BrushStyle::Solid) {
    painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), ToQColor(brush.color));
  }
  painter_.setFont(font);
  painter_.setPen(ToQColor(GetFont().color));
  painter_.drawText(QPoint(x, y + metrics.ascent()), s);
}

int QtCanvas::TextWidth(const std::string& text) const {
  return QFontMetrics(CanvasFont(), &device_).horizontalAdvance(QString::fromStdString(text));
}

int QtCanvas::TextHeight(const std::string&) const { return QFontMetrics(CanvasFont(), &device_).height(); }

void QtCanvas::Draw(int x, int y, const Picture& picture) {
  if (!painter_.isActive()) return;
  if (const auto* image = dynamic_cast<const QtPicture*>(&picture)) {
    painter_.drawImage(QPoint(x, y), image->Image());
  } else if (const auto* vector = dynamic_cast<const QtVectorPicture*>(&picture)) {
    vector->Play(painter_, QRectF(x, y, vector->Width(), vector->Height()));
  }
}

// A bitmap is scaled nearest-pixel (no smoothing), as a bitmap stretch always
// was; a vector picture is replayed at the rectangle's scale.
void QtCanvas::StretchDraw(const Rect& rect, const Picture& picture) {
  if (!painter_.isActive() || IsEmpty(rect)) return;
  if (const auto* image = dynamic_cast<const QtPicture*>(&picture)) {
    painter_.drawImage(ToQRect(rect), image->Image());
  } else if (const auto* vector = dynamic_cast<const QtVectorPicture*>(&picture)) {
    vector->Play(painter_, QRectF(ToQRect(rect)));
  }
}

std::unique_ptr<QImage> PictureOnWhite(QSize size, const Picture& picture) {
  auto shown = std::make_unique<QImage>(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  shown->fill(Qt::white);
  QtCanvas canvas(*shown);
  canvas.StretchDraw({0, 0, shown->width(), shown->height()}, picture);
  return shown;
}

}  // namespace quelvar::platform
