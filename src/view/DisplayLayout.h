#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/UniversalPages.h"
#include "common/WaveViewState.h"

namespace quelvar {

// The arithmetic of the display layout rebuild, which re-derives everything
// that depends on the channel layout after a configuration or data change.
// Counts are taken within the tables' capacities (Analog_Num 0..100, SW_Num
// 0..192, Total_Line 0..100), so no table is read or written outside itself
// whatever the configuration says.

// Most predefined pages the page tables hold: every analog channel and switch
// input on a page of its own.
inline constexpr int32_t kMaxPredefinedPages = kMaxDisplayPositions;

// The fastest channel's rate: MaxMultiFreq x ChannelRate.
float ComputeMaxChannelRate(int32_t maxMultiFreq, float channelRate);

// Samples of one AC cycle at the base rate: ChannelRate / ACFrq truncated,
// at least 1 and at most kMaxSamplesPerCycle (SamplesPerCycleOf).
int32_t ComputeSamplesPerCycle(float channelRate, float acFrq);

// The rate layout (slot tables and MaxMultiFreq), then MaxChannelRate and
// SamplesPerCycle from it.
void RebuildRateLayout(LiveConfig& live, SampleLayout& layout);

// LineFirstChannel (entry k + 1 = entry k + APhaseNum of line k, for lines
// 0 .. Total_Line - 1) and AnalogDisplayOrder (the analog channels line by
// line, each line's in channel order; a channel whose line does not exist
// gets no position). Returns the positions filled; those after them keep
// their values.
int32_t RebuildLineTables(LiveConfig& live);

// The five page tables, re-sized and filled: predefined pages 0 ..
// TotalPages - 1 from the channels' and switch inputs' page numbers (clamped
// into range and written back into their records), the universal page
// (page TotalPages) from `universal`, and the trigger page's place (page
// TotalPages + 1, one placeholder entry of analog channel 0). TotalPages
// itself is brought into 1 .. kMaxPredefinedPages and written back, so that
// every reader's page index agrees with the tables.
void RebuildPageTables(LiveConfig& live, const UniversalPages& universal, PageTables& pages);

// The universal page (page TotalPages, the second last of the tables) from
// `universal` through ValidUniversalPage: every chosen channel in its order,
// analog channels by number, then switch inputs as Analog_Num + index, each
// entry's offset 0. VP itself is left as it is. Tables not sized for `live`
// are left alone.
void FillUniversalPage(const UniversalPages& universal, const LiveConfig& live, PageTables& pages);

// Makes the first `count` entries of `order` a permutation of 0 .. count - 1:
// every entry is clamped into range, then each entry equal to an earlier one
// is decremented (wrapping from -1 to count - 1) until it is unique. Entries
// that were already unique keep their values. `count` is limited to the
// span's size.
void NormalizeDisplayOrder(std::span<int16_t> order, int32_t count);

// Points per screen after a layout rebuild: DispPoints / XZoom unless the
// width is arbitrary (a zoom below 1 counts as 1), then at most DispPoints
// and at least 10; XPosition = DispPoints - DisplayWidth shows the end of the
// data (negative when the data are narrower than 10 points: the readers'
// ring wrap keeps every row inside the matrix).
void FitPointsPerScreen(WaveViewState& view, int32_t dispPoints, bool arbitraryWidth);

// The menu states the channel scroll range depends on.
struct ChannelScrollMenus {
  bool viewSwitch = false;   // menuViewSwitch: the rows are switch inputs
  bool scopePage = false;    // menuScopePage: predefined-page scope
  bool phaseSingle = false;  // menuPhaseSingle: one channel a row
};

// Maximum of the channel scroll bar (its minimum is 0), by the first that
// applies: SW_Num - 1 in the switch view, TotalPages + 1 in page scope,
// Analog_Num - 1 with one channel a row, else Total_Line - 1.
int32_t ChannelScrollMaximum(const LiveConfig& live, const ChannelScrollMenus& menus);

// The texts whose widths set the scale area's label width: in the wave
// recorder presentation (0) every line's name followed by " A", " B", " C"
// for its first three channels and " O" for every further one; in the
// recording-oscilloscope presentation (any other value) the line names as
// they are; then every analog channel name and every switch input name.
std::vector<std::string> ScaleLabelTexts(const LiveConfig& live, int32_t presentationMode);

// The widest of `texts` as `textWidth` measures them; 0 for none.
int32_t WidestLabel(const std::vector<std::string>& texts,
                    const std::function<int32_t(const std::string&)>& textWidth);

}  // namespace quelvar
