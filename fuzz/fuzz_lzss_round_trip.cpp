// The block codec both ways: the input, cut into blocks at the positions its
// first byte picks, is compressed block by block by a sender's codec and
// expanded by a receiver's, both kept across the blocks as a station's and a
// viewer's are. Every block must come back as it was, within its own bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "net/LzssCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  fuzz::InputReader in(data, size);
  const size_t blockBytes = 1 + size_t{in.Byte()} * 64;
  LzssCodec sender;
  LzssCodec receiver;
  std::vector<uint8_t> out;
  while (!in.Empty()) {
    const auto block = in.Take(blockBytes);
    const CodecBuffer packed = sender.LzssCompress(block.data(), block.size());
    receiver.LzssExpand(packed.data(), packed.size(), block.size(), out);
    if (out.size() != block.size() || std::memcmp(out.data(), block.data(), block.size()) != 0) std::abort();
  }
  return 0;
}
