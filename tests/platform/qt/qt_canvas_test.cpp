#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"

namespace {

using namespace quelvar::platform;

QImage Blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

std::vector<QPoint> PixelsNot(const QImage& image, const QColor& background) {
  std::vector<QPoint> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != background) out.emplace_back(x, y);
    }
  }
  return out;
}

TEST(QtCanvas, FillRectCoversUpToButNotIncludingRightAndBottom) {
  QImage image = Blank(20, 20);
  {
    QtCanvas canvas(image);
    EXPECT_EQ(canvas.Width(), 20);
    EXPECT_EQ(canvas.Height(), 20);
    canvas.SetBrushColor({255, 0, 0});
    canvas.FillRect({2, 3, 10, 8});
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.FillRect({0, 0, 20, 20});  // a clear brush fills nothing
  }
  const std::vector<QPoint> filled = PixelsNot(image, Qt::white);
  EXPECT_EQ(filled.size(), 8u * 5u);
  EXPECT_EQ(At(image, 2, 3), QColor(255, 0, 0));
  EXPECT_EQ(At(image, 9, 7), QColor(255, 0, 0));
  EXPECT_EQ(At(image, 10, 7), QColor(Qt::white));
  EXPECT_EQ(At(image, 9, 8), QColor(Qt::white));
}

struct LineCase {
  QPoint from;
  QPoint to;
};

class QtCanvasLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(QtCanvasLine, PaintsTheStartAndEveryPixelUpToButNotIncludingTheEnd) {
  const LineCase& c = GetParam();
  QImage image = Blank(40, 40);
  {
    QtCanvas canvas(image);
    canvas.MoveTo(c.from.x(), c.from.y());
    canvas.LineTo(c.to.x(), c.to.y());
    EXPECT_EQ(canvas.PenPos(), (Point{c.to.x(), c.to.y()}));
  }
  const std::vector<QPoint> painted = PixelsNot(image, Qt::white);
  const int dx = c.to.x() - c.from.x();
  const int dy = c.to.y() - c.from.y();
  EXPECT_EQ(static_cast<int>(painted.size()), std::max(std::abs(dx), std::abs(dy)));
  EXPECT_EQ(At(image, c.to.x(), c.to.y()), QColor(Qt::white));
  if (painted.empty()) return;
  EXPECT_EQ(At(image, c.from.x(), c.from.y()), QColor(Qt::black));
  const QRect box(QPoint(std::min(c.from.x(), c.to.x()), std::min(c.from.y(), c.to.y())),
                  QPoint(std::max(c.from.x(), c.to.x()), std::max(c.from.y(), c.to.y())));
  for (const QPoint& p : painted) EXPECT_TRUE(box.contains(p)) << p.x() << "," << p.y();
}

INSTANTIATE_TEST_SUITE_P(Table, QtCanvasLine,
                         ::testing::Values(LineCase{{5, 20}, {25, 20}}, LineCase{{25, 30}, {5, 30}},
                                           LineCase{{10, 2}, {10, 18}}, LineCase{{12, 18}, {12, 2}},
                                           LineCase{{0, 0}, {10, 5}}, LineCase{{10, 5}, {0, 0}},
                                           LineCase{{30, 2}, {34, 17}}, LineCase{{34, 17}, {30, 2}},
                                           LineCase{{3, 3}, {3, 3}}));

// Pixel i of a line is the exact line's nearest, halves toward the start:
// the rasteriser steps that rounding along the line; here it is divided out
// for every pixel, on lines of every slope, partly off the image too.
TEST(QtCanvas, LinePixelsAreTheExactLineRoundedToTheNearest) {
  uint32_t seed = 5;
  const auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 16) % static_cast<uint32_t>(range)) - 30;
  };
  for (int k = 0; k < 300; ++k) {
    const QPoint from(next(100), next(100)), to(next(100), next(100));
    QImage image = Blank(40, 40);
    {
      QtCanvas canvas(image);
      canvas.MoveTo(from.x(), from.y());
      canvas.LineTo(to.x(), to.y());
    }
    QImage reference = Blank(40, 40);
    const int dx = to.x() - from.x(), dy = to.y() - from.y();
    const int n = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i < n; ++i) {
      const auto along = [&](int delta) {
        const int rounded = (2 * i * std::abs(delta) + n - 1) / (2 * n);
        return delta < 0 ? -rounded : rounded;
      };
      const bool xMajor = std::abs(dx) >= std::abs(dy);
      const int x = from.x() + (xMajor ? (dx > 0 ? i : -i) : along(dx));
      const int y = from.y() + (xMajor ? along(dy) : (dy > 0 ? i : -i));
      if (x >= 0 && x < 40 && y >= 0 && y < 40) reference.setPixelColor(x, y, Qt::black);
    }
    ASSERT_EQ(image, reference) << from.x() << "," << from.y() << " to " << to.x() << "," << to.y();
  }
}

