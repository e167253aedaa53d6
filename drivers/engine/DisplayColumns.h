#pragma once

#include <cstdint>
#include <vector>

namespace haldrevon {

// What a send hands over of the display buffer: a ring of dispRows rows of
// numChn 16-bit words whose display row 0 is row dispFirstBlock x numSamp.
// Words 0 .. analogNum - 1 are the analog channels' base samples; sub-sample
// k (1 .. m - 1) of a channel of rate multiplier m is word
// extraSlotFirst[c] + k - 1, below extraSlotLast[c].
struct DisplayBuffer {
  const uint16_t* data = nullptr;
  int32_t numSamp = 0;
  int32_t dispRows = 0;
  int32_t dispFirstBlock = 0;
  int32_t numChn = 0;
  int32_t analogNum = 0;
  const int32_t* multiFreqTable = nullptr;
  const int32_t* extraSlotFirst = nullptr;
  const int32_t* extraSlotLast = nullptr;
  int32_t xPosition = 0;     // display points, at the fastest channel's rate
  int32_t displayWidth = 0;  // display points
};

// How raw codes become the AD values: codes as they are, or the linear
// engineering value A + B x volts, volts = (code - VZero) / (ADMax - VZero) x 5
// (0 V when the card has no span).
struct Scaling {
  bool raw = true;
  const float* coeA = nullptr;
  const float* coeB = nullptr;
  float vZero = 0.0f;
  float adMax = 0.0f;
};

// False when the buffer cannot be read as described (no data, no analog
// channel, counts out of range).
bool IsReadable(const DisplayBuffer& buffer, const Scaling& scaling);

// The AD matrix, column-major: displayWidth rows, analogNum columns. Column c
// holds channel c's own consecutive samples (rate multiplier m, so sampled
// at m x the base rate) from the one the first shown point stands for,
// XPosition x m / MaxMultiFreq. A slower channel's column therefore reaches
// past the shown range; where it would run beyond the channel's last sample
// it starts earlier, so that it ends there, and a channel with fewer samples
// than rows repeats its data from the start (the ring read round).
std::vector<double> BuildAdMatrix(const DisplayBuffer& buffer, const Scaling& scaling);

}  // namespace haldrevon
