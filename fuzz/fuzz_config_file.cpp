// A configuration file as the settings menu loads it: read, checked, applied
// to a fresh configuration and laid out for a start.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "shell/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("config.QCG");
  const ConfigFileContent content = ReadConfigFile(file.Write(data, size));
  if (content.status != ConfigFileStatus::Ok) return 0;
  LiveConfig live;
  if (ApplyConfigRecord(*content.record, live)) {
    fuzz::TakeConfig(live);
    fuzz::PrepareRuns(live);
  }
  return 0;
}
