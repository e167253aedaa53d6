#include "setup/CurrentChannelProperties.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "common/ChannelVocabularies.h"
#include "common/NumberFormat.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr const char* kAnalogHeadings[kCurAnalogRows] = {
    "通道号", "名称", "单位", "类型", "系数A", "系数B", "显示放大", "小数位数", "所属页", "坐标0的值", "高度份额"};
constexpr const char* kSwitchHeadings[kCurSwitchRows] = {"通道号", "名称", "所属页", "高度份额"};
constexpr int kDefaultColWidth = 80;

int32_t ListEntry(const CurrentChannelList& list, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < list.Channels.size() ? list.Channels[static_cast<size_t>(index)]
                                                                         : 0;
}

int32_t AnalogCountOf(const LiveConfig& c) { return std::min(c.Analog_Num, static_cast<int32_t>(kMaxAnalogChannels)); }
int32_t SwitchCountOf(const LiveConfig& c) { return std::min(c.SW_Num, static_cast<int32_t>(kMaxSwitchInputs)); }

std::string General(float value) { return FormatGeneral(value, 7); }

float RealOr(const std::string& text, float fallback) {
  const std::optional<double> value = ParseDialogReal(text);
  if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return fallback;
  return static_cast<float>(*value);
}

int32_t IntegerOr(const std::string& text, int32_t fallback) { return ParseDialogInteger(text).value_or(fallback); }

platform::CellGrid Transposed(int columns, int rows, const char* const* headings) {
  platform::CellGrid cells(columns, rows, 1, 0);
  cells.SetDefaultColWidth(kDefaultColWidth);
  for (int row = 0; row < rows; ++row) cells.SetCell(0, row, headings[row]);
  return cells;
}

}  // namespace

int32_t ClampToCount(int32_t value, int32_t count) {
  if (value >= count) value = count - 1;
  return value < 0 ? 0 : value;
}

int32_t CurrentAnalogChannel(const CurrentChannelList& list, int32_t k, const LiveConfig& config) {
  return ClampToCount(ListEntry(list, k), AnalogCountOf(config));
}

int32_t CurrentSwitchInput(const CurrentChannelList& list, int32_t k, const LiveConfig& config) {
  const int64_t input = static_cast<int64_t>(ListEntry(list, list.AnalogCount + k)) - config.Analog_Num;
  const int64_t bounded = std::clamp<int64_t>(input, INT32_MIN, INT32_MAX);
  return ClampToCount(static_cast<int32_t>(bounded), SwitchCountOf(config));
}

platform::CellGrid CurrentAnalogCells(const CurrentChannelList& list, const LiveConfig& config) {
  const int32_t count = std::max(list.AnalogCount, 0);
  platform::CellGrid cells = Transposed(count + 1, kCurAnalogRows, kAnalogHeadings);
  for (int32_t k = 0; k < count; ++k) {
    const int32_t channel = CurrentAnalogChannel(list, k, config);
    const AnalogChannel& a = config.AnalogChannelTable[static_cast<size_t>(channel)];
    const int col = k + 1;
    cells.SetCell(col, kCurRowChannel, std::to_string(channel));
    cells.SetCell(col, kCurRowName, a.ChnName);
    cells.SetCell(col, kCurRowUnits, a.ChnUnits);
    cells.SetCell(col, kCurRowType, ChannelTypeText(a.ChnIDDC));
    cells.SetCell(col, kCurRowCoeA, General(a.ChnCoeA));
    cells.SetCell(col, kCurRowCoeB, General(a.ChnCoeB));
    cells.SetCell(col, kCurRowPreAmp, General(a.ChnPreAmp));
    cells.SetCell(col, kCurRowDigits, std::to_string(a.ChnDigiPoint));
    cells.SetCell(col, kCurRowPage, std::to_string(a.ChnPageNo));
    cells.SetCell(col, kCurRowAxialZero, std::to_string(a.ChnAxialZero));
    cells.SetCell(col, kCurRowYWeight, std::to_string(a.ChnYWeight));
  }
  return cells;
}

