#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace siglib {

// What the program hands over at preparation (the arguments of
// "SendADToMatlabArray" the copy needs).
struct DisplayBuffer {
  const uint16_t* data = nullptr;
  int32_t numSamp = 0;
  int32_t rows = 0;        // DispRows
  int32_t firstBlock = 0;  // DispFirstBlock
  int32_t rowWords = 0;    // NumChn
  int32_t analogNum = 0;
  const float* coeA = nullptr;
  const float* coeB = nullptr;
  int32_t xPosition = 0;     // the first row, counted from DispFirstBlock's row 0
  int32_t displayWidth = 0;  // rows, one point each (multi-rate: the caller's rows)
  float channelRate = 0.0f;
  float vZero = 0.0f;
  float adMax = 0.0f;
};

// The shown range of every analog channel in engineering units, as MATLAB
// holds a matrix: column-major, `points` rows and one column per channel.
struct AdMatrix {
  std::vector<double> values;  // values[channel x points + point]
  size_t points = 0;
  size_t channels = 0;
  double fs = 0.0;

  const double* Column(size_t channel) const { return values.data() + channel * points; }
};

// The copy of the range, or false (matrix left empty) when the buffer or the
// arguments describe nothing to copy. Display point p is row
// p + firstBlock x numSamp of the ring, wrapped into 0 .. rows - 1; the range
// is cut to points 0 .. rows - 1, so no row is taken twice.
bool PrepareAdMatrix(const DisplayBuffer& buffer, AdMatrix& out);

}  // namespace siglib
