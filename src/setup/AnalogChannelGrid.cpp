#include "setup/AnalogChannelGrid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

#include "common/ChannelVocabularies.h"
#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

using platform::CellGrid;
using platform::RecordCells;

constexpr std::array<const char*, 13> kRowHeadings = {
    "通道序号", "通道名称",     "所属页号", "单位",           "系数A",       "系数B",       "通道类型",
    "显示放大倍数", "压缩方式", "显示小数点位数", "坐标0的值", "显示高度份额", "频率加快倍数"};
constexpr std::array<const char*, kGroupGridRows> kGroupHeadings = {"组序号", "拥有通道", "组名称"};

constexpr int kTorquePowerType = 13;

RecordCells Columns(CellGrid& grid) { return RecordCells(grid, RecordCells::Layout::RecordPerCol); }

std::string ColumnName(int i) { return "通道" + std::to_string(i); }

int32_t IntegerOr(const std::string& text, int32_t fallback) { return ParseDialogInteger(text).value_or(fallback); }

// A number a float field can hold.
std::optional<float> FloatOf(const std::string& text) {
  const std::optional<double> v = ParseDialogReal(text);
  if (!v || std::abs(*v) > double{std::numeric_limits<float>::max()}) return std::nullopt;
  return static_cast<float>(*v);
}

int ChannelCount(const CellGrid& channels) { return std::clamp(channels.ColCount() - 1, 0, kMaxAnalogChannels); }

}  // namespace

CellGrid NewGroupGrid() {
  CellGrid grid(1, kGroupGridRows, 1, 1);
  for (int r = 0; r < kGroupGridRows; ++r) grid.SetCell(0, r, kGroupHeadings[r]);
  grid.SetColWidth(0, kChannelHeadingWidth);
  return grid;
}

void SetChannelGridRows(CellGrid& channels, bool multiFreqMode) {
  const int rows = multiFreqMode ? kChnRowMultiFreq + 1 : kChnRowMultiFreq;
  channels.SetFixed(1, 1);
  channels.SetRowCount(rows);
  if (channels.ColCount() < 1) channels.SetColCount(1);
  channels.SetColWidth(0, kChannelHeadingWidth);
  for (int r = 0; r < rows; ++r) channels.SetCell(0, r, kRowHeadings[r]);
}

void FillChannelGrids(CellGrid& channels, CellGrid& groups, const LiveConfig& live, int32_t count,
                      bool multiFreqMode) {
  const int32_t a = std::clamp<int32_t>(count, 0, std::min(kMaxAnalogChannels, kMaxLines));
  SetChannelGridRows(channels, multiFreqMode);
  RecordCells lines = Columns(groups);
  lines.SetRecordCount(a);
  for (int j = 0; j < a; ++j) {
    lines.Set(j, kGroupRowNumber, std::to_string(j));
    lines.Set(j, kGroupRowName, live.LineTable[j].AName);
  }
  RecordCells cols = Columns(channels);
  cols.SetRecordCount(a);
  for (int i = 0; i < a; ++i) {
    const AnalogChannel& c = live.AnalogChannelTable[i];
    cols.Set(i, kChnRowNumber, std::to_string(i));
    cols.Set(i, kChnRowName, c.ChnName);
    cols.Set(i, kChnRowPageNo, std::to_string(c.ChnPageNo));
    cols.Set(i, kChnRowUnits, c.ChnUnits);
    cols.Set(i, kChnRowCoeA, FormatGeneral(c.ChnCoeA, 6));
    cols.Set(i, kChnRowCoeB, FormatGeneral(c.ChnCoeB, 7));
    cols.Set(i, kChnRowType, ChannelTypeText(c.ChnIDDC));
    cols.Set(i, kChnRowPreAmp, FormatGeneral(c.ChnPreAmp, 6));
    cols.Set(i, kChnRowCompress, AnalogCompressText(c.ChnACompressType));
    cols.Set(i, kChnRowDigiPoint, std::to_string(c.ChnDigiPoint));
    cols.Set(i, kChnRowAxialZero, std::to_string(c.ChnAxialZero));
    cols.Set(i, kChnRowYWeight, std::to_string(c.ChnYWeight));
    if (multiFreqMode) cols.Set(i, kChnRowMultiFreq, std::to_string(c.MultiFreq));
  }
  channels.ClearModified();
  groups.ClearModified();
}

