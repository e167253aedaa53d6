#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "net/BitStream.h"
#include "net/LzssWindow.h"
#include "net/MatchTree.h"

namespace quelvar {

// A compression's result: bytes in the codec's own output buffer.
using CodecBuffer = std::span<const uint8_t>;

// The block codec: LZSS over a 4096-byte window. The stream is a sequence of
// literals (bit 1, the byte) and matches (bit 0, a 12-bit window position
// 1-4095, an 8-bit length field L for L + 3 bytes copied from there, overlap
// allowed), ended by bit 0 and position 0 and padded with zero bits to a
// whole byte. The first byte of every stream goes to window position 1.
//
// One object lives as long as the process that owns it and must not be
// replaced between blocks: its window carries over from call to call (both
// directions write it), and the compressor's choice among equally long
// matches depends on those old bytes, so a fresh object would send other
// (equally valid) bytes for the same block. Not reentrant: one call at a time.
class LzssCodec {
 public:
  LzssCodec() = default;
  LzssCodec(const LzssCodec&) = delete;
  LzssCodec& operator=(const LzssCodec&) = delete;

  // Compresses length bytes. The result points into the codec's output
  // buffer and stays valid until the next compression.
  CodecBuffer LzssCompress(const uint8_t* data, size_t length);

  // Expands a stream of length bytes, reading none beyond them. Stops at the
  // end marker; a stream that ends before it gives the bytes produced so far.
  // A stream that would produce more than maxOutput bytes stops as soon as
  // the output is longer, holding maxOutput + 1 bytes: the caller sees it as
  // too long, and a hostile stream cannot make it grow without bound.
  std::vector<uint8_t> LzssExpand(const uint8_t* data, size_t length, size_t maxOutput);
  // The same into `out`, whose storage is reused (a receiver keeps one for
  // every block instead of allocating per block).
  void LzssExpand(const uint8_t* data, size_t length, size_t maxOutput, std::vector<uint8_t>& out);

  // The window, all a codec carries from one call to the next (the match
  // tree is emptied at each compression): a codec given another's window
  // goes on exactly as that one would.
  const LzssWindow& Window() const { return window_; }
  void SetWindow(const LzssWindow& window) { window_ = window; }

 private:
  LzssWindow window_;
  MatchTree tree_{window_};
  BitStream bits_;
};

}  // namespace quelvar
