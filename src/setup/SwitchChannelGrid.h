#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "platform/CellGrid.h"

namespace quelvar {

// The switch-input grid: a row per input after the heading row, its settings
// in nine columns. Filled from the live switch table, cycled by double
// clicks, summarised for the selected row and stored back on OK.

enum SwitchGridCol : int {
  kSwitchColNumber = 0,
  kSwitchColName,
  kSwitchColStartFlag,
  kSwitchColPreRecordTime,
  kSwitchColRecordTime,
  kSwitchColCompressRecordTime,
  kSwitchColPageNo,
  kSwitchColCompressType,
  kSwitchColYWeight,
  kSwitchGridCols
};

// Rows of the grid as designed: the headings and 64 numbered rows.
inline constexpr int kSwitchGridDesignedRows = 65;

// The designed grid: headings, rows 1 to 64 numbered in column 0.
platform::CellGrid NewSwitchGrid();

// Sizes the grid for `count` inputs (at most the table's 192; none for 0 or
// less) and fills each row from the live table; no cell is marked modified.
void FillSwitchGrid(platform::CellGrid& grid, const LiveConfig& live, int32_t count);

// What a double click does: the start flag and compression cycle, the height
// share becomes "50".
std::vector<platform::CellCycle> SwitchGridCycles();

// The summary line of the selected row, which is first brought inside the
// grid (and written back).
std::string SwitchRowSummary(const platform::CellGrid& grid, int32_t& selected);

// OK: each row into its switch input. Only cells the user changed are read
// back; codes, height shares and page numbers (below `totalPages`) are then
// brought into range whether changed or not.
void StoreSwitchGrid(const platform::CellGrid& grid, int32_t totalPages, LiveConfig& live);

}  // namespace quelvar
