#include "acquisition/ManualSave.h"

#include <algorithm>
#include <cmath>

namespace quelvar {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// The time `points` samples before the block in hand. Without a usable rate
// (a nominal frequency of 0) the block's own time stands.
double TimeBefore(const AppState& state, int64_t points) {
  const double rate = state.layout.MaxChannelRate > 0.0f ? state.layout.MaxChannelRate : state.config.ChannelRate;
  if (!(rate > 0.0) || !std::isfinite(rate)) return state.acq.BlockTime;
  return state.acq.BlockTime - static_cast<double>(points) / rate / kSecondsPerDay;
}

}  // namespace

void DescribeWholeRing(AppState& state) {
  const LiveConfig& c = state.config;
  const AcquisitionState& a = state.acq;
  const DisplayDescriptor& d = state.display;
  RecordState& r = state.record;
  const int32_t blocks = std::max(a.RingBlocks, 1);
  r.TriggerBlock = a.RingWriteBlock;
  r.TriggerPoint = 0;
  r.LastBlock = a.RingWriteBlock - 1 < 0 ? blocks - 1 : a.RingWriteBlock - 1;
  r.BlocksDone = r.LastBlock - r.TriggerBlock + 1;
  if (r.BlocksDone <= 0) r.BlocksDone += blocks;
  r.PreBlocks = 0;

  r.CompressBlocks = 0;
  if (a.RingCompressing == 1) {
    // Positions counted from the write position on, so the ring's wrap does
    // not reorder them.
    auto unwrapped = [&](int32_t block) { return block < a.RingWriteBlock ? block + blocks : block; };
    const int32_t t = unwrapped(r.TriggerBlock), l = unwrapped(r.LastBlock), start = unwrapped(a.RingCompressStart);
    if (l > start) r.CompressBlocks = t < start ? l - start : l - t;
  }

  int64_t p = int64_t{d.DispTriggerBlock - d.DispFirstBlock} * c.NumSamp * std::max(c.MaxMultiFreq, 1) +
              d.DispTriggerPoint;
  if (p < 0) p += d.DispPoints;
  r.StartTime = TimeBefore(state, p);

  if (d.DataSourceMode == 2) {
    r.TriggerBlock = r.TriggerPoint = r.LastBlock = 0;
    r.BlocksDone = 1;
  }
  r.TriggerKind = 0;
  r.DataGap = a.DataGapFlag;
}

void DescribeCurrentView(AppState& state) {
  const LiveConfig& c = state.config;
  const AcquisitionState& a = state.acq;
  const DisplayDescriptor& d = state.display;
  const WaveViewState& v = state.wave;
  RecordState& r = state.record;
  const int32_t blocks = std::max(d.DispBlocks, 1);
  r.CompressBlocks = 0;
  if (a.RingCompressing == 1) {
    r.CompressBlocks = d.DispFirstBlock - a.RingCompressStart;
    if (r.CompressBlocks < 0) r.CompressBlocks += blocks;
  }
  if (d.DataSourceMode == 2) {
    r.TriggerBlock = r.TriggerPoint = r.LastBlock = 0;
    r.BlocksDone = 1;
  } else {
    const int64_t pointsPerBlock = std::max<int64_t>(int64_t{c.NumSamp} * std::max(c.MaxMultiFreq, 1), 1);
    // A view reaching past either end of the data saves the data it shows.
    const int64_t first = std::clamp<int64_t>(v.XPosition, 0, std::max(d.DispPoints - 1, 0));
    const int64_t last = std::clamp<int64_t>(int64_t{v.XPosition} + v.DisplayWidth - 1, first,
                                             std::max(d.DispPoints - 1, 0));
    auto ringBlock = [&](int64_t point) {
      int64_t b = point / pointsPerBlock + d.DispFirstBlock;
      if (b >= blocks) b -= blocks;
      return static_cast<int32_t>(b);
    };
    r.TriggerBlock = ringBlock(first);
    r.TriggerPoint = 0;
    r.LastBlock = ringBlock(last);
    r.BlocksDone = r.LastBlock - r.TriggerBlock + 1;
    if (r.BlocksDone <= 0) r.BlocksDone += blocks;
  }
  // The compressed count is the ring's; the file holds only the saved blocks.
  r.CompressBlocks = std::clamp(r.CompressBlocks, 0, r.BlocksDone);
  r.PreBlocks = 0;
  r.TriggerKind = 0;
  r.DataGap = a.DataGapFlag;
  int64_t p = int64_t{d.DispTriggerBlock - r.TriggerBlock} * c.NumSamp * std::max(c.MaxMultiFreq, 1) +
              d.DispTriggerPoint;
  if (p < 0) p += d.DispPoints;
  r.StartTime = TimeBefore(state, p);
}

}  // namespace quelvar
