#include "view/TextGrid.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "common/NumberFormat.h"
#include "view/DisplayLayout.h"
#include "view/DisplayReading.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

// Significant digits of every number in the grid.
constexpr int kGridPrecision = 7;
// Decimals of the time row and exponent digits of its general form.
constexpr int kTimeDigits = 4;
// Cards of more than 12 bits resolve a tenth of a millivolt more.
constexpr int32_t kFineCardBits = 12;
constexpr int kFineVoltDecimals = 5;
constexpr int kVoltDecimals = 4;

int32_t AnalogCount(const LiveConfig& c) { return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchCount(const LiveConfig& c) { return std::clamp(c.SW_Num, 0, kMaxSwitchInputs); }

// Each analog channel by display index, lines in order: (index, channel).
template <typename Visit>
void ForEachAnalogPosition(const LiveConfig& c, Visit visit) {
  const int32_t lines = std::clamp(c.Total_Line, 0, kMaxLines);
  const int32_t analog = AnalogCount(c);
  for (int32_t line = 0; line < lines; ++line) {
    for (int32_t d = std::max(c.LineFirstChannel[line], 0); d < c.LineFirstChannel[line + 1] && d < analog; ++d) {
      const int32_t channel = c.AnalogDisplayOrder[d];
      if (channel < 0 || channel >= analog) continue;
      visit(d, channel);
    }
  }
}

// Grid row of the entry at order index `entry`.
int RowOfEntry(const LiveConfig& c, int32_t entry) {
  if (entry < 0 || entry >= kMaxDisplayPositions) return -1;
  const int32_t position = c.GridOrder[static_cast<size_t>(entry)];
  // An order not yet made a permutation must not write over the headings.
  return position < 0 ? -1 : position + kTextGridFixedRows;
}

std::string UnitText(const AnalogChannel& channel, GridMode mode) {
  switch (mode) {
    case GridMode::Engineering: return channel.ChnUnits;
    case GridMode::DirectValue: return "直接AD";
    case GridMode::Hex: return "Hex";
  }
  return {};
}

std::string HexCode(uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(code));
  return text;
}

// Types whose direct value is the code itself (counts, codes, periods, products).
bool DirectValueIsCode(int32_t type) {
  return type == kChannelCounter || type == kChannelRawCode || type == kChannelPeriod || type == kChannelTorquePower;
}

std::string PositionText(int32_t n) { return std::to_string(n); }

}  // namespace

int32_t TextGridColumnsFor(int gridWidth, int defaultColWidth) {
  return std::max(gridWidth / std::max(defaultColWidth, 1) - kTextGridFixedCols, kMinTextGridColumns);
}

std::string DirectValueText(const LiveConfig& config, const AnalogChannel& channel, uint16_t code) {
  if (DirectValueIsCode(channel.ChnIDDC)) return std::to_string(code);
  const int decimals = config.ADBit > kFineCardBits ? kFineVoltDecimals : kVoltDecimals;
  return FormatFixed(VoltsOfWord(code, config.VZero, config.ADMax), kGridPrecision, decimals);
}

std::string EngineeringValueText(ChannelValueSource& source, int32_t channel, int64_t point, uint16_t code) {
  const LiveConfig& c = source.config;
  if (channel < 0 || channel >= AnalogCount(c)) return {};
  const AnalogChannel& record = c.AnalogChannelTable[static_cast<size_t>(channel)];
  double value = 0.0;
  if (record.ChnIDDC == kChannelTorquePower) {
    // The product is taken at the channel's own sample of this point.
    const int64_t own = SubSampleOfPoint(point, source.layout.MultiFreqTable[static_cast<size_t>(channel)],
                                         std::max(source.layout.MaxMultiFreq, 1));
    value = ValueAtPoint(source, own, channel);
  } else {
    value = RawToEngineering(c, source.torque, record, code);
  }
  return FormatFixed(value, kGridPrecision, std::clamp(record.ChnDigiPoint, 0, 18));
}

int32_t GridFirstPointFor(int32_t position, int32_t dispPoints, int32_t gridColumns) {
  const int64_t last = static_cast<int64_t>(dispPoints) - gridColumns;
  return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(position, last), 0));
}

void BuildTextGridFrame(LiveConfig& c, int32_t gridColumns, bool engineeringUnits, platform::CellGrid& grid) {
  const int32_t entries = AnalogCount(c) + SwitchCount(c);
  grid.SetColCount(gridColumns + 3);
  grid.SetRowCount(entries + kTextGridFixedRows);
  grid.SetFixed(kTextGridFixedCols, kTextGridFixedRows);
  for (int row = 0; row < grid.RowCount(); ++row) grid.ClearRow(row);
  // Only the position column takes typing; the data are the program's.
  for (int row = kTextGridFixedRows; row < grid.RowCount(); ++row) {
    for (int col = kTextGridFixedCols; col < grid.ColCount(); ++col) grid.SetReadOnly(col, row, col != gridColumns + 2);
  }
  NormalizeDisplayOrder(c.GridOrder, entries);
  grid.SetCell(0, 0, "  \\时间");
  grid.SetCell(1, 0, "(ms)");
  grid.SetCell(0, 1, "通道");
  grid.SetCell(1, 1, "单位\\点");
  ForEachAnalogPosition(c, [&](int32_t d, int32_t channel) {
    const AnalogChannel& record = c.AnalogChannelTable[channel];
    grid.SetCell(0, RowOfEntry(c, d), record.ChnName);
    grid.SetCell(1, RowOfEntry(c, d), engineeringUnits ? record.ChnUnits : std::string("Hex"));
  });
  // The switch inputs follow the analog channels the lines hold.
  int64_t analogRows = 0;
  for (int32_t line = 0; line < std::clamp(c.Total_Line, 0, kMaxLines); ++line) {
    analogRows += std::clamp(c.LineTable[line].APhaseNum, 0, kMaxAnalogChannels);
  }
  for (int32_t s = 0; s < SwitchCount(c) && analogRows + s < kMaxDisplayPositions; ++s) {
    const int row = RowOfEntry(c, static_cast<int32_t>(analogRows + s));
    grid.SetCell(0, row, c.SwitchChannelTable[s].SWName);
    grid.SetCell(1, row, "开关量");
  }
  const int positionCol = gridColumns + 2;
  grid.SetCell(positionCol, 0, "显示顺序");
  grid.SetCell(positionCol, 1, "(行)");
  for (int32_t n = 0; n < entries; ++n) grid.SetCell(positionCol, n + kTextGridFixedRows, PositionText(n));
}

