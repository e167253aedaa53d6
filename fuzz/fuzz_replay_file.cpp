// The file the virtual AD card replays: opened against the configuration in
// force, then read block by block to its end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "acquisition/VirtualAdFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("replay.DAT");
  static const LiveConfig live = fuzz::SeedConfig();
  VirtualAdReplay replay;
  std::string status;
  if (OpenVirtualAdFile(file.Write(data, size), live, replay, status)) {
    std::vector<uint16_t> rows(static_cast<size_t>(live.NumSamp) * static_cast<size_t>(live.NumChn));
    int32_t blocks = 0;
    while (ReadVirtualAdBlock(replay, rows.data(), rows.size())) {
      if (++blocks > replay.VirtualAdBlocks) std::abort();
    }
  } else if (status.empty()) {
    std::abort();
  }
  CloseVirtualAdFile(replay);
  return 0;
}
