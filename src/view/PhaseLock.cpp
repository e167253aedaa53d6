#include "view/PhaseLock.h"

#include <algorithm>
#include <array>

#include "common/ConfigBounds.h"
#include "view/ChannelSamples.h"

namespace quelvar {

namespace {

// Mode `mode` at x2 = x(q), with x0 = x(q - 2), x1 = x(q - 1), x3 = x(q + 1)
// and x4 = x(q + 2); the level modes leave x3 and x4 unread.
bool Matches(PhaseLockMode mode, const std::array<uint16_t, 5>& x, uint16_t v) {
  const int x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3], x4 = x[4];
  switch (mode) {
    case PhaseLockMode::UpperVertex:
      return (x0 < x1 && x1 < x2 && x2 >= x3 && x2 >= x4) || (x0 <= x2 && x1 <= x2 && x2 > x3 && x3 > x4);
    case PhaseLockMode::LowerVertex:
      return (x0 > x1 && x1 > x2 && x2 <= x3 && x2 <= x4) || (x0 >= x2 && x1 >= x2 && x2 < x3 && x3 < x4);
    case PhaseLockMode::Rising:
      return x0 < x1 && x1 < x2 && x1 <= v && v <= x2;
    case PhaseLockMode::Falling:
      return x0 > x1 && x1 > x2 && x1 >= v && v >= x2;
    case PhaseLockMode::None:
      break;
  }
  return false;
}

}  // namespace

int32_t PhaseLockPoint(const PhaseLockData& data, int32_t channel, PhaseLockMode mode, uint16_t level,
                       int32_t displayWidth) {
  if (data.Display == nullptr || data.Layout == nullptr || mode == PhaseLockMode::None) return 0;
  if (channel < 0 || channel >= data.AnalogNum) return 0;
  const DisplayDescriptor& display = *data.Display;
  const int64_t maxMulti = std::clamp(data.Layout->MaxMultiFreq, 1, kMaxMultiFreq);
  const int32_t rate = OscilloscopeRateOf(*data.Layout, channel, data.AnalogNum);
  const ChannelSamples samples = ChannelSamplesOf(display, *data.Layout, data.NumSamp, channel, rate);
  const int64_t count = samples.Count();
  // The view starting at the match must still fit before the end of the
  // data: its first display point below DispPoints - DisplayWidth (with
  // single-rate data, rows below DispRows - DisplayWidth).
  const int64_t pointLimit =
      std::min<int64_t>(display.DispPoints, static_cast<int64_t>(display.DispRows) * maxMulti) - displayWidth;
  // The vertex modes look two samples ahead, the level modes only back.
  const bool vertex = mode == PhaseLockMode::UpperVertex || mode == PhaseLockMode::LowerVertex;
  const int64_t ahead = vertex ? 2 : 0;
  std::array<uint16_t, 5> x{};
  for (int64_t q = 2; q + ahead < count; ++q) {
    const int64_t point = q * maxMulti / rate;
    if (point >= pointLimit) break;
    bool read = true;
    for (int64_t i = 0; i <= 2 + ahead && read; ++i) read = samples.Read(q - 2 + i, x[static_cast<size_t>(i)]);
    if (read && Matches(mode, x, level)) return static_cast<int32_t>(point);
  }
  return 0;
}

void FindPhaseLockPoint(const PhaseLockData& data, int32_t channel, PhaseLockMode mode, uint16_t level,
                        WaveViewState& view) {
  if (channel >= data.AnalogNum) return;
  view.XPosition = PhaseLockPoint(data, channel, mode, level, view.DisplayWidth);
}

}  // namespace quelvar
