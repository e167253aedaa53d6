// A configuration record from anywhere outside (a record file, a station, a
// controller): checked, applied to a fresh configuration and laid out for a
// start. Short inputs are completed with zeros, longer ones cut.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "FuzzSupport.h"
#include "shell/ConfigRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  auto record = std::make_unique<ConfigRecord>();
  std::memset(record.get(), 0, sizeof(ConfigRecord));
  std::memcpy(record.get(), data, size < sizeof(ConfigRecord) ? size : sizeof(ConfigRecord));
  LiveConfig live;
  if (ApplyConfigRecord(*record, live)) {
    fuzz::TakeConfig(live);
    fuzz::PrepareRuns(live);
    // What applying took must come back out as a record the checks accept.
    auto again = std::make_unique<ConfigRecord>();
    BuildConfigRecord(live, ConfigBuildExtras{}, *again);
    if (!ValidateConfigRecord(*again)) std::abort();
  }
  return 0;
}
