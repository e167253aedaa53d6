#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace quelvar {

// The station stream (TCP port 2000): the station sends its configuration and
// every acquired block to its viewers; each viewer answers every block it
// takes with a 2-byte BlockAck. Blocks and lengths travel as the machine holds
// them, little-endian.
static_assert(std::endian::native == std::endian::little, "the stream carries blocks as they lie in memory");

// The first byte of every message from the station.
namespace StationMessage {
inline constexpr uint8_t RawBlock = 0;         // the raw block, R bytes
inline constexpr uint8_t CompressedBlock = 1;  // u32 n, n compressed bytes of the raw block
inline constexpr uint8_t NotSampling = 2;      // nothing follows
inline constexpr uint8_t Started = 3;          // the configuration record follows
inline constexpr uint8_t Stopped = 4;          // nothing follows
inline constexpr uint8_t PackedBlock = 5;      // u32 n, n compressed bytes of the packed block
}  // namespace StationMessage

// A viewer's answer to a block: the block's sequence word.
inline constexpr size_t kBlockAckBytes = 2;
// Bytes of the length word that leads a compressed block.
inline constexpr size_t kBlockLengthBytes = 4;

// A block no buffer of the start preparation could hold (2^30 words) is never
// sent or taken; the bound also keeps every length below the u32 of the wire.
inline constexpr uint64_t kMaxStreamBlockBytes = uint64_t{1} << 31;

// R: the bytes of one raw block (sequence word, then NumSamp rows of NumChn
// words), or 0 when the layout cannot give a block the stream may carry.
constexpr uint64_t RawBlockBytes(int32_t numChn, int32_t numSamp) {
  if (numChn <= 0 || numSamp <= 0) return 0;
  const uint64_t bytes = (static_cast<uint64_t>(numChn) * static_cast<uint64_t>(numSamp) + 1) * 2;
  return bytes <= kMaxStreamBlockBytes ? bytes : 0;
}

}  // namespace quelvar
