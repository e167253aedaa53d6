#include "platform/RecordingPrintTarget.h"

#include <utility>

namespace quelvar::platform {

RecordingPrintTarget::RecordingPrintTarget(int pageWidth, int pageHeight, int pixelsPerInchX,
                                           std::string printerName)
    : pageWidth_(pageWidth),
      pageHeight_(pageHeight),
      pixelsPerInchX_(pixelsPerInchX),
      printerName_(std::move(printerName)),
      scratch_(pageWidth, pageHeight) {}

void RecordingPrintTarget::AddPage() { pages_.push_back(std::make_unique<RecordingCanvas>(pageWidth_, pageHeight_)); }

bool RecordingPrintTarget::BeginDocument(const std::string& title) {
  if (refuseNext_) {
    refuseNext_ = false;
    return false;
  }
  if (open_) errors_.push_back("BeginDocument \"" + title + "\" while a document is open");
  ++begun_;
  open_ = true;
  titles_.push_back(title);
  AddPage();
  return true;
}

void RecordingPrintTarget::NewPage() {
  if (!open_) {
    errors_.push_back("NewPage without an open document");
    return;
  }
  AddPage();
}

void RecordingPrintTarget::EndDocument() {
  if (!open_) {
    errors_.push_back("EndDocument without an open document");
    return;
  }
  ++ended_;
  open_ = false;
}

Canvas& RecordingPrintTarget::PageCanvas() {
  if (!open_ || pages_.empty()) return scratch_;
  return *pages_.back();
}

}  // namespace quelvar::platform
