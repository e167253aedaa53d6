#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/PrintTarget.h"
#include "platform/RecordingCanvas.h"

namespace quelvar::platform {

// A printer for tests: page size, resolution and name as set; each page of
// every job is a RecordingCanvas kept for inspection. It counts the jobs
// begun and ended and notes as errors what a printer would refuse: a job
// begun while one is open, pages or an end without an open job.
class RecordingPrintTarget : public PrintTarget {
 public:
  RecordingPrintTarget(int pageWidth, int pageHeight, int pixelsPerInchX, std::string printerName = {});

  std::string PrinterName() const override { return printerName_; }
  int PageWidth() const override { return pageWidth_; }
  int PageHeight() const override { return pageHeight_; }
  int PixelsPerInchX() const override { return pixelsPerInchX_; }

  bool BeginDocument(const std::string& title) override;
  void NewPage() override;
  void EndDocument() override;
  // The current page; outside a job a scratch page that is not kept.
  Canvas& PageCanvas() override;

  // Pages of all jobs in order, and the titles of the jobs begun.
  const std::vector<std::unique_ptr<RecordingCanvas>>& Pages() const { return pages_; }
  const RecordingCanvas& Page(size_t index) const { return *pages_.at(index); }
  const std::vector<std::string>& Titles() const { return titles_; }
  int DocumentsBegun() const { return begun_; }
  int DocumentsEnded() const { return ended_; }
  bool DocumentOpen() const { return open_; }
  const std::vector<std::string>& Errors() const { return errors_; }

  // The next BeginDocument fails, as a printer that cannot start a job.
  void RefuseNextDocument() { refuseNext_ = true; }

 private:
  void AddPage();

  int pageWidth_;
  int pageHeight_;
  int pixelsPerInchX_;
  std::string printerName_;
  std::vector<std::unique_ptr<RecordingCanvas>> pages_;
  std::vector<std::string> titles_;
  std::vector<std::string> errors_;
  RecordingCanvas scratch_;
  int begun_ = 0;
  int ended_ = 0;
  bool open_ = false;
  bool refuseNext_ = false;
};

}  // namespace quelvar::platform
