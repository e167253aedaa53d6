#include "view/TorqueZero.h"

#include <algorithm>

#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

struct BlockRows {
  const uint16_t* first = nullptr;  // row 0, after the sequence word
  int32_t rows = 0;
  int32_t words = 0;  // per row
};

bool WholeBlock(std::span<const uint16_t> block, int32_t rows, int32_t words, BlockRows& out) {
  if (rows < 1 || words < 1) return false;
  const uint64_t needed = 1 + static_cast<uint64_t>(rows) * static_cast<uint64_t>(words);
  if (block.size() < needed) return false;
  out = {block.data() + 1, rows, words};
  return true;
}

// Mean engineering value of `channel` over the block, its coefficient A
// already 0. Only words inside the row are read; the mean is over the
// samples actually taken.
double MeanOverBlock(const LiveConfig& config, const TorqueTables& torque, const SampleLayout& layout,
                     const BlockRows& block, int32_t channel) {
  const AnalogChannel& record = config.AnalogChannelTable[channel];
  const int32_t extraFirst = record.MultiFreq > 1 ? std::max(layout.ExtraSlotFirst[channel], 0) : 0;
  const int32_t extraLast = record.MultiFreq > 1 ? std::min(layout.ExtraSlotLast[channel], block.words) : 0;
  double sum = 0.0;
  int64_t samples = 0;
  for (int32_t r = 0; r < block.rows; ++r) {
    const uint16_t* row = block.first + static_cast<int64_t>(r) * block.words;
    if (channel < block.words) {
      sum += RawToEngineering(config, torque, record, row[channel]);
      ++samples;
    }
    for (int32_t w = extraFirst; w < extraLast; ++w) {
      sum += RawToEngineering(config, torque, record, row[w]);
      ++samples;
    }
  }
  return samples == 0 ? 0.0 : sum / static_cast<double>(samples);
}

}  // namespace

TorqueZeroOutcome ZeroTorqueChannels(LiveConfig& config, const TorqueTables& torque, const SampleLayout& layout,
                                     int32_t dataSourceMode, std::span<const uint16_t> block) {
  BlockRows rows;
  if (dataSourceMode == 0 || !WholeBlock(block, config.NumSamp, layout.NumChn, rows))
    return TorqueZeroOutcome::NoAcquisitionData;
  const int32_t channels = std::clamp(config.Analog_Num, 0, kMaxAnalogChannels);
  bool zeroed = false;
  for (int32_t c = 0; c < channels; ++c) {
    AnalogChannel& record = config.AnalogChannelTable[c];
    if (!IsTorqueChannelType(record.ChnIDDC)) continue;
    record.ChnCoeA = 0.0f;
    record.ChnCoeA = static_cast<float>(-MeanOverBlock(config, torque, layout, rows, c));
    zeroed = true;
  }
  return zeroed ? TorqueZeroOutcome::Zeroed : TorqueZeroOutcome::NoTorqueChannel;
}

const char* TorqueZeroMessage(TorqueZeroOutcome outcome) {
  switch (outcome) {
    case TorqueZeroOutcome::Zeroed:
      return "提示：扭矩置0成功!";
    case TorqueZeroOutcome::NoTorqueChannel:
      return "警告：无扭矩通道!";
    case TorqueZeroOutcome::NoAcquisitionData:
      break;
  }
  return "警告：无采集结果。扭矩置0无法完成!";
}

}  // namespace quelvar
