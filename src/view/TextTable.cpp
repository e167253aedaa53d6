#include "view/TextTable.h"

#include <algorithm>
#include <vector>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "platform/AtomicFile.h"
#include "platform/GbkText.h"
#include "view/DisplayReading.h"

namespace quelvar {

namespace {

// Significant digits and decimals of the time column.
constexpr int kTimePrecision = 7;
constexpr int kTimeDecimals = 2;
// Significant digits of the value cells (those of the text grid) and the
// most decimals a direct value in volts carries.
constexpr int kValuePrecision = 7;
constexpr int kMaxVoltDecimals = 5;

int32_t AnalogCount(const LiveConfig& c) { return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchCount(const LiveConfig& c) { return std::clamp(c.SW_Num, 0, kMaxSwitchInputs); }

// One column: an analog channel or a switch input.
struct Column {
  bool isSwitch = false;
  int32_t index = 0;  // channel number, or switch input
};

// A channel number as the oscilloscope names its traces and pages name their
// entries: analog channels first, then the switch inputs. Numbers beyond
// both give no column.
bool ColumnOfNumber(const LiveConfig& c, int32_t number, Column& column) {
  if (number < 0) return false;
  if (number < AnalogCount(c)) {
    column = {false, number};
    return true;
  }
  const int64_t input = static_cast<int64_t>(number) - AnalogCount(c);
  if (input < 0 || input >= SwitchCount(c)) return false;
  column = {true, static_cast<int32_t>(input)};
  return true;
}

// The channels the last paint drew, in its order. Outside a page an analog
// entry is a display index (AnalogDisplayOrder names its channel); on a page
// it is the channel number itself.
std::vector<Column> ColumnsOfView(const LiveConfig& c, const WaveViewState& view) {
  std::vector<Column> columns;
  const bool pageScope = view.Options.Scope == ChannelScope::Page;
  const int32_t drawn = std::clamp(view.DrawnAnalogCount + view.DrawnSwitchCount, 0, kMaxDisplayPositions);
  const int32_t analog = AnalogCount(c);
  for (int32_t k = 0; k < drawn; ++k) {
    const int32_t key = view.DrawnChannels[static_cast<size_t>(k)];
    if (key < 0) continue;
    if (key < analog) {
      const int32_t channel = pageScope ? key : c.AnalogDisplayOrder[static_cast<size_t>(key)];
      if (channel >= 0 && channel < analog) columns.push_back({false, channel});
    } else if (key - analog < SwitchCount(c)) {
      columns.push_back({true, key - analog});
    }
  }
  return columns;
}

std::vector<Column> ColumnsOfOscilloscope(const LiveConfig& c, const OscilToolSettings& o) {
  std::vector<Column> columns;
  Column column;
  if (o.UseChn1 != 0 && ColumnOfNumber(c, o.ChnAd1, column)) columns.push_back(column);
  if (o.UseChn2 != 0 && ColumnOfNumber(c, o.ChnAD2, column)) columns.push_back(column);
  return columns;
}

std::string UnitCell(const LiveConfig& c, const Column& column, GridMode mode) {
  if (column.isSwitch) return "[开关量]";
  switch (mode) {
    case GridMode::Hex: return "[原始值]";
    case GridMode::DirectValue: return "[直接AD]V";
    case GridMode::Engineering: break;
  }
  return c.AnalogChannelTable[static_cast<size_t>(column.index)].ChnUnits;
}

std::string HeaderRows(const LiveConfig& c, const std::vector<Column>& columns, GridMode mode) {
  std::string text = "时间\t通道名：";
  for (const Column& column : columns) {
    text += '\t';
    text += column.isSwitch ? c.SwitchChannelTable[static_cast<size_t>(column.index)].SWName
                            : c.AnalogChannelTable[static_cast<size_t>(column.index)].ChnName;
  }
  text += "\r\n(ms)\t点\\单位：";
  for (const Column& column : columns) text += '\t' + UnitCell(c, column, mode);
  return text;
}

void AppendAnalogCell(ChannelValueSource& source, GridMode mode, int32_t channel, int64_t point, std::string& row) {
  row += '\t';
  const LiveConfig& c = source.config;
  uint16_t code = 0;
  if (!ReadDisplayWord(source.display, LocatePoint(source.display, source.layout, c.NumSamp, channel, point), code))
    return;
  switch (mode) {
    case GridMode::Hex: row += std::to_string(code); break;
    case GridMode::DirectValue:
      row += DirectValueText(c, c.AnalogChannelTable[static_cast<size_t>(channel)], code);
      break;
    case GridMode::Engineering: row += EngineeringValueText(source, channel, point, code); break;
  }
}

// A switch input reads high or low in every mode.
void AppendSwitchCell(const ChannelValueSource& source, int32_t input, int64_t point, std::string& row) {
  row += '\t';
  const SwitchBit bit = SwitchBitOf(source.config.Analog_Num, input);
  uint16_t word = 0;
  if (!ReadDisplayWord(source.display,
                       LocatePoint(source.display, source.layout, source.config.NumSamp, bit.word, point), word))
    return;
  row += SwitchIsHigh(word, bit.bit) ? "高电平" : "低电平";
}

// The shown points that lie in the data: [first, end).
struct RowRange {
  int64_t first = 0;
  int64_t end = 0;
  int64_t Count() const { return std::max<int64_t>(end - first, 0); }
};

RowRange RowsOfView(const TextTableSource& source) {
  const DisplayDescriptor& d = source.values.display;
  if (d.DispValid != 1 || d.DispPoints <= 0 || d.DispRows <= 0) return {};
  const int32_t maxMultiFreq = std::clamp(source.values.layout.MaxMultiFreq, 1, kMaxMultiFreq);
  const int64_t points = std::min<int64_t>(d.DispPoints, static_cast<int64_t>(d.DispRows) * maxMultiFreq);
  const int64_t first = std::max<int64_t>(source.view.XPosition, 0);
  const int64_t end =
      std::min<int64_t>(static_cast<int64_t>(source.view.XPosition) + std::max(source.view.DisplayWidth, 0), points);
  return {first, end};
}

// The longest text FormatFixed gives with `precision` significant digits and
// `decimals` decimals: sign, digits, point and decimals, "0." and the
// decimals below 1, or sign, mantissa, "E", exponent sign and 4 digits.
int64_t FixedTextBound(int precision, int decimals) { return precision + decimals + 8; }

// The longest cell of `column` with its leading TAB.
int64_t CellBound(const LiveConfig& c, const Column& column, GridMode mode) {
  constexpr int64_t kCodeDigits = 5;  // a 16-bit code in decimal
  if (column.isSwitch) return 1 + static_cast<int64_t>(std::string_view("低电平").size());
  switch (mode) {
    case GridMode::Hex: return 1 + kCodeDigits;
    case GridMode::DirectValue: return 1 + std::max(kCodeDigits, FixedTextBound(kValuePrecision, kMaxVoltDecimals));
    case GridMode::Engineering: break;
  }
  const int32_t decimals = std::clamp(c.AnalogChannelTable[static_cast<size_t>(column.index)].ChnDigiPoint, 0, 18);
  return 1 + FixedTextBound(kValuePrecision, decimals);
}

int64_t TableSizeBound(const TextTableSource& source, const TextTableMenus& menus, const std::vector<Column>& columns) {
  const RowRange rows = RowsOfView(source);
  const LiveConfig& c = source.values.config;
  // CR LF, the time, TAB and the point number.
  int64_t row = 2 + FixedTextBound(kTimePrecision, kTimeDecimals) + 1 +
                static_cast<int64_t>(std::to_string(std::max<int64_t>(rows.end, 0)).size());
  for (const Column& column : columns) row += CellBound(c, column, menus.Mode);
  return static_cast<int64_t>(HeaderRows(c, columns, menus.Mode).size()) + rows.Count() * row;
}

// Writes the table of `columns` over the shown points.
int64_t EmitTable(TextTableSource& source, const TextTableMenus& menus, const std::vector<Column>& columns,
                  const TextTableSink& sink, const TextTableProgress& progress) {
  ChannelValueSource& values = source.values;
  const DisplayDescriptor& d = values.display;
  if (d.DispValid != 1 || d.DispPoints <= 0 || d.DispRows <= 0) return 0;
  const LiveConfig& c = values.config;
  const int32_t maxMultiFreq = std::clamp(values.layout.MaxMultiFreq, 1, kMaxMultiFreq);
  // Display points follow at the fastest channel's rate: with channels at a
  // multiple of the base rate, the base rate would stretch every time.
  const float rate = maxMultiFreq > 1 ? values.layout.MaxChannelRate : c.ChannelRate;
  const int64_t origin = TimeOriginPoint(d, c.NumSamp, maxMultiFreq);
  const int64_t compressedStart = CompressedStartPoint(d, c.NumSamp, maxMultiFreq);
  const int64_t blockOffset = static_cast<int64_t>(d.DispFirstBlock) * c.NumSamp * maxMultiFreq;

  // Only the shown points that lie in the data have rows.
  const RowRange rows = RowsOfView(source);
  const int64_t first = rows.first;
  const int64_t end = rows.end;
  const int64_t total = rows.Count();

  std::string piece = HeaderRows(c, columns, menus.Mode);
  if (progress) progress(0, total);
  int rowsInPiece = 0;
  for (int64_t p = first; p < end; ++p) {
    const int64_t position = SamplePositionOfPoint(d, compressedStart, p);
    piece += "\r\n";
    piece += FormatFixed(TimeMsOfPosition(position, origin, rate), kTimePrecision, kTimeDecimals);
    piece += '\t';
    piece += std::to_string(p + 1);
    // Thermocouple columns use the room temperature of their own row.
    RefreshColdJunctionAt(values, p + blockOffset, maxMultiFreq);
    for (const Column& column : columns) {
      if (column.isSwitch) AppendSwitchCell(values, column.index, p, piece);
      else AppendAnalogCell(values, menus.Mode, column.index, p, piece);
    }
    if (++rowsInPiece == kTextTableRowsPerPiece) {
      sink(piece);
      piece.clear();
      rowsInPiece = 0;
    }
    const int64_t done = p - first + 1;
    if (progress && done % kTextTableProgressRows == 0 && done != total) progress(done, total);
  }
  if (!piece.empty()) sink(piece);
  if (progress) progress(total, total);
  return total;
}

}  // namespace

int64_t TextTableOfView(TextTableSource& source, const TextTableMenus& menus, const TextTableSink& sink,
                        const TextTableProgress& progress) {
  if (menus.Oscilloscope) return TextTableOfOscilloscope(source, menus, sink, progress);
  if (source.values.display.DispValid != 1) return 0;
  return EmitTable(source, menus, ColumnsOfView(source.values.config, source.view), sink, progress);
}

int64_t TextTableOfOscilloscope(TextTableSource& source, const TextTableMenus& menus, const TextTableSink& sink,
                                const TextTableProgress& progress) {
  if (source.values.display.DispValid != 1) return 0;
  return EmitTable(source, menus, ColumnsOfOscilloscope(source.values.config, source.oscil), sink, progress);
}

int64_t TextTableSizeBound(const TextTableSource& source, const TextTableMenus& menus) {
  if (source.values.display.DispValid != 1) return 0;
  const LiveConfig& c = source.values.config;
  return TableSizeBound(source, menus,
                        menus.Oscilloscope ? ColumnsOfOscilloscope(c, source.oscil) : ColumnsOfView(c, source.view));
}

std::string TextTableText(TextTableSource& source, const TextTableMenus& menus, const TextTableProgress& progress) {
  std::string text;
  TextTableOfView(source, menus, [&](std::string_view piece) { text.append(piece); }, progress);
  return text;
}

int WriteTextTableFile(const std::filesystem::path& file, TextTableSource& source, const TextTableMenus& menus,
                       int32_t runState, const std::string& comment, const TextTableProgress& progress) {
  if (runState != 0 || source.values.display.DispValid != 1) return 0;
  platform::StreamedUserFile out(file);
  std::string error;
  if (!out.Open(error)) return 0;
  out.Write(platform::Utf8ToGbk(comment + "\r\r\n"));
  // Every piece ends at a row boundary, so no character is split.
  TextTableOfView(source, menus, [&](std::string_view piece) { out.Write(platform::Utf8ToGbk(piece)); }, progress);
  return out.Commit(error) ? 1 : 0;
}

}  // namespace quelvar
