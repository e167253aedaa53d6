#include "AdMatrix.h"

#include <algorithm>
#include <cmath>

namespace siglib {

namespace {

int64_t FloorMod(int64_t a, int64_t b) {
  const int64_t r = a % b;
  return r < 0 ? r + b : r;
}

}  // namespace

bool PrepareAdMatrix(const DisplayBuffer& b, AdMatrix& out) {
  out = AdMatrix{};
  if (b.data == nullptr || b.coeA == nullptr || b.coeB == nullptr) return false;
  if (b.rows <= 0 || b.rowWords <= 0 || b.numSamp < 0) return false;
  if (b.analogNum <= 0 || b.analogNum > b.rowWords) return false;
  if (b.displayWidth <= 0) return false;
  // Fs divides the lags and scales the spectra.
  if (!std::isfinite(b.channelRate) || !(b.channelRate > 0.0f)) return false;
  if (!std::isfinite(b.vZero) || !std::isfinite(b.adMax)) return false;

  // Display points shown and present in the buffer.
  const int64_t first = std::max<int64_t>(b.xPosition, 0);
  const int64_t last = std::min<int64_t>(int64_t{b.xPosition} + b.displayWidth, b.rows);
  if (last <= first) return false;
  const auto points = static_cast<size_t>(last - first);
  const auto channels = static_cast<size_t>(b.analogNum);

  out.values.resize(points * channels);
  out.points = points;
  out.channels = channels;
  out.fs = static_cast<double>(b.channelRate);

  // The program's volts of a code, (w - VZero) / (ADMax - VZero) x 5 (0 V
  // without a span), then the linear coefficients.
  const double vZero = b.vZero;
  const double span = static_cast<double>(b.adMax) - vZero;
  const int64_t ringStart = int64_t{b.firstBlock} * b.numSamp;
  int64_t row = FloorMod(first + ringStart, b.rows);
  const auto rowWords = static_cast<size_t>(b.rowWords);
  for (size_t i = 0; i < points; ++i) {
    const uint16_t* words = b.data + static_cast<size_t>(row) * rowWords;
    for (size_t c = 0; c < channels; ++c) {
      const double volts = span == 0.0 ? 0.0 : (words[c] - vZero) / span * 5.0;
      out.values[c * points + i] = static_cast<double>(b.coeA[c]) + static_cast<double>(b.coeB[c]) * volts;
    }
    if (++row == b.rows) row = 0;
  }
  return true;
}

}  // namespace siglib
