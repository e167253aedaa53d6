#include "platform/qt/QtPrintTarget.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "platform/RecordingCanvas.h"
#include "platform/qt/QtCanvas.h"

namespace quelvar::platform {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// What the page canvas is outside a job: nothing is painted.
RecordingCanvas& IdleCanvas() {
  static RecordingCanvas canvas(0, 0);
  canvas.Clear();
  return canvas;
}

}  // namespace

QtPrintTarget::QtPrintTarget(QPrinter& printer, std::function<std::string()> pdfFileForJob)
    : printer_(printer), pdfFileForJob_(std::move(pdfFileForJob)) {}

QtPrintTarget::~QtPrintTarget() = default;

bool QtPrintTarget::SystemHasPrinter() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

bool QtPrintTarget::ToFile() const { return !forcedPdf_.empty() || !SystemHasPrinter(); }

std::string QtPrintTarget::PrinterName() const {
  if (ToFile()) return {};
  // The default printer counts as no printer chosen.
  const QString name = printer_.printerName();
  if (name == QPrinterInfo::defaultPrinterName()) return {};
  return name.toStdString();
}

int QtPrintTarget::PageWidth() const {
  return std::max(printer_.pageLayout().paintRectPixels(printer_.resolution()).width(), 1);
}

int QtPrintTarget::PageHeight() const {
  return std::max(printer_.pageLayout().paintRectPixels(printer_.resolution()).height(), 1);
}

int QtPrintTarget::PixelsPerInchX() const { return std::max(printer_.resolution(), 1); }

bool QtPrintTarget::BeginDocument(const std::string& title) {
  if (canvas_) return false;  // one job at a time
  outputFile_.clear();
  printer_.setDocName(Q(title));
  if (ToFile()) {
    outputFile_ = !forcedPdf_.empty() ? forcedPdf_ : (pdfFileForJob_ ? pdfFileForJob_() : std::string());
    if (outputFile_.empty()) return false;
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(Q(outputFile_));
    madePdf_ = true;
  } else if (madePdf_) {
    // Back to the printer after a file job of ours; a file output the user
    // chose in the printer-setup dialog is left as it is.
    printer_.setOutputFormat(QPrinter::NativeFormat);
    printer_.setOutputFileName(QString());
    madePdf_ = false;
  }
  canvas_ = std::make_unique<QtCanvas>(printer_);
  if (!canvas_->IsActive()) {
    // The painter could not begin on the printer (no file, no spooler).
    canvas_.reset();
    return false;
  }
  return true;
}

void QtPrintTarget::NewPage() {
  if (canvas_) printer_.newPage();
}

void QtPrintTarget::EndDocument() { canvas_.reset(); }

Canvas& QtPrintTarget::PageCanvas() {
  if (canvas_) return *canvas_;
  return IdleCanvas();
}

}  // namespace quelvar::platform
