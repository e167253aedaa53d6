// The vector picture: its declared size, its font resolution, replays at its
// own size and stretched, and its way to the clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <memory>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtUiHost.h"
#include "platform/qt/QtVectorPicture.h"

namespace {

using namespace quelvar::platform;

QImage Blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// Left half red, a one-pixel black line at three quarters, "Ab" in blue at
// the top left.
void DrawSample(QtVectorPicture& picture) {
  auto canvas = picture.OpenCanvas();
  const int w = picture.Width(), h = picture.Height();
  canvas->SetBrush({{255, 0, 0}, BrushStyle::Solid});
  canvas->FillRect({0, 0, w / 2, h});
  canvas->SetPen({kBlack, 1, PenStyle::Solid});
  canvas->MoveTo(w * 3 / 4, 0);
  canvas->LineTo(w * 3 / 4, h);
  canvas->SetBrushStyle(BrushStyle::Clear);
  canvas->SetFont({"", 10, 0, {0, 0, 255}});
  canvas->TextOut(2, 2, "Ab");
}

TEST(QtVectorPicture, TheDeclaredSizeIsThePicturesWhateverItsDrawingCovers) {
  QtVectorPicture picture(300, 200, 96);
  {
    auto canvas = picture.OpenCanvas();
    EXPECT_EQ(canvas->Width(), 300);
    EXPECT_EQ(canvas->Height(), 200);
    canvas->SetBrush({kBlack, BrushStyle::Solid});
    canvas->FillRect({10, 10, 15, 15});
  }
  EXPECT_EQ(picture.Width(), 300);
  EXPECT_EQ(picture.Height(), 200);
  picture.Reset(40, 30, 96);
  EXPECT_EQ(picture.Width(), 40);
  // Emptied: nothing is replayed.
  QImage image = Blank(40, 30);
  {
    QtCanvas canvas(image);
    canvas.Draw(0, 0, picture);
  }
  EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::white));
}

TEST(QtVectorPicture, FontSizesArePixelsAtThePicturesResolution) {
  QtVectorPicture screen(100, 100, 96);
  QtVectorPicture page(100, 100, 960);
  auto a = screen.OpenCanvas();
  auto b = page.OpenCanvas();
  a->SetFont({"", 10, 0, kBlack});
  b->SetFont({"", 10, 0, kBlack});
  // Ten times the resolution, about ten times the text.
  EXPECT_NEAR(static_cast<double>(b->TextHeight("lg")) / a->TextHeight("lg"), 10.0, 1.5);
  EXPECT_NEAR(static_cast<double>(b->TextWidth("WWWW")) / a->TextWidth("WWWW"), 10.0, 1.5);
}

TEST(QtVectorPicture, DrawReplaysItAtItsOwnSizeClippedToIt) {
  QtVectorPicture picture(20, 20, 96);
  {
    auto canvas = picture.OpenCanvas();
    canvas->SetBrush({{0, 0, 255}, BrushStyle::Solid});
    canvas->FillRect({0, 0, 40, 40});  // beyond the picture
  }
  QImage image = Blank(60, 60);
  {
    QtCanvas canvas(image);
    canvas.Draw(10, 10, picture);
  }
  EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(29, 29), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(30, 30), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(9, 9), QColor(Qt::white));
}

TEST(QtVectorPicture, StretchDrawScalesAPageOntoTheRectangleKeepingThinLines) {
  QtVectorPicture picture(2000, 3000, 600);
  DrawSample(picture);
  QImage image = Blank(200, 150);
  {
    QtCanvas canvas(image);
    canvas.StretchDraw({0, 0, 100, 150}, picture);
  }
  EXPECT_EQ(image.pixelColor(25, 75), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(49, 140), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(60, 75), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(150, 75), QColor(Qt::white));  // outside the rectangle
  // The one-pixel line, twenty times smaller, still shows as a line.
  int dark = 0;
  for (int x = 73; x <= 77; ++x) dark += image.pixelColor(x, 75).lightness() < 128 ? 1 : 0;
  EXPECT_GE(dark, 1);
  // The text is scaled with the page: blue pixels in its corner only.
  bool blue = false;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) blue = blue || image.pixelColor(x, y).blue() > image.pixelColor(x, y).red() + 60;
  }
  EXPECT_TRUE(blue);
}

TEST(QtVectorPicture, ItsPixelsAreTheTargetsWhateverTheTargetsResolution) {
  // A QPicture on its own replays scaled by the device's resolution; a
  // printer page or a 300 dpi image must get the picture at the size asked.
  QtVectorPicture picture(400, 300, 96);
  DrawSample(picture);
  QImage image = Blank(200, 150);
  image.setDotsPerMeterX(11811);  // 300 dots per inch
  image.setDotsPerMeterY(11811);
  {
    QtCanvas canvas(image);
    canvas.StretchDraw({0, 0, 200, 150}, picture);
  }
  EXPECT_EQ(image.pixelColor(90, 140), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(120, 75), QColor(Qt::white));
}

TEST(QtVectorPicture, AsSvgAndAsABitmap) {
  QtVectorPicture picture(400, 300, 96);
  DrawSample(picture);
  const QByteArray svg = picture.ToSvg();
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains("viewBox=\"0 0 400 300\""));
  EXPECT_TRUE(svg.contains(">Ab<"));
  // Drawn one to one into the view box, and as large as the screen shows it.
  EXPECT_FALSE(svg.contains("matrix(0.75"));
  EXPECT_TRUE(svg.contains("width=\"105.833mm\"")) << svg.left(400).toStdString();
  const QImage image = picture.ToImage(4096);
  EXPECT_EQ(image.size(), QSize(400, 300));
  EXPECT_EQ(image.pixelColor(100, 150), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(300, 150), QColor(Qt::black));
  EXPECT_EQ(picture.ToImage(200).size(), QSize(200, 150));
}

TEST(QtUiHostClipboard, AVectorPictureGoesAsSvgAndBitmap) {
  QtUiHost host;
  QtVectorPicture picture(640, 480, 96);
  DrawSample(picture);
  host.SetClipboardPicture(picture);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(data->hasFormat("image/svg+xml"));
  EXPECT_TRUE(data->data("image/svg+xml").contains("<svg"));
  ASSERT_TRUE(data->hasImage());
  EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), QSize(640, 480));
}

TEST(QtUiHostClipboard, BitmapsAreHeldToTheLongestSideProportionally) {
  QtUiHost host;
  QtVectorPicture picture(16000, 8000, 600);
  DrawSample(picture);
  host.SetClipboardPicture(picture);
  EXPECT_EQ(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData()).size(),
            QSize(QtUiHost::kClipboardBitmapSide, QtUiHost::kClipboardBitmapSide / 2));
}

TEST(QtUiHostClipboard, ARasterPictureGoesAsABitmapOnly) {
  QtUiHost host;
  QImage image = Blank(30, 20);
  image.setPixelColor(3, 4, Qt::red);
  host.SetClipboardPicture(QtPicture(image));
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data->hasImage());
  EXPECT_FALSE(data->hasFormat("image/svg+xml"));
  const QImage copied = qvariant_cast<QImage>(data->imageData());
  EXPECT_EQ(copied.size(), QSize(30, 20));
  EXPECT_EQ(copied.pixelColor(3, 4), QColor(Qt::red));
}

}  // namespace
