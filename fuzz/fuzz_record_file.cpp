// A record file of the current format, checked as before it is opened or
// replayed; the configuration of a valid one is applied and laid out.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "shell/RecordFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("record.DAT");
  const std::string& path = file.Write(data, size);
  auto config = std::make_unique<ConfigRecord>();
  RecordFileHeader header{};
  const bool valid = ReadRecordConfig(path, *config, &header);
  if (valid != IsValidRecordFile(path)) std::abort();
  if (valid) {
    LiveConfig live;
    if (!ApplyConfigRecord(*config, live)) std::abort();
    fuzz::TakeConfig(live);
    fuzz::PrepareRuns(live);
  }
  return 0;
}
