// A packed block as a viewer unpacks it: the first bytes pick the block's
// shape, the rest is the packed block. Unpacking must be the exact inverse of
// packing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "net/GrayCode.h"
#include "net/PackedBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  const GrayTables& gray = fuzz::Gray();
  fuzz::InputReader in(data, size);
  // Signed, so negative and oversized counts are tried too.
  const int32_t wordsPerRow = static_cast<int8_t>(in.Byte());
  const int32_t analogColumns = static_cast<int8_t>(in.Byte());
  const int32_t rows = static_cast<int16_t>(in.Byte() | in.Byte() << 8);
  const auto packed = in.Rest();
  // The raw buffer is sized by the packed one, as a receiver's is by the
  // configuration: the routine must check both against the shape.
  std::vector<uint16_t> raw(packed.size() / 2);
  if (!UnpackSampleBlock(raw, packed, wordsPerRow, analogColumns, rows, gray)) return 0;
  const size_t bytes = 2 + 2 * static_cast<size_t>(wordsPerRow) * static_cast<size_t>(rows);
  std::vector<uint8_t> repacked(bytes);
  if (!PackSampleBlock(raw, repacked, wordsPerRow, analogColumns, rows, gray)) std::abort();
  if (std::memcmp(repacked.data(), packed.data(), bytes) != 0) std::abort();
  return 0;
}
