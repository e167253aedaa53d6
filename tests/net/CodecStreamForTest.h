#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quelvar::test {

// One item of a codec stream, read by a decoder of the test's own.
struct StreamToken {
  bool literal = false;
  uint8_t byte = 0;       // literal
  int32_t position = 0;   // match: window position
  int32_t length = 0;     // match: bytes produced (length field + 3)
};

struct ParsedStream {
  std::vector<StreamToken> tokens;
  bool endMarker = false;  // the stream ended with its end marker
  size_t endBit = 0;       // bits up to and including the end marker
};

// Reads literals and matches until the end marker or the end of the bytes.
inline ParsedStream ParseStream(const std::vector<uint8_t>& bytes) {
  ParsedStream parsed;
  size_t bit = 0;
  const size_t total = bytes.size() * 8;
  const auto read = [&](int count, int32_t& value) {
    if (bit + static_cast<size_t>(count) > total) return false;
    value = 0;
    for (int i = 0; i < count; ++i, ++bit) value = (value << 1) | ((bytes[bit / 8] >> (7 - bit % 8)) & 1);
    return true;
  };
  int32_t flag = 0;
  while (read(1, flag)) {
    StreamToken token;
    int32_t value = 0;
    if (flag == 1) {
      if (!read(8, value)) break;
      token.literal = true;
      token.byte = static_cast<uint8_t>(value);
    } else {
      if (!read(12, token.position)) break;
      if (token.position == 0) {
        parsed.endMarker = true;
        parsed.endBit = bit;
        break;
      }
      if (!read(8, value)) break;
      token.length = value + 3;
    }
    parsed.tokens.push_back(token);
  }
  return parsed;
}

// Builds streams by hand, most significant bit first.
class StreamWriter {
 public:
  void Bits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      if (bit_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1u) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bit_ % 8));
      ++bit_;
    }
  }
  void Literal(uint8_t value) {
    Bits(1, 1);
    Bits(value, 8);
  }
  void Match(int32_t position, int32_t lengthField) {
    Bits(0, 1);
    Bits(static_cast<uint32_t>(position), 12);
    Bits(static_cast<uint32_t>(lengthField), 8);
  }
  void End() { Bits(0, 13); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t bit_ = 0;
};

}  // namespace quelvar::test
