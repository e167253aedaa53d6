// The text grid's display-order file ("GORD"): a file that reads encodes to
// the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "view/DisplayOrderFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  DisplayOrder order{};
  if (DecodeDisplayOrderFile(std::span<const uint8_t>(data, size), order) != DisplayOrderFileStatus::Ok) return 0;
  const std::string bytes = EncodeDisplayOrderFile(order);
  if (bytes.size() != size || std::memcmp(bytes.data(), data, size) != 0) std::abort();
  return 0;
}