std::vector<platform::CellCycle> ChannelGridCycles(float vZero) {
  const std::string zero = std::to_string(TruncToInt32(vZero));
  return {{kChnRowType, [](const std::string& t) { return NextChannelTypeText(t); }},
          {kChnRowCompress, [](const std::string& t) { return NextAnalogCompressText(t); }},
          {kChnRowAxialZero, [zero](const std::string&) { return zero; }},
          {kChnRowYWeight, [](const std::string&) { return std::string("100"); }}};
}

int32_t TorquePowerSource(double coefficient, int32_t self, int32_t channelCount) {
  int32_t n = TruncToInt32(coefficient);
  if (n == self) n = self - 1;
  return std::clamp(n, 0, std::max(channelCount - 1, 0));
}

std::string ChannelPropertyLine(const CellGrid& channels, int32_t& selected, const LiveConfig& live) {
  const int count = ChannelCount(channels);
  if (count == 0) return {};  // no channel to describe
  const int cols = channels.ColCount();
  if (selected > cols - 1) selected = cols - 2;
  selected = std::max(selected, 0);
  const int s = selected;
  const int col = s + 1;
  const int32_t type = ChannelTypeCode(channels.Cell(col, kChnRowType));
  const double gain = ParseDialogReal(channels.Cell(col, kChnRowPreAmp)).value_or(1.0);
  const auto range = [&](const char* what) {
    return "(0~" + std::to_string(TruncToInt64(static_cast<double>(live.ADMax) / gain)) + ")" + what;
  };
  std::string text;
  switch (type) {
    case 0: text = "交流"; break;
    case 1: text = "直流"; break;
    case 2: text = range("计数"); break;
    case 3: text = range("原始量"); break;
    case 4: text = "K型热电偶"; break;
    case 5: text = "补偿K型热电偶"; break;
    case 6: text = "J型热电偶"; break;
    case 7: text = "补偿J型热电偶"; break;
    case 8: text = "Pt热电阻"; break;
    case 9: text = range("周期"); break;
    case 10: text = "扭矩1"; break;
    case 11: text = "扭矩2"; break;
    case 12: text = "扭矩3"; break;
    case kTorquePowerType: {
      const auto source = [&](int row) {
        const double v = ParseDialogReal(channels.Cell(col, row)).value_or(0.0);
        return channels.Cell(TorquePowerSource(v, s, count) + 1, kChnRowName);
      };
      text = "扭矩功率(= (系数A->)" + source(kChnRowCoeA) + " * (系数B->)" + source(kChnRowCoeB) + " )";
      break;
    }
    default: break;
  }
  return "通道" + std::to_string(s) + ": " + text + "通道; 压缩记录方式：区间" + channels.Cell(col, kChnRowCompress);
}

ChannelGroupRefusal CheckChannelAssignment(CellGrid& groups, int channelCount) {
  const int groupCount = std::max(groups.ColCount() - 1, 0);
  for (int g = 0; g < groupCount; ++g) {
    std::vector<int> owned;
    for (int j = 0; j < channelCount; ++j) {
      if (j == g) owned.push_back(j);
    }
    std::string list;
    for (size_t k = 0; k < owned.size() && k < kMaxGroupListed; ++k) {
      if (k > 0) list += ",";
      list += std::to_string(owned[k]);
    }
    groups.SetCell(g + 1, kGroupRowChannels, list);
    if (owned.size() > static_cast<size_t>(kMaxGroupListed)) {
      return {"组" + std::to_string(g) + "通道太多!", "通道分组错误"};
    }
    if (owned.empty()) return {"组" + std::to_string(g) + "通道太少!", "通道分组错误"};
  }
  return {};
}

