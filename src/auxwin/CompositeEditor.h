#pragma once

#include <string>
#include <vector>

#include "auxwin/CompositeDef.h"
#include "common/LiveConfig.h"
#include "platform/CellGrid.h"

namespace quelvar {

// The composite editor's grid: one column per item after the heading
// column, one row per field; rows 0 to 2 are fixed.
enum CompositeGridRow {
  kCompositeRowNumber = 0,
  kCompositeRowUnit = 1,
  kCompositeRowChannelName = 2,
  kCompositeRowChannel = 3,
  kCompositeRowLabel = 4,
  kCompositeRowDecimals = 5,
  kCompositeRowKind = 6,
  kCompositeRowAlarm = 7,
  kCompositeRowValue1 = 8,
  kCompositeRowValue2 = 9,
  kCompositeGridRows = 10,
};

// The four numbers of the editor's edits, as typed.
struct CompositeEditTexts {
  std::string ItemNum;
  std::string ColNum;
  std::string FontSize;
  std::string CharNum;
};

// "n: name" for every analog channel, then, with switch inputs, an empty
// line and "n: name" for each of them, n the item channel number.
std::vector<std::string> CompositeChannelLines(const LiveConfig& config);

// The grid and the edits from a definition.
void FillCompositeGrid(platform::CellGrid& grid, const CompositeDef& def, const LiveConfig& config);
CompositeEditTexts CompositeEditTextsOf(const CompositeDef& def);

// The definition from the grid and the edits, with the defaults for what
// is not a number. The count is kept within 1 .. the editor's maximum.
void ReadCompositeGrid(const platform::CellGrid& grid, const CompositeEditTexts& edits, const LiveConfig& config,
                       CompositeDef& def);

// The item count field was left: the count it gives (not a number: the
// item columns; below 1: 1), and the grid grown or shrunk to it with the
// new columns filled. Returns the count to write back into the field.
int32_t CompositeItemCountExit(platform::CellGrid& grid, const std::string& text, const LiveConfig& config);

// A double click on an item column: the kind and alarm rows cycle, any
// other row restores the channel's default label.
void CompositeGridDoubleClick(platform::CellGrid& grid, int col, int row, const LiveConfig& config);

// A cell was typed into: a channel number is clamped and the unit and name
// rows follow it.
void CompositeGridEdited(platform::CellGrid& grid, int col, int row, const LiveConfig& config);

// "组合显示配置窗口-" + the file, shortened to the part after the program's
// directory when it lies there.
std::string CompositeEditorCaption(const std::string& file, const std::string& programDir);

}  // namespace quelvar
