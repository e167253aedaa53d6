#include "acquisition/OnlineFilter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "acquisition/SampleLayoutCheck.h"

namespace quelvar {

namespace {

constexpr int64_t kStateMax = 65535 * 1000;

// s := (s x C + 500) div 1000 + (1000 - C) x x, the sample becoming
// (s + 500) div 1000. With s in 0..kStateMax and C in 0..1000, s stays in
// that range, so the result always fits a word.
inline uint16_t FilterStep(int64_t& s, int64_t keep, int64_t take, uint16_t x) {
  s = (s * keep + 500) / 1000 + take * x;
  return static_cast<uint16_t>((s + 500) / 1000);
}

// The multi-rate analog channels of a layout, in channel order.
struct MultiRateChannels {
  std::array<int32_t, kMaxAnalogChannels> channel{};
  int32_t count = 0;

  explicit MultiRateChannels(const SampleLayout& layout) {
    for (int32_t c = 0; c < layout.Analog_Num; ++c)
      if (layout.MultiFreqTable[c] > 1) channel[count++] = c;
  }
};

}  // namespace

bool ApplyOnlineFilter(uint16_t* rows, int32_t rowCount, const SampleLayout& layout, int32_t filterCoe,
                       bool reseed, FilterState& state) {
  if (rowCount < 0 || filterCoe < 0 || filterCoe > 1000 || !SampleLayoutIsConsistent(layout)) return false;
  if (rowCount == 0) return true;
  const int32_t analog = layout.Analog_Num;
  const ptrdiff_t width = layout.NumChn;
  std::array<int64_t, kMaxAnalogChannels>& s = state.Values;
  if (reseed || state.Reseed) {
    for (int32_t c = 0; c < analog; ++c) s[c] = 1000 * int64_t{rows[c]};
  } else {
    // A state set from outside could otherwise drive the products out of 64 bits.
    for (int32_t c = 0; c < analog; ++c) s[c] = std::clamp<int64_t>(s[c], 0, kStateMax);
  }
  state.Reseed = false;

  const int64_t keep = filterCoe, take = 1000 - filterCoe;
  const MultiRateChannels multi(layout);
  // Row by row rather than channel by channel: each channel still sees its
  // sub-samples in time order (base word, then extra words), and the block
  // is walked once from start to end.
  for (int32_t r = 0; r < rowCount; ++r) {
    uint16_t* row = rows + r * width;
    for (int32_t c = 0; c < analog; ++c) row[c] = FilterStep(s[c], keep, take, row[c]);
    for (int32_t i = 0; i < multi.count; ++i) {
      const int32_t c = multi.channel[i];
      for (int32_t w = layout.ExtraSlotFirst[c]; w < layout.ExtraSlotLast[c]; ++w)
        row[w] = FilterStep(s[c], keep, take, row[w]);
    }
  }
  return true;
}

// In place, output row by output row in ascending order. Output row q is
// written only after everything it is made of has been read, and it never
// holds anything a later output needs: output sub-sample j of a channel
// reads its input sub-samples j x R .. j x R + R - 1, all at or after j, so
// a later output j' > j reads only sub-samples >= j' x R > j, which lie in
// rows >= q (the row of j) and, within row q, in words not yet written
// (sub-samples of one row are written in ascending order). Switch words of
// output row q come from row (q + 1) x R - 1 > q. Each channel reads and
// writes only its own words, so the order among channels does not matter.
bool ApplyOnlineResample(uint16_t* rows, int32_t outputRows, const SampleLayout& layout, int32_t resampNum,
                         int32_t resampMode) {
  if (outputRows < 0 || resampNum < 1 || !SampleLayoutIsConsistent(layout)) return false;
  // The delivered rows must be addressable at all (no block that large exists).
  const int64_t deliveredRows = int64_t{outputRows} * resampNum;
  if (layout.NumChn > 0 && deliveredRows > PTRDIFF_MAX / layout.NumChn) return false;
  if (resampNum == 1) return true;  // groups of one: every word stays where it is
  const int32_t analog = layout.Analog_Num;
  const ptrdiff_t width = layout.NumChn;
  const int64_t r = resampNum;
  const bool keepLast = resampMode == 1;
  const MultiRateChannels multi(layout);
  std::array<bool, kMaxAnalogChannels> singleRate{};
  for (int32_t c = 0; c < analog; ++c) singleRate[c] = layout.MultiFreqTable[c] == 1;
  std::array<uint64_t, kMaxAnalogChannels> sum{};

  for (int64_t q = 0; q < outputRows; ++q) {
    uint16_t* out = rows + q * width;
    const uint16_t* group = rows + q * r * width;
    const uint16_t* lastRow = group + (r - 1) * width;

    for (int32_t i = 0; i < multi.count; ++i) {
      const int32_t c = multi.channel[i];
      const int32_t m = layout.MultiFreqTable[c];
      const int32_t extra = layout.ExtraSlotFirst[c] - 1;  // word of sub-sample k > 0 is extra + k
      for (int32_t k = 0; k < m; ++k) {
        const int64_t j = q * m + k;
        int64_t u = keepLast ? (j + 1) * r - 1 : j * r;
        int64_t inRow = u / m;
        int32_t inSub = static_cast<int32_t>(u % m);
        uint64_t value = 0;
        for (int64_t n = keepLast ? 1 : r; n > 0; --n) {
          value += rows[inRow * width + (inSub == 0 ? c : extra + inSub)];
          if (++inSub == m) inSub = 0, ++inRow;
        }
        out[k == 0 ? c : extra + k] = static_cast<uint16_t>(keepLast ? value : value / r);
      }
    }

    if (keepLast) {
      for (int32_t c = 0; c < analog; ++c)
        if (singleRate[c]) out[c] = lastRow[c];
    } else {
      // Multi-rate base words are summed too (their output is already
      // written) but never stored: one plain loop over the row is cheaper.
      std::fill_n(sum.begin(), analog, 0);
      for (const uint16_t* in = group; in <= lastRow; in += width)
        for (int32_t c = 0; c < analog; ++c) sum[c] += in[c];
      for (int32_t c = 0; c < analog; ++c)
        if (singleRate[c]) out[c] = static_cast<uint16_t>(sum[c] / static_cast<uint64_t>(r));
    }
    std::copy(lastRow + analog, lastRow + layout.NumVChn, out + analog);
  }
  return true;
}

}  // namespace quelvar
