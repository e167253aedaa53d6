#include "net/LzssCodec.h"

#include <algorithm>
#include <limits>

namespace quelvar {

namespace {

constexpr int kPositionBits = 12;
constexpr int kLengthBits = 8;
constexpr int kByteBits = 8;
// A match at this position ends the stream.
constexpr int32_t kEndMarkerPosition = 0;
// Where the first byte of every stream goes in the window, on both sides.
constexpr int32_t kFirstWindowPosition = 1;

// The longest possible output: every byte a literal (9 bits), then the end marker.
size_t WorstCaseCompressedBytes(size_t length) { return length + length / 8 + 3; }

// No stream of `length` bytes can expand to more: each 21-bit match gives at
// most 258 bytes, under 99 bytes for each byte of input.
size_t LargestExpansion(size_t length) {
  constexpr size_t kBytesPerInputByte = 99;
  return length > std::numeric_limits<size_t>::max() / kBytesPerInputByte ? std::numeric_limits<size_t>::max()
                                                                          : length * kBytesPerInputByte;
}

}  // namespace

// Input byte i goes to window position (1 + i) mod 4096, and nothing else
// writes the window. The tree is emptied at each call, so it holds only
// positions this call wrote, and every string compared (theirs and the
// current one) ends at or before the last byte written, except at the end
// of the input, where the look-ahead reads up to kLzssLookAhead - 1
// positions past it; once 4096 bytes went in, every position holds one of
// this call's bytes. So the bytes of an input of
// at least kLzssWindowSize bytes, and the window it leaves, depend on that
// input alone; a shorter one depends on the window the previous call left.
// The only allocation comes before the first write: a call that throws
// leaves the window as it was.
CodecBuffer LzssCodec::LzssCompress(const uint8_t* data, size_t length) {
  bits_.BitWriterReset(WorstCaseCompressedBytes(length));

  size_t next = 0;  // the next input byte to enter the window
  int32_t lookAhead = 0;
  while (lookAhead < kLzssLookAhead && next < length) {
    window_.Put(kFirstWindowPosition + lookAhead, data[next]);
    ++next;
    ++lookAhead;
  }
  int32_t current = kFirstWindowPosition;
  tree_.InitMatchTree(current);
  int32_t matchLength = 0;
  int32_t matchPosition = 0;

  while (lookAhead > 0) {
    // Past the input the window still holds older bytes, which may lengthen a match.
    matchLength = std::min(matchLength, lookAhead);
    int32_t replaceCount = 1;
    if (matchLength < kLzssMinMatch) {
      bits_.WriteBit(true);
      bits_.WriteBits(window_.At(current), kByteBits);
    } else {
      bits_.WriteBit(false);
      bits_.WriteBits(static_cast<uint32_t>(matchPosition), kPositionBits);
      bits_.WriteBits(static_cast<uint32_t>(matchLength - kLzssMinMatch), kLengthBits);
      replaceCount = matchLength;
    }
    for (int32_t i = 0; i < replaceCount; ++i) {
      const int32_t incoming = WrapWindowPosition(current + kLzssLookAhead);
      tree_.DeleteMatchString(incoming);
      if (next < length) {
        window_.Put(incoming, data[next]);
        ++next;
      } else {
        --lookAhead;
      }
      current = WrapWindowPosition(current + 1);
      if (lookAhead != 0) matchLength = tree_.AddMatchString(current, matchPosition);
    }
  }

  bits_.WriteBit(false);
  bits_.WriteBits(kEndMarkerPosition, kPositionBits);
  bits_.FlushBits();
  return bits_.Written();
}

std::vector<uint8_t> LzssCodec::LzssExpand(const uint8_t* data, size_t length, size_t maxOutput) {
  std::vector<uint8_t> out;
  LzssExpand(data, length, maxOutput, out);
  return out;
}

void LzssCodec::LzssExpand(const uint8_t* data, size_t length, size_t maxOutput, std::vector<uint8_t>& out) {
  out.clear();
  out.reserve(std::min(maxOutput, LargestExpansion(length)));
  bits_.BitReaderReset(data, length);
  int32_t current = kFirstWindowPosition;
  // False once the output is longer than maxOutput.
  const auto emit = [&](uint8_t value) {
    out.push_back(value);
    window_.Put(current, value);
    current = WrapWindowPosition(current + 1);
    return out.size() <= maxOutput;
  };

  for (;;) {
    const int32_t flag = bits_.ReadBit();
    if (flag == BitStream::kEndOfInput) break;
    if (flag == 1) {
      const int32_t value = bits_.ReadBits(kByteBits);
      if (value == BitStream::kEndOfInput || !emit(static_cast<uint8_t>(value))) break;
      continue;
    }
    const int32_t position = bits_.ReadBits(kPositionBits);
    if (position == BitStream::kEndOfInput || position == kEndMarkerPosition) break;
    const int32_t lengthField = bits_.ReadBits(kLengthBits);
    if (lengthField == BitStream::kEndOfInput) break;
    bool room = true;
    for (int32_t k = 0; room && k < lengthField + kLzssMinMatch; ++k) {
      room = emit(window_.At(WrapWindowPosition(position + k)));
    }
    if (!room) break;
  }
}

}  // namespace quelvar
