#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/PrintTarget.h"

class QPrinter;

namespace quelvar::platform {

class QtCanvas;

// Printing over QPrinter: to the printer the printer-setup dialog chose (or
// the system's default printer), and where the system has no printer at
// all, into a PDF file whose name the owner gives for each job. The page is
// the printable area in device pixels at the printer's resolution.
class QtPrintTarget : public PrintTarget {
 public:
  // `pdfFileForJob` names the PDF file of a job when no printer exists.
  QtPrintTarget(QPrinter& printer, std::function<std::string()> pdfFileForJob);
  ~QtPrintTarget() override;
  QtPrintTarget(const QtPrintTarget&) = delete;
  QtPrintTarget& operator=(const QtPrintTarget&) = delete;

  // Every job into this PDF file, printer or not (tests, and a user's
  // choice of file output).
  void ForcePdfFile(const std::string& path) { forcedPdf_ = path; }
  // The PDF file the last job went into; empty when it went to a printer.
  std::string OutputFile() const override { return outputFile_; }
  // True when the system knows a printer.
  static bool SystemHasPrinter();

  std::string PrinterName() const override;
  int PageWidth() const override;
  int PageHeight() const override;
  int PixelsPerInchX() const override;
  bool BeginDocument(const std::string& title) override;
  void NewPage() override;
  void EndDocument() override;
  Canvas& PageCanvas() override;

 private:
  bool ToFile() const;

  QPrinter& printer_;
  std::function<std::string()> pdfFileForJob_;
  std::string forcedPdf_;
  std::string outputFile_;
  bool madePdf_ = false;  // the printer was set to PDF output by a job
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace quelvar::platform
