#include "platform/qt/QtPrintTarget.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quelvar::platform {
namespace {

int PdfPageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QString text = QString::fromLatin1(file.readAll());
  return static_cast<int>(text.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

class QtPrintTargetTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QPrinter printer{QPrinter::HighResolution};
};

TEST_F(QtPrintTargetTest, AJobOfThreePagesBecomesAPdfOfThreePages) {
  QtPrintTarget target(printer, nullptr);
  const QString pdf = dir.filePath("job.pdf");
  target.ForcePdfFile(pdf.toStdString());
  ASSERT_TRUE(target.BeginDocument("记录示波器打印任务"));
  for (int page = 0; page < 3; ++page) {
    if (page > 0) target.NewPage();
    Canvas& c = target.PageCanvas();
    c.TextOut(100, 100, "第 " + std::to_string(page + 1) + " 页");
    c.MoveTo(0, 0);
    c.LineTo(c.Width() - 1, c.Height() - 1);
  }
  target.EndDocument();
  EXPECT_EQ(target.OutputFile(), pdf.toStdString());
  EXPECT_EQ(PdfPageCount(pdf), 3);
}

TEST_F(QtPrintTargetTest, PagesAndTextAreMeasuredInPrinterPixels) {
  QtPrintTarget target(printer, nullptr);
  target.ForcePdfFile(dir.filePath("m.pdf").toStdString());
  EXPECT_EQ(target.PrinterName(), "");  // file output: no printer selected
  const int dpi = target.PixelsPerInchX();
  EXPECT_GE(dpi, 300);
  // A printable area of A4 or Letter less the margins, at that resolution.
  EXPECT_GT(target.PageWidth(), dpi * 7);
  EXPECT_GT(target.PageHeight(), dpi * 9);
  ASSERT_TRUE(target.BeginDocument("m"));
  Canvas& c = target.PageCanvas();
  EXPECT_EQ(c.Width(), target.PageWidth());
  c.SetFont({"", 9, 0, kBlack});
  // Nine points at the printer's resolution, not at the screen's.
  EXPECT_GT(c.TextHeight("lg"), dpi * 9 / 72);
  target.EndDocument();
}

TEST_F(QtPrintTargetTest, OneJobAtATimeAndAFileThatCannotBeMadeRefusesTheJob) {
  QtPrintTarget target(printer, nullptr);
  target.ForcePdfFile(dir.filePath("a.pdf").toStdString());
  ASSERT_TRUE(target.BeginDocument("a"));
  EXPECT_FALSE(target.BeginDocument("b"));
  target.EndDocument();
  target.ForcePdfFile(dir.filePath("no/such/dir/b.pdf").toStdString());
  EXPECT_FALSE(target.BeginDocument("b"));
  // Outside a job the canvas paints nothing and does not fail.
  target.PageCanvas().TextOut(0, 0, "x");
  target.EndDocument();
}

}  // namespace
}  // namespace quelvar::platform
