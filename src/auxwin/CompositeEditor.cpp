#include "auxwin/CompositeEditor.h"

#include <algorithm>

#include "common/NumberFormat.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr const char* kHeadings[kCompositeGridRows] = {"序号",       "通道单位",   "通道名称", "通道号",  "标识文字",
                                                       "小数点位数", "显示方式", "报警方式", "报警值1", "报警值2"};

int32_t AnalogCount(const LiveConfig& c) { return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels); }

// The channel of a cell: its number (not a number: `fallback`) clamped to
// the configured channels; -1 without channels.
int32_t ChannelOfCell(const std::string& text, int32_t fallback, const LiveConfig& config) {
  return CompositeChannel(ParseDialogInteger(text).value_or(fallback), config);
}

std::string DefaultLabel(int32_t channel, const LiveConfig& config) {
  if (channel < 0) return {};
  const int32_t analog = AnalogCount(config);
  if (channel < analog) {
    const AnalogChannel& a = config.AnalogChannelTable[static_cast<size_t>(channel)];
    return platform::FitGbk(a.ChnName + a.ChnUnits, 15);
  }
  return platform::FitGbk(config.SwitchChannelTable[static_cast<size_t>(channel - analog)].SWName, 15);
}

// Rows 1 and 2 for a channel: unit and name, or `switchUnit` and the switch
// input's name.
void SetUnitAndName(platform::CellGrid& grid, int col, int32_t channel, const LiveConfig& config,
                    const std::string& switchUnit) {
  if (channel < 0) return;
  const int32_t analog = AnalogCount(config);
  if (channel < analog) {
    const AnalogChannel& a = config.AnalogChannelTable[static_cast<size_t>(channel)];
    grid.SetCell(col, kCompositeRowUnit, a.ChnUnits);
    grid.SetCell(col, kCompositeRowChannelName, a.ChnName);
  } else {
    grid.SetCell(col, kCompositeRowUnit, switchUnit);
    grid.SetCell(col, kCompositeRowChannelName,
                 config.SwitchChannelTable[static_cast<size_t>(channel - analog)].SWName);
  }
}

std::string ChannelText(int32_t channel) { return channel < 0 ? std::string() : std::to_string(channel); }

}  // namespace

std::vector<std::string> CompositeChannelLines(const LiveConfig& config) {
  std::vector<std::string> lines;
  const int32_t analog = AnalogCount(config);
  const int32_t switches = std::clamp(config.SW_Num, 0, kMaxSwitchInputs);
  for (int32_t c = 0; c < analog; ++c) {
    lines.push_back(std::to_string(c) + ": " + config.AnalogChannelTable[static_cast<size_t>(c)].ChnName);
  }
  if (switches > 0) lines.emplace_back();
  for (int32_t s = 0; s < switches; ++s) {
    lines.push_back(std::to_string(analog + s) + ": " + config.SwitchChannelTable[static_cast<size_t>(s)].SWName);
  }
  return lines;
}

void FillCompositeGrid(platform::CellGrid& grid, const CompositeDef& def, const LiveConfig& config) {
  const int32_t count = std::clamp(def.Count, 0, static_cast<int32_t>(def.Items.size()));
  grid.SetRowCount(kCompositeGridRows);
  grid.SetColCount(count + 1);
  grid.SetFixed(1, 3);
  for (int r = 0; r < kCompositeGridRows; ++r) grid.SetCell(0, r, kHeadings[r]);
  for (int32_t i = 0; i < count; ++i) {
    const CompositeItem& item = def.Items[static_cast<size_t>(i)];
    const int col = i + 1;
    const int32_t channel = CompositeChannel(item.Channel, config);
    grid.SetCell(col, kCompositeRowNumber, std::to_string(i));
    grid.SetCell(col, kCompositeRowChannel, ChannelText(channel));
    grid.SetCell(col, kCompositeRowLabel, CompositeItemName(item));
    grid.SetCell(col, kCompositeRowDecimals, std::to_string(item.Decimals));
    grid.SetCell(col, kCompositeRowKind, CompositeKindText(item.Kind));
    grid.SetCell(col, kCompositeRowAlarm, CompositeAlarmText(item.Alarm));
    grid.SetCell(col, kCompositeRowValue1, FormatGeneral(item.Value1, 7));
    grid.SetCell(col, kCompositeRowValue2, FormatGeneral(item.Value2, 7));
    SetUnitAndName(grid, col, channel, config, "开关量");
  }
}

CompositeEditTexts CompositeEditTextsOf(const CompositeDef& def) {
  return {std::to_string(def.Count), std::to_string(def.Columns), std::to_string(def.FontSize),
          std::to_string(def.Chars)};
}

