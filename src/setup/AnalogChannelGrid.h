#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "platform/CellGrid.h"
#include "setup/ChannelGroupSettings.h"

namespace quelvar {

// The analog channel grid (a column per channel after the headings' column,
// a row per property) and the group grid beside it (a column per line). Filled
// from the live tables, cycled by double clicks, described for the selected
// channel and stored back on OK, all or nothing.

enum ChannelGridRow : int {
  kChnRowNumber = 0,
  kChnRowName,
  kChnRowPageNo,
  kChnRowUnits,
  kChnRowCoeA,
  kChnRowCoeB,
  kChnRowType,
  kChnRowPreAmp,
  kChnRowCompress,
  kChnRowDigiPoint,
  kChnRowAxialZero,
  kChnRowYWeight,
  kChnRowMultiFreq,  // only while rate multipliers are shown
};

enum GroupGridRow : int { kGroupRowNumber = 0, kGroupRowChannels, kGroupRowName, kGroupGridRows };

// Width of the headings' column, pixels.
inline constexpr int kChannelHeadingWidth = 90;
// Owned channel numbers the group grid's "拥有通道" row lists at most.
inline constexpr int kMaxGroupListed = 4;

// The group grid as the form creates it: three rows with their headings.
platform::CellGrid NewGroupGrid();

// The channel grid's rows for the mode (13 with multipliers, else 12), the
// headings' column width and the row headings.
void SetChannelGridRows(platform::CellGrid& channels, bool multiFreqMode);

// Sizes both grids for `count` channels (0..100) and fills them from the live
// tables; no cell is marked modified.
void FillChannelGrids(platform::CellGrid& channels, platform::CellGrid& groups, const LiveConfig& live,
                      int32_t count, bool multiFreqMode);

// What a double click does: the type and compression cycle, the axis zero
// becomes the zero code, the height share "100".
std::vector<platform::CellCycle> ChannelGridCycles(float vZero);

// The torque-power source a coefficient names for channel `self`: truncated;
// the channel itself means the one before it; then within the `channelCount`
// channels of the grid (channel 0 when there is none).
int32_t TorquePowerSource(double coefficient, int32_t self, int32_t channelCount);

// The property line of the selected channel, which is first brought inside
// the grid (and written back); empty when the grid has no channel.
std::string ChannelPropertyLine(const platform::CellGrid& channels, int32_t& selected, const LiveConfig& live);

// The assignment check: channel j belongs to group j. Lists each group's
// channels in its "拥有通道" row; refuses a group with more than four or none.
ChannelGroupRefusal CheckChannelAssignment(platform::CellGrid& groups, int channelCount);

// OK: the check, then every changed cell read, every code and range brought
// inside its set (edited or not) and every value checked; pages are kept below
// `totalPages`. Only when all pass are the channels and lines written. A
// refusal leaves `live` as it was.
ChannelGroupRefusal ApplyChannelGrids(const platform::CellGrid& channels, platform::CellGrid& groups,
                                      bool multiFreqMode, int32_t totalPages, LiveConfig& live);

}  // namespace quelvar
