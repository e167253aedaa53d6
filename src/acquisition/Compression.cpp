#include "acquisition/Compression.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "acquisition/SampleLayoutCheck.h"

namespace quelvar {

namespace {

struct BlockView {
  const uint16_t* rows;
  ptrdiff_t width;
  int64_t count;

  const uint16_t* Row(int64_t r) const { return rows + r * width; }
  // A pick past either end reads the nearest row of the block: the RMS of a
  // ratio shorter than a cycle reaches beyond the block's last row.
  uint16_t Clamped(int64_t r, int32_t word) const { return Row(std::clamp<int64_t>(r, 0, count - 1))[word]; }
};

// Truncated toward zero and kept inside a word; an odd VZero cannot wrap.
uint16_t ToCode(double v) {
  if (!(v >= 0.0)) return 0;
  if (v >= 65535.0) return 65535;
  return static_cast<uint16_t>(v);
}

// The fundamental's amplitude from twelve samples a twelfth of a cycle
// apart, as an RMS around vZero. The cosine of 30 degrees is m - m/8 - m/128;
// the shifts round toward minus infinity and the division truncates.
uint16_t FundamentalRms(const BlockView& block, int32_t word, int64_t first, int64_t step, double vZero) {
  int32_t x[12];
  for (int k = 0; k < 12; ++k) x[k] = block.Clamped(first + k * step, word);
  const int32_t m = x[1] + x[11] - x[5] - x[7];
  const int32_t re = ((x[0] - x[6]) + ((x[2] + x[10] - x[4] - x[8]) >> 1) + m - (m >> 3) - (m >> 7)) / 6;
  const int32_t n = x[2] + x[4] - x[8] - x[10];
  const int32_t im = ((x[3] - x[9]) + ((x[1] + x[5] - x[7] - x[11]) >> 1) + n - (n >> 3) - (n >> 7)) / 6;
  // Squares in 64 bits: with full 16-bit codes their sum passes 2^31.
  const int64_t power = int64_t{re} * re + int64_t{im} * im;
  return ToCode(std::sqrt(static_cast<double>(power) * 0.5) + vZero);
}

struct AnalogParams {
  int32_t ratio;
  int64_t rmsStep;
  double vZero;
};

uint16_t CompressAnalog(const BlockView& block, int32_t word, int32_t type, int64_t group, const AnalogParams& p) {
  const int64_t first = group * p.ratio;
  switch (type) {
    case 0:
      return block.Row(first + p.ratio / 2)[word];
    case 1:
      return FundamentalRms(block, word, first, p.rmsStep, p.vZero);
    case 2: {
      uint64_t sum = 0;
      for (int64_t r = first; r < first + p.ratio; ++r) sum += block.Row(r)[word];
      return static_cast<uint16_t>(sum / static_cast<uint64_t>(p.ratio));
    }
    default:
      break;
  }
  uint16_t hi = 0, lo = 0xFFFF;
  for (int64_t r = first; r < first + p.ratio; ++r) {
    const uint16_t v = block.Row(r)[word];
    hi = std::max(hi, v);
    lo = std::min(lo, v);
  }
  if (type == 3) return hi;
  if (type == 4) return lo;
  return group % 2 == 0 ? hi : lo;  // the outline, and any unknown type
}

// One switch word over a group, all sixteen bits at once.
struct SwitchWordGroup {
  uint16_t middle = 0, all = 0xFFFF, any = 0, rising = 0, falling = 0;

  uint16_t ByMode(int32_t mode, int64_t group) const {
    switch (mode) {
      case 0: return middle;
      case 1: return all;
      case 2: return any;
      case 3: return rising;
      case 4: return falling;
      default: return group % 2 == 0 ? any : all;  // the outline, and any unknown mode
    }
  }
};

SwitchWordGroup ScanSwitchWord(const BlockView& block, int32_t word, int64_t first, int32_t ratio, uint16_t before) {
  SwitchWordGroup s;
  s.middle = block.Row(first + ratio / 2)[word];
  uint16_t prev = before;
  for (int64_t r = first; r < first + ratio; ++r) {
    const uint16_t cur = block.Row(r)[word];
    s.all &= cur;
    s.any |= cur;
    s.rising |= static_cast<uint16_t>(~prev & cur);
    s.falling |= static_cast<uint16_t>(prev & ~cur);
    prev = cur;
  }
  return s;
}

}  // namespace

bool CompressBlocksIntoRing(const uint16_t* blockRows, const uint16_t* rowBefore, int32_t numSamp,
                            const SampleLayout& layout, const LiveConfig& live, uint16_t* ringBlock,
                            int32_t firstRow) {
  const int32_t ratio = live.CompressRatio;
  if (!blockRows || !ringBlock || numSamp < 1 || ratio < 1 || numSamp % ratio != 0) return false;
  const int32_t groups = numSamp / ratio;
  if (firstRow < 0 || int64_t{firstRow} + groups > numSamp) return false;
  if (!SampleLayoutIsConsistent(layout)) return false;
  const int32_t switchWords = layout.NumVChn - layout.Analog_Num;
  const int32_t inputs = live.SW_Num;
  // Inputs beyond the switch words would name extra words or words past the row.
  if (inputs < 0 || inputs > kMaxSwitchInputs || inputs > 16 * switchWords) return false;

  const BlockView block{blockRows, layout.NumChn, numSamp};
  const AnalogParams analog{ratio, live.SamplesPerCycle / 12, static_cast<double>(live.VZero)};
  const int32_t usedWords = (inputs + 15) / 16;
  for (int64_t g = 0; g < groups; ++g) {
    uint16_t* out = ringBlock + (firstRow + g) * block.width;
    for (int32_t c = 0; c < layout.Analog_Num; ++c)
      out[c] = CompressAnalog(block, c, live.AnalogChannelTable[c].ChnACompressType, g, analog);

    const int64_t first = g * ratio;
    for (int32_t w = 0; w < usedWords; ++w) {
      const int32_t word = layout.Analog_Num + w;
      const uint16_t before =
          first > 0 ? block.Row(first - 1)[word] : (rowBefore ? rowBefore[word] : block.Row(first)[word]);
      const SwitchWordGroup scan = ScanSwitchWord(block, word, first, ratio, before);
      const int32_t bits = std::min(16, inputs - 16 * w);
      uint16_t mask = 0, value = 0;
      for (int32_t b = 0; b < bits; ++b) {
        const uint16_t bit = static_cast<uint16_t>(1u << b);
        mask |= bit;
        value |= scan.ByMode(live.SwitchChannelTable[16 * w + b].SWBCompressType, g) & bit;
      }
      out[word] = static_cast<uint16_t>((out[word] & ~mask) | value);
    }
  }
  return true;
}

}  // namespace quelvar