ChannelGroupRefusal ApplyChannelGrids(const CellGrid& channels, CellGrid& groups, bool multiFreqMode,
                                      int32_t totalPages, LiveConfig& live) {
  const int n = ChannelCount(channels);
  ChannelGroupRefusal refusal = CheckChannelAssignment(groups, n);
  if (refusal.refused()) return refusal;

  // Everything is read into copies first; the live tables change only when
  // every channel has passed.
  std::vector<AnalogChannel> next(live.AnalogChannelTable.begin(), live.AnalogChannelTable.begin() + n);
  for (int i = 0; i < n; ++i) {
    AnalogChannel& c = next[static_cast<size_t>(i)];
    const int col = i + 1;
    const auto changed = [&](int row) { return channels.Modified(col, row); };
    const auto cell = [&](int row) -> const std::string& { return channels.Cell(col, row); };
    if (changed(kChnRowName)) c.ChnName = platform::FitGbk(cell(kChnRowName), kChannelTextBytes);
    if (changed(kChnRowPageNo)) c.ChnPageNo = IntegerOr(cell(kChnRowPageNo), 0);
    // The page count may have changed since the page was set.
    c.ChnPageNo = std::clamp(c.ChnPageNo, 0, std::max(totalPages - 1, 0));
    if (changed(kChnRowUnits)) c.ChnUnits = platform::FitGbk(cell(kChnRowUnits), kChannelTextBytes);
    for (const auto& [row, field, label] : {std::tuple{kChnRowCoeA, &AnalogChannel::ChnCoeA, "系数A"},
                                            std::tuple{kChnRowCoeB, &AnalogChannel::ChnCoeB, "系数B"}}) {
      if (!changed(row)) continue;
      const std::optional<float> v = FloatOf(cell(row));
      if (!v) {
        return {FieldNotANumberMessage(ColumnName(i) + label, cell(row)), kNotANumberCaption,
                platform::MsgButtons::Ok};
      }
      c.*field = *v;
    }
    if (changed(kChnRowType)) c.ChnIDDC = ChannelTypeCode(cell(kChnRowType));
    if (changed(kChnRowPreAmp)) c.ChnPreAmp = FloatOf(cell(kChnRowPreAmp)).value_or(1.0f);
    if (changed(kChnRowCompress)) c.ChnACompressType = AnalogCompressCode(cell(kChnRowCompress));
    if (changed(kChnRowDigiPoint)) c.ChnDigiPoint = IntegerOr(cell(kChnRowDigiPoint), 0);
    if (changed(kChnRowAxialZero)) {
      c.ChnAxialZero = ParseDialogInteger(cell(kChnRowAxialZero)).value_or(TruncToInt32(live.VZero));
    }
    if (changed(kChnRowYWeight)) c.ChnYWeight = IntegerOr(cell(kChnRowYWeight), 100);
    // Codes and ranges are brought inside their sets whether edited or not, so
    // OK also repairs a value the settings tree brought in; a valid value
    // stays. An unknown code becomes the one its cell shows.
    c.ChnIDDC = ChannelTypeCode(ChannelTypeText(c.ChnIDDC));
    c.ChnACompressType = AnalogCompressCode(AnalogCompressText(c.ChnACompressType));
    c.ChnDigiPoint = std::clamp(c.ChnDigiPoint, 0, 7);
    if (c.ChnAxialZero < 0 || c.ChnAxialZero > 65535) c.ChnAxialZero = TruncToInt32(live.VZero);
    c.ChnYWeight = std::clamp(c.ChnYWeight, 5, 2000);
    if (!multiFreqMode) {
      c.MultiFreq = 1;
    } else if (changed(kChnRowMultiFreq)) {
      const std::string& text = cell(kChnRowMultiFreq);
      const int32_t m = IntegerOr(text, 1);
      const std::optional<double> asReal = ParseDialogReal(text);  // also a number beyond 32 bits
      if (m > kMaxMultiFreq || (asReal && *asReal > kMaxMultiFreq)) {
        return {ColumnName(i) + "的频率加快倍数超过了 " + std::to_string(kMaxMultiFreq), "警告",
                platform::MsgButtons::Ok};
      }
      c.MultiFreq = m <= 0 ? 1 : m;
    } else {
      c.MultiFreq = ClampMultiFreq(c.MultiFreq);
    }
    c.ChnGroupNo = i;
    // Torque power: A and B name the two source channels, among those being
    // stored (the live count may still be the old one, or 0 at a first set-up).
    if (c.ChnIDDC == kTorquePowerType) {
      c.ChnCoeA = static_cast<float>(TorquePowerSource(c.ChnCoeA, i, n));
      c.ChnCoeB = static_cast<float>(TorquePowerSource(c.ChnCoeB, i, n));
    }
  }
  if (n > 0) {
    const auto slowest = std::min_element(next.begin(), next.end(), [](const AnalogChannel& x, const AnalogChannel& y) {
      return x.MultiFreq < y.MultiFreq;
    });
    if (slowest->MultiFreq >= 2) return {"应该至少一通道的频率加快倍数为1", "警告", platform::MsgButtons::Ok};
  }

  std::copy(next.begin(), next.end(), live.AnalogChannelTable.begin());
  const int lineCount = std::min(std::max(groups.ColCount() - 1, 0), kMaxLines);
  for (int j = 0; j < lineCount; ++j) {
    AnalConfig& line = live.LineTable[j];
    if (groups.Modified(j + 1, kGroupRowName)) line.AName = groups.Cell(j + 1, kGroupRowName);
    line.APhaseNum = static_cast<int32_t>(
        std::count_if(next.begin(), next.end(), [j](const AnalogChannel& c) { return c.ChnGroupNo == j; }));
  }
  return {};
}

}  // namespace quelvar
