#pragma once

#include <array>
#include <cstdint>

namespace quelvar {

// Phasors from twelve samples per cycle, x[k] taken k twelfths of a cycle
// before the point (x[0] is the newest), in integer arithmetic with shifts
// for the cosine factors. The phasor of the fundamental has the peak
// amplitude as its length and runs backwards in time: x(t) = P cos(wt + phi)
// gives P exp(-j(w t0 + phi)); the direction criteria depend on that sign.
struct Phasor12 {
  int32_t Re = 0;
  int32_t Im = 0;
  // Squared length, in 64 bits: composite phasors of a 16-bit card exceed 2^32 squared.
  uint64_t Squared() const {
    return static_cast<uint64_t>(int64_t{Re} * Re) + static_cast<uint64_t>(int64_t{Im} * Im);
  }
};

using TwelveSamples = std::array<int32_t, 12>;

// a x sqrt(3)/2 as a - a/8 - a/128 (arithmetic shifts).
constexpr int32_t TimesHalfRootThree(int32_t a) { return a - (a >> 3) - (a >> 7); }

constexpr Phasor12 TwelvePointFundamental(const TwelveSamples& x) {
  const int32_t a = x[11] + x[1] - x[7] - x[5];
  const int32_t b = x[10] + x[8] - x[4] - x[2];
  return {(((x[10] + x[2] - x[8] - x[4]) >> 1) + (x[0] - x[6]) + TimesHalfRootThree(a)) / 6,
          (((x[11] + x[7] - x[5] - x[1]) >> 1) + (x[9] - x[3]) + TimesHalfRootThree(b)) / 6};
}

constexpr Phasor12 TwelvePointSecondHarmonic(const TwelveSamples& x) {
  const int32_t e = x[11] + x[10] + x[5] + x[4] - x[8] - x[7] - x[2] - x[1];
  return {(((x[11] + x[7] + x[5] + x[1] - x[10] - x[8] - x[4] - x[2]) >> 1) + (x[0] + x[6] - x[3] - x[9])) / 6,
          TimesHalfRootThree(e) / 6};
}

constexpr Phasor12 TwelvePointThirdHarmonic(const TwelveSamples& x) {
  return {(x[0] + x[4] + x[8] - x[2] - x[6] - x[10]) / 6, (x[11] + x[7] + x[3] - x[9] - x[5] - x[1]) / 6};
}

}  // namespace quelvar
