// The two older record formats, recognised by their checks; one input is
// tried as both.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "shell/RecordFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("old-record.DAT");
  const std::string& path = file.Write(data, size);
  const bool first = IsValidRecordFileOld1(path);
  const bool second = IsValidRecordFileOld2(path);
  // The formats differ only in the configuration block's length, so a file
  // cannot be both.
  if (first && second) std::abort();
  return 0;
}
