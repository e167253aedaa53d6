#include "view/DisplayReading.h"

#include <algorithm>

namespace quelvar {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

// Display points of one block: NumSamp rows at MaxMultiFreq points a row.
int64_t PointsPerBlock(int32_t numSamp, int32_t maxMultiFreq) {
  return static_cast<int64_t>(numSamp) * std::max(maxMultiFreq, 1);
}

// Point positions are kept within +-2^53: far beyond anything a descriptor
// of 32-bit counts means, yet with room for the sums and differences the
// axis takes of them, and exact as doubles. Only a descriptor that
// contradicts itself (block numbers and rates no ring can hold) reaches it.
constexpr int64_t kPointLimit = int64_t{1} << 53;

int64_t ClampPoint(int64_t point) { return std::clamp(point, -kPointLimit, kPointLimit); }

// count x perUnit, held at the limit instead of overflowing.
int64_t ScaledPoints(int64_t count, int64_t perUnit) {
  int64_t product = 0;
  if (__builtin_mul_overflow(count, perUnit, &product)) {
    return (count < 0) != (perUnit < 0) ? -kPointLimit : kPointLimit;
  }
  return ClampPoint(product);
}

}  // namespace

int32_t WrapDisplayRow(int64_t row, int32_t dispRows) {
  if (dispRows <= 0) return -1;
  if (row >= dispRows) row -= dispRows;
  else if (row < 0) row += dispRows;
  if (row < 0 || row >= dispRows) row = FloorMod(row, dispRows);
  return static_cast<int32_t>(row);
}

int32_t RowOfPoint(const DisplayDescriptor& display, int32_t numSamp, int64_t point) {
  return WrapDisplayRow(point + static_cast<int64_t>(display.DispFirstBlock) * numSamp, display.DispRows);
}

int64_t SubSampleOfPoint(int64_t point, int32_t rate, int32_t maxMultiFreq) {
  return FloorDiv(point * std::max(rate, 1), std::max(maxMultiFreq, 1));
}

SampleWord LocateSubSample(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                           int32_t channel, int64_t subSample) {
  if (channel < 0 || channel >= kMaxVirtualChannels || channel >= display.DispRowWords) return {};
  const int32_t rate = std::max(layout.MultiFreqTable[channel], 1);
  const int64_t k = FloorMod(subSample, rate);
  const int64_t word = k == 0 ? channel : layout.ExtraSlotFirst[channel] + k - 1;
  if (word < 0 || word >= display.DispRowWords) return {};
  const int32_t row = WrapDisplayRow(FloorDiv(subSample, rate) + static_cast<int64_t>(display.DispFirstBlock) * numSamp,
                                     display.DispRows);
  if (row < 0) return {};
  return {row, static_cast<int32_t>(word)};
}

SampleWord LocatePoint(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                       int32_t channel, int64_t point) {
  if (channel < 0 || channel >= kMaxVirtualChannels) return {};
  const int64_t subSample = SubSampleOfPoint(point, layout.MultiFreqTable[channel], layout.MaxMultiFreq);
  return LocateSubSample(display, layout, numSamp, channel, subSample);
}

bool ReadDisplayWord(const DisplayDescriptor& display, SampleWord at, uint16_t& value) {
  if (display.DispData == nullptr || !at.Valid()) return false;
  if (at.row >= display.DispRows || at.word >= display.DispRowWords) return false;
  value = display.DispData[static_cast<int64_t>(at.row) * display.DispRowWords + at.word];
  return true;
}

SwitchBit SwitchBitOf(int32_t analogNum, int32_t switchInput) {
  if (switchInput < 0) return {-1, 0};
  return {analogNum + switchInput / 16, switchInput % 16};
}

bool SwitchIsHigh(uint16_t word, int32_t bit) { return bit >= 0 && bit < 16 && ((word >> bit) & 1u) != 0; }

double VoltsOfWord(uint16_t word, float vZero, float adMax) {
  const double span = static_cast<double>(adMax) - vZero;
  if (span == 0.0) return 0.0;
  return (word - static_cast<double>(vZero)) / span * 5.0;
}

int64_t TimeOriginPoint(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq) {
  const int64_t blocks = static_cast<int64_t>(display.DispTriggerBlock) - display.DispFirstBlock;
  int64_t origin = display.DispTriggerPoint + ScaledPoints(blocks, PointsPerBlock(numSamp, maxMultiFreq));
  if (origin < 0) origin += display.DispPoints;
  return ClampPoint(origin);
}

int64_t CompressedStartPoint(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq) {
  const int64_t blocks = static_cast<int64_t>(display.DispCompressStart) - display.DispFirstBlock;
  const int64_t start = ScaledPoints(blocks, PointsPerBlock(numSamp, maxMultiFreq));
  // Start 0 means "none" only while nothing is compressed: a shown range that
  // begins inside the compressed tail is compressed from its first point.
  return start == 0 && display.DispCompressed != 1 ? display.DispPoints : start;
}

int64_t SamplePositionOfPoint(const DisplayDescriptor& display, int64_t compressedStart, int64_t point) {
  if (display.DispCompressed != 1 || point < compressedStart) return point;
  const int64_t ratio = std::max(display.DispCompressRatio, 1);
  const int64_t start = ClampPoint(compressedStart);
  return ClampPoint(start + ScaledPoints(ClampPoint(point) - start, ratio) + ratio / 2);
}

double TimeMsOfPosition(int64_t position, int64_t timeOrigin, float maxChannelRate) {
  if (!(maxChannelRate > 0.0f)) return 0.0;
  return static_cast<double>(position - timeOrigin) * 1000.0 / maxChannelRate;
}

void RecordViewHistory(WaveViewState& view) {
  int32_t index = std::clamp(view.ViewHistoryIndex, 0, kViewHistorySlots - 2) & ~1;
  const int32_t newest = index == 0 ? kViewHistorySlots - 2 : index - 2;
  view.ViewHistoryIndex = index;
  if (view.ViewHistory[newest] == view.XPosition && view.ViewHistory[newest + 1] == view.DisplayWidth) return;
  view.ViewHistory[index] = view.XPosition;
  view.ViewHistory[index + 1] = view.DisplayWidth;
  index += 2;
  view.ViewHistoryIndex = index >= kViewHistorySlots ? 0 : index;
}

void FillViewHistory(WaveViewState& view) {
  for (int32_t slot = 0; slot < kViewHistorySlots; slot += 2) {
    view.ViewHistory[slot] = view.XPosition;
    view.ViewHistory[slot + 1] = view.DisplayWidth;
  }
  view.ViewHistoryIndex = 0;
}

}  // namespace quelvar
