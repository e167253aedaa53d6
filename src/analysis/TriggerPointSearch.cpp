#include "analysis/TriggerPointSearch.h"

#include <algorithm>

#include "acquisition/AlgorithmReport.h"
#include "common/AlgorithmTypeTable.h"
#include "common/NumberFormat.h"
#include "platform/GbkText.h"
#include "view/DisplayLayout.h"
#include "view/DisplayReading.h"

namespace quelvar {

namespace {

constexpr int kTimePrecision = 15;  // significant digits of the reported time

std::string TypeNameOf(int32_t type) {
  if (type < 0 || type >= kAlgorithmTypeCount) return {};
  return std::string(AlgorithmTypeTable[static_cast<size_t>(type)].Name);
}

}  // namespace

TriggerPointSearchResult SearchTriggerPoints(const LiveConfig& live, const SampleLayout& layout,
                                             const DisplayDescriptor& display, bool accurate) {
  TriggerPointSearchResult result;
  result.runLog.push_back(std::string("\r\n\r\n注：开始搜索所有算法的触发点，") +
                          (accurate ? "计算采用精确算法。" : "计算采用Fourier整数算法。"));

  const DisplayRows rows{display.DispData, display.DispRows, display.DispRowWords};
  const int64_t points = display.DispData != nullptr ? std::max(display.DispPoints, 0) : 0;
  const int32_t multi = std::max(layout.MaxMultiFreq, 1);
  // Display point 0 is the first point of DispFirstBlock; the evaluation
  // takes points of the matrix as it lies in memory.
  const int64_t shift = points > 0 ? (int64_t{display.DispFirstBlock} * live.NumSamp * multi) % points : 0;
  const int64_t origin = TimeOriginPoint(display, live.NumSamp, multi);
  const int64_t compressedStart = CompressedStartPoint(display, live.NumSamp, multi);
  const double rate = ComputeMaxChannelRate(multi, live.ChannelRate);

  const int32_t algorithms = std::clamp(live.Algorithm_Num, 0, kMaxAlgorithms);
  for (int32_t k = 0; k < algorithms; ++k) {
    const AlgorithmConfig& a = live.AlgorithmTable[static_cast<size_t>(k)];
    for (int64_t p = 0; p < points; ++p) {
      int64_t at = (p + shift) % points;
      if (at < 0) at += points;
      if (EvaluateAlgorithmAt(live, layout, rows, k, static_cast<int32_t>(at)).fired == 0) continue;
      result.found.Append({k, a.Type, static_cast<int32_t>(p)});
      const double ms = static_cast<double>(SamplePositionOfPoint(display, compressedStart, p) - origin) * 1000.0 / rate;
      result.runLog.push_back("\r\n  算法" + std::to_string(k) + ": " + platform::ReadGbkField(a.Name, sizeof a.Name) +
                              ",类型:" + TypeNameOf(a.Type) + "\r\n   触发于点 " + std::to_string(p) + "," +
                              FormatFixed(ms, kTimePrecision, 2) + " ms");
      break;
    }
  }

  if (result.found.TriggerPointCount > 0) {
    result.runLog.push_back("\r\n 注：共搜索到 " + std::to_string(result.found.TriggerPointCount) + " 个触发点！\r\n");
  } else {
    result.statusText = "注：未搜索到触发点!";
    result.runLog.push_back("\r\n 注：未搜索到触发点!");
  }
  return result;
}

}  // namespace quelvar