TEST(QtCanvas, LineReachingFarBeyondTheImagePaintsItsVisiblePart) {
  QImage image = Blank(20, 10);
  {
    QtCanvas canvas(image);
    canvas.MoveTo(-1000000, 2);
    canvas.LineTo(10, 2);
    canvas.MoveTo(10, 6);
    canvas.LineTo(3000000, 6);
    // Far steeper than the image: one pixel column.
    canvas.MoveTo(15, -1000000);
    canvas.LineTo(15, 1000000);
    canvas.MoveTo(-2000000000, -2000000000);  // long enough to leave the rasteriser; still drawn
    canvas.LineTo(2000000000, 2000000000);
  }
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(At(image, x, 2), x < 10 || x == 15 ? QColor(Qt::black) : QColor(Qt::white)) << x;
    EXPECT_EQ(At(image, x, 6), x >= 10 || x == 6 ? QColor(Qt::black) : QColor(Qt::white)) << x;
  }
  for (int y = 0; y < 10; ++y) EXPECT_EQ(At(image, 15, y), QColor(Qt::black)) << y;
  EXPECT_EQ(At(image, 4, 4), QColor(Qt::black));
}

TEST(QtCanvas, LinesAreTheSameOnEveryImageFormatAndLeaveACopyAlone) {
  // 32-bit images get their line pixels written directly, others through
  // the painter: both must give the same picture, in order with the
  // painter's own fills, and never write into a copy sharing the data.
  auto draw = [](QImage::Format format, QImage& copy) {
    QImage image(40, 30, format);
    image.fill(Qt::white);
    copy = image;
    QtCanvas canvas(image);
    canvas.SetPenColor({200, 10, 30});
    canvas.MoveTo(-50, 3);
    canvas.LineTo(60, 27);
    canvas.MoveTo(5, 40);
    canvas.LineTo(20, -10);
    canvas.SetBrush({{0, 0, 255}, BrushStyle::Solid});
    canvas.FillRect({10, 10, 30, 20});
    canvas.SetPenColor({0, 160, 0});
    canvas.MoveTo(0, 15);
    canvas.LineTo(39, 15);
    canvas.MoveTo(25, 0);
    canvas.LineTo(25, 30);
    canvas.MoveTo(30, 29);
    canvas.LineTo(60, 31);  // leaves the image across its bottom edge
    return image;
  };
  QImage copy;
  const QImage reference = draw(QImage::Format_RGB888, copy);
  EXPECT_EQ(PixelsNot(copy, Qt::white).size(), 0u);
  ASSERT_GT(PixelsNot(reference, Qt::white).size(), 200u);
  for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied}) {
    const QImage image = draw(format, copy);
    EXPECT_EQ(PixelsNot(copy, Qt::white).size(), 0u) << format;
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) ASSERT_EQ(At(image, x, y), At(reference, x, y)) << format << " " << x << "," << y;
    }
  }
}

TEST(QtCanvas, PolylinePaintsEachJointOnce) {
  QImage image = Blank(20, 20);
  {
    QtCanvas canvas(image);
    canvas.MoveTo(2, 2);
    for (const QPoint& p : {QPoint(10, 2), QPoint(10, 8), QPoint(2, 8), QPoint(2, 2)}) canvas.LineTo(p.x(), p.y());
  }
  EXPECT_EQ(PixelsNot(image, Qt::white).size(), 2u * 8u + 2u * 6u);  // the closed 9 x 7 outline
  EXPECT_EQ(At(image, 6, 5), QColor(Qt::white));
}

