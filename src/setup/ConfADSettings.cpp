#include "setup/ConfADSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "common/NumberFormat.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {

namespace {

float SaneRate(float rate) { return std::isnan(rate) || rate < 0.0f ? 1.0f : rate; }

// A 16-bit driver argument given as a whole number: saturated, not wrapped.
uint16_t Saturated16(int64_t value) { return static_cast<uint16_t>(std::clamp<int64_t>(value, 0, UINT16_MAX)); }

}  // namespace

std::string HexText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return text;
}

std::string MinimumSamplesHint(int32_t cardMinBlockSamples, int32_t numChn) {
  if (numChn < 1) return {};
  return "最小值=" + std::to_string(cardMinBlockSamples / numChn);
}

int32_t FitBlockMinimum(int64_t samples, int64_t channels, int32_t cardMinBlockSamples) {
  const int64_t c = std::max<int64_t>(channels, 1);
  int64_t s = std::clamp<int64_t>(samples, 1, INT32_MAX);
  if (c * s < cardMinBlockSamples) {
    s = cardMinBlockSamples / c;
    if (c * s < cardMinBlockSamples) s += 1;
  }
  return static_cast<int32_t>(s);
}

int32_t ChannelCountFromText(std::string_view text) { return std::max(ParseDialogInteger(text).value_or(1), 1); }

int32_t SamplesPerChannelFromTexts(std::string_view samples, std::string_view channels,
                                   int32_t cardMinBlockSamples) {
  const std::optional<int32_t> s = ParseDialogInteger(samples);
  const std::optional<int32_t> c = ParseDialogInteger(channels);
  if (!s || !c) return FitBlockMinimum(1, 2, cardMinBlockSamples);
  return FitBlockMinimum(*s, *c, cardMinBlockSamples);
}

int32_t FilterCoeFromText(std::string_view text) { return std::clamp(ParseDialogInteger(text).value_or(950), 1, 999); }

int32_t ResampNumFromText(std::string_view text) { return std::clamp(ParseDialogInteger(text).value_or(2), 2, 1000); }

float DialogChannelRate(const DialogRateInputs& in) {
  const int32_t f = ParseDialogInteger(in.frqSampText).value_or(100);
  float rate = static_cast<float>(f);
  if (in.channelFrq != nullptr && !in.temporaryConfig) {
    rate = in.pidEnable ? in.channelFrq(1, f) : in.channelFrq(in.analogNum, f);
    // A factor below 1 would not resample at all.
    if (in.resampling && in.resampFactor > 1) rate /= static_cast<float>(in.resampFactor);
  }
  return SaneRate(rate);
}

std::string ChannelRateLine(float rate) { return "每通道采样频率=" + FormatGeneral(rate, 7) + " Hz"; }

std::string OpenerChannelRateLine(float rate) { return "每通道采样频率=" + FormatFixed(rate, 7, 3) + " Hz"; }

bool VZeroMatchesADBit(float vZero, int32_t adBit) {
  const uint64_t zero = static_cast<uint64_t>(TruncToInt64(vZero)) & 0xFFFFu;
  if (adBit < 1 || adBit > 32) return false;
  return zero == (uint64_t{1} << (adBit - 1));
}

SimulateSwitchRule SimulateSwitchFor(int32_t driverUsable, int32_t adBit) {
  SimulateSwitchRule rule;
  if (driverUsable == 0) {
    rule.forceTicked = true;
    rule.notice = kNoDriverNotice;
  }
  if (adBit >= 17) {
    rule.forceTicked = true;
    rule.notice = kADBitTooLargeNotice + std::to_string(adBit);
  }
  return rule;
}

int32_t SimulateIntervalFromAnswer(std::string_view answer, int32_t present) {
  return std::max(ParseDialogInteger(answer).value_or(present), 0);
}

std::string SimulateIntervalCaption(int32_t ms) { return "仿真数据块时延(" + std::to_string(ms) + "ms)"; }

bool ChooseReplayFile(const std::string& path, LiveConfig& live) {
  live.SimulateFile = path;
  if (!IsValidRecordFile(path)) return false;
  live.SimulateType = 1;
  return true;
}

