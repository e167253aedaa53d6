// The block codec's expander on a stream from the network. The first byte
// picks the output bound; the codec keeps its window across inputs, as a
// receiver's does across blocks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "net/LzssCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static LzssCodec codec;
  static std::vector<uint8_t> out;
  fuzz::InputReader in(data, size);
  const size_t maxOutput = size_t{in.Byte()} << 8;
  const auto stream = in.Rest();
  codec.LzssExpand(stream.data(), stream.size(), maxOutput, out);
  if (out.size() > maxOutput + 1) std::abort();
  return 0;
}
