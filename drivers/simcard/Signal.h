#pragma once

#include <cstdint>

namespace simcard {

// What the card "measures": the last `switchWords` words of a row carry a
// switch pattern, the words before them one sine each around vZero.
struct SignalShape {
  uint32_t numChn = 0;
  uint32_t switchWords = 0;
  double rowRate = 1.0;  // rows per second
  double vZero = 2048.0;
  double adMax = 4095.0;
  double amplitude = 1000.0;
};

// Fills `numRows` rows of shape.numChn words; row r is sample number
// firstRow + r since the start, so consecutive calls continue the signal.
void FillRows(uint16_t* rows, uint64_t firstRow, uint32_t numRows, const SignalShape& shape);

}  // namespace simcard
