#include "Settings.h"

#include "Env.h"

namespace simcard {

CardSettings ReadCardSettings() {
  CardSettings s;
  s.name = EnvText("SIMCARD_NAME", "SimCard");
  s.nameNoNul = EnvFlag("SIMCARD_NAME_NO_NUL");
  s.maxChannels = static_cast<uint32_t>(EnvIntegerOr("SIMCARD_MAX_CHANNELS", 64, 1, 65535));
  s.minBlockSamples = static_cast<uint32_t>(EnvIntegerOr("SIMCARD_MIN_BLOCK", 256, 0, INT32_MAX));
  s.maxSwitchInputs = static_cast<uint32_t>(EnvIntegerOr("SIMCARD_MAX_SWITCH", 64, 0, 65535));
  if (const auto bits = EnvInteger("SIMCARD_BITS", 1, 16)) {
    s.vZero = static_cast<float>(1u << (*bits - 1));
    s.adMax = static_cast<float>((1u << *bits) - 1);
  }
  s.failInitial = EnvFlag("SIMCARD_FAIL_INITIAL");
  s.failStart = EnvFlag("SIMCARD_FAIL_START");
  s.rateDivide = EnvFlag("SIMCARD_RATE_DIVIDE");
  s.amplitude = static_cast<uint32_t>(EnvIntegerOr("SIMCARD_AMPLITUDE", 1000, 0, 65535));
  s.switchWords = static_cast<uint32_t>(EnvIntegerOr("SIMCARD_SWITCH_WORDS", 0, 0, 65535));
  if (const auto ms = EnvInteger("SIMCARD_BLOCK_MS", 0, 86'400'000)) s.blockMs = static_cast<uint32_t>(*ms);
  if (const auto n = EnvInteger("SIMCARD_MAX_BLOCKS", 0, UINT32_MAX)) s.maxBlocks = static_cast<uint32_t>(*n);
  return s;
}

double RealChannelRate(bool rateDivide, int64_t channels, int64_t frqSamp) {
  // A card without a converter per channel shares one over all of them.
  if (rateDivide && channels > 0) return static_cast<double>(frqSamp) / static_cast<double>(channels);
  return static_cast<double>(frqSamp);
}

}  // namespace simcard
