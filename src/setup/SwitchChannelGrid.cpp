#include "setup/SwitchChannelGrid.h"

#include <algorithm>
#include <array>

#include "common/ChannelVocabularies.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

using platform::CellGrid;
using platform::RecordCells;

constexpr std::array<const char*, kSwitchGridCols> kHeadings = {
    "序号", "名称", "启动标志", "预记录时间ms", "记录时间ms", "压缩记录时间ms", "所属页号", "压缩记录方式", "显示高度份额"};

RecordCells Rows(CellGrid& grid) { return RecordCells(grid, RecordCells::Layout::RecordPerRow); }

int32_t IntegerOr(const std::string& text, int32_t fallback) { return ParseDialogInteger(text).value_or(fallback); }

int32_t PageWithin(int32_t page, int32_t totalPages) { return std::clamp(page, 0, std::max(totalPages - 1, 0)); }

}  // namespace

CellGrid NewSwitchGrid() {
  CellGrid grid(kSwitchGridCols, kSwitchGridDesignedRows, 1, 1);
  for (int c = 0; c < kSwitchGridCols; ++c) grid.SetCell(c, 0, kHeadings[c]);
  for (int r = 1; r < kSwitchGridDesignedRows; ++r) grid.SetCell(kSwitchColNumber, r, std::to_string(r));
  return grid;
}

void FillSwitchGrid(CellGrid& grid, const LiveConfig& live, int32_t count) {
  const int32_t n = std::clamp<int32_t>(count, 0, kMaxSwitchInputs);
  RecordCells rows = Rows(grid);
  rows.SetRecordCount(n);
  for (int k = 0; k < n; ++k) {
    const SwitchChannel& s = live.SwitchChannelTable[k];
    rows.Set(k, kSwitchColNumber, std::to_string(k));
    rows.Set(k, kSwitchColName, s.SWName);
    rows.Set(k, kSwitchColStartFlag, SwitchStartFlagText(s.SWStartID));
    rows.Set(k, kSwitchColPreRecordTime, std::to_string(s.SWPreRecordTime));
    rows.Set(k, kSwitchColRecordTime, std::to_string(s.SWRecordTime));
    rows.Set(k, kSwitchColCompressRecordTime, std::to_string(s.SWCompressRecordTime));
    rows.Set(k, kSwitchColPageNo, std::to_string(s.SWPageNo));
    rows.Set(k, kSwitchColCompressType, SwitchCompressText(s.SWBCompressType));
    rows.Set(k, kSwitchColYWeight, std::to_string(s.SWYWeight));
  }
  grid.ClearModified();
}

std::vector<platform::CellCycle> SwitchGridCycles() {
  return {{kSwitchColStartFlag, [](const std::string& t) { return NextSwitchStartFlagText(t); }},
          {kSwitchColCompressType, [](const std::string& t) { return NextSwitchCompressText(t); }},
          {kSwitchColYWeight, [](const std::string&) { return std::string("50"); }}};
}

std::string SwitchRowSummary(const CellGrid& grid, int32_t& selected) {
  const int rows = grid.RowCount();
  if (selected > rows - 1) selected = rows - 2;
  selected = std::max(selected, 0);
  const int row = selected + 1;
  static constexpr std::array<const char*, 6> kStart = {"不启动",   "高电平(开)启动", "低电平(合)启动",
                                                        "上沿启动", "下沿启动",       "变位启动"};
  const int32_t flag = SwitchStartFlagCode(grid.Cell(kSwitchColStartFlag, row));
  const char* start = flag >= 0 && flag < static_cast<int32_t>(kStart.size()) ? kStart[flag] : kStart[0];
  return "开关量通道" + std::to_string(selected) + ": " + start + "记录; 压缩记录方式：" + "区间" +
         grid.Cell(kSwitchColCompressType, row);
}

void StoreSwitchGrid(const CellGrid& grid, int32_t totalPages, LiveConfig& live) {
  const int n = std::min(grid.RowCount() - 1, kMaxSwitchInputs);
  for (int k = 0; k < n; ++k) {
    const int r = k + 1;
    SwitchChannel& s = live.SwitchChannelTable[k];
    const auto changed = [&](int col) { return grid.Modified(col, r); };
    const auto cell = [&](int col) -> const std::string& { return grid.Cell(col, r); };
    if (changed(kSwitchColName)) s.SWName = platform::FitGbk(cell(kSwitchColName), kChannelTextBytes);
    if (changed(kSwitchColStartFlag)) s.SWStartID = SwitchStartFlagCode(cell(kSwitchColStartFlag));
    if (changed(kSwitchColPreRecordTime)) s.SWPreRecordTime = IntegerOr(cell(kSwitchColPreRecordTime), 120);
    if (changed(kSwitchColRecordTime)) s.SWRecordTime = IntegerOr(cell(kSwitchColRecordTime), 520);
    if (changed(kSwitchColCompressRecordTime)) {
      s.SWCompressRecordTime = IntegerOr(cell(kSwitchColCompressRecordTime), 0);
    }
    if (changed(kSwitchColPageNo)) s.SWPageNo = IntegerOr(cell(kSwitchColPageNo), 0);
    if (changed(kSwitchColCompressType)) s.SWBCompressType = SwitchCompressCode(cell(kSwitchColCompressType));
    if (changed(kSwitchColYWeight)) s.SWYWeight = IntegerOr(cell(kSwitchColYWeight), 50);
    // Codes and ranges are brought inside their sets whether edited or not, so
    // OK also repairs a value the settings tree brought in; a valid value
    // stays. An unknown code becomes the one its cell shows.
    s.SWStartID = SwitchStartFlagCode(SwitchStartFlagText(s.SWStartID));
    s.SWBCompressType = SwitchCompressCode(SwitchCompressText(s.SWBCompressType));
    s.SWYWeight = std::clamp(s.SWYWeight, 5, 2000);
    // The page count may have changed since the page was set.
    s.SWPageNo = PageWithin(s.SWPageNo, totalPages);
  }
}

}  // namespace quelvar
