#include "common/AlgorithmTypeTable.h"

#include <algorithm>
#include <cstring>

#include "common/BinaryLayouts.h"
#include "common/NumberFormat.h"
#include "platform/GbkText.h"

namespace quelvar {

// Name, inputs, input roles, set points, set-point names, ranges, units,
// record times (before, after, compressed; ms), type number.
const std::array<AlgorithmTypeInfo, kAlgorithmTypeCount> AlgorithmTypeTable = {{
    {"空算法", 0, {"", "", "", "", "", "", "", ""}, 0, {"", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 200, 0, 1},
    {"峰值超过", 1, {"DC-AC", "", "", "", "", "", "", ""}, 1, {"峰值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 2},
    {"谷值低于", 1, {"DC-AC", "", "", "", "", "", "", ""}, 1, {"谷值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 3},
    {"直流信号过大", 1, {"DC", "", "", "", "", "", "", ""}, 1, {"直流阈值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 4},
    {"直流信号过小", 1, {"DC", "", "", "", "", "", "", ""}, 1, {"直流阈值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 5},
    {"交流信号过大", 1, {"AC", "", "", "", "", "", "", ""}, 1, {"交流有效值阈值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 6},
    {"交流信号过小", 1, {"AC", "", "", "", "", "", "", ""}, 1, {"交流有效值阈值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 7},
    {"单元件横差", 1, {"I-L", "", "", "", "", "", "", ""}, 1, {"启动电流", "", "", ""}, {{{0.2f, 1.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "", "", ""}, 120, 200, 0, 8},
    {"定子对称过负荷", 3, {"Ia", "Ib", "Ic", "", "", "", "", ""}, 1, {"启动电流", "", "", ""}, {{{1.1f, 1.5f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "", "", ""}, 120, 5200, 0, 9},
    {"转子过电流", 1, {"Ifd", "", "", "", "", "", "", ""}, 1, {"启动电流", "", "", ""}, {{{1.1f, 1.5f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"Ifd", "", "", ""}, 120, 5200, 0, 10},
    {"负序过电流", 3, {"Ia", "Ib", "Ic", "", "", "", "", ""}, 1, {"启动电流", "", "", ""}, {{{0.1f, 0.8f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "", "", ""}, 120, 5200, 0, 11},
    {"过电流", 3, {"Ia", "Ib", "Ic", "", "", "", "", ""}, 1, {"启动电流", "", "", ""}, {{{1.1f, 5.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "", "", ""}, 120, 5200, 0, 12},
    {"过电压", 3, {"Ua", "Ub", "Uc", "", "", "", "", ""}, 1, {"启动电压", "", "", ""}, {{{100.0f, 160.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"V", "", "", ""}, 120, 5200, 0, 13},
    {"定子接地", 2, {"机端Us ", "中点Un", "", "", "", "", "", ""}, 3, {"机端零序基波", "机端三次谐波", "三次谐波电压比", ""}, {{{5.0f, 50.0f}, {0.0f, 0.5f}, {0.9f, 2.0f}, {0.0f, 0.0f}}}, {"V", "V", "", ""}, 120, 5200, 0, 14},
    {"逆功率", 4, {"Ua", "Ub", "Ia", "Ib", "", "", "", ""}, 1, {"有功定值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"W", "", "", ""}, 120, 5200, 0, 15},
    {"低频率", 1, {"Uab", "", "", "", "", "", "", ""}, 2, {"频率阈值", "闭锁电压", "", ""}, {{{45.0f, 50.0f}, {5.0f, 50.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"Hz", "V", "", ""}, 120, 5200, 600000, 16},
    {"过激磁", 1, {"Uab", "", "", "", "", "", "", ""}, 1, {"标么值阈值", "", "", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"", "", "", ""}, 120, 5200, 0, 17},
    {"低励及失磁", 7, {"Ua", "Ub", "Uc", "U-L", "Ia", "Ib", "Ic", ""}, 3, {"三相低电压", "励磁低电压", "无功定值", ""}, {{{50.0f, 80.0f}, {0.1f, 0.8f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"V", "Ufd", "", ""}, 120, 5200, 0, 18},
    {"主变零序过流", 1, {"主变I0", "", "", "", "", "", "", ""}, 1, {"启动电流", "", "", ""}, {{{0.2f, 2.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "", "", ""}, 120, 5200, 0, 19},
    {"主变零序过压", 2, {"主变I0", "主变U0", "", "", "", "", "", ""}, 2, {"零序电流动作值", "零序电压动作值", "", ""}, {{{0.2f, 2.0f}, {2.0f, 40.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "V", "", ""}, 120, 5200, 0, 20},
    {"主变间隙过流过压", 2, {"间隙I0", "间隙U0", "", "", "", "", "", ""}, 2, {"零序电流动作值", "零序电压动作值", "", ""}, {{{0.2f, 2.0f}, {150.0f, 300.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"In", "V", "", ""}, 120, 5200, 0, 21},
    {"机组振荡", 3, {"Ua", "Ub", "Uc", "", "", "", "", ""}, 2, {"频率变化率", "闭锁电压", "", ""}, {{{0.1f, 1.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"Hz/s", "V", "", ""}, 120, 5200, 600000, 22},
    {"负序增量方向", 6, {"Ua", "Ub", "Uc", "Ia", "Ib", "Ic", "", ""}, 3, {"EU2", "EI2", "EP2", ""}, {{{0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 0.0f}}}, {"V", "A", "W", ""}, 120, 200, 0, 23},
}};

int FindAlgorithmType(std::string_view name) {
  // Searches stop at the last entry's type number, as every search of the program does.
  const int count = AlgorithmTypeTable.back().TypeNumber;
  for (int i = 0; i < count; ++i) {
    if (AlgorithmTypeTable[i].Name == name) return i;
  }
  return -1;
}

std::string SetPointRangeText(const AlgorithmTypeInfo& type, int index) {
  if (index < 0 || index >= 4) return {};
  const auto& range = type.SetPointRange[index];
  const std::string unit(type.SetPointUnit[index]);
  if (range[0] == range[1]) return unit;
  return FormatFixed(range[0], 7, 1) + "~" + FormatFixed(range[1], 7, 1) + unit;
}

void SanitizeAlgorithm(AlgorithmConfig& a) {
  if (a.Type < 0 || a.Type >= kAlgorithmTypeCount) a.Type = 0;
  a.UsedChn = std::clamp(a.UsedChn, 0, kAlgorithmChannels);
  a.SetPointNum = std::clamp(a.SetPointNum, 0, kAlgorithmSetPoints);
  a.AssAnalogChnNum = std::clamp(a.AssAnalogChnNum, 0, kAlgorithmAssociated);
  a.AssSWChnNum = std::clamp(a.AssSWChnNum, 0, kAlgorithmAssociated);
  if (std::memchr(a.Name, 0, sizeof a.Name) == nullptr) {
    // Re-encoded rather than cut at the last byte, which may be half a character.
    const std::string name = platform::ReadGbkField(a.Name, sizeof a.Name);
    platform::WriteGbkField(name, a.Name, sizeof a.Name);
  }
}

}  // namespace quelvar
