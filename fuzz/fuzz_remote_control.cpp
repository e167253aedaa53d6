// Remote-control commands as the controlled side receives them over TCP.
// The first byte picks the size of the pieces the rest arrives in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "FuzzHosts.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  fuzz::InputReader in(data, size);
  const size_t piece = 1 + size_t{in.Byte()} * 97;
  auto state = std::make_unique<AppState>();
  state->config = fuzz::SeedConfig();
  fuzz::ControlledHost host(*state);
  RemoteControlInterpreter interpreter;
  interpreter.Attach();
  while (!in.Empty()) {
    const auto bytes = in.Take(piece);
    interpreter.Feed(bytes.data(), bytes.size(), host);
    if (interpreter.BufferCapacity() > sizeof(ConfigRecord)) std::abort();
  }
  return 0;
}
