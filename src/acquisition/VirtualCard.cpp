#include "acquisition/VirtualCard.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "acquisition/SampleLayoutCheck.h"

namespace quelvar {

namespace {

// Truncated to an integer and held within a word: a value outside 16 bits
// (an extreme VZero or ADMax, a negative pre-amplifier) must not wrap.
uint16_t ToWord(double v) {
  if (!(v > 0.0)) return 0;  // also NaN
  if (v >= 65535.0) return 65535;
  return static_cast<uint16_t>(v);
}

int64_t Mod(int64_t x, int64_t d) {
  const int64_t r = x % d;
  return r < 0 ? r + d : r;
}

}  // namespace

bool GenerateSimulatedBlock(uint16_t* rows, int32_t numSamp, const SampleLayout& layout, const LiveConfig& live,
                            VirtualCardState& state, const std::function<int()>& rand32767) {
  if (numSamp < 0 || !SampleLayoutIsConsistent(layout)) return false;
  const int64_t t = state.SampleCounter;
  const int64_t n = numSamp;
  const ptrdiff_t width = layout.NumChn;
  const int32_t analog = layout.Analog_Num;
  const double vZero = live.VZero;
  const double span = static_cast<double>(live.ADMax) - vZero;
  const int64_t a = std::max(live.SamplesPerCycle, 3);
  const int64_t period = n / 5 + 17;
  const int64_t tenth = n / 10;
  const double half = static_cast<double>(std::max<int64_t>(n / 2, 1));  // a block under 2 rows: no division by 0
  auto word = [&](int64_t r, int32_t c, int32_t k) -> uint16_t& {
    return rows[r * width + (k == 0 ? c : layout.ExtraSlotFirst[c] + k - 1)];
  };

  // Sines on the first three virtual channels. Only analog ones are
  // written: a switch word among them is overwritten by its pattern below.
  const int32_t sines = std::min(3, analog);
  for (int32_t j = 0; j < sines; ++j) {
    const int32_t m = layout.MultiFreqTable[j];
    const int64_t d = a * m;
    const int64_t e = j * (d / 3);
    for (int64_t r = 0; r < n; ++r)
      for (int32_t k = 0; k < m; ++k) {
        const int64_t u = (t + r) * m + k;
        const double angle = 2.0 * std::numbers::pi * static_cast<double>(Mod(e + u, d)) / static_cast<double>(d);
        word(r, j, k) = ToWord(vZero + 0.05 * span * std::sin(angle));
      }
  }

  for (int32_t j = sines; j < analog; ++j) {
    const int32_t m = layout.MultiFreqTable[j];
    for (int64_t r = 0; r < n; ++r)
      for (int32_t k = 0; k < m; ++k) {
        const int64_t u = (t + r) * m + k;
        word(r, j, k) = ToWord(vZero + 0.5 * span * static_cast<double>(Mod(u + 2 * j, period) - tenth) / half);
      }
  }

  for (int32_t w = analog; w < layout.NumVChn; ++w)
    for (int64_t r = 0; r < n; ++r) word(r, w, 0) = Mod((t + w + r) / 6, 2) == 1 ? 0xAAAA : 0x5555;

  const int64_t spikeRange = analog * n;
  if (live.SimulateRandom && rand32767 && spikeRange > 0) {
    // An injected generator is held to 0..32767 and the step to at least
    // one sample, so a generator stuck at 0 cannot stall the loop.
    auto draw = [&] { return static_cast<int64_t>(std::clamp(rand32767(), 0, 32767)); };
    const int64_t spikeSpan = std::max(5 * a, n / 2);
    int64_t p = std::max<int64_t>(state.SpikePos, 0);
    while (p < spikeRange) {
      word(p % n, static_cast<int32_t>(p / n), 0) = ToWord(vZero + static_cast<double>(draw()) * span * 0.8 / 32767.0);
      p += std::max<int64_t>(draw() * spikeSpan / 32767, 1);
    }
    state.SpikePos = p % spikeRange;
  }

  for (int32_t j = 0; j < analog; ++j) {
    const AnalogChannel& channel = live.AnalogChannelTable[j];
    if (channel.ChnIDDC != 2 && channel.ChnIDDC != 3) continue;
    // A pre-amplifier of 0 would divide by zero; such a channel is taken as unamplified.
    const double preAmp = channel.ChnPreAmp == 0.0f ? 1.0 : static_cast<double>(channel.ChnPreAmp);
    const double v0 = vZero / preAmp;
    const double v1 = static_cast<double>(live.ADMax) / preAmp;
    for (int64_t r = 0; r < n; ++r)
      word(r, j, 0) = ToWord(v0 + 0.5 * (v1 - v0) * static_cast<double>(Mod(t + r + 2 * j, period) - tenth) / half);
  }

  state.SampleCounter += n;
  return true;
}

}  // namespace quelvar