ConfADOutcome ApplyConfADFields(const ConfADFields& f, const DriverState& driver, float keptRate, LiveConfig& live) {
  ConfADOutcome out;
  if (driver.DriverUsable == 1) {
    live.SimulateAD = f.simulate ? 1 : 0;
  } else {
    live.SimulateAD = 1;
    out.simulateTicked = true;
  }
  live.SimulateRandom = f.randomSpikes ? 1 : 0;

  // These fields have no default: the first that holds no number stops OK.
  const auto stop = [&out](const std::string& text) {
    out.notANumber = text;
    return out;
  };
  const std::optional<uint32_t> ioBase = ParseDialogHex(f.ioBase);
  if (!ioBase) return stop(f.ioBase);
  live.IOBase = static_cast<uint16_t>(*ioBase);
  const std::optional<uint32_t> physAddr = ParseDialogHex(f.physAddr);
  if (!physAddr) return stop(f.physAddr);
  live.PhysAddr = *physAddr;

  const std::optional<int32_t> irq = ParseDialogInteger(f.irqNum);
  if (!irq) return stop(f.irqNum);
  live.IRQNum = static_cast<uint16_t>(*irq >= 0 && *irq <= 15 ? *irq : 5);

  const std::optional<int32_t> begChn = ParseDialogInteger(f.begChn);
  if (!begChn) return stop(f.begChn);
  const int16_t first = static_cast<int16_t>(*begChn);
  live.BegChn = first >= 0 && first <= 32 ? first : 0;

  const std::optional<int32_t> numChn = ParseDialogInteger(f.numChn);
  if (!numChn) return stop(f.numChn);
  int32_t channels = static_cast<int16_t>(*numChn);
  if (channels < 1) channels = 1;
  if (channels > driver.CardMaxChannels) channels = driver.CardMaxChannels;
  // A card that reports no channels still gets one: the block rule divides by it.
  live.NumChn = std::max(channels, 1);

  const std::optional<int32_t> numBuf = ParseDialogInteger(f.numBuf);
  if (!numBuf) return stop(f.numBuf);
  live.NumBuf = *numBuf < 2 ? 5 : Saturated16(*numBuf);

  const std::optional<int32_t> numSamp = ParseDialogInteger(f.numSamp);
  if (!numSamp) return stop(f.numSamp);
  live.NumSamp = FitBlockMinimum(*numSamp, live.NumChn, driver.CardMinBlockSamples);

  const std::optional<int32_t> frqSamp = ParseDialogInteger(f.frqSamp);
  if (!frqSamp) return stop(f.frqSamp);
  live.FrqSamp = *frqSamp;

  live.AmpGain = Saturated16(ParseDialogInteger(f.ampGain).value_or(1));
  live.ADBit = std::clamp(ParseDialogInteger(f.adBit).value_or(live.ADBit), 8, 16);
  // The resolution decides the zero and the full scale, whatever a driver said.
  live.VZero = static_cast<float>(1 << (live.ADBit - 1));
  live.ADMax = static_cast<float>((1 << live.ADBit) - 1);

  live.OnlineFilter = f.filter ? 1 : 0;
  live.OnlineResamp = f.resampling ? 1 : 0;
  live.FilterCoe = FilterCoeFromText(f.filterCoe);
  live.ResampNum = ResampNumFromText(f.resampNum);
  live.ResampMode = f.keepLastPoint ? 1 : 0;

  out.askBlockRate =
      live.SimulateAD == 0 && static_cast<double>(keptRate) / live.NumSamp > kMaxQuietBlocksPerSecond;
  return out;
}

float ScaledChannelRate(int32_t frqSamp, int32_t rememberedFrqSamp, float rememberedRate) {
  if (rememberedFrqSamp == 0) return SaneRate(static_cast<float>(frqSamp));
  const double scaled = static_cast<double>(frqSamp) * rememberedRate / rememberedFrqSamp;
  return SaneRate(static_cast<float>(scaled));
}

}  // namespace quelvar
