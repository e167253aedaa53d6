// The record-file manager's check and report of a file of any content; a file
// it finds cut to the wrong length is repaired, and the copy must pass.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzSupport.h"
#include "analysis/RecordFileManager.h"
#include "shell/RecordFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("report.DAT");
  const std::string& path = file.Write(data, size);
  const RecordFileReport report = CheckRecordFileReport(path, "report.DAT");
  if (report.valid != (report.status == 0)) std::abort();
  // The manager is stricter than the opener's check, never looser.
  if (report.valid && !IsValidRecordFile(path)) std::abort();
  if (report.status == kCheckLength) {
    const RepairOutcome repaired = RepairRecordFile(path);
    if (repaired.ok) {
      if (!CheckRecordFileReport(repaired.copyPath, "report-Fix.DAT").valid) std::abort();
      std::remove(repaired.copyPath.c_str());
    } else if (!repaired.refused) {
      std::abort();
    }
  }
  return 0;
}
