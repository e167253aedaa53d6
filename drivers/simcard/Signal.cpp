#include "Signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace simcard {

namespace {

uint16_t AnalogWord(uint32_t channel, uint64_t sample, const SignalShape& shape) {
  // Channel c runs at 50 Hz x (c + 1). The phase is reduced to one period in
  // whole numbers first, so it stays exact however long the card runs.
  const double cycles = 50.0 * (channel + 1.0) * static_cast<double>(sample);
  const double phase = 2.0 * std::numbers::pi * std::fmod(cycles, shape.rowRate) / shape.rowRate;
  const double value = std::floor(shape.vZero + shape.amplitude * std::sin(phase) + 0.5);
  return static_cast<uint16_t>(std::clamp(value, 0.0, shape.adMax));
}

uint16_t SwitchWord(uint32_t word, uint64_t sample, const SignalShape& shape) {
  // Tenths of a second since the start: bit b toggles every 0.1 x 2^b s.
  const auto tenths = static_cast<uint64_t>(std::floor(10.0 * static_cast<double>(sample) / shape.rowRate));
  return static_cast<uint16_t>(tenths + word);
}

}  // namespace

void FillRows(uint16_t* rows, uint64_t firstRow, uint32_t numRows, const SignalShape& shape) {
  const uint32_t switches = std::min(shape.switchWords, shape.numChn);
  const uint32_t analog = shape.numChn - switches;
  for (uint32_t r = 0; r < numRows; ++r) {
    const uint64_t sample = firstRow + r;
    uint16_t* row = rows + static_cast<uint64_t>(r) * shape.numChn;
    for (uint32_t c = 0; c < analog; ++c) row[c] = AnalogWord(c, sample, shape);
    for (uint32_t w = 0; w < switches; ++w) row[analog + w] = SwitchWord(w, sample, shape);
  }
}

}  // namespace simcard
