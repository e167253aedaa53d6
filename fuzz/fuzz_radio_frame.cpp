// Remote control over the serial link: radio frames polled from the
// controlled side's port and run by the interpreter (see PollRadioArrivals
// for the input's form).
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
  fuzz::ControlledHost host(*state);
  RemoteControlInterpreter interpreter;
  fuzz::PollRadioArrivals(in, interpreter, host);
  return 0;
}
