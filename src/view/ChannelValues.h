#pragma once

#include <cstdint>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/TorqueTables.h"

namespace quelvar {

// What reading one channel's value out of the display data takes: the
// settings and channel records, the torque curves, the display data and the
// rate layout of its rows. Fetching a value refreshes config.ColdJunctionTemp
// while EnvTemp names a room-temperature channel (EnvTemp <= -100 names
// channel -EnvTemp - 100).
struct ChannelValueSource {
  LiveConfig& config;
  const TorqueTables& torque;
  const DisplayDescriptor& display;
  const SampleLayout& layout;
};

// Points count sample periods of the addressed channel itself: a channel of
// rate multiplier m has m points a row. Window points start at the oldest
// block of the circular data and wrap round it; buffer points start at the
// first row of DispData (and wrap as well, should one lie beyond the data).

// The raw word of analog channel `channel` at window point `point`; 0 when
// the channel has no word in the rows or no data are there.
uint16_t RawSampleAtPoint(const ChannelValueSource& source, int64_t point, int32_t channel);

// The engineering value of analog channel `channel` at window point `point`.
double ValueAtPoint(ChannelValueSource& source, int64_t point, int32_t channel);

// The engineering value at buffer point `point`. A torque-power channel is
// the product of its two factor channels (numbers clamped into the channels
// in use) at the same instant: the point is carried over to each factor's
// own rate. A factor that is itself a torque-power channel would recurse
// without end, so such a product is refused and reads 0. A channel outside
// the channels in use, or no data, reads 0.
double ValueAtBufferPoint(ChannelValueSource& source, int64_t point, int32_t channel);

// Refreshes config.ColdJunctionTemp from the room-temperature channel (when
// EnvTemp names one in use) at the instant of buffer point `point` of a
// channel with rate multiplier `rate`, as every value fetch above does.
void RefreshColdJunctionAt(ChannelValueSource& source, int64_t point, int32_t rate);

}  // namespace quelvar
