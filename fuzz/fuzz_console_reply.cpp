// The console's side of remote control: its requests, and whatever the
// controlled side answers. The input is a series of steps: a byte whose
// value modulo 10 picks a request (0-7), the arrival of a piece of the
// peer's bytes (8: a 16-bit length, then the bytes) or a new connection (9).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzHosts.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  fuzz::InputReader in(data, size);
  auto state = std::make_unique<AppState>();
  state->config = fuzz::SeedConfig();
  fuzz::ConsoleWindow window;
  RemoteConsole console(*state, window);
  console.LinkOpening();
  console.LinkConnected();
  while (!in.Empty()) {
    switch (in.Byte() % 10) {
      case 0: console.SendConfig(); break;
      case 1: console.GetConfig(); break;
      case 2: console.ToggleRecording(); break;
      case 3: console.ToggleOscilloscope(); break;
      case 4: console.QueryStatus(); break;
      case 5: console.SetAsAlone(); break;
      case 6: console.SetAsServer(); break;
      case 7: console.SetAsClient("192.168.1.20"); break;
      case 8: {
        const size_t length = in.Byte() | size_t{in.Byte()} << 8;
        const auto bytes = in.Take(length);
        console.Feed(bytes.data(), bytes.size());
        break;
      }
      default:
        console.LinkClosed();
        console.LinkOpening();
        console.LinkConnected();
        break;
    }
    window.sent.clear();
  }
  return 0;
}
