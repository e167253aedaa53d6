#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/ConfigBounds.h"
#include "common/DisplayData.h"
#include "common/SampleLayout.h"
#include "view/DisplayReading.h"

namespace quelvar {

// One word's samples in display order, as the oscilloscope reads them:
// channel point q is sub-sample q mod rate of display row q div rate, that
// is of matrix row q div rate + DispFirstBlock x NumSamp, wrapped. Sub-sample
// 0 is the base word, sub-sample k the extra word ExtraSlotFirst + k - 1.
// Only words inside the row are ever read.
struct ChannelSamples {
  const uint16_t* data = nullptr;
  int64_t rowWords = 0;
  int32_t rows = 0;
  int64_t firstRow = 0;
  int32_t rate = 1;
  std::vector<int32_t> words;  // per sub-sample; -1: outside the row

  // Channel points the data hold: 0 .. Count() - 1.
  int64_t Count() const { return data != nullptr ? static_cast<int64_t>(rows) * rate : 0; }

  // Channel point q, 0 <= q < Count(); false when its word lies outside the row.
  bool Read(int64_t q, uint16_t& value) const {
    if (q < 0 || q >= Count()) return false;
    const int32_t word = words[static_cast<size_t>(q % rate)];
    if (word < 0) return false;
    const int32_t row = WrapDisplayRow(q / rate + firstRow, rows);
    value = data[row * rowWords + word];
    return true;
  }
};

// Word `word` at `rate` sub-samples a row (1 for a single-rate channel or a
// switch word); a rate above 1 takes the extra words of channel `word`.
inline ChannelSamples ChannelSamplesOf(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                                       int32_t word, int32_t rate) {
  ChannelSamples s;
  if (display.DispData == nullptr || display.DispRows <= 0 || display.DispRowWords <= 0) return s;
  s.data = display.DispData;
  s.rowWords = display.DispRowWords;
  s.rows = display.DispRows;
  s.firstRow = static_cast<int64_t>(display.DispFirstBlock) * numSamp;
  s.rate = std::clamp(rate, 1, kMaxMultiFreq);
  s.words.assign(static_cast<size_t>(s.rate), -1);
  const bool hasExtras = word >= 0 && word < kMaxVirtualChannels;
  for (int32_t k = 0; k < s.rate; ++k) {
    int64_t w = -1;
    if (k == 0) {
      w = word;
    } else if (hasExtras) {
      w = static_cast<int64_t>(layout.ExtraSlotFirst[static_cast<size_t>(word)]) + k - 1;
      if (w >= layout.ExtraSlotLast[static_cast<size_t>(word)]) w = -1;
    }
    if (w >= 0 && w < display.DispRowWords) s.words[static_cast<size_t>(k)] = static_cast<int32_t>(w);
  }
  return s;
}

// The rate multiplier a channel is drawn and searched at: its own with
// multi-rate data (1 .. MaxMultiFreq), 1 otherwise and for switch inputs.
inline int32_t OscilloscopeRateOf(const SampleLayout& layout, int32_t channel, int32_t analogNum) {
  const int32_t maxMulti = std::clamp(layout.MaxMultiFreq, 1, kMaxMultiFreq);
  if (maxMulti == 1 || channel < 0 || channel >= analogNum || channel >= kMaxVirtualChannels) return 1;
  return std::clamp(layout.MultiFreqTable[static_cast<size_t>(channel)], 1, maxMulti);
}

}  // namespace quelvar
