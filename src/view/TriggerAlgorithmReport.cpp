#include "view/TriggerAlgorithmReport.h"

#include <algorithm>

#include "common/AlgorithmTypeTable.h"
#include "common/NumberFormat.h"
#include "platform/GbkText.h"

namespace quelvar {

namespace {

constexpr int kFloatDigits = 7;
constexpr int kTimeDigits = 15;

// Points at the fastest rate as whole milliseconds; no rate, no time.
std::string Milliseconds(int64_t points, float rate) {
  const double ms = rate > 0 ? static_cast<double>(points) * 1000.0 / rate : 0.0;
  return FormatFixed(ms, kTimeDigits, 0);
}

std::string Text(std::string_view text) { return std::string(text); }

}  // namespace

std::vector<std::string> TriggerAlgorithmReport(const LiveConfig& config, const SampleLayout& layout,
                                                const HistoryRecord& record) {
  const int32_t n = record.TriggerAlgorithm;
  std::vector<std::string> lines{"", "  模拟量启动录波记录波形！", "", "启动算法编号：" + std::to_string(n)};
  const int32_t count = std::min(config.Algorithm_Num, kMaxAlgorithms);
  if (n < 0 || n >= count) {
    lines.push_back("但算法号不再有效！");
    return lines;
  }
  const AlgorithmConfig& a = config.AlgorithmTable[static_cast<size_t>(n)];
  static const AlgorithmTypeInfo kNoType{};
  const AlgorithmTypeInfo& type =
      a.Type >= 0 && a.Type < kAlgorithmTypeCount ? AlgorithmTypeTable[static_cast<size_t>(a.Type)] : kNoType;

  lines.push_back("启动算法编号：" + std::to_string(n));
  lines.push_back("算法名称：" + platform::ReadGbkField(a.Name, sizeof a.Name));
  lines.push_back("算法类型：" + Text(type.Name));
  lines.push_back("");
  lines.push_back("算法依据通道数：" + std::to_string(a.UsedChn));
  const int used = std::clamp(a.UsedChn, 0, kAlgorithmChannels);
  for (int j = 0; j < used; ++j) {
    const int32_t channel = a.Channel[j];
    const std::string name = channel >= 0 && channel < std::min(config.Analog_Num, kMaxAnalogChannels)
                                 ? config.AnalogChannelTable[static_cast<size_t>(channel)].ChnName
                                 : std::string();
    lines.push_back("  " + Text(type.ChnRole[static_cast<size_t>(j)]) + ": 通道号: " + std::to_string(channel) + ": " +
                    name);
  }

  lines.push_back("");
  lines.push_back("算法使用启动阈值数：" + std::to_string(a.SetPointNum));
  const int setPoints = std::clamp(a.SetPointNum, 0, kAlgorithmSetPoints);
  for (int j = 0; j < setPoints; ++j) {
    const bool named = j < static_cast<int>(type.SetPointName.size());
    const std::string name = named ? Text(type.SetPointName[static_cast<size_t>(j)]) : std::string();
    const std::string unit = named ? Text(type.SetPointUnit[static_cast<size_t>(j)]) : std::string();
    lines.push_back("  " + name + ": " + FormatFixed(a.SetPoint[j], kFloatDigits, 2) + unit);
  }

  const int64_t rowPoints = int64_t{config.NumSamp} * config.MaxMultiFreq;
  const int64_t pre = record.TriggerBlock * rowPoints + record.TriggerOffset;
  const float rate = layout.MaxChannelRate;
  lines.push_back("");
  lines.push_back("触发前记录时间要求：" + std::to_string(a.PreRecordTime) + " ms");
  lines.push_back("   触发前记录时间实际=" + Milliseconds(pre, rate) + " ms");
  lines.push_back("触发后记录时间要求：" + std::to_string(a.RecordTime) + " ms");
  const int64_t after = (int64_t{record.BlockCount} - record.CompressedBlocks) * rowPoints - pre;
  lines.push_back("   触发后记录时间实际=" + Milliseconds(after, rate) + " ms");
  lines.push_back("触发后压缩记录时间要求：" + std::to_string(a.CompressRecordTime) + " ms");
  if (record.CompressedBlocks > 0) {
    const int64_t compressed = int64_t{record.CompressedBlocks} * record.CompressRatio * rowPoints;
    lines.push_back("   触发后压缩记录时间实际=" + Milliseconds(compressed, rate) + " ms");
  }
  return lines;
}

}  // namespace quelvar
