#pragma once

#include <string>

#include "platform/Canvas.h"

namespace quelvar::platform {

// A printer and its print jobs, in printer pixels. One job at a time:
// BeginDocument, pages drawn on PageCanvas with NewPage between them, then
// EndDocument. Text measured on PageCanvas has the printer's metrics.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;

  // The selected printer's name; empty when none is selected (the default
  // printer, or the file output where the system has no printer).
  virtual std::string PrinterName() const = 0;
  // The page in printer pixels and the horizontal resolution in dots per
  // inch (at least 1).
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int PixelsPerInchX() const = 0;

  // Starts a job titled `title` on its first page; false when it cannot be
  // started. The page canvas is valid until EndDocument.
  virtual bool BeginDocument(const std::string& title) = 0;
  virtual void NewPage() = 0;
  virtual void EndDocument() = 0;
  virtual Canvas& PageCanvas() = 0;
  // The file the last job was written into where it went to a file and not
  // to a printer; empty otherwise.
  virtual std::string OutputFile() const { return {}; }
};

}  // namespace quelvar::platform