void FillTextGrid(ChannelValueSource& source, const TextGridView& view, platform::CellGrid& grid) {
  const DisplayDescriptor& d = source.display;
  if (d.DispValid != 1 || d.DispPoints <= 0) return;
  LiveConfig& c = source.config;
  const SampleLayout& layout = source.layout;
  const int32_t analog = AnalogCount(c);
  const int32_t switches = std::min(SwitchCount(c), kMaxDisplayPositions - analog);
  const int32_t maxMultiFreq = std::max(layout.MaxMultiFreq, 1);
  const int64_t origin = TimeOriginPoint(d, c.NumSamp, maxMultiFreq);
  const int64_t compressedStart = CompressedStartPoint(d, c.NumSamp, maxMultiFreq);

  ForEachAnalogPosition(c, [&](int32_t index, int32_t channel) {
    const AnalogChannel& record = c.AnalogChannelTable[channel];
    grid.SetCell(0, RowOfEntry(c, index), record.ChnName);
    grid.SetCell(1, RowOfEntry(c, index), UnitText(record, view.Mode));
  });
  for (int32_t s = 0; s < switches; ++s) {
    grid.SetCell(0, RowOfEntry(c, analog + s), c.SwitchChannelTable[s].SWName);
    grid.SetCell(1, RowOfEntry(c, analog + s), "开关量");
  }
  const int positionCol = view.GridColumns + 2;
  for (int32_t n = 0; n < analog + switches; ++n) grid.SetCell(positionCol, n + kTextGridFixedRows, PositionText(n));

  // The sample each channel last showed: a slower channel's sample is
  // written only in the first column that reaches it.
  std::array<SampleWord, kMaxAnalogChannels> shown;
  shown.fill(SampleWord{-1, 0});
  const int64_t blockOffset = static_cast<int64_t>(d.DispFirstBlock) * c.NumSamp * maxMultiFreq;
  const int32_t columns = std::min(view.GridColumns, d.DispPoints);
  for (int32_t col = 1; col <= columns; ++col) {
    // 1-based point number, kept inside the data.
    const int64_t q = (static_cast<int64_t>(view.GridFirstPoint) + col - 1) % d.DispPoints;
    const int64_t p = q < 0 ? q + d.DispPoints : q;
    const int cell = col + 1;
    RefreshColdJunctionAt(source, p + blockOffset, maxMultiFreq);

    ForEachAnalogPosition(c, [&](int32_t index, int32_t channel) {
      const int row = RowOfEntry(c, index);
      const SampleWord at = LocatePoint(d, layout, c.NumSamp, channel, p);
      SampleWord& last = shown[static_cast<size_t>(channel)];
      if (at.row == last.row && at.word == last.word) {
        grid.SetCell(cell, row, "");
        return;
      }
      last = at;
      uint16_t code = 0;
      if (!ReadDisplayWord(d, at, code)) {
        grid.SetCell(cell, row, "");
        return;
      }
      const AnalogChannel& record = c.AnalogChannelTable[channel];
      std::string text;
      switch (view.Mode) {
        case GridMode::Engineering: text = EngineeringValueText(source, channel, p, code); break;
        case GridMode::DirectValue: text = DirectValueText(c, record, code); break;
        case GridMode::Hex: text = HexCode(code); break;
      }
      grid.SetCell(cell, row, text);
    });

    for (int32_t s = 0; s < switches; ++s) {
      const SwitchBit bit = SwitchBitOf(c.Analog_Num, s);
      uint16_t word = 0;
      const bool read = ReadDisplayWord(d, LocatePoint(d, layout, c.NumSamp, bit.word, p), word);
      grid.SetCell(cell, RowOfEntry(c, analog + s), !read ? "" : SwitchIsHigh(word, bit.bit) ? "1" : "0");
    }

    grid.SetCell(cell, 1, std::to_string(p + 1));
    const int64_t position = SamplePositionOfPoint(d, compressedStart, p);
    const double ms = TimeMsOfPosition(position, origin, layout.MaxChannelRate);
    grid.SetCell(cell, 0,
                 d.DispCompressed == 0 ? FormatGeneral(ms, kGridPrecision, kTimeDigits)
                                       : FormatFixed(ms, kGridPrecision, kTimeDigits));
  }
}

}  // namespace quelvar
