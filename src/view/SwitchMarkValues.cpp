#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/NumberFormat.h"
#include "view/DisplayReading.h"
#include "view/MarkValues.h"

namespace quelvar {

namespace {

int64_t Wrap(int64_t q, int64_t n) {
  q %= n;
  return q < 0 ? q + n : q;
}

// One switch input's bit in the rows of DispData (from its first row).
class SwitchAtMark {
 public:
  SwitchAtMark(const MarkSource& source, int32_t input)
      : s_(source), bit_(SwitchBitOf(std::clamp(source.config.Analog_Num, 0, kMaxAnalogChannels), input)) {}

  int64_t Rows() const { return std::max(s_.display.DispRows, 0); }
  uint16_t Word(int64_t row) const {
    uint16_t word = 0;
    ReadDisplayWord(s_.display, SampleWord{static_cast<int32_t>(Wrap(row, Rows())), bit_.word}, word);
    return word;
  }
  bool High(int64_t row) const { return SwitchIsHigh(Word(row), bit_.bit); }
  uint16_t Mask() const { return static_cast<uint16_t>(1u << bit_.bit); }
  int64_t OldestRow() const {
    if (s_.display.DataSourceMode == 2 || s_.display.SelectFault != 0) return 0;
    return Wrap(int64_t{s_.config.NumSamp} * s_.RingWriteBlock, Rows());
  }

  const MarkSource& s_;
  SwitchBit bit_;
};

// Rising edges per second over up to `periods` periods back from row `row`;
// false when fewer than two edges are found.
bool EdgeRate(const SwitchAtMark& sw, int64_t row, int32_t periods, double& rate) {
  const int64_t rows = sw.Rows();
  int64_t n = row - sw.OldestRow() + 1;
  if (n < 0) n += rows;
  const int64_t pairs = std::max<int64_t>(n - 2, 1);
  const int64_t wanted = int64_t{std::max(periods, 0)} + 1;
  std::vector<int64_t> edges;
  for (int64_t i = 1; i <= pairs && static_cast<int64_t>(edges.size()) < wanted; ++i) {
    const int64_t later = row - i + 1;
    if (!sw.High(later - 1) && sw.High(later)) edges.push_back(Wrap(later, rows));
  }
  if (edges.size() < 2) return false;
  int64_t span = edges.front() - edges.back();
  if (span < 0) span += rows;
  if (span <= 0) return false;
  rate = static_cast<double>(edges.size() - 1) * sw.s_.config.ChannelRate / static_cast<double>(span);
  return true;
}

}  // namespace

std::string SwitchValueAtMark(const MarkSource& source, int64_t bufferPoint, int32_t input, int32_t kind,
                              int32_t mark) {
  if (input < 0 || input >= std::clamp(source.config.SW_Num, 0, kMaxSwitchInputs)) return {};
  const SwitchAtMark sw(source, input);
  if (sw.Rows() <= 0 || source.display.DispData == nullptr) return {};
  const int64_t point = source.display.DispPoints > 0 ? Wrap(bufferPoint, source.display.DispPoints) : 0;
  const int64_t row = Wrap(point / std::max(source.layout.MaxMultiFreq, 1), sw.Rows());
  const WaveViewState& p = source.view;
  double rate = 0.0;
  switch (kind) {
    case kMarkHexCode: {
      char text[8];
      std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(sw.Word(row) & sw.Mask()));
      return text;
    }
    case kMarkFrequency1:
    case kMarkFrequency2:
    case kMarkFrequency4: {
      const int32_t cycles = kind == kMarkFrequency1 ? 1 : kind == kMarkFrequency2 ? 2 : 4;
      if (!EdgeRate(sw, row, cycles, rate)) return "未知";
      return FormatFixed(rate, 7, 2) + "Hz";
    }
    case kMarkSpeed: {
      if (!EdgeRate(sw, row, mark == 1 ? p.MarkAnalSpeedNumP1 : p.MarkAnalSpeedNumP2, rate)) return "未知";
      return FormatFixed(rate * p.MarkAnalSpeedScale, 7, 1) + p.MarkSpeedUnit;
    }
    default:
      return sw.High(row) ? "高电平" : "低电平";
  }
}

}  // namespace quelvar
