#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace simcard {

// What the environment says about the card, read afresh at every
// ConfigInfo, Initial and start call, so a test can change it between calls.
struct CardSettings {
  std::string name;
  bool nameNoNul = false;
  uint32_t maxChannels = 64;
  uint32_t minBlockSamples = 256;
  uint32_t maxSwitchInputs = 64;
  float vZero = 2048.0f;
  float adMax = 4095.0f;
  bool failInitial = false;
  bool failStart = false;
  bool rateDivide = false;
  uint32_t amplitude = 1000;
  uint32_t switchWords = 0;
  std::optional<uint32_t> blockMs;
  std::optional<uint32_t> maxBlocks;
};

CardSettings ReadCardSettings();

// Per-channel rate the card really uses for `frqSamp` over `channels`
// multiplexed channels: frqSamp itself unless SIMCARD_RATE_DIVIDE is set.
double RealChannelRate(bool rateDivide, int64_t channels, int64_t frqSamp);

}  // namespace simcard
