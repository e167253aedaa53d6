// The torque sensors' ".TRQ" file: what reads holds finite numbers only, and
// its text reads back to the same tables.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "setup/TorqueCalibration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  const TorqueFileRead read = ReadTorqueFileText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.status != TorqueFileStatus::Ok) return 0;
  const std::string text = TorqueFileText(read.tables);
  const TorqueFileRead again = ReadTorqueFileText(text);
  if (again.status != TorqueFileStatus::Ok) std::abort();
  if (TorqueFileText(again.tables) != text) std::abort();
  return 0;
}
