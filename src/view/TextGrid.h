#pragma once

#include <cstdint>
#include <string>

#include "platform/CellGrid.h"
#include "view/ChannelValues.h"

namespace quelvar {

// The text grid: the display data as a table of numbers. Columns: 0 channel
// name, 1 unit, 2 .. GridColumns + 1 one display point each, GridColumns + 2
// the row's position number. Rows: 0 the time of each point, 1 the point
// number, 2 onwards one channel each (the channel with position p in row
// p + 2, GridOrder giving the positions: analog channels by display index,
// then the switch inputs).

// What the data cells show.
enum class GridMode {
  Engineering,  // "显示工程值": the engineering value
  DirectValue,  // "直接采集量": volts, or the code of counting channel types
  Hex,          // "显示AD值(Hex)": the raw code, 4 hex digits
};

inline constexpr int kTextGridFixedCols = 2;
inline constexpr int kTextGridFixedRows = 2;
// The grid never has fewer data columns than this.
inline constexpr int32_t kMinTextGridColumns = 4;

// Data columns for a grid of `gridWidth` pixels at `defaultColWidth` a column.
int32_t TextGridColumnsFor(int gridWidth, int defaultColWidth);

// The grid's frame, built by every layout rebuild: GridColumns + 3 columns,
// Analog_Num + SW_Num + 2 rows, all texts cleared (column widths kept), the
// headings, names and units (the unit, or "Hex" unless `engineeringUnits`)
// and the position column, the only one whose cells take typing. Makes the first Analog_Num + SW_Num entries of
// GridOrder a permutation first.
void BuildTextGridFrame(LiveConfig& config, int32_t gridColumns, bool engineeringUnits, platform::CellGrid& grid);

// Where a fill reads its columns from.
struct TextGridView {
  int32_t GridColumns = kMinTextGridColumns;
  int32_t GridFirstPoint = 0;  // data column c shows 1-based point GridFirstPoint + c
  GridMode Mode = GridMode::Engineering;
};

// Fills the grid from the display data (nothing unless DispValid is 1):
// names and units by the mode, the position numbers, and for each data
// column the channels' values, the switch states, the point number and the
// time in milliseconds. A channel slower than the fastest shows each of its
// samples only in the first column that reaches it; the columns between are
// empty. Refreshes config.ColdJunctionTemp as every value fetch does.
void FillTextGrid(ChannelValueSource& source, const TextGridView& view, platform::CellGrid& grid);

// One analog cell's value texts, shared with the text table of the shown
// data. The direct value of `code` as "直接采集量" shows it: the code itself
// for counting channel types (counter, raw code, period, torque power), else
// the volts (code - VZero) / (ADMax - VZero) x 5 with 5 decimals on cards of
// more than 12 bits, 4 otherwise.
std::string DirectValueText(const LiveConfig& config, const AnalogChannel& channel, uint16_t code);

// The engineering value of analog channel `channel` at display point `point`
// whose word is `code`, with the channel's decimals: a torque-power channel
// is the product of its factors at its own sample of the point.
std::string EngineeringValueText(ChannelValueSource& source, int32_t channel, int64_t point, uint16_t code);

// The grid's first point for scroll-bar position `position`: at most
// DispPoints - GridColumns, at least 0.
int32_t GridFirstPointFor(int32_t position, int32_t dispPoints, int32_t gridColumns);

}  // namespace quelvar
