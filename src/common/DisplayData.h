#pragma once

#include <algorithm>
#include <cstdint>

namespace quelvar {

// What the waveform views show: a matrix of DispRows rows of DispRowWords
// words, held as a ring of DispBlocks blocks of NumSamp rows (the recorder
// ring, or a record's samples), with the time origin and the compressed part.
// Written by acquisition and history review; views only read it.
struct DisplayDescriptor {
  const uint16_t* DispData = nullptr;
  int32_t DispFirstBlock = 0;  // the oldest block: display row 0 is its row 0
  int32_t DispTriggerBlock = 0;
  int32_t DispTriggerPoint = 0;
  int32_t DispBlocks = 0;
  int32_t DispRows = 0;
  int32_t DispPoints = 0;  // DispRows x MaxMultiFreq
  int32_t DispRowWords = 0;
  int32_t DispCompressed = 0;
  int32_t DispCompressStart = 0;
  int32_t DispCompressBlocks = 0;
  int32_t DispCompressRatio = 1;
  int32_t DispCompressType = 0;
  int16_t DispValid = 0;  // no view draws, measures or exports while 0
  int32_t DataSourceMode = 0;  // 0 stored data, 1 live recorder ring, 2 oscilloscope
  // A history record is on display (the check mark of menuSelectFault).
  int32_t SelectFault = 0;
};

// The rows and points of `blocks` blocks of `numSamp` rows at `maxMultiFreq`
// points a row. Products in 64 bits: a descriptor from settings that do not
// fit 32 bits (the start refuses them) gets the largest counts that do.
struct DisplayExtent {
  int32_t rows = 0;
  int32_t points = 0;
  bool fits = false;  // both counts are exact
};
inline DisplayExtent DisplayExtentOf(int32_t blocks, int32_t numSamp, int32_t maxMultiFreq) {
  constexpr int64_t kLimit = INT32_MAX;
  const int64_t rows = int64_t{std::max(blocks, 0)} * std::max(numSamp, 0);  // below 2^62
  const int64_t points = rows > kLimit ? kLimit + 1 : rows * std::max(maxMultiFreq, 1);
  return {static_cast<int32_t>(std::min(rows, kLimit)), static_cast<int32_t>(std::min(points, kLimit)),
          points <= kLimit};
}

}  // namespace quelvar
