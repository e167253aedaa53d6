#pragma once

#include <cstdint>
#include <vector>

#include "common/LiveConfig.h"
#include "platform/CellGrid.h"

namespace quelvar {

// The properties of the channels a waveform window draws, in two transposed
// grids (headings in column 0, one column per channel): analog channels and
// switch inputs. Values go straight into the live tables on OK.

// Rows of the analog grid.
enum CurrentAnalogRow : int {
  kCurRowChannel = 0,
  kCurRowName,
  kCurRowUnits,
  kCurRowType,
  kCurRowCoeA,
  kCurRowCoeB,
  kCurRowPreAmp,
  kCurRowDigits,
  kCurRowPage,
  kCurRowAxialZero,
  kCurRowYWeight,
  kCurAnalogRows
};

// Rows of the switch grid.
enum CurrentSwitchRow : int { kCurSwRowChannel = 0, kCurSwRowName, kCurSwRowPage, kCurSwRowYWeight, kCurSwitchRows };

// The drawn channels: analog channel numbers first, then switch inputs
// numbered from Analog_Num on.
struct CurrentChannelList {
  int32_t AnalogCount = 0;
  int32_t SwitchCount = 0;
  std::vector<int32_t> Channels;
};

// value limited to 0 .. count - 1; 0 when there is nothing to choose from.
int32_t ClampToCount(int32_t value, int32_t count);

// The analog channel of analog column k and the switch input of switch
// column k, brought into the tables (an entry missing from the list reads 0).
int32_t CurrentAnalogChannel(const CurrentChannelList& list, int32_t k, const LiveConfig& config);
int32_t CurrentSwitchInput(const CurrentChannelList& list, int32_t k, const LiveConfig& config);

// The grids as the dialog shows them: AnalogCount (SwitchCount) + 1 columns.
platform::CellGrid CurrentAnalogCells(const CurrentChannelList& list, const LiveConfig& config);
platform::CellGrid CurrentSwitchCells(const CurrentChannelList& list, const LiveConfig& config);

// A double click on an analog cell outside the heading column: the type
// moves on to the next, the axis zero becomes the zero code, the height
// share 100.
void CurrentAnalogDoubleClick(platform::CellGrid& cells, int col, int row, float vZero);

// OK: every column into its channel, each text read with its fallback and
// limits. Names and units are cut to what the tables hold.
void StoreCurrentAnalogCells(const platform::CellGrid& cells, const CurrentChannelList& list, LiveConfig& config);
void StoreCurrentSwitchCells(const platform::CellGrid& cells, const CurrentChannelList& list, LiveConfig& config);

}  // namespace quelvar