TEST(QtCanvas, DottedOnePixelPenPaintsThreeOnThreeOff) {
  QImage image = Blank(16, 3);
  {
    QtCanvas canvas(image);
    canvas.SetPenStyle(PenStyle::Dot);
    canvas.MoveTo(0, 1);
    canvas.LineTo(14, 1);
  }
  std::string row;
  for (int x = 0; x < 16; ++x) row += At(image, x, 1) == QColor(Qt::black) ? '#' : '.';
  EXPECT_EQ(row, "###...###...##..");
}

TEST(QtCanvas, WidePenIsCentredOnTheLine) {
  QImage image = Blank(40, 20);
  {
    QtCanvas canvas(image);
    canvas.SetPenWidth(3);
    canvas.SetPenStyle(PenStyle::Dot);  // wider pens draw solid
    canvas.MoveTo(10, 10);
    canvas.LineTo(30, 10);
  }
  for (int x = 12; x < 28; ++x) {
    EXPECT_EQ(At(image, x, 9), QColor(Qt::black)) << x;
    EXPECT_EQ(At(image, x, 11), QColor(Qt::black)) << x;
    EXPECT_EQ(At(image, x, 12), QColor(Qt::white)) << x;
    EXPECT_EQ(At(image, x, 8), QColor(Qt::white)) << x;
  }
}

TEST(QtCanvas, RectangleOutlinesItsOutermostPixelsAndFillsWithTheBrush) {
  QImage image = Blank(20, 20);
  {
    QtCanvas canvas(image);
    canvas.SetPenColor({255, 0, 0});
    canvas.SetBrushColor({0, 0, 255});
    canvas.Rectangle({2, 3, 11, 10});
  }
  const QColor red(255, 0, 0), blue(0, 0, 255);
  for (int x = 2; x <= 10; ++x) {
    EXPECT_EQ(At(image, x, 3), red) << x;
    EXPECT_EQ(At(image, x, 9), red) << x;
  }
  for (int y = 3; y <= 9; ++y) {
    EXPECT_EQ(At(image, 2, y), red) << y;
    EXPECT_EQ(At(image, 10, y), red) << y;
  }
  EXPECT_EQ(At(image, 6, 6), blue);
  EXPECT_EQ(PixelsNot(image, Qt::white).size(), 9u * 7u);
}

TEST(QtCanvas, SetPixelPaintsOnePixelWhateverThePen) {
  QImage image = Blank(5, 5);
  {
    QtCanvas canvas(image);
    canvas.SetPenWidth(4);
    canvas.SetPixel(2, 3, {0, 128, 0});
  }
  EXPECT_EQ(PixelsNot(image, Qt::white), (std::vector<QPoint>{QPoint(2, 3)}));
  EXPECT_EQ(At(image, 2, 3), QColor(0, 128, 0));
}

TEST(QtCanvas, TextStandsBelowAndRightOfItsPositionWithinItsExtent) {
  QImage image = Blank(200, 100);
  int width = 0;
  int height = 0;
  {
    QtCanvas canvas(image);
    canvas.SetFontSize(15);
    canvas.SetBrushStyle(BrushStyle::Clear);
    width = canvas.TextWidth("lg");
    height = canvas.TextHeight("lg");
    EXPECT_EQ(canvas.TextHeight(""), height);
    EXPECT_GT(width, canvas.TextWidth("l"));
    canvas.TextOut(20, 30, "lg");
  }
  ASSERT_GT(height, 15);
  const std::vector<QPoint> ink = PixelsNot(image, Qt::white);
  ASSERT_FALSE(ink.empty());
  const QRect extent(20, 30, width, height);
  for (const QPoint& p : ink) ASSERT_TRUE(extent.contains(p)) << p.x() << "," << p.y();
  // The ascender of "l" reaches the upper half, the descender of "g" the lower.
  EXPECT_TRUE(std::any_of(ink.begin(), ink.end(), [&](const QPoint& p) { return p.y() < 30 + height / 3; }));
  EXPECT_TRUE(std::any_of(ink.begin(), ink.end(), [&](const QPoint& p) { return p.y() > 30 + height * 2 / 3; }));
}

