#include "view/MarkKindRules.h"

#include <algorithm>

#include "setup/DialogNumbers.h"
#include "view/MarkPoints.h"
#include "view/MarkValues.h"

namespace quelvar {

namespace {

constexpr MarkKindItem kItems[] = {
    {kMarkInstant, "menuMarkInst1", "menuMarkInst2", "瞬时值"},
    {kMarkMean, "menuMarkAvg1", "menuMarkAvg2", "周波平均值"},
    {kMarkRms, "menuMarkEffective1", "menuMarkEffective2", "交流有效值"},
    {kMarkPhase, "menuMarkPhase1", "menuMarkPhase2", "相位角度"},
    {kMarkFrequency1, "menuMark1PerFrq1", "menuMark1PerFrq2", "一周波频率"},
    {kMarkFrequency2, "menuMark2PerFrq1", "menuMark2PerFrq2", "二周波频率"},
    {kMarkFrequency4, "menuMark4PerFrq1", "menuMark4PerFrq2", "四周波频率"},
    {kMarkHexCode, "menuMarkHexAD1", "menuMarkHexAD2", "十六进制AD值"},
    {kMarkHarmonic, "menuMarkHarmonicsN1", "menuMarkHarmonicsN2", "n次谐波量(n=?)"},
    {kMarkAlgorithmList, "menuMarkAlgorithmList1", "menuMarkAlgorithmList2", "算法触发情况"},
    {kMarkAlgorithmValue, "menuMarkAlgorithmValue1", "menuMarkAlgorithmValue2", "算法m计算值(m=?)"},
    {kMarkRate, nullptr, "menuMarkRatio2", "前n点变化率(n=10)"},
    {kMarkRelativeRate, nullptr, "menuMarkRatioR2", "相对变化率(n=10)"},
    {kMarkPeriod, nullptr, "menuMarkPeriod2", "前n点周期(n=10)"},
    {kMarkIncrement, "menuMarkIncN1", "menuMarkIncN2", "n周波增量(n=?)"},
    {kMarkSpeed, "menuMarkAnalSpeed1", "menuMarkAnalSpeed2", "模拟量转速"},
    {kMarkSumBetween, "menuMarkRangeSum1", "menuMarkRangeSum2", "标线间累加值"},
    {kMarkMeanBetween, "menuMarkRangeAvg1", "menuMarkRangeAvg2", "标线间平均值"},
};

bool IsMarkOne(int mark) { return mark == 1; }

}  // namespace

std::span<const MarkKindItem> MarkKindItems() { return kItems; }

const MarkKindItem* FindMarkKindItem(int32_t kind) {
  for (const MarkKindItem& item : kItems) {
    if (item.kind == kind) return &item;
  }
  return nullptr;
}

bool MarkOffersKind(int mark, int32_t kind) {
  const MarkKindItem* item = FindMarkKindItem(kind);
  return item != nullptr && (IsMarkOne(mark) ? item->name1 : item->name2) != nullptr;
}

int32_t RestoredMarkKind(int mark, int32_t stored) {
  return stored != kMarkSpeed && MarkOffersKind(mark, stored) ? stored : kMarkInstant;
}

std::optional<MarkParameterPrompt> ParameterPromptOf(int32_t kind, int mark) {
  const bool one = IsMarkOne(mark);
  switch (kind) {
    case kMarkHarmonic:
      return MarkParameterPrompt{"瞬时显示n次谐波量", one ? "请输入谐波次数n(n>=0):    " : "请输入谐波次数n(n>=0):   ",
                                 0, "n次谐波量(n="};
    case kMarkRate:
      return MarkParameterPrompt{"计算变化率用前n个采样点", "请输入计算变化率用点数n(>=2):   ", 2, "前n点变化率(n="};
    case kMarkRelativeRate:
      return MarkParameterPrompt{"计算相对变化率用前n个采样点", "请输入计算相对变化率用点数n(>=2):   ", 2,
                                 "相对变化率(n="};
    case kMarkPeriod:
      return MarkParameterPrompt{"计算周期用前n个采样点", "请输入周期用点数n(>=2):   ", 2, "前n点周期(n="};
    case kMarkIncrement:
      return MarkParameterPrompt{"瞬时显示n周波增量", one ? "请输入周波n(n>0):   " : "请输入周波数n(n>0):   ", 1,
                                 "n周波增量(n="};
    default:
      return std::nullopt;
  }
}

int32_t* MarkParameter(WaveViewState& view, int32_t kind, int mark) {
  const bool one = IsMarkOne(mark);
  switch (kind) {
    case kMarkHarmonic:
      return one ? &view.MarkHarmonics1 : &view.MarkHarmonics2;
    case kMarkAlgorithmValue:
      return one ? &view.MarkAlgorithm1 : &view.MarkAlgorithm2;
    case kMarkRate:
      return &view.MarkRatioN2;
    case kMarkRelativeRate:
      return &view.MarkRatioRN2;
    case kMarkPeriod:
      return &view.MarkPeriodN2;
    case kMarkIncrement:
      return one ? &view.MarkInc1 : &view.MarkInc2;
    default:
      return nullptr;
  }
}

int32_t ParameterAnswer(const std::optional<std::string>& answer, int32_t current, int32_t minimum) {
  int32_t value = current;
  if (answer) value = ParseDialogInteger(*answer).value_or(current);
  return std::max(value, minimum);
}

std::string ParameterCaption(const std::string& prefix, int32_t value) {
  return prefix + std::to_string(value) + ")";
}

int32_t ClampAlgorithmNumber(int32_t number, int32_t algorithmCount) {
  if (number >= algorithmCount) number = algorithmCount - 1;
  return std::max(number, 0);
}

bool MoveTimeOriginToMark(WaveViewState& view, DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq,
                          int mark) {
  if (display.DispValid == 0 || display.DispPoints <= 0) return false;
  const int64_t perBlock = int64_t{std::max(numSamp, 0)} * std::max(maxMultiFreq, 1);
  if (perBlock <= 0) return false;
  // The same mapping the mark's label uses: its time then reads zero, and a
  // mark in the compressed tail (whose points stand for several samples)
  // cannot be an instant.
  const int64_t windowIndex = int64_t{view.XPosition} + (IsMarkOne(mark) ? view.Mark1X : view.Mark2X) - 1;
  const MarkPoint point = MapMarkPoint(display, numSamp, maxMultiFreq, windowIndex);
  if (point.InCompressedPart) return false;
  display.DispTriggerBlock = static_cast<int32_t>(point.BufferPoint / perBlock);
  display.DispTriggerPoint = static_cast<int32_t>(point.BufferPoint % perBlock);
  view.RepaintRequested = 1;
  return true;
}

}  // namespace quelvar
