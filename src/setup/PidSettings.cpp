#include "setup/PidSettings.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

std::string Fixed4(double value) { return FormatFixed(value, 15, 4); }

int32_t IntegerOr(const std::string& text, int32_t fallback) { return ParseDialogInteger(text).value_or(fallback); }

// A value beyond a float's range is no value for a float field.
float RealOr(const std::string& text, float fallback) {
  const std::optional<double> value = ParseDialogReal(text);
  if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return fallback;
  return static_cast<float>(*value);
}

}  // namespace

float PidPeriodMsOf(const LiveConfig& config, AdChannelFrqFn channelFrq) {
  float rate = static_cast<float>(config.FrqSamp);
  if (channelFrq != nullptr) {
    rate = channelFrq(config.Analog_Num - config.DANumChn, config.FrqSamp);
    if (config.OnlineResamp != 0 && config.ResampNum != 0) rate /= static_cast<float>(config.ResampNum);
  }
  if (!(rate > 0.0f) || std::isinf(rate)) rate = 1.0f;
  return 1000.0f / rate;
}

PidEdits PidEditsOf(const LiveConfig& config, float periodMs) {
  PidEdits e;
  e.PIDMode = std::to_string(config.PIDMode);
  char hex[16];
  std::snprintf(hex, sizeof hex, "%03X", static_cast<unsigned>(config.IOBaseDA));
  e.IOBaseDA = hex;
  e.DABit = std::to_string(config.DABit);
  e.DANumChn = std::to_string(config.DANumChn);
  e.ADiChn = std::to_string(config.ADiChn);
  e.DAiChn = std::to_string(config.DAiChn);
  e.SV = Fixed4(config.SV);
  e.M = Fixed4(config.M);
  e.Kp = Fixed4(config.Kp);
  e.Ti = Fixed4(config.Ti);
  e.Td = Fixed4(config.Td);
  e.T = Fixed4(periodMs);
  e.DAEnable = config.DAEnable != 0;
  e.PIDEnable = config.PIDEnable != 0;
  return e;
}

void ApplyPidEdits(const PidEdits& e, LiveConfig& c) {
  c.PIDMode = IntegerOr(e.PIDMode, 1);
  c.IOBaseDA = static_cast<uint16_t>(ParseDialogHex(e.IOBaseDA).value_or(0x110) & 0xFFFFu);
  c.DABit = static_cast<uint16_t>(static_cast<uint32_t>(IntegerOr(e.DABit, 8)) & 0xFFFFu);
  c.DANumChn = IntegerOr(e.DANumChn, 1);
  if (c.DANumChn < 1) c.DANumChn = 1;
  c.ADiChn = IntegerOr(e.ADiChn, 0);
  c.DAiChn = IntegerOr(e.DAiChn, 0);
  if (c.DAiChn < 0) c.DAiChn = 0;
  if (c.DAiChn >= c.DANumChn) c.DAiChn = c.DANumChn - 1;
  c.SV = RealOr(e.SV, 1.0f);
  c.M = RealOr(e.M, 0.0f);
  c.Kp = RealOr(e.Kp, 1.0f);
  c.Ti = RealOr(e.Ti, 1.0f);
  c.Td = RealOr(e.Td, 1.0f);
  c.DAEnable = e.DAEnable ? 1 : 0;
  c.PIDEnable = e.PIDEnable ? 1 : 0;
}

}  // namespace quelvar
