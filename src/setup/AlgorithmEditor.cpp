#include "setup/AlgorithmEditor.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>

#include "common/ChannelVocabularies.h"
#include "common/NumberFormat.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

// Significant digits of the program's fixed-point texts of single floats.
constexpr int kFloatDigits = 7;

// The channel type tags of the four places that name a channel, by ChnIDDC
// 0..8; types 9 to 13 have none.
constexpr std::array<std::string_view, 9> kDetailTags = {"[交] ",  "[直] ",    "[计] ",   "[原始] ", "[K-TC] ",
                                                         "[K-TC_C] ", "[J-TC] ", "[J-TC_C] ", "[Pt] "};
constexpr std::array<std::string_view, 9> kTypingTags = {"[交] ",  "[直] ",   "[计] ",  "[原始] ", "[KTC] ",
                                                         "[KTC_C] ", "[JTC] ", "[JTC_C] ", "[Pt] "};
constexpr std::array<std::string_view, 9> kSummaryTags = {" [交流]", " [直流]",   " [计数]", " [原始量]", " [KTC]",
                                                          " [KTC_C]", " [JTC]", " [JTC_C]", " [Pt]"};
constexpr std::array<std::string_view, 9> kLookupWords = {"交]",    "直]",      "计数]", "原始量]", "K热偶]",
                                                          "补偿K热偶]", "J热偶]", "补偿J热偶]", "Pt电阻]"};

// The label of the associated switch-input list in the summary.
constexpr const char* kSummarySwitchLabel = "开关量通道：";

std::string_view Tag(const std::array<std::string_view, 9>& tags, int32_t code) {
  return code >= 0 && code < static_cast<int32_t>(tags.size()) ? tags[static_cast<size_t>(code)] : std::string_view{};
}

