// The station stream as a viewer receives it. The first byte picks the size
// of the pieces the rest arrives in, since the network splits it anywhere.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzHosts.h"
#include "FuzzSupport.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  const GrayTables& gray = fuzz::Gray();
  fuzz::InputReader in(data, size);
  const size_t piece = 1 + size_t{in.Byte()} * 97;
  LiveConfig config = fuzz::SeedConfig();
  LzssCodec codec;
  fuzz::ViewerWindow window(config);
  ViewerReceiver receiver(window, config, codec, gray);
  window.Attach(receiver);
  receiver.Open();
  while (!in.Empty()) {
    const auto bytes = in.Take(piece);
    receiver.Feed(bytes.data(), bytes.size());
  }
  return 0;
}
