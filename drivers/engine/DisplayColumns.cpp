#include "DisplayColumns.h"

#include <algorithm>

namespace haldrevon {

namespace {

// Virtual channels the program's rate tables hold.
constexpr int32_t kMaxVirtualChannels = 112;
constexpr int32_t kMaxMultiFreq = 32767;  // a row's words bound it

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

int32_t RateOf(const DisplayBuffer& b, int32_t c) { return std::clamp(b.multiFreqTable[c], 1, kMaxMultiFreq); }

int32_t MaxRate(const DisplayBuffer& b) {
  int32_t m = 1;
  for (int32_t c = 0; c < b.analogNum; ++c) m = std::max(m, RateOf(b, c));
  return m;
}

double Volts(uint16_t code, float vZero, float adMax) {
  const double span = static_cast<double>(adMax) - vZero;
  if (span == 0.0) return 0.0;
  return (code - static_cast<double>(vZero)) / span * 5.0;
}

}  // namespace

bool IsReadable(const DisplayBuffer& b, const Scaling& s) {
  if (b.data == nullptr || b.multiFreqTable == nullptr || b.extraSlotFirst == nullptr || b.extraSlotLast == nullptr) {
    return false;
  }
  if (!s.raw && (s.coeA == nullptr || s.coeB == nullptr)) return false;
  return b.dispRows > 0 && b.numSamp >= 0 && b.numChn > 0 && b.analogNum > 0 && b.analogNum <= b.numChn &&
         b.analogNum <= kMaxVirtualChannels && b.displayWidth > 0;
}

std::vector<double> BuildAdMatrix(const DisplayBuffer& b, const Scaling& s) {
  const auto rows = static_cast<size_t>(b.displayWidth);
  std::vector<double> ad(rows * static_cast<size_t>(b.analogNum));
  const int32_t maxRate = MaxRate(b);
  const int64_t firstRow = static_cast<int64_t>(b.dispFirstBlock) * b.numSamp;
  for (int32_t c = 0; c < b.analogNum; ++c) {
    const int32_t m = RateOf(b, c);
    // Word of each sub-sample; -1 where the layout names none inside the row.
    std::vector<int32_t> words(static_cast<size_t>(m));
    for (int32_t k = 0; k < m; ++k) {
      const int64_t w = k == 0 ? c : static_cast<int64_t>(b.extraSlotFirst[c]) + k - 1;
      const bool inside = w >= 0 && w < b.numChn && (k == 0 || w < b.extraSlotLast[c]);
      words[static_cast<size_t>(k)] = inside ? static_cast<int32_t>(w) : -1;
    }
    const int64_t total = static_cast<int64_t>(b.dispRows) * m;
    int64_t first = FloorDiv(static_cast<int64_t>(b.xPosition) * m, maxRate);
    if (first + b.displayWidth > total) first = total - b.displayWidth;
    first = std::max<int64_t>(first, 0);
    double* column = ad.data() + rows * static_cast<size_t>(c);
    const double a = s.raw ? 0.0 : s.coeA[c];
    const double coeB = s.raw ? 1.0 : s.coeB[c];
    for (size_t i = 0; i < rows; ++i) {
      const int64_t sub = FloorMod(first + static_cast<int64_t>(i), total);
      const int32_t word = words[static_cast<size_t>(sub % m)];
      uint16_t code = 0;
      if (word >= 0) {
        const int64_t row = FloorMod(sub / m + firstRow, b.dispRows);
        code = b.data[row * b.numChn + word];
      }
      column[i] = s.raw ? static_cast<double>(code) : a + coeB * Volts(code, s.vZero, s.adMax);
    }
  }
  return ad;
}

}  // namespace haldrevon
