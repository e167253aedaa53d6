#include "view/ChannelValues.h"

#include <algorithm>
#include <cmath>

#include "view/DisplayReading.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int32_t RateOf(const SampleLayout& layout, int32_t channel) { return std::max(layout.MultiFreqTable[channel], 1); }

// Analog channels whose records and words exist.
int32_t ChannelsInUse(const LiveConfig& config) { return std::clamp(config.Analog_Num, 0, kMaxAnalogChannels); }

bool IsChannelInUse(const LiveConfig& config, int32_t channel) {
  return channel >= 0 && channel < ChannelsInUse(config);
}

// A factor number held in a float coefficient, truncated toward zero and
// clamped into the channels in use (NaN counts as channel 0).
int32_t FactorChannel(float number, int32_t channels) {
  const double last = channels - 1;
  const double clamped = std::isnan(number) ? 0.0 : std::clamp(std::trunc(static_cast<double>(number)), 0.0, last);
  return static_cast<int32_t>(clamped);
}

// Buffer points address the rows from the first row of DispData: the same
// ring read with the oldest block at 0.
DisplayDescriptor FromFirstRow(const DisplayDescriptor& display) {
  DisplayDescriptor d = display;
  d.DispFirstBlock = 0;
  return d;
}

bool ReadSubSample(const DisplayDescriptor& rows, const SampleLayout& layout, int32_t numSamp, int32_t channel,
                   int64_t subSample, uint16_t& word) {
  return ReadDisplayWord(rows, LocateSubSample(rows, layout, numSamp, channel, subSample), word);
}

// While EnvTemp names a room-temperature channel in use, the cold junction
// takes that channel's value at the same instant as buffer point `point` of
// a channel of rate `rate`, converted by its own record.
void RefreshColdJunction(ChannelValueSource& source, const DisplayDescriptor& rows, int64_t point, int32_t rate) {
  LiveConfig& config = source.config;
  if (!(config.EnvTemp <= -100.0f)) return;
  const double named = -static_cast<double>(config.EnvTemp) - 100.0;
  if (named >= ChannelsInUse(config)) return;
  const int32_t j = static_cast<int32_t>(named);
  const int64_t subSample = FloorDiv(point * RateOf(source.layout, j), rate);
  uint16_t word = 0;
  if (!ReadSubSample(rows, source.layout, config.NumSamp, j, subSample, word)) return;
  config.ColdJunctionTemp =
      static_cast<float>(RawToEngineering(config, source.torque, config.AnalogChannelTable[j], word));
}

double TorquePower(ChannelValueSource& source, int64_t point, int32_t channel) {
  const LiveConfig& config = source.config;
  const AnalogChannel& record = config.AnalogChannelTable[channel];
  const int32_t channels = ChannelsInUse(config);
  const int32_t factors[2] = {FactorChannel(record.ChnCoeA, channels), FactorChannel(record.ChnCoeB, channels)};
  for (int32_t f : factors)
    if (config.AnalogChannelTable[f].ChnIDDC == kChannelTorquePower) return 0.0;
  const int32_t rate = RateOf(source.layout, channel);
  double product = 1.0;
  for (int32_t f : factors) product *= ValueAtBufferPoint(source, FloorDiv(point * RateOf(source.layout, f), rate), f);
  return product;
}

}  // namespace

uint16_t RawSampleAtPoint(const ChannelValueSource& source, int64_t point, int32_t channel) {
  if (!IsChannelInUse(source.config, channel)) return 0;
  uint16_t word = 0;
  ReadSubSample(source.display, source.layout, source.config.NumSamp, channel, point, word);
  return word;
}

double ValueAtPoint(ChannelValueSource& source, int64_t point, int32_t channel) {
  if (!IsChannelInUse(source.config, channel)) return 0.0;
  const int64_t blockOffset =
      static_cast<int64_t>(source.display.DispFirstBlock) * source.config.NumSamp * RateOf(source.layout, channel);
  return ValueAtBufferPoint(source, point + blockOffset, channel);
}

double ValueAtBufferPoint(ChannelValueSource& source, int64_t point, int32_t channel) {
  LiveConfig& config = source.config;
  if (!IsChannelInUse(config, channel)) return 0.0;
  if (config.AnalogChannelTable[channel].ChnIDDC == kChannelTorquePower) return TorquePower(source, point, channel);
  const int32_t rate = RateOf(source.layout, channel);
  const int64_t pointsHeld = static_cast<int64_t>(source.display.DispRows) * rate;
  if (pointsHeld <= 0) return 0.0;
  // A point beyond the data wraps round the ring rather than leaving it.
  point -= FloorDiv(point, pointsHeld) * pointsHeld;
  const DisplayDescriptor rows = FromFirstRow(source.display);
  RefreshColdJunction(source, rows, point, rate);
  uint16_t word = 0;
  if (!ReadSubSample(rows, source.layout, config.NumSamp, channel, point, word)) return 0.0;
  return RawToEngineering(config, source.torque, config.AnalogChannelTable[channel], word);
}

void RefreshColdJunctionAt(ChannelValueSource& source, int64_t point, int32_t rate) {
  rate = std::max(rate, 1);
  const int64_t pointsHeld = static_cast<int64_t>(source.display.DispRows) * rate;
  if (pointsHeld <= 0) return;
  point -= FloorDiv(point, pointsHeld) * pointsHeld;
  RefreshColdJunction(source, FromFirstRow(source.display), point, rate);
}

}  // namespace quelvar
