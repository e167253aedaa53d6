#pragma once

#include <string>

#include "common/LiveConfig.h"
#include "platform/AdDriverAbi.h"

namespace quelvar {

// The PID dialog's fields as texts and check marks, filled from and read
// back into the live settings.
struct PidEdits {
  std::string PIDMode;
  std::string IOBaseDA;  // hexadecimal digits
  std::string DABit;
  std::string DANumChn;
  std::string ADiChn;
  std::string DAiChn;
  std::string SV;
  std::string M;
  std::string Kp;
  std::string Ti;
  std::string Td;
  std::string T;  // the controller's sample interval, shown only
  bool DAEnable = false;
  bool PIDEnable = false;
};

// The controller's sample interval in ms: 1000 over the per-channel rate the
// driver gives for the channels the DA outputs leave to the AD side (divided
// by the resampling factor when resampling on line), or over FrqSamp without
// that entry. A rate that is negative or not a number counts as 1; so does
// a rate of 0, which would give no interval at all.
float PidPeriodMsOf(const LiveConfig& config, AdChannelFrqFn channelFrq);

// Integers in decimal, the DA base address as at least 3 hexadecimal digits,
// the real values and the interval with four decimals.
PidEdits PidEditsOf(const LiveConfig& config, float periodMs);

// Reads the fields in their order; a text that is no number takes its
// default (the base address 0x110, the bits 8, the channel count 1, the set
// value and the gains and times 1.0, the initial output and the channels 0).
// The DA channel count is at least 1 and the DA channel lies within it. The
// base address and the bits keep the low 16 bits of what was typed.
void ApplyPidEdits(const PidEdits& edits, LiveConfig& config);

}  // namespace quelvar
