#include "view/OscilloscopeAxis.h"

#include <algorithm>
#include <cmath>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

constexpr int kTicksPerStep = 10;

float RateOf(const XAxisInput& input) { return input.Layout != nullptr ? input.Layout->MaxChannelRate : 0.0f; }

}  // namespace

std::string OscilloscopePointLabel(float ms) {
  const double v = ms;
  const double whole = std::fabs(std::trunc(v));
  if (whole >= 10000.0) return FormatGeneral(v / 1000.0, 5) + "s";
  if (whole < 10.0) return FormatGeneral(v * 1000.0, 7, 2) + "us";
  return FormatGeneral(v, 7) + "ms";
}

void DrawOscilloscopeTimeAxis(platform::Canvas& canvas, const XAxisInput& input, int32_t xPosition,
                              int32_t displayWidth, int64_t origin) {
  const double rate = RateOf(input);
  if (!(rate > 0.0)) return;
  const double t0 = static_cast<double>(xPosition - origin) * 1000.0 / rate;
  const double t1 = static_cast<double>(int64_t{displayWidth} + xPosition - origin - 1) * 1000.0 / rate;
  if (!(t1 > t0)) return;
  const double step = RoundAxisStep((t1 - t0) / (std::max(input.ScaleCount, 1) * 2.0));
  if (!(step > 0.0)) return;
  const double f0 = std::floor(t0 / step) * step;
  const double f1 = std::ceil(t1 / step) * step;
  const int64_t n = std::llround((f1 - f0) / step);
  const double n2 = input.N;
  const auto inRange = [&](double v) { return t0 <= v && v <= t1; };

  for (int64_t j = 0; j <= n; ++j) {
    const double v = static_cast<double>(j) * step + f0;
    if (!inRange(v)) continue;
    const std::string text = MsTimeLabel(v);
    const double w = canvas.TextWidth(text);
    canvas.TextOut(TruncToInt32((v - t0) / (t1 - t0) * n2 - w / 2) + input.Left, 1, text);
  }
  for (int64_t i = 0; i <= n; ++i) {
    for (int k = 0; k < kTicksPerStep; ++k) {
      const double v = (static_cast<double>(i) + k * 0.1) * step + f0;
      if (!inRange(v)) continue;
      const int x = TruncToInt32((v - t0) / (t1 - t0) * n2) + input.Left;
      DrawXAxisTick(canvas, input, x,
                    k == 0 ? TickKind::Major : k == kTicksPerStep / 2 ? TickKind::LongMinor : TickKind::ShortMinor);
    }
  }
}

void DrawOscilloscopePointAxis(platform::Canvas& canvas, const XAxisInput& input, int32_t xPosition,
                               int32_t displayWidth, int64_t origin) {
  const double rate = RateOf(input);
  const int64_t spacing = PointAxisSpacing(displayWidth, input.ScaleCount);
  const bool minors = spacing > 9;
  const int64_t divisor = std::max<int64_t>(int64_t{displayWidth} - 1, 1);
  for (int64_t j = 0; j < displayWidth; ++j) {
    const int x = static_cast<int>(input.Left + static_cast<int64_t>(input.N) * j / divisor);
    const int64_t p = xPosition + j - origin;
    if (p % spacing == 0) {
      // Without a rate there is no time to write; the tick still stands.
      if (rate > 0.0) {
        const std::string text = OscilloscopePointLabel(static_cast<float>(static_cast<double>(p) * 1000.0 / rate));
        canvas.TextOut(x - canvas.TextWidth(text) / 2, 1, text);
      }
      DrawXAxisTick(canvas, input, x, TickKind::Major);
    } else if (minors && p % (spacing / 10) == 0) {
      DrawXAxisTick(canvas, input, x, p % (spacing / 2) == 0 ? TickKind::LongMinor : TickKind::ShortMinor);
    }
  }
}

}  // namespace quelvar