platform::CellGrid CurrentSwitchCells(const CurrentChannelList& list, const LiveConfig& config) {
  const int32_t count = std::max(list.SwitchCount, 0);
  platform::CellGrid cells = Transposed(count + 1, kCurSwitchRows, kSwitchHeadings);
  for (int32_t k = 0; k < count; ++k) {
    const int32_t input = CurrentSwitchInput(list, k, config);
    const SwitchChannel& s = config.SwitchChannelTable[static_cast<size_t>(input)];
    const int col = k + 1;
    cells.SetCell(col, kCurSwRowChannel, std::to_string(input));
    cells.SetCell(col, kCurSwRowName, s.SWName);
    cells.SetCell(col, kCurSwRowPage, std::to_string(s.SWPageNo));
    cells.SetCell(col, kCurSwRowYWeight, std::to_string(s.SWYWeight));
  }
  return cells;
}

void CurrentAnalogDoubleClick(platform::CellGrid& cells, int col, int row, float vZero) {
  if (col == 0 || !cells.Contains(col, row)) return;
  switch (row) {
    case kCurRowType: cells.EditCell(col, row, NextChannelTypeText(cells.Cell(col, row))); break;
    case kCurRowAxialZero: cells.EditCell(col, row, std::to_string(static_cast<int32_t>(vZero))); break;
    case kCurRowYWeight: cells.EditCell(col, row, "100"); break;
    default: break;
  }
}

void StoreCurrentAnalogCells(const platform::CellGrid& cells, const CurrentChannelList& list, LiveConfig& config) {
  const int32_t count = std::min(std::max(list.AnalogCount, 0), cells.ColCount() - 1);
  for (int32_t k = 0; k < count; ++k) {
    const int col = k + 1;
    const auto cell = [&](int row) -> const std::string& { return cells.Cell(col, row); };
    AnalogChannel& a = config.AnalogChannelTable[static_cast<size_t>(CurrentAnalogChannel(list, k, config))];
    a.ChnName = platform::FitGbk(cell(kCurRowName), kChannelTextBytes);
    a.ChnUnits = platform::FitGbk(cell(kCurRowUnits), kChannelTextBytes);
    a.ChnIDDC = ChannelTypeCode(cell(kCurRowType));
    a.ChnCoeA = RealOr(cell(kCurRowCoeA), 0.0f);
    a.ChnCoeB = RealOr(cell(kCurRowCoeB), 1.0f);
    a.ChnPreAmp = RealOr(cell(kCurRowPreAmp), 1.0f);
    if (a.ChnPreAmp <= 0.0f) a.ChnPreAmp = 1.0f;
    a.ChnDigiPoint = std::clamp(IntegerOr(cell(kCurRowDigits), 0), 0, 20);
    a.ChnPageNo = ClampToCount(IntegerOr(cell(kCurRowPage), 0), config.TotalPages);
    const std::optional<int32_t> zero = ParseDialogInteger(cell(kCurRowAxialZero));
    a.ChnAxialZero = zero && *zero >= 0 && *zero <= 65535 ? *zero : static_cast<int32_t>(config.VZero);
    a.ChnYWeight = std::clamp(IntegerOr(cell(kCurRowYWeight), 100), 5, 2000);
  }
}

void StoreCurrentSwitchCells(const platform::CellGrid& cells, const CurrentChannelList& list, LiveConfig& config) {
  const int32_t count = std::min(std::max(list.SwitchCount, 0), cells.ColCount() - 1);
  for (int32_t k = 0; k < count; ++k) {
    const int col = k + 1;
    SwitchChannel& s = config.SwitchChannelTable[static_cast<size_t>(CurrentSwitchInput(list, k, config))];
    s.SWName = platform::FitGbk(cells.Cell(col, kCurSwRowName), kChannelTextBytes);
    s.SWPageNo = ClampToCount(IntegerOr(cells.Cell(col, kCurSwRowPage), 0), config.TotalPages);
    s.SWYWeight = std::clamp(IntegerOr(cells.Cell(col, kCurSwRowYWeight), 50), 5, 2000);
  }
}

}  // namespace quelvar