TEST(QtCanvas, TextOnASolidBrushFillsItsExtent) {
  QImage image = Blank(200, 100);
  int width = 0;
  int height = 0;
  {
    QtCanvas canvas(image);
    canvas.SetBrushColor({0, 0, 255});
    canvas.SetFontColor(kWhite);
    width = canvas.TextWidth("中文");
    height = canvas.TextHeight("中文");
    canvas.TextOut(10, 20, "中文");
  }
  const QColor blue(0, 0, 255);
  EXPECT_EQ(At(image, 10, 20), blue);
  EXPECT_EQ(At(image, 10 + width - 1, 20 + height - 1), blue);
  EXPECT_EQ(At(image, 10 + width, 20), QColor(Qt::white));
  EXPECT_EQ(At(image, 10, 20 + height), QColor(Qt::white));
}

class QtCanvasPicture : public ::testing::Test {
 protected:
  QtCanvasPicture() : picture(Quadrants()) {}
  // Red, green / blue, yellow.
  static QImage Quadrants() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixelColor(0, 0, Qt::red);
    image.setPixelColor(1, 0, Qt::green);
    image.setPixelColor(0, 1, Qt::blue);
    image.setPixelColor(1, 1, Qt::yellow);
    return image;
  }
  QtPicture picture;
};

TEST_F(QtCanvasPicture, StretchDrawFillsTheRectangleScaledToItsPixels) {
  QImage image = Blank(40, 40);
  {
    QtCanvas canvas(image);
    canvas.StretchDraw({10, 10, 30, 30}, picture);
  }
  EXPECT_EQ(At(image, 10, 10), QColor(Qt::red));
  EXPECT_EQ(At(image, 19, 19), QColor(Qt::red));
  EXPECT_EQ(At(image, 29, 10), QColor(Qt::green));
  EXPECT_EQ(At(image, 10, 29), QColor(Qt::blue));
  EXPECT_EQ(At(image, 20, 20), QColor(Qt::yellow));
  EXPECT_EQ(At(image, 29, 29), QColor(Qt::yellow));
  EXPECT_EQ(PixelsNot(image, Qt::white).size(), 20u * 20u);
}

TEST_F(QtCanvasPicture, DrawPlacesThePictureAtItsOwnSize) {
  QImage image = Blank(10, 10);
  {
    QtCanvas canvas(image);
    canvas.Draw(4, 5, picture);
  }
  EXPECT_EQ(At(image, 4, 5), QColor(Qt::red));
  EXPECT_EQ(At(image, 5, 6), QColor(Qt::yellow));
  EXPECT_EQ(PixelsNot(image, Qt::white).size(), 4u);
}

TEST_F(QtCanvasPicture, LoadReadsAnImageFileAndFailsOnAMissingOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("logo.png");
  ASSERT_TRUE(Quadrants().save(path));
  const auto loaded = QtPicture::Load(path.toStdString());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Width(), 2);
  EXPECT_EQ(loaded->Height(), 2);
  EXPECT_EQ(loaded->Image().pixelColor(1, 1), QColor(Qt::yellow));
  EXPECT_FALSE(QtPicture::Load(dir.filePath("missing.png").toStdString()));
}

TEST(QtCanvas, DrawsOnAVectorDeviceToo) {
  QPicture recording;
  {
    QtCanvas canvas(recording);
    canvas.SetBrushColor({0, 0, 255});
    canvas.FillRect({2, 2, 6, 6});
    canvas.MoveTo(10, 12);
    canvas.LineTo(30, 12);
  }
  QImage image = Blank(40, 20);
  {
    QPainter painter(&image);
    painter.drawPicture(0, 0, recording);
  }
  EXPECT_EQ(At(image, 2, 2), QColor(0, 0, 255));
  EXPECT_EQ(At(image, 5, 5), QColor(0, 0, 255));
  EXPECT_EQ(At(image, 20, 12), QColor(Qt::black));
}

}  // namespace
