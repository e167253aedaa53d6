#include "net/PackedBlock.h"

namespace quelvar {

namespace {

constexpr size_t kSequenceBytes = 2;

bool CountsFit(size_t rawWords, size_t packedBytes, int32_t wordsPerRow, int32_t analogColumns, int32_t rows) {
  if (wordsPerRow < 0 || rows < 0 || analogColumns < 0 || analogColumns > wordsPerRow) return false;
  const uint64_t cells = static_cast<uint64_t>(wordsPerRow) * static_cast<uint64_t>(rows);
  return rawWords >= 1 && rawWords - 1 >= cells && packedBytes >= kSequenceBytes &&
         (packedBytes - kSequenceBytes) / 2 >= cells;
}

}  // namespace

bool PackSampleBlock(std::span<const uint16_t> raw, std::span<uint8_t> packed, int32_t wordsPerRow,
                     int32_t analogColumns, int32_t rows, const GrayTables& gray) {
  if (!CountsFit(raw.size(), packed.size(), wordsPerRow, analogColumns, rows)) return false;
  packed[0] = static_cast<uint8_t>(raw[0] & 0xFF);
  packed[1] = static_cast<uint8_t>(raw[0] >> 8);
  const uint16_t* cells = raw.data() + 1;
  const size_t stride = static_cast<size_t>(wordsPerRow);
  const size_t planeBytes = static_cast<size_t>(rows);
  for (int32_t c = 0; c < wordsPerRow; ++c) {
    uint8_t* low = packed.data() + kSequenceBytes + 2 * static_cast<size_t>(c) * planeBytes;
    uint8_t* high = low + planeBytes;
    const uint16_t* column = cells + c;
    const bool analog = c < analogColumns;
    uint16_t previous = 0;
    for (size_t j = 0; j < planeBytes; ++j) {
      const uint16_t word = column[j * stride];
      if (j == 0) {
        low[j] = static_cast<uint8_t>(word & 0xFF);
        high[j] = static_cast<uint8_t>(word >> 8);
      } else if (analog) {
        const auto difference = static_cast<uint16_t>(word - previous);
        low[j] = gray.ToGray[difference & 0xFF];
        high[j] = gray.ToGray[difference >> 8];
      } else {
        const auto changed = static_cast<uint16_t>(word ^ previous);
        low[j] = static_cast<uint8_t>(changed & 0xFF);
        high[j] = static_cast<uint8_t>(changed >> 8);
      }
      previous = word;
    }
  }
  return true;
}

bool UnpackSampleBlock(std::span<uint16_t> raw, std::span<const uint8_t> packed, int32_t wordsPerRow,
                       int32_t analogColumns, int32_t rows, const GrayTables& gray) {
  if (!CountsFit(raw.size(), packed.size(), wordsPerRow, analogColumns, rows)) return false;
  raw[0] = static_cast<uint16_t>(packed[0] | (packed[1] << 8));
  uint16_t* cells = raw.data() + 1;
  const size_t stride = static_cast<size_t>(wordsPerRow);
  const size_t planeBytes = static_cast<size_t>(rows);
  for (int32_t c = 0; c < wordsPerRow; ++c) {
    const uint8_t* low = packed.data() + kSequenceBytes + 2 * static_cast<size_t>(c) * planeBytes;
    const uint8_t* high = low + planeBytes;
    uint16_t* column = cells + c;
    const bool analog = c < analogColumns;
    uint16_t previous = 0;
    for (size_t j = 0; j < planeBytes; ++j) {
      uint16_t word = 0;
      if (j == 0) {
        word = static_cast<uint16_t>(low[j] | (high[j] << 8));
      } else if (analog) {
        word = static_cast<uint16_t>(previous + (gray.FromGray[high[j]] << 8) + gray.FromGray[low[j]]);
      } else {
        word = static_cast<uint16_t>((low[j] | (high[j] << 8)) ^ previous);
      }
      column[j * stride] = word;
      previous = word;
    }
  }
  return true;
}

}  // namespace quelvar
