#include "common/LiveConfig.h"

#include <cstring>

#include "common/AlgorithmTypeTable.h"
#include "platform/GbkText.h"

namespace quelvar {

const std::array<std::array<uint32_t, 16>, 2> DefaultColorPalette = {{
    {0x008000, 0x00FFFF, 0x0000FF, 0x00FFFF, 0xFFFFFF, 0x00FF00, 0x0000FF, 0x008000, 0x00FFFF, 0xFF0000,
     0xFFFF00, 0xFF00FF, 0x008080, 0x800000, 0x000080, 0x800080},
    {0x800080, 0x0000FF, 0x0000FF, 0x008000, 0xFF0000, 0x000000, 0x0000FF, 0x008000, 0x808000, 0x00FF00,
     0xFFFF00, 0xFF00FF, 0x008080, 0x800000, 0x000080, 0x800080},
}};

void SetDefaultLine(AnalConfig& line, int index) {
  line.AName = "Group" + std::to_string(index);
  line.Units = "V";
  line.APhaseNum = 4;
  line.AStartID = 1;
}

void SetDefaultAnalogChannel(AnalogChannel& channel, int index, float vZero) {
  channel = AnalogChannel{};
  channel.ChnName = "Chn" + std::to_string(index);
  channel.ChnUnits = "V";
  channel.ChnGroupNo = index;
  channel.ChnAxialZero = static_cast<int32_t>(vZero);
}

void SetDefaultSwitchChannel(SwitchChannel& input, int index) {
  input = SwitchChannel{};
  input.SWName = "SW" + std::to_string(index);
}

void SetDefaultAlgorithm(AlgorithmConfig& algorithm, int index) {
  const AlgorithmTypeInfo& type0 = AlgorithmTypeTable[0];
  algorithm.Type = 0;
  platform::WriteGbkField("启动算法" + std::to_string(index), algorithm.Name, sizeof algorithm.Name);
  algorithm.UsedChn = type0.UsedChn;
  algorithm.SetPointNum = type0.SetPointNum;
  algorithm.PreRecordTime = type0.PreRecordTime;
  algorithm.RecordTime = type0.RecordTime;
  algorithm.CompressRecordTime = type0.CompressRecordTime;
}

LiveConfig::LiveConfig() {
  for (int i = 0; i < kMaxLines; ++i) SetDefaultLine(LineTable[i], i);
  for (int i = 0; i < kMaxAnalogChannels; ++i) SetDefaultAnalogChannel(AnalogChannelTable[i], i, VZero);
  for (int i = 0; i < kMaxSwitchInputs; ++i) SetDefaultSwitchChannel(SwitchChannelTable[i], i);
  for (int i = 0; i < kMaxAlgorithms; ++i) SetDefaultAlgorithm(AlgorithmTable[i], i);
  for (int row = 0; row < 2; ++row) {
    for (int slot = 0; slot < kPaletteSlots; ++slot) {
      ColorPalette[row][slot] = slot < 16 ? DefaultColorPalette[row][slot]
                                          : DefaultColorPalette[row][4 + (slot - 4) % 12];
    }
  }
  for (int i = 0; i < kMaxAnalogChannels; ++i) AnalogDisplayOrder[i] = i;
  for (int i = 0; i < kMaxDisplayPositions; ++i) GridOrder[i] = static_cast<int16_t>(i);
  for (ScheduleEntry& e : ScheduleTable) {
    e = ScheduleEntry{};
    e.Second = 1;
    e.BackupMin = 1;
    e.DurationSec = 1.0;
  }
}

}  // namespace quelvar