void ReadCompositeGrid(const platform::CellGrid& grid, const CompositeEditTexts& edits, const LiveConfig& config,
                       CompositeDef& def) {
  const int32_t columns = std::max(grid.ColCount() - 1, 0);
  // A count below 1 would write a file that is never read back, a negative
  // one could not size the items at all.
  def.Count = std::clamp(ParseDialogInteger(edits.ItemNum).value_or(columns), 1, kCompositeMaxEditorItems);
  const auto positive = [](const std::string& text, int32_t fallback) {
    const auto v = ParseDialogInteger(text);
    return v && *v >= 1 ? *v : fallback;
  };
  def.Columns = positive(edits.ColNum, 3);
  def.FontSize = std::min(positive(edits.FontSize, 12), kCompositeMaxFontSize);
  def.Chars = std::min(positive(edits.CharNum, 7), kCompositeMaxChars);
  def.Items.assign(static_cast<size_t>(def.Count), BlankCompositeItem());
  for (int32_t i = 0; i < def.Count; ++i) {
    CompositeItem& item = def.Items[static_cast<size_t>(i)];
    const int col = i + 1;
    item.Channel = std::max(ChannelOfCell(grid.Cell(col, kCompositeRowChannel), i, config), 0);
    SetCompositeItemName(item, grid.Cell(col, kCompositeRowLabel));
    const auto decimals = ParseDialogInteger(grid.Cell(col, kCompositeRowDecimals));
    item.Decimals = decimals && *decimals >= 0 && *decimals <= kCompositeMaxDecimals ? *decimals : 0;
    item.Kind = CompositeKindCode(grid.Cell(col, kCompositeRowKind));
    item.Alarm = CompositeAlarmCode(grid.Cell(col, kCompositeRowAlarm));
    item.Value1 = ParseDialogReal(grid.Cell(col, kCompositeRowValue1)).value_or(0.0);
    item.Value2 = ParseDialogReal(grid.Cell(col, kCompositeRowValue2)).value_or(0.0);
  }
}

int32_t CompositeItemCountExit(platform::CellGrid& grid, const std::string& text, const LiveConfig& config) {
  const int32_t current = std::max(grid.ColCount() - 1, 0);
  const int32_t n = std::clamp(ParseDialogInteger(text).value_or(current), 1, kCompositeMaxEditorItems);
  if (n == current) return n;
  grid.SetColCount(n + 1);
  for (int col = 1; col <= n; ++col) {
    grid.SetCell(col, kCompositeRowNumber, std::to_string(col - 1));
    const std::string& cell = grid.Cell(col, kCompositeRowChannel);
    const int32_t channel = ChannelOfCell(cell, col - 1, config);
    if (ChannelText(channel) != cell) {
      grid.SetCell(col, kCompositeRowChannel, ChannelText(channel));
      grid.SetCell(col, kCompositeRowLabel, DefaultLabel(channel, config));
      SetUnitAndName(grid, col, channel, config, "开关量");
    }
    const std::pair<int, const char*> defaults[] = {{kCompositeRowDecimals, "0"},
                                                    {kCompositeRowKind, "最新值"},
                                                    {kCompositeRowAlarm, "不报警"},
                                                    {kCompositeRowValue1, "0"},
                                                    {kCompositeRowValue2, "1"}};
    for (const auto& [row, value] : defaults) {
      if (grid.Cell(col, row).empty()) grid.SetCell(col, row, value);
    }
  }
  return n;
}

void CompositeGridDoubleClick(platform::CellGrid& grid, int col, int row, const LiveConfig& config) {
  if (col < 1 || col >= grid.ColCount()) return;
  if (row == kCompositeRowKind) {
    grid.SetCell(col, row, NextCompositeKindText(grid.Cell(col, row)));
  } else if (row == kCompositeRowAlarm) {
    grid.SetCell(col, row, NextCompositeAlarmText(grid.Cell(col, row)));
  } else {
    const int32_t channel = ChannelOfCell(grid.Cell(col, kCompositeRowChannel), col - 1, config);
    grid.SetCell(col, kCompositeRowChannel, ChannelText(channel));
    grid.SetCell(col, kCompositeRowLabel, DefaultLabel(channel, config));
  }
}

void CompositeGridEdited(platform::CellGrid& grid, int col, int row, const LiveConfig& config) {
  if (row != kCompositeRowChannel || col < 1 || col >= grid.ColCount()) return;
  const int32_t channel = ChannelOfCell(grid.Cell(col, row), 0, config);
  SetUnitAndName(grid, col, channel, config, "");
}

std::string CompositeEditorCaption(const std::string& file, const std::string& programDir) {
  std::string shown = file;
  if (!programDir.empty() && shown.size() > programDir.size() && shown.compare(0, programDir.size(), programDir) == 0) {
    shown = shown.substr(programDir.size());
  }
  return "组合显示配置窗口-" + shown;
}

}  // namespace quelvar