// The analog channels and switch inputs a number may name: the counts, never
// beyond the tables whatever the counts say.
int32_t AnalogCount(const LiveConfig& live) { return std::clamp(live.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchCount(const LiveConfig& live) { return std::clamp(live.SW_Num, 0, kMaxSwitchInputs); }

bool IsAnalog(int32_t channel, const LiveConfig& live) { return channel >= 0 && channel < AnalogCount(live); }

const AlgorithmTypeInfo& TypeOf(const AlgorithmConfig& record) {
  // Records are sanitised where they enter; this only keeps a stray one inside the table.
  const int32_t type = record.Type >= 0 && record.Type < kAlgorithmTypeCount ? record.Type : 0;
  return AlgorithmTypeTable[static_cast<size_t>(type)];
}

// A set point: a real number as the dialogs read them, within a float.
std::optional<float> ParseSetPoint(std::string_view text) {
  const std::optional<double> value = ParseDialogReal(text);
  if (!value || std::fabs(*value) > FLT_MAX) return std::nullopt;
  return static_cast<float>(*value);
}

// The field name of a refusal: the name column's text without its colon.
std::string FieldName(std::string_view label) {
  if (label.ends_with(":")) label.remove_suffix(1);
  return std::string(label);
}

// An associated list read from its four cells: empty and non-integer cells
// are passed over; a number is taken once, inside 0..limit-1 and not one of
// `excluded`.
template <typename Excluded>
int32_t ReadAssociated(const platform::CellGrid& detail, int firstRow, int32_t limit, Excluded excluded,
                       int32_t (&out)[kAlgorithmAssociated]) {
  int32_t count = 0;
  for (int j = 0; j < kAlgorithmAssociated; ++j) {
    const std::optional<int32_t> value = ParseDialogInteger(detail.Cell(1, firstRow + j));
    if (!value || *value < 0 || *value >= limit || excluded(*value)) continue;
    if (std::find(out, out + count, *value) != out + count) continue;
    out[count++] = *value;
  }
  return count;
}

std::string JoinedList(const int32_t (&values)[kAlgorithmAssociated], int32_t count) {
  std::string text;
  for (int32_t j = 0; j < std::clamp(count, 0, kAlgorithmAssociated); ++j) {
    if (j > 0) text += ",";
    text += std::to_string(values[j]);
  }
  return text;
}

}  // namespace

void LoadWorkCopy(const LiveConfig& live, AlgorithmWorkCopy& work) {
  work.WorkAlgorithmNum = std::clamp(live.Algorithm_Num, 0, kMaxAlgorithms);
  work.WorkAlgorithmTable = live.AlgorithmTable;
}

int32_t WorkingCountFromText(std::string_view text, int32_t liveCount) {
  return std::clamp(ParseDialogInteger(text).value_or(liveCount), 0, kMaxAlgorithms);
}

void BuildAlgorithmList(const AlgorithmWorkCopy& work, platform::CellGrid& list) {
  const int32_t count = std::clamp(work.WorkAlgorithmNum, 0, kMaxAlgorithms);
  list.SetFixed(1, 1);
  list.SetRowCount(3);
  list.SetColCount(count == 0 ? 2 : count + 1);
  list.SetCell(0, 0, "算法序号");
  list.SetCell(0, 1, "算法名称");
  list.SetCell(0, 2, "算法类型");
  if (count == 0) list.ClearCol(1);
  for (int32_t k = 0; k < count; ++k) {
    const AlgorithmConfig& record = work.WorkAlgorithmTable[static_cast<size_t>(k)];
    list.SetCell(k + 1, 0, std::to_string(k));
    list.SetCell(k + 1, 1, platform::ReadGbkField(record.Name, sizeof record.Name));
    list.SetCell(k + 1, 2, std::string(TypeOf(record).Name));
  }
}

int32_t AlgorithmOfListColumn(const platform::CellGrid& list, int col) {
  const std::optional<int32_t> shown = ParseDialogInteger(list.Cell(col, 0));
  if (shown && *shown >= 0 && *shown < kMaxAlgorithms) return *shown;
  return std::max(col - 1, 0);
}

int ListColumnOfAlgorithm(const platform::CellGrid& list, int32_t algorithm) {
  for (int col = list.FixedCols(); col < list.ColCount(); ++col) {
    if (ParseDialogInteger(list.Cell(col, 0)) == algorithm) return col;
  }
  return -1;
}

void KeepCurrentInList(const platform::CellGrid& list, AlgorithmWorkCopy& work) {
  if (work.CurrentAlgorithmIndex < 0 || work.CurrentAlgorithmIndex >= list.ColCount() - 1) {
    work.CurrentAlgorithmIndex = 0;
  }
}

AlgorithmDetailRows DetailRowsOf(const AlgorithmConfig& record) {
  const AlgorithmTypeInfo& type = TypeOf(record);
  return {type.UsedChn, type.SetPointNum};
}

std::string AlgorithmNumberLabel(int32_t index) { return std::to_string(index) + "号启动算法:"; }

std::string InputChannelRemark(int32_t channel, const LiveConfig& live) {
  if (!IsAnalog(channel, live)) return kBadChannelRemark;
  const AnalogChannel& c = live.AnalogChannelTable[static_cast<size_t>(channel)];
  return std::string(Tag(kDetailTags, c.ChnIDDC)) + c.ChnName;
}

void BuildAlgorithmDetail(const AlgorithmConfig& record, const LiveConfig& live, platform::CellGrid& detail) {
  const AlgorithmTypeInfo& type = TypeOf(record);
  const AlgorithmDetailRows rows = DetailRowsOf(record);
  detail.SetFixed(1, 1);
  detail.SetColCount(3);
  detail.SetRowCount(rows.RowCount());
  const auto line = [&detail](int row, std::string name, std::string value, std::string remark) {
    detail.SetCell(0, row, std::move(name));
    detail.SetCell(1, row, std::move(value));
    detail.SetCell(2, row, std::move(remark));
  };
  line(0, "参数名称", "参数值", "补充说明");
  line(1, "", "输入通道号:", "通道属性、名称");
  for (int i = 0; i < rows.C; ++i) {
    line(rows.InputRow(i), std::string(type.ChnRole[static_cast<size_t>(i)]), std::to_string(record.Channel[i]),
         InputChannelRemark(record.Channel[i], live));
  }
  line(rows.SetPointHeadRow(), "", "输入整定值:", "整定值范围:");
  for (int i = 0; i < rows.S; ++i) {
    line(rows.SetPointRow(i), std::string(type.SetPointName[static_cast<size_t>(i)]),
         FormatFixed(record.SetPoint[i], kFloatDigits, 2), SetPointRangeText(type, i));
  }
  line(rows.TimesHeadRow(), "", "输入记录时间:", "缺省值:");
  line(rows.PreRecordRow(), "故障前时间:", std::to_string(record.PreRecordTime),
       std::to_string(type.PreRecordTime) + "ms");
  line(rows.RecordRow(), "故障后时间:", std::to_string(record.RecordTime), std::to_string(type.RecordTime) + "ms");
  line(rows.CompressRecordRow(), "压缩记录时间:", std::to_string(record.CompressRecordTime),
       std::to_string(type.CompressRecordTime) + "ms");
  line(rows.AssAnalogHeadRow(), "", "关联模拟通道:", "通道名");
  for (int j = 0; j < kAlgorithmAssociated; ++j) {
    line(rows.AssAnalogRow(j), "模拟通道" + std::to_string(j),
         j < record.AssAnalogChnNum ? std::to_string(record.AssAnalogChn[j]) : std::string(), "");
  }
  line(rows.AssSwitchHeadRow(), "", "关联开关量通道:", "通道名");
  for (int j = 0; j < kAlgorithmAssociated; ++j) {
    line(rows.AssSwitchRow(j), "开关通道" + std::to_string(j),
         j < record.AssSWChnNum ? std::to_string(record.AssSWChn[j]) : std::string(), "");
  }
  detail.ClearModified();
}

std::optional<std::string> LiveDetailRemark(const AlgorithmConfig& record, const LiveConfig& live, int row,
                                            std::string_view text) {
  const AlgorithmDetailRows rows = DetailRowsOf(record);
  const bool input = row >= rows.InputRow(0) && row < rows.InputRow(rows.C);
  const bool analog = row >= rows.AssAnalogRow(0) && row < rows.AssAnalogRow(kAlgorithmAssociated);
  const bool sw = row >= rows.AssSwitchRow(0) && row < rows.AssSwitchRow(kAlgorithmAssociated);
  if (!input && !analog && !sw) return std::nullopt;
  const std::optional<int32_t> number = ParseDialogInteger(text);
  if (!number) return std::string(kIllegalChannelRemark);
  if (sw) {
    if (*number < 0 || *number >= SwitchCount(live)) return std::string(kIllegalChannelRemark);
    return live.SwitchChannelTable[static_cast<size_t>(*number)].SWName;
  }
  if (!IsAnalog(*number, live)) return std::string(kIllegalChannelRemark);
  const AnalogChannel& c = live.AnalogChannelTable[static_cast<size_t>(*number)];
  return std::string(Tag(kTypingTags, c.ChnIDDC)) + c.ChnName + ": *" + FormatFixed(c.ChnCoeB, kFloatDigits, 2) +
         c.ChnUnits;
}

bool ChooseAlgorithmType(AlgorithmConfig& record, std::string_view boxText, int boxIndex) {
  int type = FindAlgorithmType(boxText);
  if (type < 0) type = boxIndex;
  if (type < 0 || type >= kAlgorithmTypeCount) return false;
  const AlgorithmTypeInfo& info = AlgorithmTypeTable[static_cast<size_t>(type)];
  record.Type = type;
  record.UsedChn = info.UsedChn;
  record.SetPointNum = info.SetPointNum;
  record.PreRecordTime = info.PreRecordTime;
  record.RecordTime = info.RecordTime;
  record.CompressRecordTime = info.CompressRecordTime;
  record.AssAnalogChnNum = 0;
  record.AssSWChnNum = 0;
  std::fill(std::begin(record.AssAnalogChn), std::end(record.AssAnalogChn), 0);
  std::fill(std::begin(record.AssSWChn), std::end(record.AssSWChn), 0);
  return true;
}

DetailParseResult ParseAlgorithmDetail(const platform::CellGrid& detail, const LiveConfig& live,
                                       AlgorithmConfig& record) {
  const AlgorithmTypeInfo& type = TypeOf(record);
  const AlgorithmDetailRows rows = DetailRowsOf(record);
  AlgorithmConfig parsed = record;
  const auto changed = [&detail](int row) { return detail.Modified(1, row); };
  bool inputChanged = false;

  for (int i = 0; i < rows.C; ++i) {
    if (!changed(rows.InputRow(i))) continue;
    const std::optional<int32_t> channel = ParseDialogInteger(detail.Cell(1, rows.InputRow(i)));
    parsed.Channel[i] = channel && IsAnalog(*channel, live) ? *channel : 0;
    // The settings tree keeps only the record's own count of channels.
    parsed.UsedChn = std::max(parsed.UsedChn, i + 1);
    inputChanged = true;
  }
  for (int i = 0; i < rows.S; ++i) {
    const int row = rows.SetPointRow(i);
    if (!changed(row)) continue;
    const std::string& text = detail.Cell(1, row);
    const std::optional<float> value = ParseSetPoint(text);
    if (!value) return {FieldNotANumberMessage(FieldName(type.SetPointName[static_cast<size_t>(i)]), text)};
    parsed.SetPoint[i] = *value;
    parsed.SetPointNum = std::max(parsed.SetPointNum, i + 1);
  }
  const std::pair<int, int32_t AlgorithmConfig::*> times[] = {{rows.PreRecordRow(), &AlgorithmConfig::PreRecordTime},
                                                               {rows.RecordRow(), &AlgorithmConfig::RecordTime},
                                                               {rows.CompressRecordRow(),
                                                                &AlgorithmConfig::CompressRecordTime}};
  for (const auto& [row, field] : times) {
    if (!changed(row)) continue;
    const std::string& text = detail.Cell(1, row);
    const std::string name = FieldName(detail.Cell(0, row));
    const std::optional<int32_t> value = ParseDialogInteger(text);
    if (!value) return {name + ": " + NotAnIntegerMessage(text)};
    if (*value < 0) return {name + ": '" + text + "' 不能为负数!"};
    parsed.*field = *value;
  }

  const auto anyChanged = [&changed](int firstRow) {
    for (int j = 0; j < kAlgorithmAssociated; ++j) {
      if (changed(firstRow + j)) return true;
    }
    return false;
  };
  if (inputChanged || anyChanged(rows.AssAnalogRow(0))) {
    // An input channel of the algorithm is never associated with it as well.
    const auto isInput = [&parsed, &rows](int32_t channel) {
      return std::find(parsed.Channel, parsed.Channel + rows.C, channel) != parsed.Channel + rows.C;
    };
    parsed.AssAnalogChnNum =
        ReadAssociated(detail, rows.AssAnalogRow(0), AnalogCount(live), isInput, parsed.AssAnalogChn);
  }
  if (anyChanged(rows.AssSwitchRow(0))) {
    parsed.AssSWChnNum =
        ReadAssociated(detail, rows.AssSwitchRow(0), SwitchCount(live), [](int32_t) { return false; }, parsed.AssSWChn);
  }
  record = parsed;
  return {};
}

AlgorithmOkOutcome ApplyAlgorithmEditor(const AlgorithmWorkCopy& work, const AlgorithmOkFields& f, LiveConfig& live) {
  const int32_t count = std::clamp(work.WorkAlgorithmNum, 0, kMaxAlgorithms);
  live.Algorithm_Num = count;
  std::copy_n(work.WorkAlgorithmTable.begin(), count, live.AlgorithmTable.begin());
  live.IDStartBin = f.startBin ? 1 : 0;
  live.IDStartAnalog = f.startAnalog ? 1 : 0;
  live.IDPreventSameAlgorithm = f.preventSame ? 1 : 0;
  const auto limit = [](std::string_view text) {
    const int32_t value = ParseDialogInteger(text).value_or(0);
    return value < 1 ? 0 : value;
  };
  live.TriggerUpNum = limit(f.triggerUpNum);
  live.TriggerTimeRange = limit(f.triggerTimeRange);
  live.ConfirmTriggerNum = std::clamp(ParseDialogInteger(f.triggerNum).value_or(1), 1, 10);
  return {live.TriggerUpNum, live.TriggerTimeRange};
}

std::string AlgorithmSummaryText(const AlgorithmWorkCopy& work, const LiveConfig& live) {
  std::string text = "录波启动算法一览表:\r\n";
  const int32_t count = std::clamp(work.WorkAlgorithmNum, 0, kMaxAlgorithms);
  for (int32_t k = 0; k < count; ++k) {
    const AlgorithmConfig& a = work.WorkAlgorithmTable[static_cast<size_t>(k)];
    const AlgorithmTypeInfo& type = TypeOf(a);
    text += "\r\n第" + std::to_string(k) + "号算法: [类型]" + std::string(type.Name) + "\r\n";
    text += "  启动依据通道:\r\n";
    for (int i = 0; i < type.UsedChn; ++i) {
      const int32_t n = a.Channel[i];
      text += "   " + std::string(type.ChnRole[static_cast<size_t>(i)]) + ": [第" + std::to_string(n) + "通道]";
      if (IsAnalog(n, live)) {
        const AnalogChannel& c = live.AnalogChannelTable[static_cast<size_t>(n)];
        text += c.ChnName + std::string(Tag(kSummaryTags, c.ChnIDDC)) + ", 采集结果= AD读数 * " +
                FormatFixed(c.ChnCoeB, kFloatDigits, 2) + " " + c.ChnUnits;
      } else {
        text += kBadChannelRemark;
      }
      text += "\r\n";
    }
    text += "\r\n  启动整定值:";
    for (int i = 0; i < type.SetPointNum; ++i) {
      text += "\r\n   " + std::string(type.SetPointName[static_cast<size_t>(i)]) + "=" +
              FormatFixed(a.SetPoint[i], kFloatDigits, 2) + " " + std::string(type.SetPointUnit[static_cast<size_t>(i)]) +
              "\r\n";
    }
    text += "\r\n  记录时间:";
    text += "\r\n   故障前 " + std::to_string(a.PreRecordTime) + "ms, 故障后 " + std::to_string(a.RecordTime) +
            "ms, 故障后压缩记录 " + std::to_string(a.CompressRecordTime) + "ms\r\n";
    text += "\r\n  关联模拟通道数：" + std::to_string(a.AssAnalogChnNum) + "\r\n      模拟通道：" +
            JoinedList(a.AssAnalogChn, a.AssAnalogChnNum);
    text += "\r\n  关联开关量通道数：" + std::to_string(a.AssSWChnNum) + "\r\n      " + kSummarySwitchLabel +
            JoinedList(a.AssSWChn, a.AssSWChnNum);
  }
  return text;
}

std::string AnalogLookupEntry(int32_t index, const AnalogChannel& channel) {
  std::string word(Tag(kLookupWords, channel.ChnIDDC));
  // Types without a word of their own show their type name.
  if (word.empty() && channel.ChnIDDC >= 0 && channel.ChnIDDC <= 13) word = ChannelTypeText(channel.ChnIDDC) + "]";
  if (word.empty()) word = "]";
  return std::to_string(index) + ": " + channel.ChnName + " [" + word;
}

void TakeFileRecords(const std::vector<AlgorithmConfig>& records, AlgorithmWorkCopy& work) {
  const size_t count = std::min(records.size(), static_cast<size_t>(kMaxAlgorithms));
  std::copy_n(records.begin(), count, work.WorkAlgorithmTable.begin());
  work.WorkAlgorithmNum = static_cast<int32_t>(count);
}

}  // namespace quelvar
